#include "compare/compare_panel.h"

#include "compare/help_text.h"
#include "core/session.h"
#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/help_tour.h"
#include "ui/line_chart.h"
#include "ui/named.h"
#include "ui/store_error_box.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <utility>

using namespace compare;

namespace {

constexpr int kMarkSize = 13;
// The lines in the colours of the persons' marks.
const QColor kLine1(0x1F, 0x5B, 0xD6);
const QColor kLine2(0xE0, 0x36, 0x2A);

QString indexed(const char *array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

// A mark keeps its place when hidden, so the columns never shift.
Picture *mark(const char *art, const QString &name, QWidget *parent)
{
    auto *p = named(new Picture(QString::fromLatin1(art), parent), name);
    p->setFixedSize(kMarkSize, kMarkSize);
    QSizePolicy policy = p->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    p->setSizePolicy(policy);
    return p;
}

QFrame *shape(const QString &name, Rgb fill, QWidget *parent)
{
    auto *f = named(new QFrame(parent), name);
    f->setFrameShape(QFrame::Box);
    f->setFrameShadow(QFrame::Plain);
    f->setLineWidth(1);
    setBackColor(f, toColor(fill));
    return f;
}

} // namespace

ComparePanel::ComparePanel(Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraAvgTai"));
    buildControls();
    SetupAverageGrid();
}

QString ComparePanel::helpText() const { return helptext::cmdAvgtai(); }

void ComparePanel::buildControls()
{
    auto *top = new QHBoxLayout;
    top->addWidget(buildTable(), 1);
    top->addSpacing(10);
    top->addWidget(buildGraphOptions(), 0, Qt::AlignTop);

    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(QStringLiteral("日毎の平均体重"), this));
    msgAvgtai_ = named(new Grid(this), QStringLiteral("msgAvgtai"));
    msgAvgtai_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    msgAvgtai_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    listColumn->addWidget(msgAvgtai_, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addLayout(listColumn);
    bottom->addSpacing(8);
    bottom->addWidget(buildCharts(), 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(bottom, 1);
}

// Seven rows on their coloured bands: the caption, person 1's value and
// mark, person 2's value and mark; the share bar beside the header row.
QWidget *ComparePanel::buildTable()
{
    auto *table = new QWidget(this);
    auto *grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(1);

    // Wide enough for the longest value, so a rebuild never moves a column.
    const int valueWidth = table->fontMetrics().horizontalAdvance(QStringLiteral("000.0Kgまで ( -00.0Kg )")) + 14;
    const QList<TableBand> bands = tableBands();
    for (int i = 0; i < kTableRows; ++i) {
        const QColor back = toColor(bands[i].back);
        // The band lies behind the row; the controls made after it lie on it.
        auto *band = new QWidget(table);
        setBackColor(band, back);
        grid->addWidget(band, i, 0, 1, 5);

        auto *caption = new QLabel(bands[i].caption, table);
        caption->setContentsMargins(8, 3, 12, 3);
        setBackColor(caption, back);
        grid->addWidget(caption, i, 0);

        for (int person = 1; person <= 2; ++person) {
            auto *value = named(new QLabel(table), indexed(person == 1 ? "lblD1" : "lblD2", i));
            value->setAlignment(Qt::AlignCenter);
            value->setContentsMargins(6, 3, 4, 3);
            value->setMinimumWidth(valueWidth);
            setBackColor(value, back);
            grid->addWidget(value, i, person == 1 ? 1 : 3);
            (person == 1 ? lblD1_ : lblD2_)[size_t(i)] = value;
        }
        if (i == 0) {
            for (QLabel *l : {caption, lblD1_[0], lblD2_[0]}) {
                QFont f = l->font();
                f.setBold(true);
                l->setFont(f);
            }
            continue;
        }
        imgD1_[size_t(i)] = mark(art::kBallPerson1, indexed("imgD1", i), table);
        imgD2_[size_t(i)] = mark(art::kBallPerson2, indexed("imgD2", i), table);
        grid->addWidget(imgD1_[size_t(i)], i, 2, Qt::AlignCenter);
        grid->addWidget(imgD2_[size_t(i)], i, 4, Qt::AlignCenter);
    }
    // Room for the marks and a little air around them.
    grid->setColumnMinimumWidth(2, kMarkSize + 10);
    grid->setColumnMinimumWidth(4, kMarkSize + 10);

    // Index 1 is the whole bar, index 0 lies over it from the same left
    // edge and shows person 1's share.
    shpShareBar_[1] = shape(indexed("shpShareBar", 1), palette::kRed, table);
    shpShareBar_[0] = shape(indexed("shpShareBar", 0), palette::kCyan, shpShareBar_[1]);
    shpShareBar_[0]->move(0, 0);
    shpShareBar_[1]->setToolTip(QStringLiteral("二人の測定回数の割合です（水色が登録者１、ピンクが登録者２）"));
    shpShareBar_[1]->setMinimumWidth(90);
    shpShareBar_[1]->setFixedHeight(lblD1_[0]->fontMetrics().height() + 2);
    shpShareBar_[1]->installEventFilter(this);
    grid->setColumnMinimumWidth(5, 10);
    grid->addWidget(shpShareBar_[1], 0, 6, Qt::AlignVCenter);
    grid->setColumnStretch(6, 1);
    return table;
}

// The two views and, in the frame of the view shown, its choice.
QGroupBox *ComparePanel::buildGraphOptions()
{
    auto *box = new QGroupBox(QStringLiteral("グラフ"), this);
    optGra1_ = named(new QRadioButton(QStringLiteral("同一軸上でグラフ表示"), box), QStringLiteral("optGra1"));
    optGra2_ = named(new QRadioButton(QStringLiteral("別々の軸上でグラフ表示"), box), QStringLiteral("optGra2"));
    optGra2_->setChecked(true);
    connect(optGra1_, &QRadioButton::clicked, this, [this] { optGra1_Click(); });
    connect(optGra2_, &QRadioButton::clicked, this, [this] { optGra2_Click(); });

    fraDgr2_ = named(new QGroupBox(QStringLiteral("Ｙ軸の下限"), box), QStringLiteral("fraDgr2"));
    optG3_ = named(new QRadioButton(QStringLiteral("下限自動"), fraDgr2_), QStringLiteral("optG3"));
    optG4_ = named(new QRadioButton(QStringLiteral("下限目標"), fraDgr2_), QStringLiteral("optG4"));
    optG3_->setChecked(true);
    optG3_->setToolTip(QStringLiteral("目盛りの下限をいちばん軽かった体重に合わせます"));
    optG4_->setToolTip(QStringLiteral("目盛りの下限を目標体重にします"));
    auto *boundLayout = new QHBoxLayout(fraDgr2_);
    boundLayout->addWidget(optG3_);
    boundLayout->addWidget(optG4_);
    connect(optG3_, &QRadioButton::clicked, this, [this] { optG3_Click(); });
    connect(optG4_, &QRadioButton::clicked, this, [this] { optG4_Click(); });

    fraDgr_ = named(new QGroupBox(QStringLiteral("表示のしかた"), box), QStringLiteral("fraDgr"));
    optG1_ = named(new QRadioButton(QStringLiteral("実際の値のまま"), fraDgr_), QStringLiteral("optG1"));
    optG2_ = named(new QRadioButton(QStringLiteral("グラフを重ねる"), fraDgr_), QStringLiteral("optG2"));
    optG1_->setChecked(true);
    optG2_->setToolTip(QStringLiteral("軽い人の線を重い人の線の高さまで持ち上げて描きます"));
    auto *overlayLayout = new QHBoxLayout(fraDgr_);
    overlayLayout->addWidget(optG1_);
    overlayLayout->addWidget(optG2_);
    connect(optG1_, &QRadioButton::clicked, this, [this] { optG1_Click(); });
    connect(optG2_, &QRadioButton::clicked, this, [this] { optG2_Click(); });
    fraDgr_->hide();

    // Each pair is a group of its own: the pairs in the frames lie inside
    // the box of the view buttons, and would otherwise count as one group.
    for (auto [a, b] : {std::pair{optGra1_, optGra2_}, std::pair{optG1_, optG2_}, std::pair{optG3_, optG4_}}) {
        auto *group = new QButtonGroup(box);
        group->addButton(a);
        group->addButton(b);
    }

    // Both frames as wide as the wider, so a switch moves nothing else.
    const int frameWidth = qMax(fraDgr_->sizeHint().width(), fraDgr2_->sizeHint().width());
    fraDgr_->setMinimumWidth(frameWidth);
    fraDgr2_->setMinimumWidth(frameWidth);

    auto *layout = new QGridLayout(box);
    layout->addWidget(optGra1_, 0, 0);
    layout->addWidget(optGra2_, 1, 0);
    // One frame shows at a time, in the same place.
    layout->addWidget(fraDgr2_, 2, 0);
    layout->addWidget(fraDgr_, 2, 0);
    return box;
}

// The two charts in one place, one showing at a time. The chart on one
// axis is made when that view is first chosen.
QWidget *ComparePanel::buildCharts()
{
    auto *area = new QWidget(this);
    mcrAvgtai_ = newChart(QStringLiteral("mcrAvgtai"), area);
    mcrAvgtai_->setSeriesOnRightAxis(2, true);

    // The marks are placed by hand beside the charts, in the margins
    // kept free for them.
    imgD1_[0] = mark(art::kBallPerson1, indexed("imgD1", 0), area);
    imgD2_[0] = mark(art::kBallPerson2, indexed("imgD2", 0), area);
    imgD1_[0]->setToolTip(QStringLiteral("登録者１（青い線・別々の軸では左の軸）"));
    imgD2_[0]->setToolTip(QStringLiteral("登録者２（赤い線・別々の軸では右の軸）"));
    area->installEventFilter(this);
    chartArea_ = area;

    auto *layout = new QGridLayout(area);
    layout->setContentsMargins(kMarkSize + 3, 0, kMarkSize + 3, 0);
    layout->addWidget(mcrAvgtai_, 0, 0);
    return area;
}

LineChart *ComparePanel::newChart(const QString &name, QWidget *area)
{
    auto *chart = named(new LineChart(area), name);
    chart->setColumnCount(2);
    chart->setSeriesColor(1, kLine1);
    chart->setSeriesColor(2, kLine2);
    chart->setLegendVisible(true);
    chart->setMinimumSize(300, 200);
    connect(chart, &LineChart::plotAreaChanged, this, [this] { placeAxisMarks(); });
    return chart;
}

// The chart on one axis, made and filled the first time it is wanted.
LineChart *ComparePanel::sameAxisChart()
{
    if (!mcrAvgtai2_) {
        mcrAvgtai2_ = newChart(QStringLiteral("mcrAvgtai2"), chartArea_);
        mcrAvgtai2_->hide();
        static_cast<QGridLayout *>(chartArea_->layout())->addWidget(mcrAvgtai2_, 0, 0);
        showDays(mcrAvgtai2_);
        applySameAxis();
    }
    return mcrAvgtai2_;
}

// The days of the comparison as a chart's rows.
void ComparePanel::showDays(LineChart *chart)
{
    chart->setRowCount(0);
    chart->setRowCount(c_.days);
    chart->setRowLabels([c = c_](int d) { return c.dayLabel(d); });
    chart->setSeriesName(1, c_.text1[0]);
    chart->setSeriesName(2, c_.text2[0]);
}

void ComparePanel::SetupAverageGrid()
{
    msgAvgtai_->setColumns(averageListColumns());
    // Exactly as wide as its columns, so all four show without scrolling.
    msgAvgtai_->setFixedWidth(msgAvgtai_->horizontalHeader()->length()
                              + msgAvgtai_->verticalScrollBar()->sizeHint().width()
                              + 2 * msgAvgtai_->frameWidth());
}

void ComparePanel::rebuild()
{
    SetupAverageGrid();
    BuildComparison();
}

void ComparePanel::BuildComparison()
{
    const PersonProfile &p1 = s_.person.profile(PersonSlot::One);
    const PersonProfile &p2 = s_.person.profile(PersonSlot::Two);
    QList<WeightRecord> records1, records2;
    MaybeError e = s_.records.read(PersonSlot::One, &records1);
    if (!e)
        e = s_.records.read(PersonSlot::Two, &records2);
    if (e) {
        // Half a comparison would mark the wrong winner: show neither.
        showStoreError(s_.dialogs, this,
                       QStringLiteral("比較に使うデータファイルを読み込めませんでした。"
                                      "比較画面には何も表示しません。"),
                       *e, QStringLiteral("ファイルエラー"));
        records1.clear();
        records2.clear();
    }
    c_ = buildComparison(records1, records2, p1.nickname, p2.nickname, p1.targetWeight,
                         p2.targetWeight);
    showComparison();
}

void ComparePanel::showComparison()
{
    for (int i = 0; i < kTableRows; ++i) {
        lblD1_[size_t(i)]->setText(c_.text1[size_t(i)]);
        lblD2_[size_t(i)]->setText(c_.text2[size_t(i)]);
        imgD1_[size_t(i)]->setVisible(c_.mark1[size_t(i)]);
        imgD2_[size_t(i)]->setVisible(c_.mark2[size_t(i)]);
    }
    // The mark by each axis always shows.
    imgD1_[0]->show();
    imgD2_[0]->show();
    sizeShareBar();

    msgAvgtai_->showTable(c_.averageRows, c_.averageScrollToEnd);

    for (LineChart *chart : {mcrAvgtai_, mcrAvgtai2_})
        if (chart)
            showDays(chart);
    mcrAvgtai_->setSeries(1, c_.series1);
    mcrAvgtai_->setSeries(2, c_.series2);
    // The new charts follow the choices the buttons show; the chart on one
    // axis is copied from the separate axes as they now stand.
    applySeparateAxes();
    sameAxisBound_ = bound_;
    applySameAxis();
}

void ComparePanel::sizeShareBar()
{
    QFrame *full = shpShareBar_[1];
    shpShareBar_[0]->setGeometry(0, 0, shareBarWidth(full->width(), c_.share1), full->height());
}

// Each person's mark stands by that person's axis, level with its lower end.
void ComparePanel::placeAxisMarks()
{
    if (!chartArea_)
        return; // still being built
    LineChart *shown = sameAxis_ ? mcrAvgtai2_ : mcrAvgtai_;
    const QRectF plot = shown->plotArea();
    const QPoint bottomLeft = shown->mapTo(chartArea_, QPoint(0, qRound(plot.bottom())));
    const int y = qBound(0, bottomLeft.y() - kMarkSize / 2, qMax(0, chartArea_->height() - kMarkSize));
    imgD1_[0]->move(shown->x() - kMarkSize - 2, y);
    imgD2_[0]->move(shown->x() + shown->width() + 2, y);
}

bool ComparePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == shpShareBar_[1] && event->type() == QEvent::Resize)
        sizeShareBar();
    if (watched == chartArea_ && event->type() == QEvent::Resize)
        placeAxisMarks();
    return Screen::eventFilter(watched, event);
}

