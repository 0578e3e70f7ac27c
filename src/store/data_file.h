#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QList>
#include <QString>

// The data file of a person: every weighing, one record a line, in
// ascending date order, records of one day in entry order.
namespace store {

// The scratch file of an insert.
inline QString insertScratchName() { return QStringLiteral("データコピー.txt"); }

struct IncompleteTail {
    bool present = false;
    int line = 0;        // its line number
    qint64 offset = 0;   // where it starts
    QString reason;
};

// Reads every record. A damaged line is reported with the file, the line
// number and what is wrong. A last line without a line break that cannot
// be read is an append that never completed: it is left out and described
// in *tail (when given; otherwise it is reported as damage).
MaybeError readRecords(const DataDir &dir, const QString &dataFile, QList<WeightRecord> *out,
                       IncompleteTail *tail = nullptr, QByteArray *bytesRead = nullptr);

// A data file's records with a digest of the bytes they were read from:
// enough to tell on the next read whether the file is unchanged or only had
// lines added, without keeping a second copy of the file in memory. The
// digest is the checksum the outside-edit check trusts as well.
struct RecordsAsRead {
    QList<WeightRecord> records;
    qint64 size = -1; // of the bytes read; -1: nothing read yet
    quint64 checksum = 0;
    qsizetype lineBreaks = 0;
    bool endsWithLineBreak = false;

    static RecordsAsRead of(const QByteArray &bytes, QList<WeightRecord> records);
    void setBytes(const QByteArray &bytes);
    // The same, with the checksum of those bytes already taken.
    void setBytes(const QByteArray &bytes, quint64 checksumOfBytes);
};

// readRecords into a record cache's entry, the file read and hashed once.
// With an incomplete last line (see *tail) the digest is of the bytes before it.
MaybeError readRecordsAsRead(const DataDir &dir, const QString &dataFile, RecordsAsRead *out,
                             IncompleteTail *tail = nullptr);

// Reads the file into *known as readRecords would (no incomplete last line
// is set aside), parsing only what differs from the bytes *known was read
// from: nothing when the file is unchanged, the added lines when records
// were only appended. On an error *known is left as it was.
MaybeError rereadRecords(const DataDir &dir, const QString &dataFile, RecordsAsRead *known);

// The file's last record, read from its last line alone (a save only
// needs its date to choose between append and insert; the append itself
// checks the whole file). *found is false for a file without records.
MaybeError readLastRecord(const DataDir &dir, const QString &dataFile, WeightRecord *out,
                          bool *found);

// Keeps the bytes of an incomplete last line in a side file next to the
// data file and cuts the data file back to its last complete line.
// Returns the side file's name in *sideFile.
MaybeError saveIncompleteTail(const DataDir &dir, const QString &dataFile,
                              const IncompleteTail &tail, QString *sideFile);

// Appends one record. Refused when the file already holds kMaxRecords or
// its last line is damaged (a new record is never glued to it). The file
// is not read record by record: its line breaks are counted and its last
// line read.
MaybeError appendRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r);

// Rewrites the data file with the record placed after every record of its
// own and earlier days and before the first record of a later day (at the
// end when no later record exists). Copied records keep their first four
// fields; their reserved fields are written empty.
MaybeError insertRecordInOrder(const DataDir &dir, const QString &dataFile,
                               const WeightRecord &r);

// Rewrites the data file with exactly these records, reserved fields
// empty, through the given scratch file.
MaybeError rewriteRecords(const DataDir &dir, const QString &dataFile,
                          const QList<WeightRecord> &records, const QString &scratchName);

// The bytes rewriteRecords writes for these records (for writers that
// replace a data file together with something else).
MaybeError recordFileBytes(const QString &file, const QList<WeightRecord> &records,
                           QByteArray *out);

// Creates or overwrites the data file with one start record (registration).
MaybeError writeStartRecord(const DataDir &dir, const QString &dataFile, const WeightRecord &r);

// Test seam: how many times the records of a data file were read whole
// (every line read) since the last reset, counted per file. A start reads
// each data file once; an append reads none whole.
int wholeFileReads(const DataDir &dir, const QString &dataFile);
void resetWholeFileReads();

// Profile file: three lines "氏名","…" / "身長",170 / "目標体重",60; the
// labels are ignored on reading and the values taken by position.
MaybeError loadProfile(const DataDir &dir, const QString &profileFile, PersonProfile *out);
MaybeError saveProfile(const DataDir &dir, const QString &profileFile, const PersonProfile &p);
// The bytes saveProfile writes (for writers that replace a profile
// together with something else).
MaybeError profileFileBytes(const QString &file, const PersonProfile &p, QByteArray *out);

} // namespace store
