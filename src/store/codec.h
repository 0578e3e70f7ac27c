#pragma once

#include <QByteArray>
#include <QString>

// Windows code page 932 (Shift-JIS with the Microsoft extensions), the
// encoding of every file the program reads or writes. Conversion goes
// through glibc iconv, whose "CP932" table maps "～", "①", "−" and the
// half-width katakana the way Windows does.
namespace cp932 {

// Encodes text. A character the code page cannot hold is never dropped or
// replaced: the result is empty and *error names the character.
QByteArray encode(const QString &text, QString *error);

// Decodes bytes. Bytes that are not valid CP932 are never dropped: the
// result is empty, *error says what is wrong and *badOffset (when given)
// is the offset of the first bad byte.
QString decode(const QByteArray &bytes, QString *error, qsizetype *badOffset = nullptr);

// The first character of text that CP932 cannot hold, or an empty string.
QString firstUnencodable(const QString &text);

} // namespace cp932
