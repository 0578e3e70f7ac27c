// Snapshots under backup/, corrections and removals of records, restore
// and one level of undo, on real files in a temporary data directory with
// a fixed clock.
#include "fixed_clock.h"
#include "records.h"
#include "store/backup.h"
#include "store/codec.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/record_edit.h"
#include "store/undo.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <cerrno>

using testrec::rec;

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kData2 = QStringLiteral("データ2.txt");

QList<WeightRecord> sample()
{
    return {
        rec(QStringLiteral("2008/03/01"), QStringLiteral("はじめの一歩"), 74.5f),
        rec(QStringLiteral("2008/03/09"), QStringLiteral("朝"), 74.2f, QStringLiteral("表ソ～①")),
        rec(QStringLiteral("2008/03/10"), QStringLiteral("朝"), 74.0f),
        rec(QStringLiteral("2008/03/10"), QStringLiteral("夜"), 74.9f, QStringLiteral("ｶﾀｶﾅ")),
        rec(QStringLiteral("2008/03/12"), QStringLiteral("朝食前"), 73.8f),
    };
}

void writeSample(const DataDir &dir, const QList<WeightRecord> &rs = sample(), const QString &file = kData)
{
    // Written as a person's editor would, behind the store's back.
    QByteArray bytes;
    QFile f(dir.dir().filePath(file));
    if (store::recordFileBytes(file, rs, &bytes) || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(bytes) != bytes.size())
        qFatal("cannot write the sample data file");
}

QList<WeightRecord> readAll(const DataDir &dir, const QString &file = kData)
{
    QList<WeightRecord> rs;
    if (MaybeError e = store::readRecords(dir, file, &rs))
        qWarning("%s", qPrintable(e->message()));
    return rs;
}

QStringList dates(const QList<WeightRecord> &rs)
{
    QStringList out;
    for (const WeightRecord &r : rs)
        out.append(r.date + u' ' + r.situation);
    return out;
}

int eventSnapshots(const DataDir &dir)
{
    int n = 0;
    for (const store::SnapshotInfo &s : store::listSnapshots(dir))
        n += s.isDaily() ? 0 : 1;
    return n;
}

int dailySnapshots(const DataDir &dir)
{
    return int(store::listSnapshots(dir).size()) - eventSnapshots(dir);
}

QByteArray snapshotBytes(const TempDataDir &tmp, const QString &folder, const QString &file)
{
    return tmp.readBytes(QStringLiteral("backup/") + folder + u'/' + file);
}

// Fails the n-th call of one kind in the store.
store::faults::Op g_op;
int g_failAt = 0;
int g_seen = 0;
int failingHook(store::faults::Op op)
{
    if (op == g_op && ++g_seen == g_failAt)
        return EIO;
    return 0;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checksumMatchesPublishedValues_data();
    void checksumMatchesPublishedValues();

    void twentyFiveCorrectionsKeepTwentyEventSnapshots();
    void identicalSnapshotIsNotKeptTwice();
    void unchangedDayAddsOneDailySnapshot();
    void dailySnapshotsThinOutByDayWeekAndMonth();
    void snapshotListSaysWhenWhyAndHowMany();
    void backupFolderIsNoneOfTheDataFiles();

    void correctionKeepsDateOrder();
    void correctionKeepsEveryOtherLineAsItWas();
    void correctionAndRemovalAreRefusedWhenWrong();
    void failingBackupCopyStopsTheStep();

    void eachStepIsUndoneToTheByte_data();
    void eachStepIsUndoneToTheByte();
    void undoAfterHandEditIsRefused();
    void undoIsOneLevelAndSurvivesRestart();
    void changeCutShortIsSettledFromItsFile_data();
    void changeCutShortIsSettledFromItsFile();
    void undoCutShortIsSettledFromItsFile_data();
    void undoCutShortIsSettledFromItsFile();

    void restorePutsBackAllFilesOfASnapshot();
    void interruptedRestoreIsFinishedAtNextStart();
    void damagedSnapshotIsNotRestored();
};

void TestBackup::checksumMatchesPublishedValues_data()
{
    // xxHash64, seed 0: short tails, one 32-byte stripe and beyond.
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint64>("sum");
    QTest::newRow("empty") << QByteArray() << quint64(0xef46db3751d8e999ull);
    QTest::newRow("a") << QByteArray("a") << quint64(0xd24ec4f1a98c6e5bull);
    QTest::newRow("abc") << QByteArray("abc") << quint64(0x44bc2cf5ad770999ull);
    QTest::newRow("4") << QByteArray("1234") << quint64(0xd8316e61d84f6ba4ull);
    QTest::newRow("15") << QByteArray("123456789012345") << quint64(0xc377d78ade001a3cull);
    QTest::newRow("31") << QByteArray("1234567890123456789012345678901") << quint64(0x8f367cb873a5376eull);
    QTest::newRow("32") << QByteArray("12345678901234567890123456789012") << quint64(0x40fd1aa52d98274cull);
    QTest::newRow("43") << QByteArray("The quick brown fox jumps over the lazy dog") << quint64(0x0b242d361fda71bcull);
}

