#include "store/first_start.h"

#include "store/data_file.h"
#include "store/file_io.h"
#include "store/journal.h"
#include "store/memo_file.h"
#include "store/record.h"
#include "store/settings_files.h"
#include "store/situation_file.h"

#include <tuple>

namespace store {

Defaults defaults()
{
    Defaults d;
    d.situations = {
        QStringLiteral("はじめの一歩"), QStringLiteral("起床後"), QStringLiteral("朝食後"),
        QStringLiteral("昼食後"),       QStringLiteral("夕食後"), QStringLiteral("入浴前"),
        QStringLiteral("入浴後"),       QStringLiteral("運動後"), QStringLiteral("就寝前"),
    };
    return d;
}

bool isFreshInstallation(const DataDir &dir)
{
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two})
        if (dir.exists(dataFileName(p)) || dir.exists(profileFileName(p)))
            return false;
    return true;
}

MaybeError createDefaultFiles(const DataDir &dir)
{
    const Defaults d = defaults();
    struct Step {
        QString file;
        std::function<MaybeError()> write;
    };
    const QList<Step> steps = {
        {helpSettingFile(), [&] { return writeHelpFlag(dir, d.helpFlag); }},
        {stepSettingFile(), [&] { return writeStepText(dir, d.stepText); }},
        {movingAverageSettingFile(), [&] { return writeMovingAverageText(dir, d.movingAverage); }},
        {autoTimeSettingFile(), [&] { return writeAutoTime(dir, d.autoTime); }},
        {markerSettingFile(), [&] { return writeMarkerMode(dir, d.markerMode); }},
        {situationListFile(), [&] { return writeSituationListBare(dir, d.situations); }},
        {memoFile(), [&] { return writeMemo(dir, QString()); }},
    };
    for (const Step &s : steps) {
        if (dir.exists(s.file))
            continue;
        if (MaybeError e = s.write())
            return e;
    }
    return std::nullopt;
}

MaybeError registerPerson(const DataDir &dir, PersonSlot person, const PersonProfile &profile,
                          const WeightRecord &start)
{
    const QString profileName = profileFileName(person);
    const QString dataName = dataFileName(person);
    QByteArray profileBytes, dataBytes;
    if (MaybeError e = profileFileBytes(dir.resolve(profileName), profile, &profileBytes))
        return e;
    if (MaybeError e = recordFileBytes(dir.resolve(dataName), {start}, &dataBytes))
        return e;
    Journal step(QStringLiteral("登録"));
    for (const auto &[name, bytes, scratch] :
         {std::tuple{profileName, profileBytes, scratchNameFor(dir.resolve(profileName))},
          std::tuple{dataName, dataBytes, insertScratchName()}}) {
        const bool existed = dir.exists(name);
        QByteArray old;
        if (existed)
            if (MaybeError e = readBytes(dir, name, &old))
                return e;
        step.replace(name, existed, old, bytes, scratch);
    }
    if (MaybeError e = step.run(dir))
        return e;
    // What the start record's file holds now is what the program wrote.
    rememberContent(dir, dataName, dataBytes);
    return std::nullopt;
}

QStringList missingFiles(const DataDir &dir)
{
    const QStringList needed = {
        profileFileName(PersonSlot::Two), profileFileName(PersonSlot::One),
        dataFileName(PersonSlot::One),    dataFileName(PersonSlot::Two),
        situationListFile(),              movingAverageSettingFile(),
        autoTimeSettingFile(),            markerSettingFile(),
        memoFile(),                       helpSettingFile(),
        stepSettingFile(),
    };
    QStringList missing;
    for (const QString &f : needed)
        if (!dir.exists(f))
            missing.append(f);
    return missing;
}

QStringList missingDefaultFiles(const DataDir &dir)
{
    QStringList missing = missingFiles(dir);
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        missing.removeAll(dataFileName(p));
        missing.removeAll(profileFileName(p));
    }
    return missing;
}

} // namespace store
