// --export and --import without a window: the options they take and
// refuse, and the real program run on a data directory: what it writes,
// what it prints, its exit status, and that it keeps off a directory
// another program holds.
#include "app/application_setup.h"
#include "app/command_line.h"
#include "store/csv_exchange.h"
#include "store/data_file.h"
#include "store/undo.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// The real program, without a display, started in `workDir`.
Run runProgram(const QStringList &args, const QString &workDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(NANAHOSHI_PROGRAM), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("did not end within a minute")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

WeightRecord record(const QString &date, const QString &situation, float weight, const QString &diary = {})
{
    WeightRecord r;
    r.date = date;
    r.situation = situation;
    r.weight = weight;
    r.diary = diary;
    return r;
}

// Two registered persons; person 1 with a diary that needs quoting and a
// character only CP932 has.
void writePersons(const QDir &dir)
{
    const DataDir d(dir);
    QVERIFY(!store::saveProfile(d, profileFileName(PersonSlot::One), {QStringLiteral("たろう"), 170, 60}));
    QVERIFY(!store::saveProfile(d, profileFileName(PersonSlot::Two), {QStringLiteral("はなこ"), 160, 50}));
    QVERIFY(!store::writeStartRecord(d, dataFileName(PersonSlot::One), record("2025/04/01", "はじめの一歩", 74.5f)));
    QVERIFY(!store::appendRecord(d, dataFileName(PersonSlot::One),
                                 record("2025/04/02", "起床後", 74.1f, QStringLiteral("①, ～ の日"))));
    QVERIFY(!store::writeStartRecord(d, dataFileName(PersonSlot::Two), record("2025/04/01", "はじめの一歩", 55)));
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList line(const QStringList &args) { return QStringList{QStringLiteral("nanahoshi")} + args; }

} // namespace

class TestCsvCommand : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead();
    void mistakesAreRefused_data();
    void mistakesAreRefused();
    void exportWritesEachLayout();
    void exportFailuresEndWithOne();
    void importAddsOnceAndDryRunWritesNothing();
    void importOfOwnExportIntoFreshPersonGivesTheFileBack();
    void importRefusalsEndWithOne();
    void heldDirectoryIsLeftAlone();
};

void TestCsvCommand::optionsAreRead()
{
    cli::Parsed p = cli::parse(line({"--export", "out.csv", "--person", "2", "--format", "LIBRA"}));
    QVERIFY2(p.options, qPrintable(p.error));
    QCOMPARE(p.options->action, cli::Action::Export);
    QCOMPARE(p.options->csvFile, QStringLiteral("out.csv"));
    QCOMPARE(p.options->person, 2);
    QCOMPARE(p.options->format, QStringLiteral("LIBRA"));

    p = cli::parse(line({"--data-dir", "/d", "--import=in.csv", "--dry-run", "--date-order", "dm"}));
    QVERIFY2(p.options, qPrintable(p.error));
    QCOMPARE(p.options->action, cli::Action::Import);
    QCOMPARE(p.options->csvFile, QStringLiteral("in.csv"));
    QCOMPARE(p.options->person, 1);
    QVERIFY(p.options->dryRun);
    QCOMPARE(p.options->dateOrder, QStringLiteral("dm"));
    QCOMPARE(p.options->dataDir, QStringLiteral("/d"));

    // --help still wins over everything.
    p = cli::parse(line({"--export", "x.csv", "--help"}));
    QVERIFY(p.options);
    QCOMPARE(p.options->action, cli::Action::Help);
    QVERIFY(cli::usage(QStringLiteral("nanahoshi")).contains(QStringLiteral("--export")));
}

void TestCsvCommand::mistakesAreRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("person 3") << QStringList{"--export", "x.csv", "--person", "3"};
    QTest::newRow("unknown format") << QStringList{"--export", "x.csv", "--format", "excel"};
    QTest::newRow("format on import") << QStringList{"--import", "x.csv", "--format", "own"};
    QTest::newRow("dry run on export") << QStringList{"--export", "x.csv", "--dry-run"};
    QTest::newRow("person alone") << QStringList{"--person", "1"};
    QTest::newRow("both commands") << QStringList{"--export", "x.csv", "--import", "y.csv"};
    QTest::newRow("no file") << QStringList{"--export"};
    QTest::newRow("bad date order") << QStringList{"--import", "x.csv", "--date-order", "ymd"};
}

