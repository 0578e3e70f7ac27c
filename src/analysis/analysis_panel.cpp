#include "analysis/analysis_panel.h"

#include "analysis/average_trend.h"
#include "analysis/band_ranking.h"
#include "analysis/milestones.h"
#include "analysis/series_table.h"
#include "analysis/trend_panel.h"
#include "core/session.h"
#include "ui/grid.h"
#include "ui/record_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace analysis;

namespace {

// A grid exactly as wide as its columns and a vertical scroll bar, so the
// table never needs to scroll sideways and no frame wastes room. The grid
// decides the pixels of its columns (they follow its font), so this is
// measured again whenever the screen shows.
void fitWidth(Grid *g)
{
    const int width = 2 * g->frameWidth() + g->verticalScrollBar()->sizeHint().width()
                      + g->horizontalHeader()->length();
    if (g->width() != width || g->minimumWidth() != width)
        g->setFixedWidth(width);
}

Grid *tableGrid(const char *name, const table::Columns &columns, QWidget *parent)
{
    auto *g = new Grid(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setColumns(columns);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setMinimumHeight(120);
    fitWidth(g);
    return g;
}

// Two option buttons side by side, named name_0 and name_1, the one at
// `checked` chosen; a click on either calls onClick.
template <typename OnClick>
QWidget *optionPair(QRadioButton *(&out)[2], const QString &name, const QString &first,
                    const QString &second, int checked, QWidget *parent, OnClick onClick)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString captions[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        out[i] = new QRadioButton(captions[i], row);
        out[i]->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        layout->addWidget(out[i]);
        QObject::connect(out[i], &QRadioButton::clicked, parent, onClick);
    }
    out[checked]->setChecked(true);
    layout->addStretch(1);
    return row;
}

// The caption under a table: the record it reports is the point of the
// table, so it stands out a little.
QLabel *caption(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

AnalysisPanel::AnalysisPanel(Session &session, std::function<void(const WeightSeries &)> drawTrendGraph,
                             QWidget *parent)
    : Screen(parent), s_(session), drawTrendGraph_(std::move(drawTrendGraph))
{
    setObjectName(QStringLiteral("fraBunseki"));

    msgB_[0] = tableGrid("msgB1", seriesTableColumns(), this);
    msgB_[1] = tableGrid("msgB2", milestoneColumns(), this);
    msgB_[2] = tableGrid("msgB3", averageTrendColumns(), this);
    msgB_[3] = tableGrid("msgB4", bandRankingColumns(), this);
    // Row n of the series table is record n of the file.
    new RecordRowActions(
        s_, msgB_[0],
        [this](int row) {
            return row >= 1 && row <= series_.count ? RowRecord{row - 1, series_.dates.value(row - 1)}
                                                      : RowRecord{};
        },
        [this] {
            rebuild();
            Q_EMIT recordsChanged();
        });

    // Both option arrays keep their choice for the life of the window.
    QWidget *diffRow = optionPair(Option1_, QStringLiteral("Option1"), QStringLiteral("前回との差"),
                                  QStringLiteral("初回との差"), 0, this, [this] { Option1_Click(); });
    QWidget *bandRow = optionPair(Option2_, QStringLiteral("Option2"), QStringLiteral("１.０Ｋｇ刻み"),
                                  QStringLiteral("０.５Ｋｇ刻み"), 1, this, [this] { Option2_Click(); });

    Label5_[0] = caption("Label5_0", this);
    Label5_[1] = caption("Label5_1", this);

    fraB_[0] = frame("fraB1", QStringLiteral("    時系列体重データ"), msgB_[0], diffRow);
    fraB_[1] = frame("fraB2", QStringLiteral("    区切り経過"), msgB_[1], Label5_[0]);
    fraB_[2] = frame("fraB3", QStringLiteral("    体重平均推移"), msgB_[2], Label5_[1]);
    fraB_[3] = frame("fraB4", QStringLiteral("    体重推移累積番付 < 0.5Kg刻み >"), msgB_[3], bandRow);

    frames_ = new QGridLayout(this);
    frames_->setContentsMargins(8, 6, 8, 6);
    frames_->setHorizontalSpacing(16);
    frames_->setVerticalSpacing(8);
    arrangeFrames(2);
}

QGroupBox *AnalysisPanel::frame(const char *name, const QString &caption, Grid *grid,
                                QWidget *below)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(QString::fromLatin1(name));
    grid->setParent(box);
    below->setParent(box);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(grid, 1);
    layout->addWidget(below);
    // The options and captions keep one height, so the tables of a row of
    // frames line up.
    below->setFixedHeight(qMax(below->sizeHint().height(), 22));
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return box;
}

void AnalysisPanel::arrangeFrames(int perRow)
{
    if (perRow == perRow_)
        return;
    perRow_ = perRow;
    for (QGroupBox *f : fraB_)
        frames_->removeWidget(f);
    for (int c = 0; c < frames_->columnCount(); ++c)
        frames_->setColumnStretch(c, 0);
    for (int r = 0; r < frames_->rowCount(); ++r)
        frames_->setRowStretch(r, 0);
    // Columns 0 and perRow + 1 are empty margins that share the spare
    // width, so the tables stay together in the middle.
    for (int i = 0; i < 4; ++i)
        frames_->addWidget(fraB_[i], i / perRow, 1 + i % perRow);
    frames_->setColumnStretch(0, 1);
    frames_->setColumnStretch(perRow + 1, 1);
    for (int r = 0; r < 4 / perRow; ++r)
        frames_->setRowStretch(r, 1);
}

void AnalysisPanel::showEvent(QShowEvent *event)
{
    for (Grid *g : msgB_)
        fitWidth(g);
    Screen::showEvent(event);
}

void AnalysisPanel::resizeEvent(QResizeEvent *event)
{
    Screen::resizeEvent(event);
    const QMargins m = frames_->contentsMargins();
    int fourInRow = m.left() + m.right() + 3 * frames_->horizontalSpacing();
    for (QGroupBox *f : fraB_)
        fourInRow += f->sizeHint().width();
    arrangeFrames(event->size().width() >= fourInRow ? 4 : 2);
}

QString AnalysisPanel::helpText() const
{
    return QStringLiteral(
        u"登録されている体重データを元に４つの分析結果を一覧表示します。\r\n"
        u"\r\n"
        u"　・時系列連続体重：体重の推移です。前回との差と初回との差で切り替えができます。\r\n"
        u"\r\n"
        u"　・区切り経過　　　：０．５Ｋｇを区切りとして何日後に達成したかが把握できます。\r\n"
        u"\r\n"
        u"　・体重平均推移　　：体重推移の平均です。停滞期でも下がっていくので励みになります。\r\n"
        u"\r\n"
        u"　・体重推移累積番付：何回その体重区間に滞在したかが把握できます。停滞期も楽しく乗りきれます！？\r\n"
        u"\r\n"
        u"\r\n"
        u"これらの情報を利用してダイエットの励みにしましょう。");
}

void AnalysisPanel::rebuild()
{
    // A file that cannot be read leaves the series empty: the tables are
    // emptied below rather than keeping the previous person's rows.
    // The reload of the series: load, then the graph drawn, then any
    // message about a file that could not be read.
    const MaybeError e = TrendPanel::LoadWeightSeries(s_, &series_);
    if (drawTrendGraph_)
        drawTrendGraph_(series_);
    TrendPanel::reportUnreadSeries(s_, this, e);
    FillSeriesTable();
    FillMilestoneTable();
    FillAverageTrend();
    FillBandRanking();
}

void AnalysisPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}

