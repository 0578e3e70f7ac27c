#include "store/data_file.h"

#include "store/codec.h"
#include "store/file_io.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/record_scan.h"
#include "store/text_file.h"

#include <QDir>
#include <QHash>

#include <cstring>

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

// Whole reads of data files, per file, for the tests that keep the
// number of reads in check. The store is used from one thread.
QHash<QString, int> &wholeReads()
{
    static QHash<QString, int> counts;
    return counts;
}

QString readKey(const DataDir &dir, const QString &dataFile)
{
    return QDir::cleanPath(dir.dir().absoluteFilePath(dir.resolve(dataFile)));
}

void countWholeRead(const DataDir &dir, const QString &dataFile)
{
    ++wholeReads()[readKey(dir, dataFile)];
}

// Decoded texts of a field that repeats from line to line (the date of
// the day, the situation labels), so that each is decoded and stored once.
// A slot per hash of the bytes; a clash only costs a decode.
class TextCache {
public:
    bool find(const scan::Field &f, QString *out)
    {
        Entry &e = slot(f);
        if (e.bytes.size() != f.size || std::memcmp(e.bytes.constData(), f.data, size_t(f.size)) != 0)
            return false;
        *out = e.text;
        return true;
    }
    void add(const scan::Field &f, const QString &text)
    {
        Entry &e = slot(f);
        e.bytes = QByteArray(f.data, f.size);
        e.text = text;
    }

private:
    static constexpr quint32 kSlots = 64;
    struct Entry {
        QByteArray bytes;
        QString text;
    };
    Entry &slot(const scan::Field &f)
    {
        // The first and the last eight bytes and the length tell the few
        // texts of a file apart well enough.
        quint64 head = 0;
        quint64 tail = 0;
        const size_t n = size_t(f.size);
        std::memcpy(&head, f.data, std::min<size_t>(n, 8));
        if (n > 8)
            std::memcpy(&tail, f.data + n - std::min<size_t>(n - 8, 8), std::min<size_t>(n - 8, 8));
        const quint64 h = (head * 0x9E3779B97F4A7C15ull) ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ n;
        return entries_[(h >> 58) % kSlots];
    }
    Entry entries_[kSlots];
};

// Reads one line into a record: the quick way when the line is an
// ordinary one, else the exact way.
class RecordReader {
public:
    scan::Kind read(const scan::Line &line, WeightRecord *r, QString *reason)
    {
        scan::Field *f = fields_; // set afresh by each split
        if (scan::splitSix(line, f) && quick(f, r))
            return scan::Kind::Record;
        *r = WeightRecord{};
        return scan::readExact(line, r, reason);
    }

private:
    bool quick(const scan::Field f[6], WeightRecord *r)
    {
        // The date: mostly the same as the line before.
        if (f[0].size == 10 && std::memcmp(f[0].data, lastDate_, 10) == 0) {
            r->date = lastDateText_;
        } else {
            if (!scan::isDateField(f[0]))
                return false;
            r->date = QString::fromLatin1(f[0].data, f[0].size);
            std::memcpy(lastDate_, f[0].data, 10);
            lastDateText_ = r->date;
        }
        if (!scan::weightField(f[2], &r->weight))
            return false;
        if (!f[1].quoted || !labels_.find(f[1], &r->situation)) {
            if (!scan::fieldText(f[1], &r->situation))
                return false;
            if (f[1].quoted)
                labels_.add(f[1], r->situation);
        }
        if (!scan::fieldText(f[3], &r->diary))
            return false;
        if (f[4].size == 0 && f[5].size == 0) {
            r->reserved.clear();
            return true;
        }
        QString fifth, sixth;
        if (!scan::fieldText(f[4], &fifth) || !scan::fieldText(f[5], &sixth))
            return false;
        r->reserved.set(fifth, sixth);
        return true;
    }

    char lastDate_[10] = {};
    QString lastDateText_;
    TextCache labels_;
    scan::Field fields_[6];
};

