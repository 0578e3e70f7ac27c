#include "analysis/trend_panel.h"

#include "analysis/trend_graph.h"
#include "core/number_input.h"
#include "core/session.h"
#include "store/first_start.h"
#include "store/record_line.h"
#include "store/settings_files.h"
#include "ui/back_color.h"
#include "ui/line_chart.h"
#include "ui/store_error_box.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace analysis;

namespace {

// The blue weight line and the red average line the help texts speak of.
const QColor kWeightLine(0x2F, 0x62, 0xD0);
const QColor kAverageLine(0xE0, 0x36, 0x2A);

QLabel *summaryLabel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setContentsMargins(6, 2, 6, 2);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setBackColor(l, Qt::white);
    return l;
}

} // namespace

TrendPanel::TrendPanel(const Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraRenTai"));

    lblNichis_ = summaryLabel("lblNichis", this);
    lblKiro_ = summaryLabel("lblKiro", this);

    cboIdou_ = new QComboBox(this);
    cboIdou_->setObjectName(QStringLiteral("cboIdou"));
    cboIdou_->setEditable(true);
    cboIdou_->setInsertPolicy(QComboBox::NoInsert);
    cboIdou_->setToolTip(QStringLiteral("何回分を平均するかを選びます"));
    cboIdou_->setMinimumWidth(72);
    // The combo box holds the focus and hands keys to its line edit itself,
    // so Enter is caught on the combo box, where real key presses arrive.
    cboIdou_->installEventFilter(this);
    connect(cboIdou_, &QComboBox::activated, this, [this] { cboIdou_Click(); });

    cmdMokuChk_ = new ColourButton(QStringLiteral("目標まで残り"), this);
    cmdMokuChk_->setObjectName(QStringLiteral("cmdMokuChk"));
    cmdMokuChk_->setToolTip(QStringLiteral("グラフの下限を目標体重と最小記録で切り替えます"));
    cmdMokuChk_->setMinimumWidth(180);
    connect(cmdMokuChk_, &QPushButton::clicked, this, [this] { cmdMokuChk_Click(); });

    mcrRentai_ = new LineChart(this);
    mcrRentai_->setObjectName(QStringLiteral("mcrRentai"));
    mcrRentai_->setColumnCount(2);
    mcrRentai_->setSeriesName(1, QStringLiteral("推移"));
    mcrRentai_->setSeriesColor(1, kWeightLine);
    mcrRentai_->setSeriesName(2, QStringLiteral("移動平均"));
    mcrRentai_->setSeriesColor(2, kAverageLine);
    mcrRentai_->setLegendVisible(true);
    mcrRentai_->setMinimumHeight(240);

    auto *windowRow = new QHBoxLayout;
    windowRow->setSpacing(4);
    windowRow->addWidget(new QLabel(QStringLiteral("移動平均"), this));
    windowRow->addWidget(cboIdou_);
    windowRow->addWidget(new QLabel(QStringLiteral("回分"), this));
    windowRow->addStretch(1);

    auto *top = new QGridLayout;
    top->setHorizontalSpacing(10);
    top->setVerticalSpacing(4);
    top->addWidget(lblNichis_, 0, 0);
    top->addLayout(windowRow, 0, 1);
    top->addWidget(lblKiro_, 1, 0);
    top->addWidget(cmdMokuChk_, 1, 1);
    top->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(top);
    layout->addWidget(mcrRentai_, 1);

    for (int i = 1; i <= 30; ++i)
        cboIdou_->addItem(QString::number(i));
    // A window that is not a whole number of 1 or more cannot be drawn:
    // start with the usual 10 and leave the file alone until the user
    // chooses.
    QString text = s_.settings.MovingAverageText;
    int window = movingAverageWindow(text);
    if (window < 1) {
        text = store::defaults().movingAverage;
        window = movingAverageWindow(text);
    }
    window_ = window;
    windowText_ = text;
    cboIdou_->setEditText(text);
}

TrendPanel::~TrendPanel()
{
    // The combo box outlives this object by a moment and, losing the focus
    // as the window goes, would report a pick here.
    cboIdou_->disconnect(this);
}

