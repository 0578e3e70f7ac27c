#pragma once

#include "store/record.h"
#include "store/store_error.h"
#include "ui/screen.h"

#include <QList>

class Grid;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct Session;

// The notes screen fraMemo: the one-line diary of every record of the
// selected person, where one comment at a time is picked, edited and saved
// into its record, and the awareness memo shared by both persons.
class NotesPanel final : public Screen {
    Q_OBJECT
public:
    NotesPanel(Session &session, QWidget *parent = nullptr);

    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InitMemoGrid();
    void FillDiaryList();
    void msgMemoList_Click(int row);
    void cmdMemoHozon_Click();
    void cmdKizukiHozon_Click();

    Session &s_;
    // The records the list was built from (after a save, what it wrote):
    // a save writes these back with one comment changed.
    QList<WeightRecord> listed_;
    int MemoRow = 0; // the picked grid row; 0 while none is picked

    Grid *msgMemoList_ = nullptr;
    QLineEdit *txtMemo_ = nullptr;
    QPushButton *cmdMemoHozon_ = nullptr;
    QPlainTextEdit *txtKizuki_ = nullptr;
    QPushButton *cmdKizukiHozon_ = nullptr;
};
