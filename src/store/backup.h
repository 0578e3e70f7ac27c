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

// Snapshots of the data files under "backup/" in the data directory.
//
//   backup/20081110-093000-correct/      a snapshot: the files under their
//       データ1.txt                       own names and a ".manifest" (size,
//       .manifest                         checksum and record count of each)
//   backup/20081110-093000-correct-2/    a second one in the same second
//   backup/undo/                         the undo record (undo.h)
//   backup/journal.txt                   a restore or undo under way
//
// A snapshot is written into a hidden scratch folder, every copy synced,
// read back and compared, and only then renamed to its listed name in one
// step, so a snapshot cut short by a crash is never listed. Names start
// with the time from the injected clock; a second snapshot in the same
// second gets "-2", "-3", ...
//
// The backup folder is a folder, and the data directory's files are looked
// up among its files only (DataDir), so nothing under it is ever read as
// one of the program's own files.
namespace store {

inline QString backupFolder() { return QStringLiteral("backup"); }

// Why a snapshot was taken: a short lower-case word that ends up in the
// folder's name ("daily", "insert", "correct", "remove", "restore",
// "undo", "rename", "convert", "register", "profile", "import", "diary").
// The Japanese words for it, for lists and messages.
QString stepText(const QString &reason);

// One listed snapshot.
struct SnapshotInfo {
    QString folder;   // "20081110-093000-correct", under backup/
    QDateTime when;   // from its name
    QString reason;   // "correct"
    QStringList files;
    // Records in データ1.txt / データ2.txt, -1 when the snapshot does not
    // hold that file.
    int records[2] = {-1, -1};
    bool isDaily() const { return reason == QLatin1String("daily"); }
    int recordsOf(int person) const { return person == 1 || person == 2 ? records[person - 1] : -1; }
};

// Complete snapshots, newest first. Hidden folders (a snapshot being
// written or removed), folders of other names and folders whose files do
// not match their manifest are left out.
QList<SnapshotInfo> listSnapshots(const DataDir &dir);

struct SnapshotTaken {
    // The snapshot that now holds the files' present content; empty when
    // none of the files exists (there was nothing to keep).
    QString folder;
    // True when the newest snapshot of the same kind held exactly these
    // bytes already: it stands for this one, which is not kept twice.
    bool reused = false;
    // Names of the copies in the folder (each file's own spelling).
    QStringList files;
};

// Copies the named files of the data directory (those that exist) into a
// new snapshot. A copy that cannot be made and checked fails with an error
// naming the first file, and the step that asked for it must not go on.
// Afterwards the snapshots beyond those kept are removed (pruneSnapshots).
MaybeError takeSnapshot(const DataDir &dir, const QString &reason, const QStringList &files,
                        const Clock &clock, SnapshotTaken *out = nullptr);

// The files a daily snapshot holds: both persons' data and profile files,
// the situation list, the settings and the memo.
QStringList programFiles();

// The day's snapshot of every program file, taken at the first start of a
// day: nothing when today's is there already, or when nothing changed
// since the last daily one. *taken says whether a new one was made.
MaybeError takeDailySnapshot(const DataDir &dir, const Clock &clock, bool *taken = nullptr);

// Keeps the newest 20 snapshots taken before a step, and of the daily
// ones the newest of each of the last 14 days, 8 weeks (Monday to Sunday)
// and 12 months, counted back from the clock's today, and always the
// newest daily one. Removes the rest (renamed aside first, so a folder
// half removed is never listed). `keep` is never removed.
void pruneSnapshots(const DataDir &dir, const Clock &clock, const QStringList &keep = {});

// How many snapshots taken before a step and daily ones are kept.
constexpr int kKeptEventSnapshots = 20;
constexpr int kKeptDays = 14;
constexpr int kKeptWeeks = 8;
constexpr int kKeptMonths = 12;

// Puts the files of a snapshot back, all of them or none: after checking
// the snapshot against its manifest (and that its data files read), it
// takes a snapshot of the present files ("restore"), notes the step in
// backup/journal.txt, replaces the files one by one and registers the
// step for undo. A crash on the way is finished by recoverPending.
MaybeError restoreSnapshot(const DataDir &dir, const QString &folder, const Clock &clock);

// Called at start-up before anything is read: finishes a restore or an
// undo that a crash interrupted (or rolls it back when it cannot be
// finished), removes folders a crash left half-written, settles a change
// or an undo cut short between its files and its undo record (so that
// the record matches the files), and drops an undo record whose saved
// content is gone. *done (when given) gets a Japanese
// sentence for the user when a step was finished or rolled back, else
// stays empty. An error means the step could be neither finished nor
// rolled back; the journal is kept for the next start.
MaybeError recoverPending(const DataDir &dir, QString *done = nullptr);

// A 64-bit checksum of content (xxHash64 with seed 0): quick enough for a
// full data file on every step, and enough to notice any change made to a
// file behind the program's back.
quint64 contentChecksum(const QByteArray &bytes);

namespace detail {

// Used by undo.cpp: the folder under the data directory, created on demand.
QString backupPath(const DataDir &dir);
MaybeError ensureFolder(const QString &path);
// Removes a folder of ours: renamed to a hidden name, then removed.
void discardFolder(const QString &path);
// The bytes of a file of the data directory, or `missing` when absent.
MaybeError readIfExists(const DataDir &dir, const QString &name, QByteArray *bytes, bool *missing);
// takeSnapshot that also hands back the bytes it copied, by the names the
// caller asked for, and keeps `keep` from the pruning.
MaybeError takeSnapshotReading(const DataDir &dir, const QString &reason, const QStringList &files,
                               const Clock &clock, const QStringList &keep, SnapshotTaken *out,
                               QMap<QString, QByteArray> *bytes);
// The error of a step stopped because its snapshot could not be made.
StoreError backupFailed(const QString &file, const QString &why);

// One file of a journaled multi-file step: where its new content and its
// old content are kept (paths relative to backup/, empty for "the file
// does not exist").
struct JournalFile {
    QString name;
    QString newSource;
    quint64 newSum = 0;
    QString oldSource;
    quint64 oldSum = 0;
};

// Replaces each file by its new content, all or none: the journal is
// written first and removed last; a failure on the way puts the old
// content back. Once all files are in place, `undoRecord` (when not
// empty) becomes the undo record (a restore), or with `consumeUndo` the
// undo record is used up (an undo). The journal keeps both, so that
// recoverPending finishes them too.
MaybeError replaceJournaled(const DataDir &dir, const QString &step, const QList<JournalFile> &files,
                            const QByteArray &undoRecord, bool consumeUndo);

} // namespace detail

} // namespace store
