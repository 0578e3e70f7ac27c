#include "search/search_panel.h"

#include "core/session.h"
#include "search/search_results.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/named.h"
#include "ui/paint_once.h"
#include "ui/record_dialog.h"
#include "ui/line_chart.h"
#include "ui/store_error_box.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>

using namespace search;

namespace {

// The boxes the user picks or types criteria into share one light ivory
// ground that never changes.
void ivory(QWidget *w)
{
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, toColor(palette::kIvory));
    w->setPalette(pal);
}

// The heading of a criteria group: white on the group's colour.
QLabel *groupCaption(const QString &text, const QColor &ground, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setContentsMargins(8, 2, 8, 2);
    setBackColor(l, ground);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(pal);
    return l;
}

// Marks on every point help a short list; on a long one they would hide
// the line.
constexpr int kMarkedPointsAtMost = 60;

} // namespace

SearchPanel::SearchPanel(Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraTaijyu"));
    buildControls();
    showButtonColours();
}

QString SearchPanel::helpText() const
{
    return QStringLiteral(
        u"これまで入力してきたデータを「状況」「曜日」「期間」指定で表示できます。\r\n"
        u"\r\n"
        u"「状況」をリストから選択すると、その「状況」のみのデータになります。\r\n"
        u"　※状況欄に直接任意の語句を入力することができます。（入力後Enter）\r\n"
        u"\r\n"
        u"各種曜日ボタンで選択すると指定した曜日でのデータになります。\r\n"
        u"\r\n"
        u"「期間」をボタンで選択すると指定した期間でのデータになります。\r\n"
        u"　※期間のコンボリストで任意に指定することも可能です。\r\n");
}

void SearchPanel::rebuild() { showOpening(); }

void SearchPanel::personChanged(bool visible)
{
    // A hidden search screen starts afresh when it is opened.
    if (visible)
        showOpening();
}

void SearchPanel::buildControls()
{
    // The list and the curve under it, no wider than the list's columns;
    // the criteria beside them. Space beyond both is shared out around them.
    auto *results = new QWidget(this);
    msgBunseki_ = named(new Grid(results), QStringLiteral("msgBunseki"));
    msgBunseki_->setFixedCols(kResultFixedCols);
    msgBunseki_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    msgBunseki_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    mcrBunseki_ = named(new LineChart(results), QStringLiteral("mcrBunseki"));
    mcrBunseki_->setColumnCount(1);
    mcrBunseki_->setSeriesName(1, QStringLiteral("体重"));
    mcrBunseki_->setSeriesColor(1, QColor(0x20, 0x60, 0xC0));
    mcrBunseki_->setLegendVisible(false);
    mcrBunseki_->setMinimumHeight(170);

    auto *left = new QVBoxLayout(results);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(6);
    left->addWidget(msgBunseki_, 3);
    left->addWidget(mcrBunseki_, 2);
    results_ = results;
    msgBunseki_->setColumns(resultColumns());
    // A row's record corrected or removed: the same search is run again.
    new RecordRowActions(
        s_, msgBunseki_,
        [this](int row) {
            return row >= 1 && row <= resultIndex_.size()
                       ? RowRecord{resultIndex_.at(row - 1), msgBunseki_->textMatrix(row, 1)}
                       : RowRecord{};
        },
        [this] {
            relist([](Criteria &, const QList<WeightRecord> &) {});
            Q_EMIT recordsChanged();
        });
    fitResultsWidth();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(results, 100);
    layout->addWidget(buildCriteria(), 30);
    layout->addStretch(1);
}

