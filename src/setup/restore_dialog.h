#pragma once

#include "store/backup.h"

#include <QDialog>
#include <QList>
#include <functional>

class QListWidget;
class QPushButton;
struct Session;

// frmRestore: the snapshots under backup/, newest first, with when and why
// each was taken and how many records each person has in it. The chosen
// one is put back after a question; `restored` then runs.
class RestoreDialog final : public QDialog {
    Q_OBJECT
public:
    RestoreDialog(Session &session, std::function<void()> restored, QWidget *parent);

    // One line of lstBackup.
    static QString describe(const store::SnapshotInfo &info);

private:
    void cmdRestoreOk_Click();

    Session &s_;
    std::function<void()> restored_;
    QList<store::SnapshotInfo> snapshots_;
    QListWidget *lstBackup_ = nullptr;
    QPushButton *cmdRestoreOk_ = nullptr;
};

// cmdRestore "バックアップから戻す…", which opens frmRestore.
QPushButton *makeRestoreButton(Session &session, QWidget *parent, std::function<void()> restored);