void ComparePanel::applySeparateAxes()
{
    const SeparateAxes axes = separateAxes(c_, bound_);
    mcrAvgtai_->setLeftRange(axes.left);
    mcrAvgtai_->setRightRange(axes.right);
}

void ComparePanel::applySameAxis()
{
    if (!mcrAvgtai2_)
        return; // made with what the choices then say
    const SameAxisChart chart = compare::sameAxisChart(c_, overlay_, sameAxisBound_);
    mcrAvgtai2_->setSeries(1, chart.series1);
    mcrAvgtai2_->setSeries(2, chart.series2);
    mcrAvgtai2_->setLeftRange(chart.axis);
}

void ComparePanel::showView(bool sameAxis)
{
    sameAxis_ = sameAxis;
    mcrAvgtai_->setVisible(!sameAxis);
    if (sameAxis || mcrAvgtai2_)
        sameAxisChart()->setVisible(sameAxis);
    fraDgr_->setVisible(sameAxis);
    fraDgr2_->setVisible(!sameAxis);
    placeAxisMarks();
}

// A button acts when it changes the choice; clicking the chosen one again
// changes nothing.
void ComparePanel::optGra1_Click()
{
    if (sameAxis_)
        return;
    showView(true);
    s_.help.HelpText = helptext::optGra1();
    showHelpTour(s_, this);
}

void ComparePanel::optGra2_Click()
{
    if (!sameAxis_)
        return;
    showView(false);
    s_.help.HelpText = helptext::optGra2();
    showHelpTour(s_, this);
}

void ComparePanel::optG1_Click()
{
    if (overlay_ == SameAxisView::RealValues)
        return;
    overlay_ = SameAxisView::RealValues;
    sameAxisBound_ = bound_; // copied from the separate axes as they stand
    applySameAxis();
}

void ComparePanel::optG2_Click()
{
    if (overlay_ == SameAxisView::Overlaid)
        return;
    overlay_ = SameAxisView::Overlaid;
    sameAxisBound_ = bound_;
    applySameAxis();
}

// The lower bound belongs to the separate axes: the chart on one axis
// keeps the bounds it was copied with until it is copied again (a rebuild,
// 実際の値のまま or グラフを重ねる).
void ComparePanel::optG3_Click()
{
    if (bound_ == LowerBound::Automatic)
        return;
    bound_ = LowerBound::Automatic;
    applySeparateAxes();
}

void ComparePanel::optG4_Click()
{
    if (bound_ == LowerBound::Target)
        return;
    bound_ = LowerBound::Target;
    applySeparateAxes();
}