QWidget *SearchPanel::buildCriteria()
{
    auto *column = new QWidget(this);
    column->setMinimumWidth(256);
    column->setMaximumWidth(400);

    auto allButton = [column](const QString &name, const QString &tip) {
        auto *b = named(new ColourButton(QStringLiteral("全部"), column), name);
        b->setToolTip(tip);
        b->setFixedWidth(64);
        return b;
    };
    auto heading = [](QLabel *caption, QPushButton *all) {
        auto *row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(caption, 1);
        row->addWidget(all);
        return row;
    };

    // Situation.
    cmdAllact_ = allButton(QStringLiteral("cmdAllact"), QStringLiteral("すべての状況を表示します"));
    connect(cmdAllact_, &QPushButton::clicked, this, [this] { cmdAllact_Click(); });
    txtKey_ = named(new QLineEdit(column), QStringLiteral("txtKey"));
    txtKey_->setToolTip(QStringLiteral("状況に含まれる語句を入力して Enter キーを押します"));
    txtKey_->setPlaceholderText(QStringLiteral("語句を入力して Enter"));
    ivory(txtKey_);
    txtKey_->installEventFilter(this);
    connect(txtKey_, &QLineEdit::returnPressed, this, [this] { txtKey_Enter(); });
    lstAct2_ = named(new QListView(column), QStringLiteral("lstAct2"));
    lstAct2_->setToolTip(QStringLiteral("選んだ状況の記録だけを表示します"));
    lstAct2_->setMinimumHeight(72);
    ivory(lstAct2_);
    lstAct2_->installEventFilter(this);
    connect(lstAct2_, &QListView::clicked, this, [this] { lstAct2_Click(); });

    // Weekday.
    cmdAllWeek_ = allButton(QStringLiteral("cmdAllWeek"), QStringLiteral("すべての曜日を表示します"));
    connect(cmdAllWeek_, &QPushButton::clicked, this, [this] { cmdAllWeek_Click(); });
    const char *const weekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};
    auto *weekRow = new QHBoxLayout;
    weekRow->setSpacing(3);
    for (int i = 0; i < 7; ++i) {
        auto *b = named(new ColourButton(QString::fromUtf8(weekdays[i]), column),
                        QStringLiteral("cmdWeek_%1").arg(i));
        b->setMinimumWidth(34);
        if (i == 0 || i == 6) {
            QPalette pal = b->palette();
            pal.setColor(QPalette::ButtonText, i == 0 ? QColor(0xC0, 0, 0) : QColor(0, 0, 0xC0));
            b->setPalette(pal);
        }
        connect(b, &QPushButton::clicked, this, [this, i] { cmdWeek_Click(i); });
        cmdWeek_[i] = b;
        weekRow->addWidget(b);
    }

    // Period: the fixed spans from the shortest, then the two boxes.
    cmdAllDay_ = allButton(QStringLiteral("cmdAllDay"), QStringLiteral("最初の記録の日から今日までを表示します"));
    connect(cmdAllDay_, &QPushButton::clicked, this, [this] { period_Click(PeriodButton::AllDay); });
    struct Span {
        int index;
        const char *caption;
    };
    const Span spans[8] = {{1, "前日"}, {8, "３日"},   {2, "１週間"}, {3, "２週間"},
                           {4, "１ヶ月"}, {5, "３ヶ月"}, {6, "半年"},   {7, "１年"}};
    auto *spanGrid = new QGridLayout;
    spanGrid->setSpacing(3);
    for (int k = 0; k < 8; ++k) {
        const int i = spans[k].index;
        auto *b = named(new ColourButton(QString::fromUtf8(spans[k].caption), column),
                        QStringLiteral("cmdKikan%1").arg(i));
        const auto which = PeriodButton(int(PeriodButton::Kikan1) + i - 1);
        b->setToolTip(QStringLiteral("今日までの %1 日間を表示します").arg(periodDays(which) + 1));
        connect(b, &QPushButton::clicked, this, [this, which] { period_Click(which); });
        cmdKikan_[i] = b;
        spanGrid->addWidget(b, k / 4, k % 4);
    }
    periodDates_ = new QStringListModel(this);
    auto dateBox = [this, column](const QString &name, const QString &tip) {
        auto *box = named(new QComboBox(column), name);
        // The list first: an editable box made before it gets a completer
        // for the empty list it starts with, made again for this one.
        box->setModel(periodDates_);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(15);
        box->setToolTip(tip);
        box->setMinimumContentsLength(10);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        ivory(box);
        return box;
    };
    cboStdate_ = dateBox(QStringLiteral("cboStdate"), QStringLiteral("期間の最初の日 (2008/03/01 の形)"));
    cboEddate_ = dateBox(QStringLiteral("cboEddate"), QStringLiteral("期間の最後の日 (2008/03/31 の形)"));
    cmdKikanF_ = named(new ColourButton(QStringLiteral("任意"), column), QStringLiteral("cmdKikanF"));
    cmdKikanF_->setToolTip(QStringLiteral("日付の欄の期間を表示します"));
    connect(cmdKikanF_, &QPushButton::clicked, this, [this] { period_Click(PeriodButton::KikanF); });
    auto *dates = new QHBoxLayout;
    dates->setSpacing(3);
    dates->addWidget(cboStdate_, 1);
    dates->addWidget(new QLabel(QStringLiteral("～"), column));
    dates->addWidget(cboEddate_, 1);
    dates->addWidget(cmdKikanF_);
    cmdKikanF_->setFixedWidth(46);

    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(heading(groupCaption(QStringLiteral("状況指定"), QColor(0xC0, 0, 0), column), cmdAllact_));
    layout->addWidget(txtKey_);
    layout->addWidget(lstAct2_, 1);
    layout->addSpacing(8);
    layout->addLayout(heading(groupCaption(QStringLiteral("曜日指定"), QColor(0xC0, 0xC0, 0), column), cmdAllWeek_));
    layout->addLayout(weekRow);
    layout->addSpacing(8);
    layout->addLayout(heading(groupCaption(QStringLiteral("期間指定"), QColor(0, 0, 0xC0), column), cmdAllDay_));
    layout->addLayout(spanGrid);
    layout->addLayout(dates);
    return column;
}

bool SearchPanel::readRecords(QList<WeightRecord> *records)
{
    if (MaybeError e = s_.records.read(s_.person.selected(), records)) {
        showStoreError(s_.dialogs, this, QStringLiteral("記録を読み込めませんでした。"), *e,
                       QStringLiteral("読み込みエラー"));
        return false;
    }
    return true;
}