// Walks the lines of a data file: blank lines are skipped, a damaged line
// is reported with its number (or, when it is the last line without a
// line break and `tail` is given, described there as an append that never
// completed), and the kMaxRecords limit is kept. read(line, reason) says
// what the line holds; take() is called for each record it accepts.
// `linesBefore` lines holding `count` records came before bytes.
template <typename Read, typename Take>
MaybeError walkRecords(const QByteArray &bytes, const QString &actual, IncompleteTail *tail,
                       Read &&read, Take &&take, int linesBefore = 0, int count = 0)
{
    MaybeError result;
    scan::forEachLine(bytes, [&](scan::Line line) {
        line.number += linesBefore;
        QString reason;
        const scan::Kind kind = read(line, &reason);
        if (kind == scan::Kind::Blank)
            return true;
        if (kind == scan::Kind::Damaged) {
            if (line.last && !line.terminated && tail) {
                *tail = IncompleteTail{true, line.number, line.offset, reason};
                return false;
            }
            result = StoreError{actual, line.number, reason};
            return false;
        }
        if (count >= kMaxRecords) {
            result = StoreError{actual, line.number,
                                QStringLiteral("記録が%1件を超えています").arg(kMaxRecords)};
            return false;
        }
        ++count;
        take();
        return true;
    });
    return result;
}

// Appends the records of bytes to *out, which holds those of the
// `linesBefore` lines before them.
MaybeError parseRecords(const QByteArray &bytes, const QString &actual, IncompleteTail *tail,
                        QList<WeightRecord> *out, int linesBefore = 0)
{
    // One allocation for the list of a whole file: a full file would
    // otherwise be moved a dozen times as the list grows. Lines added to a
    // list already read let it grow as lists do, so that a save that adds
    // one line does not move the whole list for it.
    if (out->isEmpty())
        out->reserve(scan::countLineBreaks(bytes.constData(), bytes.constData() + bytes.size()) + 1);
    RecordReader reader;
    WeightRecord r;
    return walkRecords(
        bytes, actual, tail,
        [&](const scan::Line &line, QString *reason) { return reader.read(line, &r, reason); },
        [&] { out->append(std::move(r)); }, linesBefore, int(out->size()));
}

// The last line that is not blank, read whole; *found is false when there
// is none. `breaks` is the number of line breaks in bytes.
MaybeError readLastLine(const QByteArray &bytes, qsizetype breaks, const QString &actual,
                        WeightRecord *out, bool *found)
{
    *found = false;
    MaybeError result;
    RecordReader reader;
    scan::forEachLineBackwards(bytes, breaks, [&](const scan::Line &line) {
        QString reason;
        switch (reader.read(line, out, &reason)) {
        case scan::Kind::Blank:
            return true;
        case scan::Kind::Damaged:
            result = StoreError{actual, line.number, reason};
            return false;
        case scan::Kind::Record:
            *found = true;
            return false;
        }
        return false;
    });
    return result;
}

// A weight in the form fmt::shortest writes it, for any float it reads
// as: no sign, no leading or trailing zeros, at most six significant
// digits (a float keeps six, so such a text reads back as itself).
bool isShortestWeight(const scan::Field &f)
{
    const char *p = f.data;
    const char *const end = f.data + f.size;
    if (p == end)
        return false;
    int significant = 0;
    if (*p == '0') {
        ++p;
    } else {
        while (p < end && *p >= '0' && *p <= '9') {
            ++significant;
            ++p;
        }
        if (significant == 0)
            return false;
    }
    if (p == end)
        return significant <= 6;
    if (*p != '.' || p + 1 == end || end[-1] == '0')
        return false;
    for (++p; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        if (significant > 0 || *p != '0')
            ++significant;
    }
    return significant <= 6;
}

// Bytes of an insert: every old line in the form the program writes, the
// new record placed by its date. Ordinary lines are copied from the old
// bytes (whole when they are in that form already, else field by field);
// a text that would not come back as the same bytes, or a bare one, goes
// the exact way (decode, then encode again).
class InsertWriter {
public:
    InsertWriter(const QString &actual, const WeightRecord &r, const QByteArray &newLine,
                 qsizetype sizeHint)
        : actual_(actual), record_(r), newLine_(newLine)
    {
        out_.reserve(sizeHint + newLine.size() + 64);
    }

    scan::Kind read(const scan::Line &line, QString *reason)
    {
        line_ = line;
        if (scan::splitSix(line, f_) && quick())
            return scan::Kind::Record;
        quick_ = false;
        slow_ = WeightRecord{};
        return scan::readExact(line, &slow_, reason);
    }

