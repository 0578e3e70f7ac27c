#include "store/record_line.h"

#include "store/codec.h"
#include "store/dates.h"
#include "store/format.h"

#include <charconv>
#include <string>

QString dataFileName(PersonSlot p)
{
    return p == PersonSlot::One ? QStringLiteral("データ1.txt") : QStringLiteral("データ2.txt");
}

QString profileFileName(PersonSlot p)
{
    return p == PersonSlot::One ? QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt")
                                : QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ2.txt");
}

namespace store {

QString splitFields(QStringView line, QList<LineField> *out)
{
    out->clear();
    // A line break inside a line: no text of the program holds one.
    if (line.contains(u'\r'))
        return QStringLiteral("行の途中に改行文字(CR)があります");
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        LineField f;
        if (i < n && line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            if (close < 0)
                return QStringLiteral("引用符(\")が閉じていません");
            f.text = line.mid(i + 1, close - i - 1).toString();
            f.quoted = true;
            i = close + 1;
            while (i < n && (line[i] == u' ' || line[i] == u'\t'))
                ++i;
            if (i < n && line[i] != u',')
                return QStringLiteral("引用符(\")の後に余分な文字があります");
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            const QStringView bare = line.mid(i, end - i);
            // The program writes a quote only around a text: one inside a
            // bare field (or after a blank such as a vertical tab, which
            // is not skipped before a field) is damage, not text.
            if (bare.contains(u'"'))
                return QStringLiteral("引用符(\")の位置が正しくありません");
            f.text = bare.trimmed().toString();
            i = end;
        }
        out->append(f);
        if (i >= n)
            break;
        ++i; // the comma
    }
    return {};
}

QString quote(const QString &text) { return u'"' + text + u'"'; }

QString unstorableReason(const QString &text)
{
    if (text.contains(u'"'))
        return QStringLiteral("ダブルクォーテーション(\")は記録できません");
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("改行は記録できません");
    const QString bad = cp932::firstUnencodable(text);
    if (!bad.isEmpty())
        return QStringLiteral("「%1」はシフトJISで保存できない文字のため記録できません").arg(bad);
    return {};
}

QString recordLine(const WeightRecord &r)
{
    return quote(r.date) + u',' + quote(r.situation) + u',' + fmt::shortest(r.weight) + u',' +
           quote(r.diary) + QStringLiteral(",\"\",\"\"");
}

QString recordLineAfterRename(const WeightRecord &r)
{
    const double fifth = fmt::leadingNumber(r.reserved.fifth());
    return quote(r.date) + u',' + quote(r.situation) + u',' + fmt::shortest(r.weight) + u',' +
           quote(r.diary) + u',' + fmt::shortest(fifth) + u',' + quote(r.reserved.sixth());
}

float weightFromText(QStringView text)
{
    std::string s = text.trimmed().toString().toStdString();
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    float v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

QString storedNumberReason(QStringView text, float max, const QString &what, float *value)
{
    const QStringView t = text.trimmed();
    if (!fmt::isNumber(t))
        return QStringLiteral("%1「%2」が数値ではありません").arg(what, t.toString());
    QString digits;
    for (const QChar c : t)
        if (c >= u'0' && c <= u'9')
            digits += c;
    if (digits.size() > kMaxStoredDigits)
        return QStringLiteral("%1「%2」の桁が多すぎます").arg(what, t.toString());
    // A float is written with at most seven significant digits, which read
    // back as the same float; more would not survive the next rewrite.
    qsizetype first = 0, last = digits.size();
    while (first < last && digits[first] == u'0')
        ++first;
    while (last > first && digits[last - 1] == u'0')
        --last;
    if (last - first > kMaxSignificantDigits)
        return QStringLiteral("%1「%2」の有効数字が%3桁を超えています").arg(what, t.toString()).arg(kMaxSignificantDigits);
    // No exponent, and a value too large for a float is reported by the
    // conversion, not converted: it reads as 0 and is refused below.
    const float v = weightFromText(t);
    if (!(v > 0.0f) || !(v <= max))
        return QStringLiteral("%1「%2」が0より大きく%3以下の数値ではありません")
            .arg(what, t.toString(), fmt::shortest(max));
    *value = v;
    return {};
}

QString parseRecordLine(QStringView line, WeightRecord *out)
{
    QList<LineField> f;
    if (QString e = splitFields(line, &f); !e.isEmpty())
        return e;
    if (f.size() < 6)
        return QStringLiteral("項目が足りません(6項目のところ%1項目)").arg(f.size());
    if (f.size() > 6)
        return QStringLiteral("項目が多すぎます(6項目のところ%1項目)").arg(f.size());
    if (!dates::isDateText(f[0].text))
        return QStringLiteral("日付「%1」が yyyy/mm/dd の形ではありません").arg(f[0].text);
    float weight = 0;
    if (QString e = storedNumberReason(f[2].text, kMaxStoredWeight, QStringLiteral("体重"), &weight);
        !e.isEmpty())
        return e;
    out->date = f[0].text;
    out->situation = f[1].text;
    out->weight = weight;
    out->diary = f[3].text;
    out->reserved.set(f[4].text, f[5].text);
    return {};
}

} // namespace store
