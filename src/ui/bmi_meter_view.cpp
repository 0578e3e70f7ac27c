#include "ui/bmi_meter_view.h"

#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/twips.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int kMarkerHeightTwips = 300;
constexpr int kBandHeightTwips = 240;
constexpr int kTickHeightTwips = 240;

QLabel *valueLabel(const QString &name, QWidget *parent, int minWidth = 56)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(minWidth);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    setBackColor(l, Qt::white);
    return l;
}

QLabel *fixedLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

BmiBands::BmiBands(int scaleTwipsPerBmi, const QString &shapeName, const QString &imageName,
                   QWidget *parent)
    : QWidget(parent), scale_(scaleTwipsPerBmi)
{
    for (int k = 0; k < 5; ++k) {
        auto *band = new QFrame(this);
        band->setObjectName(shapeName + QStringLiteral("_%1").arg(k));
        band->setFrameShape(QFrame::Box);
        band->setLineWidth(1);
        setBackColor(band, toColor(BmiMeter::bandColour(k)));
        bands_[k] = band;
    }
    // BMI figures under the band edges.
    for (const char *t : {"17", "20", "24", "26.4", "30", "32"}) {
        auto *tick = new QLabel(QString::fromLatin1(t), this);
        tick->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QFont f = tick->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        tick->setFont(f);
        ticks_.append(tick);
    }
    marker_ = new Picture(QString::fromLatin1(art::kBmiMarker), this);
    // No marker until there is a BMI to point at (before anyone is
    // registered, or without a height).
    marker_->hide();
    marker_->setObjectName(imageName);
    layoutChildren();
}

QSize BmiBands::sizeHint() const
{
    const int w = BmiMeter::bandLeftTwips(5, scale_) + BmiMeter::kMarkerWidthTwips / 2;
    return {twipsToPixels(w, this),
            twipsToPixels(kMarkerHeightTwips + kBandHeightTwips + kTickHeightTwips, this)};
}

void BmiBands::placeMarker(int leftTwips)
{
    markerTwips_ = leftTwips;
    layoutChildren();
}

void BmiBands::setMarkerShown(bool shown)
{
    marker_->setVisible(shown);
}

bool BmiBands::markerShown() const { return !marker_->isHidden(); }

void BmiBands::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void BmiBands::layoutChildren()
{
    // Centre the drawing when the widget is wider than the meter.
    const int natural = sizeHint().width();
    const int offset = std::max(0, (width() - natural) / 2);
    const int markerH = twipsToPixels(kMarkerHeightTwips, this);
    const int bandH = twipsToPixels(kBandHeightTwips, this);
    for (int k = 0; k < 5; ++k) {
        const int x = offset + twipsToPixels(BmiMeter::bandLeftTwips(k, scale_), this);
        const int w = twipsToPixels(BmiMeter::bandWidthTwips(k, scale_), this);
        bands_[k]->setGeometry(x, markerH, w + 1, bandH);
    }
    const int mw = twipsToPixels(BmiMeter::kMarkerWidthTwips, this);
    marker_->setGeometry(offset + twipsToPixels(markerTwips_, this), 0, mw, markerH);
    marker_->raise();
    for (int i = 0; i < ticks_.size(); ++i) {
        const int x = offset + twipsToPixels(BmiMeter::bandLeftTwips(i, scale_), this);
        const int tw = 40;
        ticks_[i]->setGeometry(x - tw / 2, markerH + bandH, tw, twipsToPixels(kTickHeightTwips, this));
    }
}

