// A rewrite of a large data file killed with SIGKILL at random moments,
// many times over: the file always holds the complete old or the complete
// new content, never anything else and never nothing, and a scratch file
// left behind is never read as data and never stops the next rewrite.
//
// The writer is a child program (fault_writer) that alternates the file
// between two known contents and reports each phase of a rewrite through a
// pipe; the test kills it after a random number of reports plus a random
// number of scheduler turns, or lets the store's fault seam kill it at
// every store call in turn. The random seed is fixed and printed with
// every failure.
#include "fault_process.h"
#include "fault_records.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <random>

#ifndef FAULT_WRITER
#error "FAULT_WRITER must name the child program"
#endif

using faultdata::dataFile;

namespace {

// Large enough that a rewrite takes a while, so kills land inside it.
constexpr int kRecords = 1000;
constexpr int kRandomRounds = 200;
// The child reports the start of a rewrite and each of its six store calls.
constexpr int kReportsPerRewrite = 7;

QString writer() { return QStringLiteral(FAULT_WRITER); }

QString said(const QString &where, const QString &what) { return where + QStringLiteral(": ") + what; }

} // namespace

class TestFaultsKillRewrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedAtRandomMomentsLeavesOldOrNewContent();
    void killedAtEveryStoreCallLeavesOldOrNewContent();

private:
    // Writes A, then B by the insert the child does, then A again, and
    // keeps the bytes of both.
    bool prepare(const TempDataDir &tmp);
    QStringList args(const TempDataDir &tmp, bool isA) const;
    QByteArray a_, b_;
};

void TestFaultsKillRewrite::initTestCase()
{
    QVERIFY2(QFileInfo(writer()).isExecutable(), qPrintable(writer()));
    qInfo("fault seed %u (set NANAHOSHI_FAULT_SEED to replay another)", faultproc::seed());
}

bool TestFaultsKillRewrite::prepare(const TempDataDir &tmp)
{
    const DataDir dir(tmp.dir());
    if (store::rewriteRecords(dir, dataFile(), faultdata::contentA(kRecords),
                              store::insertScratchName()))
        return false;
    a_ = tmp.readBytes(dataFile());
    if (store::insertRecordInOrder(dir, dataFile(), faultdata::insertedRecord(kRecords)))
        return false;
    b_ = tmp.readBytes(dataFile());
    QList<WeightRecord> b;
    if (store::readRecords(dir, dataFile(), &b) || b != faultdata::contentB(kRecords))
        return false;
    tmp.writeBytes(dataFile(), a_);
    return a_ != b_ && !a_.isEmpty();
}

QStringList TestFaultsKillRewrite::args(const TempDataDir &tmp, bool isA) const
{
    return {QStringLiteral("rewrite"), tmp.path(), QString::number(kRecords),
            isA ? QStringLiteral("A") : QStringLiteral("B")};
}

