#include "entry/entry_panel.h"

#include "core/number_input.h"
#include "core/session.h"
#include "entry/day_chart.h"
#include "entry/day_state.h"
#include "entry/day_view.h"
#include "entry/weight_entry.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/record_edit.h"
#include "store/record_save.h"
#include "store/settings_files.h"
#include "store/backup.h"
#include "store/undo.h"
#include "store/situation_file.h"
#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/bmi_meter_view.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/line_chart.h"
#include "ui/month_calendar.h"
#include "ui/named.h"
#include "ui/record_dialog.h"
#include "ui/situation_lists.h"
#include "ui/store_error_box.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace entry;

namespace {

const char *const kStepTexts[4] = {"", "0.1", "0.2", "0.5"};

QLabel *captionValue(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(190);
    l->setContentsMargins(6, 1, 6, 1);
    setBackColor(l, Qt::white);
    return l;
}

} // namespace

EntryPanel::EntryPanel(Session &session, entry::DayState &day, SituationLists &lists, QWidget *parent)
    : Screen(parent), s_(session), day_(day), lists_(lists)
{
    setObjectName(QStringLiteral("fraMain"));
    buildControls();
    SetupDayListGrid();
    lists_.attachMirror(lstAct_);
    mtvmain_->setSelectedDay(day_.day());
    ApplyMarkerMode();
    showStepText(s_.settings.StepText);
    connect(&day_, &entry::DayState::refreshed, this, [this] { showDay(); });
    // The day the window computed is shown as it is; after a person switch
    // made before this screen existed, the day is computed for the new
    // person, meters and all. Before the first computation (a start that
    // only registers) there is nothing to show.
    if (day_.isCurrent())
        showDay();
    else if (day_.computed())
        refreshDayAndMeters();
}

void EntryPanel::rebuild()
{
    if (personSwitchedMeanwhile_)
        refreshDayAndMeters();
}

void EntryPanel::personChanged(bool visible)
{
    if (visible)
        refreshDayAndMeters();
    else
        personSwitchedMeanwhile_ = true;
}

QString EntryPanel::helpText() const
{
    return QStringLiteral(
        u"体重を入力する画面です。\r\n"
        u"\r\n"
        u"まずはニックネームのボタンを押して自分のデータを表示させます。\r\n"
        u"ボタン横の数字はその日の入力回数です。\r\n"
        u"多い方は「緑」少ない方は「赤」で表示されます。同点の場合は両方「黄色」です。\r\n"
        u"\r\n"
        u"ボタン横のマークは「未登録」から１回登録ごとに表情が変わっていきます。\r\n"
        u"１回登録では「ムスッ」、２回登録で「ニコ」、３回登録で「すごくニコニコ」になります。\r\n"
        u"\r\n"
        u"\r\n"
        u"<データ入力方法>\r\n"
        u"①「状況選択」リストから体重測定時の状況を選択します。\r\n"
        u"\r\n"
        u"②前回の体重が表示されますので↑↓ボタンで今回の体重を指定します。\r\n"
        u"（表示欄に直接入力してEnterキーでもＯＫ）\r\n"
        u"\r\n"
        u"③あとはフロッピーアイコン（保存ボタン）をクリックするだけ。\r\n"
        u"\r\n"
        u"リストとグラフに結果が表示されます。\r\n"
        u"\r\n"
        u"左上のフェイスマークはその日での体重変動に連動しています。\r\n"
        u"減っていれば「笑い」、変動なければ「ニコ」、増えたら「ムスッ」です。\r\n"
        u"\r\n"
        u"一日の終わりを「笑い」か「ニコ」で締めくくろう！\r\n");
}

void EntryPanel::refreshDayAndMeters()
{
    personSwitchedMeanwhile_ = false;
    refreshDay(true);
}

