#include "store/situation_file.h"

#include "store/codec.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/record_line.h"
#include "store/text_file.h"

namespace store {

namespace {

MaybeError checkLabel(const DataDir &dir, const QString &label)
{
    if (const QString reason = unstorableReason(label); !reason.isEmpty())
        return StoreError{dir.resolve(situationListFile()), 0, reason};
    return std::nullopt;
}

// A label written bare unless reading it back bare would change it: a
// comma would split it in two and blanks at its ends would be dropped, so
// such a label is written in quotes, which every reader of the list takes.
QString bareLine(const QString &label)
{
    const bool needsQuotes = label.contains(u',') ||
                             (!label.isEmpty() && (label.front().isSpace() || label.back().isSpace()));
    return needsQuotes ? quote(label) : label;
}

MaybeError appendLineText(const DataDir &dir, const QString &line)
{
    const QString actual = dir.resolve(situationListFile());
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, {line}, &bytes))
        return e;
    return appendLine(dir, situationListFile(), bytes);
}

} // namespace

QStringList parseSituationItems(const QStringList &lines)
{
    QStringList items;
    for (const QString &line : lines) {
        QList<LineField> fields;
        if (!splitFields(line, &fields).isEmpty()) {
            // An unterminated quote: the rest of the line is the label.
            const qsizetype q = line.indexOf(u'"');
            items.append(line.mid(q + 1));
            continue;
        }
        for (const LineField &f : std::as_const(fields))
            items.append(f.text);
    }
    return items;
}

MaybeError readSituationList(const DataDir &dir, QStringList *labels)
{
    TextLines text;
    if (MaybeError e = readTextLines(dir, situationListFile(), &text))
        return e;
    *labels = parseSituationItems(text.lines);
    return std::nullopt;
}

MaybeError appendSituationBare(const DataDir &dir, const QString &label)
{
    if (MaybeError e = checkLabel(dir, label))
        return e;
    return appendLineText(dir, bareLine(label));
}

MaybeError appendSituationQuoted(const DataDir &dir, const QString &label)
{
    if (MaybeError e = checkLabel(dir, label))
        return e;
    return appendLineText(dir, quote(label));
}

MaybeError writeSituationListBare(const DataDir &dir, const QStringList &labels)
{
    for (const QString &l : labels)
        if (MaybeError e = checkLabel(dir, l))
            return e;
    const QString actual = dir.resolve(situationListFile());
    QStringList lines;
    lines.reserve(labels.size());
    for (const QString &l : labels)
        lines.append(bareLine(l));
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, lines, &bytes))
        return e;
    return replaceFile(dir, situationListFile(), scratchNameFor(actual), bytes);
}

MaybeError renameSituation(const DataDir &dir, const QString &dataFile, const QString &oldLabel,
                           const QString &newLabel)
{
    if (MaybeError e = checkLabel(dir, newLabel))
        return e;
    const QString dataActual = dir.resolve(dataFile);
    const QString listActual = dir.resolve(situationListFile());
    // Both files must be writable before either is touched.
    for (const QString &name : {dataFile, situationListFile()})
        if (MaybeError e = checkWritable(dir, name))
            return e;

    // Read and build both new contents before anything is written.
    QByteArray oldData;
    if (MaybeError e = readBytes(dir, dataFile, &oldData))
        return e;
    QList<WeightRecord> records;
    if (MaybeError e = readRecords(dir, dataFile, &records))
        return e;
    QStringList dataLines;
    dataLines.reserve(records.size());
    for (WeightRecord r : std::as_const(records)) {
        if (r.situation == oldLabel)
            r.situation = newLabel;
        if (const QString reason = unstorableReason(r.reserved6); !reason.isEmpty())
            return StoreError{dataActual, int(dataLines.size()) + 1, reason};
        dataLines.append(recordLineAfterRename(r));
    }
    QByteArray newData;
    if (MaybeError e = encodeLines(dataActual, dataLines, &newData))
        return e;

    QByteArray oldList;
    if (MaybeError e = readBytes(dir, situationListFile(), &oldList))
        return e;
    QStringList labels;
    if (MaybeError e = readSituationList(dir, &labels))
        return e;
    QStringList listLines;
    for (const QString &l : std::as_const(labels))
        listLines.append(quote(l == oldLabel ? newLabel : l));
    QByteArray newList;
    if (MaybeError e = encodeLines(listActual, listLines, &newList))
        return e;

    // A replace can fail after its rename (a failed directory sync), so on
    // any failure each file that no longer holds its old bytes is put back.
    auto restore = [&](const QString &name, const QString &scratch,
                       const QByteArray &old) -> MaybeError {
        QByteArray now;
        if (!readBytes(dir, name, &now) && now == old)
            return std::nullopt;
        return replaceFile(dir, name, scratch, old);
    };
    auto putBack = [&](const StoreError &e) -> MaybeError {
        MaybeError back = restore(dataFile, renameDataScratchName(), oldData);
        if (!back)
            back = restore(situationListFile(), situationListScratchName(), oldList);
        if (back)
            return StoreError{e.file, 0,
                              e.message() + QStringLiteral("。元に戻すこともできませんでした: ") +
                                  back->message()};
        return e;
    };
    if (MaybeError e = replaceFile(dir, dataFile, renameDataScratchName(), newData))
        return putBack(*e);
    if (MaybeError e = replaceFile(dir, situationListFile(), situationListScratchName(), newList))
        return putBack(*e);
    return std::nullopt;
}

} // namespace store
