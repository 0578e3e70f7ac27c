#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A step that changes several files (the older-data conversion, a
// situation rename, a registration, a restore or an import) is one step
// across a crash as well: before the first file changes it writes a
// journal holding everything it is about to do, with the old and the new
// content of every file it replaces. The journal is written like any file
// (scratch file, sync, rename), so it is either there whole or not at all.
// Then the files change, one by one, and the journal is removed.
//
// A start that finds a journal finishes the step from it before it reads
// or offers anything (finishInterruptedStep, called by cleanUpAfterCrash).
// So after a crash at any moment the files are all as before the step (no
// journal had been written) or all as after it.
//
// A file that no longer holds what the step read is never overwritten: a
// replace goes through only while the file still holds its old content
// (or is still missing when it was missing), both while the step runs and
// when a start finishes it. A failure while the step runs (a full disk)
// puts every file that had changed back and removes the journal; when even
// that fails, the journal stays and the next start finishes the step.
//
// Use:
//   store::Journal j(QStringLiteral("状況名の変更"));
//   j.replace(dataFile, oldBytes, newBytes, renameDataScratchName());
//   j.replace(situationListFile(), oldList, newList, situationListScratchName());
//   bool changed = false;
//   if (MaybeError e = j.run(dir, &changed)) ... // changed: read again, redo
namespace store {

// The journal's name in the data directory (hidden, as the lock file is).
inline QString journalFile() { return QStringLiteral(".nanahoshi.journal"); }

class Journal {
public:
    // `step` names the step for the user, in Japanese ("データ変換").
    explicit Journal(const QString &step);

    // Replace `file` (resolved case-insensitively when it is run) with
    // newBytes through `scratch`. oldExists false: the file must still be
    // missing.
    void replace(const QString &file, bool oldExists, const QByteArray &oldBytes,
                 const QByteArray &newBytes, const QString &scratch);
    // Rename `from` to `to`; an existing `to` is never replaced.
    void rename(const QString &from, const QString &to);
    // Remove `file`, which must still hold oldBytes.
    void remove(const QString &file, const QByteArray &oldBytes);

    // Writes the journal, carries out every action in order and removes
    // the journal. *changed (optional) is set when nothing was changed
    // because a file no longer held what the step read.
    MaybeError run(const DataDir &dir, bool *changed = nullptr) const;

    // The bytes of the journal file, and back (false for bytes that are not
    // a whole journal).
    QByteArray serialise() const;
    static bool parse(const QByteArray &bytes, Journal *out);

    QString step() const { return step_; }

    struct Action {
        enum Kind : quint8 { Replace = 1, Rename = 2, Remove = 3 };
        Kind kind = Replace;
        QString file;
        QString to;      // Rename: the new name; Replace: the scratch name
        bool oldExists = true;
        QByteArray oldBytes;
        QByteArray newBytes;
    };
    const QList<Action> &actions() const { return actions_; }

private:
    QString step_;
    QList<Action> actions_;
};

// Finishes a step that a crash interrupted, from its journal, and removes
// the journal. *step (optional) is set to the step's name when there was
// one, else emptied. A journal that cannot be read, or a file that changed
// since, is reported and everything is left as it is.
MaybeError finishInterruptedStep(const DataDir &dir, QString *step = nullptr);

} // namespace store