void TestBackup::checksumMatchesPublishedValues()
{
    QFETCH(QByteArray, input);
    QFETCH(quint64, sum);
    QCOMPARE(store::contentChecksum(input), sum);
}

void TestBackup::twentyFiveCorrectionsKeepTwentyEventSnapshots()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    QByteArray before25;
    for (int i = 0; i < 25; ++i) {
        const QList<WeightRecord> rs = readAll(dir);
        WeightRecord r = rs.at(2);
        r.weight = 70.0f + float(i) / 10.0f;
        if (i == 24)
            before25 = tmp.readBytes(kData);
        const MaybeError e = store::correctRecord(dir, kData, {2, rs.at(2)}, r, clock);
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
        // Every snapshot of the same second is told apart by its number.
        clock.time = clock.time.addSecs(i % 3 == 0 ? 1 : 0);
    }
    const QList<store::SnapshotInfo> list = store::listSnapshots(dir);
    QCOMPARE(eventSnapshots(dir), 20);
    QCOMPARE(list.first().reason, QStringLiteral("correct"));
    QCOMPARE(snapshotBytes(tmp, list.first().folder, kData), before25);
    // Newest first, and the 21st to 25th newest are gone from the folder too.
    for (qsizetype i = 1; i < list.size(); ++i)
        QVERIFY(list.at(i - 1).when >= list.at(i).when);
    const QStringList folders = QDir(tmp.filePath(store::backupFolder())).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(folders.size(), 21); // 20 snapshots and undo/
    QCOMPARE(readAll(dir).at(2).weight, 72.4f);
}

void TestBackup::identicalSnapshotIsNotKeptTwice()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    store::SnapshotTaken a, b;
    QVERIFY(!store::takeSnapshot(dir, QStringLiteral("insert"), {kData}, clock, &a));
    clock.time = clock.time.addSecs(60);
    QVERIFY(!store::takeSnapshot(dir, QStringLiteral("correct"), {kData}, clock, &b));
    QVERIFY(!a.reused);
    QVERIFY(b.reused);
    QCOMPARE(b.folder, a.folder);
    QCOMPARE(store::listSnapshots(dir).size(), 1);
    // A file that does not exist is nothing to keep.
    store::SnapshotTaken none;
    QVERIFY(!store::takeSnapshot(dir, QStringLiteral("insert"), {kData2}, clock, &none));
    QVERIFY(none.folder.isEmpty());
}

void TestBackup::unchangedDayAddsOneDailySnapshot()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    writeSample(dir, sample().mid(0, 2), kData2);
    FixedClock clock;
    bool taken = false;
    QVERIFY(!store::takeDailySnapshot(dir, clock, &taken));
    QVERIFY(taken);
    for (int start = 0; start < 3; ++start) {
        clock.time = clock.time.addSecs(3600);
        QVERIFY(!store::takeDailySnapshot(dir, clock, &taken));
        QVERIFY(!taken);
    }
    QCOMPARE(dailySnapshots(dir), 1);
    QCOMPARE(store::listSnapshots(dir).first().files, (QStringList{kData, kData2}));

    // The next day, nothing changed: the snapshot before stands for it.
    clock.day = clock.day.addDays(1);
    QVERIFY(!store::takeDailySnapshot(dir, clock, &taken));
    QVERIFY(!taken);
    // A day after a change gets its own.
    QVERIFY(!store::appendRecord(dir, kData2, rec(QStringLiteral("2008/03/11"), 60.0f)));
    clock.day = clock.day.addDays(1);
    QVERIFY(!store::takeDailySnapshot(dir, clock, &taken));
    QVERIFY(taken);
    QCOMPARE(dailySnapshots(dir), 2);
}

void TestBackup::dailySnapshotsThinOutByDayWeekAndMonth()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock(QDate(2008, 1, 1));
    const int days = 420;
    for (int d = 0; d < days; ++d) {
        // A change every day, so that every day has its own snapshot.
        QVERIFY(!store::appendRecord(dir, kData, rec(QStringLiteral("2008/03/20"), 60.0f + float(d % 50) / 10)));
        QVERIFY(!store::takeDailySnapshot(dir, clock));
        if (d < days - 1)
            clock.day = clock.day.addDays(1);
    }
    const QDate today = clock.day;
    QSet<QDate> kept;
    for (const store::SnapshotInfo &s : store::listSnapshots(dir))
        kept.insert(s.when.date());
    for (int i = 0; i < store::kKeptDays; ++i)
        QVERIFY2(kept.contains(today.addDays(-i)), qPrintable(today.addDays(-i).toString()));
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    for (int w = 0; w < store::kKeptWeeks; ++w) {
        const QDate from = monday.addDays(-7 * w);
        bool any = false;
        for (int i = 0; i < 7; ++i)
            any = any || kept.contains(from.addDays(i));
        QVERIFY2(any, qPrintable(QStringLiteral("week of ") + from.toString()));
    }
    for (int m = 0; m < store::kKeptMonths; ++m) {
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(-m);
        bool any = false;
        for (const QDate &d : std::as_const(kept))
            any = any || (d.year() == first.year() && d.month() == first.month());
        QVERIFY2(any, qPrintable(QStringLiteral("month ") + first.toString()));
    }
    const QDate oldestMonth = QDate(today.year(), today.month(), 1).addMonths(1 - store::kKeptMonths);
    for (const QDate &d : std::as_const(kept))
        QVERIFY2(d >= oldestMonth, qPrintable(d.toString()));
    QVERIFY(kept.size() <= store::kKeptDays + store::kKeptWeeks + store::kKeptMonths);
}