void TestCsvCommand::mistakesAreRefused()
{
    QFETCH(QStringList, args);
    const cli::Parsed p = cli::parse(line(args));
    QVERIFY(!p.options);
    QVERIFY(!p.error.isEmpty());
}

void TestCsvCommand::exportWritesEachLayout()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(DataDir(QDir(data.path())), dataFileName(PersonSlot::One), &records));
    const QByteArray dataBefore = fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::One)));

    const QList<QPair<QString, csv::Layout>> layouts = {{"own", csv::Layout::Own},
                                                        {"openscale", csv::Layout::OpenScale},
                                                        {"libra", csv::Layout::Libra},
                                                        {"simple", csv::Layout::Simple}};
    for (const auto &[name, layout] : layouts) {
        // A relative file is taken from the directory the command runs in.
        const Run r = runProgram({"--data-dir", data.path(), "--export", name + ".csv", "--format", name}, work.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.err.isEmpty());
        QVERIFY2(r.out.contains(QStringLiteral("2件")), qPrintable(r.out));
        QCOMPARE(fileBytes(QDir(work.path()).filePath(name + ".csv")), csv::exportRecords(records, layout));
    }
    // Without --format: own; run in the data directory itself, person 2.
    const QString out = QDir(work.path()).filePath(QStringLiteral("p2.csv"));
    const Run r = runProgram({"--export", out, "--person", "2"}, data.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(fileBytes(out).startsWith("\xEF\xBB\xBF日付,状況,体重,一言日記\r\n2025/04/01,はじめの一歩,55,\r\n"));
    QCOMPARE(fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::One))), dataBefore);
    QVERIFY(!QFile::exists(QDir(data.path()).filePath(QStringLiteral("backup"))));
}

void TestCsvCommand::exportFailuresEndWithOne()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    const QByteArray before = fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::Two)));

    // Over a data file of the directory: refused, the file kept.
    Run r = runProgram({"--export", "データ2.TXT"}, data.path());
    QCOMPARE(r.code, 1);
    QVERIFY(!r.err.isEmpty());
    QVERIFY(r.out.isEmpty());
    QCOMPARE(fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::Two))), before);

    // Into a folder that does not exist.
    r = runProgram({"--data-dir", data.path(), "--export", "nowhere/x.csv"}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("フォルダー")));

    // A data directory that is not there is not made.
    const QString missing = QDir(work.path()).filePath(QStringLiteral("nodata"));
    r = runProgram({"--data-dir", missing, "--export", "x.csv"}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY(!QFileInfo::exists(missing));
}

void TestCsvCommand::importAddsOnceAndDryRunWritesNothing()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    const QString dataFile = QDir(data.path()).filePath(dataFileName(PersonSlot::One));
    const QByteArray before = fileBytes(dataFile);
    const QString csvPath = QDir(work.path()).filePath(QStringLiteral("bad_date_line7.csv"));
    QVERIFY(QFile::copy(QStringLiteral(NANAHOSHI_TEST_DATA "/bad_date_line7.csv"), csvPath));

    Run r = runProgram({"--data-dir", data.path(), "--import", csvPath, "--dry-run"}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(QStringLiteral("追加する記録: 5件")), qPrintable(r.out));
    QVERIFY2(r.out.contains(QStringLiteral("7行目")), qPrintable(r.out));
    QCOMPARE(fileBytes(dataFile), before);
    QVERIFY(!QFile::exists(QDir(data.path()).filePath(QStringLiteral("backup"))));

    r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(QStringLiteral("5件を加えました")), qPrintable(r.out));
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(DataDir(QDir(data.path())), dataFileName(PersonSlot::One), &records));
    QCOMPARE(records.size(), 7);
    QCOMPARE(records.last().date, QStringLiteral("2025/05/06"));
    const QByteArray once = fileBytes(dataFile);

    // Undoable as one change, back to the bytes before.
    const store::UndoState u = store::undoState(DataDir(QDir(data.path())));
    QVERIFY(u.available && u.applies);
    QCOMPARE(u.step, QStringLiteral("import"));

    // The second time every line is a duplicate: nothing written.
    r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(QStringLiteral("重複のため追加しない記録: 5件")), qPrintable(r.out));
    QCOMPARE(fileBytes(dataFile), once);
}

