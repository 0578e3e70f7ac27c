#include "setup/restore_dialog.h"

#include "core/session.h"
#include "ui/dialogs.h"
#include "ui/store_error_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString countText(int n) { return n < 0 ? QStringLiteral("なし") : QStringLiteral("%1件").arg(n); }

} // namespace

QString RestoreDialog::describe(const store::SnapshotInfo &info)
{
    return QStringLiteral("%1　%2　(1人目 %3、2人目 %4)")
        .arg(info.when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), store::stepText(info.reason),
             countText(info.recordsOf(1)), countText(info.recordsOf(2)));
}

RestoreDialog::RestoreDialog(Session &session, std::function<void()> restored, QWidget *parent)
    : QDialog(parent), s_(session), restored_(std::move(restored))
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("バックアップから戻す"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *caption = new QLabel(
        QStringLiteral("戻すバックアップを選んでください。今のファイルも戻す前にバックアップに残ります。"), this);
    caption->setWordWrap(true);
    lstBackup_ = new QListWidget(this);
    lstBackup_->setObjectName(QStringLiteral("lstBackup"));
    lstBackup_->setMinimumSize(460, 260);
    snapshots_ = store::listSnapshots(s_.dir);
    for (const store::SnapshotInfo &info : std::as_const(snapshots_))
        lstBackup_->addItem(describe(info));
    if (!snapshots_.isEmpty())
        lstBackup_->setCurrentRow(0);

    cmdRestoreOk_ = new QPushButton(QStringLiteral("戻す"), this);
    cmdRestoreOk_->setObjectName(QStringLiteral("cmdRestoreOk"));
    cmdRestoreOk_->setDefault(true);
    cmdRestoreOk_->setEnabled(!snapshots_.isEmpty());
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cmdRestoreCancel"));
    cancel->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdRestoreOk_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(cmdRestoreOk_, &QPushButton::clicked, this, [this] { cmdRestoreOk_Click(); });
    connect(lstBackup_, &QListWidget::itemActivated, this, [this] { cmdRestoreOk_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(lstBackup_, 1);
    layout->addWidget(buttons);
    lstBackup_->setFocus();
}

void RestoreDialog::cmdRestoreOk_Click()
{
    const int row = lstBackup_->currentRow();
    if (row < 0 || row >= snapshots_.size())
        return;
    const store::SnapshotInfo &info = snapshots_.at(row);
    if (s_.dialogs.message(this,
                           QStringLiteral("%1 のバックアップの内容に戻します。よろしいですか？\n"
                                          "今のファイルはバックアップに残り、「元に戻す」で取り消せます。")
                               .arg(info.when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))),
                           QStringLiteral("復元確認"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
        != Dialogs::Answer::Yes)
        return;
    if (MaybeError e = store::restoreSnapshot(s_.dir, info.folder, s_.clock)) {
        showStoreError(s_.dialogs, this, QStringLiteral("バックアップから戻せませんでした。ファイルは変更していません。"),
                       *e, QStringLiteral("復元エラー"));
        return;
    }
    const std::function<void()> restored = restored_; // accept() lets the dialog go
    accept();
    if (restored)
        restored();
}

QPushButton *makeRestoreButton(Session &session, QWidget *parent, std::function<void()> restored)
{
    auto *b = new QPushButton(QStringLiteral("バックアップから戻す…"), parent);
    b->setObjectName(QStringLiteral("cmdRestore"));
    b->setToolTip(QStringLiteral("保存してあるバックアップの内容にデータを戻します"));
    QObject::connect(b, &QPushButton::clicked, b, [&session, b, restored] {
        auto *d = new RestoreDialog(session, restored, b->window());
        d->show();
        d->raise();
        d->activateWindow();
    });
    return b;
}
