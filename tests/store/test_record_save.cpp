#include "store/data_file.h"
#include "store/record_save.h"

#include "temp_data_dir.h"
#include "test_text.h"

#include <QtTest>

using namespace store;
using testtext::crlf;

// Saving a weighing: the file's own last date decides append or insert,
// and the automatic-time diary is never given to a back-dated record.
class TestRecordSave : public QObject {
    Q_OBJECT
private slots:
    void appendOrInsertByTheFilesLastDate();
    void saveAppendsOrInsertsInDateOrder();
};

void TestRecordSave::appendOrInsertByTheFilesLastDate()
{
    QCOMPARE(saveModeFor("2008/03/10", "2008/03/09"), SaveMode::Insert);
    QCOMPARE(saveModeFor("2008/03/10", "2008/03/10"), SaveMode::Append);
    QCOMPARE(saveModeFor("2008/03/10", "2008/03/11"), SaveMode::Append);
    QCOMPARE(saveModeFor("2008/12/31", "2009/01/01"), SaveMode::Append);
    QCOMPARE(saveModeFor(QString(), "2009/01/01"), SaveMode::Append);
    QCOMPARE(diaryFor(SaveMode::Insert, true, "9:05:07"), QString());
    QCOMPARE(diaryFor(SaveMode::Append, true, "9:05:07"), QString("9:05:07"));
    QCOMPARE(diaryFor(SaveMode::Append, false, "9:05:07"), QString());
}

void TestRecordSave::saveAppendsOrInsertsInDateOrder()
{
    TempDataDir tmp;
    const QString file = QStringLiteral("データ1.txt");
    tmp.writeBytes(file, crlf({"\"2008/03/01\",\"朝\",65,\"\",\"\",\"\"",
                              "\"2008/03/05\",\"朝\",64.5,\"\",\"\",\"\""}));
    const DataDir dir(tmp.dir());

    SaveMode mode{};
    QVERIFY(!saveNewRecord(dir, file, {"2008/03/06", "夜", 64.2f, true, "21:00:00"}, &mode));
    QCOMPARE(mode, SaveMode::Append);
    QVERIFY(!saveNewRecord(dir, file, {"2008/03/03", "昼", 64.8f, true, "21:01:00"}, &mode));
    QCOMPARE(mode, SaveMode::Insert);

    QCOMPARE(tmp.readBytes(file),
             crlf({"\"2008/03/01\",\"朝\",65,\"\",\"\",\"\"",
                        "\"2008/03/03\",\"昼\",64.8,\"\",\"\",\"\"",
                        "\"2008/03/05\",\"朝\",64.5,\"\",\"\",\"\"",
                        "\"2008/03/06\",\"夜\",64.2,\"21:00:00\",\"\",\"\""}));
}

QTEST_GUILESS_MAIN(TestRecordSave)
#include "test_record_save.moc"
