#include "sample_data.h"

#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/format.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record.h"
#include "store/settings_files.h"
#include "store/situation_file.h"

#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <numeric>
#include <cmath>

namespace {

struct Person {
    PersonSlot slot;
    PersonProfile profile;
    float start;
    float drift; // kg a day, on average, over the first four months
};

const Person kPersons[2] = {
    {PersonSlot::One, {QStringLiteral("たろう"), 172, 65}, 74.5f, -0.045f},
    {PersonSlot::Two, {QStringLiteral("はなこ"), 158.5f, 50}, 56.0f, -0.03f},
};

// The course of one person's weighings: how many on each day from
// `first` on. The first day holds the registration's weighing alone.
struct Course {
    QDate first;
    QList<int> perDay;
};

// None on about one day in eight, otherwise one to four; at least three on
// the last day.
Course dailyCourse(QRandomGenerator &rng, const QDate &first, const QDate &lastDay)
{
    Course c{first, {1}};
    for (QDate day = first.addDays(1); day <= lastDay; day = day.addDays(1))
        c.perDay.append(rng.bounded(100) < 12 ? 0 : 1 + int(rng.bounded(4)));
    // The data end on their last day, which the tools take as today and
    // show on the weight screen: a full day.
    c.perDay.last() = std::max(c.perDay.last(), 3);
    return c;
}

// A course of exactly `records` weighings ending on lastDay: as many days
// back as that takes, the oldest of them trimmed to the count.
Course courseOf(QRandomGenerator &rng, const QDate &lastDay, int records)
{
    Course c = dailyCourse(rng, lastDay.addDays(-records), lastDay); // at least one a day is plenty
    const int need = records - 1; // after the first day's weighing
    qsizetype k = c.perDay.size() - 1;
    int sum = 0;
    while (k > 0 && sum < need)
        sum += c.perDay.at(k--);
    if (sum > need)
        c.perDay[k + 1] -= sum - need;
    c.first = c.first.addDays(k);
    c.perDay = c.perDay.mid(k);
    c.perDay[0] = 1;
    return c;
}

// Writes the settings, the memo and both persons, each on the course
// `course` draws for them.
QString writePersons(const QDir &dir, const std::function<Course(QRandomGenerator &)> &course, unsigned seed)
{
    const DataDir d(dir);
    if (MaybeError e = store::createDefaultFiles(d))
        return e->message();
    if (MaybeError e = store::writeHelpFlag(d, 0))
        return e->message();
    if (MaybeError e = store::writeMemo(d, QStringLiteral("夜のおやつは控えめに。\n週末は二人で散歩！")))
        return e->message();

    const QStringList situations = store::defaults().situations.mid(1);
    QRandomGenerator rng(seed);
    for (const Person &p : kPersons) {
        if (MaybeError e = store::saveProfile(d, profileFileName(p.slot), p.profile))
            return e->message();
        const Course c = course(rng);
        const QList<int> &perDay = c.perDay;
        QList<WeightRecord> records;
        records.reserve(std::accumulate(perDay.begin(), perDay.end(), 0));
        records.append({dates::text(c.first), QStringLiteral("はじめの一歩"), p.start, {}, {}});
        // A slow trend down with plateaus, a little up in the evening and
        // down after the bath, and noise around it. Over more than four
        // months the weight goes on down more slowly, and up again now and
        // then, as a real course does.
        float wobble = 0;
        for (qsizetype i = 1; i < perDay.size(); ++i) {
            const int times = perDay.at(i);
            if (times == 0)
                continue;
            const QDate day = c.first.addDays(i);
            const float days = float(i);
            const float early = p.drift * std::min(days, 120.0f);
            const float later = days > 120 ? p.drift * 15 * std::log1p((days - 120) / 120) : 0.0f;
            const float trend = p.start + early + later + 0.4f * std::sin(days / 9.0f) +
                                (days > 120 ? 1.5f * std::sin((days - 120) / 200.0f) : 0.0f);
            wobble = 0.7f * wobble + float(int(rng.bounded(41)) - 20) / 100.0f;
            const int from = int(rng.bounded(qsizetype(situations.size() - times + 1)));
            for (int t = 0; t < times; ++t) {
                const QString &when = situations.at(from + t);
                float meal = when.contains(QStringLiteral("食後")) ? 0.3f : 0.0f;
                if (when == QStringLiteral("入浴後") || when == QStringLiteral("運動後"))
                    meal = -0.3f;
                const float w = fmt::roundOneDecimal(trend + wobble + meal +
                                                     float(int(rng.bounded(21)) - 10) / 100.0f);
                records.append({dates::text(day), when, w, {}, {}});
            }
        }
        if (MaybeError e = store::rewriteRecords(d, dataFileName(p.slot), records,
                                                 store::insertScratchName()))
            return e->message();
    }
    return {};
}

} // namespace

QString writeSampleData(const QDir &dir, const QDate &lastDay, int months, unsigned seed)
{
    const QDate first = lastDay.addMonths(-months);
    return writePersons(dir, [&](QRandomGenerator &rng) { return dailyCourse(rng, first, lastDay); }, seed);
}

QString writeSampleRecords(const QDir &dir, const QDate &lastDay, int recordsPerPerson, unsigned seed)
{
    if (recordsPerPerson < 1 || recordsPerPerson > kMaxRecords)
        return QStringLiteral("records per person must be 1 to %1").arg(kMaxRecords);
    return writePersons(dir, [&](QRandomGenerator &rng) { return courseOf(rng, lastDay, recordsPerPerson); },
                        seed);
}

QStringList existingDataFiles(const QDir &dir)
{
    const DataDir d(dir);
    QStringList names;
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two})
        names << dataFileName(p) << profileFileName(p);
    names << store::helpSettingFile() << store::stepSettingFile() << store::movingAverageSettingFile()
          << store::autoTimeSettingFile() << store::markerSettingFile() << store::situationListFile()
          << store::memoFile() << store::legacyDataFile();
    QStringList found;
    for (const QString &name : std::as_const(names))
        if (d.exists(name))
            found.append(name);
    return found;
}

QDate lastRecordDay(const QDir &dir)
{
    const DataDir d(dir);
    QString last;
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        if (!d.exists(dataFileName(p)))
            continue;
        QList<WeightRecord> records;
        store::IncompleteTail tail;
        if (store::readRecords(d, dataFileName(p), &records, &tail))
            return {};
        for (const WeightRecord &r : std::as_const(records))
            last = std::max(last, r.date);
    }
    const std::optional<QDate> day = dates::parse(last);
    return day ? *day : QDate();
}
