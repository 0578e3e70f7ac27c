#include "app/application_setup.h"
#include "app/main_window.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);

    WidgetDialogs dialogs;
    SystemClock clock;
    // The directory the program is started in is the data directory.
    const QDir dataDir = QDir::current();

    // One running program per data directory.
    QLockFile lock(dataDirLockPath(dataDir));
    if (const std::optional<StartRefusal> refusal = lockDataDir(lock, dataDir)) {
        dialogs.message(nullptr, refusal->text, refusal->title, Dialogs::Icon::Exclamation,
                        Dialogs::Buttons::Ok);
        return 1;
    }

    MainWindow window(dataDir, dialogs, clock);
    if (!window.start())
        return 1;
    return app.exec();
}