void EntryPanel::buildControls()
{
    // Left: the face of the day, the summary, the calendar, the small meter.
    imgNashi_ = named(new Picture(QString::fromLatin1(art::kFaceNone), this), "imgNashi");
    imgkana_ = named(new Picture(QString::fromLatin1(art::kFaceSulk), this), "imgkana");
    imgniko_ = named(new Picture(QString::fromLatin1(art::kFaceSmile), this), "imgniko");
    imgwara_ = named(new Picture(QString::fromLatin1(art::kFaceLaugh), this), "imgwara");
    auto *faces = new QGridLayout;
    for (Picture *p : {imgNashi_, imgkana_, imgniko_, imgwara_}) {
        p->setFixedSize(64, 64);
        faces->addWidget(p, 0, 0);
        p->hide();
    }
    imgNashi_->show();

    lblDspNissuu_ = captionValue(QStringLiteral("lblDspNissuu"), this);
    lblDspTai_ = captionValue(QStringLiteral("lblDspTai"), this);
    lblDspBmi_ = captionValue(QStringLiteral("lblDspBmi"), this);
    lblDspHiman_ = captionValue(QStringLiteral("lblDspHiman"), this);
    auto *summary = new QGridLayout;
    summary->setVerticalSpacing(3);
    const QStringList titles = {QStringLiteral("開始日"), QStringLiteral("体重"),
                                QStringLiteral("ＢＭＩ"), QStringLiteral("肥満度")};
    const QList<QLabel *> values = {lblDspNissuu_, lblDspTai_, lblDspBmi_, lblDspHiman_};
    for (int i = 0; i < 4; ++i) {
        summary->addWidget(new QLabel(titles[i], this), i, 0);
        summary->addWidget(values[i], i, 1);
    }
    auto *top = new QHBoxLayout;
    top->addLayout(faces);
    top->addSpacing(6);
    top->addLayout(summary, 1);

    mtvmain_ = named(new MonthCalendar(this), "mtvmain");
    mtvmain_->setMinimumSize(270, 210);
    connect(mtvmain_, &MonthCalendar::dateClicked, this, [this] { mtvmain_DateClick(); });
    // A day chosen with the keys is shown too, so the screen always shows
    // the day a save would go to; the focus stays for the next key.
    connect(mtvmain_, &MonthCalendar::dateKeyed, this, [this] { RefreshDayView(); });

    smallMeter_ = new SmallBmiMeter(this);

    auto *left = new QVBoxLayout;
    left->addLayout(top);
    left->addSpacing(4);
    left->addWidget(mtvmain_);
    left->addSpacing(4);
    left->addWidget(smallMeter_);
    left->addStretch(1);

    // Middle: the situation, the weight, the save button, the scale step.
    auto *situationBox = new QGroupBox(QStringLiteral("① 状況選択"), this);
    lstAct_ = named(new QListView(situationBox), "lstAct");
    connect(lstAct_, &QListView::clicked, this, [this] { lstAct_Click(); });
    connect(lstAct_, &QListView::activated, this, [this] { lstAct_Click(); });
    cmdFree_ = named(new QPushButton(QStringLiteral("フリー入力"), situationBox), "cmdFree");
    cmdFree_->setToolTip(QStringLiteral("状況リストに無い内容を入力します"));
    connect(cmdFree_, &QPushButton::clicked, this, [this] { cmdFree_Click(); });
    cmdJikan_ = named(new QPushButton(QStringLiteral("時間"), situationBox), "cmdJikan");
    cmdJikan_->setToolTip(QStringLiteral("今の時刻を状況にします"));
    connect(cmdJikan_, &QPushButton::clicked, this, [this] { cmdJikan_Click(); });
    auto *situationLayout = new QVBoxLayout(situationBox);
    situationLayout->addWidget(lstAct_, 1);
    auto *freeRow = new QHBoxLayout;
    freeRow->addWidget(cmdFree_);
    freeRow->addWidget(cmdJikan_);
    situationLayout->addLayout(freeRow);

    auto *weightBox = new QGroupBox(QStringLiteral("② 体重　③ 保存"), this);
    txtTaiInp_ = named(new QLineEdit(weightBox), "txtTaiInp");
    QFont big = txtTaiInp_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    txtTaiInp_->setFont(big);
    txtTaiInp_->setAlignment(Qt::AlignRight);
    txtTaiInp_->setMaximumWidth(130);
    txtTaiInp_->installEventFilter(this);
    connect(txtTaiInp_, &QLineEdit::returnPressed, this, [this] { txtTaiInp_Enter(); });
    cmdUp_ = named(new QPushButton(QStringLiteral("↑"), weightBox), "cmdUp");
    cmdDn_ = named(new QPushButton(QStringLiteral("↓"), weightBox), "cmdDn");
    for (QPushButton *b : {cmdUp_, cmdDn_}) {
        b->setFixedSize(40, 28);
        b->setFont(big);
    }
    cmdUp_->setToolTip(QStringLiteral("体重計刻みの分だけ増やします"));
    cmdDn_->setToolTip(QStringLiteral("体重計刻みの分だけ減らします"));
    connect(cmdUp_, &QPushButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDn_, &QPushButton::clicked, this, [this] { cmdDn_Click(); });
    cmdTaiHozon_ = named(new QPushButton(weightBox), "cmdTaiHozon");
    cmdTaiHozon_->setIcon(art::icon(QString::fromLatin1(art::kSave)));
    cmdTaiHozon_->setIconSize(QSize(40, 40));
    cmdTaiHozon_->setFixedSize(58, 58);
    cmdTaiHozon_->setToolTip(QStringLiteral("体重を保存します"));
    connect(cmdTaiHozon_, &QPushButton::clicked, this, [this] { cmdTaiHozon_Click(); });
    // The day a save goes to, in words: the calendar may be paged to
    // another month meanwhile, where the selected day is out of sight.
    lblKirokuBi_ = named(new QLabel(weightBox), "lblKirokuBi");
    lblKirokuBi_->setToolTip(QStringLiteral("保存するとこの日の記録になります"));
    auto *weightLayout = new QGridLayout(weightBox);
    auto *kg = new QLabel(QStringLiteral("Kg"), weightBox);
    weightLayout->addWidget(lblKirokuBi_, 0, 0, 1, 5);
    weightLayout->addWidget(txtTaiInp_, 1, 0, 2, 1);
    weightLayout->addWidget(kg, 1, 1, 2, 1);
    weightLayout->addWidget(cmdUp_, 1, 2);
    weightLayout->addWidget(cmdDn_, 2, 2);
    weightLayout->addWidget(cmdTaiHozon_, 1, 3, 2, 1);
    weightLayout->setColumnStretch(4, 1);

    auto *stepBox = new QGroupBox(QStringLiteral("体重計刻み"), this);
    stepBox->setToolTip(QStringLiteral("↑↓ボタンで増減する量です"));
    auto *stepLayout = new QGridLayout(stepBox);
    const char *const captions[4] = {"", "０．１ Ｋｇ", "０．２ Ｋｇ", "０．５ Ｋｇ"};
    for (int i = 1; i <= 3; ++i) {
        auto *o = new QRadioButton(QString::fromUtf8(captions[i]), stepBox);
        o->setObjectName(QStringLiteral("optKizami_%1").arg(i));
        // Managed by hand: the stored step may match none of the three.
        o->setAutoExclusive(false);
        connect(o, &QRadioButton::clicked, this, [this, i] { optKizami_Click(i); });
        optKizami_[i] = o;
        stepLayout->addWidget(o, (i - 1) / 2, (i - 1) % 2);
    }
    txtKizami_ = named(new QLineEdit(stepBox), "txtKizami");
    txtKizami_->setPlaceholderText(QStringLiteral("任意 (Enter)"));
    txtKizami_->setToolTip(QStringLiteral("任意の刻みを入力してEnterキーを押します"));
    txtKizami_->setMaximumWidth(110);
    connect(txtKizami_, &QLineEdit::returnPressed, this, [this] { txtKizami_Enter(); });
    stepLayout->addWidget(txtKizami_, 1, 1);

    // The last change to the data files taken back (also Ctrl+Z outside
    // a text box).
    cmdUndo_ = named(new QPushButton(QStringLiteral("元に戻す"), this), "cmdUndo");
    connect(cmdUndo_, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });

    auto *middle = new QVBoxLayout;
    middle->addWidget(situationBox, 1);
    middle->addWidget(weightBox);
    middle->addWidget(stepBox);
    middle->addWidget(cmdUndo_, 0, Qt::AlignLeft);

    // Right: the day list over the chart of the day.
    msgDayList_ = named(new Grid(this), "msgDayList");
    // Eight measurements fit; a ninth scrolls the list to its newest row.
    msgDayList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // At the window's smallest the columns narrow a little before the
    // list scrolls sideways.
    msgDayList_->setNarrowestScale(0.75);
    msgDayList_->setVisibleDataRows(8);
    msgDayList_->setToolTip(QStringLiteral("F2キーまたは右クリックで記録を修正・削除できます"));
    new RecordRowActions(
        s_, msgDayList_,
        [this](int row) {
            return row >= 1 && row <= dayRecordIndex_.size() ? RowRecord{dayRecordIndex_.at(row - 1), dayListed_}
                                                             : RowRecord{};
        },
        [this] { Q_EMIT recordsChanged(); });
    mcrMain_ = named(new LineChart(this), "mcrMain");
    mcrMain_->setToolTip(QStringLiteral("クリックするとマーカーの形が変わります"));
    mcrMain_->setColumnCount(1);
    mcrMain_->setSeriesName(1, QStringLiteral("体重"));
    mcrMain_->setSeriesColor(1, QColor(0x20, 0x60, 0xC0));
    mcrMain_->setLegendVisible(false);
    connect(mcrMain_, &LineChart::userClicked, this, [this] { mcrMain_Click(); });
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("この日の記録"), this));
    right->addWidget(msgDayList_);
    right->addWidget(mcrMain_, 1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(left, 0);
    layout->addSpacing(6);
    layout->addLayout(middle, 0);
    layout->addSpacing(6);
    layout->addLayout(right, 1);
    // Narrow enough that the day list keeps its columns at the window's
    // smallest size.
    situationBox->setMinimumWidth(200);
}

