#include "notes/notes_panel.h"

#include "core/session.h"
#include "notes/diary_list.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/memo_file.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/record_dialog.h"
#include "ui/store_error_box.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

NotesPanel::NotesPanel(Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraMemo"));

    auto *diary = new QGroupBox(QStringLiteral("一言日記"), this);
    msgMemoList_ = new Grid(diary);
    msgMemoList_->setObjectName(QStringLiteral("msgMemoList"));
    msgMemoList_->setToolTip(QStringLiteral("行をクリックすると、その記録の一言日記を書き直せます"));
    connect(msgMemoList_, &Grid::cellClicked, this, [this](int row, int) { msgMemoList_Click(row); });
    // Row n is record n of the file; its whole record can be corrected.
    new RecordRowActions(
        s_, msgMemoList_,
        [this](int row) {
            return row >= 1 && row <= listed_.size() ? RowRecord{row - 1, listed_.at(row - 1).date} : RowRecord{};
        },
        [this] {
            rebuild();
            Q_EMIT recordsChanged();
        });
    txtMemo_ = new QLineEdit(diary);
    txtMemo_->setObjectName(QStringLiteral("txtMemo"));
    txtMemo_->setPlaceholderText(QStringLiteral("リストの行を選ぶと、ここで書き直せます"));
    txtMemo_->installEventFilter(this);
    cmdMemoHozon_ = new QPushButton(QStringLiteral("一言日記保存"), diary);
    cmdMemoHozon_->setObjectName(QStringLiteral("cmdMemoHozon"));
    cmdMemoHozon_->setToolTip(QStringLiteral("書き直した一言日記を、その記録に保存します"));
    cmdMemoHozon_->setEnabled(false);
    connect(cmdMemoHozon_, &QPushButton::clicked, this, [this] { cmdMemoHozon_Click(); });
    auto *edit = new QHBoxLayout;
    edit->addWidget(txtMemo_, 1);
    edit->addWidget(cmdMemoHozon_);
    auto *diaryLayout = new QVBoxLayout(diary);
    diaryLayout->addWidget(msgMemoList_, 1);
    diaryLayout->addLayout(edit);

    auto *memo = new QGroupBox(QStringLiteral("気付きメモ"), this);
    txtKizuki_ = new QPlainTextEdit(memo);
    txtKizuki_->setObjectName(QStringLiteral("txtKizuki"));
    txtKizuki_->setToolTip(QStringLiteral("二人で使える自由なメモです"));
    txtKizuki_->setPlainText(s_.settings.AwarenessMemo);
    cmdKizukiHozon_ = new QPushButton(QStringLiteral("気付きメモ保存"), memo);
    cmdKizukiHozon_->setObjectName(QStringLiteral("cmdKizukiHozon"));
    cmdKizukiHozon_->setToolTip(QStringLiteral("気付きメモをファイルに保存します"));
    connect(cmdKizukiHozon_, &QPushButton::clicked, this, [this] { cmdKizukiHozon_Click(); });
    auto *memoLayout = new QVBoxLayout(memo);
    memoLayout->addWidget(txtKizuki_, 1);
    memoLayout->addWidget(cmdKizukiHozon_, 0, Qt::AlignRight);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addWidget(diary, 3);
    layout->addWidget(memo, 1);
    memo->setMinimumWidth(200);

    InitMemoGrid();
}

QString NotesPanel::helpText() const
{
    return QStringLiteral(
        u"一回一回の測定ごとにちょっとしたコメントを残すことができます。\r\n"
        u"\r\n"
        u"すごく増えちゃった日は言い訳を書いて懺悔？し、スッキリと明日を迎えたり…\r\n"
        u"すごく減った時は褒美の言葉を自分にプレゼントしたり。いろいろ使えると思います。\r\n"
        u"面倒でなければちょっとした食事日記にも使えますね。\r\n"
        u"\r\n"
        u"気付きメモはよりフリーにいろんなことが書き込めます。\r\n"
        u"ご自身のダイエットの極意を書き記したり、ダイエット中に気付いたことを書き留めてもいいと思います。\r\n"
        u"\r\n");
}

void NotesPanel::rebuild()
{
    InitMemoGrid();
    FillDiaryList();
    cmdMemoHozon_->setEnabled(false);
}

void NotesPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}

void NotesPanel::InitMemoGrid()
{
    msgMemoList_->setColumns(notes::diaryListColumns());
    listed_.clear();
    // A new list forgets the pick: a row number of the old list, or of the
    // other person's file, must never receive a comment.
    MemoRow = 0;
    txtMemo_->clear();
}

void NotesPanel::FillDiaryList()
{
    QList<WeightRecord> records;
    if (MaybeError e = s_.records.read(s_.person.selected(), &records)) {
        showStoreError(s_.dialogs, this, QStringLiteral("一言日記を読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return;
    }
    const notes::DiaryList list = notes::buildDiaryList(records);
    listed_ = records;
    msgMemoList_->showTable(list.rows, list.scrollToEnd);
}

void NotesPanel::msgMemoList_Click(int row)
{
    // The header row holds no comment.
    if (row < 1 || row >= msgMemoList_->rows())
        return;
    msgMemoList_->setRow(row);
    msgMemoList_->setCol(notes::kCommentColumn);
    txtMemo_->setText(msgMemoList_->text());
    MemoRow = row;
    cmdMemoHozon_->setEnabled(true);
    txtMemo_->setFocus();
}

void NotesPanel::cmdMemoHozon_Click()
{
    if (!cmdMemoHozon_->isEnabled())
        return;
    const QString comment = txtMemo_->text();
    const notes::CommentSave save = notes::saveComment(listed_, MemoRow, comment);
    if (!save.refusal.isEmpty()) {
        s_.dialogs.message(this, save.refusal, QStringLiteral("一言日記"), Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::Ok);
        return;
    }
    const QString file = s_.person.DataFileName();
    if (MaybeError e = store::rewriteRecords(s_.dir, file, save.records,
                                             store::scratchNameFor(s_.dir.resolve(file)))) {
        showStoreError(s_.dialogs, this, QStringLiteral("一言日記を保存できませんでした。"), *e);
        return;
    }
    // The list shows what the file now holds; the next save builds on it.
    listed_ = save.records;
    msgMemoList_->setTextMatrix(MemoRow, notes::kCommentColumn, comment);
}

void NotesPanel::cmdKizukiHozon_Click()
{
    if (MaybeError e = store::writeMemo(s_.dir, txtKizuki_->toPlainText()))
        showStoreError(s_.dialogs, this, QStringLiteral("気付きメモを保存できませんでした。"), *e);
}

bool NotesPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the comment box saves, as the save button does, and only
    // while a row is picked.
    if (watched == txtMemo_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdMemoHozon_Click();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}
