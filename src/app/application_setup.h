#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <optional>

class QApplication;
class QDir;

// What main() does to the application before any window opens: its name,
// the style, and Qt's own Japanese texts for standard buttons and menus.
// No display name is set: Qt would append it to every window title, and
// the titles are the program's own texts.
void setUpApplication(QApplication &app);
// The window's font families, first choice first: one family that covers
// both kana and digits.
QStringList japaneseFontFamilies();

// Why the program does not start on a data directory: the message box's
// text and title.
struct StartRefusal {
    QString text;
    QString title;
};

// The lock file that keeps a second program off the same data directory.
QString dataDirLockPath(const QDir &dataDir);

// Takes `lock` (made on dataDirLockPath) for as long as it lives. Nothing
// when it is taken; otherwise the refusal to show.
std::optional<StartRefusal> lockDataDir(QLockFile &lock, const QDir &dataDir);

// The refusal for a lock that could not be taken. A lock held by another
// running program says the data are in use; a directory that cannot be
// written says so and names it. `writable` is whether the directory
// itself can be written to.
StartRefusal lockRefusal(QLockFile::LockError error, const QDir &dataDir, bool writable);