SmallBmiMeter::SmallBmiMeter(QWidget *parent) : QWidget(parent)
{
    bands_ = new BmiBands(BmiMeter::kSmallScaleTwips, QStringLiteral("Shape1"),
                          QStringLiteral("Image1"), this);
    lblMHyouka_ = valueLabel(QStringLiteral("lblMHyouka"), this, 120);
    auto *title = new QLabel(QStringLiteral("ＢＭＩ判定"), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *top = new QHBoxLayout;
    top->addWidget(title);
    top->addWidget(lblMHyouka_, 1);
    layout->addLayout(top);
    layout->addWidget(bands_);
}

void SmallBmiMeter::display(const BmiMeterLabels &labels)
{
    bands_->placeMarker(labels.image1LeftTwips);
    bands_->setMarkerShown(!labels.lblMHyouka.isEmpty());
    lblMHyouka_->setText(labels.lblMHyouka);
    setBackColor(lblMHyouka_, labels.lblMHyoukaBack ? toColor(labels.lblMHyoukaBack) : QColor(Qt::white));
}

LargeBmiMeter::LargeBmiMeter(QWidget *parent)
    : QGroupBox(QStringLiteral("　ＢＭＩメーター (Body Mass Index)　と　肥満度　"), parent)
{
    setObjectName(QStringLiteral("Frame1"));
    bands_ = new BmiBands(BmiMeter::kLargeScaleTwips, QStringLiteral("Shape2"),
                          QStringLiteral("Image2"), this);
    HScroll1_ = new QScrollBar(Qt::Horizontal, this);
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    HScroll1_->setRange(BmiMeter::kScrollMin, BmiMeter::kScrollMax);
    HScroll1_->setSingleStep(1);
    HScroll1_->setPageStep(10);

    label9_25_ = valueLabel(QStringLiteral("Label9_25"), this);
    label9_28_ = valueLabel(QStringLiteral("Label9_28"), this);
    label9_30_ = valueLabel(QStringLiteral("Label9_30"), this);
    lblHyouka_ = valueLabel(QStringLiteral("lblHyouka"), this, 140);
    lblHyojun_0_ = valueLabel(QStringLiteral("lblHyojun_0"), this);
    lblHyojun_1_ = valueLabel(QStringLiteral("lblHyojun_1"), this);
    lblTai_ = valueLabel(QStringLiteral("lblTai"), this);
    lblHiman_ = valueLabel(QStringLiteral("lblHiman"), this);

    // BMI = weight / height², with the person's numbers.
    auto *bmiRow = new QGridLayout;
    bmiRow->addWidget(fixedLabel(QStringLiteral("ＢＭＩ"), this), 0, 0);
    bmiRow->addWidget(fixedLabel(QStringLiteral("＝"), this), 0, 1);
    bmiRow->addWidget(fixedLabel(QStringLiteral("体重（Ｋｇ）"), this), 0, 2);
    bmiRow->addWidget(fixedLabel(QStringLiteral("÷"), this), 0, 3);
    bmiRow->addWidget(fixedLabel(QStringLiteral("身長（ｍ）の２乗"), this), 0, 4);
    bmiRow->addWidget(label9_25_, 1, 0);
    bmiRow->addWidget(fixedLabel(QStringLiteral("＝"), this), 1, 1);
    bmiRow->addWidget(label9_28_, 1, 2);
    bmiRow->addWidget(fixedLabel(QStringLiteral("÷"), this), 1, 3);
    auto *heightSquared = new QHBoxLayout;
    heightSquared->addWidget(label9_30_);
    heightSquared->addWidget(fixedLabel(QStringLiteral("²"), this));
    bmiRow->addLayout(heightSquared, 1, 4);
    bmiRow->addWidget(fixedLabel(QStringLiteral("判定"), this), 2, 0);
    bmiRow->addWidget(lblHyouka_, 2, 2, 1, 1);
    bmiRow->addWidget(fixedLabel(QStringLiteral("適正　２２"), this), 2, 4);

    // 肥満度（％）＝（体重－標準体重）／標準体重×１００, as a fraction with
    // the person's numbers in the same places below it.
    auto fractionLine = [this] {
        auto *line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        return line;
    };
    auto *obRow = new QGridLayout;
    obRow->setVerticalSpacing(2);
    obRow->addWidget(fixedLabel(QStringLiteral("肥満度（％）"), this), 0, 0, 3, 1);
    obRow->addWidget(fixedLabel(QStringLiteral("＝"), this), 0, 1, 3, 1);
    obRow->addWidget(fixedLabel(QStringLiteral("体重（Ｋｇ）           －標準体重（Ｋｇ）"), this), 0, 2, 1, 3);
    obRow->addWidget(fractionLine(), 1, 2, 1, 3);
    obRow->addWidget(fixedLabel(QStringLiteral("標準体重（Ｋｇ）"), this), 2, 2, 1, 3);
    obRow->addWidget(fixedLabel(QStringLiteral("×１００"), this), 0, 5, 3, 1);
    obRow->addWidget(lblHiman_, 3, 0, 3, 1, Qt::AlignCenter);
    obRow->addWidget(fixedLabel(QStringLiteral("＝"), this), 3, 1, 3, 1);
    obRow->addWidget(lblTai_, 3, 2);
    obRow->addWidget(fixedLabel(QStringLiteral("－"), this), 3, 3);
    obRow->addWidget(lblHyojun_0_, 3, 4);
    obRow->addWidget(fractionLine(), 4, 2, 1, 3);
    obRow->addWidget(lblHyojun_1_, 5, 2, 1, 3, Qt::AlignCenter);
    obRow->addWidget(fixedLabel(QStringLiteral("×１００"), this), 3, 5, 3, 1);

    // The bar spans the same BMI range as the bands above it.
    HScroll1_->setFixedWidth(bands_->sizeHint().width());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bands_, 0, Qt::AlignHCenter);
    layout->addWidget(HScroll1_, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    auto *formulas = new QHBoxLayout;
    formulas->addLayout(bmiRow);
    formulas->addSpacing(30);
    auto *sep = new QFrame(this);
    sep->setFrameShape(QFrame::VLine);
    sep->setFrameShadow(QFrame::Sunken);
    formulas->addWidget(sep);
    formulas->addSpacing(30);
    formulas->addLayout(obRow);
    formulas->addStretch(1);
    layout->addLayout(formulas);
}

void LargeBmiMeter::display(const BmiMeterLabels &labels)
{
    bands_->placeMarker(labels.image2LeftTwips);
    bands_->setMarkerShown(!labels.lblHyouka.isEmpty());
    label9_25_->setText(labels.label9_25);
    label9_28_->setText(labels.label9_28);
    label9_30_->setText(labels.label9_30);
    lblHyouka_->setText(labels.lblHyouka);
    setBackColor(lblHyouka_, labels.lblHyoukaBack ? toColor(labels.lblHyoukaBack) : QColor(Qt::white));
    lblHyojun_0_->setText(labels.lblHyojun_0);
    lblHyojun_1_->setText(labels.lblHyojun_1);
    lblTai_->setText(labels.lblTai);
    lblHiman_->setText(labels.lblHiman);
}

BmiMeters::BmiMeters(LargeBmiMeter *large, QObject *parent)
    : QObject(parent), large_(large), meter_(*this)
{
    // Runs inside setValue when the value changes, and for the user's drags.
    connect(large_->scrollBar(), &QScrollBar::valueChanged, this, [this] { SimulateBmi(); });
}

int BmiMeters::value() const { return large_->scrollBar()->value(); }

void BmiMeters::setValue(int v) { large_->scrollBar()->setValue(v); }

void BmiMeters::SimulateBmi()
{
    meter_.SimulateBmi();
    push();
}

void BmiMeters::ResetBmiMeter()
{
    meter_.ResetBmiMeter();
    push();
}

void BmiMeters::ShowCurrentBmi(float latestWeight, float heightCm, int recordCount)
{
    meter_.ShowCurrentBmi(latestWeight, heightCm, recordCount);
    push();
}

void BmiMeters::RefreshBmiMeter(float latestWeight, float lastFileWeight, float heightCm,
                                int recordCount)
{
    meter_.RefreshBmiMeter(latestWeight, lastFileWeight, heightCm, recordCount);
    push();
}

void BmiMeters::attachSmall(SmallBmiMeter *small)
{
    small_ = small;
    small_->display(meter_.labels());
}

void BmiMeters::push()
{
    if (small_)
        small_->display(meter_.labels());
    large_->display(meter_.labels());
}
