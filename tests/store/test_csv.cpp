// CSV export and import: the four export layouts byte for byte, reading
// real files of other trackers (tests/data), encodings, separators, dates,
// weights, texts the data file cannot hold, duplicates, the record limit
// and the merge into the data file.
#include "records.h"
#include "store/csv_exchange.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "temp_data_dir.h"
#include "test_text.h"

#include <QFile>
#include <QtTest>

using namespace csv;
using testrec::rec;

namespace {

const QString kData1 = QStringLiteral("データ1.txt");
// Japan has no summer time, so a fixed +09:00 is its local time all year.
const QTimeZone kTokyo(9 * 3600);

QByteArray dataFile(const QString &name)
{
    QFile f(QStringLiteral(NANAHOSHI_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test file %s", qPrintable(name));
    return f.readAll();
}

ImportPlan plan(const QByteArray &bytes, const QList<WeightRecord> &existing = {},
                DateOrder order = DateOrder::Unknown)
{
    ImportOptions o;
    o.zone = kTokyo;
    o.dateOrder = order;
    return planImport(bytes, existing, o);
}

ImportPlan planFile(const QString &name, const QList<WeightRecord> &existing = {})
{
    return plan(dataFile(name), existing);
}

WeightRecord rec4(const QString &date, const QString &situation, float weight,
                  const QString &diary = QString())
{
    return rec(date, situation, weight, diary);
}

// The records of a data file from tests/data, read by the store.
QList<WeightRecord> readDataFile(const QString &name, QByteArray *bytes)
{
    TempDataDir tmp;
    *bytes = dataFile(name);
    tmp.writeBytes(kData1, *bytes);
    QList<WeightRecord> out;
    const MaybeError e = store::readRecords(DataDir(tmp.dir()), kData1, &out);
    if (e)
        qFatal("%s", qPrintable(e->message()));
    return out;
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT

private slots:
    // Export layouts.
    void ownExportOfADataFile();
    void ownExportImportedIntoAnEmptyPersonGivesTheDataFileBack();
    void openScaleExportGivesEveryRecordOfADayItsOwnTime();
    void openScaleTimeOfASituation_data();
    void openScaleTimeOfASituation();
    void libraExportHasOneLineADayAtLocalSixInUtc();
    void simpleExport();
    void layoutNames();
    void fieldQuoting();

    // Reading the files of other trackers.
    void openScaleLine();
    void openScaleFullExport();
    void libraFile();
    void libraInPounds();
    void simpleFileWithCrLf();
    void sameFileInUtf8AndCp932();
    void badDateOnLineSevenIsNamed();
    void importingTwiceAddsNothing_data();
    void importingTwiceAddsNothing();

    // Reading rules.
    void separatorsAndDecimalComma_data();
    void separatorsAndDecimalComma();
    void headerNamesInAnyCaseAndOrder();
    void dates_data();
    void dates();
    void dayMonthOrderIsAskedOnlyWhenTheFileCannotTell_data();
    void dayMonthOrderIsAskedOnlyWhenTheFileCannotTell();
    void poundsFromTheHeader();
    void weightRange();
    void textsTheDataFileCannotHoldAreBadLines();
    void quotedLineBreaksKeepLineNumbers();
    void duplicatesAgainstExistingRecords();
    void recordLimitRefusesTheWholeImport();
    void filesThatCannotBeImported_data();
    void filesThatCannotBeImported();
    void previewNamesEveryFact();
    void damagedFilesNeverBreakThePlan();

    // Merging.
    void mergePutsNewRecordsAfterTheirDay();
};

void TestCsv::ownExportOfADataFile()
{
    QByteArray bytes;
    const QList<WeightRecord> records = readDataFile(QStringLiteral("own_data.txt"), &bytes);
    QCOMPARE(records.size(), 8);
    QCOMPARE(exportRecords(records, Layout::Own), dataFile(QStringLiteral("own.csv")));
}

void TestCsv::ownExportImportedIntoAnEmptyPersonGivesTheDataFileBack()
{
    QByteArray original;
    const QList<WeightRecord> records = readDataFile(QStringLiteral("own_data.txt"), &original);
    const ImportPlan p = plan(exportRecords(records, Layout::Own));
    QCOMPARE(p.error, QString());
    QCOMPARE(p.encoding, Encoding::Utf8WithBom);
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.duplicates, 0);
    // The same weighing twice on 03/04 is two weighings, both kept.
    QCOMPARE(p.toAdd, records);
    QByteArray merged;
    QVERIFY(!mergedRecordBytes(kData1, {}, p.toAdd, &merged));
    QCOMPARE(merged, original);
}

void TestCsv::openScaleExportGivesEveryRecordOfADayItsOwnTime()
{
    const QList<WeightRecord> records{
        rec4("2025/04/07", "朝", 72.6f, "軽い"),
        rec4("2025/04/07", "夕食後", 73.0f), // 07:01 belongs to a later record
        rec4("2025/04/07", "07:01", 72.5f),
        rec4("2025/04/07", "9:05:07", 72.9f, "x"), // the time button's form
        rec4("2025/04/08", "朝", 72.4f, "a,b"),
    };
    QCOMPARE(exportRecords(records, Layout::OpenScale),
             QStringLiteral("DATE,TIME,WEIGHT,COMMENT\n"
                            "2025-04-07,07:00,72.6,朝 / 軽い\n"
                            "2025-04-07,07:02,73,夕食後\n"
                            "2025-04-07,07:01,72.5,\n"
                            "2025-04-07,09:05,72.9,x\n"
                            "2025-04-08,07:00,72.4,\"朝 / a,b\"\n")
                 .toUtf8());
}

void TestCsv::openScaleTimeOfASituation_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("line");
    QTest::newRow("HH:mm") << "23:59" << "2025-04-07,23:59,70,";
    QTest::newRow("H:mm:ss") << "0:00:59" << "2025-04-07,00:00,70,";
    QTest::newRow("hour 24") << "24:00" << "2025-04-07,07:00,70,24:00";
    QTest::newRow("minute 60") << "7:60" << "2025-04-07,07:00,70,7:60";
    QTest::newRow("second 60") << "7:05:60" << "2025-04-07,07:00,70,7:05:60";
    QTest::newRow("one minute digit") << "7:5" << "2025-04-07,07:00,70,7:5";
    QTest::newRow("text after") << "7:05頃" << "2025-04-07,07:00,70,7:05頃";
    QTest::newRow("full-width digits") << "７:05" << "2025-04-07,07:00,70,７:05";
}

void TestCsv::openScaleTimeOfASituation()
{
    QFETCH(QString, situation);
    QFETCH(QString, line);
    const QByteArray out = exportRecords({rec4("2025/04/07", situation, 70.0f)}, Layout::OpenScale);
    QCOMPARE(QString::fromUtf8(out).split(u'\n').value(1), line);
}

void TestCsv::libraExportHasOneLineADayAtLocalSixInUtc()
{
    const QList<WeightRecord> records{
        rec4("2008/09/07", "朝", 70.4f),         rec4("2008/09/07", "夜", 70.1f, "good"),
        rec4("2008/09/08", "朝", 70.3f, "a;b"),  rec4("2008/09/08", "夜", 70.0f, "c"),
        rec4("2008/09/10", "朝", 70.1f),         rec4("2008/09/10", "昼", 70.2f),
        rec4("2008/09/10", "夜", 70.2f),
    };
    const QByteArray head = "#Version:5\n#Units:kg\n\n"
                            "#date;weight;weight trend;body fat;body fat trend;log\n";
    QCOMPARE(exportRecords(records, Layout::Libra, kTokyo),
             head + QStringLiteral("2008-09-06T21:00:00.000Z;70.25;;;;good\n"
                                   "2008-09-07T21:00:00.000Z;70.15;;;;\"a;b / c\"\n"
                                   "2008-09-09T21:00:00.000Z;70.17;;;;\n")
                        .toUtf8());
    // West of Greenwich 06:00 is later the same day in UTC.
    QCOMPARE(exportRecords({rec4("2008/09/07", "朝", 70.4f)}, Layout::Libra, QTimeZone(-5 * 3600)),
             head + "2008-09-07T11:00:00.000Z;70.4;;;;\n");
}

void TestCsv::simpleExport()
{
    QCOMPARE(exportRecords({rec4("2025/04/07", "朝", 72.5f), rec4("2025/04/07", "夜", 73.0f)},
                           Layout::Simple),
             QByteArray("date,weight\n2025-04-07,72.5\n2025-04-07,73\n"));
    QCOMPARE(exportRecords({}, Layout::Own), QByteArray("\xEF\xBB\xBF") + QStringLiteral("日付,状況,体重,一言日記\r\n").toUtf8());
}

void TestCsv::layoutNames()
{
    QCOMPARE(layoutFromName(u"own"), std::optional<Layout>(Layout::Own));
    QCOMPARE(layoutFromName(u"OpenScale"), std::optional<Layout>(Layout::OpenScale));
    QCOMPARE(layoutFromName(u"LIBRA"), std::optional<Layout>(Layout::Libra));
    QCOMPARE(layoutFromName(u"simple"), std::optional<Layout>(Layout::Simple));
    QVERIFY(!layoutFromName(u"excel"));
    for (Layout l : {Layout::Own, Layout::OpenScale, Layout::Libra, Layout::Simple})
        QCOMPARE(layoutFromName(layoutName(l)), std::optional<Layout>(l));
}

void TestCsv::fieldQuoting()
{
    QCOMPARE(csvField("朝", u','), QStringLiteral("朝"));
    QCOMPARE(csvField("a,b", u','), QStringLiteral("\"a,b\""));
    QCOMPARE(csvField("a,b", u';'), QStringLiteral("a,b"));
    QCOMPARE(csvField("a;b", u';'), QStringLiteral("\"a;b\""));
    QCOMPARE(csvField("say \"hi\"", u','), QStringLiteral("\"say \"\"hi\"\"\""));
    QCOMPARE(csvField("two\nlines", u','), QStringLiteral("\"two\nlines\""));
    QCOMPARE(csvField(" padded", u','), QStringLiteral("\" padded\""));
    QCOMPARE(csvField("", u','), QString());
}

void TestCsv::openScaleLine()
{
    const ImportPlan p = planFile(QStringLiteral("openscale.csv"));
    QCOMPARE(p.error, QString());
    QCOMPARE(p.encoding, Encoding::Utf8);
    QCOMPARE(p.separator, QChar(u','));
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.toAdd, (QList<WeightRecord>{
                          rec4("2025/04/06", "07:00", 72.8f, "起床後"),
                          rec4("2025/04/06", "21:15", 73.4f, "夕食後 / 外食, ラーメン"),
                          rec4("2025/04/07", "08:30", 72.5f),
                          rec4("2025/04/07", "07:01", 72.6f, "朝 / 体が軽い"),
                      }));
    QCOMPARE(p.firstDate, QStringLiteral("2025/04/06"));
    QCOMPARE(p.lastDate, QStringLiteral("2025/04/07"));
    QVERIFY(p.canImport());
}