void EntryPanel::SetupDayListGrid() { msgDayList_->setColumns(dayListColumns()); }

bool EntryPanel::RefreshDayView() { return refreshDay(false); }

bool EntryPanel::refreshDay(bool meters)
{
    // An unreadable file leaves an empty list and chart behind its message.
    SetupDayListGrid();
    mcrMain_->setRowCount(0);
    day_.setDay(mtvmain_->selectedDate());
    if (MaybeError e = day_.refresh(meters)) {
        showError(QStringLiteral("データを読み込めませんでした。"), *e,
                  QStringLiteral("ファイルエラー"));
        return false;
    }
    return true;
}

void EntryPanel::showDay()
{
    const DayView &v = day_.view();
    const QDate date = day_.day();
    // The window may have moved the day (a day opened from the calendar).
    if (mtvmain_->selectedDate() != date)
        mtvmain_->setSelectedDay(date);
    SetupDayListGrid();
    lblKirokuBi_->setText(saveDayCaption(date));

    msgDayList_->showTable(v.rows, v.scrollToEnd);
    dayRecordIndex_ = v.recordIndex;
    dayListed_ = dates::text(date);
    showUndoState();

    mcrMain_->setRowCount(0);
    mcrMain_->setSeries(1, v.chartPoints);
    const ChartRange range = dayChartRange(v.values, int(v.chartPoints.size()));
    if (!range.empty) {
        mcrMain_->setLeftRange(range.min, range.max);
    } else {
        // No measurement that day: an empty chart around the latest weight.
        const int base = int(v.values.LatestWeight);
        mcrMain_->setLeftRange(base > 0 ? base - 1 : 0, base > 0 ? base + 2 : 1);
    }

    lblDspNissuu_->setText(v.lblDspNissuu);
    lblDspTai_->setText(v.lblDspTai);
    lblDspBmi_->setText(v.lblDspBmi);
    lblDspHiman_->setText(v.lblDspHiman);

    for (Picture *p : {imgNashi_, imgkana_, imgniko_, imgwara_})
        p->hide();
    switch (v.face) {
    case DayFace::None: imgNashi_->show(); break;
    case DayFace::Sulk: imgkana_->show(); break;
    case DayFace::Smile: imgniko_->show(); break;
    case DayFace::Laugh: imgwara_->show(); break;
    }

    // A refresh ends any pending entry: no situation, nothing highlighted,
    // no step buttons, an empty weight box.
    setSituation(QString(), -1);
    txtTaiInp_->clear();
}