void TestBackup::snapshotListSaysWhenWhyAndHowMany()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    writeSample(dir, sample().mid(0, 2), kData2);
    FixedClock clock(QDate(2008, 3, 12), QTime(21, 4, 5));
    QVERIFY(!store::takeDailySnapshot(dir, clock));
    clock.time = clock.time.addSecs(1);
    QVERIFY(!store::removeRecord(dir, kData, {4, sample().at(4)}, clock));
    const QList<store::SnapshotInfo> list = store::listSnapshots(dir);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).folder, QStringLiteral("20080312-210406-remove"));
    QCOMPARE(list.at(0).when, QDateTime(QDate(2008, 3, 12), QTime(21, 4, 6)));
    QCOMPARE(store::stepText(list.at(0).reason), QStringLiteral("記録の削除"));
    QCOMPARE(list.at(0).recordsOf(1), 5);
    QCOMPARE(list.at(0).recordsOf(2), -1); // not in that snapshot
    QCOMPARE(list.at(1).reason, QStringLiteral("daily"));
    QCOMPARE(list.at(1).recordsOf(1), 5);
    QCOMPARE(list.at(1).recordsOf(2), 2);

    // A folder cut short, one of another name and one whose copy lost
    // bytes are never offered.
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("backup/.partial")));
    tmp.writeBytes(QStringLiteral("backup/.partial/") + kData, "x");
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("backup/my copy")));
    const QString cut = QStringLiteral("backup/") + list.at(1).folder + u'/' + kData2;
    tmp.writeBytes(cut, tmp.readBytes(cut).chopped(3));
    QCOMPARE(store::listSnapshots(dir).size(), 1);
}

void TestBackup::backupFolderIsNoneOfTheDataFiles()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    QVERIFY(!store::takeSnapshot(dir, QStringLiteral("insert"), {kData}, clock));
    // A copy of a file lives in backup/ only; the data directory does not
    // see it, nor the folder itself.
    QVERIFY(QFile::remove(tmp.filePath(kData)));
    QVERIFY(!dir.exists(kData));
    QCOMPARE(dir.resolve(QStringLiteral("backup")), QStringLiteral("backup"));
    QVERIFY(!dir.exists(QStringLiteral("backup")));
    QVERIFY(!dir.exists(QStringLiteral("backup.txt")));
    QList<WeightRecord> rs;
    QVERIFY(store::readRecords(dir, kData, &rs));
}

void TestBackup::correctionKeepsDateOrder()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock(QDate(2008, 3, 31));
    QList<WeightRecord> rs = readAll(dir);

    // Moved to a day that has records: after them.
    WeightRecord moved = rs.at(4);
    moved.date = QStringLiteral("2008/03/10");
    int at = -1;
    QVERIFY(!store::correctRecord(dir, kData, {4, rs.at(4)}, moved, clock, &at));
    QCOMPARE(at, 4);
    QCOMPARE(dates(readAll(dir)), (QStringList{QStringLiteral("2008/03/01 はじめの一歩"), QStringLiteral("2008/03/09 朝"),
                                              QStringLiteral("2008/03/10 朝"), QStringLiteral("2008/03/10 夜"),
                                              QStringLiteral("2008/03/10 朝食前")}));
    // Moved later, to a day of its own, between two others.
    rs = readAll(dir);
    moved = rs.at(1);
    moved.date = QStringLiteral("2008/03/11");
    moved.weight = 73.1f;
    moved.diary = QStringLiteral("日付を直した");
    QVERIFY(!store::correctRecord(dir, kData, {1, rs.at(1)}, moved, clock, &at));
    QCOMPARE(at, 4);
    rs = readAll(dir);
    QCOMPARE(rs.at(4), moved);
    // Moved earlier than everything: first.
    moved = rs.at(2);
    moved.date = QStringLiteral("2008/02/29");
    QVERIFY(!store::correctRecord(dir, kData, {2, rs.at(2)}, moved, clock, &at));
    QCOMPARE(at, 0);
    rs = readAll(dir);
    for (qsizetype i = 1; i < rs.size(); ++i)
        QVERIFY2(rs.at(i - 1).date <= rs.at(i).date, qPrintable(dates(rs).join(u',')));
    // The same day keeps its place among that day's records.
    WeightRecord same = rs.at(2);
    same.situation = QStringLiteral("昼");
    QVERIFY(!store::correctRecord(dir, kData, {2, rs.at(2)}, same, clock, &at));
    QCOMPARE(at, 2);
    QCOMPARE(readAll(dir).at(2).situation, QStringLiteral("昼"));
}

