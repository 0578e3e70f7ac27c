#include "store/data_file.h"

#include "store/codec.h"
#include "store/file_io.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/text_file.h"

namespace store {

namespace {

MaybeError checkStorable(const QString &file, const WeightRecord &r)
{
    for (const QString *t : {&r.date, &r.situation, &r.diary}) {
        const QString reason = unstorableReason(*t);
        if (!reason.isEmpty())
            return StoreError{file, 0, reason};
    }
    return std::nullopt;
}

MaybeError encodeRecords(const QString &file, const QList<WeightRecord> &records,
                         QByteArray *out)
{
    QStringList lines;
    lines.reserve(records.size());
    for (const WeightRecord &r : records) {
        if (MaybeError e = checkStorable(file, r))
            return e;
        lines.append(recordLine(r));
    }
    return encodeLines(file, lines, out);
}

StoreError fullError(const QString &file)
{
    return StoreError{file, 0,
                      QStringLiteral("記録は%1件までです。これ以上は追加できません").arg(kMaxRecords)};
}

} // namespace

MaybeError readRecords(const DataDir &dir, const QString &dataFile, QList<WeightRecord> *out,
                       IncompleteTail *tail)
{
    out->clear();
    if (tail)
        *tail = IncompleteTail{};
    TextLines text;
    if (MaybeError e = readTextLines(dir, dataFile, &text))
        return e;
    const QString actual = dir.resolve(dataFile);
    out->reserve(text.lines.size());
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const QString &line = text.lines.at(i);
        const bool last = i == text.lines.size() - 1;
        if (line.trimmed().isEmpty() && !(last && text.lastLineUndecodable))
            continue;
        WeightRecord r;
        QString reason = text.lastLineUndecodable && last
                             ? QStringLiteral("シフトJISとして読めないバイトがあります")
                             : parseRecordLine(line, &r);
        if (!reason.isEmpty()) {
            if (last && !text.lastLineTerminated && tail) {
                tail->present = true;
                tail->line = int(i) + 1;
                tail->offset = text.lastLineOffset;
                tail->reason = reason;
                break;
            }
            return StoreError{actual, int(i) + 1, reason};
        }
        if (out->size() >= kMaxRecords)
            return StoreError{actual, int(i) + 1,
                              QStringLiteral("記録が%1件を超えています").arg(kMaxRecords)};
        out->append(r);
    }
    return std::nullopt;
}

MaybeError readLastRecord(const DataDir &dir, const QString &dataFile, WeightRecord *out,
                          bool *found)
{
    *found = false;
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    // Line breaks can never be part of a CP932 character, so the last line
    // is found on the bytes.
    qsizetype end = bytes.size();
    while (end > 0) {
        while (end > 0 && (bytes.at(end - 1) == '\n' || bytes.at(end - 1) == '\r' ||
                           bytes.at(end - 1) == ' ' || bytes.at(end - 1) == '\t'))
            --end;
        if (end == 0)
            break;
        const qsizetype start = bytes.lastIndexOf('\n', end - 1) + 1;
        const int lineNo = int(bytes.left(start).count('\n')) + 1;
        QString error;
        const QString line = cp932::decode(bytes.mid(start, end - start), &error);
        const QString actual = dir.resolve(dataFile);
        if (!error.isEmpty())
            return StoreError{actual, lineNo, error};
        if (QString reason = parseRecordLine(line, out); !reason.isEmpty())
            return StoreError{actual, lineNo, reason};
        *found = true;
        break;
    }
    return std::nullopt;
}

MaybeError saveIncompleteTail(const DataDir &dir, const QString &dataFile,
                              const IncompleteTail &tail, QString *sideFile)
{
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    const QString actual = dir.resolve(dataFile);
    // A name that says what it holds; numbered so an older one is kept.
    QString name = actual + QStringLiteral(".途中の行");
    for (int n = 2; dir.exists(name); ++n)
        name = actual + QStringLiteral(".途中の行%1").arg(n);
    if (MaybeError e = replaceFile(dir, name, scratchNameFor(name), bytes.mid(tail.offset)))
        return e;
    if (MaybeError e = truncateFile(dir, dataFile, tail.offset))
        return e;
    *sideFile = name;
    return std::nullopt;
}

