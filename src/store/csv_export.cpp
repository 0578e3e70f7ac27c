#include "store/csv_exchange.h"

#include "store/dates.h"
#include "store/format.h"

#include <QDateTime>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <numeric>

namespace csv {

namespace {

// "2008/03/10" → "2008-03-10", added to out without a string of its own:
// a full file's export writes one per record.
void appendIsoDate(QString &out, const QString &stored)
{
    for (const QChar c : stored)
        out += c == u'/' ? QChar(u'-') : c;
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

// "2008-03-09T21:00:00.000Z", added to out: QDateTime::toString would
// parse its pattern again for every day of the file.
void appendUtcStamp(QString &out, QDate d, QTime t)
{
    auto two = [&out](int v) {
        out += QChar(u'0' + v / 10);
        out += QChar(u'0' + v % 10);
    };
    const int y = d.year();
    if (y < 1000 || y > 9999) { // never in a data file; kept exact anyway
        out += QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0'));
    } else {
        two(y / 100);
        two(y % 100);
    }
    out += u'-';
    two(d.month());
    out += u'-';
    two(d.day());
    out += u'T';
    two(t.hour());
    out += u':';
    two(t.minute());
    out += u':';
    two(t.second());
    out += QStringLiteral(".000Z");
}

// "07:05", added to out.
void appendMinute(QString &out, int minute)
{
    const char16_t text[5] = {char16_t(u'0' + minute / 600), char16_t(u'0' + minute / 60 % 10), u':',
                              char16_t(u'0' + minute % 60 / 10), char16_t(u'0' + minute % 10)};
    out.append(reinterpret_cast<const QChar *>(text), 5);
}

// The non-empty texts joined by " / ".
void appendJoined(QString &out, const QString &text)
{
    if (text.isEmpty())
        return;
    if (!out.isEmpty())
        out += QStringLiteral(" / ");
    out += text;
}

// The records' positions in date order, records of a day in file order.
// A data file is in date order already, so that is checked first.
QList<qsizetype> dateOrder(const QList<WeightRecord> &records)
{
    QList<qsizetype> order(records.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    const bool sorted = std::is_sorted(records.cbegin(), records.cend(),
                                       [](const WeightRecord &a, const WeightRecord &b) {
                                           return a.date < b.date;
                                       });
    if (!sorted)
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return records[a].date < records[b].date;
        });
    return order;
}

// Calls f(first, last) for each day: the range of `order` of that day.
template <typename F>
void forEachDay(const QList<WeightRecord> &records, const QList<qsizetype> &order, F f)
{
    for (qsizetype i = 0; i < order.size();) {
        qsizetype j = i + 1;
        while (j < order.size() && records[order[j]].date == records[order[i]].date)
            ++j;
        f(i, j);
        i = j;
    }
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
    constexpr int kDay = 24 * 60;
    // The minute of each record: its situation's time, else 07:00 plus its
    // place in the day, moved on past minutes that the day already has.
    QList<int> minutes(records.size());
    QList<bool> timed(records.size()); // the situation is a time of day
    for (qsizetype k = 0; k < records.size(); ++k) {
        minutes[k] = situationMinute(records[k].situation);
        timed[k] = minutes[k] >= 0;
    }
    const QList<qsizetype> order = dateOrder(records);
    forEachDay(records, order, [&](qsizetype first, qsizetype last) {
        std::bitset<kDay> used;
        for (qsizetype i = first; i < last; ++i)
            if (minutes[order[i]] >= 0)
                used.set(size_t(minutes[order[i]]));
        for (qsizetype i = first; i < last; ++i) {
            int &minute = minutes[order[i]];
            if (minute >= 0)
                continue;
            minute = int((7 * 60 + (i - first)) % kDay);
            for (int tries = 0; tries < kDay && used.test(size_t(minute)); ++tries)
                minute = (minute + 1) % kDay;
            used.set(size_t(minute));
        }
    });

    QString out = QStringLiteral("DATE,TIME,WEIGHT,COMMENT\n");
    out.reserve(records.size() * 40 + out.size());
    QString comment;
    for (qsizetype k = 0; k < records.size(); ++k) {
        const WeightRecord &r = records[k];
        comment.clear();
        if (!timed[k])
            appendJoined(comment, r.situation);
        appendJoined(comment, r.diary);
        appendIsoDate(out, r.date);
        out += u',';
        appendMinute(out, minutes[k]);
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
    QString out = QStringLiteral("#Version:5\n#Units:kg\n\n"
                                 "#date;weight;weight trend;body fat;body fat trend;log\n");
    const QList<qsizetype> order = dateOrder(records);
    QString log;
    forEachDay(records, order, [&](qsizetype first, qsizetype last) {
        const std::optional<QDate> date = dates::parse(records[order[first]].date);
        if (!date)
            return;
        double sum = 0;
        log.clear();
        for (qsizetype i = first; i < last; ++i) {
            sum += std::round(double(records[order[i]].weight) * 100) / 100;
            appendJoined(log, records[order[i]].diary);
        }
        const double mean = std::round(sum / double(last - first) * 100) / 100;
        const QDateTime utc = QDateTime(*date, QTime(6, 0), zone).toUTC();
        appendUtcStamp(out, utc.date(), utc.time());
        out += u';';
        out += fmt::shortest(mean);
        out += QStringLiteral(";;;;");
        out += csvField(log, u';');
        out += u'\n';
    });
    return out;
}

QString simpleLayout(const QList<WeightRecord> &records)
{
    QString out = QStringLiteral("date,weight\n");
    out.reserve(records.size() * 18 + out.size());
    for (const WeightRecord &r : records) {
        appendIsoDate(out, r.date);
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
