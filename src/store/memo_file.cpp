#include "store/memo_file.h"

#include "store/codec.h"
#include "store/file_io.h"
#include "store/text_file.h"

namespace store {

MaybeError readMemo(const DataDir &dir, QString *text)
{
    TextLines lines;
    if (MaybeError e = readTextLines(dir, memoFile(), &lines))
        return e;
    if (lines.lastLineUndecodable)
        return StoreError{dir.resolve(memoFile()), int(lines.lines.size()),
                          QStringLiteral("シフトJISとして読めないバイトがあります")};
    // Every line followed by a line break, then the final break dropped.
    *text = lines.lines.join(u'\n');
    return std::nullopt;
}

MaybeError writeMemo(const DataDir &dir, const QString &text)
{
    const QString actual = dir.resolve(memoFile());
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    const QStringList lines = normalised.split(u'\n');
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, lines, &bytes))
        return e;
    return replaceFile(dir, memoFile(), scratchNameFor(actual), bytes);
}

} // namespace store
