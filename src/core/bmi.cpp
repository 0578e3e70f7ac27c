#include "core/bmi.h"

#include "store/format.h"

#include <algorithm>
#include <cmath>

namespace {
// h² of a height in metres. A height of 0 (or a nonsense negative one)
// would divide by zero and put "inf" or "nan" on the screen, so it gives 0
// and every caller tests that before dividing.
float squareOfMetres(float h)
{
    const float hh = h * h;
    if (!(h > 0.0f) || !std::isfinite(hh) || !(hh > 0.0f))
        return 0.0f;
    return hh;
}
} // namespace

float heightSquaredOf(float heightCm) { return squareOfMetres(heightCm / 100.0f); }

float bmiOf(float weight, float heightCm)
{
    const float hh = heightSquaredOf(heightCm);
    return hh > 0.0f ? weight / hh : 0.0f;
}

float standardWeightOf(float heightCm) { return heightSquaredOf(heightCm) * 22.0f; }

BmiCategory bmiCategory(float bmi)
{
    // The bound 26.4 is a single-precision value, like the BMI itself.
    if (bmi < 17.0f)
        return {QStringLiteral("やせ過ぎ"), palette::kPurple};
    if (bmi < 20.0f)
        return {QStringLiteral("やせ気味"), palette::kCyan};
    if (bmi <= 24.0f)
        return {QStringLiteral("スタンダード"), palette::kGreen};
    if (bmi <= 26.4f)
        return {QStringLiteral("でぶメゾフォルテ"), palette::kYellow};
    if (bmi < 30.0f)
        return {QStringLiteral("でぶフォルテ"), palette::kPink};
    return {QStringLiteral("でぶフォルテシモ"), palette::kRed};
}

namespace {
// Band bounds in tenths of a BMI unit, so the band edges are whole twips.
constexpr int kBoundTenths[6] = {170, 200, 240, 264, 300, 320};

int toTwips(float x) { return int(std::nearbyint(x)); }
} // namespace

int BmiMeter::bandLeftTwips(int band, int scaleTwipsPerBmi)
{
    band = std::clamp(band, 0, 5);
    return kBand0LeftTwips + (kBoundTenths[band] - kBoundTenths[0]) * scaleTwipsPerBmi / 10;
}

int BmiMeter::bandWidthTwips(int band, int scaleTwipsPerBmi)
{
    if (band < 0 || band > 4)
        return 0;
    return bandLeftTwips(band + 1, scaleTwipsPerBmi) - bandLeftTwips(band, scaleTwipsPerBmi);
}

int BmiMeter::markerLeftTwips(float meterBmi, int band2LeftTwips, int scaleTwipsPerBmi)
{
    const float fromBand2 = (24.0f - meterBmi) * float(scaleTwipsPerBmi) + float(kMarkerWidthTwips / 2);
    return band2LeftTwips - toTwips(fromBand2);
}

BmiMeter::BmiMeter(ScrollPort &scroll) : scroll_(scroll) {}

void BmiMeter::placeImage1()
{
    labels_.image1LeftTwips =
        markerLeftTwips(meterBmi_, bandLeftTwips(2, kSmallScaleTwips), kSmallScaleTwips);
}

void BmiMeter::placeImage2()
{
    labels_.image2LeftTwips =
        markerLeftTwips(meterBmi_, bandLeftTwips(2, kLargeScaleTwips), kLargeScaleTwips);
}

void BmiMeter::ResetBmiMeter() { labels_.lblTai.clear(); }

