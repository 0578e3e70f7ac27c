#pragma once

#include "store/record_edit.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <functional>

class Grid;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
struct Session;

// frmKiroku, "記録の修正": one record of the selected person with its date,
// situation, weight and diary. OK writes the correction, 削除 removes the
// record after a question; either closes the dialog and calls `changed`.
// It is window-modal but shown without a nested event loop, so the keys
// and clicks of a test reach it as they would a person's.
class RecordDialog final : public QDialog {
    Q_OBJECT
public:
    RecordDialog(Session &session, const store::RecordRef &ref, const QStringList &situations,
                 std::function<void()> changed, QWidget *parent);

    // The checks the weight box of the weight screen makes, in its order,
    // and those of a stored record; an empty text when it may be written.
    // Title and text of the warning otherwise.
    struct Problem {
        QString title, text;
        bool none() const { return text.isEmpty(); }
    };
    Problem check(WeightRecord *out) const;
    // 削除: the question, then the removal.
    void askRemove() { cmdKirokuDel_Click(); }

private:
    void cmdKirokuOk_Click();
    void cmdKirokuDel_Click();
    void warn(const Problem &p);
    void finish();

    Session &s_;
    store::RecordRef ref_;
    std::function<void()> changed_;
    QDateEdit *dtpKiroku_ = nullptr;
    QComboBox *cboKirokuJyou_ = nullptr;
    QLineEdit *txtKirokuTai_ = nullptr;
    QLineEdit *txtKirokuNikki_ = nullptr;
    QPushButton *cmdKirokuOk_ = nullptr, *cmdKirokuDel_ = nullptr, *cmdKirokuCancel_ = nullptr;
};

// Which record of the data file a grid row shows: its index in the file
// (0 is the first record) and its date as the row shows it, so that a file
// changed meanwhile is noticed. index < 0: the row shows no single record.
struct RowRecord {
    int index = -1;
    QString date;
};

// Opens frmKiroku for the record at `row`: reads the selected person's
// records, checks the row still names that record (otherwise a message,
// and `changed` so the screen shows the file as it is now).
void openRecordDialog(Session &session, const RowRecord &row, std::function<void()> changed,
                      QWidget *parent);

// The context menu ("修正…", "削除…") and the keys (F2, Delete) of a grid
// that lists single records. `rowRecord` names the record of a data row
// (1 is the first); `changed` runs after a correction or a removal. The
// grid's own clicks and double-clicks are left as they are.
class RecordRowActions final : public QObject {
    Q_OBJECT
public:
    RecordRowActions(Session &session, Grid *grid, std::function<RowRecord(int row)> rowRecord,
                     std::function<void()> changed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void open(int row, bool remove);
    void showMenu(int row, const QPoint &global);

    Session &s_;
    Grid *grid_;
    std::function<RowRecord(int)> rowRecord_;
    std::function<void()> changed_;
};

// 元に戻す: takes back the last change to the data files. A refusal (an
// outside edit, nothing to undo) shows its message and changes nothing.
// True when files were put back.
bool undoLastChangeWithMessage(Session &session, QWidget *parent);

// The removal question and the dialog's title, for tests and help.
QString removeRecordQuestion();
QString recordDialogTitle();