    void take()
    {
        if (quick_) {
            if (!written_ && QLatin1StringView(f_[0].data, f_[0].size) > record_.date)
                writeNew();
            if (asWritten()) {
                out_.append(line_.begin, line_.end - line_.begin);
                out_.append("\r\n", 2);
                return;
            }
            float weight = 0;
            scan::weightField(f_[2], &weight);
            out_ += '"';
            out_.append(f_[0].data, f_[0].size);
            out_ += "\",\"";
            out_.append(f_[1].data, f_[1].size);
            out_ += "\",";
            fmt::appendShortest(out_, weight);
            out_ += ",\"";
            out_.append(f_[3].data, f_[3].size);
            out_ += "\",\"\",\"\"\r\n";
            return;
        }
        if (!written_ && slow_.date > record_.date)
            writeNew();
        if (unstorable_)
            return;
        if (MaybeError e = checkStorable(actual_, slow_)) {
            unstorable_ = e;
            return;
        }
        QString error;
        const QByteArray b = cp932::encode(recordLine(slow_), &error);
        if (!error.isEmpty()) {
            unstorable_ = StoreError{actual_, 0, error};
            return;
        }
        out_ += b;
        out_ += "\r\n";
    }

    // The new content, or why an old record cannot be written again.
    MaybeError finish(QByteArray *out)
    {
        if (unstorable_)
            return unstorable_;
        // No later record: the new one still belongs in the file, at the end.
        if (!written_)
            writeNew();
        *out = std::move(out_);
        return std::nullopt;
    }

private:
    // A field that can be copied as it is: written in quotes the same,
    // and encoding its text again would give the same bytes.
    static bool copiable(const scan::Field &f)
    {
        return f.quoted && !std::memchr(f.data, '\r', size_t(f.size)) &&
               cp932::bytesRoundTrip(f.data, f.size);
    }
    static bool valid(const scan::Field &f)
    {
        QString ignored;
        return f.size == 0 || scan::fieldText(f, &ignored);
    }

    bool quick()
    {
        // Records of one day follow each other: a date seen on the line
        // before needs no second check.
        const scan::Field &d = f_[0];
        const bool sameDate = d.size == 10 && std::memcmp(d.data, lastDate_, 10) == 0;
        if (!sameDate) {
            if (!scan::isDateField(d))
                return quick_ = false;
            std::memcpy(lastDate_, d.data, 10);
        }
        float weight = 0;
        quick_ = scan::weightField(f_[2], &weight) && copiable(f_[1]) && copiable(f_[3]) &&
                 valid(f_[4]) && valid(f_[5]);
        return quick_;
    }

    // The line is exactly "date","situation",weight,"diary","","" already.
    bool asWritten() const
    {
        const char *b = line_.begin;
        const auto follows = [](const scan::Field &f, const char *text, qsizetype n) {
            return std::memcmp(f.data + f.size, text, size_t(n)) == 0;
        };
        return f_[0].quoted && f_[0].data == b + 1 && follows(f_[0], "\",\"", 3) &&
               f_[1].data == f_[0].data + f_[0].size + 3 && follows(f_[1], "\",", 2) &&
               !f_[2].quoted && f_[2].data == f_[1].data + f_[1].size + 2 &&
               line_.end - (f_[2].data + f_[2].size) >= 2 && follows(f_[2], ",\"", 2) &&
               f_[3].data == f_[2].data + f_[2].size + 2 && line_.end == f_[3].data + f_[3].size + 7 &&
               follows(f_[3], "\",\"\",\"\"", 7) && isShortestWeight(f_[2]);
    }

    void writeNew()
    {
        out_ += newLine_;
        written_ = true;
    }

    const QString &actual_;
    const WeightRecord &record_;
    const QByteArray &newLine_;
    QByteArray out_;
    scan::Line line_;
    scan::Field f_[6];
    char lastDate_[10] = {};
    bool quick_ = false;
    WeightRecord slow_;
    bool written_ = false;
    MaybeError unstorable_;
};

} // namespace

int wholeFileReads(const DataDir &dir, const QString &dataFile)
{
    return wholeReads().value(readKey(dir, dataFile));
}

void resetWholeFileReads() { wholeReads().clear(); }

