#include "app/main_window.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nanahoshi"));
    QApplication::setApplicationDisplayName(QStringLiteral("ナナホシ"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    WidgetDialogs dialogs;
    SystemClock clock;
    // The directory the program is started in is the data directory.
    const QDir dataDir = QDir::current();

    // One running program per data directory.
    QLockFile lock(dataDir.filePath(QStringLiteral(".nanahoshi.lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(200)) {
        dialogs.message(nullptr,
                        QStringLiteral("このフォルダーのデータは、すでに起動しているナナホシが使っています。\n\n%1")
                            .arg(QDir::toNativeSeparators(dataDir.absolutePath())),
                        QStringLiteral("ナナホシ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return 1;
    }

    MainWindow window(dataDir, dialogs, clock);
    if (!window.start())
        return 1;
    return app.exec();
}