void TestBackup::correctionKeepsEveryOtherLineAsItWas()
{
    // Lines the program would write otherwise (a bare reserved field, a
    // weight with a trailing zero, blanks around fields), blank lines of
    // ASCII and full-width blanks, and no line break at the end.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QStringList lines = {
        QStringLiteral("\"2008/03/01\",\"はじめの一歩\",74.5,\"\",\"\",\"\""),
        QStringLiteral("\"2008/03/09\", \"朝\" ,74.20,\"表ソ\",0,\"\""),
        QString(),
        QStringLiteral("\u3000 "),
        QStringLiteral("\"2008/03/10\",\"朝\",74,\"\",\"\",\"\""),
        QStringLiteral("\"2008/03/10\",\"夜\",74.9,\"ｶﾀｶﾅ\",\"0\",\"x\""),
        QStringLiteral("\"2008/03/12\",\"朝食前\",73.8,\"\",\"\",\"\""),
    };
    QString error;
    const auto bytesOf = [&](const QStringList &ls, bool lastBreak) {
        QByteArray b = cp932::encode(ls.join(QStringLiteral("\r\n")), &error);
        return lastBreak ? b + "\r\n" : b;
    };
    const QByteArray original = bytesOf(lines, false);
    tmp.writeBytes(kData, original);
    FixedClock clock(QDate(2008, 3, 31));
    QList<WeightRecord> rs = readAll(dir);
    QCOMPARE(rs.size(), 5);

    // In place: only that line changes, in the program's form.
    WeightRecord r = rs.at(3);
    r.weight = 75.1f;
    QVERIFY(!store::correctRecord(dir, kData, {3, rs.at(3)}, r, clock));
    QStringList want = lines;
    want[5] = QStringLiteral("\"2008/03/10\",\"夜\",75.1,\"ｶﾀｶﾅ\",\"\",\"\"");
    QCOMPARE(tmp.readBytes(kData), bytesOf(want, false));
    // Moved to the end: the new last line gets its line break.
    QVERIFY(!store::undoLastChange(dir, clock));
    QCOMPARE(tmp.readBytes(kData), original);
    r = rs.at(1);
    r.date = QStringLiteral("2008/03/20");
    QVERIFY(!store::correctRecord(dir, kData, {1, rs.at(1)}, r, clock));
    want = lines;
    want.removeAt(1);
    want.append(QStringLiteral("\"2008/03/20\",\"朝\",74.2,\"表ソ\",\"\",\"\""));
    QCOMPARE(tmp.readBytes(kData), bytesOf(want, true));
    // The last line moved earlier, between the two records of its new day.
    QVERIFY(!store::undoLastChange(dir, clock));
    r = rs.at(4);
    r.date = QStringLiteral("2008/03/09");
    QVERIFY(!store::correctRecord(dir, kData, {4, rs.at(4)}, r, clock));
    want = lines;
    want.removeAt(6);
    want.insert(4, QStringLiteral("\"2008/03/09\",\"朝食前\",73.8,\"\",\"\",\"\""));
    QCOMPARE(tmp.readBytes(kData), bytesOf(want, true));
    // Removed: its line goes, the others stay.
    QVERIFY(!store::undoLastChange(dir, clock));
    QVERIFY(!store::removeRecord(dir, kData, {2, rs.at(2)}, clock));
    want = lines;
    want.removeAt(4);
    QCOMPARE(tmp.readBytes(kData), bytesOf(want, false));
}

void TestBackup::correctionAndRemovalAreRefusedWhenWrong()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock(QDate(2008, 3, 12));
    const QByteArray before = tmp.readBytes(kData);
    const QList<WeightRecord> rs = readAll(dir);
    const auto refused = [&](const MaybeError &e, const QString &words) {
        return e && e->message().contains(words) && tmp.readBytes(kData) == before;
    };

    WeightRecord r = rs.at(1);
    r.date = QStringLiteral("2206/03/09"); // after today
    QVERIFY(refused(store::correctRecord(dir, kData, {1, rs.at(1)}, r, clock), QStringLiteral("今日より後")));
    r = rs.at(1);
    r.date = QStringLiteral("2008/02/30");
    QVERIFY(refused(store::correctRecord(dir, kData, {1, rs.at(1)}, r, clock), QStringLiteral("日付")));
    r = rs.at(1);
    r.weight = 0;
    QVERIFY(refused(store::correctRecord(dir, kData, {1, rs.at(1)}, r, clock), QStringLiteral("500Kg")));
    r = rs.at(1);
    r.diary = QStringLiteral("\"引用\"");
    QVERIFY(store::correctRecord(dir, kData, {1, rs.at(1)}, r, clock));
    QCOMPARE(tmp.readBytes(kData), before);
    // The record is no longer where the screen saw it.
    r = rs.at(1);
    r.weight = 70.0f;
    QVERIFY(refused(store::correctRecord(dir, kData, {2, rs.at(1)}, r, clock), QStringLiteral("見つかりません")));
    QVERIFY(refused(store::removeRecord(dir, kData, {9, rs.at(1)}, clock), QStringLiteral("見つかりません")));
    // The only record of a file stays.
    writeSample(dir, {rs.first()});
    const QByteArray one = tmp.readBytes(kData);
    const MaybeError e = store::removeRecord(dir, kData, {0, rs.first()}, clock);
    QVERIFY(e && e->message().contains(QStringLiteral("最後の1件")));
    QCOMPARE(tmp.readBytes(kData), one);
    // Nothing refused left a snapshot or something to undo.
    QCOMPARE(store::listSnapshots(dir).size(), 0);
    QVERIFY(!store::undoState(dir).available);
}

