#include "store/text_file.h"

#include "store/codec.h"
#include "store/file_io.h"

namespace store {

TextLines splitLines(const QString &text)
{
    TextLines out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0) {
            out.lines.append(text.mid(start));
            out.lastLineTerminated = false;
            break;
        }
        qsizetype end = lf;
        if (end > start && text.at(end - 1) == u'\r')
            --end;
        out.lines.append(text.mid(start, end - start));
        start = lf + 1;
    }
    return out;
}

MaybeError readTextLines(const DataDir &dir, const QString &name, TextLines *out)
{
    QByteArray bytes;
    if (MaybeError e = readBytes(dir, name, &bytes))
        return e;
    const QString actual = dir.resolve(name);
    QString error;
    qsizetype bad = 0;
    const QString text = cp932::decode(bytes, &error, &bad);
    if (!error.isEmpty()) {
        const int line = int(bytes.left(bad).count('\n')) + 1;
        // An undecodable tail without a line break is an interrupted
        // append; let the caller see it as an incomplete last line.
        const qsizetype lineStart = bytes.lastIndexOf('\n', bad - 1) + 1;
        if (bytes.indexOf('\n', bad) < 0) {
            QString headError;
            const QString head = cp932::decode(bytes.left(lineStart), &headError);
            if (headError.isEmpty()) {
                *out = splitLines(head);
                out->lines.append(QString()); // stands for the unreadable tail
                out->lastLineTerminated = false;
                out->lastLineUndecodable = true;
                out->lastLineOffset = lineStart;
                return std::nullopt;
            }
        }
        return StoreError{actual, line, error};
    }
    *out = splitLines(text);
    if (!out->lastLineTerminated) {
        const qsizetype lastLf = bytes.lastIndexOf('\n');
        out->lastLineOffset = lastLf + 1;
    } else {
        out->lastLineOffset = bytes.size();
    }
    return std::nullopt;
}

MaybeError encodeLines(const QString &fileName, const QStringList &lines, QByteArray *out)
{
    out->clear();
    // One conversion for the whole text; a big file is thousands of lines.
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString all;
    all.reserve(size);
    for (const QString &line : lines) {
        all += line;
        all += QLatin1String("\r\n");
    }
    QString error;
    *out = cp932::encode(all, &error);
    if (error.isEmpty())
        return std::nullopt;
    // Line by line to name the line that cannot be written.
    out->clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString lineError;
        cp932::encode(lines.at(i), &lineError);
        if (!lineError.isEmpty())
            return StoreError{fileName, int(i) + 1, lineError};
    }
    return StoreError{fileName, 0, error};
}

} // namespace store
