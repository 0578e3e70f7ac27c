#include "store/csv_exchange.h"

#include "store/dates.h"
#include "store/format.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <cmath>

namespace csv {

namespace {

// "2008/03/10" → "2008-03-10".
QString isoDate(const QString &stored)
{
    QString s = stored;
    s.replace(u'/', u'-');
    return s;
}

// A situation that is a time of day ("8:30", "08:30", "9:05:07" as the time
// button writes it), as minutes after midnight; -1 for any other text.
// Read by hand: a full file's export looks at every record.
int situationMinute(const QString &situation)
{
    const qsizetype n = situation.size();
    auto digit = [&](qsizetype i) {
        return i < n && situation[i] >= u'0' && situation[i] <= u'9' ? situation[i].unicode() - u'0' : -1;
    };
    qsizetype i = 0;
    int hour = digit(i++);
    if (hour < 0)
        return -1;
    if (digit(i) >= 0)
        hour = hour * 10 + digit(i++);
    if (i >= n || situation[i++] != u':' || digit(i) < 0 || digit(i + 1) < 0)
        return -1;
    const int minute = digit(i) * 10 + digit(i + 1);
    i += 2;
    if (i < n) {
        if (situation[i] != u':' || digit(i + 1) < 0 || digit(i + 2) < 0 || i + 3 != n)
            return -1;
        if (digit(i + 1) * 10 + digit(i + 2) > 59)
            return -1;
    }
    if (hour > 23 || minute > 59)
        return -1;
    return hour * 60 + minute;
}

// "07:05"
QString minuteText(int minute)
{
    const char16_t text[5] = {char16_t(u'0' + minute / 600), char16_t(u'0' + minute / 60 % 10), u':',
                              char16_t(u'0' + minute % 60 / 10), char16_t(u'0' + minute % 10)};
    return QString(reinterpret_cast<const QChar *>(text), 5);
}

QString joined(const QStringList &parts)
{
    QStringList nonEmpty;
    for (const QString &p : parts)
        if (!p.isEmpty())
            nonEmpty.append(p);
    return nonEmpty.join(QStringLiteral(" / "));
}

QString ownLayout(const QList<WeightRecord> &records)
{
    QString out;
    out.reserve(records.size() * 40 + 32);
    out += QStringLiteral("日付,状況,体重,一言日記\r\n");
    for (const WeightRecord &r : records) {
        out += csvField(r.date, u',');
        out += u',';
        out += csvField(r.situation, u',');
        out += u',';
        out += fmt::shortest(r.weight);
        out += u',';
        out += csvField(r.diary, u',');
        out += QStringLiteral("\r\n");
    }
    return out;
}

QString openScaleLayout(const QList<WeightRecord> &records)
{
    // Minutes of the day already given to a record, per day: first the
    // records whose situation is a time, then the made-up ones.
    QList<int> minutes;
    minutes.reserve(records.size());
    QHash<QString, QSet<int>> taken;
    for (const WeightRecord &r : records) {
        minutes.append(situationMinute(r.situation));
        if (minutes.constLast() >= 0)
            taken[r.date].insert(minutes.constLast());
    }
    QHash<QString, int> earlier;

    QString out = QStringLiteral("DATE,TIME,WEIGHT,COMMENT\n");
    out.reserve(records.size() * 40 + out.size());
    for (qsizetype k = 0; k < records.size(); ++k) {
        const WeightRecord &r = records[k];
        const int index = earlier[r.date]++;
        const bool isTime = minutes[k] >= 0;
        int minute = minutes[k];
        if (!isTime) {
            QSet<int> &used = taken[r.date];
            minute = (7 * 60 + index) % (24 * 60);
            for (int tries = 0; tries < 24 * 60 && used.contains(minute); ++tries)
                minute = (minute + 1) % (24 * 60);
            used.insert(minute);
        }
        const QString comment = isTime ? r.diary : joined({r.situation, r.diary});
        out += isoDate(r.date);
        out += u',';
        out += minuteText(minute);
        out += u',';
        out += fmt::shortest(r.weight);
        out += u',';
        out += csvField(comment, u',');
        out += u'\n';
    }
    return out;
}

QString libraLayout(const QList<WeightRecord> &records, const QTimeZone &zone)
{
    struct Day {
        double sum = 0;
        int count = 0;
        QStringList diaries;
    };
    QMap<QString, Day> days; // in date order
    for (const WeightRecord &r : records) {
        Day &d = days[r.date];
        d.sum += std::round(double(r.weight) * 100) / 100;
        ++d.count;
        d.diaries.append(r.diary);
    }
    QString out = QStringLiteral("#Version:5\n#Units:kg\n\n"
                                 "#date;weight;weight trend;body fat;body fat trend;log\n");
    for (auto it = days.cbegin(); it != days.cend(); ++it) {
        const std::optional<QDate> date = dates::parse(it.key());
        if (!date)
            continue;
        const QDateTime local(*date, QTime(6, 0), zone);
        const double mean = std::round(it->sum / it->count * 100) / 100;
        out += local.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
        out += u';';
        out += fmt::shortest(mean);
        out += QStringLiteral(";;;;");
        out += csvField(joined(it->diaries), u';');
        out += u'\n';
    }
    return out;
}

QString simpleLayout(const QList<WeightRecord> &records)
{
    QString out = QStringLiteral("date,weight\n");
    for (const WeightRecord &r : records) {
        out += isoDate(r.date);
        out += u',';
        out += fmt::shortest(r.weight);
        out += u'\n';
    }
    return out;
}

} // namespace

std::optional<Layout> layoutFromName(QStringView name)
{
    for (Layout l : {Layout::Own, Layout::OpenScale, Layout::Libra, Layout::Simple})
        if (name.compare(layoutName(l), Qt::CaseInsensitive) == 0)
            return l;
    return std::nullopt;
}

QString layoutName(Layout layout)
{
    switch (layout) {
    case Layout::Own:
        return QStringLiteral("own");
    case Layout::OpenScale:
        return QStringLiteral("openscale");
    case Layout::Libra:
        return QStringLiteral("libra");
    case Layout::Simple:
        return QStringLiteral("simple");
    }
    return {};
}

QString csvField(const QString &text, QChar separator)
{
    bool quote = false;
    for (const QChar c : text)
        if (c == separator || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        quote = true;
    if (!quote)
        return text;
    QString s = text;
    s.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QByteArray exportRecords(const QList<WeightRecord> &records, Layout layout, const QTimeZone &zone)
{
    switch (layout) {
    case Layout::Own:
        return QByteArray("\xEF\xBB\xBF") + ownLayout(records).toUtf8();
    case Layout::OpenScale:
        return openScaleLayout(records).toUtf8();
    case Layout::Libra:
        return libraLayout(records, zone).toUtf8();
    case Layout::Simple:
        return simpleLayout(records).toUtf8();
    }
    return {};
}

} // namespace csv
