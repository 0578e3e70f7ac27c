#pragma once

#include <QGroupBox>

class QPushButton;
struct Session;

// The settings screen's group for records in and out as CSV: the
// selected person's records written to a file in a layout other programs
// read (cmdCsvOut), and a file of another program or spreadsheet read
// into them after a preview (cmdCsvIn).
class CsvButtons final : public QGroupBox {
    Q_OBJECT
public:
    explicit CsvButtons(Session &session, QWidget *parent = nullptr);

    QPushButton *cmdCsvOut() const { return cmdCsvOut_; }
    QPushButton *cmdCsvIn() const { return cmdCsvIn_; }

Q_SIGNALS:
    // The selected person's data file now holds imported records.
    void recordsImported();

private:
    void cmdCsvOut_Click();
    void cmdCsvIn_Click();

    Session &s_;
    QPushButton *cmdCsvOut_ = nullptr;
    QPushButton *cmdCsvIn_ = nullptr;
};
