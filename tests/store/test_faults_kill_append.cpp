// Appends killed with SIGKILL at random moments, many times over: every
// record the writer acknowledged (reported after appendRecord returned) is
// in the file afterwards, in order, the file reads back without damage,
// and at worst an incomplete last line is reported as such, kept in a side
// file and cut away.
//
// The writer is a child program (fault_writer) that appends in a loop and
// acknowledges each record through a pipe; the test kills it after a
// random number of acknowledgements plus a random number of scheduler
// turns, or lets the store's fault seam kill it at every store call in
// turn, also halfway through a write. The random seed is fixed and printed
// with every failure.
#include "fault_process.h"
#include "fault_records.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <cstring>
#include <random>

#ifndef FAULT_WRITER
#error "FAULT_WRITER must name the child program"
#endif

using faultdata::dataFile;

namespace {

constexpr int kRandomRounds = 200;

QString writer() { return QStringLiteral(FAULT_WRITER); }

QString said(const QString &where, const QString &what) { return where + QStringLiteral(": ") + what; }

QStringList appendArgs(const TempDataDir &tmp, int first)
{
    return {QStringLiteral("append"), tmp.path(), QString::number(first)};
}

// Checks the data file after a kill: the start record, then appended
// records 0, 1, ... with at least `acked` of them and at most one more
// (the one in flight). An incomplete last line is kept aside and cut away
// the way the program does at start. Returns why the file is wrong, or an
// empty string; *present is the number of appended records in the file.
QString checkAppends(const TempDataDir &tmp, int acked, int *present, bool *hadTail)
{
    const DataDir dir(tmp.dir());
    QList<WeightRecord> rs;
    store::IncompleteTail tail;
    if (MaybeError e = store::readRecords(dir, dataFile(), &rs, &tail))
        return QStringLiteral("the data file is damaged: ") + e->message();
    *hadTail = tail.present;
    if (tail.present) {
        const QByteArray before = tmp.readBytes(dataFile());
        QString side;
        if (MaybeError e = store::saveIncompleteTail(dir, dataFile(), tail, &side))
            return QStringLiteral("the incomplete line could not be kept aside: ") + e->message();
        if (tmp.readBytes(side) != before.mid(tail.offset))
            return QStringLiteral("the side file does not hold the incomplete line");
        if (tmp.readBytes(dataFile()) != before.left(tail.offset))
            return QStringLiteral("the data file was not cut back to its last complete line");
        QList<WeightRecord> again;
        store::IncompleteTail tail2;
        if (store::readRecords(dir, dataFile(), &again, &tail2) || tail2.present || again != rs)
            return QStringLiteral("the data file does not read cleanly after the cut");
        QFile::remove(tmp.filePath(side));
    }
    if (rs.isEmpty() || rs.first() != faultdata::startRecord())
        return QStringLiteral("the start record is gone");
    const int m = int(rs.size()) - 1;
    for (int i = 0; i < m; ++i)
        if (rs.at(i + 1) != faultdata::appended(i))
            return QStringLiteral("line %1 is not appended record %2").arg(i + 2).arg(i);
    if (m < acked)
        return QStringLiteral("%1 appended records present but %2 were acknowledged").arg(m).arg(acked);
    if (m > acked + 1)
        return QStringLiteral("%1 appended records present, %2 acknowledged: more than one in flight")
            .arg(m)
            .arg(acked);
    *present = m;
    return {};
}

// Acknowledgements are the appended indexes in order, from `first` on.
// Returns the number of records acknowledged in all, or -1.
int acknowledged(const QByteArray &acks, int first)
{
    if (acks.size() % 4 != 0)
        return -1;
    int next = first;
    for (qsizetype at = 0; at < acks.size(); at += 4) {
        qint32 i = 0;
        std::memcpy(&i, acks.constData() + at, 4);
        if (i != next)
            return -1;
        ++next;
    }
    return next;
}

} // namespace

class TestFaultsKillAppend : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedAtRandomMomentsKeepsAcknowledgedRecords();
    void killedAtEveryStoreCallKeepsAcknowledgedRecords();
};

void TestFaultsKillAppend::initTestCase()
{
    QVERIFY2(QFileInfo(writer()).isExecutable(), qPrintable(writer()));
    qInfo("fault seed %u (set NANAHOSHI_FAULT_SEED to replay another)", faultproc::seed());
}

