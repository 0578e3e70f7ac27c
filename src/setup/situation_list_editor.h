#pragma once

#include <QGroupBox>
#include <QString>

class ColourButton;
class QLineEdit;
class QListWidget;
class QPushButton;
class SituationLists;
struct Session;
struct StoreError;

// The group "状況リスト編集" of the settings screen: add, delete, delete
// all, rename throughout the selected person's records, and reorder by
// drag and drop, with the order saved on request.
//
// lstKoumoku is the working copy of the situation list: deleting and
// reordering change it first; the file, lstAct and lstAct2 follow when the
// change is saved. Only a drag lets lstKoumoku run ahead of the file, and
// cmdSort shows that in light orange until the order is saved.
class SituationListEditor final : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SituationListEditor)
public:
    explicit SituationListEditor(Session &session, QWidget *parent = nullptr);

    void setLists(SituationLists *lists) { lists_ = lists; }
    QListWidget *lstKoumoku() const { return lstKoumoku_; }

    // cmdSort, cmdDel and cmdChg disabled: on every opening of the screen
    // and on a person switch while it shows.
    void disableSelectionButtons();

    // The label pressed in lstKoumoku and its position (-1: none).
    QString DragLabel;
    int DragIndex = -1;

Q_SIGNALS:
    // A rename changed the selected person's records: the day view must
    // be rebuilt.
    void renamed();

private:
    // Event handlers, wired to the controls.
    void lstKoumoku_Click();
    void lstKoumoku_MouseDown();
    void lstKoumoku_MouseUp();
    void cmdNew2_Click();
    void cmdDel_Click();
    void cmdDel2_Click();
    void cmdChg_Click();
    void cmdSort_Click();

    // The row of the selected label, or -1.
    int selectedRow() const;
    // Refuses a text the files cannot hold; true when it may be stored.
    bool acceptStorable(const QString &text, const QString &refusal, const QString &title);
    bool confirm(const QString &text);
    void showDone(const QString &text, const QString &title);
    // lstKoumoku and the file agree again: cmdSort back to the button face.
    void markOrderSaved();

    Session &s_;
    SituationLists *lists_ = nullptr;
    QListWidget *lstKoumoku_ = nullptr;
    QPushButton *cmdNew2_ = nullptr, *cmdDel_ = nullptr, *cmdDel2_ = nullptr, *cmdChg_ = nullptr;
    ColourButton *cmdSort_ = nullptr;
    QLineEdit *txtChg_ = nullptr;
};
