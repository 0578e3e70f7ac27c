#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QList>
#include <QString>
#include <QStringList>

// A CP932 text file split into lines. Lines end in CR LF; a lone LF is
// accepted when reading.
struct TextLines {
    QStringList lines;
    // False when the last line has no line break after it.
    bool lastLineTerminated = true;
    // Byte offset where the last line starts (to cut an incomplete tail).
    qint64 lastLineOffset = 0;
    // True when the unterminated last line is not even valid CP932; its
    // entry in `lines` is then empty.
    bool lastLineUndecodable = false;
};

namespace store {

// Reads and decodes a whole file. Bytes that are not CP932 are reported
// with the file and the line they are on.
MaybeError readTextLines(const DataDir &dir, const QString &name, TextLines *out);

// Splits decoded text (used by readTextLines and by tests).
TextLines splitLines(const QString &text);

// Joins lines, each followed by CR LF, and encodes them. An unencodable
// character is reported with the file name and the line.
MaybeError encodeLines(const QString &fileName, const QStringList &lines, QByteArray *out);

} // namespace store
