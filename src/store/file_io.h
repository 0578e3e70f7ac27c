#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QString>

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

// Replaces `name` (resolved case-insensitively) with content, through
// `scratchName`, which is overwritten if an interrupted earlier rewrite
// left it behind. A file the user may not write is refused the way an
// append to it is, although the directory would allow the rename.
MaybeError replaceFile(const DataDir &dir, const QString &name, const QString &scratchName,
                       const QByteArray &content);

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