void TestCsv::openScaleFullExport()
{
    const ImportPlan p = planFile(QStringLiteral("openscale_full.csv"));
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.toAdd, (QList<WeightRecord>{
                          rec4("2025/04/05", "07:12", 73.1f),
                          rec4("2025/04/06", "18:40", 72.9f, "after run"),
                      }));
}

void TestCsv::libraFile()
{
    const ImportPlan p = planFile(QStringLiteral("libra.csv"));
    QCOMPARE(p.separator, QChar(u';'));
    QVERIFY(!p.pounds);
    QCOMPARE(p.badLines, QList<BadLine>());
    // 21:00 UTC is 06:00 of the next day in Tokyo.
    QCOMPARE(p.toAdd, (QList<WeightRecord>{
                          rec4("2008/09/07", "06:00", 70.5f),
                          rec4("2008/09/08", "06:00", 70.2f, "good start"),
                          rec4("2008/09/09", "06:00", 70.35f, "late dinner; too much rice"),
                      }));

    // A Libra export of ours reads back as one record a day.
    const QList<WeightRecord> days{rec4("2008/09/07", "朝", 70.4f), rec4("2008/09/07", "夜", 70.1f, "good")};
    ImportOptions o;
    o.zone = kTokyo;
    const ImportPlan back = planImport(exportRecords(days, Layout::Libra, kTokyo), {}, o);
    QCOMPARE(back.toAdd, QList<WeightRecord>{rec4("2008/09/07", "06:00", 70.25f, "good")});
}

