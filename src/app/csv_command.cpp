#include "app/csv_command.h"

#include "app/application_setup.h"
#include "store/cleanup.h"
#include "store/csv_files.h"
#include "store/data_dir.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace cli {

namespace {

CommandResult failed(const QString &why) { return {1, {}, why + QLatin1Char('\n')}; }

CommandResult runExport(const Options &options, const DataDir &dir, const QString &file)
{
    const csv::Layout layout =
        options.format.isEmpty() ? csv::Layout::Own : csv::layoutFromName(options.format).value_or(csv::Layout::Own);
    int written = 0;
    if (MaybeError e = csv::exportToFile(dir, PersonSlot(options.person), layout, file, &written))
        return failed(QStringLiteral("書き出せませんでした: %1").arg(e->message()));
    return {0,
            QStringLiteral("%1人目の記録 %2件を「%3」に書き出しました（%4）\n")
                .arg(options.person)
                .arg(written)
                .arg(QDir::toNativeSeparators(file), csv::layoutName(layout)),
            {}};
}

CommandResult runImport(const Options &options, const DataDir &dir, const QString &file, const Clock &clock)
{
    QByteArray bytes;
    if (MaybeError e = csv::readImportFile(file, &bytes))
        return failed(QStringLiteral("読み込めませんでした: %1").arg(e->message()));
    csv::ImportBase base;
    if (MaybeError e = csv::readImportBase(dir, PersonSlot(options.person), &base))
        return failed(QStringLiteral("読み込めませんでした: %1").arg(e->message()));
    csv::ImportOptions importOptions;
    if (options.dateOrder == QLatin1String("md"))
        importOptions.dateOrder = csv::DateOrder::MonthFirst;
    else if (options.dateOrder == QLatin1String("dm"))
        importOptions.dateOrder = csv::DateOrder::DayFirst;
    const csv::ImportPlan plan = csv::planImport(bytes, base.records, importOptions);
    const QString preview = csv::previewText(plan) + QLatin1Char('\n');
    if (plan.needsDateOrder)
        return failed(csv::previewText(plan) +
                      QStringLiteral("。--date-order md（月/日/年）か --date-order dm（日/月/年）を付けてください"));
    if (!plan.error.isEmpty() || plan.tooMany)
        return failed(QStringLiteral("読み込めませんでした:\n") + preview.trimmed());
    if (options.dryRun)
        return {0, preview + QStringLiteral("（--dry-run のため書き込んでいません）\n"), {}};
    if (plan.toAdd.isEmpty())
        return {0, preview + QStringLiteral("追加する記録はありません\n"), {}};
    bool recordsIn = false;
    if (MaybeError e = csv::applyImport(dir, base, plan, clock, &recordsIn)) {
        if (recordsIn)
            return failed(QStringLiteral("%1人目の記録に %2件を加えましたが、最後まで終えられませんでした: %3")
                              .arg(options.person)
                              .arg(plan.toAdd.size())
                              .arg(e->message()));
        return failed(QStringLiteral("読み込めませんでした: %1").arg(e->message()));
    }
    return {0,
            preview + QStringLiteral("%1人目の記録に %2件を加えました\n").arg(options.person).arg(plan.toAdd.size()),
            {}};
}

} // namespace

CommandResult runCsvCommand(const Options &options, const QString &dataDir, const QString &currentDir,
                            const Clock &clock)
{
    if (!QFileInfo(dataDir).isDir())
        return failed(QStringLiteral("データのフォルダーがありません: %1").arg(QDir::toNativeSeparators(dataDir)));
    const QDir qdir(dataDir);
    const QString file = QDir::cleanPath(QDir(currentDir).absoluteFilePath(options.csvFile));

    // The same lock as the window's: never two writers on one directory.
    QLockFile lock(dataDirLockPath(qdir));
    if (const std::optional<StartRefusal> refusal = lockDataDir(lock, qdir))
        return failed(refusal->text);
    const DataDir dir(qdir);
    if (MaybeError e = store::cleanUpAfterCrash(dir))
        return failed(QStringLiteral("前回途中で止まった作業を片付けられません: %1").arg(e->message()));

    if (options.action == Action::Export)
        return runExport(options, dir, file);
    if (options.action == Action::Import)
        return runImport(options, dir, file, clock);
    return failed(QStringLiteral("--export か --import を指定してください"));
}

} // namespace cli