MaybeError readRecords(const DataDir &dir, const QString &dataFile, QList<WeightRecord> *out,
                       IncompleteTail *tail, QByteArray *bytesRead)
{
    out->clear();
    if (tail)
        *tail = IncompleteTail{};
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    countWholeRead(dir, dataFile);
    MaybeError e = parseRecords(bytes, dir.resolve(dataFile), tail, out);
    if (!e)
        rememberContent(dir, dataFile, bytes);
    if (bytesRead)
        *bytesRead = std::move(bytes);
    return e;
}

MaybeError readRecordsAsRead(const DataDir &dir, const QString &dataFile, RecordsAsRead *out,
                             IncompleteTail *tail)
{
    IncompleteTail own;
    IncompleteTail &t = tail ? *tail : own;
    t = IncompleteTail{};
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    countWholeRead(dir, dataFile);
    QList<WeightRecord> records;
    if (MaybeError e = parseRecords(bytes, dir.resolve(dataFile), &t, &records))
        return e;
    // One checksum serves the outside-edit check and the record cache.
    const FileStamp stamp = stampOf(bytes);
    rememberContent(dir, dataFile, stamp);
    if (t.present) {
        bytes.truncate(t.offset); // what the file holds once the line is set aside
        *out = RecordsAsRead::of(bytes, std::move(records));
        return std::nullopt;
    }
    out->records = std::move(records);
    out->setBytes(bytes, stamp.checksum);
    return std::nullopt;
}

RecordsAsRead RecordsAsRead::of(const QByteArray &bytes, QList<WeightRecord> records)
{
    RecordsAsRead r;
    r.records = std::move(records);
    r.setBytes(bytes);
    return r;
}

void RecordsAsRead::setBytes(const QByteArray &bytes)
{
    setBytes(bytes, checksumOf(bytes.constData(), bytes.size()));
}

void RecordsAsRead::setBytes(const QByteArray &bytes, quint64 checksumOfBytes)
{
    size = bytes.size();
    checksum = checksumOfBytes;
    lineBreaks = scan::countLineBreaks(bytes.constData(), bytes.constData() + bytes.size());
    endsWithLineBreak = bytes.endsWith('\n');
}

MaybeError rereadRecords(const DataDir &dir, const QString &dataFile, RecordsAsRead *known)
{
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    const FileStamp stamp = stampOf(bytes);
    if (bytes.size() == known->size && stamp.checksum == known->checksum) {
        rememberContent(dir, dataFile, stamp);
        return std::nullopt;
    }
    const QString actual = dir.resolve(dataFile);
    if (known->size > 0 && known->endsWithLineBreak && bytes.size() > known->size
        && checksumOf(bytes.constData(), known->size) == known->checksum) {
        // Lines added after a complete last line: only they are new, and
        // they are added to the list in place (it is copied only when
        // someone else still holds it).
        QList<WeightRecord> &records = known->records;
        const qsizetype before = records.size();
        const char *added = bytes.constData() + known->size;
        const QByteArray tail = QByteArray::fromRawData(added, bytes.size() - known->size);
        if (MaybeError e = parseRecords(tail, actual, nullptr, &records, int(known->lineBreaks))) {
            records.resize(before);
            return e;
        }
        rememberContent(dir, dataFile, stamp);
        known->size = bytes.size();
        known->checksum = stamp.checksum;
        known->lineBreaks += scan::countLineBreaks(added, bytes.constData() + bytes.size());
        known->endsWithLineBreak = bytes.endsWith('\n');
        return std::nullopt;
    }
    countWholeRead(dir, dataFile);
    QList<WeightRecord> records;
    if (MaybeError e = parseRecords(bytes, actual, nullptr, &records))
        return e;
    rememberContent(dir, dataFile, stamp);
    *known = RecordsAsRead::of(bytes, std::move(records));
    return std::nullopt;
}

MaybeError readLastRecord(const DataDir &dir, const QString &dataFile, WeightRecord *out,
                          bool *found)
{
    *found = false;
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    const qsizetype breaks = scan::countLineBreaks(bytes.constData(), bytes.constData() + bytes.size());
    return readLastLine(bytes, breaks, dir.resolve(dataFile), out, found);
}

