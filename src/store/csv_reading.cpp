#include "store/csv_reading.h"

#include "store/codec.h"
#include "store/dates.h"
#include "store/format.h"
#include "store/record_line.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace csv {

namespace reading {

namespace {

constexpr double kPound = 0.45359237;
constexpr double kMaxWeight = 500;

bool isBlank(QChar c, QChar sep) { return c == u' ' || (c == u'\t' && sep != u'\t'); }

int zoneSeconds(const QString &zone)
{
    if (zone.isEmpty() || zone == u"Z")
        return 0;
    const int sign = zone.front() == u'-' ? -1 : 1;
    QString digits = zone.mid(1);
    digits.remove(u':');
    const int h = digits.left(2).toInt();
    const int m = digits.size() >= 4 ? digits.mid(2, 2).toInt() : 0;
    return sign * (h * 3600 + m * 60);
}

} // namespace

QString decodeBytes(const QByteArray &bytes, Encoding *encoding, QString *error)
{
    static const char bom[] = "\xEF\xBB\xBF";
    const bool hasBom = bytes.startsWith(bom);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray body = hasBom ? bytes.mid(3) : bytes;
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        *encoding = hasBom ? Encoding::Utf8WithBom : Encoding::Utf8;
        return text;
    }
    if (hasBom) {
        *error = QStringLiteral("UTF-8 の印(BOM)がありますが、UTF-8 として読めない文字があります");
        return {};
    }
    QString reason;
    text = cp932::decode(bytes, &reason);
    if (!reason.isEmpty()) {
        *error = QStringLiteral("文字コードが UTF-8 でもシフトJIS でもないため読めません");
        return {};
    }
    *encoding = Encoding::Cp932;
    return text;
}

QChar detectSeparator(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).mid(start, end - start);
        start = end + 1;
        const QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        int commas = 0, semicolons = 0, tabs = 0;
        bool inQuotes = false;
        for (const QChar c : line) {
            if (c == u'"')
                inQuotes = !inQuotes;
            else if (!inQuotes && c == u',')
                ++commas;
            else if (!inQuotes && c == u';')
                ++semicolons;
            else if (!inQuotes && c == u'\t')
                ++tabs;
        }
        if (tabs > 0 && tabs >= semicolons && tabs >= commas)
            return u'\t';
        if (semicolons > 0 && semicolons >= commas)
            return u';';
        return u',';
    }
    return u',';
}

QList<Row> readRows(const QString &text, QChar sep)
{
    QList<Row> rows;
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    qsizetype i = 0;
    int line = 1;
    auto lineEnd = [&](qsizetype k) { return k >= n || s[k] == u'\r' || s[k] == u'\n'; };
    auto skipLineEnd = [&] {
        if (i < n && s[i] == u'\r') {
            ++i;
            if (i < n && s[i] == u'\n')
                ++i;
            ++line;
        } else if (i < n && s[i] == u'\n') {
            ++i;
            ++line;
        }
    };
    while (i < n) {
        Row row;
        row.line = line;
        if (s[i] == u'#') {
            qsizetype e = i;
            while (!lineEnd(e))
                ++e;
            row.comment = true;
            row.fields.append(text.mid(i + 1, e - i - 1));
            rows.append(row);
            i = e;
            skipLineEnd();
            continue;
        }
        bool more = true;
        while (more) {
            qsizetype k = i;
            while (k < n && isBlank(s[k], sep))
                ++k;
            QString field;
            if (k < n && s[k] == u'"') {
                i = k + 1;
                bool closed = false;
                while (i < n) {
                    const QChar c = s[i];
                    if (c == u'"') {
                        if (i + 1 < n && s[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == u'\n' || (c == u'\r' && !(i + 1 < n && s[i + 1] == u'\n')))
                        ++line;
                    field += c;
                    ++i;
                }
                while (i < n && isBlank(s[i], sep))
                    ++i;
                if (!closed) {
                    row.error = QStringLiteral("引用符(\")が閉じていません");
                } else if (!lineEnd(i) && s[i] != sep) {
                    row.error = QStringLiteral("引用符(\")の後に余分な文字があります");
                    while (!lineEnd(i))
                        ++i;
                }
            } else {
                qsizetype e = i;
                while (!lineEnd(e) && s[e] != sep)
                    ++e;
                field = text.mid(i, e - i).trimmed();
                i = e;
            }
            row.fields.append(field);
            more = row.error.isEmpty() && i < n && s[i] == sep;
            if (more)
                ++i;
        }
        skipLineEnd();
        const bool empty = std::all_of(row.fields.cbegin(), row.fields.cend(),
                                       [](const QString &f) { return f.isEmpty(); });
        if (!empty || !row.error.isEmpty())
            rows.append(row);
    }
    return rows;
}

std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,]\\d+)?)?\\s*([AaPp][Mm])?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int h = m.captured(1).toInt();
    const QString ampm = m.captured(4).toUpper();
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = (h % 12) + (ampm == u"PM" ? 12 : 0);
    }
    const QTime t(h, m.captured(2).toInt(), m.capturedLength(3) ? m.captured(3).toInt() : 0);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

