#pragma once

#include "core/bmi.h"

#include <QGroupBox>
#include <QWidget>

class Picture;
class QFrame;
class QLabel;
class QScrollBar;

// The row of five coloured bands with the marker above it, at the scale
// of one of the two meters (twips per BMI unit).
class BmiBands : public QWidget {
    Q_OBJECT
public:
    // shapeName "Shape1" or "Shape2", imageName "Image1" or "Image2".
    BmiBands(int scaleTwipsPerBmi, const QString &shapeName, const QString &imageName,
             QWidget *parent = nullptr);

    void placeMarker(int leftTwips);
    int markerLeftTwips() const { return markerTwips_; }
    void setMarkerShown(bool shown);
    bool markerShown() const;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutChildren();

    int scale_;
    int markerTwips_ = 0;
    QFrame *bands_[5] = {};
    Picture *marker_ = nullptr;
    QList<QLabel *> ticks_;
};

// The small meter of the weight screen: bands Shape1, marker Image1 and
// the verdict lblMHyouka.
class SmallBmiMeter : public QWidget {
    Q_OBJECT
public:
    explicit SmallBmiMeter(QWidget *parent = nullptr);
    void display(const BmiMeterLabels &labels);

private:
    BmiBands *bands_;
    QLabel *lblMHyouka_;
};

// The large meter of the settings screen (Frame1): bands Shape2, marker
// Image2, the scroll bar HScroll1 and the BMI and obesity formulas.
class LargeBmiMeter : public QGroupBox {
    Q_OBJECT
public:
    explicit LargeBmiMeter(QWidget *parent = nullptr);
    void display(const BmiMeterLabels &labels);
    QScrollBar *scrollBar() const { return HScroll1_; }

private:
    BmiBands *bands_;
    QScrollBar *HScroll1_;
    QLabel *label9_25_, *label9_28_, *label9_30_;
    QLabel *lblHyouka_, *lblHyojun_0_, *lblHyojun_1_, *lblTai_, *lblHiman_;
};

// The two meters and the one state behind them. The scroll bar's change
// notification runs SimulateBmi before setValue returns, and only when the
// value really changes, as the meter procedures expect.
class BmiMeters : public QObject, private ScrollPort {
    Q_OBJECT
public:
    BmiMeters(LargeBmiMeter *large, QObject *parent = nullptr);
    // The weight screen is built when first opened; its meter joins then.
    void attachSmall(SmallBmiMeter *small);

    void ResetBmiMeter();
    void ShowCurrentBmi(float latestWeight, float heightCm, int recordCount);
    void RefreshBmiMeter(float latestWeight, float lastFileWeight, float heightCm, int recordCount);
    const BmiMeter &meter() const { return meter_; }

private:
    int value() const override;
    void setValue(int v) override;
    void SimulateBmi();
    void push();

    SmallBmiMeter *small_ = nullptr;
    LargeBmiMeter *large_;
    BmiMeter meter_;
};
