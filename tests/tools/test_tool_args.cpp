// The sample-data and screenshot tools: their command lines, the sample
// data tool refusing to write over someone's files, and the record count
// and last day of what it writes.
#include "sample_data.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/record.h"
#include "temp_data_dir.h"
#include "tool_args.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<WeightRecord> recordsOf(const QDir &dir, PersonSlot p)
{
    QList<WeightRecord> records;
    if (MaybeError e = store::readRecords(DataDir(dir), dataFileName(p), &records))
        qWarning() << e->message();
    return records;
}

int runTool(const QStringList &args, QString *err = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(NANAHOSHI_SAMPLE_DATA), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestToolArgs : public QObject {
    Q_OBJECT
private slots:
    void sampleDataLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("force");
        QTest::newRow("folder") << QStringList{"d"} << false << false << 0 << false;
        QTest::newRow("help") << QStringList{"--help"} << true << false << 0 << false;
        QTest::newRow("-h after a folder") << QStringList{"d", "-h"} << true << false << 0 << false;
        QTest::newRow("records and force") << QStringList{"--records", "32767", "--force", "d"} << false << false
                                           << 32767 << true;
        QTest::newRow("records over the limit") << QStringList{"--records", "32768", "d"} << false << true << 0 << false;
        QTest::newRow("records zero") << QStringList{"--records", "0", "d"} << false << true << 0 << false;
        QTest::newRow("records not a number") << QStringList{"--records", "many", "d"} << false << true << 0 << false;
        QTest::newRow("records without value") << QStringList{"d", "--records"} << false << true << 0 << false;
        QTest::newRow("no folder") << QStringList{} << false << true << 0 << false;
        QTest::newRow("unknown option") << QStringList{"--bogus", "d"} << false << true << 0 << false;
        QTest::newRow("bad date") << QStringList{"d", "2026/13/01"} << false << true << 0 << false;
        QTest::newRow("too many") << QStringList{"d", "2026/12/01", "x"} << false << true << 0 << false;
    }
    void sampleDataLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, help);
        QFETCH(bool, refused);
        QFETCH(int, records);
        QFETCH(bool, force);
        const SampleDataArgs a = parseSampleDataArgs(args);
        QCOMPARE(a.help, help);
        QCOMPARE(!a.error.isEmpty(), refused);
        if (!help && !refused) {
            QCOMPARE(a.folder, QStringLiteral("d"));
            QCOMPARE(a.records, records);
            QCOMPARE(a.force, force);
        }
    }

    void screenshotLine()
    {
        ScreenshotArgs a = parseScreenshotArgs({"out"});
        QVERIFY(a.error.isEmpty());
        QCOMPARE(a.outFolder, QStringLiteral("out"));
        QVERIFY(a.dataFolder.isEmpty());
        QVERIFY(!a.date.isValid()); // taken from the data
        QCOMPARE(a.size, QSize(1280, 800));

        a = parseScreenshotArgs({"out", "-", "1000x660"});
        QVERIFY(a.error.isEmpty());
        QVERIFY(a.dataFolder.isEmpty());
        QCOMPARE(a.size, QSize(1000, 660));

        a = parseScreenshotArgs({"--date", "2025/02/28", "--size", "1024x700", "out", "data"});
        QVERIFY(a.error.isEmpty());
        QCOMPARE(a.date, QDate(2025, 2, 28));
        QCOMPARE(a.dataFolder, QStringLiteral("data"));
        QCOMPARE(a.size, QSize(1024, 700));

        QVERIFY(parseScreenshotArgs({"--help"}).help);
        QVERIFY(parseScreenshotArgs({"-h", "out"}).help);
        for (const QStringList &bad : {QStringList{}, QStringList{"--date", "tomorrow", "out"},
                                       QStringList{"out", "d", "wide"}, QStringList{"--size", "0x0", "out"},
                                       QStringList{"--colour", "out"}, QStringList{"a", "b", "1x1", "c"}})
            QVERIFY2(!parseScreenshotArgs(bad).error.isEmpty(), qPrintable(bad.join(' ')));
    }

    void recordsAreWrittenExactly_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("some") << 777;
        QTest::newRow("the limit") << kMaxRecords;
    }
    void recordsAreWrittenExactly()
    {
        QFETCH(int, count);
        TempDataDir tmp;
        const QDate last(2026, 12, 8);
        QCOMPARE(writeSampleRecords(tmp.dir(), last, count), QString());
        for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
            const QList<WeightRecord> records = recordsOf(tmp.dir(), p);
            QCOMPARE(records.size(), count);
            QCOMPARE(records.last().date, QStringLiteral("2026/12/08"));
            QVERIFY(std::is_sorted(records.begin(), records.end(),
                                   [](const WeightRecord &a, const WeightRecord &b) { return a.date < b.date; }));
            for (const WeightRecord &r : records)
                QVERIFY2(r.weight > 30 && r.weight < 120, qPrintable(r.date));
        }
        QCOMPARE(lastRecordDay(tmp.dir()), last);
        QVERIFY(!writeSampleRecords(tmp.dir(), last, kMaxRecords + 1).isEmpty());
    }

    void existingFilesAreFound()
    {
        TempDataDir tmp;
        QVERIFY(existingDataFiles(tmp.dir()).isEmpty());
        QVERIFY(!lastRecordDay(tmp.dir()).isValid());
        QFile f(tmp.dir().filePath(QStringLiteral("データ2.TXT"))); // any case of the extension
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(existingDataFiles(tmp.dir()), QStringList{QStringLiteral("データ2.txt")});
    }

    // The tool itself: help is not a folder, and a folder with someone's
    // files is left alone unless forced.
    void toolRefusesWhatItShould()
    {
        QTemporaryDir tmp;
        const QDir here(tmp.path());
        QProcess help;
        help.setWorkingDirectory(tmp.path());
        help.start(QStringLiteral(NANAHOSHI_SAMPLE_DATA), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(60000));
        QCOMPARE(help.exitCode(), 0);
        QVERIFY(help.readAllStandardOutput().contains("usage"));
        QVERIFY(here.entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

        const QString data = here.filePath(QStringLiteral("d"));
        QCOMPARE(runTool({QStringLiteral("--records"), QStringLiteral("5"), data, QStringLiteral("2026/12/08")}), 0);
        QCOMPARE(recordsOf(QDir(data), PersonSlot::One).size(), 5);
        QString err;
        QCOMPARE(runTool({QStringLiteral("--records"), QStringLiteral("9"), data}, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("--force")), qPrintable(err));
        QCOMPARE(recordsOf(QDir(data), PersonSlot::One).size(), 5); // untouched
        QCOMPARE(runTool({QStringLiteral("--force"), QStringLiteral("--records"), QStringLiteral("9"), data}), 0);
        QCOMPARE(recordsOf(QDir(data), PersonSlot::One).size(), 9);
        QCOMPARE(runTool({QStringLiteral("--records"), QStringLiteral("40000"), data}), 2);
    }
};

QTEST_GUILESS_MAIN(TestToolArgs)
#include "test_tool_args.moc"