QString TrendPanel::helpText() const
{
    return QStringLiteral(
        u"ナナホシを開始した日から現在までの体重の推移を表示します。\r\n"
        u"\r\n"
        u"青線は入力した体重データそのものです。\r\n"
        u"\r\n"
        u"赤線は１０回分を平均化した移動平均データです。\r\n"
        u"突発的な増減の影響を受けず傾向をつかみやすいグラフになります。\r\n"
        u"（移動平均量はコンボＢＯＸで可変させることができます）\r\n"
        u"\r\n"
        u"「目標まで残り○○Ｋｇ」ボタンを押すとグラフの下限を目標値に切り替えられます。\r\n");
}

void TrendPanel::rebuild()
{
    // A window typed but never confirmed is not the one the graph draws
    // with: show the one in effect again.
    if (cboIdou_->currentText() != windowText_)
        cboIdou_->setEditText(windowText_);
    ReloadSeries();
    applyTargetFloor();
}

void TrendPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}

MaybeError TrendPanel::LoadWeightSeries(const Session &s, WeightSeries *series)
{
    QList<WeightRecord> records;
    MaybeError e = s.records.read(s.person.selected(), &records);
    *series = e ? WeightSeries{} : buildWeightSeries(records);
    return e;
}

void TrendPanel::reportUnreadSeries(const Session &s, QWidget *parent, const MaybeError &e)
{
    if (e)
        showStoreError(s.dialogs, parent, QStringLiteral("体重データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
}

bool TrendPanel::ReloadSeries()
{
    WeightSeries series;
    const MaybeError e = LoadWeightSeries(s_, &series);
    DrawTrendGraph(series); // emptied before the message, if the file was unreadable
    reportUnreadSeries(s_, this, e);
    return !e;
}

void TrendPanel::DrawTrendGraph(const WeightSeries &series)
{
    series_ = series;
    const TrendGraph g =
        analysis::DrawTrendGraph(series_, window_, s_.person.current().targetWeight, false);
    mcrRentai_->setRowCount(0);
    mcrRentai_->setSeries(1, g.chart.weights);
    mcrRentai_->setSeries(2, g.chart.movingAverage);
    mcrRentai_->setRowLabels([dates = series_.dates](int row) { return dates.value(row - 1); });
    if (series_.count > 0)
        mcrRentai_->setLeftRange(g.axis);
    lblNichis_->setText(g.lblNichis);
    lblKiro_->setText(g.lblKiro);
    cmdMokuChk_->setText(series_.count > 0 ? g.cmdMokuChk : QStringLiteral("目標まで残り"));
}

void TrendPanel::RedrawMovingAverage()
{
    const TrendChart c = analysis::RedrawMovingAverage(series_, window_);
    mcrRentai_->setSeries(1, c.weights);
    mcrRentai_->setSeries(2, c.movingAverage);
}

void TrendPanel::applyTargetFloor()
{
    if (series_.count > 0)
        mcrRentai_->setLeftRange(trendAxis(series_, s_.person.current().targetWeight, TargetFloorOn));
    cmdMokuChk_->setBackColor(toColor(targetButtonBack(TargetFloorOn)));
}

void TrendPanel::cmdMokuChk_Click()
{
    TargetFloorOn = !TargetFloorOn;
    applyTargetFloor();
}

void TrendPanel::cboIdou_Click()
{
    const QString text = asciiNumberText(cboIdou_->currentText());
    if (text.isEmpty())
        return;
    if (text != cboIdou_->currentText())
        cboIdou_->setEditText(text);
    const WindowInput in = readWindowInput(text);
    if (in.action != WindowInput::Action::Accept || !store::unstorableReason(text).isEmpty()) {
        cboIdou_->clearEditText();
        return;
    }
    window_ = in.window;
    windowText_ = text;
    RedrawMovingAverage();
    if (MaybeError e = store::writeMovingAverageText(s_.dir, text))
        showStoreError(s_.dialogs, this, QStringLiteral("移動平均の設定を保存できませんでした。"), *e);
}

bool TrendPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboIdou_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboIdou_Click();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}
