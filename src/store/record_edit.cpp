#include "store/record_edit.h"

#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/record_line.h"
#include "store/record_scan.h"
#include "store/text_file.h"

#include <QList>
#include <QMap>

#include <cmath>

namespace store {

namespace {

constexpr float kMaxWeightKg = 500.0f;

// The records as read, with the bytes they came from, and the one asked
// for checked against them.
MaybeError readAndFind(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                       QList<WeightRecord> *records, QByteArray *bytes)
{
    if (MaybeError e = readRecords(dir, dataFile, records, nullptr, bytes))
        return e;
    if (which.index < 0 || which.index >= records->size() || records->at(which.index) != which.record)
        return StoreError{dir.resolve(dataFile), 0,
                          QStringLiteral("この記録がファイルの中に見つかりません。ほかで変更された可能性があります。"
                                         "画面を開き直してから、もう一度操作してください")};
    return std::nullopt;
}

// Where each record's line lies in the file, its line break included.
// Lines of blanks only (ASCII ones or the full-width "　") are no records,
// as the reader has it.
struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
};

bool blankLine(const char *p, const char *end)
{
    for (; p < end; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\v' || *p == '\f')
            continue;
        if (p + 1 < end && uchar(p[0]) == 0x81 && uchar(p[1]) == 0x40) {
            ++p;
            continue;
        }
        return false;
    }
    return true;
}

QList<Span> recordSpans(const QByteArray &bytes)
{
    QList<Span> spans;
    const char *const start = bytes.constData();
    const char *const stop = start + bytes.size();
    scan::forEachLine(bytes, [&](const scan::Line &l) {
        if (blankLine(l.begin, l.end))
            return true;
        const char *q = l.end;
        if (l.terminated) {
            if (*q == '\r')
                ++q;
            ++q; // the line feed
        }
        spans.append(Span{l.offset, qMin<qsizetype>(q - start, stop - start)});
        return true;
    });
    return spans;
}

// Whether the span holds exactly this record.
bool spanHolds(const QByteArray &bytes, const Span &s, const WeightRecord &r)
{
    scan::Line line;
    line.begin = bytes.constData() + s.begin;
    line.end = bytes.constData() + s.end;
    while (line.end > line.begin && (line.end[-1] == '\n' || line.end[-1] == '\r'))
        --line.end;
    WeightRecord read;
    QString reason;
    return scan::readExact(line, &read, &reason) == scan::Kind::Record && read == r;
}

// The new bytes of a correction or removal, every other line kept byte
// for byte: the record at `from` taken out and, when given, `r` put where
// it belongs among the others (before the one now at `to`). False when
// the lines cannot be matched to the records; the caller then writes the
// whole file anew.
bool splice(const QString &file, const QByteArray &bytes, const QList<WeightRecord> &records, int from,
            const WeightRecord *r, int to, QByteArray *out)
{
    const QList<Span> spans = recordSpans(bytes);
    if (spans.size() != records.size() || !spanHolds(bytes, spans.at(from), records.at(from)))
        return false;
    QByteArray line;
    if (r && encodeLines(file, {recordLine(*r)}, &line))
        return false;
    const Span cut = spans.at(from);
    if (r && r->date == records.at(from).date && to == from) {
        *out = bytes.left(cut.begin) + line + bytes.mid(cut.end);
        return true;
    }
    // The record the new line goes before, as the file numbers them.
    const int anchor = to < from ? to : to + 1;
    if (r && anchor < spans.size() && !spanHolds(bytes, spans.at(anchor), records.at(anchor)))
        return false;
    const qsizetype at = anchor < spans.size() ? spans.at(anchor).begin : bytes.size();
    out->clear();
    out->reserve(bytes.size() + line.size() + 2);
    if (!r || at >= cut.end) {
        out->append(bytes.constData(), cut.begin);
        if (r) {
            out->append(bytes.constData() + cut.end, at - cut.end);
            if (!out->isEmpty() && !out->endsWith('\n'))
                out->append("\r\n");
            out->append(line);
            out->append(bytes.constData() + at, bytes.size() - at);
        } else {
            out->append(bytes.constData() + cut.end, bytes.size() - cut.end);
        }
        return true;
    }
    out->append(bytes.constData(), at);
    out->append(line);
    out->append(bytes.constData() + at, cut.begin - at);
    out->append(bytes.constData() + cut.end, bytes.size() - cut.end);
    return true;
}

// Writes the new records in place of `before` as one undoable step.
// `spliced` holds the new bytes when they could be made line by line.
MaybeError rewriteUndoable(const DataDir &dir, const QString &dataFile, const QString &step,
                           const QByteArray &before, const QList<WeightRecord> &records, const Clock &clock,
                           const QByteArray *spliced, bool *written)
{
    if (written)
        *written = false;
    const QString actual = dir.resolve(dataFile);
    QByteArray content;
    if (spliced)
        content = *spliced;
    else if (MaybeError e = recordFileBytes(actual, records, &content))
        return e;
    if (content == before)
        return std::nullopt; // nothing to change
    // A file that may not be written is refused before a snapshot is made.
    if (MaybeError e = checkWritable(dir, dataFile))
        return e;
    const QMap<QString, QByteArray> expected = {{dataFile, before}};
    const QMap<QString, QByteArray> after = {{dataFile, content}};
    ChangeOptions options;
    options.expected = &expected;
    options.after = &after;
    const MaybeError e = runUndoableChange(dir, step, {dataFile}, clock, options, [&] {
        return replaceFile(dir, dataFile, scratchNameFor(actual), content);
    });
    // A step can fail after the file was replaced (its undo record, the
    // folder's sync): the caller must not then say nothing changed.
    if (written) {
        QByteArray now;
        *written = !e || (!readBytes(dir, dataFile, &now) && now == content);
    }
    return e;
}

} // namespace