void TestCsv::libraInPounds()
{
    const ImportPlan p = planFile(QStringLiteral("libra_lb.csv"));
    QVERIFY(p.pounds);
    // 160 lb = 72.5747792 kg, 159.6 lb = 72.3933423 kg.
    QCOMPARE(p.toAdd.size(), 2);
    QCOMPARE(p.toAdd[0].weight, 72.57f);
    QCOMPARE(p.toAdd[1].weight, 72.39f);
}

void TestCsv::simpleFileWithCrLf()
{
    const ImportPlan p = planFile(QStringLiteral("simple.csv"));
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.toAdd, (QList<WeightRecord>{
                          rec4("2025/04/01", "インポート", 72.5f),
                          rec4("2025/04/02", "インポート", 72.3f),
                          rec4("2025/04/02", "インポート", 72.1f),
                          rec4("2025/04/04", "インポート", 72.0f),
                      }));
}

void TestCsv::sameFileInUtf8AndCp932()
{
    const ImportPlan utf8 = planFile(QStringLiteral("japanese_utf8.csv"));
    const ImportPlan sjis = planFile(QStringLiteral("japanese_cp932.csv"));
    QCOMPARE(utf8.encoding, Encoding::Utf8);
    QCOMPARE(sjis.encoding, Encoding::Cp932);
    QCOMPARE(utf8.badLines, QList<BadLine>());
    // The UTF-8 copy has "−" (U+2212); CP932 keeps it as 0x817C, which
    // reads back as "－" (U+FF0D): both copies give what the data file holds.
    const QList<WeightRecord> expected{
        rec4("2025/06/01", "07:05", 58.4f, "朝食前～①"),
        rec4("2025/06/01", "22:30", 59.1f, "夜食, ソフトクリーム－表"),
        rec4("2025/06/02", "06:50", 58.3f, "ｱｲｽは我慢"),
        rec4("2025/06/03", "06:45", 58.25f),
    };
    QCOMPARE(utf8.toAdd, expected);
    QCOMPARE(sjis.toAdd, expected);
    QCOMPARE(sjis.badLines, utf8.badLines);
    // The CP932-only characters reach the data file as Windows writes them.
    QByteArray bytes;
    QVERIFY(!mergedRecordBytes(kData1, {}, sjis.toAdd, &bytes));
    QVERIFY(bytes.contains(QByteArray("\x81\x60\x87\x40", 4))); // ～①
    QVERIFY(bytes.contains(QByteArray("\x81\x7C\x95\x5C", 4))); // −表
}

