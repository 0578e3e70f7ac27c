#include "sample_data.h"

#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/format.h"
#include "store/memo_file.h"
#include "store/settings_files.h"

#include <QRandomGenerator>

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
        float weight = p.start;
        records.append({dates::text(day), QStringLiteral("はじめの一歩"), weight, {}, {}, {}});
        for (day = day.addDays(1); day <= lastDay; day = day.addDays(1)) {
            if (rng.bounded(100) < 12)
                continue; // a day without weighing
            const int times = 1 + int(rng.bounded(4));
            int from = int(rng.bounded(qsizetype(situations.size() - times + 1)));
            for (int t = 0; t < times; ++t) {
                const float change = p.drift + float(rng.bounded(90) - 45) / 100.0f;
                weight = fmt::roundOneDecimal(weight + change);
                records.append({dates::text(day), situations.at(from + t), weight, {}, {}, {}});
            }
        }
        if (MaybeError e = store::rewriteRecords(d, dataFileName(p.slot), records,
                                                 store::insertScratchName()))
            return e->message();
    }
    return {};
}
