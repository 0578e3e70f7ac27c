#include "app/application_setup.h"
#include "app/command_line.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "ui/art/splash_window.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QTextStream>
#include <QWindow>

namespace {

QStringList rawArguments(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return args;
}

// Prints the usage or the version when that is what the options ask for.
bool answered(const cli::Options &options, const QString &program)
{
    if (options.action == cli::Action::Help)
        QTextStream(stdout) << cli::usage(program);
    else if (options.action == cli::Action::Version)
        QTextStream(stdout) << cli::versionText();
    return options.action != cli::Action::Run;
}

// The splash is the first thing the user sees, so it is painted before
// anything else is built or read. On a real display a new window can be
// painted only once the window system has exposed it; that is waited for,
// briefly, and the loading goes on regardless.
void paintNow(SplashWindow &splash)
{
    splash.show();
    QElapsedTimer waited;
    waited.start();
    while (splash.windowHandle() && !splash.windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    splash.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

int main(int argc, char *argv[])
{
    // The start of the program, which the splash's shortest time counts from.
    SystemClock clock;

    // --help, --version and a mistake are answered without a display.
    // An option of Qt's own is left to the application object.
    if (const cli::Parsed early = cli::parse(rawArguments(argc, argv)); early.options) {
        if (answered(*early.options, QString::fromLocal8Bit(argv[0])))
            return 0;
    } else if (!cli::isQtOption(early.refusedOption)) {
        QTextStream(stderr) << early.error << "\n\n" << cli::usage(QString::fromLocal8Bit(argv[0]));
        return 2;
    }

    QApplication app(argc, argv);
    reportPaintTimesWhenAsked();
    // Qt has taken its own options (-platform, -style ...) off the line.
    const QStringList arguments = QCoreApplication::arguments();
    const cli::Parsed parsed = cli::parse(arguments);
    if (!parsed.options) {
        QTextStream(stderr) << parsed.error << "\n\n" << cli::usage(arguments.value(0));
        return 2;
    }
    if (answered(*parsed.options, arguments.value(0)))
        return 0;

    WidgetDialogs dialogs;
    auto refuse = [&](const QString &text, const QString &title) {
        setUpApplication(app); // the box's buttons in Japanese
        QTextStream(stderr) << text << "\n";
        dialogs.message(nullptr, text, title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return 1;
    };
    const QString path = cli::chosenDataDir(*parsed.options, QDir::currentPath(),
                                            qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    if (const std::optional<QString> error = cli::makeDataDir(path))
        return refuse(*error, QStringLiteral("ナナホシ"));
    const QDir dataDir(path);

    // One running program per data directory. Taken before the splash, so
    // a second start says so without a splash in front of the message.
    QLockFile lock(dataDirLockPath(dataDir));
    if (const std::optional<StartRefusal> refusal = lockDataDir(lock, dataDir))
        return refuse(refusal->text, refusal->title);

    auto *splash = new SplashWindow;
    paintNow(*splash);

    setUpApplication(app);
    MainWindow::Options options;
    options.splash = splash; // the window takes it over
    options.startedMs = 0;   // the clock began with main()
    MainWindow window(dataDir, dialogs, clock, options);
    if (!window.start())
        return 1;
    return app.exec();
}