void EntryPanel::ApplyMarkerMode()
{
    switch (markerStyleFor(s_.settings.MarkerMode)) {
    case MarkerStyle::None: mcrMain_->setMarker(LineChart::Marker::None); break;
    case MarkerStyle::Circle: mcrMain_->setMarker(LineChart::Marker::Circle); break;
    case MarkerStyle::Ball: mcrMain_->setMarker(LineChart::Marker::Ball); break;
    }
}

void EntryPanel::showStepText(const QString &stepText)
{
    int match = 0;
    for (int i = 1; i <= 3; ++i)
        if (stepText == QLatin1String(kStepTexts[i]))
            match = i;
    for (int i = 1; i <= 3; ++i)
        optKizami_[i]->setChecked(i == match);
    // One step shows at a time: an option, or the typed step in the box.
    txtKizami_->setText(match == 0 ? stepText : QString());
}

void EntryPanel::setStepButtonsEnabled(bool enabled)
{
    cmdUp_->setEnabled(enabled);
    cmdDn_->setEnabled(enabled);
}

void EntryPanel::setSituation(const QString &situation, int listRow)
{
    s_.SelectedSituation = situation;
    lstAct_->selectionModel()->setCurrentIndex(lstAct_->model()->index(listRow, 0),
                                               QItemSelectionModel::ClearAndSelect);
    if (listRow < 0)
        lstAct_->clearSelection();
    setStepButtonsEnabled(!situation.isEmpty());
}

