#pragma once

#include "store/clock.h"
#include "store/data_dir.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// One level of undo for the last change this program made to its files,
// kept under backup/undo/ so that it survives a restart:
//
//   backup/undo/undo.txt    the record: the step, when, and per file its
//                           previous content (where it is kept, its size
//                           and checksum) and the checksum of what the
//                           step left
//   backup/undo/g7/         the previous bytes the record points at
//
// A change is registered in steps that a crash may cut anywhere:
//  - beginChange, before anything is written, keeps the files' present
//    bytes in a new folder (a hard link to the verified snapshot copy where
//    one was taken; an append keeps only the length, since the old content
//    is the start of the new);
//  - runUndoableChange then writes the change's record as pending
//    (backup/undo/pending.txt: the checksums before and, where known, after)
//    before the first file changes;
//  - commitChange, after the write, makes it the record in one step and
//    removes the pending one; only then is the previous folder removed.
// The next start (settleUndoRecords) decides from the files' checksums
// whether a pending step happened: then it becomes the record, else it is
// dropped and the previous record stays. An undo marks the record as
// "undoing" before it writes, and the next start finishes the bookkeeping
// the same way: files back to their previous content, the record is used
// up; files still as the change left them, the record is offered again.
// So the record never points at content that is not there, a finished
// change can be undone and a finished undo is not offered again.
//
// undoLastChange puts the exact previous bytes back, but only while every
// file still holds exactly what the change left; otherwise it refuses
// with a Japanese message and writes nothing.
namespace store {

enum class BackupFirst {
    Yes, // take a verified snapshot first (a step that replaces or shortens a file)
    No,  // an append: it only adds
};

// How a file's previous content is kept.
enum class PreviousContent {
    Copy,   // a copy of the whole file in the record's folder
    Prefix, // the first `size` bytes of the file as the change left it (an append)
    Missing // the file did not exist
};

struct UndoFile {
    QString name;             // the file's name in the data directory
    PreviousContent previous = PreviousContent::Copy;
    qint64 previousSize = 0;
    quint64 previousSum = 0;
    bool missingAfter = false; // the change removed the file
    quint64 afterSum = 0;
    qint64 afterSize = 0;
    // False in a pending record whose write's result was not known
    // beforehand (the next start then takes what the file holds).
    bool afterKnown = true;
};

// Where a record stands.
enum class RecordState {
    Committed, // the change is made; undo takes it back
    Pending,   // the change is about to be written (pending.txt)
    Undoing,   // an undo of it is under way
};

// A change begun and not yet committed.
struct PendingChange {
    QString step;          // "correct", "insert", ...: see stepText()
    QDateTime when;        // from the clock
    QString generation;    // its folder under backup/undo/
    RecordState state = RecordState::Committed;
    QString snapshot;      // the snapshot taken first, if any
    QList<UndoFile> files; // previous content; after-values set by commit
    QMap<QString, QByteArray> previousBytes; // per name, as read before the change
};

struct ChangeOptions {
    BackupFirst backup = BackupFirst::Yes;
    PreviousContent kept = PreviousContent::Copy; // Prefix for an append
    // When given, each named file must still hold these bytes (the
    // content the step was computed from); otherwise the step is refused.
    const QMap<QString, QByteArray> *expected = nullptr;
    // Snapshots the pruning after this step's snapshot must not remove
    // (the one a restore is reading from).
    QStringList keepSnapshots;
    // When given, the content each named file will hold after the step,
    // so that the next start can tell an interrupted step for certain.
    const QMap<QString, QByteArray> *after = nullptr;
};

// Before a step changes `files`: takes a verified snapshot when asked and
// keeps the previous content for undo. On an error nothing was changed
// and nothing needs to be abandoned; the step must not go on.
MaybeError beginChange(const DataDir &dir, const QString &step, const QStringList &files,
                       const Clock &clock, const ChangeOptions &options, PendingChange *out);

// Notes the change as pending before its first file changes; `after`
// (when given) is what the step will leave, by the names beginChange got.
// On an error the step must not go on (abandonChange).
MaybeError markChangePending(const DataDir &dir, PendingChange &change,
                             const QMap<QString, QByteArray> *after = nullptr);

// After the step wrote its files: reads what they hold now and makes this
// change the one that undo takes back. An error leaves the change made but
// not undoable (the message says so).
MaybeError commitChange(const DataDir &dir, PendingChange &change);

// After the step failed: removes what beginChange kept for undo and the
// pending record (the snapshot stays). The previous undo record is
// untouched.
void abandonChange(const DataDir &dir, const PendingChange &change);

// What undo would take back, for the button and its tooltip.
struct UndoState {
    bool available = false;
    // Every file still holds what the change left, so undo would go
    // ahead (false after an outside edit: undo would refuse).
    bool applies = false;
    QString step;       // "correct"
    QDateTime when;
    QStringList files;
};
// Reads the record and the files it names (a checksum each).
UndoState undoState(const DataDir &dir);

// Checks that the undo record (if any) points at content that is there
// and unchanged. Used at start-up (recoverPending drops a broken record)
// and by the tests.
MaybeError checkUndoRecord(const DataDir &dir);

// Puts back the previous bytes of the last change, after a snapshot of
// the present files ("undo"). Refuses, writing nothing, when there is
// nothing to undo or a file no longer holds what the change left. Several
// files are put back all or none (through the journal). The record is
// used up: one level only.
MaybeError undoLastChange(const DataDir &dir, const Clock &clock);

namespace detail {
// For backup.cpp: the bytes of the record a committed change would
// write, given the checksums of what it left; writing and using up the
// record; removing folders no record or journal points at.
QByteArray undoRecordBytes(const PendingChange &change);
MaybeError writeUndoRecord(const DataDir &dir, const QByteArray &record);
MaybeError consumeUndoRecord(const DataDir &dir);
void cleanUndoFolder(const DataDir &dir, const QStringList &keepGenerations = {});
QString undoPath(const DataDir &dir);
// Whether a change's files no longer hold their previous content but what
// the step may have left (its `after` checksums where known); fills in
// the after-values from the files as they are now.
bool changeHappened(const DataDir &dir, PendingChange &change);
// For recoverPending, with no journal left: settles a pending change and
// an undo under way from what the files hold now (see above).
void settleUndoRecords(const DataDir &dir);
} // namespace detail

} // namespace store