void TestCsv::badDateOnLineSevenIsNamed()
{
    const ImportPlan p = planFile(QStringLiteral("bad_date_line7.csv"));
    QCOMPARE(p.badLines, QList<BadLine>({{7, QStringLiteral("日付「2025/05/32」が読めません")}}));
    QCOMPARE(p.toAdd.size(), 5);
    QCOMPARE(p.toAdd.last(), rec4("2025/05/06", "起床後", 64.6f));
    QVERIFY(p.canImport());
    QVERIFY(previewText(p).contains(QStringLiteral("7行目: 日付「2025/05/32」が読めません")));
}

void TestCsv::importingTwiceAddsNothing_data()
{
    QTest::addColumn<QString>("file");
    for (const char *f : {"openscale.csv", "openscale_full.csv", "libra.csv", "libra_lb.csv",
                          "simple.csv", "japanese_cp932.csv", "bad_date_line7.csv", "own.csv"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void TestCsv::importingTwiceAddsNothing()
{
    QFETCH(QString, file);
    const QList<WeightRecord> existing{rec4("2000/01/01", "はじめの一歩", 80.0f)};
    const ImportPlan first = planFile(file, existing);
    QVERIFY(first.canImport());
    const QList<WeightRecord> after = mergeRecords(existing, first.toAdd);
    const ImportPlan second = planFile(file, after);
    QCOMPARE(second.toAdd, QList<WeightRecord>());
    QCOMPARE(second.duplicates, int(first.toAdd.size()));
    QCOMPARE(second.badLines, first.badLines);
    QVERIFY(!second.canImport());
}

void TestCsv::separatorsAndDecimalComma_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QList<WeightRecord>>("records");
    QTest::newRow("semicolon, decimal comma, no header")
        << QByteArray("07.04.2025 08:30;72,5\n08.04.2025 07:45;72,3\n") << QChar(u';')
        << QList<WeightRecord>{rec4("2025/04/07", "08:30", 72.5f), rec4("2025/04/08", "07:45", 72.3f)};
    QTest::newRow("tab") << QByteArray("Date\tWeight\tNote\n2025-04-07\t72.5\ta, b; c\n") << QChar(u'\t')
                         << QList<WeightRecord>{rec4("2025/04/07", "インポート", 72.5f, "a, b; c")};
    QTest::newRow("quoted decimal comma")
        << QByteArray("date,weight\n2025-04-07,\"72,5\"\n") << QChar(u',')
        << QList<WeightRecord>{rec4("2025/04/07", "インポート", 72.5f)};
    QTest::newRow("headerless date and time columns")
        << QByteArray("2025-04-07,08:30,72.5\n") << QChar(u',')
        << QList<WeightRecord>{rec4("2025/04/07", "08:30", 72.5f)};
    QTest::newRow("comments and empty lines")
        << QByteArray("# exported\n\ndate;weight\n# a note\n2025-04-07;72.5\n\n;;\n") << QChar(u';')
        << QList<WeightRecord>{rec4("2025/04/07", "インポート", 72.5f)};
}

void TestCsv::separatorsAndDecimalComma()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QChar, separator);
    QFETCH(QList<WeightRecord>, records);
    const ImportPlan p = plan(bytes);
    QCOMPARE(p.error, QString());
    QCOMPARE(p.separator, separator);
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.toAdd, records);
}

