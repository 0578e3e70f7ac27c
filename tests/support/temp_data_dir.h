#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A fresh data directory for one test, removed afterwards.
class TempDataDir {
public:
    TempDataDir();
    QDir dir() const { return QDir(tmp_.path()); }
    QString path() const { return tmp_.path(); }
    QString filePath(const QString &name) const { return tmp_.filePath(name); }

    // Raw bytes, so a test can write CP932 by hand.
    void writeBytes(const QString &name, const QByteArray &bytes) const;
    QByteArray readBytes(const QString &name) const;
    // Text encoded as CP932 through the program's codec.
    void writeText(const QString &name, const QString &text) const;
    QString readText(const QString &name) const;
    bool exists(const QString &name) const;
    QStringList entries() const;

private:
    QTemporaryDir tmp_;
};
