// Times the operations that must stay instant on the largest data file the
// format allows (32,767 records): reading, the day view, appending,
// inserting in date order, and a whole start of the main window.
//   nanahoshi_bench            (build type Release for meaningful numbers)
#include "app/main_window.h"
#include "entry/day_view.h"
#include "entry/entry_panel.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

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
    QDate today() const override { return QDate(2026, 12, 8); }
    QTime timeOfDay() const override { return QTime(21, 0, 0); }
    qint64 elapsedMs() const override { return elapsed_ += 1000; }
    void pause(int) const override {}

private:
    mutable qint64 elapsed_ = 0;
};

template <typename F>
double timeMs(F &&f, int runs = 5)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTextStream out(stdout);
    out.setAutoDetectUnicode(false);
    QTemporaryDir tmp;
    const DataDir dir{QDir(tmp.path())};
    store::createDefaultFiles(dir);

    // Nine weighings a day, back from 2026/12/08, to the record limit.
    const int n = kMaxRecords - 2;
    QList<WeightRecord> records;
    records.reserve(n);
    QDate day = QDate(2026, 12, 8).addDays(-(n / 9));
    for (int i = 0; i < n; ++i) {
        if (i > 0 && i % 9 == 0)
            day = day.addDays(1);
        records.append({dates::text(day), QStringLiteral("夕食後"), 60.0f + float(i % 50) / 10.0f,
                        QStringLiteral("21:00:00"), {}, {}});
    }
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        store::saveProfile(dir, profileFileName(p), {QStringLiteral("ベンチ"), 170, 60});
        store::rewriteRecords(dir, dataFileName(p), records, store::insertScratchName());
    }
    const QString data1 = dataFileName(PersonSlot::One);

    QList<WeightRecord> read;
    out << "records per file:              " << n << "\n";
    out << "read all records:              " << timeMs([&] { store::readRecords(dir, data1, &read); }) << " ms" << Qt::endl;
    out << "day view of the last day:      "
        << timeMs([&] { entry::buildDayView(read, QStringLiteral("2026/12/08"), 170); }) << " ms" << Qt::endl;
    out << "append one record:             "
        << timeMs([&] { store::appendRecord(dir, data1, {QStringLiteral("2026/12/08"), QStringLiteral("a"), 60, {}, {}, {}}); }, 1)
        << " ms" << Qt::endl;
    out << "insert one record in order:    "
        << timeMs([&] { store::insertRecordInOrder(dir, data1, {dates::text(day.addDays(-30)), QStringLiteral("b"), 60, {}, {}, {}}); }, 1)
        << " ms" << Qt::endl;

    SilentDialogs dialogs;
    BenchClock clock;
    QElapsedTimer t;
    t.start();
    MainWindow window(QDir(tmp.path()), dialogs, clock, MainWindow::Options{0, false});
    const bool started = window.start();
    out << "start of the main window:      " << t.nsecsElapsed() / 1e6 << " ms" << (started ? "" : " (failed)") << "\n";
    out << "refresh of the weight screen:  " << timeMs([&] { window.entryPanel()->RefreshDayView(); }) << " ms" << Qt::endl;
    return 0;
}