void TestCsv::headerNamesInAnyCaseAndOrder()
{
    const ImportPlan p = plan(QStringLiteral("体重,メモ,状況,日付\n"
                                             "72.5,ひとこと,起床後,2025/04/07\n"
                                             "体重,メモ,状況,日付\n" // a second file's header
                                             "72.3,,夕食後,2025/04/08\n")
                                  .toUtf8());
    QCOMPARE(p.badLines, QList<BadLine>());
    QCOMPARE(p.toAdd, (QList<WeightRecord>{rec4("2025/04/07", "起床後", 72.5f, "ひとこと"),
                                           rec4("2025/04/08", "夕食後", 72.3f)}));
    const ImportPlan q = plan("DATETIME;WEIGHT;LOG;TIME\n2025-04-07T23:10:00;72.5;x;06:30\n");
    QCOMPARE(q.toAdd, QList<WeightRecord>{rec4("2025/04/07", "06:30", 72.5f, "x")});
}

void TestCsv::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("time"); // "" when none
    QTest::newRow("iso") << "2025-04-07" << QDate(2025, 4, 7) << "";
    QTest::newRow("stored") << "2025/04/07" << QDate(2025, 4, 7) << "";
    QTest::newRow("no leading zeros") << "2025/4/7" << QDate(2025, 4, 7) << "";
    QTest::newRow("japanese") << "2025年4月7日" << QDate(2025, 4, 7) << "";
    QTest::newRow("iso local time") << "2025-04-07T23:30:00" << QDate(2025, 4, 7) << "23:30";
    QTest::newRow("space and seconds") << "2025-04-07 08:30:15" << QDate(2025, 4, 7) << "08:30";
    QTest::newRow("utc before midnight in Tokyo") << "2025-04-07T14:59:59Z" << QDate(2025, 4, 7)
                                                  << "23:59";
    QTest::newRow("utc after midnight in Tokyo") << "2025-04-07T15:00:00.000Z" << QDate(2025, 4, 8)
                                                 << "00:00";
    QTest::newRow("offset") << "2025-04-07T23:30:00-05:00" << QDate(2025, 4, 8) << "13:30";
    QTest::newRow("offset without colon") << "2025-04-07T10:00:00+0900" << QDate(2025, 4, 7)
                                          << "10:00";
    QTest::newRow("offset out of range") << "2025-04-07T10:00:00+99:00" << QDate() << "";
    QTest::newRow("dotted with time") << "07.04.2025 08:30" << QDate(2025, 4, 7) << "08:30";
    QTest::newRow("dotted") << "07.04.2025" << QDate(2025, 4, 7) << "";
    QTest::newRow("month first with pm") << "4/7/2025 8:30 PM" << QDate(2025, 4, 7) << "20:30";
    QTest::newRow("no such day") << "2025-02-29" << QDate() << "";
    QTest::newRow("leap day") << "2024-02-29" << QDate(2024, 2, 29) << "";
    QTest::newRow("month 13") << "2025-13-01" << QDate() << "";
    QTest::newRow("hour 24") << "2025-04-07T24:00:00" << QDate() << "";
    QTest::newRow("two-digit year") << "25-04-07" << QDate() << "";
    QTest::newRow("words") << "yesterday" << QDate() << "";
}

void TestCsv::dates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QFETCH(QString, time);
    std::optional<QTime> t;
    const std::optional<QDate> d = parseDate(text, DateOrder::MonthFirst, kTokyo, &t);
    QCOMPARE(d.value_or(QDate()), date);
    if (d)
        QCOMPARE(t ? t->toString(QStringLiteral("HH:mm")) : QString(), time);
}

void TestCsv::dayMonthOrderIsAskedOnlyWhenTheFileCannotTell_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<DateOrder>("found");
    QTest::addColumn<QString>("firstDate");
    QTest::newRow("cannot tell") << QByteArray("date,weight\n4/7/2025,72.5\n4/8/2025,72.3\n") << true
                                 << DateOrder::Unknown << QString();
    QTest::newRow("a day above 12 second") << QByteArray("date,weight\n4/7/2025,72.5\n4/13/2025,72.3\n")
                                           << false << DateOrder::MonthFirst << "2025/04/07";
    QTest::newRow("a day above 12 first") << QByteArray("date,weight\n4/7/2025,72.5\n13/7/2025,72.3\n")
                                          << false << DateOrder::DayFirst << "2025/07/04";
    QTest::newRow("either way the same") << QByteArray("date,weight\n4/4/2025,72.5\n5/5/2025,72.3\n")
                                         << false << DateOrder::MonthFirst << "2025/04/04";
    QTest::newRow("contradicting lines") << QByteArray("date,weight\n4/13/2025,72.5\n13/4/2025,72.3\n")
                                         << true << DateOrder::Unknown << QString();
}

