#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QString>
#include <QStringList>

// "状況リスト.txt": the situation labels shared by both persons, one a
// line. A line holds its label bare or in double quotes; a quoted item may
// hold commas, a bare item ends at the first comma, so a bare line with a
// comma reads back as two labels (files rely on this, so it is kept).
namespace store {

inline QString situationListFile() { return QStringLiteral("状況リスト.txt"); }
inline QString situationListScratchName() { return QStringLiteral("状況リストＣＨＧ.txt"); }
inline QString renameDataScratchName() { return QStringLiteral("データＣＨＧ.txt"); }

// The items of the file's text, in order. Blanks around a bare item are
// dropped; an empty line is an empty label; a line opening a quote it
// never closes holds the rest of the line as its label. A line the
// program would never have written (a quote inside a label, text after a
// closing quote, a CR) is refused: the reason, and its number in *line.
QString parseSituationItems(const QStringList &lines, QStringList *items, int *line);

MaybeError readSituationList(const DataDir &dir, QStringList *labels);

// Adds one line at the end: bare (the list screen's add) or quoted (a
// free situation registered from the weight screen). A "bare" label that
// would not read back as itself bare (a comma, blanks at its ends) is
// written quoted, here and in the rewrite below.
MaybeError appendSituationBare(const DataDir &dir, const QString &label);
MaybeError appendSituationQuoted(const DataDir &dir, const QString &label);

// Rewrites the whole list, every line bare (delete, reorder, delete all).
MaybeError writeSituationListBare(const DataDir &dir, const QStringList &labels);

// Renames a label: every record of `dataFile` whose situation equals
// `oldLabel` exactly gets `newLabel` and all records are written in the
// rename form (fifth field a bare number); every item of the list equal to
// `oldLabel` becomes `newLabel` and all lines are written quoted. Both
// files change, or neither does, also across a crash (store/journal.h).
// A file changed by another program while the rename ran is read again
// and the rename made on what it holds then.
MaybeError renameSituation(const DataDir &dir, const QString &dataFile, const QString &oldLabel,
                           const QString &newLabel);

} // namespace store