void TestFaultsKillAppend::killedAtRandomMomentsKeepsAcknowledgedRecords()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::writeStartRecord(dir, dataFile(), faultdata::startRecord()));
    std::mt19937 rng(faultproc::seed() + 1);
    int present = 0;

    quint64 perStep = 0;
    {
        faultproc::Child c = faultproc::spawn(writer(), appendArgs(tmp, 0));
        QVERIFY(c.pid > 0);
        perStep = faultproc::turnsPerStep(c, 4);
        int status = 0;
        const QByteArray rest = faultproc::killAndCollect(c, &status);
        QVERIFY2(perStep > 0, qPrintable(faultproc::describe(status)));
        // The measuring read five acknowledgements (records 0 to 4); the
        // rest came after.
        const int acked = acknowledged(rest, 5);
        QVERIFY(acked >= 5);
        bool tail = false;
        const QString why = checkAppends(tmp, acked, &present, &tail);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    int inFlight = 0;
    for (int round = 0; round < kRandomRounds; ++round) {
        const QString where = QStringLiteral("seed %1, round %2").arg(faultproc::seed() + 1).arg(round);
        const int first = present;
        faultproc::Child c = faultproc::spawn(writer(), appendArgs(tmp, first));
        QVERIFY2(c.pid > 0, qPrintable(where));
        const int waitFor = std::uniform_int_distribution<int>(0, 3)(rng);
        QByteArray acks(waitFor * 4, '\0');
        const bool alive = faultproc::readExactly(c.out, acks.data(), size_t(acks.size()));
        faultproc::spin(std::uniform_int_distribution<quint64>(0, perStep * 3 / 2)(rng), c.out);
        int status = 0;
        acks += faultproc::killAndCollect(c, &status);
        QVERIFY2(alive && faultproc::killedBySigkill(status),
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));
        const int acked = acknowledged(acks, first);
        QVERIFY2(acked >= first, qPrintable(said(where, QStringLiteral("garbled acknowledgements"))));

        bool tail = false;
        const QString why = checkAppends(tmp, acked, &present, &tail);
        QVERIFY2(why.isEmpty(), qPrintable(said(where, why)));
        if (present > acked)
            ++inFlight;
        const QStringList stray = faultproc::strayEntries(tmp.dir(), {dataFile()});
        QVERIFY2(stray.isEmpty(), qPrintable(said(where, stray.join(u' '))));
    }
    qInfo("%d kills: %d records appended, %d rounds with a record written but not yet acknowledged",
          kRandomRounds, present, inFlight);
}

void TestFaultsKillAppend::killedAtEveryStoreCallKeepsAcknowledgedRecords()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::writeStartRecord(dir, dataFile(), faultdata::startRecord()));
    int present = 0;

    struct Death {
        int call;     // four store calls an append: open, write, sync, close
        bool partial; // the write puts half its bytes down, then the cut back dies
        int inFlight; // records on disk beyond the acknowledged ones
    };
    const Death deaths[] = {
        {1, false, 0}, {2, false, 0}, {3, false, 1}, {4, false, 1},
        {5, false, 0}, {6, false, 0}, {7, false, 1}, {8, false, 1},
        {2, true, 0},  {6, true, 0},
    };
    for (const Death &d : deaths) {
        const QString where = QStringLiteral("killed at store call %1%2")
                                  .arg(d.call)
                                  .arg(d.partial ? QStringLiteral(" after half a write") : QString());
        const int first = present;
        QStringList args = appendArgs(tmp, first);
        args << QString::number(d.call) << QString::number(d.partial ? 1 : 0);
        faultproc::Child c = faultproc::spawn(writer(), args);
        QVERIFY2(c.pid > 0, qPrintable(where));
        int status = 0;
        const QByteArray acks = faultproc::waitAndCollect(c, &status);
        QVERIFY2(faultproc::killedBySigkill(status),
                 qPrintable(said(where, QStringLiteral("the writer ") + faultproc::describe(status))));
        const int acked = acknowledged(acks, first);
        QCOMPARE(acked, first + (d.call - 1) / 4);

        bool tail = false;
        const QString why = checkAppends(tmp, acked, &present, &tail);
        QVERIFY2(why.isEmpty(), qPrintable(said(where, why)));
        QVERIFY2(present == acked + d.inFlight,
                 qPrintable(said(where, QStringLiteral("%1 records present, %2 acknowledged")
                                            .arg(present)
                                            .arg(acked))));
        QVERIFY2(tail == d.partial,
                 qPrintable(said(where, tail ? QStringLiteral("unexpected incomplete last line")
                                             : QStringLiteral("no incomplete last line"))));
    }
}

QTEST_GUILESS_MAIN(TestFaultsKillAppend)
#include "test_faults_kill_append.moc"
