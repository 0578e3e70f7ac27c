#include "entry/weight_entry.h"

#include "core/number_input.h"
#include "store/format.h"

#include <cmath>

namespace entry {

double stepSize(const QString &typedStep)
{
    const QString stepText = asciiNumberText(typedStep);
    if (!fmt::isNumber(stepText))
        return 0.1;
    const double step = fmt::leadingNumber(stepText);
    return step > 0.0 && std::isfinite(step) ? step : 0.1;
}

QString stepWeight(const QString &boxText, const QString &stepText, bool up)
{
    const double now = fmt::leadingNumber(asciiNumberText(boxText));
    const double step = stepSize(stepText);
    return fmt::shortest(up ? now + step : now - step);
}

QString offeredWeight(float latestWeight) { return fmt::shortest(latestWeight); }

float weightOf(const QString &boxText)
{
    return float(fmt::leadingNumber(asciiNumberText(boxText)));
}

SaveCheck checkSave(const QString &selectedSituation, const QString &typed)
{
    const QString boxText = asciiNumberText(typed);
    if (selectedSituation.isEmpty())
        return {false, QStringLiteral("行動未入力"), QStringLiteral("行動が指定されていません")};
    // A box of blanks is as empty as an empty one.
    if (boxText.trimmed().isEmpty())
        return {false, QStringLiteral("体重未入力"), QStringLiteral("体重が入力されていません")};
    if (!fmt::isNumber(boxText))
        return {false, QStringLiteral("数値以外入力"), QStringLiteral("数値を入力してください")};
    // Judged on the value that would be stored: a weight of 0 would later
    // read as "no previous weight", and a typo such as 655 would spoil every
    // chart and average.
    const float weight = weightOf(boxText);
    if (!(weight > 0.0f) || !(weight <= kMaxWeightKg))
        return {false, QStringLiteral("体重範囲外"),
                QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください")};
    return {};
}

SaveMode saveModeFor(const QString &lastFileDate, const QString &day)
{
    return lastFileDate > day ? SaveMode::Insert : SaveMode::Append;
}

QString diaryFor(SaveMode mode, bool autoTime, const QString &timeText)
{
    return mode == SaveMode::Append && autoTime ? timeText : QString();
}

WeightRecord newRecord(const QString &day, const QString &situation, float weight,
                       const QString &diary)
{
    WeightRecord r;
    r.date = day;
    r.situation = situation;
    r.weight = weight;
    r.diary = diary;
    return r;
}

QString freeInputTitle() { return QStringLiteral("状況フリー入力"); }

QString freeInputPrompt()
{
    const QStringList lines = {
        QStringLiteral("状況リストに無い内容をフリーで入力できます。"),
        QString(),
        QStringLiteral("任意の言葉で内容を書き込んでください。"),
        QString(),
        QStringLiteral("体重は通常と同じように ↓↑ボタンで指定してください。"),
    };
    return lines.join(u'\n') + u'\n';
}

QString addToListTitle() { return QStringLiteral("状況リスト登録の有無"); }

QString addToListQuestion() { return QStringLiteral("状況リストに追加しますか？\n\n"); }

} // namespace entry
