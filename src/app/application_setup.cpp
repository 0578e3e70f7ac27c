#include "app/application_setup.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

QStringList japaneseFontFamilies()
{
    return {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
            QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"), QStringLiteral("sans-serif")};
}

void setUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("nanahoshi"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // One family for kana, kanji and digits alike: with the system's Latin
    // font first, digits came from it, narrower than the kana beside them,
    // and lines aligned with full-width spaces fell out of line.
    QFont font = QApplication::font();
    font.setFamilies(japaneseFontFamilies());
    QApplication::setFont(font);

    // The program speaks Japanese whatever the system's language, so Qt's
    // own texts (はい/いいえ, キャンセル, the text boxes' 元に戻す/コピー/貼り付け)
    // must too. Without the translation installed they stay in English.
    auto *qtTexts = new QTranslator(&app);
    if (qtTexts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

QString dataDirLockPath(const QDir &dataDir)
{
    return dataDir.filePath(QStringLiteral(".nanahoshi.lock"));
}

std::optional<StartRefusal> lockDataDir(QLockFile &lock, const QDir &dataDir)
{
    // A lock left by a program that is no longer running is taken over at
    // once; its age says nothing.
    lock.setStaleLockTime(0);
    if (lock.tryLock(200))
        return std::nullopt;
    return lockRefusal(lock.error(), dataDir, QFileInfo(dataDir.absolutePath()).isWritable());
}

StartRefusal lockRefusal(QLockFile::LockError error, const QDir &dataDir, bool writable)
{
    const QString where = QDir::toNativeSeparators(dataDir.absolutePath());
    const QString title = QStringLiteral("ナナホシ");
    // A lock file that is already there is only a sign of a running program
    // if this directory could be written at all: in a read-only one a lock
    // left behind cannot be taken over either.
    if (error == QLockFile::LockFailedError && writable)
        return {QStringLiteral("このフォルダーのデータは、すでに起動しているナナホシが使っています。\n\n%1")
                    .arg(where),
                title};
    if (error == QLockFile::PermissionError || error == QLockFile::LockFailedError)
        return {QStringLiteral("このフォルダーには書き込みができないため、ナナホシを起動できません。\n"
                               "書き込みのできるフォルダーで起動してください。\n\n%1")
                    .arg(where),
                title};
    return {QStringLiteral("このフォルダーにファイルを作れないため、ナナホシを起動できません。\n"
                           "ディスクの空きや、フォルダーの状態を確かめてください。\n\n%1")
                .arg(where),
            title};
}