void TestBackup::failingBackupCopyStopsTheStep()
{
    // The snapshot's copy fails at each of its writes and syncs in turn:
    // the correction does not happen, nothing half-made is listed and the
    // undo record of the change before stays usable.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    QVERIFY(!store::appendRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/13"), 73.0f), clock));
    const QByteArray before = tmp.readBytes(kData);
    const QList<WeightRecord> rs = readAll(dir);
    WeightRecord r = rs.at(3);
    r.weight = 80.0f;
    using store::faults::Op;
    for (const Op op : {Op::Open, Op::Write, Op::Sync, Op::Close, Op::Rename, Op::DirSync}) {
        g_op = op;
        g_failAt = 1;
        g_seen = 0;
        store::faults::setHook(failingHook);
        const MaybeError e = store::correctRecord(dir, kData, {3, rs.at(3)}, r, clock);
        store::faults::setHook(nullptr);
        QVERIFY2(e, "reported as success");
        QVERIFY2(e->message().contains(QStringLiteral("バックアップを作れなかった")), qPrintable(e->message()));
        QVERIFY2(e->message().contains(kData), qPrintable(e->message()));
        QCOMPARE(tmp.readBytes(kData), before);
        QCOMPARE(store::listSnapshots(dir).size(), 0);
        QCOMPARE(store::undoState(dir).step, QStringLiteral("append"));
        QVERIFY(!store::checkUndoRecord(dir));
    }
    QVERIFY(!store::undoLastChange(dir, clock));
    QCOMPARE(readAll(dir), sample());
}

