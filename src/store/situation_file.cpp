#include "store/situation_file.h"

#include "store/codec.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/journal.h"
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

QString parseSituationItems(const QStringList &lines, QStringList *items, int *line)
{
    items->clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &l = lines.at(i);
        QList<LineField> fields;
        if (const QString e = splitFields(l, &fields); !e.isEmpty()) {
            // An unterminated quote: the rest of the line is the label.
            const qsizetype q = l.indexOf(u'"');
            if (q >= 0 && QStringView(l).left(q).trimmed().isEmpty() && l.count(u'"') == 1 &&
                !l.contains(u'\r')) {
                items->append(l.mid(q + 1));
                continue;
            }
            *line = int(i) + 1;
            return e;
        }
        for (const LineField &f : std::as_const(fields))
            items->append(f.text);
    }
    return {};
}

MaybeError readSituationList(const DataDir &dir, QStringList *labels)
{
    TextLines text;
    if (MaybeError e = readTextLines(dir, situationListFile(), &text))
        return e;
    const QString actual = dir.resolve(situationListFile());
    // An unreadable last line would otherwise become an empty label.
    if (text.lastLineUndecodable)
        return StoreError{actual, int(text.lines.size()),
                          QStringLiteral("シフトJISとして読めないバイトがあります")};
    QStringList items;
    int line = 0;
    if (const QString e = parseSituationItems(text.lines, &items, &line); !e.isEmpty())
        return StoreError{actual, line, e};
    *labels = std::move(items);
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

namespace {

// One try of a rename: both files read, both new contents built, both
// replaced as one step. *changed when a file changed while it ran.
MaybeError renameOnce(const DataDir &dir, const QString &dataFile, const QString &oldLabel,
                      const QString &newLabel, bool *changed)
{
    const QString dataActual = dir.resolve(dataFile);
    const QString listActual = dir.resolve(situationListFile());
    // Both files must be writable before either is touched.
    for (const QString &name : {dataFile, situationListFile()})
        if (MaybeError e = checkWritable(dir, name))
            return e;

    // Read and build both new contents before anything is written. The
    // records and the bytes come from one read, so that the check before
    // the write is about exactly what the new content was built from.
    QByteArray oldData;
    QList<WeightRecord> records;
    if (MaybeError e = readRecords(dir, dataFile, &records, nullptr, &oldData))
        return e;
    QStringList dataLines;
    dataLines.reserve(records.size());
    for (WeightRecord r : std::as_const(records)) {
        if (r.situation == oldLabel)
            r.situation = newLabel;
        if (const QString reason = unstorableReason(r.reserved.sixth()); !reason.isEmpty())
            return StoreError{dataActual, int(dataLines.size()) + 1, reason};
        dataLines.append(recordLineAfterRename(r));
    }
    QByteArray newData;
    if (MaybeError e = encodeLines(dataActual, dataLines, &newData))
        return e;

    // The bytes first: labels read from a later content fail the check.
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

    // Both files, or neither, also across a crash.
    Journal step(QStringLiteral("状況コメントの入れ替え"));
    step.replace(dataFile, true, oldData, newData, renameDataScratchName());
    step.replace(situationListFile(), true, oldList, newList, situationListScratchName());
    return step.run(dir, changed);
}

} // namespace

MaybeError renameSituation(const DataDir &dir, const QString &dataFile, const QString &oldLabel,
                           const QString &newLabel)
{
    if (MaybeError e = checkLabel(dir, newLabel))
        return e;
    // A file another program wrote meanwhile is read again and the rename
    // made on its new content.
    constexpr int kTries = 4;
    for (int attempt = 1;; ++attempt) {
        bool changed = false;
        MaybeError e = renameOnce(dir, dataFile, oldLabel, newLabel, &changed);
        if (!changed || attempt == kTries)
            return e;
    }
}

} // namespace store