MaybeError appendRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r)
{
    const QString actual = dir.resolve(dataFile);
    if (MaybeError e = checkStorable(actual, r))
        return e;
    if (dir.exists(dataFile)) {
        // Never add to a file that cannot be read back whole.
        QList<WeightRecord> old;
        if (MaybeError e = readRecords(dir, dataFile, &old))
            return e;
        if (old.size() >= kMaxRecords)
            return fullError(actual);
    }
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, {recordLine(r)}, &bytes))
        return e;
    return appendLine(dir, dataFile, bytes);
}

MaybeError insertRecordInOrder(const DataDir &dir, const QString &dataFile,
                               const WeightRecord &r)
{
    const QString actual = dir.resolve(dataFile);
    if (MaybeError e = checkStorable(actual, r))
        return e;
    QList<WeightRecord> old;
    if (MaybeError e = readRecords(dir, dataFile, &old))
        return e;
    if (old.size() >= kMaxRecords)
        return fullError(actual);
    QList<WeightRecord> records;
    records.reserve(old.size() + 1);
    bool written = false;
    for (const WeightRecord &o : old) {
        if (!written && o.date > r.date) {
            records.append(r);
            written = true;
        }
        records.append(o);
    }
    // No later record: the new one still belongs in the file, at the end.
    if (!written)
        records.append(r);
    return rewriteRecords(dir, dataFile, records, insertScratchName());
}

MaybeError rewriteRecords(const DataDir &dir, const QString &dataFile,
                          const QList<WeightRecord> &records, const QString &scratchName)
{
    const QString actual = dir.resolve(dataFile);
    QByteArray bytes;
    if (MaybeError e = encodeRecords(actual, records, &bytes))
        return e;
    return replaceFile(dir, dataFile, scratchName, bytes);
}

MaybeError writeStartRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r)
{
    return rewriteRecords(dir, dataFile, {r}, insertScratchName());
}

MaybeError loadProfile(const DataDir &dir, const QString &profileFile, PersonProfile *out)
{
    TextLines text;
    if (MaybeError e = readTextLines(dir, profileFile, &text))
        return e;
    const QString actual = dir.resolve(profileFile);
    QStringList values;
    int lineNo = 0;
    int lastValueLine = 0;
    for (const QString &line : std::as_const(text.lines)) {
        ++lineNo;
        if (values.size() == 3)
            break;
        if (line.trimmed().isEmpty())
            continue;
        lastValueLine = lineNo;
        QList<LineField> f;
        if (QString e = splitFields(line, &f); !e.isEmpty())
            return StoreError{actual, lineNo, e};
        if (f.size() < 2)
            return StoreError{actual, lineNo, QStringLiteral("値がありません")};
        if (values.size() > 0 && !fmt::isNumber(f[1].text))
            return StoreError{actual, lineNo,
                              QStringLiteral("「%1」が数値ではありません").arg(f[1].text)};
        values.append(f[1].text);
    }
    if (values.size() < 3) {
        const QString names[3] = {QStringLiteral("氏名"), QStringLiteral("身長"),
                                  QStringLiteral("目標体重")};
        return StoreError{actual, lastValueLine + 1,
                          QStringLiteral("%1の行がありません").arg(names[values.size()])};
    }
    out->nickname = values[0];
    out->height = float(fmt::leadingNumber(values[1]));
    out->targetWeight = float(fmt::leadingNumber(values[2]));
    return std::nullopt;
}

MaybeError saveProfile(const DataDir &dir, const QString &profileFile, const PersonProfile &p)
{
    const QString actual = dir.resolve(profileFile);
    if (const QString reason = unstorableReason(p.nickname); !reason.isEmpty())
        return StoreError{actual, 0, reason};
    const QStringList lines = {
        quote(QStringLiteral("氏名")) + u',' + quote(p.nickname),
        quote(QStringLiteral("身長")) + u',' + fmt::shortest(p.height),
        quote(QStringLiteral("目標体重")) + u',' + fmt::shortest(p.targetWeight),
    };
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, lines, &bytes))
        return e;
    return replaceFile(dir, profileFile, scratchNameFor(actual), bytes);
}

} // namespace store
