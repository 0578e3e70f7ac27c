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

QString stepRefusal(const QString &typedStep)
{
    const QString text = asciiNumberText(typedStep).trimmed();
    const double step = fmt::isNumber(text) ? fmt::leadingNumber(text) : 0.0;
    if (!fmt::isNumber(text) || !(step > 0.0) || !(step <= kMaxStepKg))
        return QStringLiteral("体重計刻みには0より大きく10以下の数値を入力してください。");
    return QString();
}

QString stepWeight(const QString &boxText, const QString &stepText, bool up)
{
    const double now = fmt::leadingNumber(asciiNumberText(boxText));
    const double step = stepSize(stepText);
    return fmt::shortest(up ? now + step : now - step);
}

QString saveDayCaption(const QDate &day)
{
    if (!day.isValid())
        return QString();
    static const char16_t kWeekdays[] = u"月火水木金土日";
    return QStringLiteral("%1年%2月%3日（%4）に記録")
        .arg(day.year())
        .arg(day.month())
        .arg(day.day())
        .arg(QChar(kWeekdays[day.dayOfWeek() - 1]));
}

QString offeredWeight(float latestWeight) { return fmt::shortest(latestWeight); }

float weightOf(const QString &boxText)
{
    return float(fmt::leadingNumber(asciiNumberText(boxText)));
}

SaveCheck checkSave(const QString &day, const QString &today, const QString &selectedSituation,
                    const QString &typed)
{
    // A slip of the year box would put a record years ahead, where every
    // count of days runs to the end of it and no screen shows it.
    if (day > today)
        return {false, QStringLiteral("日付確認"),
                QStringLiteral("今日より後の日には記録できません。\nカレンダーで記録する日を選び直してください。")};
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
    const float weight = float(fmt::leadingNumber(boxText));
    if (!(weight > 0.0f) || !(weight <= kMaxWeightKg))
        return {false, QStringLiteral("体重範囲外"),
                QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください"), 0};
    return {true, QString(), QString(), weight};
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
