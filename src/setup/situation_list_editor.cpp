#include "setup/situation_list_editor.h"

#include "core/session.h"
#include "ui/situation_lists.h"
#include "store/record_line.h"
#include "store/situation_file.h"
#include "ui/back_color.h"
#include "ui/dialogs.h"
#include "ui/palette.h"
#include "ui/store_error_box.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

namespace {

// The list of labels, with mouse handling of our own instead of Qt's
// drag-select and drag and drop: a press on a label selects it, the
// selection follows the pointer while a button is held (also below the
// last label, where it stays on the last one), and the release reports the
// end of the press. Only the press on a label is followed, so dragging from
// the empty area never moves anything.
class SituationListBox final : public QListWidget {
public:
    using QListWidget::QListWidget;

    std::function<void()> onLabelClick; // a label was clicked or chosen by key
    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        e->accept();
        // A second button pressed during a press belongs to that press.
        if (held_)
            return;
        held_ = true;
        setFocus(Qt::MouseFocusReason);
        const QModelIndex index = indexAt(e->position().toPoint());
        following_ = index.isValid();
        if (following_) {
            setCurrentRow(index.row());
            if (onLabelClick)
                onLabelClick();
        }
        if (onMouseDown)
            onMouseDown();
    }

    void mouseDoubleClickEvent(QMouseEvent *e) override { mousePressEvent(e); }

    void mouseMoveEvent(QMouseEvent *e) override
    {
        e->accept();
        if (!held_ || !following_)
            return;
        const int row = rowUnderPointer(e->position().toPoint().y());
        if (row >= 0 && row != currentRow()) {
            setCurrentRow(row);
            scrollToItem(item(row));
        }
    }

    void mouseReleaseEvent(QMouseEvent *e) override
    {
        e->accept();
        // The press ends when its last button goes up: one drop per press.
        if (!held_ || e->buttons() != Qt::NoButton)
            return;
        held_ = false;
        following_ = false;
        if (onMouseUp)
            onMouseUp();
    }

    void keyPressEvent(QKeyEvent *e) override
    {
        const int before = currentRow();
        QListWidget::keyPressEvent(e);
        if (currentRow() != before && currentRow() >= 0 && onLabelClick)
            onLabelClick();
    }

private:
    // The label at height y, or the nearest one when y is above or below
    // all of them; rows partly out of view count, so the list scrolls on.
    int rowUnderPointer(int y) const
    {
        for (int r = 0; r < count(); ++r)
            if (y <= visualItemRect(item(r)).bottom())
                return r;
        return count() - 1;
    }

    bool held_ = false;
    bool following_ = false;
};

const QString kConfirmTitle = QStringLiteral("クリア確認");
const QString kDoneDeleteTitle = QStringLiteral("削除完了");
const QString kNoSelectionTitle = QStringLiteral("状況未選択");
const QString kSaveErrorTitle = QStringLiteral("保存エラー");

} // namespace