void TestCsv::dayMonthOrderIsAskedOnlyWhenTheFileCannotTell()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, asks);
    QFETCH(DateOrder, found);
    QFETCH(QString, firstDate);
    const ImportPlan p = plan(bytes);
    QCOMPARE(p.needsDateOrder, asks);
    if (asks) {
        QVERIFY(!p.canImport());
        QVERIFY(p.toAdd.isEmpty());
        // The caller asks once and plans again with the answer.
        const ImportPlan month = plan(bytes, {}, DateOrder::MonthFirst);
        const ImportPlan day = plan(bytes, {}, DateOrder::DayFirst);
        QVERIFY(!month.needsDateOrder);
        QCOMPARE(month.dateOrder, DateOrder::MonthFirst);
        QCOMPARE(day.dateOrder, DateOrder::DayFirst);
        QCOMPARE(month.toAdd.size() + month.badLines.size(), 2);
        QCOMPARE(day.toAdd.size() + day.badLines.size(), 2);
        QVERIFY(month.toAdd != day.toAdd);
    } else {
        QCOMPARE(p.dateOrder, found);
        QCOMPARE(p.firstDate, firstDate);
        QCOMPARE(p.toAdd.size(), 2);
    }
}

void TestCsv::poundsFromTheHeader()
{
    for (const char *header : {"date,weight (lb)", "Date,Weight(lbs)", "日付,体重（ポンド）", "date,weight_lb"}) {
        const ImportPlan p = plan(QByteArray(header) + "\n2025-04-07,160\n");
        QVERIFY2(p.pounds, header);
        QCOMPARE(p.toAdd.size(), 1);
        QCOMPARE(p.toAdd[0].weight, 72.57f);
    }
    const ImportPlan kg = plan("date,weight (kg)\n2025-04-07,72.5\n");
    QVERIFY(!kg.pounds);
    QCOMPARE(kg.toAdd[0].weight, 72.5f);
}

void TestCsv::weightRange()
{
    const ImportPlan p = plan("date,weight\n"
                              "2025-04-01,0\n"
                              "2025-04-02,-1\n"
                              "2025-04-03,500\n"
                              "2025-04-04,500.01\n"
                              "2025-04-05,abc\n"
                              "2025-04-06,\n"
                              "2025-04-07,0.01\n"
                              "2025-04-08,72.5kg\n"
                              "2025-04-09,0.0000000000000000000013\n"
                              "2025-04-10,0.004\n"
                              "2025-04-11,0.005\n"
                              "2025-04-12,70.126\n"
                              "2025-04-13,500.004\n");
    // Weights are held to the hundredth, so what is imported reads back
    // from the data file as it was taken in.
    QCOMPARE(p.toAdd, (QList<WeightRecord>{rec4("2025/04/03", "インポート", 500.0f),
                                           rec4("2025/04/07", "インポート", 0.01f),
                                           rec4("2025/04/11", "インポート", 0.01f),
                                           rec4("2025/04/12", "インポート", 70.13f),
                                           rec4("2025/04/13", "インポート", 500.0f)}));
    QCOMPARE(p.badLines,
             (QList<BadLine>{
                 {2, QStringLiteral("体重「0」が 0kg より大きく 500kg 以下の範囲にありません")},
                 {3, QStringLiteral("体重「-1」が 0kg より大きく 500kg 以下の範囲にありません")},
                 {5, QStringLiteral("体重「500.01」が 0kg より大きく 500kg 以下の範囲にありません")},
                 {6, QStringLiteral("体重「abc」が数値ではありません")},
                 {7, QStringLiteral("体重がありません")},
                 {9, QStringLiteral("体重「72.5kg」が数値ではありません")},
                 {10, QStringLiteral("体重「0.0000000000000000000013」が 0kg より大きく 500kg 以下の範囲にありません")},
                 {11, QStringLiteral("体重「0.004」が 0kg より大きく 500kg 以下の範囲にありません")},
             }));
}