MaybeError saveIncompleteTail(const DataDir &dir, const QString &dataFile,
                              const IncompleteTail &tail, QString *sideFile)
{
    // The file is cut back afterwards: a file that may not be written gets
    // no side file either.
    if (MaybeError e = checkWritable(dir, dataFile))
        return e;
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    const QString actual = dir.resolve(dataFile);
    // A name that says what it holds; numbered so an older one is kept.
    // A start stopped after keeping the line but before cutting it finds
    // the line kept already, and only cuts: it is kept once.
    const QByteArray kept = bytes.mid(tail.offset);
    QString name = actual + QStringLiteral(".途中の行");
    bool keptAlready = false;
    for (int n = 2; dir.exists(name); ++n) {
        QByteArray side;
        if (!readBytes(dir, name, &side) && side == kept) {
            keptAlready = true;
            break;
        }
        name = actual + QStringLiteral(".途中の行%1").arg(n);
    }
    if (!keptAlready)
        if (MaybeError e = replaceFile(dir, name, scratchNameFor(name), kept))
            return e;
    if (MaybeError e = truncateFile(dir, dataFile, tail.offset))
        return e;
    // Whoever read the file read its records without the cut line, which
    // is what the file now holds.
    rememberContent(dir, dataFile, bytes.left(tail.offset));
    *sideFile = name;
    return std::nullopt;
}

MaybeError appendRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r)
{
    const QString actual = dir.resolve(dataFile);
    if (MaybeError e = checkStorable(actual, r))
        return e;
    if (dir.exists(dataFile)) {
        // The count of records and the last line decide; the rest of the
        // file is neither decoded nor parsed, so an append stays quick on
        // the largest file. Line breaks bound the count from above (blank
        // lines are not records): only near the limit is it counted exactly.
        QByteArray bytes;
        if (MaybeError e = readBytes(dir, dataFile, &bytes))
            return e;
        const char *end = bytes.constData() + bytes.size();
        const qsizetype breaks = scan::countLineBreaks(bytes.constData(), end);
        const qsizetype lines = breaks + (!bytes.isEmpty() && end[-1] != '\n' ? 1 : 0);
        if (lines >= kMaxRecords) {
            int count = 0;
            RecordReader reader;
            WeightRecord ignored;
            countWholeRead(dir, dataFile);
            if (MaybeError e = walkRecords(
                    bytes, actual, nullptr,
                    [&](const scan::Line &line, QString *reason) { return reader.read(line, &ignored, reason); },
                    [&] { ++count; }))
                return e;
            if (count >= kMaxRecords)
                return fullError(actual);
        }
        // Never glue a record to a damaged last line.
        WeightRecord last;
        bool found = false;
        if (MaybeError e = readLastLine(bytes, breaks, actual, &last, &found))
            return e;
    }
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, {recordLine(r)}, &bytes))
        return e;
    return appendLine(dir, dataFile, bytes);
}

namespace {

MaybeError insertOnce(const DataDir &dir, const QString &dataFile, const QString &actual,
                      const WeightRecord &r, const QByteArray &newLine, bool *changed)
{
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, dataFile, &bytes))
        return e;
    countWholeRead(dir, dataFile);

    // A damaged file is refused first, then a full one, then an old record
    // that could not be written again.
    InsertWriter writer(actual, r, newLine, bytes.size());
    int count = 0;
    if (MaybeError e = walkRecords(
            bytes, actual, nullptr,
            [&](const scan::Line &line, QString *reason) { return writer.read(line, reason); },
            [&] {
                ++count;
                writer.take();
            }))
        return e;
    if (count >= kMaxRecords)
        return fullError(actual);
    QByteArray content;
    if (MaybeError e = writer.finish(&content))
        return e;
    return replaceFileIfUnchanged(dir, dataFile, insertScratchName(), content, stampOf(bytes),
                                  changed);
}

} // namespace

MaybeError insertRecordInOrder(const DataDir &dir, const QString &dataFile,
                               const WeightRecord &r)
{
    const QString actual = dir.resolve(dataFile);
    if (MaybeError e = checkStorable(actual, r))
        return e;
    QByteArray newLine;
    if (MaybeError e = encodeLines(actual, {recordLine(r)}, &newLine))
        return e;
    // The new content is built from one read and replaces the file only
    // while the file still holds that read; a file another program wrote
    // meanwhile is read again and the record placed in its new content.
    constexpr int kTries = 4;
    for (int attempt = 1;; ++attempt) {
        bool changed = false;
        MaybeError e = insertOnce(dir, dataFile, actual, r, newLine, &changed);
        if (!changed || attempt == kTries)
            return e;
    }
}

