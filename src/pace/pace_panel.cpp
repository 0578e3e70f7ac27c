#include "pace/pace_panel.h"

#include "core/session.h"
#include "store/format.h"
#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/line_chart.h"
#include "ui/named.h"
#include "ui/store_error_box.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace pace;

namespace {

constexpr int kMarkSize = 13;
// The persons' colours, as their lines on the comparison screen.
const QColor kLine1(0x1F, 0x5B, 0xD6);
const QColor kLine2(0xE0, 0x36, 0x2A);

// The chart's columns: the trends first, then what goes with them.
enum Column { Trend1 = 1, Trend2, Daily1, Daily2, Forecast1, Forecast2, kColumns = Forecast2 };

QString indexed(const char *array, int person)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(person);
}

// A daily value lies under the trend drawn through it: the same colour,
// paler, so the line stays readable through a cloud of days.
QColor paler(QColor c)
{
    c.setAlpha(120);
    return c;
}

struct Band {
    const char *caption;
    Rgb back;
};

// The rows of the table on the bands of the comparison screen.
const Band kBands[] = {
    {"", palette::kRed},
    {"傾向体重（初日から）", palette::kOrange},
    {"ペース（１週間あたり）", palette::kYellow},
    {"目標到達予定", palette::kGreen},
    {"最近14日で量った日", palette::kCyan},
    {"続けて量った日数", palette::kPurple},
};

} // namespace

PacePanel::PacePanel(const Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraPace"));
    buildControls();
}

QString PacePanel::helpText() const
{
    return QStringLiteral(
        u"二人の体重の「傾向」と、目標体重にとどく予定の日を表示します。\r\n"
        u"\r\n"
        u"毎日の体重は食事や水分で上がったり下がったりしますが、\r\n"
        u"傾向はそのゆれをならした体重なので、本当の流れがわかります。\r\n"
        u"\r\n"
        u"最近１４日の傾向から１週間あたりのペースを計算し、\r\n"
        u"このペースが続いたら目標体重に何日にとどくかを予想します。\r\n"
        u"\r\n"
        u"グラフの実線が傾向、点が日毎の平均体重、破線が目標までの予想、横線が目標体重です。\r\n"
        u"\r\n"
        u"二人のペースを比べて、励ましあいながら目標をめざしましょう！\r\n");
}

void PacePanel::buildControls()
{
    mcrPace_ = named(new LineChart(this), "mcrPace");
    mcrPace_->setColumnCount(kColumns);
    const QColor colors[2] = {kLine1, kLine2};
    for (int k = 0; k < 2; ++k) {
        mcrPace_->setSeriesColor(Trend1 + k, colors[k]);
        mcrPace_->setSeriesColor(Daily1 + k, paler(colors[k]));
        mcrPace_->setSeriesLine(Daily1 + k, LineChart::Line::Points);
        mcrPace_->setSeriesColor(Forecast1 + k, colors[k]);
        mcrPace_->setSeriesLine(Forecast1 + k, LineChart::Line::Dashed);
    }
    mcrPace_->setLegendVisible(true);
    mcrPace_->setMinimumSize(300, 200);
    mcrPace_->setAccessibleName(QStringLiteral("二人の体重の傾向のグラフ"));

    auto *note = named(new QLabel(QStringLiteral("実線：傾向　　点：日毎の平均体重　　破線：目標到達までの予想"
                                                 "　　横の一点鎖線：目標体重"),
                                  this),
                       "lblPaceNote");
    note->setAlignment(Qt::AlignCenter);

    auto *top = new QHBoxLayout;
    top->addWidget(buildTable());
    top->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(mcrPace_, 1);
    layout->addWidget(note);
}

// A caption column and one column per person, each row on its band; the
// header row holds each person's mark and nickname in that person's colour.
QWidget *PacePanel::buildTable()
{
    auto *table = new QWidget(this);
    auto *grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(1);

    // Wide enough for the longest figure, so a rebuild never moves a column.
    const int valueWidth =
        table->fontMetrics().horizontalAdvance(QStringLiteral("目標から離れています（+00.00kg/週）")) + 16;
    std::array<QLabel *, 2> *rows[] = {&lblPaceName_, &lblPaceTrend_, &lblPaceWeek_,
                                       &lblPaceGoal_, &lblPaceDays_, &lblPaceRun_};
    const char *names[] = {"lblPaceName", "lblPaceTrend", "lblPaceWeek",
                           "lblPaceGoal", "lblPaceDays", "lblPaceRun"};
    const QColor colors[2] = {kLine1, kLine2};
    for (int i = 0; i < int(std::size(kBands)); ++i) {
        const QColor back = toColor(kBands[i].back);
        auto *band = new QWidget(table);
        setBackColor(band, back);
        grid->addWidget(band, i, 0, 1, 5);

        auto *caption = new QLabel(QString::fromUtf8(kBands[i].caption), table);
        caption->setContentsMargins(8, 3, 12, 3);
        setBackColor(caption, back);
        grid->addWidget(caption, i, 0);

        for (int k = 0; k < 2; ++k) {
            auto *value = named(new QLabel(table), indexed(names[i], k + 1));
            value->setAlignment(Qt::AlignCenter);
            value->setContentsMargins(6, 3, 6, 3);
            value->setMinimumWidth(valueWidth);
            setBackColor(value, back);
            (*rows[i])[size_t(k)] = value;
            if (i == 0) {
                QFont f = value->font();
                f.setBold(true);
                value->setFont(f);
                QPalette pal = value->palette();
                pal.setColor(QPalette::WindowText, colors[k]);
                value->setPalette(pal);
                // The person's mark before the nickname, as on the comparison.
                auto *mark = new Picture(QString::fromLatin1(k == 0 ? art::kBallPerson1 : art::kBallPerson2),
                                         table);
                mark->setFixedSize(kMarkSize, kMarkSize);
                grid->addWidget(mark, 0, 1 + 2 * k, Qt::AlignRight | Qt::AlignVCenter);
            }
            grid->addWidget(value, i, 2 + 2 * k);
        }
    }
    grid->setColumnMinimumWidth(1, kMarkSize + 8);
    grid->setColumnMinimumWidth(3, kMarkSize + 8);
    return table;
}