std::optional<DateParts> splitDate(const QString &text)
{
    // The time and zone after a date: "T08:30:00.000Z", " 08:30", " 8:30 PM".
    static const QString timePart = QStringLiteral(
        "(?:(?:T|\\s+)(?<time>\\d{1,2}:\\d{2}(?::\\d{2}(?:[.,]\\d+)?)?(?:\\s*[AaPp][Mm])?)"
        "\\s*(?<zone>Z|[+-]\\d{2}(?::?\\d{2})?)?)?$");
    static const QRegularExpression yearFirst(
        QStringLiteral("^(?<y>\\d{4})([-/.])(?<m>\\d{1,2})\\2(?<d>\\d{1,2})") + timePart);
    static const QRegularExpression japanese(
        QStringLiteral("^(?<y>\\d{4})年\\s*(?<m>\\d{1,2})月\\s*(?<d>\\d{1,2})日") + timePart);
    static const QRegularExpression dotted(
        QStringLiteral("^(?<d>\\d{1,2})\\.(?<m>\\d{1,2})\\.(?<y>\\d{4})") + timePart);
    static const QRegularExpression slashed(
        QStringLiteral("^(?<a>\\d{1,2})/(?<b>\\d{1,2})/(?<y>\\d{4})") + timePart);
    const QString t = text.trimmed();
    for (const QRegularExpression *re : {&yearFirst, &japanese, &dotted, &slashed}) {
        const QRegularExpressionMatch m = re->match(t);
        if (!m.hasMatch())
            continue;
        DateParts p;
        p.y = m.captured(u"y").toInt();
        if (re == &slashed) {
            p.ambiguous = true;
            p.m = m.captured(u"a").toInt();
            p.d = m.captured(u"b").toInt();
        } else {
            p.m = m.captured(u"m").toInt();
            p.d = m.captured(u"d").toInt();
        }
        p.time = m.captured(u"time");
        p.zone = m.captured(u"zone");
        return p;
    }
    return std::nullopt;
}

QString readWeight(const QString &text, bool pounds, float *out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return QStringLiteral("体重がありません");
    if (t.count(u',') == 1 && !t.contains(u'.'))
        t.replace(u',', u'.');
    if (!fmt::isNumber(t))
        return QStringLiteral("体重「%1」が数値ではありません").arg(text.trimmed());
    double kg = t.toDouble();
    // Held to the hundredth, as a scale shows it and as our own files hold
    // it: a weight of more digits would not read back as it was imported,
    // and one that rounds to 0.00 is no weight at all.
    if (pounds)
        kg *= kPound;
    if (std::isfinite(kg))
        kg = std::round(kg * 100) / 100;
    if (!(kg > 0 && kg <= kMaxWeight))
        return QStringLiteral("体重「%1」が 0kg より大きく 500kg 以下の範囲にありません")
            .arg(text.trimmed());
    t = QString::number(kg, 'f', 2);
    *out = store::weightFromText(t);
    return {};
}

} // namespace reading

std::optional<QDate> parseDate(QStringView text, DateOrder order, const QTimeZone &zone,
                               std::optional<QTime> *time)
{
    std::optional<reading::DateParts> p = reading::splitDate(text.toString());
    if (!p)
        return std::nullopt;
    int month = p->m, day = p->d;
    if (p->ambiguous) {
        if (order == DateOrder::Unknown)
            return std::nullopt;
        if (order == DateOrder::DayFirst)
            std::swap(month, day);
    }
    QDate date(p->y, month, day);
    if (!date.isValid() || !dates::parse(dates::text(date)))
        return std::nullopt;
    std::optional<QTime> t;
    if (!p->time.isEmpty()) {
        t = reading::parseTime(p->time);
        if (!t)
            return std::nullopt;
        if (!p->zone.isEmpty()) {
            // An offset beyond ±14 hours is no zone, and gives no date.
            const QTimeZone offset(reading::zoneSeconds(p->zone));
            if (!offset.isValid())
                return std::nullopt;
            const QDateTime local = QDateTime(date, *t, offset).toTimeZone(zone);
            date = local.date();
            t = local.time();
            if (!date.isValid() || !dates::parse(dates::text(date)))
                return std::nullopt;
        }
    }
    if (time)
        *time = t;
    return date;
}

} // namespace csv
