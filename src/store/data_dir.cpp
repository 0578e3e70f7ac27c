#include "store/data_dir.h"

#include <QFileInfo>

namespace {

void splitName(const QString &name, QString *stem, QString *ext)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0) {
        *stem = name;
        ext->clear();
    } else {
        *stem = name.left(dot);
        *ext = name.mid(dot);
    }
}

} // namespace

QString DataDir::resolve(const QString &name) const
{
    if (QFileInfo(dir_.filePath(name)).isFile())
        return name;
    QString stem, ext;
    splitName(name, &stem, &ext);
    const QStringList entries = dir_.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        QString s, e;
        splitName(entry, &s, &e);
        if (s == stem && e.compare(ext, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

bool DataDir::exists(const QString &name) const
{
    return QFileInfo(dir_.filePath(resolve(name))).isFile();
}