MaybeError rewriteRecords(const DataDir &dir, const QString &dataFile,
                          const QList<WeightRecord> &records, const QString &scratchName)
{
    const QString actual = dir.resolve(dataFile);
    QByteArray bytes;
    if (MaybeError e = encodeRecords(actual, records, &bytes))
        return e;
    // The records were made from an earlier read: the file must still hold
    // what that read gave, or a change made meanwhile would be lost.
    const std::optional<FileStamp> asRead = rememberedContent(dir, dataFile);
    MaybeError e = asRead ? replaceFileIfUnchanged(dir, dataFile, scratchName, bytes, *asRead, nullptr)
                          : replaceFile(dir, dataFile, scratchName, bytes);
    if (!e)
        rememberContent(dir, dataFile, bytes);
    return e;
}

MaybeError recordFileBytes(const QString &file, const QList<WeightRecord> &records,
                           QByteArray *out)
{
    return encodeRecords(file, records, out);
}

MaybeError writeStartRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r)
{
    // Registration makes the file anew; nothing read before counts.
    QByteArray bytes;
    if (MaybeError e = encodeRecords(dir.resolve(dataFile), {r}, &bytes))
        return e;
    MaybeError e = replaceFile(dir, dataFile, insertScratchName(), bytes);
    if (!e)
        rememberContent(dir, dataFile, bytes);
    return e;
}

MaybeError loadProfile(const DataDir &dir, const QString &profileFile, PersonProfile *out)
{
    TextLines text;
    if (MaybeError e = readTextLines(dir, profileFile, &text))
        return e;
    const QString actual = dir.resolve(profileFile);
    const QString names[3] = {QStringLiteral("氏名"), QStringLiteral("身長"),
                              QStringLiteral("目標体重")};
    // The height and the target as the profile edit lets them be written.
    const float limits[3] = {0, kMaxStoredHeight, kMaxStoredWeight};
    PersonProfile p;
    float *numbers[3] = {nullptr, &p.height, &p.targetWeight};
    int count = 0;
    int lineNo = 0;
    int lastValueLine = 0;
    for (const QString &line : std::as_const(text.lines)) {
        ++lineNo;
        if (count == 3)
            break;
        // An unreadable last line is damage, not a blank line.
        if (text.lastLineUndecodable && lineNo == text.lines.size())
            return StoreError{actual, lineNo, QStringLiteral("シフトJISとして読めないバイトがあります")};
        if (line.trimmed().isEmpty())
            continue;
        lastValueLine = lineNo;
        QList<LineField> f;
        if (QString e = splitFields(line, &f); !e.isEmpty())
            return StoreError{actual, lineNo, e};
        if (f.size() < 2)
            return StoreError{actual, lineNo, QStringLiteral("値がありません")};
        if (count == 0) {
            p.nickname = f[1].text;
        } else if (QString e = storedNumberReason(f[1].text, limits[count], names[count], numbers[count]);
                   !e.isEmpty()) {
            return StoreError{actual, lineNo, e};
        }
        ++count;
    }
    if (count < 3)
        return StoreError{actual, lastValueLine + 1, QStringLiteral("%1の行がありません").arg(names[count])};
    *out = p;
    return std::nullopt;
}

MaybeError profileFileBytes(const QString &file, const PersonProfile &p, QByteArray *out)
{
    if (const QString reason = unstorableReason(p.nickname); !reason.isEmpty())
        return StoreError{file, 0, reason};
    const QStringList lines = {
        quote(QStringLiteral("氏名")) + u',' + quote(p.nickname),
        quote(QStringLiteral("身長")) + u',' + fmt::shortest(p.height),
        quote(QStringLiteral("目標体重")) + u',' + fmt::shortest(p.targetWeight),
    };
    return encodeLines(file, lines, out);
}

MaybeError saveProfile(const DataDir &dir, const QString &profileFile, const PersonProfile &p)
{
    const QString actual = dir.resolve(profileFile);
    QByteArray bytes;
    if (MaybeError e = profileFileBytes(actual, p, &bytes))
        return e;
    return replaceFile(dir, profileFile, scratchNameFor(actual), bytes);
}

} // namespace store
