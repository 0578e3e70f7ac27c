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

// Quick decoding of the short texts of a record line. The table behind it
// is filled from iconv itself on first use, so it maps every byte and
// byte pair exactly as decode() does. Returns false for bytes that are not
// valid CP932; the caller then asks decode() for the reason.
bool decodeShort(const char *bytes, qsizetype size, QString *out);
// The same into out, which has room for size units: the units written, or
// -1 where decodeShort() would return false.
qsizetype decodeInto(const char *bytes, qsizetype size, char16_t *out);

// True when the bytes are valid CP932 and encoding their text gives the
// same bytes back, so they may be copied where the text would be encoded
// again (a few codes have twins that the encoder writes instead).
bool bytesRoundTrip(const char *bytes, qsizetype size);

} // namespace cp932
