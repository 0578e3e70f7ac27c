// Saves a PNG of every panel of the main window, built on sample data, so
// the screens can be looked at without clicking through them. See
// screenshotUsage() for the command line.
#include "app/application_setup.h"
#include "app/main_window.h"
#include "sample_data.h"
#include "tool_args.h"
#include "ui/dialogs.h"
#include "ui/screen.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QAbstractButton>
#include <QToolButton>

namespace {

// Answers every box at once and prints it, so nothing waits for a click.
class PrintingDialogs final : public Dialogs {
public:
    Answer message(QWidget *, const QString &text, const QString &title, Icon, Buttons b) override
    {
        QTextStream(stdout) << "[" << title << "] " << text.left(60) << "\n";
        return b == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

// A fixed day and time, the same every run, so the pictures can be compared.
class SampleClock final : public Clock {
public:
    explicit SampleClock(QDate today) : today_(today) {}
    QDate today() const override { return today_; }
    QTime timeOfDay() const override { return QTime(21, 5, 7); }
    qint64 elapsedMs() const override { return elapsed_ += 500; }
    void pause(int ms) const override { elapsed_ += ms; }

private:
    QDate today_;
    mutable qint64 elapsed_ = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    // Read before the application, so --help needs no display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    const ScreenshotArgs args = parseScreenshotArgs(raw);
    if (args.help) {
        QTextStream(stdout) << screenshotUsage();
        return 0;
    }
    if (!args.error.isEmpty()) {
        QTextStream(stderr) << args.error << "\n\n" << screenshotUsage();
        return 2;
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    const QDir out(args.outFolder);
    QDir().mkpath(out.absolutePath());
    QTemporaryDir tmp;
    QDir data;
    QDate today = args.date;
    if (!args.dataFolder.isEmpty()) {
        data = QDir(args.dataFolder);
        // The data's own last day, so the day view shows records whenever
        // the data were made.
        if (!today.isValid())
            today = lastRecordDay(data);
        if (!today.isValid()) {
            QTextStream(stderr) << "no record to take the day from in " << data.absolutePath()
                                << "; give one with --date\n";
            return 1;
        }
    } else {
        if (!today.isValid())
            today = QDate(2026, 12, 8);
        data = QDir(tmp.path());
        const QString error = writeSampleData(data, today);
        if (!error.isEmpty()) {
            QTextStream(stderr) << error << "\n";
            return 1;
        }
    }
    SampleClock clock(today);
    PrintingDialogs dialogs;
    MainWindow window(data, dialogs, clock, MainWindow::Options{0, false});
    const QSize size = args.size;
    window.resize(size);
    if (!window.start())
        return 1;
    // Without a real pointer the offscreen screen counts it as over the
    // first tool button, which would then be drawn raised on every picture;
    // the program shows its toolbar with no pointer over it.
    const auto tools = window.findChildren<QToolButton *>();
    for (QToolButton *b : tools) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
        b->setAttribute(Qt::WA_UnderMouse, false);
    }
    // Every screen of the window's table, so a new screen gets its picture.
    const auto screens = window.screens();
    for (const auto &[button, screen] : screens) {
        if (auto *b = window.findChild<QToolButton *>(button))
            b->click();
        QCoreApplication::processEvents();
        const QString file = out.filePath(screen->objectName() + QStringLiteral(".png"));
        window.grab().save(file);
        QTextStream(stdout) << file << "\n";
    }
    // The comparison's other view: both persons on one axis, overlaid.
    window.findChild<QToolButton *>(QStringLiteral("cmdAvgtai"))->click();
    for (const char *option : {"optGra1", "optG2"})
        if (auto *b = window.findChild<QAbstractButton *>(QLatin1String(option)))
            b->click();
    QCoreApplication::processEvents();
    const QString file = out.filePath(QStringLiteral("fraAvgTai-one-axis.png"));
    window.grab().save(file);
    QTextStream(stdout) << file << "\n";
    return 0;
}
