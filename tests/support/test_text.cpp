#include "test_text.h"

#include "store/codec.h"

#include <QtGlobal>

namespace testtext {

QByteArray sjis(const QString &text)
{
    QString error;
    const QByteArray bytes = cp932::encode(text, &error);
    if (!error.isEmpty())
        qFatal("test text is not CP932: %s", qPrintable(error));
    return bytes;
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += sjis(l) + "\r\n";
    return out;
}

} // namespace testtext
