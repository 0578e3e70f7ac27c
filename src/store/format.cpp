#include "store/format.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// A decimal number as digits with the position of the decimal point:
// value = 0.d1d2d3... × 10^point, sign separate. Kept on the stack: a
// double written out in full has at most about 330 digits.
struct Decimal {
    bool negative = false;
    int size = 0;  // digits in use, no leading or trailing zeros; 0 for zero
    int point = 0; // digits before the decimal point
    char digits[400];
};

// The shortest text that reads back as the same value, in fixed notation
// (so a float 0.05 is the decimal 0.05), taken apart into digits.
template <typename T>
void toDecimal(T value, Decimal &d)
{
    d.negative = false;
    d.size = 0;
    d.point = 0;
    if (!std::isfinite(value))
        return;
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    const char *p = buf;
    const char *end = res.ptr;
    if (p < end && *p == '-') {
        d.negative = true;
        ++p;
    }
    bool leading = true;
    for (; p < end && *p != '.'; ++p) {
        if (leading && *p == '0')
            continue;
        leading = false;
        d.digits[d.size++] = *p;
    }
    d.point = d.size;
    if (p < end)
        ++p; // the point
    for (; p < end; ++p) {
        if (leading && *p == '0') {
            --d.point;
            continue;
        }
        leading = false;
        d.digits[d.size++] = *p;
    }
    while (d.size > 0 && d.digits[d.size - 1] == '0')
        --d.size;
    if (d.size == 0) {
        d.point = 0;
        d.negative = false;
    }
}

// Rounds to keep digits counted from the first digit, half away from
// zero. keep may be zero or negative.
void roundDigits(Decimal &d, int keep)
{
    if (d.size == 0 || keep >= d.size)
        return;
    if (keep < 0) {
        d.size = 0;
        d.point = 0;
        d.negative = false;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.size = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            std::memmove(d.digits + 1, d.digits, size_t(d.size));
            d.digits[0] = '1';
            ++d.size;
            ++d.point;
        }
    }
    while (d.size > 0 && d.digits[d.size - 1] == '0')
        --d.size;
    if (d.size == 0) {
        d.point = 0;
        d.negative = false;
    }
}

using Chars = QVarLengthArray<char, 64>;

// Fixed text with `decimals` decimals (always written) and at least
// `minInt` integer digits.
void fixedText(Decimal &d, int decimals, int minInt, Chars &out)
{
    roundDigits(d, d.point + decimals);
    const int intDigits = std::max(d.point, 0);
    out.resize(qsizetype(1 + std::max(intDigits, minInt) + 1 + decimals));
    char *o = out.data();
    if (d.negative)
        *o++ = '-';
    for (int i = intDigits; i < minInt; ++i)
        *o++ = '0';
    for (int i = 0; i < intDigits; ++i)
        *o++ = i < d.size ? d.digits[i] : '0';
    if (decimals > 0) {
        *o++ = '.';
        for (int i = 0; i < decimals; ++i) {
            const int idx = d.point + i;
            *o++ = idx >= 0 && idx < d.size ? d.digits[idx] : '0';
        }
    }
    out.resize(o - out.data());
}

// Plain text with no trailing zeros, limited to maxSignificant digits.
void plainText(Decimal &d, int maxSignificant, Chars &out)
{
    roundDigits(d, maxSignificant);
    if (d.size == 0) {
        out.resize(1);
        out[0] = '0';
        return;
    }
    fixedText(d, std::max(0, d.size - d.point), 1, out);
}

QString toQString(const Chars &chars, QStringView suffix = {})
{
    QString s(chars.size() + suffix.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(s.data());
    for (const char c : chars)
        *o++ = char16_t(c);
    for (const QChar c : suffix)
        *o++ = c.unicode();
    return s;
}

template <typename T>
QString formatNumber(T value, QStringView pattern)
{
    // Pattern: zeros before the point, zeros after it, then the suffix.
    qsizetype i = 0;
    int minInt = 0;
    int decimals = 0;
    while (i < pattern.size() && pattern[i] == u'0') {
        ++minInt;
        ++i;
    }
    if (i < pattern.size() && pattern[i] == u'.') {
        ++i;
        while (i < pattern.size() && pattern[i] == u'0') {
            ++decimals;
            ++i;
        }
    }
    const QStringView suffix = pattern.mid(i);
    bool percent = false;
    for (const QChar c : suffix)
        percent = percent || c == u'%';

    Decimal d;
    toDecimal(value, d);
    if (d.size > 0 && percent)
        d.point += 2; // times 100, exactly, on the decimal digits
    Chars chars;
    fixedText(d, decimals, minInt, chars);
    return toQString(chars, suffix);
}

template <typename T>
QString shortestText(T value, int maxSignificant)
{
    Decimal d;
    toDecimal(value, d);
    Chars chars;
    plainText(d, maxSignificant, chars);
    return toQString(chars);
}

} // namespace

namespace fmt {

QString number(float value, QStringView pattern) { return formatNumber(value, pattern); }
QString number(double value, QStringView pattern) { return formatNumber(value, pattern); }

QString date(const QDate &date, QStringView pattern)
{
    if (!date.isValid())
        return {};
    // Written digit by digit: lists of a whole file format a date a row.
    int y, m, d;
    date.getDate(&y, &m, &d);
    const bool twoDigitYear = pattern == u"yy/mm/dd" || pattern == u"YY/MM/DD";
    const bool month = pattern == u"yyyy年mm月";
    Q_ASSERT_X(twoDigitYear || month || pattern == u"yyyy/mm/dd", "fmt::date", "unknown date pattern");
    char16_t out[16];
    int n = 0;
    auto digits = [&](int value, int width) {
        for (int p = width - 1; p >= 0; --p) {
            out[n + p] = char16_t(u'0' + value % 10);
            value /= 10;
        }
        n += width;
    };
    const int year = y < 0 ? -y : y;
    if (y < 0)
        out[n++] = u'-';
    if (twoDigitYear) {
        digits(year % 100, 2);
    } else if (year > 9999) {
        return QString::number(y) + (month ? QStringLiteral("年%1月").arg(m, 2, 10, QLatin1Char('0'))
                                           : QStringLiteral("/%1/%2").arg(m, 2, 10, QLatin1Char('0'))
                                                 .arg(d, 2, 10, QLatin1Char('0')));
    } else {
        digits(year, 4);
    }
    if (month) {
        out[n++] = u'年';
        digits(m, 2);
        out[n++] = u'月';
    } else {
        out[n++] = u'/';
        digits(m, 2);
        out[n++] = u'/';
        digits(d, 2);
    }
    return QString(reinterpret_cast<const QChar *>(out), n);
}

QString date(const QString &storedDate, QStringView pattern)
{
    const QDate d = QDate::fromString(storedDate, QStringLiteral("yyyy/MM/dd"));
    return d.isValid() ? date(d, pattern) : storedDate;
}

QString shortest(float value) { return shortestText(value, 7); }
QString shortest(double value) { return shortestText(value, 15); }

void appendShortest(QByteArray &out, float value)
{
    Decimal d;
    toDecimal(value, d);
    Chars chars;
    plainText(d, 7, chars);
    out.append(chars.constData(), chars.size());
}

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
