#include "store/format.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// A decimal number as digits with the position of the decimal point:
// value = 0.d1d2d3... × 10^pointPos, sign separate.
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros; empty for zero
    int pointPos = 0;   // number of digits before the decimal point
};

template <typename T>
Decimal toDecimal(T value)
{
    Decimal d;
    if (!std::isfinite(value))
        return d;
    char buf[512];
    // Shortest text that reads back as the same value, in fixed notation.
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, res.ptr);
    if (!s.empty() && s[0] == '-') {
        d.negative = true;
        s.erase(0, 1);
    }
    const auto dot = s.find('.');
    std::string intPart = dot == std::string::npos ? s : s.substr(0, dot);
    const std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);
    std::string all = intPart + frac;
    int pointPos = int(intPart.size());
    size_t lead = 0;
    while (lead < all.size() && all[lead] == '0')
        ++lead;
    all.erase(0, lead);
    pointPos -= int(lead);
    while (!all.empty() && all.back() == '0')
        all.pop_back();
    d.digits = all;
    d.pointPos = all.empty() ? 0 : pointPos;
    if (all.empty())
        d.negative = false;
    return d;
}

// Rounds to keepDigits digits counted from the first digit (half away from
// zero). keepDigits may be zero or negative.
void roundDigits(Decimal &d, int keepDigits)
{
    if (d.digits.empty() || keepDigits >= int(d.digits.size()))
        return;
    if (keepDigits < 0) {
        d.digits.clear();
        d.pointPos = 0;
        d.negative = false;
        return;
    }
    const bool up = d.digits[size_t(keepDigits)] >= '5';
    d.digits.resize(size_t(keepDigits));
    if (up) {
        int i = keepDigits - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') {
            d.digits[size_t(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.pointPos = 0;
        d.negative = false;
    }
}

// Fixed text with `decimals` decimals (always written) and at least
// `minInt` integer digits.
QString fixedText(Decimal d, int decimals, int minInt)
{
    roundDigits(d, d.pointPos + decimals);
    std::string intPart;
    std::string frac;
    for (int i = 0; i < d.pointPos; ++i)
        intPart += i < int(d.digits.size()) ? d.digits[size_t(i)] : '0';
    for (int i = 0; i < decimals; ++i) {
        const int idx = d.pointPos + i;
        frac += idx >= 0 && idx < int(d.digits.size()) ? d.digits[size_t(idx)] : '0';
    }
    while (int(intPart.size()) < minInt)
        intPart.insert(intPart.begin(), '0');
    std::string out = d.negative ? "-" : "";
    out += intPart;
    if (decimals > 0)
        out += "." + frac;
    return QString::fromStdString(out);
}

// Plain text with no trailing zeros, limited to maxSignificant digits.
QString plainText(Decimal d, int maxSignificant)
{
    roundDigits(d, maxSignificant);
    if (d.digits.empty())
        return QStringLiteral("0");
    const int decimals = std::max(0, int(d.digits.size()) - d.pointPos);
    return fixedText(d, decimals, 1);
}

struct Pattern {
    int minInt = 1;
    int decimals = 0;
    bool percent = false;
    QString suffix;
};

Pattern parsePattern(QStringView p)
{
    Pattern out;
    qsizetype i = 0;
    int zeros = 0;
    while (i < p.size() && p[i] == u'0') {
        ++zeros;
        ++i;
    }
    out.minInt = zeros;
    if (i < p.size() && p[i] == u'.') {
        ++i;
        while (i < p.size() && p[i] == u'0') {
            ++out.decimals;
            ++i;
        }
    }
    out.suffix = p.mid(i).toString();
    out.percent = out.suffix.contains(u'%');
    return out;
}

template <typename T>
QString formatNumber(T value, QStringView pattern)
{
    const Pattern p = parsePattern(pattern);
    Decimal d = toDecimal(value);
    if (p.percent && !d.digits.empty())
        d.pointPos += 2; // times 100, exactly, on the decimal digits
    return fixedText(d, p.decimals, p.minInt) + p.suffix;
}

} // namespace

namespace fmt {

QString number(float value, QStringView pattern) { return formatNumber(value, pattern); }
QString number(double value, QStringView pattern) { return formatNumber(value, pattern); }

QString date(const QDate &date, QStringView pattern)
{
    if (!date.isValid())
        return {};
    const QString yyyy = QString::number(date.year()).rightJustified(4, u'0');
    const QString yy = yyyy.right(2);
    const QString mm = QString::number(date.month()).rightJustified(2, u'0');
    const QString dd = QString::number(date.day()).rightJustified(2, u'0');
    if (pattern == u"yyyy/mm/dd")
        return yyyy + u'/' + mm + u'/' + dd;
    if (pattern == u"yy/mm/dd" || pattern == u"YY/MM/DD")
        return yy + u'/' + mm + u'/' + dd;
    if (pattern == u"yyyy年mm月")
        return yyyy + u'年' + mm + u'月';
    Q_ASSERT_X(false, "fmt::date", "unknown date pattern");
    return yyyy + u'/' + mm + u'/' + dd;
}

QString date(const QString &storedDate, QStringView pattern)
{
    const QDate d = QDate::fromString(storedDate, QStringLiteral("yyyy/MM/dd"));
    return d.isValid() ? date(d, pattern) : storedDate;
}

QString shortest(float value) { return plainText(toDecimal(value), 7); }
QString shortest(double value) { return plainText(toDecimal(value), 15); }

float roundOneDecimal(float x) { return std::floor(x * 10.0f + 0.5f) / 10.0f; }
double roundOneDecimal(double x) { return std::floor(x * 10.0 + 0.5) / 10.0; }

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\u3000'))
        ++i;
    std::string s;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        s += char(text[i].unicode());
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            s += char(c.unicode());
            digits = true;
        } else if (c == u'.' && !point) {
            s += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    double v = 0.0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

bool isNumber(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    qsizetype i = 0;
    if (t[0] == u'-' || t[0] == u'+')
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

} // namespace fmt
