#include "ui/record_dialog.h"

#include "core/number_input.h"
#include "core/session.h"
#include "store/dates.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/situation_file.h"
#include "store/undo.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/store_error_box.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

QString removeRecordQuestion() { return QStringLiteral("この記録を削除します。よろしいですか？"); }
QString recordDialogTitle() { return QStringLiteral("記録の修正"); }

RecordDialog::RecordDialog(Session &session, const store::RecordRef &ref, const QStringList &situations,
                           std::function<void()> changed, QWidget *parent)
    : QDialog(parent), s_(session), ref_(ref), changed_(std::move(changed))
{
    setObjectName(QStringLiteral("frmKiroku"));
    setWindowTitle(recordDialogTitle());
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    const QDate today = s_.clock.today();
    const QDate day = dates::parse(ref.record.date).value_or(today);
    dtpKiroku_ = new QDateEdit(this);
    dtpKiroku_->setObjectName(QStringLiteral("dtpKiroku"));
    dtpKiroku_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    dtpKiroku_->setCalendarPopup(true);
    // A record already after today (a slip of the year) is shown as it is,
    // so it can be seen and mended; OK refuses any day after today.
    dtpKiroku_->setDateRange(QDate(1900, 1, 1), std::max(today, day));
    dtpKiroku_->setDate(day);
    dtpKiroku_->setToolTip(QStringLiteral("記録の日付です。今日より後の日にはできません"));

    cboKirokuJyou_ = new QComboBox(this);
    cboKirokuJyou_->setObjectName(QStringLiteral("cboKirokuJyou"));
    cboKirokuJyou_->setEditable(true);
    cboKirokuJyou_->setInsertPolicy(QComboBox::NoInsert);
    cboKirokuJyou_->addItems(situations);
    cboKirokuJyou_->setEditText(ref.record.situation);

    txtKirokuTai_ = new QLineEdit(fmt::shortest(ref.record.weight), this);
    txtKirokuTai_->setObjectName(QStringLiteral("txtKirokuTai"));
    txtKirokuTai_->setAlignment(Qt::AlignRight);
    txtKirokuNikki_ = new QLineEdit(ref.record.diary, this);
    txtKirokuNikki_->setObjectName(QStringLiteral("txtKirokuNikki"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("日付"), dtpKiroku_);
    form->addRow(QStringLiteral("状況"), cboKirokuJyou_);
    form->addRow(QStringLiteral("体重 (Kg)"), txtKirokuTai_);
    form->addRow(QStringLiteral("一言日記"), txtKirokuNikki_);

    cmdKirokuOk_ = new QPushButton(QStringLiteral("OK"), this);
    cmdKirokuOk_->setObjectName(QStringLiteral("cmdKirokuOk"));
    cmdKirokuOk_->setDefault(true);
    cmdKirokuDel_ = new QPushButton(QStringLiteral("削除"), this);
    cmdKirokuDel_->setObjectName(QStringLiteral("cmdKirokuDel"));
    cmdKirokuDel_->setAutoDefault(false);
    cmdKirokuCancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdKirokuCancel_->setObjectName(QStringLiteral("cmdKirokuCancel"));
    cmdKirokuCancel_->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdKirokuOk_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdKirokuDel_, QDialogButtonBox::DestructiveRole);
    buttons->addButton(cmdKirokuCancel_, QDialogButtonBox::RejectRole);
    connect(cmdKirokuOk_, &QPushButton::clicked, this, [this] { cmdKirokuOk_Click(); });
    connect(cmdKirokuDel_, &QPushButton::clicked, this, [this] { cmdKirokuDel_Click(); });
    connect(cmdKirokuCancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // The date first: typing a year replaces the year.
    dtpKiroku_->setFocus();
    dtpKiroku_->setCurrentSection(QDateTimeEdit::YearSection);
}

RecordDialog::Problem RecordDialog::check(WeightRecord *out) const
{
    WeightRecord r = ref_.record;
    r.date = dates::text(dtpKiroku_->date());
    r.situation = cboKirokuJyou_->currentText();
    r.diary = txtKirokuNikki_->text();
    const QString title = recordDialogTitle();
    if (dtpKiroku_->date() > s_.clock.today())
        return {QStringLiteral("日付確認"),
                QStringLiteral("今日より後の日には記録できません。\n日付を選び直してください。")};
    if (r.situation.trimmed().isEmpty())
        return {QStringLiteral("行動未入力"), QStringLiteral("行動が指定されていません")};
    // Digits typed with a Japanese input method count as the ASCII ones.
    const QString boxText = asciiNumberText(txtKirokuTai_->text());
    if (boxText.trimmed().isEmpty())
        return {QStringLiteral("体重未入力"), QStringLiteral("体重が入力されていません")};
    if (!fmt::isNumber(boxText))
        return {QStringLiteral("数値以外入力"), QStringLiteral("数値を入力してください")};
    r.weight = float(fmt::leadingNumber(boxText));
    if (const QString why = store::correctionProblem(r, s_.clock.today()); !why.isEmpty())
        return {title, why};
    if (out)
        *out = r;
    return {};
}

void RecordDialog::warn(const Problem &p)
{
    s_.dialogs.message(this, p.text, p.title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

void RecordDialog::cmdKirokuOk_Click()
{
    WeightRecord r;
    if (const Problem p = check(&r); !p.none()) {
        warn(p);
        return;
    }
    if (r == ref_.record) { // nothing changed: nothing to write
        accept();
        return;
    }
    bool written = false;
    if (MaybeError e = store::correctRecord(s_.dir, s_.person.DataFileName(), ref_, r, s_.clock, nullptr, &written)) {
        showStoreError(s_.dialogs, this,
                       written ? QStringLiteral("記録は修正しましたが、最後まで終えられませんでした。")
                               : QStringLiteral("記録を修正できませんでした。ファイルは変更していません。"),
                       *e, QStringLiteral("修正エラー"));
        if (!written)
            return;
    }
    finish();
}

// The file holds the change: the dialog goes, and the screens show it.
void RecordDialog::finish()
{
    const std::function<void()> changed = changed_; // accept() lets the dialog go
    accept();
    if (changed)
        changed();
}

void RecordDialog::cmdKirokuDel_Click()
{
    if (s_.dialogs.message(this, removeRecordQuestion(), QStringLiteral("削除確認"), Dialogs::Icon::Question,
                           Dialogs::Buttons::YesNo)
        != Dialogs::Answer::Yes)
        return;
    bool written = false;
    if (MaybeError e = store::removeRecord(s_.dir, s_.person.DataFileName(), ref_, s_.clock, &written)) {
        showStoreError(s_.dialogs, this,
                       written ? QStringLiteral("記録は削除しましたが、最後まで終えられませんでした。")
                               : QStringLiteral("記録を削除できませんでした。"),
                       *e, QStringLiteral("削除エラー"));
        if (!written)
            return;
    }
    finish();
}

namespace {

RecordDialog *openDialog(Session &s, const RowRecord &row, std::function<void()> changed, QWidget *parent)
{
    if (row.index < 0)
        return nullptr;
    QList<WeightRecord> records;
    if (MaybeError e = s.records.read(s.person.selected(), &records)) {
        showStoreError(s.dialogs, parent, QStringLiteral("データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return nullptr;
    }
    if (row.index >= records.size() || records.at(row.index).date != row.date) {
        s.dialogs.message(parent,
                          QStringLiteral("この記録はファイルの中で変わっています。画面を今のファイルの内容で表示し直します。"),
                          recordDialogTitle(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        if (changed)
            changed();
        return nullptr;
    }
    QStringList situations;
    if (store::readSituationList(s.dir, &situations))
        situations.clear(); // the list only offers labels; the box takes any text
    auto *d = new RecordDialog(s, store::RecordRef{row.index, records.at(row.index)}, situations,
                               std::move(changed), parent ? parent->window() : nullptr);
    d->show();
    d->raise();
    d->activateWindow();
    return d;
}

} // namespace

void openRecordDialog(Session &session, const RowRecord &row, std::function<void()> changed, QWidget *parent)
{
    openDialog(session, row, std::move(changed), parent);
}

RecordRowActions::RecordRowActions(Session &session, Grid *grid, std::function<RowRecord(int)> rowRecord,
                                   std::function<void()> changed)
    : QObject(grid), s_(session), grid_(grid), rowRecord_(std::move(rowRecord)), changed_(std::move(changed))
{
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    grid_->setContextMenuPolicy(Qt::DefaultContextMenu);
}

bool RecordRowActions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == grid_) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() == Qt::NoModifier && (k->key() == Qt::Key_F2 || k->key() == Qt::Key_Delete)) {
            if (grid_->row() >= 1) {
                open(grid_->row(), k->key() == Qt::Key_Delete);
                return true;
            }
        }
    } else if (event->type() == QEvent::ContextMenu) {
        auto *c = static_cast<QContextMenuEvent *>(event);
        int row = grid_->row();
        if (c->reason() == QContextMenuEvent::Mouse) {
            const QModelIndex i = grid_->indexAt(grid_->viewport()->mapFromGlobal(c->globalPos()));
            row = i.isValid() ? i.row() + 1 : 0;
            if (row >= 1)
                grid_->setRow(row);
        }
        if (row >= 1 && rowRecord_(row).index >= 0)
            showMenu(row, c->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RecordRowActions::showMenu(int row, const QPoint &global)
{
    // Shown without a nested event loop; it goes away when it closes.
    auto *menu = new QMenu(grid_);
    menu->setObjectName(QStringLiteral("mnuKiroku"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *correct = menu->addAction(QStringLiteral("修正…"));
    correct->setShortcut(QKeySequence(Qt::Key_F2));
    QAction *remove = menu->addAction(QStringLiteral("削除…"));
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(correct, &QAction::triggered, this, [this, row] { open(row, false); });
    connect(remove, &QAction::triggered, this, [this, row] { open(row, true); });
    menu->popup(global);
}

void RecordRowActions::open(int row, bool remove)
{
    const RowRecord r = rowRecord_(row);
    if (r.index < 0)
        return;
    RecordDialog *d = openDialog(s_, r, changed_, grid_);
    if (d && remove)
        d->askRemove();
}

bool undoLastChangeWithMessage(Session &s, QWidget *parent)
{
    const store::UndoState state = store::undoState(s.dir);
    if (!state.available) {
        s.dialogs.message(parent, QStringLiteral("元に戻せる変更はありません。"), QStringLiteral("元に戻す"),
                          Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return false;
    }
    if (MaybeError e = store::undoLastChange(s.dir, s.clock)) {
        showStoreError(s.dialogs, parent, QStringLiteral("元に戻せませんでした。"), *e,
                       QStringLiteral("元に戻す"));
        return false;
    }
    return true;
}
