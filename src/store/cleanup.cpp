#include "store/cleanup.h"

#include "store/backup.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/first_start.h"
#include "store/journal.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record.h"
#include "store/settings_files.h"
#include "store/situation_file.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

// The program's own files, each of which may have a `<name>.tmp` beside it.
QStringList ownFiles(const DataDir &dir)
{
    QStringList files;
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        files << dataFileName(p) << profileFileName(p);
        // The side files of incomplete last lines.
        const QString side = dir.resolve(dataFileName(p)) + QStringLiteral(".途中の行");
        const QStringList kept = dir.dir().entryList({side + u'*'}, QDir::Files | QDir::Hidden);
        for (const QString &k : kept)
            if (!k.endsWith(QStringLiteral(".tmp")))
                files << k;
        files << side;
    }
    files << helpSettingFile() << stepSettingFile() << movingAverageSettingFile()
          << autoTimeSettingFile() << markerSettingFile() << situationListFile() << memoFile()
          << legacyDataFile() << journalFile();
    return files;
}

bool isPlainFile(const QByteArray &path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QStringList ownScratchPaths(const DataDir &dir)
{
    QStringList paths;
    auto add = [&](const QString &path) {
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    };
    for (const QString &fixed : {insertScratchName(), renameDataScratchName(), situationListScratchName()})
        add(dir.dir().filePath(fixed));
    // Beside the journal and the undo record under backup/, and beside
    // the copies of the undo record's folders.
    const QDir backup(dir.dir().filePath(backupFolder()));
    add(backup.filePath(QStringLiteral("journal.txt.tmp")));
    add(backup.filePath(QStringLiteral("undo/undo.txt.tmp")));
    add(backup.filePath(QStringLiteral("undo/pending.txt.tmp")));
    const QDir undo(backup.filePath(QStringLiteral("undo")));
    for (const QString &sub : undo.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        for (const QString &f : programFiles())
            add(QDir(undo.filePath(sub)).filePath(scratchNameFor(f)));
    for (const QString &f : ownFiles(dir)) {
        // As asked and as found (an extension in capitals).
        add(dir.dir().filePath(scratchNameFor(f)));
        add(dir.dir().filePath(scratchNameFor(dir.resolve(f))));
        // Beside the target of a link.
        add(scratchPathFor(dir, f, scratchNameFor(f)));
    }
    return paths;
}

MaybeError cleanUpAfterCrash(const DataDir &dir, CrashCleanUp *done)
{
    CrashCleanUp result;
    if (MaybeError e = finishInterruptedStep(dir, &result.finishedStep))
        return e;
    // A restore or an undo keeps its own journal under backup/.
    QString restored;
    if (MaybeError e = recoverPending(dir, &restored))
        return e;
    if (result.finishedStep.isEmpty())
        result.finishedStep = restored;
    for (const QString &path : ownScratchPaths(dir)) {
        const QByteArray native = QFile::encodeName(path);
        if (!isPlainFile(native))
            continue;
        // A scratch file is never data; one that cannot be removed is
        // only overwritten by the next write that uses it.
        if (::unlink(native.constData()) == 0)
            result.removed.append(path);
    }
    if (done)
        *done = result;
    return std::nullopt;
}

} // namespace store