void PacePanel::rebuild()
{
    const Persons &p = s_.person;
    QList<WeightRecord> records1, records2;
    MaybeError e = s_.records.read(PersonSlot::One, &records1);
    if (!e)
        e = s_.records.read(PersonSlot::Two, &records2);
    if (e) {
        // One person's figures beside nothing would read as a comparison.
        showStoreError(s_.dialogs, this,
                       QStringLiteral("傾向の計算に使うデータファイルを読み込めませんでした。"
                                      "ペース画面には何も表示しません。"),
                       *e, QStringLiteral("ファイルエラー"));
    }
    view_ = e ? PaceView{} : buildPaceView(records1, p.profile(PersonSlot::One).targetWeight, records2,
                                                p.profile(PersonSlot::Two).targetWeight, s_.clock.today());
    showView(!e);
}

void PacePanel::showView(bool readable)
{
    const QString nicknames[2] = {s_.person.profile(PersonSlot::One).nickname,
                                  s_.person.profile(PersonSlot::Two).nickname};
    const PersonPace *persons[2] = {&view_.person1, &view_.person2};
    for (size_t k = 0; k < 2; ++k) {
        const PersonPace &p = *persons[k];
        lblPaceName_[k]->setText(nicknames[k]);
        if (!readable) {
            for (QLabel *l : {lblPaceTrend_[k], lblPaceWeek_[k], lblPaceGoal_[k], lblPaceDays_[k], lblPaceRun_[k]})
                l->clear();
            lblPaceGoal_[k]->setToolTip(QString());
            continue;
        }
        lblPaceTrend_[k]->setText(p.changeText.isEmpty()
                                      ? p.trendText
                                      : QStringLiteral("%1 ( %2 )").arg(p.trendText, p.changeText));
        lblPaceWeek_[k]->setText(p.paceText);
        lblPaceGoal_[k]->setText(p.goalText);
        lblPaceDays_[k]->setText(p.daysText);
        lblPaceRun_[k]->setText(p.runText);
        lblPaceGoal_[k]->setToolTip(p.hasRecords && p.target > 0
                                        ? QStringLiteral("目標体重 %1").arg(fmt::number(p.target, u"0.0Kg"))
                                        : QString());
    }
    showChart();
}

void PacePanel::showChart()
{
    const PaceChart &c = view_.chart;
    mcrPace_->setRowCount(0);
    mcrPace_->setRowCount(c.days);
    if (c.days > 0) {
        // The labels need the first day alone, not the columns.
        PaceChart days;
        days.start = c.start;
        mcrPace_->setRowLabels([days](int row) { return days.dayLabel(row); });
    }
    mcrPace_->setSeries(Trend1, c.trend1);
    mcrPace_->setSeries(Trend2, c.trend2);
    mcrPace_->setSeries(Daily1, c.daily1);
    mcrPace_->setSeries(Daily2, c.daily2);
    mcrPace_->setSeries(Forecast1, c.forecast1);
    mcrPace_->setSeries(Forecast2, c.forecast2);
    mcrPace_->setSeriesName(Trend1, s_.person.profile(PersonSlot::One).nickname);
    mcrPace_->setSeriesName(Trend2, s_.person.profile(PersonSlot::Two).nickname);
    // Two kilograms more below, so a target on the lowest whole kilogram
    // keeps its text under it, clear of the axis and of a forecast.
    mcrPace_->setLeftRange(c.axis.min - 2, c.axis.max);

    QList<LineChart::HorizontalLine> targets;
    const std::optional<float> target[2] = {c.target1, c.target2};
    const QString nicknames[2] = {s_.person.profile(PersonSlot::One).nickname,
                                  s_.person.profile(PersonSlot::Two).nickname};
    const QColor colors[2] = {kLine1, kLine2};
    if (target[0] && target[1] && *target[0] == *target[1]) {
        // One line for a shared target, so neither text hides the other.
        targets.append({double(*target[0]), QColor(0x50, 0x50, 0x50),
                        QStringLiteral("%1・%2の目標 %3")
                            .arg(nicknames[0], nicknames[1], fmt::number(*target[0], u"0.0Kg"))});
    } else {
        for (int k = 0; k < 2; ++k)
            if (target[k])
                targets.append({double(*target[k]), colors[k],
                                QStringLiteral("%1の目標 %2").arg(nicknames[k], fmt::number(*target[k], u"0.0Kg"))});
    }
    mcrPace_->setHorizontalLines(targets);
}