void TestCsvCommand::importOfOwnExportIntoFreshPersonGivesTheFileBack()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    const QString own = QDir(work.path()).filePath(QStringLiteral("own.csv"));
    QCOMPARE(runProgram({"--data-dir", data.path(), "--export", own}, work.path()).code, 0);
    const QByteArray person1 = fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::One)));

    // Person 2's start record is the same as person 1's first one but for
    // the weight; make it the same, so the import adds the rest only.
    const DataDir d{QDir(data.path())};
    QVERIFY(!store::writeStartRecord(d, dataFileName(PersonSlot::Two), record("2025/04/01", "はじめの一歩", 74.5f)));
    const Run r = runProgram({"--data-dir", data.path(), "--import", own, "--person", "2"}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(QStringLiteral("重複のため追加しない記録: 1件")), qPrintable(r.out));
    QCOMPARE(fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::Two))), person1);
}

void TestCsvCommand::importRefusalsEndWithOne()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    const QString dataFile = QDir(data.path()).filePath(dataFileName(PersonSlot::One));
    const QByteArray before = fileBytes(dataFile);
    const QString csvPath = QDir(work.path()).filePath(QStringLiteral("in.csv"));

    // Not a file of weights.
    writeFile(csvPath, "name,colour\nred,blue\n");
    Run r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY(!r.err.isEmpty());

    // Dates that read either way, without --date-order: asked for it.
    writeFile(csvPath, "date,weight\n3/4/2025,70\n");
    r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("--date-order")), qPrintable(r.err));
    QCOMPARE(fileBytes(dataFile), before);
    r = runProgram({"--data-dir", data.path(), "--import", csvPath, "--date-order", "dm"}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(DataDir(QDir(data.path())), dataFileName(PersonSlot::One), &records));
    QCOMPARE(records.last().date, QStringLiteral("2025/04/03"));

    // A file that is not there.
    r = runProgram({"--data-dir", data.path(), "--import", "missing.csv"}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("missing.csv")));

    // More records than a data file holds: refused whole, with the counts.
    QByteArray many = "date,weight\n";
    for (int i = 0; i < kMaxRecords; ++i)
        many += QDate(1950, 1, 1).addDays(i).toString(Qt::ISODate).toLatin1() + ",70\n";
    writeFile(csvPath, many);
    const QByteArray now = fileBytes(dataFile);
    r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QString::number(kMaxRecords)), qPrintable(r.err));
    QCOMPARE(fileBytes(dataFile), now);
}

void TestCsvCommand::heldDirectoryIsLeftAlone()
{
    QTemporaryDir data, work;
    writePersons(QDir(data.path()));
    const QString csvPath = QDir(work.path()).filePath(QStringLiteral("in.csv"));
    writeFile(csvPath, "date,weight\n2025-05-01,70\n");
    const QByteArray before = fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::One)));

    // Held as a running window holds it.
    QLockFile lock(dataDirLockPath(QDir(data.path())));
    QVERIFY(lock.tryLock(0));
    Run r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("すでに起動")), qPrintable(r.err));
    QCOMPARE(fileBytes(QDir(data.path()).filePath(dataFileName(PersonSlot::One))), before);
    r = runProgram({"--data-dir", data.path(), "--export", "x.csv"}, work.path());
    QCOMPARE(r.code, 1);
    QVERIFY(!QFile::exists(QDir(work.path()).filePath(QStringLiteral("x.csv"))));

    lock.unlock();
    r = runProgram({"--data-dir", data.path(), "--import", csvPath}, work.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCsvCommand)
#include "test_csv_command.moc"
