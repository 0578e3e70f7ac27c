#include "store/first_start.h"

#include "store/memo_file.h"
#include "store/record.h"
#include "store/settings_files.h"
#include "store/situation_file.h"

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

} // namespace store
