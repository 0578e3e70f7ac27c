#pragma once

#include "store/record.h"

#include <QFrame>

class QLineEdit;
class QPushButton;
struct Session;

// fraNew, "新規スタート登録枠": registers person 1 and then person 2 afresh,
// each with a new profile and a data file holding only the start record.
// It lies over the settings screen while it shows.
class RegistrationFrame final : public QFrame {
    Q_OBJECT
public:
    RegistrationFrame(Session &session, QWidget *parent = nullptr);

    // Opens the frame for the persons from `first` to `last` (both 1 to 2
    // for a new start; a start that finds only one person without files
    // registers that one).
    void open(PersonSlot first, PersonSlot last);
    int RegistrationStep = 1;

Q_SIGNALS:
    // A person's profile and data file were written.
    void registered(PersonSlot person);
    // The last person is registered: the program ends.
    void finished();
    // cmdYame: closed before the end; files already written stay written.
    void abandoned();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdStHozon_Click();
    void cmdYame_Click();
    void emptyBoxes();
    void showInfo(const QString &title, const QString &text);

    Session &s_;
    PersonSlot last_ = PersonSlot::Two;
    QLineEdit *txtPriData1_ = nullptr, *txtSincyou1_ = nullptr, *txtMokuTai1_ = nullptr,
              *txtNowTai_ = nullptr, *txtNowJyou_ = nullptr;
    QPushButton *cmdStHozon_ = nullptr, *cmdYame_ = nullptr;
};