void TestBackup::eachStepIsUndoneToTheByte_data()
{
    QTest::addColumn<QString>("step");
    for (const char *s : {"append", "append to a new file", "insert", "correct", "remove", "restore", "append saved",
                          "insert saved"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

void TestBackup::eachStepIsUndoneToTheByte()
{
    QFETCH(QString, step);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    // A line that the program would not write quite so: it must come back
    // as it was, not as a rewrite would put it.
    QString unused;
    tmp.writeBytes(kData, tmp.readBytes(kData) +
                              cp932::encode(QStringLiteral("\"2008/03/12\", \"夜\" ,73.90,\"\",\"0\",\"\"\r\n"), &unused));
    FixedClock clock(QDate(2008, 3, 31));
    QVERIFY(!store::takeDailySnapshot(dir, clock));
    const QList<WeightRecord> rs = readAll(dir);
    clock.time = clock.time.addSecs(5);
    QByteArray before = tmp.readBytes(kData);
    QByteArray before2 = tmp.readBytes(kData2);
    const QByteArray first = before;

    MaybeError e;
    if (step == QLatin1String("append")) {
        e = store::appendRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/13"), 73.2f), clock);
    } else if (step == QLatin1String("append to a new file")) {
        e = store::appendRecordUndoable(dir, kData2, rec(QStringLiteral("2008/03/13"), 55.0f), clock);
    } else if (step == QLatin1String("insert")) {
        e = store::insertRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/05"), 74.4f), clock);
    } else if (step.endsWith(QLatin1String(" saved"))) {
        // A save of the weight screen: the file's last date decides.
        store::NewRecord in;
        in.day = step.startsWith(QLatin1String("append")) ? QStringLiteral("2008/03/20") : QStringLiteral("2008/03/05");
        in.situation = QStringLiteral("夕食後");
        in.weight = 73.4f;
        store::SaveMode mode = store::SaveMode::Append;
        e = store::saveNewRecordUndoable(dir, kData, in, clock, &mode);
        QCOMPARE(mode == store::SaveMode::Append, step.startsWith(QLatin1String("append")));
        QCOMPARE(store::listSnapshots(dir).first().reason,
                 QString::fromLatin1(mode == store::SaveMode::Append ? "daily" : "insert"));
    } else if (step == QLatin1String("correct")) {
        WeightRecord r = rs.at(2);
        r.date = QStringLiteral("2008/03/11");
        e = store::correctRecord(dir, kData, {2, rs.at(2)}, r, clock);
    } else if (step == QLatin1String("remove")) {
        e = store::removeRecord(dir, kData, {1, rs.at(1)}, clock);
    } else {
        // Back to the first snapshot after two changes.
        QVERIFY(!store::appendRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/13"), 73.2f), clock));
        QVERIFY(!store::removeRecord(dir, kData, {1, rs.at(1)}, clock));
        writeSample(dir, sample().mid(1, 2), kData2);
        before = tmp.readBytes(kData);
        before2 = tmp.readBytes(kData2);
        const QList<store::SnapshotInfo> list = store::listSnapshots(dir);
        e = store::restoreSnapshot(dir, list.last().folder, clock);
        QVERIFY(!e);
        QCOMPARE(tmp.readBytes(kData), first);
        // Files the snapshot does not hold are left as they are.
        QVERIFY(tmp.exists(kData2));
    }
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    const QByteArray after = tmp.readBytes(kData);
    const QByteArray after2 = tmp.readBytes(kData2);
    QVERIFY(after != before || after2 != before2);
    QCOMPARE(store::undoState(dir).step, step.section(u' ', 0, 0));
    QVERIFY(store::undoState(dir).applies);
    QVERIFY(!store::checkUndoRecord(dir));

    const int snapshotsBefore = int(store::listSnapshots(dir).size());
    clock.time = clock.time.addSecs(5);
    e = store::undoLastChange(dir, clock);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(tmp.readBytes(kData), before);
    QCOMPARE(tmp.exists(kData2), !before2.isEmpty());
    QCOMPARE(tmp.readBytes(kData2), before2);
    // The undo took its own snapshot first, and is used up.
    QCOMPARE(int(store::listSnapshots(dir).size()), snapshotsBefore + 1);
    QCOMPARE(store::listSnapshots(dir).first().reason, QStringLiteral("undo"));
    QVERIFY(!store::undoState(dir).available);
    e = store::undoLastChange(dir, clock);
    QVERIFY(e && e->message().contains(QStringLiteral("元に戻せる変更はありません")));
    // Nothing is left behind in the data directory but the data.
    for (const QString &name : tmp.entries())
        QVERIFY2(name == kData || name == kData2, qPrintable(name));
}

void TestBackup::undoAfterHandEditIsRefused()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    const QList<WeightRecord> rs = readAll(dir);
    WeightRecord r = rs.at(2);
    r.weight = 71.0f;
    QVERIFY(!store::correctRecord(dir, kData, {2, rs.at(2)}, r, clock));
    // Changed by hand afterwards, by one byte, keeping the size.
    QByteArray edited = tmp.readBytes(kData);
    edited[edited.indexOf("71")] = '8';
    tmp.writeBytes(kData, edited);
    const qsizetype snapshots = store::listSnapshots(dir).size();
    const QStringList backupBefore = QDir(tmp.filePath(QStringLiteral("backup/undo"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QVERIFY(store::undoState(dir).available);
    QVERIFY(!store::undoState(dir).applies);
    const MaybeError e = store::undoLastChange(dir, clock);
    QVERIFY(e);
    QVERIFY2(e->message().contains(kData) && e->message().contains(QStringLiteral("記録の修正")) &&
                 e->message().contains(QStringLiteral("元に戻せません")),
             qPrintable(e->message()));
    QCOMPARE(tmp.readBytes(kData), edited);
    QCOMPARE(store::listSnapshots(dir).size(), snapshots);
    QCOMPARE(QDir(tmp.filePath(QStringLiteral("backup/undo"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), backupBefore);
    // Put back as the change left it, the undo works again.
    edited[edited.indexOf("81")] = '7';
    tmp.writeBytes(kData, edited);
    QVERIFY(store::undoState(dir).applies);
    QVERIFY(!store::undoLastChange(dir, clock));
    QCOMPARE(readAll(dir), sample());
}

void TestBackup::undoIsOneLevelAndSurvivesRestart()
{
    TempDataDir tmp;
    FixedClock clock;
    QByteArray afterFirst;
    {
        const DataDir dir(tmp.dir());
        writeSample(dir);
        QVERIFY(!store::appendRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/13"), 73.0f), clock));
        afterFirst = tmp.readBytes(kData);
        QVERIFY(!store::insertRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/02"), 74.0f), clock));
    }
    // A new start: the record is on disk, with one folder of saved bytes.
    const DataDir dir(tmp.dir());
    QString done;
    QVERIFY(!store::recoverPending(dir, &done));
    QVERIFY(done.isEmpty());
    const store::UndoState s = store::undoState(dir);
    QVERIFY(s.available);
    QCOMPARE(s.step, QStringLiteral("insert"));
    QCOMPARE(s.when, QDateTime(clock.day, clock.time));
    QCOMPARE(s.files, QStringList{kData});
    QCOMPARE(QDir(tmp.filePath(QStringLiteral("backup/undo"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    QVERIFY(!store::undoLastChange(dir, clock));
    QCOMPARE(tmp.readBytes(kData), afterFirst);
    QVERIFY(store::undoLastChange(dir, clock)); // one level only
    QCOMPARE(tmp.readBytes(kData), afterFirst);
}

// A step killed after noting itself as pending: before its file changed,
// while the new file was only half there (an append), or after it
// changed but before it became the undo record. The next start settles it
// from what the file holds.
void TestBackup::changeCutShortIsSettledFromItsFile_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("written"); // "no", "yes", "half"
    QTest::newRow("correct, not written") << "correct" << "no";
    QTest::newRow("correct, written") << "correct" << "yes";
    QTest::newRow("remove, written") << "remove" << "yes";
    QTest::newRow("insert, written") << "insert" << "yes";
    QTest::newRow("append, written") << "append" << "yes";
    QTest::newRow("append, half a line") << "append" << "half";
}

void TestBackup::changeCutShortIsSettledFromItsFile()
{
    QFETCH(QString, step);
    QFETCH(QString, written);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    // The change before: the record a step that did not happen leaves.
    QVERIFY(!store::appendRecordUndoable(dir, kData, rec(QStringLiteral("2008/03/13"), 73.0f), clock));
    const QByteArray before = tmp.readBytes(kData);
    clock.time = clock.time.addSecs(5);

    // The new content, made on a copy the way the step makes it.
    TempDataDir scratch;
    scratch.writeBytes(kData, before);
    const DataDir other(scratch.dir());
    const QList<WeightRecord> rs = readAll(dir);
    WeightRecord r = rs.at(2);
    r.weight = 70.5f;
    const MaybeError made = step == QLatin1String("correct") ? store::correctRecord(other, kData, {2, rs.at(2)}, r, clock)
                            : step == QLatin1String("remove") ? store::removeRecord(other, kData, {1, rs.at(1)}, clock)
                            : step == QLatin1String("insert")
                                ? store::insertRecordUndoable(other, kData, rec(QStringLiteral("2008/03/05"), 74.4f), clock)
                                : store::appendRecordUndoable(other, kData, rec(QStringLiteral("2008/03/14"), 72.9f), clock);
    QVERIFY(!made);
    const QByteArray after = scratch.readBytes(kData);
    QVERIFY(after != before);

    // Up to the moment of the kill, as the store runs it.
    const bool known = step == QLatin1String("correct") || step == QLatin1String("remove");
    const bool append = step == QLatin1String("append");
    store::ChangeOptions options;
    if (append) {
        options.backup = store::BackupFirst::No;
        options.kept = store::PreviousContent::Prefix;
    }
    store::PendingChange change;
    QVERIFY(!store::beginChange(dir, step, {kData}, clock, options, &change));
    const QMap<QString, QByteArray> afterMap = {{kData, after}};
    QVERIFY(!store::markChangePending(dir, change, known ? &afterMap : nullptr));
    if (written == QLatin1String("yes"))
        tmp.writeBytes(kData, after);
    else if (written == QLatin1String("half"))
        tmp.writeBytes(kData, after.left(before.size() + 7));
    // Until the next start settles it, the record before is the one offered.
    QCOMPARE(store::undoState(dir).step, QStringLiteral("append"));

    QVERIFY(!store::recoverPending(dir));
    QVERIFY(!tmp.exists(QStringLiteral("backup/undo/pending.txt")));
    QVERIFY(!store::checkUndoRecord(dir));
    const store::UndoState state = store::undoState(dir);
    QVERIFY(state.available);
    if (written == QLatin1String("yes")) {
        // It happened: it is the change undo takes back, to the byte.
        QCOMPARE(state.step, step);
        QVERIFY(state.applies);
        QVERIFY(!store::undoLastChange(dir, clock));
        QCOMPARE(tmp.readBytes(kData), before);
    } else {
        // It did not: the record before stays, with only its own folder.
        QCOMPARE(state.step, QStringLiteral("append"));
        QCOMPARE(QDir(tmp.filePath(QStringLiteral("backup/undo"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        if (written == QLatin1String("no")) {
            QVERIFY(state.applies);
            QVERIFY(!store::undoLastChange(dir, clock));
            QCOMPARE(readAll(dir), sample());
        }
    }
}

// An undo killed after marking the record and before or after putting
// the file back: the next start uses the record up, or offers it again.
void TestBackup::undoCutShortIsSettledFromItsFile_data()
{
    QTest::addColumn<bool>("putBack");
    QTest::newRow("file put back") << true;
    QTest::newRow("file not yet put back") << false;
}

void TestBackup::undoCutShortIsSettledFromItsFile()
{
    QFETCH(bool, putBack);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    const QByteArray before = tmp.readBytes(kData);
    const QList<WeightRecord> rs = readAll(dir);
    WeightRecord r = rs.at(3);
    r.diary = QStringLiteral("直した");
    QVERIFY(!store::correctRecord(dir, kData, {3, rs.at(3)}, r, clock));
    const QByteArray after = tmp.readBytes(kData);
    const QString record = QStringLiteral("backup/undo/undo.txt");
    const QByteArray committed = tmp.readBytes(record);

    tmp.writeBytes(record, committed + "state\tundoing\n");
    QVERIFY(!store::checkUndoRecord(dir));
    QVERIFY(!store::undoState(dir).available); // not offered while under way
    if (putBack)
        tmp.writeBytes(kData, before);

    QVERIFY(!store::recoverPending(dir));
    QVERIFY(!store::checkUndoRecord(dir));
    if (putBack) {
        QVERIFY(!store::undoState(dir).available);
        QVERIFY(!tmp.exists(record));
        QCOMPARE(QDir(tmp.filePath(QStringLiteral("backup/undo"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
        QCOMPARE(tmp.readBytes(kData), before);
    } else {
        QCOMPARE(tmp.readBytes(record), committed);
        QVERIFY(store::undoState(dir).applies);
        QCOMPARE(tmp.readBytes(kData), after);
        QVERIFY(!store::undoLastChange(dir, clock));
        QCOMPARE(tmp.readBytes(kData), before);
    }
}

namespace {

// Renames once the journal of a restore is written: the first goes
// through, then one fails (or all do, as when the machine stops).
QString g_journal;
int g_renamesAfterJournal = 0;
bool g_failAllAfter = false;
int journalHook(store::faults::Op op)
{
    if (op != store::faults::Op::Rename || !QFile::exists(g_journal))
        return 0;
    ++g_renamesAfterJournal;
    if (g_renamesAfterJournal == 2 || (g_failAllAfter && g_renamesAfterJournal > 2))
        return EIO;
    return 0;
}

MaybeError restoreFailingAfterJournal(const TempDataDir &tmp, const QString &folder, const Clock &clock,
                                      bool all)
{
    g_journal = tmp.filePath(QStringLiteral("backup/journal.txt"));
    g_renamesAfterJournal = 0;
    g_failAllAfter = all;
    store::faults::setHook(journalHook);
    MaybeError e = store::restoreSnapshot(DataDir(tmp.dir()), folder, clock);
    store::faults::setHook(nullptr);
    return e;
}

} // namespace

void TestBackup::restorePutsBackAllFilesOfASnapshot()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    writeSample(dir, sample().mid(0, 3), kData2);
    FixedClock clock;
    QVERIFY(!store::takeDailySnapshot(dir, clock));
    const QByteArray one = tmp.readBytes(kData), two = tmp.readBytes(kData2);
    const QString daily = store::listSnapshots(dir).first().folder;
    clock.time = clock.time.addSecs(1);
    writeSample(dir, sample().mid(0, 1));
    writeSample(dir, sample().mid(0, 2), kData2);
    const QByteArray one2 = tmp.readBytes(kData), two2 = tmp.readBytes(kData2);

    // The second file cannot be replaced: the first goes back as it was.
    MaybeError e = restoreFailingAfterJournal(tmp, daily, clock, false);
    QVERIFY(e);
    QCOMPARE(tmp.readBytes(kData), one2);
    QCOMPARE(tmp.readBytes(kData2), two2);
    QVERIFY(!tmp.exists(QStringLiteral("backup/journal.txt")));
    QCOMPARE(store::undoState(dir).available, false);

    e = store::restoreSnapshot(dir, daily, clock);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(tmp.readBytes(kData), one);
    QCOMPARE(tmp.readBytes(kData2), two);
    // The present state was kept first, and the restore can be undone.
    const store::SnapshotInfo pre = store::listSnapshots(dir).first();
    QCOMPARE(pre.reason, QStringLiteral("restore"));
    QCOMPARE(snapshotBytes(tmp, pre.folder, kData), one2);
    QCOMPARE(snapshotBytes(tmp, pre.folder, kData2), two2);
    QCOMPARE(store::undoState(dir).files, (QStringList{kData, kData2}));
    QVERIFY(!store::undoLastChange(dir, clock));
    QCOMPARE(tmp.readBytes(kData), one2);
    QCOMPARE(tmp.readBytes(kData2), two2);
}

void TestBackup::interruptedRestoreIsFinishedAtNextStart()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    writeSample(dir, sample().mid(0, 3), kData2);
    FixedClock clock;
    QVERIFY(!store::takeDailySnapshot(dir, clock));
    const QByteArray one = tmp.readBytes(kData), two = tmp.readBytes(kData2);
    const QString daily = store::listSnapshots(dir).first().folder;
    writeSample(dir, sample().mid(0, 1));
    writeSample(dir, sample().mid(0, 2), kData2);

    // The first file is replaced, then nothing more can be written, not
    // even to put it back: the journal stays for the next start.
    clock.time = clock.time.addSecs(1);
    MaybeError e = restoreFailingAfterJournal(tmp, daily, clock, true);
    QVERIFY(e);
    QVERIFY2(e->message().contains(QStringLiteral("次の起動")), qPrintable(e->message()));
    QVERIFY(tmp.exists(QStringLiteral("backup/journal.txt")));
    QCOMPARE(tmp.readBytes(kData), one);

    QString done;
    e = store::recoverPending(dir, &done);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QVERIFY2(done.contains(QStringLiteral("最後まで済ませました")), qPrintable(done));
    QCOMPARE(tmp.readBytes(kData), one);
    QCOMPARE(tmp.readBytes(kData2), two);
    QVERIFY(!tmp.exists(QStringLiteral("backup/journal.txt")));
    // Finished, it is undone like any restore.
    QCOMPARE(store::undoState(dir).step, QStringLiteral("restore"));
    QVERIFY(!store::checkUndoRecord(dir));
    QVERIFY(!store::recoverPending(dir, &done));
    QVERIFY(done.isEmpty());
}

void TestBackup::damagedSnapshotIsNotRestored()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeSample(dir);
    FixedClock clock;
    QVERIFY(!store::takeDailySnapshot(dir, clock));
    const QString folder = store::listSnapshots(dir).first().folder;
    writeSample(dir, sample().mid(0, 2));
    const QByteArray now = tmp.readBytes(kData);
    // One byte of the copy changed, its size kept.
    const QString copy = QStringLiteral("backup/") + folder + u'/' + kData;
    QByteArray b = tmp.readBytes(copy);
    b[5] = '9';
    tmp.writeBytes(copy, b);
    MaybeError e = store::restoreSnapshot(dir, folder, clock);
    QVERIFY(e && e->message().contains(QStringLiteral("壊れています")));
    e = store::restoreSnapshot(dir, QStringLiteral("../x"), clock);
    QVERIFY(e);
    QCOMPARE(tmp.readBytes(kData), now);
    QVERIFY(!store::undoState(dir).available);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
