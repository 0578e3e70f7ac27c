#include "store/record_scan.h"

#include "store/codec.h"
#include "store/record_line.h"

#include <QDate>

#include <algorithm>

namespace store::scan {

namespace {

bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    return p;
}

int digit(char c) { return c - '0'; }

// Fields are short: a plain loop beats a library call here.
const char *find(const char *p, const char *end, char c)
{
    while (p < end && *p != c)
        ++p;
    return p;
}

} // namespace

qsizetype countLineBreaks(const char *begin, const char *end)
{
    qsizetype n = 0;
    for (const char *p = begin; p < end; ++n) {
        p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!p)
            break;
        ++p;
    }
    return n;
}

namespace {

// The line exactly as the program writes it: "date","text",number,"text","","".
// Most lines are; any difference leaves the line to the general split.
bool splitWritten(const Line &line, Field out[6])
{
    const char *p = line.begin;
    const char *const end = line.end;
    if (end - p < 22 || p[0] != '"' || p[11] != '"' || p[12] != ',' || p[13] != '"')
        return false;
    out[0] = {p + 1, 10, true};
    p += 14;
    const char *close = find(p, end, '"');
    if (end - close < 9 || close[1] != ',')
        return false;
    out[1] = {p, close - p, true};
    p = close + 2;
    const char *comma = find(p, end, ',');
    if (comma == p || end - comma < 7 || isAsciiSpace(*p) || isAsciiSpace(comma[-1]) || *p == '"' ||
        comma[1] != '"')
        return false;
    out[2] = {p, comma - p, false};
    p = comma + 2;
    close = find(p, end, '"');
    if (end - close != 7 || std::memcmp(close, "\",\"\",\"\"", 7) != 0)
        return false;
    out[3] = {p, close - p, true};
    out[4] = {close + 3, 0, true};
    out[5] = {close + 6, 0, true};
    return true;
}

} // namespace

bool splitSix(const Line &line, Field out[6])
{
    if (std::memchr(line.begin, '\r', size_t(line.end - line.begin)))
        return false;
    if (splitWritten(line, out))
        return true;
    const char *p = line.begin;
    const char *const end = line.end;
    int n = 0;
    for (;;) {
        if (n == 6)
            return false;
        Field &f = out[n++];
        p = skipBlanks(p, end);
        if (p < end && *p == '"') {
            const char *close = find(p + 1, end, '"');
            if (close == end)
                return false;
            f.data = p + 1;
            f.size = close - p - 1;
            f.quoted = true;
            p = skipBlanks(close + 1, end);
            if (p < end && *p != ',')
                return false;
        } else {
            const char *fieldEnd = find(p, end, ',');
            const char *b = p;
            const char *e = fieldEnd;
            while (b < e && isAsciiSpace(*b))
                ++b;
            while (e > b && isAsciiSpace(e[-1]))
                --e;
            // A quote in a bare field is damage (the exact reader says so).
            if (std::memchr(p, '"', size_t(fieldEnd - p)))
                return false;
            f.data = b;
            f.size = e - b;
            f.quoted = false;
            p = fieldEnd;
        }
        if (p >= end)
            break;
        ++p; // the comma
    }
    return n == 6;
}

bool isDateField(const Field &f)
{
    const char *d = f.data;
    if (f.size != 10 || d[4] != '/' || d[7] != '/')
        return false;
    for (const int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (d[i] < '0' || d[i] > '9')
            return false;
    const int y = digit(d[0]) * 1000 + digit(d[1]) * 100 + digit(d[2]) * 10 + digit(d[3]);
    return QDate(y, digit(d[5]) * 10 + digit(d[6]), digit(d[8]) * 10 + digit(d[9])).isValid();
}

bool weightField(const Field &f, float *weight)
{
    const char *b = f.data;
    const char *e = f.data + f.size;
    // A quoted weight is trimmed as well (fmt::isNumber does).
    while (b < e && isAsciiSpace(*b))
        ++b;
    while (e > b && isAsciiSpace(e[-1]))
        --e;
    if (b == e)
        return false;
    const char *p = b;
    if (*p == '-' || *p == '+')
        ++p;
    bool digits = false;
    bool point = false;
    for (const char *q = p; q < e; ++q) {
        if (*q >= '0' && *q <= '9')
            digits = true;
        else if (*q == '.' && !point)
            point = true;
        else
            return false; // also every byte of a non-ASCII text
    }
    // A negative weight is not one the program writes: the exact reader
    // says so.
    if (!digits || *b == '-')
        return false;
    if (*b == '+')
        ++b;
    // A weight of up to seven digits is a quotient of two floats that hold
    // it exactly; one division rounds that to the nearest float, which is
    // what from_chars finds too, without its general work. A longer one,
    // rare, is left to the exact reader.
    quint32 n = 0;
    int count = 0, decimals = 0;
    bool fraction = false;
    for (const char *q = b; q < e; ++q) {
        if (*q == '.') {
            fraction = true;
            continue;
        }
        if (++count > 7)
            return false;
        n = n * 10 + quint32(*q - '0');
        decimals += fraction ? 1 : 0;
    }
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const float v = float(n) / kPowers[decimals];
    // Outside (0, 500] kg: the exact reader names the fault.
    if (!(v > 0.0f) || !(v <= kMaxStoredWeight))
        return false;
    *weight = v;
    return true;
}

bool fieldText(const Field &f, QString *out)
{
    if (f.size == 0) {
        out->clear();
        return true;
    }
    if (!cp932::decodeShort(f.data, f.size, out))
        return false;
    // Blanks other than ASCII ones ("　") are trimmed from a bare field too.
    if (!f.quoted && !out->isEmpty() && (out->front().isSpace() || out->back().isSpace()))
        *out = out->trimmed();
    return true;
}

Kind readExact(const Line &line, WeightRecord *out, QString *reason)
{
    QString error;
    const QString text =
        cp932::decode(QByteArray::fromRawData(line.begin, line.end - line.begin), &error);
    if (!error.isEmpty()) {
        // An unreadable last line without a line break is an append that
        // never completed; its reason does not depend on the byte.
        *reason = line.last && !line.terminated
                      ? QStringLiteral("シフトJISとして読めないバイトがあります")
                      : error;
        return Kind::Damaged;
    }
    if (text.trimmed().isEmpty())
        return Kind::Blank;
    *reason = parseRecordLine(text, out);
    return reason->isEmpty() ? Kind::Record : Kind::Damaged;
}

} // namespace store::scan