void TestCsv::textsTheDataFileCannotHoldAreBadLines()
{
    const ImportPlan p = plan(QStringLiteral("日付,状況,体重,一言日記\n"
                                             "2025/04/01,朝,72.5,\"say \"\"hi\"\"\"\n"
                                             "2025/04/02,朝,72.4,😀\n"
                                             "2025/04/03,\"朝\"\"\",72.3,\n"
                                             "2025/04/04,朝,72.2,ok ①\n"
                                             "2025/04/05,朝,72.1,\"tab\there\"\n")
                                  .toUtf8());
    QCOMPARE(p.toAdd, QList<WeightRecord>{rec4("2025/04/04", "朝", 72.2f, "ok ①")});
    QCOMPARE(p.badLines.size(), 4);
    QCOMPARE(p.badLines[0], (BadLine{2, QStringLiteral("一言日記: ダブルクォーテーション(\")は記録できません")}));
    QCOMPARE(p.badLines[1].line, 3);
    QVERIFY(p.badLines[1].reason.startsWith(QStringLiteral("一言日記: 「😀」")));
    QCOMPARE(p.badLines[2], (BadLine{4, QStringLiteral("状況: ダブルクォーテーション(\")は記録できません")}));
    QCOMPARE(p.badLines[3], (BadLine{6, QStringLiteral("一言日記: 制御文字は記録できません")}));
}

void TestCsv::quotedLineBreaksKeepLineNumbers()
{
    const ImportPlan p = plan("date,weight,comment\r\n"
                              "2025-04-01,72.5,\"two\r\nlines\"\r\n"
                              "2025-04-02,x,\r\n"
                              "2025-04-03,72.3,\"never closed\r\n"
                              "2025-04-04,72.2,\r\n");
    QCOMPARE(p.toAdd, QList<WeightRecord>());
    QCOMPARE(p.badLines, (QList<BadLine>{
                             {2, QStringLiteral("一言日記: 改行は記録できません")},
                             {4, QStringLiteral("体重「x」が数値ではありません")},
                             {5, QStringLiteral("引用符(\")が閉じていません")},
                         }));
    const ImportPlan q = plan("date,weight,comment\n2025-04-01,72.5,\"a\"b\n2025-04-02,72.4,\n");
    QCOMPARE(q.badLines, QList<BadLine>({{2, QStringLiteral("引用符(\")の後に余分な文字があります")}}));
    QCOMPARE(q.toAdd.size(), 1);
}

void TestCsv::duplicatesAgainstExistingRecords()
{
    const QList<WeightRecord> existing{rec4("2025/04/07", "08:30", 72.5f),
                                       rec4("2025/04/08", "起床後", 72.3f)};
    const ImportPlan p = plan("date,time,weight\n"
                              "2025-04-07,08:30,72.5\n"  // already there
                              "2025-04-07,08:30,72.50\n" // the same weighing again in the file
                              "2025-04-07,08:31,72.5\n"  // another time
                              "2025-04-08,08:30,72.3\n"  // another situation
                              "2025-04-09,08:30,72.5\n",
                              existing);
    QCOMPARE(p.duplicates, 1);
    QCOMPARE(p.toAdd, (QList<WeightRecord>{
                          rec4("2025/04/07", "08:30", 72.5f), rec4("2025/04/07", "08:31", 72.5f),
                          rec4("2025/04/08", "08:30", 72.3f), rec4("2025/04/09", "08:30", 72.5f)}));
    const ImportPlan again = plan("date,time,weight\n2025-04-07,08:30,72.5\n2025-04-07,08:30,72.5\n",
                                  mergeRecords(existing, p.toAdd));
    QCOMPARE(again.duplicates, 2);
    QVERIFY(again.toAdd.isEmpty());

    // Texts compare as the data file gives them back: "〜" (U+301C) and
    // "−" (U+2212) are stored as "～" and "－".
    const QByteArray mac = QStringLiteral("date,状況,weight,comment\n2025-04-07,朝−,72.5,〜\n").toUtf8();
    const ImportPlan stored = plan(mac);
    QCOMPARE(stored.toAdd, QList<WeightRecord>{rec4("2025/04/07", "朝－", 72.5f, "～")});
    QCOMPARE(plan(mac, stored.toAdd).duplicates, 1);
}

void TestCsv::recordLimitRefusesTheWholeImport()
{
    const QList<WeightRecord> existing(kMaxRecords - 2, rec4("2000/01/01", "朝", 70.0f));
    const QByteArray two = "date,weight\n2025-04-07,72.5\n2025-04-08,72.4\n";
    const ImportPlan fits = plan(two, existing);
    QVERIFY(!fits.tooMany);
    QVERIFY(fits.canImport());
    const ImportPlan over = plan(two + "2025-04-09,72.3\n", existing);
    QVERIFY(over.tooMany);
    QVERIFY(!over.canImport());
    QCOMPARE(over.toAdd.size(), 3);
    QCOMPARE(over.refusal, QStringLiteral("今の記録32765件に3件を加えると32768件になり、記録の上限32767件を"
                                          "超えるため、読み込みません"));
    QVERIFY(previewText(over).contains(over.refusal));
}

