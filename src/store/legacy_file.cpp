#include "store/legacy_file.h"

#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/format.h"
#include "store/journal.h"
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
        // The weights a data file may hold, so that the converted file
        // reads back.
        float weight = 0;
        if (QString e = storedNumberReason(f[2].text, kMaxStoredWeight, QStringLiteral("体重"), &weight);
            !e.isEmpty())
            return StoreError{actual, lineNo, e};
        if (out->size() >= kMaxRecords)
            return StoreError{actual, lineNo,
                              QStringLiteral("記録が%1件を超えています").arg(kMaxRecords)};
        WeightRecord r;
        r.date = f[0].text;
        r.situation = f[1].text;
        r.weight = weight;
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

    // Two files change: the journal makes them one step across a crash.
    Journal step(QStringLiteral("連続体重.txtの変換"));
    step.replace(dataFile, existed, old, content, scratchNameFor(dataActual));
    step.rename(oldName, backup);
    if (MaybeError e = step.run(dir))
        return e;
    if (done)
        *done = LegacyConversion{int(records.size()), backup};
    return std::nullopt;
}

} // namespace store
