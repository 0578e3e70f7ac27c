// Saves a PNG of every panel of the main window, built on sample data, so
// the screens can be looked at without clicking through them.
//   nanahoshi_screenshots <output folder> [data folder] [WIDTHxHEIGHT]
// Without a data folder, sample data is written to a temporary one; "-"
// for the data folder means the same. The window is 1280 x 800 unless a
// size is given (the smallest window shows whether every screen fits).
#include "app/application_setup.h"
#include "app/main_window.h"
#include "sample_data.h"
#include "ui/dialogs.h"

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

// 2026/12/08, the same every run, so the pictures can be compared.
class SampleClock final : public Clock {
public:
    QDate today() const override { return QDate(2026, 12, 8); }
    QTime timeOfDay() const override { return QTime(21, 5, 7); }
    qint64 elapsedMs() const override { return elapsed_ += 500; }
    void pause(int ms) const override { elapsed_ += ms; }

private:
    mutable qint64 elapsed_ = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    if (argc < 2) {
        QTextStream(stderr) << "usage: nanahoshi_screenshots <output folder> [data folder] [WIDTHxHEIGHT]\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.absolutePath());
    QTemporaryDir tmp;
    QDir data;
    SampleClock clock;
    if (argc >= 3 && QString::fromLocal8Bit(argv[2]) != QStringLiteral("-")) {
        data = QDir(QString::fromLocal8Bit(argv[2]));
    } else {
        data = QDir(tmp.path());
        const QString error = writeSampleData(data, clock.today());
        if (!error.isEmpty()) {
            QTextStream(stderr) << error << "\n";
            return 1;
        }
    }
    PrintingDialogs dialogs;
    MainWindow window(data, dialogs, clock, MainWindow::Options{0, false});
    QSize size(1280, 800);
    if (argc >= 4) {
        const QStringList wh = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }
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
    const QList<QPair<QString, QString>> screens = {
        {"cmdAvgtai", "fraAvgTai"}, {"cmdMain", "fraMain"},   {"cmdBunseki", "fraBunseki"},
        {"cmdRentai", "fraRenTai"}, {"cmdCale", "fraCale"},   {"cmdTaijyu", "fraTaijyu"},
        {"cmdMemo", "fraMemo"},     {"cmdSettei", "fraSettei"},
    };
    for (const auto &[button, frame] : screens) {
        if (auto *b = window.findChild<QToolButton *>(button))
            b->click();
        QCoreApplication::processEvents();
        const QString file = out.filePath(frame + QStringLiteral(".png"));
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