void TestCsv::filesThatCannotBeImported_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("読み込める記録の行がありません");
    QTest::newRow("header only") << QByteArray("date,weight\r\n")
                                 << QStringLiteral("読み込める記録の行がありません");
    QTest::newRow("no weights") << QByteArray("date,note\n2025-04-07,x\n")
                                << QStringLiteral("体重の列が見つかりません");
    QTest::newRow("no dates") << QByteArray("weight\n72.5\n") << QStringLiteral("日付の列が見つかりません");
    QTest::newRow("neither UTF-8 nor CP932") << QByteArray("date,weight\n\x85\xff,72\n")
                                             << QStringLiteral("文字コードが UTF-8 でもシフトJIS でもないため読めません");
    QTest::newRow("broken UTF-8 after a BOM") << QByteArray("\xEF\xBB\xBF" "date,weight\n\xff,72\n")
                                              << QStringLiteral("UTF-8 の印(BOM)がありますが、UTF-8 として読めない文字があります");
}

void TestCsv::filesThatCannotBeImported()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const ImportPlan p = plan(bytes);
    QCOMPARE(p.error, error);
    QVERIFY(!p.canImport());
    QCOMPARE(previewText(p), error);
}

void TestCsv::previewNamesEveryFact()
{
    const ImportPlan p = plan("date,weight\n2025-04-07,72.5\n2025-04-08,x\n2025-04-09,72.3\n",
                              {rec4("2025/04/09", "インポート", 72.3f)});
    QCOMPARE(previewText(p), QStringLiteral("追加する記録: 1件\n"
                                            "重複のため追加しない記録: 1件\n"
                                            "読み込めない行: 1行\n"
                                            "　3行目: 体重「x」が数値ではありません\n"
                                            "期間: 2025/04/07 ～ 2025/04/07"));
}

void TestCsv::damagedFilesNeverBreakThePlan()
{
    // Every file cut short and every byte changed in turn: the plan names
    // lines that exist, and whatever it would add the data file can hold.
    for (const char *name : {"own.csv", "libra.csv", "japanese_cp932.csv", "openscale_full.csv"}) {
        const QByteArray good = dataFile(QString::fromLatin1(name));
        QList<QByteArray> damaged;
        for (qsizetype k = 0; k < good.size(); ++k) {
            damaged.append(good.left(k));
            for (const char c : {'\0', '"', ',', ';', '\n', '\x81', '\xff', '#'}) {
                QByteArray b = good;
                b[k] = c;
                damaged.append(b);
            }
        }
        for (const QByteArray &b : std::as_const(damaged)) {
            const ImportPlan p = plan(b);
            // CR LF, LF and a lone CR each end a line.
            const int lines = int(b.count('\n') + b.count('\r') - b.count("\r\n")) + 1;
            for (const BadLine &l : p.badLines)
                QVERIFY2(l.line >= 1 && l.line <= lines, name);
            QByteArray bytes;
            const MaybeError e = mergedRecordBytes(kData1, {}, p.toAdd, &bytes);
            QVERIFY2(!e, qPrintable(e ? e->message() : QString()));
        }
    }
}

void TestCsv::mergePutsNewRecordsAfterTheirDay()
{
    const QList<WeightRecord> existing{rec4("2025/04/01", "a", 70), rec4("2025/04/03", "b", 70),
                                       rec4("2025/04/03", "c", 70), rec4("2025/04/05", "d", 70)};
    const QList<WeightRecord> added{rec4("2025/04/03", "e", 71), rec4("2025/04/02", "f", 71),
                                    rec4("2025/04/06", "g", 71), rec4("2025/03/30", "h", 71),
                                    rec4("2025/04/03", "i", 71)};
    QStringList order;
    const QList<WeightRecord> merged = mergeRecords(existing, added);
    for (const WeightRecord &r : merged)
        order.append(r.situation);
    QCOMPARE(order, QStringList({"h", "a", "f", "b", "c", "e", "i", "d", "g"}));

    QByteArray bytes, expected;
    QVERIFY(!mergedRecordBytes(kData1, existing, added, &bytes));
    QVERIFY(!store::recordFileBytes(kData1, merged, &expected));
    QCOMPARE(bytes, expected);
    QVERIFY(bytes.startsWith(testtext::sjis(QStringLiteral("\"2025/03/30\",\"h\",71,\"\",\"\",\"\"\r\n"))));
}

QTEST_GUILESS_MAIN(TestCsv)
#include "test_csv.moc"
