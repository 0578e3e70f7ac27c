#pragma once

#include "core/colours.h"

#include <QString>

// Body measures of one person: BMI, standard weight, the six BMI
// categories and the two meters that show them.

// weight / (height in m)²; 0 when the height cannot divide (0 or less).
float bmiOf(float weight, float heightCm);
// 22 × (height in m)²; 0 when the height is 0 or less.
float standardWeightOf(float heightCm);
// (height in m)², or 0 when no BMI can be computed from it (a profile may
// hold 0), so callers test one value before dividing.
float heightSquaredOf(float heightCm);

struct BmiCategory {
    QString text;
    Rgb back = 0;
};
BmiCategory bmiCategory(float bmi);

// The scroll bar of the large meter. The real one calls
// BmiMeter::SimulateBmi before setValue returns when the value differs
// from the current one, and not when it stays the same.
class ScrollPort {
public:
    virtual ~ScrollPort() = default;
    virtual int value() const = 0;
    virtual void setValue(int v) = 0;
};

struct BmiMeterLabels {
    QString label9_25; // a BMI, "0.0"
    QString label9_28; // a weight
    QString label9_30; // height in metres
    QString lblMHyouka, lblHyouka;
    QString lblHyojun_0, lblHyojun_1; // standard weight, "00.0"
    QString lblTai;   // the weight used in the obesity formula
    QString lblHiman; // obesity degree, "0.0"
    Rgb lblMHyoukaBack = 0, lblHyoukaBack = 0;
    int image1LeftTwips = 0, image2LeftTwips = 0;
};

// The small meter of the weight screen and the large meter with its
// scroll bar, as one state machine. The order of the steps and the moment
// the scroll notification runs decide which weight the large meter ends
// on, so each procedure follows its steps exactly.
class BmiMeter {
public:
    explicit BmiMeter(ScrollPort &scroll);

    void ResetBmiMeter();
    void ShowCurrentBmi(float latestWeight, float heightCm, int recordCount);
    void ShowBmiBasics(float lastFileWeight, float heightCm);
    // Reads the scroll value; also the handler of the scroll notifications.
    void SimulateBmi();
    void RefreshBmiMeter(float latestWeight, float lastFileWeight, float heightCm, int recordCount);

    const BmiMeterLabels &labels() const { return labels_; }
    float CurrentBmi() const { return currentBmi_; }
    float MeterBmi() const { return meterBmi_; }
    int ScrollFromCode() const { return scrollFromCode_; }
    QString BmiCategoryText() const { return category_; }

    static constexpr int kScrollMin = 170, kScrollMax = 320;
    static constexpr float kMeterMinBmi = 17.0f, kMeterMaxBmi = 32.0f;

    // Band geometry in twips, measured from the left edge of the meter's
    // own area. Band k (0..4) covers BMI 17-20, 20-24, 24-26.4, 26.4-30,
    // 30-32; band 0 starts half a marker in, so a marker at BMI 17 is not
    // cut off.
    static constexpr int kSmallScaleTwips = 160; // per BMI unit
    static constexpr int kLargeScaleTwips = 500;
    static constexpr int kMarkerWidthTwips = 480;
    static constexpr int kBand0LeftTwips = kMarkerWidthTwips / 2;
    static int bandLeftTwips(int band, int scaleTwipsPerBmi);
    static int bandWidthTwips(int band, int scaleTwipsPerBmi);
    static constexpr Rgb bandColour(int band)
    {
        constexpr Rgb colours[5] = {0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF00FF, 0xFF0000};
        return band >= 0 && band < 5 ? colours[band] : 0;
    }

    // Left edge of a marker whose centre sits on meterBmi.
    static int markerLeftTwips(float meterBmi, int band2LeftTwips, int scaleTwipsPerBmi);

private:
    void placeImage1();
    void placeImage2();
    void syncFormulaBmi();

    ScrollPort &scroll_;
    BmiMeterLabels labels_;
    float currentBmi_ = 0;
    float meterBmi_ = 0;
    int scrollFromCode_ = 0;
    QString category_;
    // Height in metres and record count of the last show, for the
    // notifications that come later from the scroll bar.
    float h_ = 0;
    int recordCount_ = 0;
};
