#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Test texts as the program's files hold them.
namespace testtext {

// Text encoded as CP932; a test text outside the code page is a test bug.
QByteArray sjis(const QString &text);
// Each line encoded and followed by CR LF.
QByteArray crlf(const QStringList &lines);

} // namespace testtext
