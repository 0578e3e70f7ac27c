// A rewrite of a large data file killed with SIGKILL at random moments,
// many times over: the file always holds the complete old or the complete
// new content, never anything else and never nothing, and a scratch file
// left behind is never read as data and never stops the next rewrite. The
// single writes (older-data conversion, comment save, memo, profile, start
// record) are killed the same way and at each of their store calls.
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
#include "store/cleanup.h"
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
// Random kills of each single write; each round starts a new writer.
constexpr int kSingleWriteRounds = 24;
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
    void singleWritesKilledAtEveryStoreCall_data();
    void singleWritesKilledAtEveryStoreCall();
    void singleWritesKilledAtRandomMoments_data();
    void singleWritesKilledAtRandomMoments();

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

namespace {

// The files of a directory by name, a scratch file left aside.
using Files = QMap<QString, QByteArray>;

Files filesOf(const TempDataDir &tmp, const QString &scratch)
{
    Files m;
    for (const QString &e : tmp.entries())
        if (e != scratch)
            m.insert(e, tmp.readBytes(e));
    return m;
}

void putFiles(const TempDataDir &tmp, const Files &files, const QString &scratch)
{
    for (const QString &e : tmp.entries())
        if (e != scratch)
            QFile::remove(tmp.filePath(e));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        tmp.writeBytes(it.key(), it.value());
}

int g_storeCalls = 0;
int g_storeWrites = 0;
int countingHook(store::faults::Op op)
{
    ++g_storeCalls;
    g_storeWrites += op == store::faults::Op::Write ? 1 : 0;
    return 0;
}

// What a single write may leave: the old files or the new ones.
struct Outcomes {
    Files before, after;
    int calls = 0;
};

bool outcomes(const QString &write, Outcomes *out)
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    if (!faultdata::prepareOnce(dir))
        return false;
    out->before = filesOf(tmp, QString());
    g_storeCalls = 0;
    store::faults::setHook(countingHook);
    const MaybeError e = faultdata::runOnce(write, dir);
    store::faults::setHook(nullptr);
    out->calls = g_storeCalls;
    out->after = filesOf(tmp, QString());
    return !e && out->after != out->before;
}

// Judges the directory after a kill, once the next start has cleaned up
// (a step finished from its journal, scratch files removed); returns why
// it is wrong or "". left: old, new, new because the start finished it.
QString judgeOnce(const TempDataDir &tmp, const QString &, const Outcomes &o, int *left)
{
    const DataDir dir(tmp.dir());
    store::CrashCleanUp cleaned;
    if (MaybeError e = store::cleanUpAfterCrash(dir, &cleaned))
        return QStringLiteral("the next start could not clean up: ") + e->message();
    const Files now = filesOf(tmp, QString());
    if (now == o.before) {
        ++left[0];
        return cleaned.finishedStep.isEmpty() ? QString() : QStringLiteral("a finished step left the old files");
    }
    if (now == o.after) {
        ++left[cleaned.finishedStep.isEmpty() ? 1 : 2];
        return {};
    }
    return QStringLiteral("neither the old nor the new files: ") + QStringList(now.keys()).join(u' ');
}

} // namespace

void TestFaultsKillRewrite::singleWritesKilledAtEveryStoreCall_data()
{
    QTest::addColumn<QString>("write");
    for (const QString &w : faultdata::onceWrites())
        QTest::newRow(qPrintable(w)) << w;
}

void TestFaultsKillRewrite::singleWritesKilledAtEveryStoreCall()
{
    // The older-data conversion, a comment save, the memo, a profile and a
    // start record, each killed at every store call it makes in turn.
    QFETCH(QString, write);
    Outcomes o;
    QVERIFY(outcomes(write, &o));
    TempDataDir tmp;
    const QString scratch = faultdata::onceScratch(write);
    int left[3] = {};
    for (int dieAt = 1; dieAt <= o.calls + 1; ++dieAt) {
        const QString where = QStringLiteral("%1 killed at store call %2 of %3").arg(write).arg(dieAt).arg(o.calls);
        putFiles(tmp, o.before, scratch);
        faultproc::Child c = faultproc::spawn(writer(), {QStringLiteral("once"), write, tmp.path(), QString::number(dieAt)});
        QVERIFY2(c.pid > 0, qPrintable(where));
        int status = 0;
        faultproc::waitAndCollect(c, &status);
        const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        QVERIFY2(dieAt <= o.calls ? faultproc::killedBySigkill(status) : finished,
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));
        const QString why = judgeOnce(tmp, write, o, left);
        QVERIFY2(why.isEmpty(), qPrintable(said(where, why)));
    }
    // Killed before its rename the write left the old files, after it the
    // new; a conversion killed after writing its journal is finished by the
    // next start.
    QVERIFY(left[0] > 0 && left[1] + left[2] > 0);
    if (write == QLatin1String("convert"))
        QVERIFY(left[2] > 0);
}

void TestFaultsKillRewrite::singleWritesKilledAtRandomMoments_data() { singleWritesKilledAtEveryStoreCall_data(); }

void TestFaultsKillRewrite::singleWritesKilledAtRandomMoments()
{
    QFETCH(QString, write);
    Outcomes o;
    QVERIFY(outcomes(write, &o));
    TempDataDir tmp;
    const QString scratch = faultdata::onceScratch(write);
    std::mt19937 rng(faultproc::seed() + 2 + quint32(faultdata::onceWrites().indexOf(write)));
    int left[3] = {};
    for (int round = 0; round < kSingleWriteRounds; ++round) {
        const QString where = QStringLiteral("%1, seed %2, round %3").arg(write).arg(faultproc::seed()).arg(round);
        putFiles(tmp, o.before, scratch);
        faultproc::Child c = faultproc::spawn(writer(), {QStringLiteral("once"), write, tmp.path()});
        QVERIFY2(c.pid > 0, qPrintable(where));
        // After one of its store calls began, a random while later.
        QByteArray reports(std::uniform_int_distribution<int>(1, o.calls)(rng), '\0');
        faultproc::readExactly(c.out, reports.data(), size_t(reports.size()));
        faultproc::spin(std::uniform_int_distribution<quint64>(0, 2000)(rng), c.out);
        int status = 0;
        faultproc::killAndCollect(c, &status);
        QVERIFY2(faultproc::killedBySigkill(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0),
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));
        const QString why = judgeOnce(tmp, write, o, left);
        QVERIFY2(why.isEmpty(), qPrintable(said(where, why)));
    }
    qInfo("%s: %d kills left %d old, %d new, %d finished by the next start", qPrintable(write),
          kSingleWriteRounds, left[0], left[1], left[2]);
}

QTEST_GUILESS_MAIN(TestFaultsKillRewrite)
#include "test_faults_kill_rewrite.moc"
