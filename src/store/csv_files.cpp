#include "store/csv_files.h"

#include "store/backup.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/record_edit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace csv {

namespace {

// True when `target` is a file the program keeps in the data directory
// (or the directory's lock): an export must never replace one of those.
bool isProgramFile(const DataDir &dir, const QString &target)
{
    const QFileInfo t(target);
    const QString targetDir = QFileInfo(t.absolutePath()).canonicalFilePath();
    if (targetDir.isEmpty() || targetDir != QFileInfo(dir.dir().absolutePath()).canonicalFilePath())
        return false;
    // Names match whatever the case of their extension, as the store's do.
    const DataDir there(QDir(t.absolutePath()));
    const QString resolved = there.resolve(t.fileName());
    for (const QString &name : store::programFiles())
        if (dir.resolve(name) == resolved || name == t.fileName())
            return true;
    return t.fileName() == QLatin1String(".nanahoshi.lock");
}

} // namespace

MaybeError exportToFile(const DataDir &dir, PersonSlot person, Layout layout, const QString &target,
                        int *written)
{
    const QString dataFile = dataFileName(person);
    if (!dir.exists(dataFile))
        return StoreError{dataFile, 0, QStringLiteral("この人はまだ登録されていません")};
    const QFileInfo t(target);
    if (t.fileName().isEmpty() || t.isDir())
        return StoreError{target, 0, QStringLiteral("書き出し先のファイル名がありません")};
    if (isProgramFile(dir, target))
        return StoreError{t.fileName(), 0,
                          QStringLiteral("ナナホシのデータファイルには書き出せません。別の名前を指定してください")};
    if (!QFileInfo(t.absolutePath()).isDir())
        return StoreError{target, 0, QStringLiteral("書き出し先のフォルダーがありません")};

    QList<WeightRecord> records;
    if (MaybeError e = store::readRecords(dir, dataFile, &records))
        return e;
    const QByteArray bytes = exportRecords(records, layout);
    const DataDir there(QDir(t.absolutePath()));
    if (MaybeError e = store::replaceFile(there, t.fileName(), store::scratchNameFor(t.fileName()), bytes))
        return e;
    if (written)
        *written = int(records.size());
    return std::nullopt;
}

MaybeError readImportFile(const QString &path, QByteArray *out)
{
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists())
        return StoreError{name, 0, QStringLiteral("ファイルが見つかりません")};
    if (!info.isFile())
        return StoreError{name, 0, QStringLiteral("ファイルではありません")};
    if (info.size() > kMaxImportFileBytes)
        return StoreError{name, 0,
                          QStringLiteral("ファイルが大きすぎます（%1MBまで）").arg(kMaxImportFileBytes / (1024 * 1024))};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return StoreError{name, 0, QStringLiteral("ファイルを開けません: %1").arg(f.errorString())};
    QByteArray bytes = f.read(kMaxImportFileBytes + 1);
    if (f.error() != QFileDevice::NoError)
        return StoreError{name, 0, QStringLiteral("ファイルを読めません: %1").arg(f.errorString())};
    if (bytes.size() > kMaxImportFileBytes)
        return StoreError{name, 0,
                          QStringLiteral("ファイルが大きすぎます（%1MBまで）").arg(kMaxImportFileBytes / (1024 * 1024))};
    *out = std::move(bytes);
    return std::nullopt;
}

MaybeError readImportBase(const DataDir &dir, PersonSlot person, ImportBase *out)
{
    const QString dataFile = dataFileName(person);
    if (!dir.exists(dataFile))
        return StoreError{dataFile, 0, QStringLiteral("この人はまだ登録されていません")};
    ImportBase base;
    base.dataFile = dataFile;
    if (MaybeError e = store::readRecords(dir, dataFile, &base.records, nullptr, &base.bytes))
        return e;
    *out = std::move(base);
    return std::nullopt;
}

MaybeError applyImport(const DataDir &dir, const ImportBase &base, const ImportPlan &plan,
                       const Clock &clock, bool *recordsIn)
{
    if (recordsIn)
        *recordsIn = false;
    const QString actual = dir.resolve(base.dataFile);
    if (!plan.canImport())
        return StoreError{actual, 0, previewText(plan)};
    QByteArray content;
    if (MaybeError e = mergedRecordBytes(actual, base.records, plan.toAdd, &content))
        return e;
    // A file that may not be written is refused before a snapshot is made.
    if (MaybeError e = store::checkWritable(dir, base.dataFile))
        return e;
    const QMap<QString, QByteArray> expected = {{base.dataFile, base.bytes}};
    // What the import will leave, so that the next start after a crash
    // takes a file edited since for an edit, not for the import, and undo
    // never puts the old bytes back over it.
    const QMap<QString, QByteArray> after = {{base.dataFile, content}};
    store::ChangeOptions options;
    options.expected = &expected;
    options.after = &after;
    const MaybeError e = store::runUndoableChange(dir, QStringLiteral("import"), {base.dataFile}, clock, options, [&] {
        return store::replaceFile(dir, base.dataFile, store::scratchNameFor(actual), content);
    });
    if (recordsIn) {
        QByteArray now;
        *recordsIn = !e || (!store::readBytes(dir, base.dataFile, &now) && now == content);
    }
    return e;
}

} // namespace csv
