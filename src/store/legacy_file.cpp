#include "store/legacy_file.h"

#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/text_file.h"

namespace store {

MaybeError readLegacyRecords(const DataDir &dir, QList<WeightRecord> *out)
{
    out->clear();
    TextLines text;
    if (MaybeError e = readTextLines(dir, legacyDataFile(), &text))
        return e;
    const QString actual = dir.resolve(legacyDataFile());
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const QString &line = text.lines.at(i);
        const int lineNo = int(i) + 1;
        if (line.trimmed().isEmpty() && !text.lastLineUndecodable)
            continue;
        if (text.lastLineUndecodable && i == text.lines.size() - 1)
            return StoreError{actual, lineNo, QStringLiteral("シフトJISとして読めないバイトがあります")};
        QList<LineField> f;
        if (QString e = splitFields(line, &f); !e.isEmpty())
            return StoreError{actual, lineNo, e};
        if (f.size() != 3)
            return StoreError{actual, lineNo,
                              QStringLiteral("項目の数が3ではありません(%1項目)").arg(f.size())};
        if (!dates::isDateText(f[0].text))
            return StoreError{actual, lineNo,
                              QStringLiteral("日付「%1」が yyyy/mm/dd の形ではありません").arg(f[0].text)};
        if (!fmt::isNumber(f[2].text))
            return StoreError{actual, lineNo,
                              QStringLiteral("体重「%1」が数値ではありません").arg(f[2].text)};
        if (out->size() >= kMaxRecords)
            return StoreError{actual, lineNo,
                              QStringLiteral("記録が%1件を超えています").arg(kMaxRecords)};
        WeightRecord r;
        r.date = f[0].text;
        r.situation = f[1].text;
        r.weight = weightFromText(f[2].text);
        out->append(r);
    }
    return std::nullopt;
}

namespace {

// The first backup name no file has yet (extension in any case).
QString freeBackupName(const DataDir &dir)
{
    QString name = legacyBackupFile();
    for (int n = 2; dir.exists(name); ++n)
        name = QStringLiteral("連続体重bak%1.txt").arg(n);
    return name;
}

// Brings the data file back to what it held before (or removes it when
// there was none); an error adds to the one that made it necessary.
StoreError putBack(const DataDir &dir, const QString &dataFile, bool existed,
                   const QByteArray &old, const StoreError &why)
{
    MaybeError back;
    QByteArray now;
    const bool exists = dir.exists(dataFile);
    if (!existed) {
        if (exists)
            back = removeFile(dir, dataFile);
    } else if (!exists || readBytes(dir, dataFile, &now) || now != old) {
        back = replaceFile(dir, dataFile, scratchNameFor(dir.resolve(dataFile)), old);
    }
    if (!back)
        return why;
    return StoreError{why.file, why.line,
                      why.reason + QStringLiteral("。データファイルを元に戻すこともできませんでした: ") +
                          back->message()};
}

} // namespace

MaybeError convertLegacyData(const DataDir &dir, const QString &dataFile, LegacyConversion *done)
{
    // Everything is read and settled before the first write.
    QList<WeightRecord> records;
    if (MaybeError e = readLegacyRecords(dir, &records))
        return e;
    const QString oldName = dir.resolve(legacyDataFile());
    if (records.isEmpty())
        return StoreError{oldName, 0, QStringLiteral("記録が1件もないため変換できません")};
    const QString dataActual = dir.resolve(dataFile);
    QByteArray content;
    if (MaybeError e = recordFileBytes(dataActual, records, &content))
        return e;
    const QString backup = freeBackupName(dir);
    const bool existed = dir.exists(dataFile);
    QByteArray old;
    if (existed)
        if (MaybeError e = readBytes(dir, dataFile, &old))
            return e;

    // Converted before, but stopped before the old file was renamed.
    const bool inPlace = existed && old == content;
    if (!inPlace) {
        if (MaybeError e = replaceFile(dir, dataFile, scratchNameFor(dataActual), content))
            return putBack(dir, dataFile, existed, old, *e);
    }
    if (MaybeError e = renameNoReplace(dir, legacyDataFile(), backup)) {
        // Renamed, but the directory could not be synced: the conversion
        // is in place and cannot be taken back; it is still reported.
        if (!dir.exists(legacyDataFile()))
            return e;
        return inPlace ? *e : putBack(dir, dataFile, existed, old, *e);
    }
    if (done)
        *done = LegacyConversion{int(records.size()), backup};
    return std::nullopt;
}

} // namespace store