void AnalysisPanel::FillSeriesTable()
{
    const SeriesTable t = analysis::FillSeriesTable(
        series_, Option1_[0]->isChecked() ? DiffMode::Previous : DiffMode::First);
    msgB_[0]->setTextMatrix(0, 3, t.diffHeader);
    msgB_[0]->showTable(t.rows, t.scrollToEnd);
}

void AnalysisPanel::FillMilestoneTable()
{
    const MilestoneTable t = analysis::FillMilestoneTable(series_);
    msgB_[1]->showTable(t.rows, t.scrollToEnd);
    Label5_[0]->setText(t.caption);
}

void AnalysisPanel::FillAverageTrend()
{
    const AverageTrend t = analysis::FillAverageTrend(series_);
    msgB_[2]->showTable(t.rows, t.scrollToEnd);
    Label5_[1]->setText(t.caption);
}

void AnalysisPanel::FillBandRanking()
{
    const BandRanking t = analysis::FillBandRanking(
        series_, Option2_[0]->isChecked() ? BandWidth::OneKg : BandWidth::HalfKg);
    msgB_[3]->showTable(t.rows, t.scrollToEnd);
    fraB_[3]->setTitle(t.frameCaption);
}

void AnalysisPanel::Option1_Click() { FillSeriesTable(); }

void AnalysisPanel::Option2_Click() { FillBandRanking(); }
