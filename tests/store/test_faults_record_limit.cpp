// The 32,767-record limit of a data file (its record counters are 16-bit):
// a full file refuses another record, by append or by insert, with a clear
// error and stays byte for byte as it was; one record below the limit
// still takes exactly one more; a file beyond the limit is reported at
// the first line too many. Below the limit an append reads no record but
// the last (its speed is the benchmark's business, not a test's).
#include "store/data_dir.h"
#include "store/data_file.h"
#include "temp_data_dir.h"

#include <QtTest>


namespace {

const QString kData = QStringLiteral("データ1.txt");

// n records in date order, written directly as CP932 bytes ("朝" is 92 A9)
// so that building the big file does not depend on the writer under test.
QByteArray recordBytes(int n)
{
    QByteArray b;
    b.reserve(qsizetype(n) * 48);
    const QDate first(1990, 1, 1);
    for (int i = 0; i < n; ++i) {
        b += '"' + first.addDays(i / 2).toString(QStringLiteral("yyyy/MM/dd")).toLatin1() + "\",\"";
        b += QByteArray::fromHex("92a9") + QByteArray::number(i) + "\",";
        b += QByteArray::number(60 + i % 40) + '.' + QByteArray::number(i % 10) + ",\"\",\"\",\"\"\r\n";
    }
    return b;
}

WeightRecord recordOn(const QString &date)
{
    WeightRecord r;
    r.date = date;
    r.situation = QStringLiteral("夜");
    r.weight = 61.5f;
    return r;
}

// After every record of the file, and before all of them.
WeightRecord later() { return recordOn(QStringLiteral("2099/12/31")); }
WeightRecord earlier() { return recordOn(QStringLiteral("1989/12/31")); }

} // namespace

class TestFaultsRecordLimit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullFileRefusesAnotherRecordAndStaysUnchanged();
    void oneBelowTheLimitTakesExactlyOneMore();
    void fileBeyondTheLimitIsReportedAtTheFirstLineTooMany();
};

void TestFaultsRecordLimit::fullFileRefusesAnotherRecordAndStaysUnchanged()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray full = recordBytes(kMaxRecords);
    tmp.writeBytes(kData, full);

    QList<WeightRecord> rs;
    const MaybeError read = store::readRecords(dir, kData, &rs);
    QVERIFY2(!read, read ? qPrintable(read->message()) : "");
    QCOMPARE(rs.size(), kMaxRecords);
    QCOMPARE(rs.last().situation, QStringLiteral("朝%1").arg(kMaxRecords - 1));

    const QStringList entries = tmp.entries();
    const struct {
        const char *how;
        MaybeError (*add)(const DataDir &);
    } attempts[] = {
        {"append", [](const DataDir &d) { return store::appendRecord(d, kData, later()); }},
        {"insert before all", [](const DataDir &d) { return store::insertRecordInOrder(d, kData, earlier()); }},
        {"insert after all", [](const DataDir &d) { return store::insertRecordInOrder(d, kData, later()); }},
    };
    for (const auto &a : attempts) {
        const MaybeError e = a.add(dir);
        QVERIFY2(e.has_value(), a.how);
        const QString msg = e->message();
        QVERIFY2(msg.contains(kData) && msg.contains(QString::number(kMaxRecords)),
                 qPrintable(QLatin1String(a.how) + QStringLiteral(": ") + msg));
        QVERIFY2(tmp.readBytes(kData) == full, a.how);
        QCOMPARE(tmp.entries(), entries);
    }
}

void TestFaultsRecordLimit::oneBelowTheLimitTakesExactlyOneMore()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray almost = recordBytes(kMaxRecords - 1);

    // By append: the last free place is taken, then the file is full. The
    // append counts line breaks and reads the last line, nothing more.
    tmp.writeBytes(kData, almost);
    store::resetWholeFileReads();
    MaybeError e = store::appendRecord(dir, kData, later());
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(store::wholeFileReads(dir, kData), 0);
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), kMaxRecords);
    QCOMPARE(rs.last(), later());
    const QByteArray full = tmp.readBytes(kData);
    QVERIFY(store::appendRecord(dir, kData, later()).has_value());
    QCOMPARE(tmp.readBytes(kData), full);

    // By insert: the same.
    tmp.writeBytes(kData, almost);
    e = store::insertRecordInOrder(dir, kData, earlier());
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), kMaxRecords);
    QCOMPARE(rs.first(), earlier());
    QVERIFY(store::insertRecordInOrder(dir, kData, earlier()).has_value());
    QCOMPARE(tmp.entries(), QStringList{kData});
}

void TestFaultsRecordLimit::fileBeyondTheLimitIsReportedAtTheFirstLineTooMany()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray tooMany = recordBytes(kMaxRecords + 1);
    tmp.writeBytes(kData, tooMany);
    QList<WeightRecord> rs;
    const MaybeError e = store::readRecords(dir, kData, &rs);
    QVERIFY(e.has_value());
    QCOMPARE(e->file, kData);
    QCOMPARE(e->line, kMaxRecords + 1);
    QVERIFY2(e->message().contains(QString::number(kMaxRecords)), qPrintable(e->message()));
    // Neither an append nor an insert makes it worse.
    QVERIFY(store::appendRecord(dir, kData, later()).has_value());
    QVERIFY(store::insertRecordInOrder(dir, kData, earlier()).has_value());
    QCOMPARE(tmp.readBytes(kData), tooMany);
}

QTEST_GUILESS_MAIN(TestFaultsRecordLimit)
#include "test_faults_record_limit.moc"
