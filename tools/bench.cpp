// Times the steps that must stay quick on the largest data files the
// format allows (32,767 records per person) and prints every figure in
// milliseconds and as a ratio to the "floor": reading the bytes of the
// files the step reads and decoding them to UTF-16 through iconv,
// measured in the same run on the same files. A ratio holds on a slow or
// a busy machine where milliseconds do not.
//
//   nanahoshi_bench [--runs N] [--dir PATH] [--only TEXT]   (scripts/bench builds Release)
// --only keeps the rows whose name contains TEXT, for a profiler.
//
// Each step is timed by the clock on the wall and by the processor time of
// this thread; the ratio is taken on processor time, which other work on
// a shared machine does not inflate. A step that ends in a sync (append,
// insert) says which: a bare sync of the same size on the same disk is
// timed alongside and taken off, because a sync is the disk's time.
//
// A row is a name, the data files the step reads, the ratio it must stay
// within and the step itself; adding a step is adding a row.
#include "app/csv_command.h"
#include "app/main_window.h"
#include "entry/day_view.h"
#include "entry/entry_panel.h"
#include "ui/screen.h"
#include "store/backup.h"
#include "store/codec.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/record_edit.h"
#include "store/record_line.h"
#include "store/undo.h"
#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class SilentDialogs final : public Dialogs {
public:
    Answer message(QWidget *, const QString &, const QString &, Icon, Buttons b) override
    {
        return b == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

class BenchClock final : public Clock {
public:
    QDate today() const override { return kToday; }
    QTime timeOfDay() const override { return QTime(21, 0, 0); }
    qint64 elapsedMs() const override { return elapsed_ += 1000; }
    void pause(int) const override {}
    static inline const QDate kToday{2026, 12, 8};

private:
    mutable qint64 elapsed_ = 0;
};

// What a write step ends with; its time is measured bare and taken off.
enum class Sync {
    None,
    OneLine,   // fdatasync after one appended line
    WholeFile, // fdatasync of a rewritten file, then fsync of the directory
};

struct Row {
    QString name;
    QStringList files; // data files the step reads
    double target;     // ratio to the floor of those files
    std::function<void()> step;
    Sync sync = Sync::None;
    std::function<void()> prepare = {}; // untimed, before each run
};

// One timing: the clock on the wall and this thread's processor time.
struct Time {
    double wall = 0; // ms
    double cpu = 0;  // ms
};

double threadCpuMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

Time measure(const std::function<void()> &f)
{
    QElapsedTimer wall;
    const double cpu = threadCpuMs();
    wall.start();
    f();
    return {double(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpu};
}

// Minimum and median of several runs, each kind of time on its own.
struct Figures {
    Time min;
    Time median;
};

Figures figures(const QList<Time> &runs)
{
    if (runs.isEmpty())
        return {};
    QList<double> wall, cpu;
    for (const Time &t : runs) {
        wall.append(t.wall);
        cpu.append(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    const qsizetype m = runs.size() / 2;
    return {{wall.first(), cpu.first()}, {wall.at(m), cpu.at(m)}};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// Nine weighings a day back from today, to the record limit, with the
// weights and texts real files hold: a slow course with small ups and
// downs, labels from a short list, times of day in the diary, now and
// then a comment.
QList<WeightRecord> benchRecords(int n)
{
    const QStringList labels = store::defaults().situations;
    QList<WeightRecord> records;
    records.reserve(n);
    QDate day = BenchClock::kToday.addDays(-(n / 9));
    for (int i = 0; i < n; ++i) {
        if (i > 0 && i % 9 == 0)
            day = day.addDays(1);
        WeightRecord r;
        r.date = dates::text(day);
        r.situation = labels.at(i % labels.size());
        // A real course: ten kilograms down over the years, up and down by
        // a few hundred grams within a day and from day to day.
        const int noise = int((quint32(i) * 2654435761u) >> 24) % 9 - 4; // -4..4
        r.weight = std::round((75.0f - 10.0f * float(i) / float(n) + 0.1f * float(noise)) * 10.0f) / 10.0f;
        r.diary = i % 11 == 0 ? QStringLiteral("食べすぎた表ソ～") : QTime(6 + i % 9, i % 60, i % 57).toString(QStringLiteral("H:mm:ss"));
        records.append(r);
    }
    return records;
}

// Writes the bytes to a new file in dir (before synced, added not) and
// times the sync alone.
Time bareSync(const QDir &dir, const QByteArray &before, const QByteArray &added, Sync kind)
{
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("sync-probe")));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot write the sync probe");
    bool ok = ::write(fd, before.constData(), size_t(before.size())) == before.size();
    ok = ok && ::fdatasync(fd) == 0;
    ok = ok && ::write(fd, added.constData(), size_t(added.size())) == added.size();
    const Time t = measure([&] {
        ok = ok && ::fdatasync(fd) == 0;
        if (kind == Sync::WholeFile) {
            const int dfd = ::open(QFile::encodeName(dir.absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ok = ok && dfd >= 0 && ::fsync(dfd) == 0;
            if (dfd >= 0)
                ::close(dfd);
        }
    });
    ::close(fd);
    ::unlink(path.constData());
    if (!ok)
        qFatal("the sync probe failed");
    return t;
}

void check(const MaybeError &e, const char *what)
{
    if (e)
        qFatal("%s: %s", what, qPrintable(e->message()));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int runs = 7;
    QString where, only;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs"))
            runs = std::max(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--dir"))
            where = args.at(i + 1);
        else if (args.at(i) == QLatin1String("--only"))
            only = args.at(i + 1);
    }
    QTemporaryDir tmp(where.isEmpty() ? QDir::tempPath() + QStringLiteral("/nanahoshi-bench-XXXXXX")
                                      : where + QStringLiteral("/nanahoshi-bench-XXXXXX"));
    if (!tmp.isValid())
        qFatal("cannot create a temporary directory");
    const QDir qdir(tmp.path());
    const DataDir dir{qdir};
    check(store::createDefaultFiles(dir), "default files");

    const QString data1 = dataFileName(PersonSlot::One);
    const QString data2 = dataFileName(PersonSlot::Two);
    // The files, and the first one also one record short of the limit so
    // that an append or an insert is taken. The records themselves are let
    // go before anything is timed.
    QByteArray full, almostBytes;
    {
        const QList<WeightRecord> records = benchRecords(kMaxRecords);
        for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
            check(store::saveProfile(dir, profileFileName(p), {QStringLiteral("ベンチ"), 170, 60}), "profile");
            check(store::rewriteRecords(dir, dataFileName(p), records, store::insertScratchName()), "data file");
        }
        full = readAll(dir.path(data1));
        check(store::rewriteRecords(dir, data1, records.mid(0, kMaxRecords - 1), store::insertScratchName()),
              "data file");
        almostBytes = readAll(dir.path(data1));
        check(store::rewriteRecords(dir, data1, records, store::insertScratchName()), "data file");
    }
    // Puts the data file back between runs, on disk: a file left dirty
    // would be written out by the next step's directory sync and counted
    // as that step's time.
    auto restore = [&](const QByteArray &bytes) {
        QFile f(dir.path(data1));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
            !f.flush() || ::fdatasync(f.handle()) != 0)
            qFatal("cannot restore the data file");
    };
    const WeightRecord appended{dates::text(BenchClock::kToday), QStringLiteral("就寝前"), 60.5f,
                                QStringLiteral("22:15:00"), {}};
    const WeightRecord backDated{dates::text(BenchClock::kToday.addDays(-30)), QStringLiteral("朝食後"),
                                 61.2f, QStringLiteral("後から入力"), {}};
    QString encodeError;
    const QByteArray appendedLine = cp932::encode(store::recordLine(appended), &encodeError) + "\r\n";

    QList<WeightRecord> read;
    // The record in the middle of the file, and its weight corrected.
    QPair<store::RecordRef, WeightRecord> corrected;
    {
        QList<WeightRecord> all;
        check(store::readRecords(dir, data1, &all), "read");
        corrected.first = {kMaxRecords / 2, all.at(kMaxRecords / 2)};
        corrected.second = corrected.first.record;
        corrected.second.weight += 0.5f;
    }
    auto freshBackups = [&] { QDir(dir.path(store::backupFolder())).removeRecursively(); };
    std::unique_ptr<MainWindow> window;
    SilentDialogs dialogs;
    BenchClock clock;

    // The steps. A new step is one more row.
    // The screens in toolbar order (button, panel), read off a window once.
    QList<QPair<QString, QString>> screenButtons;
    {
        MainWindow probe(qdir, dialogs, clock, MainWindow::Options{0, false});
        const auto screens = probe.screens();
        for (const auto &[button, screen] : screens)
            screenButtons.append({button, screen->objectName()});
    }
    auto click = [&](const QString &name) {
        auto *b = window ? window->findChild<QAbstractButton *>(name) : nullptr;
        if (!b)
            qFatal("no button %s", qPrintable(name));
        b->click();
        QCoreApplication::processEvents();
    };
    auto started = [&] {
        if (!window) {
            window = std::make_unique<MainWindow>(qdir, dialogs, clock, MainWindow::Options{0, false});
            if (!window->start())
                qFatal("the main window did not start");
        }
    };
    // Another screen to open a screen from.
    auto away = [](const QString &button) {
        return button == QLatin1String("cmdMain") ? QStringLiteral("cmdSettei") : QStringLiteral("cmdMain");
    };
    // The window (started once) showing the screen of `button` for `person`.
    auto openOn = [&](const QString &button, PersonSlot person) {
        started();
        click(person == PersonSlot::One ? QStringLiteral("cmdUser1") : QStringLiteral("cmdUser2"));
        click(away(button));
        click(button);
    };
    QList<Row> rows = {
        // The records of the run before are let go first: freeing them is
        // the caller's work whatever the reader.
        {QStringLiteral("read all records"), {data1}, 2.0,
         [&] { check(store::readRecords(dir, data1, &read), "read"); }, Sync::None,
         [&] { read.clear(); }},
        {QStringLiteral("append one record"), {data1}, 0.5,
         [&] { check(store::appendRecord(dir, data1, appended), "append"); }, Sync::OneLine,
         [&] { restore(almostBytes); }},
        {QStringLiteral("insert one record in date order"), {data1}, 3.0,
         [&] { check(store::insertRecordInOrder(dir, data1, backDated), "insert"); }, Sync::WholeFile,
         [&] { restore(almostBytes); }},
        // A correction reads the file, keeps a verified copy under backup/,
        // registers the undo and rewrites the file; the undo reads it and
        // puts the copy back. Each starts without earlier copies, which a
        // copy of the same bytes would stand in for.
        {QStringLiteral("correct one record"), {data1}, 4.0,
         [&] { check(store::correctRecord(dir, data1, corrected.first, corrected.second, clock), "correct"); },
         Sync::WholeFile, [&] { restore(full); freshBackups(); }},
        {QStringLiteral("undo a correction"), {data1}, 4.0,
         [&] { check(store::undoLastChange(dir, clock), "undo"); }, Sync::WholeFile,
         [&] {
             restore(full);
             freshBackups();
             check(store::correctRecord(dir, data1, corrected.first, corrected.second, clock), "correct");
         }},
        {QStringLiteral("day view of the last day"), {}, 0.0,
         [&] { entry::buildDayView(read, dates::text(BenchClock::kToday), 170); }, Sync::None,
         [&] { restore(full); }},
        {QStringLiteral("start of the main window"), {data1, data2}, 4.0,
         [&] {
             window = std::make_unique<MainWindow>(qdir, dialogs, clock, MainWindow::Options{0, false});
             if (!window->start())
                 qFatal("the main window did not start");
         },
         Sync::None, [&] { window.reset(); }},
        // The day view reads the selected person's file, the counts the other's.
        {QStringLiteral("refresh of the weight screen"), {data1, data2}, 3.0,
         [&] { qobject_cast<EntryPanel *>(window->screen(QStringLiteral("cmdMain")))->refreshDayAndMeters(); }, Sync::None,
         [&] { openOn(QStringLiteral("cmdMain"), PersonSlot::One); }},
        {QStringLiteral("save, click to redrawn screen"), {data1, data2}, 3.0,
         [&] { click(QStringLiteral("cmdTaiHozon")); }, Sync::OneLine,
         [&] {
             restore(almostBytes);
             openOn(QStringLiteral("cmdMain"), PersonSlot::One);
             qobject_cast<EntryPanel *>(window->screen(QStringLiteral("cmdMain")))->refreshDayAndMeters();
             click(QStringLiteral("cmdJikan")); // a situation, and the weight offered
         }},
    };
    // The command line's export of a full file, lock and clean-up
    // included, in each layout; the scratch file's sync is taken off.
    for (const char *layout : {"own", "openscale", "libra", "simple"}) {
        cli::Options o;
        o.action = cli::Action::Export;
        o.format = QLatin1String(layout);
        o.csvFile = qdir.filePath(QStringLiteral("export.csv"));
        rows.append({QStringLiteral("command-line export of a full file (%1)").arg(o.format), {data1}, 4.0,
                     [&, o] {
                         if (cli::runCsvCommand(o, qdir.path(), qdir.path(), clock).exitCode != 0)
                             qFatal("the export failed");
                     },
                     Sync::WholeFile, [&] { restore(full); }});
    }
    // Every screen: opened from another, and rebuilt for the other person
    // while it shows. The comparison and the pace screen read both files,
    // the weight screen the selected person's and the other's for the
    // counts, the others the selected person's; a switch reads the other
    // person's file, as big, and on the weight and settings screens the
    // counts read the first too.
    for (const auto &[button, screen] : screenButtons) {
        const bool both = button == QLatin1String("cmdAvgtai") || button == QLatin1String("cmdMain") ||
                          button == QLatin1String("cmdPace");
        const QStringList reads = both ? QStringList{data1, data2} : QStringList{data1};
        const QString name = screen;
        // Again, in a window that has shown it before.
        rows.append({QStringLiteral("open %1").arg(name), reads, 4.0, [&, button] { click(button); },
                     Sync::None, [&, button] {
                         restore(full);
                         openOn(button, PersonSlot::One);
                         openOn(away(button), PersonSlot::One);
                     }});
        // The first time in a new window, which opens on the comparison:
        // the screen is built then, and the first layout and paint of a
        // screen cost more than later ones.
        rows.append({QStringLiteral("first open of %1").arg(name), reads, 4.0, [&, button] { click(button); },
                     Sync::None, [&, button] {
                         window.reset();
                         restore(full);
                         started();
                         if (button == QLatin1String("cmdAvgtai"))
                             click(QStringLiteral("cmdSettei"));
                     }});
        rows.append({QStringLiteral("switch person on %1").arg(name),
                     button == QLatin1String("cmdAvgtai") || button == QLatin1String("cmdSettei") ||
                             button == QLatin1String("cmdMain")
                         ? QStringList{data1, data2}
                         : QStringList{data2},
                     4.0,
                     [&] { click(QStringLiteral("cmdUser2")); }, Sync::None,
                     [&, button] { openOn(button, PersonSlot::One); }});
    }

    if (!only.isEmpty())
        rows.removeIf([&](const Row &r) { return !r.name.contains(only); });

    // The floor of each file, measured run by run between the steps so
    // that a busy moment weighs on both alike.
    QMap<QString, QList<Time>> floorRuns;
    auto measureFloor = [&](const QString &file) {
        floorRuns[file].append(measure([&] {
            QString error;
            const QString text = cp932::decode(readAll(dir.path(file)), &error);
            if (!error.isEmpty() || text.isEmpty())
                qFatal("the floor read failed");
        }));
    };
    QList<QList<Time>> stepRuns(rows.size());
    QList<Time> lineSyncs, fileSyncs;
    for (int run = 0; run < runs; ++run) {
        // Twice each, in turn: the first read after a heavy step pays for
        // caches the step filled, which is no part of reading the file.
        for (int twice = 0; twice < 2; ++twice)
            for (const QString &f : {data1, data2})
                measureFloor(f);
        lineSyncs.append(bareSync(qdir, almostBytes, appendedLine, Sync::OneLine));
        fileSyncs.append(bareSync(qdir, QByteArray(), full, Sync::WholeFile));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows.at(i).prepare)
                rows.at(i).prepare();
            stepRuns[i].append(measure(rows.at(i).step));
        }
    }
    window.reset();

    QTextStream out(stdout);
    out.setAutoDetectUnicode(false);
    auto pair = [](double a, double b) {
        return QStringLiteral("%1 / %2").arg(a, 0, 'f', 2).arg(b, 0, 'f', 2);
    };
    out << "records per file: " << kMaxRecords << ", " << full.size() << " bytes; " << runs
        << " runs; every figure is minimum / median\n"
        << "wall = elapsed time; cpu = processor time of this thread; ratio = (cpu of the step - cpu of "
           "its bare sync) / cpu of the floor of the files it reads\n";
    for (const QString &f : {data1, data2}) {
        const Figures fl = figures(floorRuns.value(f));
        out << "floor (read + iconv decode) " << f << ": wall " << pair(fl.min.wall, fl.median.wall)
            << " ms, cpu " << pair(fl.min.cpu, fl.median.cpu) << " ms\n";
    }
    const Figures line = figures(lineSyncs);
    const Figures whole = figures(fileSyncs);
    out << "bare sync of one appended line: wall " << pair(line.min.wall, line.median.wall) << " ms, cpu "
        << pair(line.min.cpu, line.median.cpu) << " ms\n"
        << "bare sync of a whole file and the directory: wall " << pair(whole.min.wall, whole.median.wall)
        << " ms, cpu " << pair(whole.min.cpu, whole.median.cpu) << " ms\n\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("step"), -32)
               .arg(QStringLiteral("wall ms"), 17)
               .arg(QStringLiteral("cpu ms"), 15)
               .arg(QStringLiteral("sync"), 6)
               .arg(QStringLiteral("ratio"), 13)
               .arg(QStringLiteral("target"), 8);
    QStringList over;
    int judged = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row &r = rows.at(i);
        const Figures t = figures(stepRuns.at(i));
        const Figures sync = r.sync == Sync::OneLine ? line : r.sync == Sync::WholeFile ? whole : Figures{};
        double floorMin = 0, floorMedian = 0;
        for (const QString &f : r.files) {
            const Figures fl = figures(floorRuns.value(f));
            floorMin += fl.min.cpu;
            floorMedian += fl.median.cpu;
        }
        const double ratioMin = std::max(0.0, t.min.cpu - sync.min.cpu) / std::max(floorMin, 1e-9);
        const double ratioMedian = std::max(0.0, t.median.cpu - sync.median.cpu) / std::max(floorMedian, 1e-9);
        const bool hasFloor = floorMin > 0;
        const bool hasTarget = r.target > 0 && hasFloor;
        out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(r.name, -32)
                   .arg(pair(t.min.wall, t.median.wall), 17)
                   .arg(pair(t.min.cpu, t.median.cpu), 15)
                   .arg(r.sync == Sync::None ? QStringLiteral("-")
                                             : r.sync == Sync::OneLine ? QStringLiteral("line")
                                                                       : QStringLiteral("file"),
                        6)
                   .arg(hasFloor ? pair(ratioMin, ratioMedian) : QStringLiteral("-"), 13)
                   .arg(hasTarget ? QStringLiteral("<= %1").arg(r.target, 0, 'f', 1) : QStringLiteral("-"), 8);
        if (hasTarget) {
            ++judged;
            if (ratioMin > r.target)
                over.append(r.name);
        }
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    out << "\npeak memory (ru_maxrss): " << QString::number(double(usage.ru_maxrss) / 1024.0, 'f', 1) << " MB\n";
    // Judged on the minimum: on a shared machine the median carries other
    // people's work too.
    if (over.isEmpty())
        out << "verdict: all " << judged << " rows with a target are within it (ratio minimum)\n";
    else
        out << "verdict: " << over.size() << " of " << judged << " rows over target: "
            << over.join(QStringLiteral(", ")) << " (ratio minimum)\n";
    out.flush();
    return over.isEmpty() ? 0 : 1;
}