void BmiMeter::ShowCurrentBmi(float latestWeight, float heightCm, int recordCount)
{
    // Kept even when nothing is shown: a later notification of the scroll
    // bar must see the same person.
    h_ = heightCm / 100.0f;
    recordCount_ = recordCount;
    if (recordCount == 0)
        return;

    const float hh = squareOfMetres(h_);
    const float bmi = hh > 0.0f ? latestWeight / hh : 0.0f;
    if (hh == 0.0f || !std::isfinite(bmi)) {
        // Without a height (or with a damaged weight) there is no BMI: the
        // small meter says nothing rather than a made-up value, and the
        // large meter stays where it is.
        currentBmi_ = 0.0f;
        category_.clear();
        labels_.lblMHyouka.clear();
        labels_.lblMHyoukaBack = palette::kDefault;
        labels_.label9_25.clear();
        return;
    }

    currentBmi_ = bmi;
    meterBmi_ = currentBmi_;
    if (meterBmi_ > kMeterMaxBmi)
        meterBmi_ = kMeterMaxBmi;
    if (meterBmi_ < kMeterMinBmi)
        meterBmi_ = kMeterMinBmi;
    placeImage1();
    placeImage2();

    scrollFromCode_ = 1;
    // nearbyint rounds halves to even under the default rounding mode.
    scroll_.setValue(int(std::nearbyint(meterBmi_ * 10.0f)));

    const BmiCategory c = bmiCategory(currentBmi_);
    category_ = c.text;
    labels_.lblMHyouka = c.text;
    labels_.lblMHyoukaBack = c.back;
    labels_.label9_25 = fmt::number(currentBmi_, u"0.0");
    syncFormulaBmi();
}

// The large meter's formula reads "BMI = weight ÷ height²": once it shows
// a weight, its BMI is that weight's, whichever day the bar and the
// verdicts show, so the sum on the screen is always true.
void BmiMeter::syncFormulaBmi()
{
    const float hh = squareOfMetres(h_);
    if (hh <= 0.0f || labels_.label9_28.trimmed().isEmpty())
        return;
    const float bmi = float(fmt::leadingNumber(labels_.label9_28)) / hh;
    if (std::isfinite(bmi))
        labels_.label9_25 = fmt::number(bmi, u"0.0");
}

void BmiMeter::ShowBmiBasics(float lastFileWeight, float heightCm)
{
    h_ = heightCm / 100.0f;
    labels_.label9_28 = fmt::shortest(lastFileWeight);
    labels_.label9_30 = fmt::shortest(h_);
}

void BmiMeter::SimulateBmi()
{
    if (recordCount_ == 0)
        return;

    const float hh = squareOfMetres(h_);
    const int value = std::clamp(scroll_.value(), kScrollMin, kScrollMax);
    const bool fromCode = scrollFromCode_ != 0;

    if (!fromCode) {
        meterBmi_ = float(value) / 10.0f;
        labels_.label9_25 = fmt::number(meterBmi_, u"0.0");
        // No weight belongs to a BMI without a height.
        labels_.label9_28 = hh > 0.0f ? fmt::number(hh * meterBmi_, u"0.0") : QString();
    }

    meterBmi_ = float(value) / 10.0f;
    placeImage2();
    scrollFromCode_ = 0;

    const BmiCategory c = bmiCategory(meterBmi_);
    category_ = c.text;
    labels_.lblHyouka = c.text;
    labels_.lblHyoukaBack = c.back;
    labels_.label9_25 = fmt::number(meterBmi_, u"0.0");
    // Set by the program, the bar keeps the formula's weight: the BMI
    // shown beside it is that weight's.
    if (fromCode)
        syncFormulaBmi();

    const QString standard = hh > 0.0f ? fmt::number(hh * 22.0f, u"00.0") : QString();
    labels_.lblHyojun_0 = standard;
    labels_.lblHyojun_1 = standard;

    labels_.lblTai = labels_.label9_28;

    // The obesity degree is worked out from the texts as displayed, so it
    // agrees with the numbers the user sees in the formula.
    const double tai = fmt::leadingNumber(labels_.lblTai);
    const double std0 = fmt::leadingNumber(labels_.lblHyojun_0);
    const double std1 = fmt::leadingNumber(labels_.lblHyojun_1);
    if (std1 == 0.0 || labels_.lblTai.trimmed().isEmpty())
        labels_.lblHiman.clear();
    else
        labels_.lblHiman = fmt::number((tai - std0) / std1 * 100.0, u"0.0");
}

void BmiMeter::RefreshBmiMeter(float latestWeight, float lastFileWeight, float heightCm,
                               int recordCount)
{
    ShowCurrentBmi(latestWeight, heightCm, recordCount);
    // A person without records leaves both meters and their formula alone,
    // instead of showing a last weight of 0.
    if (recordCount != 0)
        ShowBmiBasics(lastFileWeight, heightCm);
    SimulateBmi();
}
