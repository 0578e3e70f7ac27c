#include "app/application_setup.h"
#include "app/command_line.h"
#include "app/csv_command.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "ui/art/art_paths.h"
#include "ui/art/splash_window.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTextStream>
#include <QWindow>

#include <algorithm>
#include <time.h>
#include <unistd.h>

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
    return options.action == cli::Action::Help || options.action == cli::Action::Version;
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

// How long ago the process started, to the kernel's clock tick; 0 when
// that cannot be read.
qint64 processAgeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // The name in parentheses may hold spaces; the fields after it are plain.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const qint64 startTicks = fields.value(19).toLongLong(&ok); // field 22, starttime
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return 0;
    const qint64 age = (qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000) - startTicks * 1000 / ticksPerSecond;
    return std::clamp<qint64>(age, 0, 1000);
}

// --export and --import work without a window and end the program.
bool isCommand(const cli::Options &options)
{
    return options.action == cli::Action::Export || options.action == cli::Action::Import;
}

int runCommand(const cli::Options &options, const Clock &clock)
{
    const QString path = cli::chosenDataDir(options, QDir::currentPath(), qEnvironmentVariable("XDG_DATA_HOME"),
                                            QDir::homePath());
    const cli::CommandResult r = cli::runCsvCommand(options, path, QDir::currentPath(), clock);
    QTextStream(stdout) << r.out;
    QTextStream(stderr) << r.err;
    return r.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // The start of the program, which the splash's shortest time counts
    // from: the process began a little before main() did.
    SystemClock clock;
    const qint64 millisecondsBeforeMain = processAgeMs();

    // --help, --version and a mistake are answered without a display.
    // An option of Qt's own is left to the application object.
    if (const cli::Parsed early = cli::parse(rawArguments(argc, argv)); early.options) {
        if (answered(*early.options, QString::fromLocal8Bit(argv[0])))
            return 0;
        if (isCommand(*early.options)) {
            QCoreApplication app(argc, argv);
            return runCommand(*early.options, clock);
        }
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
    if (isCommand(*parsed.options))
        return runCommand(*parsed.options, clock);

    // The splash first: the data directory, its lock, Qt's translations and
    // the main window all come after its first paint.
    auto *splash = new SplashWindow;
    paintNow(*splash);

    QApplication::setWindowIcon(art::icon(QString::fromLatin1(art::kLadybird)));
    setUpApplication(app);
    WidgetDialogs dialogs;
    auto refuse = [&](const QString &text, const QString &title) {
        delete splash; // the message must not open behind it
        QTextStream(stderr) << text << "\n";
        dialogs.message(nullptr, text, title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return 1;
    };
    const QString path = cli::chosenDataDir(*parsed.options, QDir::currentPath(),
                                            qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    if (const std::optional<QString> error = cli::makeDataDir(path))
        return refuse(*error, QStringLiteral("ナナホシ"));
    const QDir dataDir(path);

    // One running program per data directory.
    QLockFile lock(dataDirLockPath(dataDir));
    if (const std::optional<StartRefusal> refusal = lockDataDir(lock, dataDir))
        return refuse(refusal->text, refusal->title);

    MainWindow::Options options;
    options.splash = splash; // the window takes it over
    options.startedMs = -millisecondsBeforeMain;
    MainWindow window(dataDir, dialogs, clock, options);
    if (!window.start())
        return 1;
    return app.exec();
}
