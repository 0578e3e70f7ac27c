#include "temp_data_dir.h"

#include "store/codec.h"

#include <QFile>
#include <QtTest>

TempDataDir::TempDataDir()
{
    if (!tmp_.isValid())
        qFatal("cannot create a temporary data directory");
}

void TempDataDir::writeBytes(const QString &name, const QByteArray &bytes) const
{
    QFile f(filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file");
}

QByteArray TempDataDir::readBytes(const QString &name) const
{
    QFile f(filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TempDataDir::writeText(const QString &name, const QString &text) const
{
    QString error;
    const QByteArray bytes = cp932::encode(text, &error);
    if (!error.isEmpty())
        qFatal("test text is not CP932");
    writeBytes(name, bytes);
}

QString TempDataDir::readText(const QString &name) const
{
    QString error;
    return cp932::decode(readBytes(name), &error);
}

bool TempDataDir::exists(const QString &name) const
{
    return QFile::exists(filePath(name));
}

QStringList TempDataDir::entries() const
{
    return dir().entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
