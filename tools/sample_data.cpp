#include "sample_data.h"

#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/format.h"
#include "store/memo_file.h"
#include "store/settings_files.h"

#include <QRandomGenerator>

#include <cmath>

QString writeSampleData(const QDir &dir, const QDate &lastDay, int months, unsigned seed)
{
    const DataDir d(dir);
    if (MaybeError e = store::createDefaultFiles(d))
        return e->message();
    if (MaybeError e = store::writeHelpFlag(d, 0))
        return e->message();
    if (MaybeError e = store::writeMemo(d, QStringLiteral("夜のおやつは控えめに。\n週末は二人で散歩！")))
        return e->message();

    struct Person {
        PersonSlot slot;
        PersonProfile profile;
        float start;
        float drift; // kg a day, on average
    };
    const Person persons[2] = {
        {PersonSlot::One, {QStringLiteral("たろう"), 172, 65}, 74.5f, -0.045f},
        {PersonSlot::Two, {QStringLiteral("はなこ"), 158.5f, 50}, 56.0f, -0.03f},
    };
    const QStringList situations = store::defaults().situations.mid(1);
    QRandomGenerator rng(seed);
    for (const Person &p : persons) {
        if (MaybeError e = store::saveProfile(d, profileFileName(p.slot), p.profile))
            return e->message();
        QList<WeightRecord> records;
        QDate day = lastDay.addMonths(-months);
        const QDate first = day;
        records.append({dates::text(day), QStringLiteral("はじめの一歩"), p.start, {}, {}, {}});
        // A slow trend down with plateaus, a little up in the evening and
        // down after the bath, and noise around it.
        float wobble = 0;
        for (day = day.addDays(1); day <= lastDay; day = day.addDays(1)) {
            if (rng.bounded(100) < 12)
                continue; // a day without weighing
            const float trend = p.start + p.drift * float(first.daysTo(day)) +
                                0.4f * float(std::sin(first.daysTo(day) / 9.0));
            wobble = 0.7f * wobble + float(int(rng.bounded(41)) - 20) / 100.0f;
            const int times = 1 + int(rng.bounded(4));
            const int from = int(rng.bounded(qsizetype(situations.size() - times + 1)));
            for (int t = 0; t < times; ++t) {
                const QString &when = situations.at(from + t);
                float meal = when.contains(QStringLiteral("食後")) ? 0.3f : 0.0f;
                if (when == QStringLiteral("入浴後") || when == QStringLiteral("運動後"))
                    meal = -0.3f;
                const float w = fmt::roundOneDecimal(trend + wobble + meal +
                                                     float(int(rng.bounded(21)) - 10) / 100.0f);
                records.append({dates::text(day), when, w, {}, {}, {}});
            }
        }
        if (MaybeError e = store::rewriteRecords(d, dataFileName(p.slot), records,
                                                 store::insertScratchName()))
            return e->message();
    }
    return {};
}
