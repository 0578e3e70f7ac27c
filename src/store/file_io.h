#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Byte-level file access with the safety rules every file of the program
// follows:
//  - a whole-file rewrite writes the new content to a scratch file, syncs
//    it, renames it over the original in one step (the original is never
//    deleted first) and syncs the directory, so a crash at any moment
//    leaves either the old or the new file;
//  - an append is one write of the complete bytes followed by a sync; a
//    failed or short write cuts the file back to its old size;
//  - any failure removes the scratch file, leaves the original as it was
//    and reports the file and the reason.
namespace store {

MaybeError readBytes(const DataDir &dir, const QString &name, QByteArray *out);

// What a reader saw of a file, so that a rewrite can tell whether the file
// still holds it: whether it existed, its size, its modification time and
// a checksum of its bytes. The time alone proves nothing (an editor may
// keep it, and a coarse clock gives two writes one time), so a file of the
// same size is judged by its checksum.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 checksum = 0;
};
FileStamp stampOf(const QByteArray &bytes);
// The stamp of the file as it is now (exists = false when it is missing).
FileStamp currentStamp(const DataDir &dir, const QString &name);
// True when the file holds the bytes `stamp` was taken of (or is still
// missing when it was missing then).
bool stillHolds(const DataDir &dir, const QString &name, const FileStamp &stamp);

// What this process last read or wrote of each data file, for rewrites
// that build on an earlier read (a diary save) rather than on a read of
// their own. Only the store's reads and writes of records remember.
void rememberContent(const DataDir &dir, const QString &name, const QByteArray &bytes);
// The same, with the stamp of those bytes already taken.
void rememberContent(const DataDir &dir, const QString &name, FileStamp stamp);
// The checksum a stamp holds, of any bytes (a prefix of a file, say).
quint64 checksumOf(const char *data, qsizetype size);
std::optional<FileStamp> rememberedContent(const DataDir &dir, const QString &name);
void forgetRememberedContents();

// The reason given when a file changed between a read and a rewrite.
QString changedOutsideReason();

// Replaces `name` (resolved case-insensitively) with content, through
// `scratchName`, which is overwritten if an interrupted earlier rewrite
// left it behind. A file the user may not write is refused the way an
// append to it is, although the directory would allow the rename.
//
// A file that is a symbolic link is written through to its target: the
// scratch file is `<target>.tmp` in the target's own directory and is
// renamed over the target, so the link stays a link. A link whose target
// is missing is refused.
MaybeError replaceFile(const DataDir &dir, const QString &name, const QString &scratchName,
                       const QByteArray &content);

// As replaceFile, but only when the file still holds what `asRead`
// describes, checked once more right before the rename (the window left
// is the rename itself). Otherwise nothing changes, *changed is set and
// the error says the file was changed by another program.
MaybeError replaceFileIfUnchanged(const DataDir &dir, const QString &name,
                                  const QString &scratchName, const QByteArray &content,
                                  const FileStamp &asRead, bool *changed);

// Where replaceFile puts its scratch file for `name`: `scratchName` in the
// data directory, or `<target>.tmp` beside the target of a link. Empty for
// a link whose target is missing.
QString scratchPathFor(const DataDir &dir, const QString &name, const QString &scratchName);

// Appends bytes to `name` (created when missing). When the file does not
// end with a line break, CR LF is written first so that the new line is
// never glued to a damaged tail.
MaybeError appendLine(const DataDir &dir, const QString &name, const QByteArray &line);

// Fails, naming the file and the reason, when `name` exists and the user
// may not write to it.
MaybeError checkWritable(const DataDir &dir, const QString &name);

// Renames `from` (resolved case-insensitively) to `to` in one step and
// syncs the directory. An existing `to` is never replaced: that fails.
MaybeError renameNoReplace(const DataDir &dir, const QString &from, const QString &to);

// Removes `name` and syncs the directory.
MaybeError removeFile(const DataDir &dir, const QString &name);

// Cuts `name` back to `size` bytes and syncs it.
MaybeError truncateFile(const DataDir &dir, const QString &name, qint64 size);

// The scratch name used for files that have no fixed one.
QString scratchNameFor(const QString &name);

// A Japanese reason for an errno value.
QString reasonForErrno(int err);

// Test seam: lets a test make the N-th system call of a kind fail, or the
// process die there, without touching real hardware. Not used by the
// program itself.
namespace faults {
enum class Op { Open, Write, Sync, Close, Rename, DirSync, Truncate };
// Returns 0 to let the call go ahead, an errno value to fail it. For a
// Write, returning kPartialWrite writes half of the bytes and then fails
// with ENOSPC, as a disk that fills up mid-write does.
constexpr int kPartialWrite = -1;
using Hook = int (*)(Op op);
void setHook(Hook hook);
} // namespace faults

} // namespace store