void EntryPanel::offerWeight()
{
    txtTaiInp_->setText(offeredWeight(s_.day.LatestWeight));
    txtTaiInp_->setFocus();
    txtTaiInp_->selectAll();
    setStepButtonsEnabled(true);
}

void EntryPanel::lstAct_Click()
{
    const QModelIndex item = lstAct_->currentIndex();
    if (!item.isValid())
        return;
    setSituation(item.data().toString(), item.row());
    offerWeight();
}

void EntryPanel::cmdFree_Click()
{
    const QString answer =
        s_.dialogs.input(this, freeInputPrompt(), freeInputTitle(), QString()).value_or(QString());
    if (answer.isEmpty())
        return;
    // A text the data file cannot hold is refused before anything changes.
    if (const QString reason = store::unstorableReason(answer); !reason.isEmpty()) {
        s_.dialogs.message(this, reason, freeInputTitle(), Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::Ok);
        return;
    }
    setSituation(answer, -1);
    offerWeight();
    if (s_.dialogs.message(this, addToListQuestion(), addToListTitle(), Dialogs::Icon::Question,
                           Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
        if (MaybeError e = store::appendSituationQuoted(s_.dir, answer)) {
            showError(QStringLiteral("状況リストに追加できませんでした。"), *e, QStringLiteral("保存エラー"));
        } else {
            lists_.appendToAll(answer);
            setSituation(answer, lstAct_->model()->rowCount() - 1); // the new label is the chosen one
        }
    }
    txtTaiInp_->selectAll();
    txtTaiInp_->setFocus();
}

void EntryPanel::cmdJikan_Click()
{
    setSituation(s_.clock.timeText(), -1);
    offerWeight();
}

void EntryPanel::cmdUp_Click()
{
    txtTaiInp_->setText(stepWeight(txtTaiInp_->text(), s_.settings.StepText, true));
}

void EntryPanel::cmdDn_Click()
{
    txtTaiInp_->setText(stepWeight(txtTaiInp_->text(), s_.settings.StepText, false));
}

void EntryPanel::cmdTaiHozon_Click() { save(); }

void EntryPanel::txtTaiInp_Enter()
{
    save();
    lstAct_->setFocus();
}

bool EntryPanel::save()
{
    const QString day = dates::text(mtvmain_->selectedDate());
    const SaveCheck check =
        checkSave(day, dates::text(s_.clock.today()), s_.SelectedSituation, txtTaiInp_->text());
    if (!check.ok) {
        s_.dialogs.message(this, check.text, check.title, Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::Ok);
        return false;
    }
    const store::NewRecord r{day, s_.SelectedSituation, check.weight, s_.settings.AutoTime != 0,
                             s_.clock.timeText()};
    // Registered for undo: an append keeps the old length, an insert a
    // verified copy of the file first.
    if (MaybeError e = store::saveNewRecordUndoable(s_.dir, s_.person.DataFileName(), r, s_.clock)) {
        showError(QStringLiteral("体重を保存できませんでした。"), *e, QStringLiteral("保存エラー"));
        return false;
    }
    RefreshDayView();
    setStepButtonsEnabled(false);
    return true;
}

void EntryPanel::showUndoState()
{
    const store::UndoState u = store::undoState(s_.dir);
    cmdUndo_->setEnabled(u.available);
    cmdUndo_->setToolTip(u.available ? QStringLiteral("%1（%2）を元に戻します（Ctrl+Z）")
                                           .arg(store::stepText(u.step), u.when.toString(QStringLiteral("M/d H:mm")))
                                     : QStringLiteral("元に戻せる変更はありません"));
}

void EntryPanel::cmdUndo_Click()
{
    if (undoLastChangeWithMessage(s_, this))
        Q_EMIT filesReplaced();
    else
        showUndoState();
}

void EntryPanel::mtvmain_DateClick()
{
    RefreshDayView();
    Q_EMIT focusSelectedPerson();
}

void EntryPanel::mcrMain_Click()
{
    s_.settings.MarkerMode = nextMarkerMode(s_.settings.MarkerMode);
    ApplyMarkerMode();
    if (MaybeError e = store::writeMarkerMode(s_.dir, s_.settings.MarkerMode))
        showError(QStringLiteral("マーカーの設定を保存できませんでした。"), *e, QStringLiteral("保存エラー"));
}

void EntryPanel::optKizami_Click(int index)
{
    if (s_.Loading || index < 1 || index > 3)
        return;
    s_.settings.StepText = QString::fromLatin1(kStepTexts[index]);
    showStepText(s_.settings.StepText);
    if (MaybeError e = store::writeStepText(s_.dir, s_.settings.StepText))
        showError(QStringLiteral("体重計刻みを保存できませんでした。"), *e, QStringLiteral("保存エラー"));
}

void EntryPanel::txtKizami_Enter()
{
    const QString text = asciiNumberText(txtKizami_->text()).trimmed();
    // What is not a usable step is refused; the file keeps the step it has.
    QString reason = stepRefusal(text);
    if (reason.isEmpty())
        reason = store::unstorableReason(text);
    if (!reason.isEmpty()) {
        s_.dialogs.message(this, reason, QStringLiteral("体重計刻み"), Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::Ok);
        return;
    }
    s_.settings.StepText = text;
    // The options show the step in effect: a typed step clears them (or
    // picks the one it equals), as the next start would show it.
    showStepText(text);
    if (MaybeError e = store::writeStepText(s_.dir, s_.settings.StepText))
        showError(QStringLiteral("体重計刻みを保存できませんでした。"), *e, QStringLiteral("保存エラー"));
}

void EntryPanel::showError(const QString &what, const StoreError &e, const QString &title)
{
    showStoreError(s_.dialogs, this, what, e, title);
}

bool EntryPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The weight box selects its whole text when it gets the focus, so a
    // typed weight replaces the offered one.
    if (watched == txtTaiInp_ && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtTaiInp_, [box = txtTaiInp_] { box->selectAll(); });
    return QFrame::eventFilter(watched, event);
}
