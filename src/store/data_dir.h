#pragma once

#include <QDir>
#include <QString>

// The data directory. File names are matched regardless of the case of
// their extension ("データ1.TXT" and "データ1.txt" are one file); a file
// that does not exist yet is created in the spelling it is asked for.
class DataDir {
public:
    explicit DataDir(const QDir &dir) : dir_(dir) {}

    const QDir &dir() const { return dir_; }

    // The name of the existing entry that matches `name` (stem exactly,
    // extension in any case), or `name` itself when none exists.
    QString resolve(const QString &name) const;
    QString path(const QString &name) const { return dir_.filePath(resolve(name)); }
    bool exists(const QString &name) const;

private:
    QDir dir_;
};