void TestFaultsKillRewrite::killedAtRandomMomentsLeavesOldOrNewContent()
{
    TempDataDir tmp;
    QVERIFY(prepare(tmp));
    const QString scratch = store::insertScratchName();
    std::mt19937 rng(faultproc::seed());

    quint64 perStep = 0;
    {
        faultproc::Child c = faultproc::spawn(writer(), args(tmp, true));
        QVERIFY(c.pid > 0);
        perStep = faultproc::turnsPerStep(c, kReportsPerRewrite);
        int status = 0;
        faultproc::killAndCollect(c, &status);
        QVERIFY2(perStep > 0, qPrintable(faultproc::describe(status)));
    }

    int endedA = 0, endedB = 0, leftovers = 0, planted = 0;
    for (int round = 0; round < kRandomRounds; ++round) {
        const QString where = QStringLiteral("seed %1, round %2").arg(faultproc::seed()).arg(round);
        const QByteArray before = tmp.readBytes(dataFile());
        QVERIFY2(before == a_ || before == b_, qPrintable(where));
        // Now and then a half-written scratch file as a crash leaves it:
        // it must never count as data and must not stop the next rewrite.
        if (rng() % 8 == 0) {
            tmp.writeBytes(scratch, b_.left(b_.size() / 2));
            ++planted;
        }
        faultproc::Child c = faultproc::spawn(writer(), args(tmp, before == a_));
        QVERIFY2(c.pid > 0, qPrintable(where));
        // Killed in any phase of its first rewrite or at the start of its
        // second, a random while after the phase began.
        char reports[kReportsPerRewrite + 1];
        const int phase = std::uniform_int_distribution<int>(1, kReportsPerRewrite + 1)(rng);
        const bool alive = faultproc::readExactly(c.out, reports, size_t(phase));
        faultproc::spin(std::uniform_int_distribution<quint64>(0, perStep)(rng), c.out);
        int status = 0;
        faultproc::killAndCollect(c, &status);
        QVERIFY2(alive && faultproc::killedBySigkill(status),
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));

        const QByteArray now = tmp.readBytes(dataFile());
        QVERIFY2(now == a_ || now == b_,
                 qPrintable(said(where, QStringLiteral("the data file holds %1 bytes, neither A (%2) nor B (%3)")
                                            .arg(now.size())
                                            .arg(a_.size())
                                            .arg(b_.size()))));
        ++(now == a_ ? endedA : endedB);
        if (tmp.exists(scratch))
            ++leftovers;
        const QStringList stray = faultproc::strayEntries(tmp.dir(), {dataFile(), scratch});
        QVERIFY2(stray.isEmpty(), qPrintable(said(where, stray.join(u' '))));
    }
    qInfo("%d kills: %d left A, %d left B, %d left a scratch file, %d started over a planted one",
          kRandomRounds, endedA, endedB, leftovers, planted);

    // A scratch file is never read as data, and the next rewrite in this
    // process goes through over it.
    tmp.writeBytes(scratch, b_.left(b_.size() / 3));
    const DataDir dir(tmp.dir());
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, dataFile(), &rs));
    QVERIFY(rs == faultdata::contentA(kRecords) || rs == faultdata::contentB(kRecords));
    const MaybeError e =
        store::rewriteRecords(dir, dataFile(), faultdata::contentA(kRecords), scratch);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(tmp.readBytes(dataFile()), a_);
    QCOMPARE(tmp.entries(), QStringList{dataFile()});
}

void TestFaultsKillRewrite::killedAtEveryStoreCallLeavesOldOrNewContent()
{
    TempDataDir tmp;
    QVERIFY(prepare(tmp));
    const QString scratch = store::insertScratchName();
    // Two rewrites (A to B, then B to A) of six store calls each: open,
    // write, sync and close the scratch file, rename, sync the directory.
    // The child dies before the call it is stopped at, so the rename is
    // the moment the new content takes over.
    const QByteArray *expected[] = {&a_, &a_, &a_, &a_, &a_, &b_, &b_, &b_, &b_, &b_, &b_, &a_};
    int leftovers = 0;
    for (int dieAt = 1; dieAt <= 12; ++dieAt) {
        const QString where = QStringLiteral("killed at store call %1").arg(dieAt);
        tmp.writeBytes(dataFile(), a_); // a scratch file left by the round before stays
        QStringList a = args(tmp, true);
        a.append(QString::number(dieAt));
        faultproc::Child c = faultproc::spawn(writer(), a);
        QVERIFY2(c.pid > 0, qPrintable(where));
        int status = 0;
        faultproc::waitAndCollect(c, &status);
        QVERIFY2(faultproc::killedBySigkill(status),
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));
        const QByteArray now = tmp.readBytes(dataFile());
        const QByteArray &want = *expected[dieAt - 1];
        QVERIFY2(now == want,
                 qPrintable(said(where, QStringLiteral("the data file holds %1 bytes, expected %2 (%3)")
                                            .arg(now.size())
                                            .arg(want.size())
                                            .arg(&want == &a_ ? QStringLiteral("A") : QStringLiteral("B")))));
        if (tmp.exists(scratch))
            ++leftovers;
        const QStringList stray = faultproc::strayEntries(tmp.dir(), {dataFile(), scratch});
        QVERIFY2(stray.isEmpty(), qPrintable(said(where, stray.join(u' '))));
    }
    // Deaths after the scratch file was opened leave it behind, and the
    // rounds after them had to rewrite over it.
    QVERIFY(leftovers > 0);
}

QTEST_GUILESS_MAIN(TestFaultsKillRewrite)
#include "test_faults_kill_rewrite.moc"