void SearchPanel::showOpening()
{
    QList<WeightRecord> records;
    // Unreadable: an empty list rather than the previous person's.
    if (!readRecords(&records))
        records.clear();
    PaintOnce once(this);
    const Opening o = openingState(records, s_.person.current().height);
    c_ = o.criteria;
    periodDates_->setStringList(o.listing.periodDates);
    showBoxes();
    showResult(o.listing.result);
    showButtonColours();
}

void SearchPanel::relist(const Change &change)
{
    QList<WeightRecord> records;
    if (!readRecords(&records))
        return;
    takeBoxes();
    change(c_, records);
    PaintOnce once(this);
    showBoxes();
    showResult(runSearch(records, c_, s_.person.current().height));
    showButtonColours();
}

void SearchPanel::takeBoxes()
{
    // Text typed without Enter still filters, so the all-situations button
    // must not stay lit over it.
    if (txtKey_->text() != c_.txtKey)
        enterKey(c_, txtKey_->text());
    // Dates typed or picked in the boxes filter as they stand: that is the
    // "任意" period, whichever span button was chosen before.
    if (cboStdate_->currentText() != c_.cboStdate || cboEddate_->currentText() != c_.cboEddate) {
        c_.cboStdate = cboStdate_->currentText();
        c_.cboEddate = cboEddate_->currentText();
        choosePeriod(c_, PeriodButton::KikanF, s_.clock.today(), {});
    }
}

void SearchPanel::showBoxes()
{
    if (txtKey_->text() != c_.txtKey)
        txtKey_->setText(c_.txtKey);
    cboStdate_->setEditText(c_.cboStdate);
    cboEddate_->setEditText(c_.cboEddate);
}

void SearchPanel::showResult(const Result &r)
{
    msgBunseki_->setColumns(resultColumns());
    fitResultsWidth();
    msgBunseki_->showTable(r.rows, r.scrollToEnd);
    resultIndex_ = r.recordIndex;
    mcrBunseki_->setMarker(r.chart.size() <= kMarkedPointsAtMost ? LineChart::Marker::Circle
                                                                 : LineChart::Marker::None);
    mcrBunseki_->setRowCount(0);
    mcrBunseki_->setSeries(1, r.chart);
    mcrBunseki_->setLeftRange(r.axis);
}

void SearchPanel::fitResultsWidth()
{
    // The fixed column 0 is drawn beside the header of the others.
    const int columns = msgBunseki_->horizontalHeader()->length()
                        + (msgBunseki_->verticalHeader()->isHidden()
                               ? 0
                               : msgBunseki_->verticalHeader()->sizeHint().width());
    results_->setMaximumWidth(columns + 2 * msgBunseki_->frameWidth()
                              + msgBunseki_->verticalScrollBar()->sizeHint().width());
}

void SearchPanel::showButtonColours()
{
    const ButtonColours b = buttonColours(c_);
    cmdAllact_->setBackColor(toColor(b.cmdAllact));
    cmdAllWeek_->setBackColor(toColor(b.cmdAllWeek));
    for (int i = 0; i < 7; ++i)
        cmdWeek_[i]->setBackColor(toColor(b.cmdWeek[size_t(i)]));
    cmdAllDay_->setBackColor(toColor(b.cmdAllDay));
    for (int i = 1; i <= 8; ++i)
        cmdKikan_[i]->setBackColor(toColor(b.cmdKikan[size_t(i)]));
    cmdKikanF_->setBackColor(toColor(b.cmdKikanF));
}

void SearchPanel::lstAct2_Click()
{
    const QModelIndex item = lstAct2_->currentIndex();
    if (!item.isValid())
        return;
    const QString label = item.data().toString();
    relist([&label](Criteria &c, const QList<WeightRecord> &) { pickSituation(c, label); });
}

void SearchPanel::txtKey_GotFocus()
{
    focusKey(c_);
    txtKey_->clear();
}

void SearchPanel::txtKey_Enter()
{
    const QString text = txtKey_->text();
    relist([&text](Criteria &c, const QList<WeightRecord> &) { enterKey(c, text); });
}

void SearchPanel::cmdAllact_Click()
{
    relist([](Criteria &c, const QList<WeightRecord> &) { chooseAllSituations(c); });
}

void SearchPanel::cmdWeek_Click(int weekday)
{
    relist([weekday](Criteria &c, const QList<WeightRecord> &) { chooseWeekday(c, weekday); });
}

void SearchPanel::cmdAllWeek_Click()
{
    relist([](Criteria &c, const QList<WeightRecord> &) { chooseAllWeekdays(c); });
}

void SearchPanel::period_Click(PeriodButton b)
{
    // Today at the moment of the click; "全部" from this person's own first record.
    const QDate today = s_.clock.today();
    relist([b, today](Criteria &c, const QList<WeightRecord> &records) {
        choosePeriod(c, b, today, records);
    });
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtKey_ && event->type() == QEvent::FocusIn) {
        // A click or Tab into the box starts a new search text; the focus
        // coming back after a message box or another window keeps it.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            txtKey_GotFocus();
    } else if (watched == lstAct2_ && event->type() == QEvent::KeyPress) {
        // Enter on a label chooses it, as a click does.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lstAct2_Click();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}