QString correctionProblem(const WeightRecord &r, const QDate &today)
{
    const std::optional<QDate> d = dates::parse(r.date);
    if (!d)
        return QStringLiteral("日付「%1」が正しくありません").arg(r.date);
    if (*d > today)
        return QStringLiteral("今日より後の日付(%1)には記録できません").arg(r.date);
    if (!std::isfinite(r.weight) || !(r.weight > 0.0f) || !(r.weight <= kMaxWeightKg))
        return QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください");
    for (const QString *t : {&r.situation, &r.diary}) {
        const QString reason = unstorableReason(*t);
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

MaybeError correctRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                         const WeightRecord &corrected, const Clock &clock, int *newIndex, bool *written)
{
    if (written)
        *written = false;
    if (const QString why = correctionProblem(corrected, clock.today()); !why.isEmpty())
        return StoreError{dir.resolve(dataFile), 0, why};
    QList<WeightRecord> records;
    QByteArray before;
    if (MaybeError e = readAndFind(dir, dataFile, which, &records, &before))
        return e;

    WeightRecord r = corrected;
    r.reserved.clear();
    const QList<WeightRecord> old = records;
    int at = which.index;
    if (r.date == records.at(at).date) {
        records[at] = r;
    } else {
        // After that day's records, before the first later one.
        records.removeAt(at);
        at = 0;
        while (at < records.size() && !(records.at(at).date > r.date))
            ++at;
        records.insert(at, r);
    }
    QByteArray spliced;
    const bool lineByLine = splice(dir.resolve(dataFile), before, old, which.index, &r, at, &spliced);
    if (MaybeError e = rewriteUndoable(dir, dataFile, QStringLiteral("correct"), before, records, clock,
                                       lineByLine ? &spliced : nullptr, written))
        return e;
    if (newIndex)
        *newIndex = at;
    return std::nullopt;
}

MaybeError removeRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                        const Clock &clock, bool *written)
{
    if (written)
        *written = false;
    QList<WeightRecord> records;
    QByteArray before;
    if (MaybeError e = readAndFind(dir, dataFile, which, &records, &before))
        return e;
    if (records.size() == 1)
        return StoreError{dir.resolve(dataFile), 0,
                          QStringLiteral("最後の1件の記録は削除できません。修正してください")};
    QByteArray spliced;
    const bool lineByLine = splice(dir.resolve(dataFile), before, records, which.index, nullptr, 0, &spliced);
    records.removeAt(which.index);
    return rewriteUndoable(dir, dataFile, QStringLiteral("remove"), before, records, clock,
                           lineByLine ? &spliced : nullptr, written);
}

MaybeError appendRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock)
{
    ChangeOptions options;
    options.backup = BackupFirst::No;
    options.kept = PreviousContent::Prefix;
    return runUndoableChange(dir, QStringLiteral("append"), {dataFile}, clock, options,
                             [&] { return appendRecord(dir, dataFile, r); });
}

MaybeError insertRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock)
{
    if (MaybeError e = checkWritable(dir, dataFile))
        return e;
    return runUndoableChange(dir, QStringLiteral("insert"), {dataFile}, clock, ChangeOptions{},
                             [&] { return insertRecordInOrder(dir, dataFile, r); });
}

MaybeError saveNewRecordUndoable(const DataDir &dir, const QString &dataFile, const NewRecord &in,
                                 const Clock &clock, SaveMode *mode)
{
    // The file's last date tells beforehand what the save will do; should
    // the file change meanwhile, undo finds the old length's bytes changed
    // and refuses rather than cut a record off.
    SaveMode expected = SaveMode::Append;
    if (dir.exists(dataFile)) {
        WeightRecord last;
        bool found = false;
        if (MaybeError e = readLastRecord(dir, dataFile, &last, &found))
            return e;
        if (found)
            expected = saveModeFor(last.date, in.day);
    }
    ChangeOptions options;
    if (expected == SaveMode::Append) {
        options.backup = BackupFirst::No;
        options.kept = PreviousContent::Prefix;
    } else if (MaybeError e = checkWritable(dir, dataFile)) {
        return e;
    }
    const QString step = expected == SaveMode::Append ? QStringLiteral("append") : QStringLiteral("insert");
    return runUndoableChange(dir, step, {dataFile}, clock, options,
                             [&] { return saveNewRecord(dir, dataFile, in, mode); });
}

MaybeError runUndoableChange(const DataDir &dir, const QString &step, const QStringList &files,
                             const Clock &clock, const ChangeOptions &options,
                             const std::function<MaybeError()> &write)
{
    PendingChange change;
    if (MaybeError e = beginChange(dir, step, files, clock, options, &change))
        return e;
    QMap<QString, QByteArray> after;
    if (options.after)
        for (auto it = options.after->cbegin(); it != options.after->cend(); ++it)
            after.insert(dir.resolve(it.key()), it.value());
    // Noted before the first file changes, so that the next start can tell
    // whether a step cut short by a crash happened and register it then.
    if (MaybeError e = markChangePending(dir, change, options.after ? &after : nullptr)) {
        abandonChange(dir, change);
        return e;
    }
    if (MaybeError e = write()) {
        // A write may fail after its file was replaced (the directory's
        // sync): a change that stands can still be undone.
        if (detail::changeHappened(dir, change))
            (void)commitChange(dir, change);
        else
            abandonChange(dir, change);
        return e;
    }
    return commitChange(dir, change);
}

} // namespace store