SituationListEditor::SituationListEditor(Session &session, QWidget *parent)
    : QGroupBox(QStringLiteral("状況リスト編集"), parent), s_(session)
{
    setToolTip(QStringLiteral("状況データの編集枠です"));

    auto *list = new SituationListBox(this);
    list->setObjectName(QStringLiteral("lstKoumoku"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setDragDropMode(QAbstractItemView::NoDragDrop);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->onLabelClick = [this] { lstKoumoku_Click(); };
    list->onMouseDown = [this] { lstKoumoku_MouseDown(); };
    list->onMouseUp = [this] { lstKoumoku_MouseUp(); };
    lstKoumoku_ = list;

    cmdNew2_ = new QPushButton(QStringLiteral("追加"), this);
    cmdNew2_->setObjectName(QStringLiteral("cmdNew2"));
    cmdDel_ = new QPushButton(QStringLiteral("削除"), this);
    cmdDel_->setObjectName(QStringLiteral("cmdDel"));
    cmdDel2_ = new QPushButton(QStringLiteral("全削除"), this);
    cmdDel2_->setObjectName(QStringLiteral("cmdDel2"));
    cmdSort_ = new ColourButton(QStringLiteral("並び替え"), this);
    cmdSort_->setObjectName(QStringLiteral("cmdSort"));
    txtChg_ = new QLineEdit(this);
    txtChg_->setObjectName(QStringLiteral("txtChg"));
    txtChg_->setPlaceholderText(QStringLiteral("新しい状況"));
    cmdChg_ = new QPushButton(QStringLiteral("状況コメントを入れ替える"), this);
    cmdChg_->setObjectName(QStringLiteral("cmdChg"));

    connect(cmdNew2_, &QPushButton::clicked, this, [this] { cmdNew2_Click(); });
    connect(cmdDel_, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdDel2_, &QPushButton::clicked, this, [this] { cmdDel2_Click(); });
    connect(cmdSort_, &QPushButton::clicked, this, [this] { cmdSort_Click(); });
    connect(cmdChg_, &QPushButton::clicked, this, [this] { cmdChg_Click(); });

    // The list on the left, its buttons on the right, the rename below.
    auto *g = new QGridLayout(this);
    g->setContentsMargins(8, 6, 8, 8);
    g->setHorizontalSpacing(8);
    g->addWidget(lstKoumoku_, 0, 0, 5, 1);
    g->addWidget(cmdNew2_, 0, 1);
    g->addWidget(cmdDel_, 1, 1);
    g->addWidget(cmdDel2_, 2, 1);
    g->addWidget(cmdSort_, 3, 1);
    g->setRowStretch(4, 1);
    g->addWidget(txtChg_, 5, 0);
    g->addWidget(cmdChg_, 5, 1);
    g->setColumnStretch(0, 1);

    disableSelectionButtons();
}

void SituationListEditor::disableSelectionButtons()
{
    cmdSort_->setEnabled(false);
    cmdDel_->setEnabled(false);
    cmdChg_->setEnabled(false);
}

int SituationListEditor::selectedRow() const
{
    const QList<QListWidgetItem *> selected = lstKoumoku_->selectedItems();
    return selected.isEmpty() ? -1 : lstKoumoku_->row(selected.first());
}

bool SituationListEditor::acceptStorable(const QString &text, const QString &refusal,
                                         const QString &title)
{
    const QString reason = store::unstorableReason(text);
    if (reason.isEmpty())
        return true;
    s_.dialogs.message(this, refusal + QStringLiteral("\n\n") + reason, title,
                       Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    return false;
}

bool SituationListEditor::confirm(const QString &text)
{
    return s_.dialogs.message(this, text, kConfirmTitle, Dialogs::Icon::Exclamation,
                              Dialogs::Buttons::OkCancel) == Dialogs::Answer::Ok;
}

void SituationListEditor::showDone(const QString &text, const QString &title)
{
    s_.dialogs.message(this, text, title, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void SituationListEditor::markOrderSaved()
{
    cmdSort_->setBackColor(toColor(palette::kDefault));
}

void SituationListEditor::lstKoumoku_Click()
{
    cmdSort_->setEnabled(true);
    cmdDel_->setEnabled(true);
    cmdChg_->setEnabled(true);
}

void SituationListEditor::cmdNew2_Click()
{
    if (!lists_)
        return;
    const QString title = QStringLiteral("状況追加");
    const QString answer =
        s_.dialogs.input(this, QStringLiteral("追加したい状況を入力して下さい"), title, QString())
            .value_or(QString());
    if (answer.isEmpty())
        return;
    // Taken as typed (a comma included), but never written half-wrong.
    if (!acceptStorable(answer, QStringLiteral("この状況は登録できません。"), title))
        return;
    if (MaybeError e = store::appendSituationBare(s_.dir, answer)) {
        showStoreError(s_.dialogs, this, QStringLiteral("状況リストに追加できませんでした。"), *e, kSaveErrorTitle);
        return;
    }
    lists_->appendToAll(answer);
}

void SituationListEditor::cmdDel_Click()
{
    if (!lists_)
        return;
    const int row = selectedRow();
    if (row < 0) {
        s_.dialogs.message(this, QStringLiteral("削除する状況を選択してください"),
                           kNoSelectionTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    const QString label = lstKoumoku_->item(row)->text();
    if (!confirm(label + QStringLiteral("を削除します。よろしいですか？")))
        return;

    // The file first: the lists change only once it holds the new list.
    QStringList labels = lists_->workingCopy();
    labels.removeAt(row);
    if (MaybeError e = store::writeSituationListBare(s_.dir, labels)) {
        showStoreError(s_.dialogs, this, QStringLiteral("状況を削除できませんでした。"), *e, kSaveErrorTitle);
        return;
    }
    delete lstKoumoku_->takeItem(row);
    lstKoumoku_->setCurrentRow(-1);
    lstKoumoku_->clearSelection();
    lists_->refillFromWorkingCopy();
    // The file now holds lstKoumoku's order, a dragged one included.
    markOrderSaved();
    showDone(QStringLiteral("選択したデータを削除しました"), kDoneDeleteTitle);
}

void SituationListEditor::cmdDel2_Click()
{
    if (!lists_)
        return;
    if (!confirm(QStringLiteral("状況リストを全削除します。よろしいですか？")))
        return;
    if (MaybeError e = store::writeSituationListBare(s_.dir, {})) {
        showStoreError(s_.dialogs, this, QStringLiteral("状況リストを削除できませんでした。"), *e, kSaveErrorTitle);
        return;
    }
    lists_->clearAll();
    markOrderSaved();
    showDone(QStringLiteral("状況リストを削除しました。\n\n"
                            "任意の状況をあらためて登録してください。"),
             kDoneDeleteTitle);
}

void SituationListEditor::cmdChg_Click()
{
    if (!lists_)
        return;
    const QString newText = txtChg_->text();
    if (newText.isEmpty()) {
        s_.dialogs.message(this, QStringLiteral("変更したいコメントを入力してください"),
                           QStringLiteral("変更後コメント未入力"), Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::Ok);
        return;
    }
    // Without a selection the old label would be the empty text, which
    // would rename every record without a situation.
    const int row = selectedRow();
    if (row < 0) {
        s_.dialogs.message(this, QStringLiteral("変更する状況を選択してください"),
                           kNoSelectionTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    const QString oldLabel = lstKoumoku_->item(row)->text();
    if (!acceptStorable(newText, QStringLiteral("このコメントは記録できません。"),
                        QStringLiteral("コメント変更")))
        return;
    if (!confirm(QStringLiteral("『") + oldLabel + QStringLiteral("』 を 『") + newText +
                 QStringLiteral("』 に変更します。よろしいですか？")))
        return;

    // Both files change, or neither does; the lists follow the files.
    if (MaybeError e =
            store::renameSituation(s_.dir, s_.person.DataFileName(), oldLabel, newText)) {
        showStoreError(s_.dialogs, this, QStringLiteral("コメントを入れ替えられませんでした。"), *e,
                       kSaveErrorTitle);
        return;
    }
    const MaybeError reload = lists_->LoadSituationList(s_.dir);
    if (!reload)
        markOrderSaved(); // the lists are the file again; no order is pending
    Q_EMIT renamed();
    if (reload) {
        showStoreError(s_.dialogs, this, 
            QStringLiteral("コメントは入れ替えましたが、状況リストを読み込めませんでした。"),
            *reload, QStringLiteral("ファイルエラー"));
        return;
    }
    showDone(QStringLiteral("コメントを入れ替えました。"), QStringLiteral("コメント変更終了"));
}

void SituationListEditor::lstKoumoku_MouseDown()
{
    DragIndex = selectedRow();
    DragLabel = DragIndex >= 0 ? lstKoumoku_->item(DragIndex)->text() : QString();
}

void SituationListEditor::lstKoumoku_MouseUp()
{
    // The selection has followed the pointer: it is the drop position.
    const int drop = selectedRow();
    const int from = DragIndex;
    if (drop < 0 || from < 0 || from >= lstKoumoku_->count())
        return;
    // On itself or on the label just below, the label is already in place.
    if (drop == from || drop == from + 1)
        return;
    delete lstKoumoku_->takeItem(from);
    // Directly above the label released on, whichever way the drag went.
    const int at = drop > from ? drop - 1 : drop;
    lstKoumoku_->insertItem(at, DragLabel);
    lstKoumoku_->setCurrentRow(at);
    cmdSort_->setBackColor(toColor(palette::kOrange));
}

void SituationListEditor::cmdSort_Click()
{
    if (!lists_)
        return;
    if (MaybeError e = store::writeSituationListBare(s_.dir, lists_->workingCopy())) {
        // cmdSort stays orange: the order is still not saved.
        showStoreError(s_.dialogs, this, QStringLiteral("並び替えた順番を保存できませんでした。"), *e,
                       kSaveErrorTitle);
        return;
    }
    lists_->refillFromWorkingCopy();
    markOrderSaved();
    showDone(QStringLiteral("並び替えた順番で状況リストを作成しました"),
             QStringLiteral("並び替え完了"));
}
