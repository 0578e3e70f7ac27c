// The new write paths (a correction, a removal, an insert and an append
// registered for undo, a CSV import, a restore, an undo) under faults: every store call
// failing in turn, the writer killed at every store call and at random
// moments, a full disk and a directory the user may not write to.
//
// After each, and after the next start's recovery: both data files hold
// exactly their old or their new content (together), every snapshot that
// is listed is whole (each copy matches its manifest), the undo record
// points at content that is there, and undoing then either works, giving
// back the content before that change, or refuses and writes nothing.
#include "backup_fault_steps.h"
#include "fault_process.h"
#include "store/file_io.h"
#include "temp_data_dir.h"

#include <QDirIterator>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef BACKUP_FAULT_WRITER
#error "BACKUP_FAULT_WRITER must name the child program"
#endif

using store::faults::Op;
using namespace backupfault;

namespace {

constexpr int kRandomRounds = 10;
constexpr uid_t kNobody = 65534;

// A directory tree by relative path: files with their bytes, and folders.
struct Tree {
    QMap<QString, QByteArray> files;
    QStringList folders;
};

Tree readTree(const QString &root)
{
    Tree t;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = base.relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            t.folders.append(rel);
        } else {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                t.files.insert(rel, f.readAll());
        }
    }
    t.folders.sort();
    return t;
}

void writeTree(const QString &root, const Tree &t)
{
    QDir d(root);
    for (const QString &e : d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (QFileInfo(d.filePath(e)).isDir())
            QDir(d.filePath(e)).removeRecursively();
        else
            d.remove(e);
    }
    for (const QString &f : t.folders)
        d.mkpath(f);
    for (auto it = t.files.cbegin(); it != t.files.cend(); ++it) {
        QFile f(d.filePath(it.key()));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            qFatal("cannot copy the prepared directory");
    }
}

struct Pair {
    QByteArray one, two;
    bool operator==(const Pair &) const = default;
};

Pair pairOf(const QString &root)
{
    const Tree t = readTree(root);
    return {t.files.value(data1()), t.files.value(data2())};
}

// What a step may leave: the files before it, after it, and before the
// prepared restore (what undoing that restore gives).
struct Outcome {
    QString step;
    Tree prepared;
    Pair before, after, prior;
    int calls = 0;
    int perOp[7] = {};
};

int g_calls = 0;
int g_perOp[7] = {};
int countingHook(Op op)
{
    ++g_calls;
    ++g_perOp[int(op)];
    return 0;
}

const Tree &preparedTree()
{
    static const Tree t = [] {
        TempDataDir tmp;
        if (!prepare(DataDir(tmp.dir())))
            qFatal("cannot prepare the data directory");
        return readTree(tmp.path());
    }();
    return t;
}

Outcome outcomeOf(const QString &step)
{
    Outcome o;
    o.step = step;
    o.prepared = preparedTree();
    TempDataDir tmp;
    writeTree(tmp.path(), o.prepared);
    o.before = pairOf(tmp.path());
    g_calls = 0;
    std::fill(std::begin(g_perOp), std::end(g_perOp), 0);
    store::faults::setHook(countingHook);
    const MaybeError e = run(step, DataDir(tmp.dir()));
    store::faults::setHook(nullptr);
    if (e)
        qFatal("%s: %s", qPrintable(step), qPrintable(e->message()));
    o.calls = g_calls;
    std::copy(std::begin(g_perOp), std::end(g_perOp), o.perOp);
    o.after = pairOf(tmp.path());
    QByteArray one, two;
    store::recordFileBytes(data1(), records(kRecords - 7, 1), &one);
    store::recordFileBytes(data2(), records(kRecords / 2 + 3, 2), &two);
    o.prior = {one, two};
    return o;
}

// Every listed snapshot's copies match its manifest, byte for byte.
QString snapshotsWhole(const QString &root)
{
    const DataDir dir{QDir(root)};
    for (const store::SnapshotInfo &s : store::listSnapshots(dir)) {
        const QString folder = root + QStringLiteral("/backup/") + s.folder;
        QFile m(folder + QStringLiteral("/.manifest"));
        if (!m.open(QIODevice::ReadOnly))
            return s.folder + QStringLiteral(": no manifest");
        const QStringList lines = QString::fromUtf8(m.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList f = lines.at(i).split(u'\t');
            QFile c(folder + u'/' + f.value(3));
            if (!c.open(QIODevice::ReadOnly) ||
                QStringLiteral("%1").arg(store::contentChecksum(c.readAll()), 16, 16, QLatin1Char('0')) != f.value(0))
                return s.folder + QStringLiteral(": ") + f.value(3) + QStringLiteral(" is not what its manifest says");
        }
    }
    return {};
}

// Judges a directory after a fault, as the next start finds it. `error`
// is what the step reported ("" for success, "killed" when it died).
QString judge(const QString &root, const Outcome &o, const QString &error, bool mayBeNew)
{
    const DataDir dir{QDir(root)};
    // Even before the next start tidies up, the undo record points at
    // content that is there.
    if (MaybeError e = store::checkUndoRecord(dir))
        return QStringLiteral("the undo record is broken before the next start: ") + e->message();
    QString done;
    if (MaybeError e = store::recoverPending(dir, &done))
        return QStringLiteral("recovery failed: ") + e->message();
    const Pair now = pairOf(root);
    if (now != o.before && now != o.after)
        return QStringLiteral("the data files are neither old nor new (%1, %2 bytes)").arg(now.one.size()).arg(now.two.size());
    if (error.isEmpty() && now != o.after)
        return QStringLiteral("reported as done, but the files are old");
    if (!error.isEmpty() && error != QLatin1String("killed") && now == o.after && o.after != o.before && !mayBeNew &&
        !error.contains(QStringLiteral("次の起動")) && !error.contains(QStringLiteral("保存しましたが")) &&
        !error.contains(QStringLiteral("済みましたが")))
        return QStringLiteral("reported as failed, but the change is there: ") + error;
    for (const QString &e : QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        static const QStringList allowed = {data1(), data2(), QStringLiteral("backup"),
                                            store::scratchNameFor(data1()), store::scratchNameFor(data2()),
                                            store::insertScratchName()};
        if (!allowed.contains(e))
            return QStringLiteral("a stray entry in the data directory: ") + e;
    }
    // Under backup/ only snapshots, the undo record and its folder remain.
    const Tree t = readTree(root + QStringLiteral("/backup"));
    for (auto it = t.files.cbegin(); it != t.files.cend(); ++it) {
        const QString &path = it.key();
        if (path.startsWith(u'.') || path.contains(QStringLiteral("/.")) ? !path.endsWith(QStringLiteral("/.manifest"))
                                                                          : path.endsWith(QStringLiteral(".tmp")))
            return QStringLiteral("left behind under backup/: ") + path;
    }
    if (QFile::exists(root + QStringLiteral("/backup/journal.txt")))
        return QStringLiteral("a journal is left after the next start");
    if (const QString why = snapshotsWhole(root); !why.isEmpty())
        return why;
    if (MaybeError e = store::checkUndoRecord(dir))
        return QStringLiteral("the undo record is broken: ") + e->message();
    // The record matches the files: a change that stands can be undone
    // (unless the step said it could not note it), a finished undo is not
    // offered again, and a step that did not happen left the record
    // before it (the prepared restore's) as it was.
    const store::UndoState state = store::undoState(dir);
    const bool unnoted = error.contains(QStringLiteral("保存しましたが")) || error.contains(QStringLiteral("済みましたが"));
    const bool isUndo = o.step == QLatin1String("undo");
    if (now == o.after && !isUndo && !unnoted && (!state.available || !state.applies || state.step != o.step))
        return QStringLiteral("the change stands but cannot be undone (record: %1, %2)")
            .arg(state.step, state.applies ? QStringLiteral("applies") : QStringLiteral("does not apply"));
    if (now == o.after && isUndo && state.available)
        return QStringLiteral("the undo is done but offered again (%1)").arg(state.step);
    if (now == o.before && (!state.available || !state.applies || state.step != QLatin1String("restore")))
        return QStringLiteral("the step did not happen but the record before it is gone (record: %1)").arg(state.step);
    // Undo either gives back the content before its change, or refuses
    // and writes nothing.
    const MaybeError undone = store::undoLastChange(dir, StepClock());
    const Pair afterUndo = pairOf(root);
    if (undone && afterUndo != now)
        return QStringLiteral("a refused undo changed the files: ") + undone->message();
    if (!undone && afterUndo != o.before && afterUndo != o.prior)
        return QStringLiteral("undo gave neither the content before the step nor the one before the restore");
    return {};
}

// Fails the n-th call of one kind.
Op g_op;
int g_n = 0;
int g_err = 0;
int g_seen = 0;
int failingHook(Op op)
{
    if (op == g_op && ++g_seen == g_n)
        return g_err;
    return 0;
}

QString writer() { return QStringLiteral(BACKUP_FAULT_WRITER); }

QString where(const QString &step, const QString &what) { return step + QStringLiteral(": ") + what; }

} // namespace

class TestFaultsBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyStoreCallFailingInTurn_data();
    void everyStoreCallFailingInTurn();
    void killedAtEveryStoreCall_data();
    void killedAtEveryStoreCall();
    void killedAtRandomMoments_data();
    void killedAtRandomMoments();
    void fullDiskStopsEveryStep_data();
    void fullDiskStopsEveryStep();
    void readOnlyDirectoryStopsEveryStep_data();
    void readOnlyDirectoryStopsEveryStep();
    void editAfterAKilledStepIsNeverUndoneAway_data();
    void editAfterAKilledStepIsNeverUndoneAway();
    void failedStepSaysWhetherItsChangeIsIn_data();
    void failedStepSaysWhetherItsChangeIsIn();
};

void TestFaultsBackup::initTestCase()
{
    QVERIFY2(QFileInfo(writer()).isExecutable(), qPrintable(writer()));
    qInfo("fault seed %u (set NANAHOSHI_FAULT_SEED to replay another)", faultproc::seed());
}

void TestFaultsBackup::everyStoreCallFailingInTurn_data()
{
    QTest::addColumn<QString>("step");
    for (const QString &s : steps())
        QTest::newRow(qPrintable(s)) << s;
}

void TestFaultsBackup::everyStoreCallFailingInTurn()
{
    QFETCH(QString, step);
    const Outcome o = outcomeOf(step);
    QVERIFY(o.after != o.before);
    TempDataDir tmp;
    int rounds = 0, failed = 0;
    for (const Op op : {Op::Open, Op::Write, Op::Sync, Op::Close, Op::Rename, Op::DirSync, Op::Truncate}) {
        for (int n = 1; n <= o.perOp[int(op)]; ++n) {
            for (const int err : {EIO, store::faults::kPartialWrite}) {
                if (err == store::faults::kPartialWrite && op != Op::Write)
                    continue;
                const QString at = where(step, QStringLiteral("call %1 of kind %2 fails (%3)").arg(n).arg(int(op)).arg(err));
                writeTree(tmp.path(), o.prepared);
                g_op = op;
                g_n = n;
                g_err = err;
                g_seen = 0;
                store::faults::setHook(failingHook);
                const MaybeError e = run(step, DataDir(tmp.dir()));
                store::faults::setHook(nullptr);
                ++rounds;
                failed += e ? 1 : 0;
                // The directory sync after a rename fails when the new
                // content is in place already.
                const QString why = judge(tmp.path(), o, e ? e->message() : QString(), op == Op::DirSync);
                QVERIFY2(why.isEmpty(), qPrintable(where(at, why)));
                if (e)
                    QVERIFY2(!e->reason.isEmpty() && !e->message().isEmpty(), qPrintable(at));
            }
        }
    }
    QVERIFY(failed > 0);
    qInfo("%s: %d store calls failed in turn, %d steps refused", qPrintable(step), rounds, failed);
}

void TestFaultsBackup::killedAtEveryStoreCall_data() { everyStoreCallFailingInTurn_data(); }

void TestFaultsBackup::killedAtEveryStoreCall()
{
    QFETCH(QString, step);
    const Outcome o = outcomeOf(step);
    TempDataDir tmp;
    int left[2] = {};
    for (int dieAt = 1; dieAt <= o.calls + 1; ++dieAt) {
        const QString at = where(step, QStringLiteral("killed at store call %1 of %2").arg(dieAt).arg(o.calls));
        writeTree(tmp.path(), o.prepared);
        faultproc::Child c = faultproc::spawn(writer(), {step, tmp.path(), QString::number(dieAt)});
        QVERIFY2(c.pid > 0, qPrintable(at));
        int status = 0;
        faultproc::waitAndCollect(c, &status);
        const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        QVERIFY2(dieAt <= o.calls ? faultproc::killedBySigkill(status) : finished,
                 qPrintable(where(at, faultproc::describe(status))));
        ++left[pairOf(tmp.path()) == o.after ? 1 : 0];
        const QString why = judge(tmp.path(), o, finished ? QString() : QStringLiteral("killed"), true);
        QVERIFY2(why.isEmpty(), qPrintable(where(at, why)));
    }
    QVERIFY(left[0] > 0 && left[1] > 0);
}

void TestFaultsBackup::killedAtRandomMoments_data() { everyStoreCallFailingInTurn_data(); }

void TestFaultsBackup::killedAtRandomMoments()
{
    QFETCH(QString, step);
    const Outcome o = outcomeOf(step);
    TempDataDir tmp;
    std::mt19937 rng(faultproc::seed() + quint32(steps().indexOf(step)));
    for (int round = 0; round < kRandomRounds; ++round) {
        const QString at = where(step, QStringLiteral("seed %1, round %2").arg(faultproc::seed()).arg(round));
        writeTree(tmp.path(), o.prepared);
        faultproc::Child c = faultproc::spawn(writer(), {step, tmp.path()});
        QVERIFY2(c.pid > 0, qPrintable(at));
        // After one of its store calls began, a random while later.
        QByteArray reports(std::uniform_int_distribution<int>(1, o.calls)(rng), '\0');
        faultproc::readExactly(c.out, reports.data(), size_t(reports.size()));
        faultproc::spin(std::uniform_int_distribution<quint64>(0, 3000)(rng), c.out);
        int status = 0;
        faultproc::killAndCollect(c, &status);
        const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        QVERIFY2(faultproc::killedBySigkill(status) || finished, qPrintable(where(at, faultproc::describe(status))));
        const QString why = judge(tmp.path(), o, finished ? QString() : QStringLiteral("killed"), true);
        QVERIFY2(why.isEmpty(), qPrintable(where(at, why)));
    }
}

void TestFaultsBackup::fullDiskStopsEveryStep_data()
{
    // Room for less than the snapshot's copy, or for the copy but not for
    // the new, longer file.
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("room");
    for (const QString &s : steps()) {
        QTest::newRow(qPrintable(s + QStringLiteral(", half the file"))) << s << -1;
        QTest::newRow(qPrintable(s + QStringLiteral(", a few bytes more"))) << s << 8;
    }
}

void TestFaultsBackup::fullDiskStopsEveryStep()
{
    QFETCH(QString, step);
    QFETCH(int, room);
    const Outcome o = outcomeOf(step);
    // The largest file the step copies or writes.
    const qint64 largest = std::max({o.before.one.size(), o.before.two.size(), o.after.one.size(), o.after.two.size()});
    const qint64 smallest = std::min(o.before.one.size(), o.before.two.size());
    const rlim_t limit = rlim_t(room < 0 ? smallest / 2 : largest - 1 + 0 * room);
    TempDataDir tmp;
    writeTree(tmp.path(), o.prepared);
    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        rlimit lim{};
        ::getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = limit;
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0)
            return "SKIP setrlimit failed";
        ::signal(SIGXFSZ, SIG_IGN);
        const MaybeError e = run(step, DataDir(tmp.dir()));
        return e ? e->message().toUtf8() : QByteArray("OK");
    });
    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    QVERIFY2(!child.output.startsWith("SKIP"), child.output.constData());
    const QString result = QString::fromUtf8(child.output);
    QVERIFY2(result != QLatin1String("OK"), "reported as success");
    QVERIFY2(result.contains(store::reasonForErrno(EFBIG)), qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("データ")), qPrintable(result));
    QCOMPARE(pairOf(tmp.path()), o.before);
    const QString why = judge(tmp.path(), o, result, false);
    QVERIFY2(why.isEmpty(), qPrintable(why));
}

void TestFaultsBackup::readOnlyDirectoryStopsEveryStep_data()
{
    // The whole directory read-only, or only the data files (a rename in
    // the directory would be allowed, and must not be used to replace them).
    QTest::addColumn<bool>("onlyFiles");
    QTest::newRow("read-only directory") << false;
    QTest::newRow("read-only data files") << true;
}

void TestFaultsBackup::readOnlyDirectoryStopsEveryStep()
{
    QFETCH(bool, onlyFiles);
    for (const QString &step : steps()) {
        const Outcome o = outcomeOf(step);
        TempDataDir tmp;
        writeTree(tmp.path(), o.prepared);
        const bool root = ::geteuid() == 0;
        // As root the files stay root's and the child becomes nobody;
        // otherwise everything is made read-only for its owner.
        const Tree t = readTree(tmp.path());
        QStringList all = t.folders;
        all.append(t.files.keys());
        const mode_t dirMode = onlyFiles ? (root ? 0777 : 0755) : (root ? 0755 : 0555);
        for (const QString &e : std::as_const(all))
            ::chmod(QFile::encodeName(tmp.filePath(e)).constData(),
                    QFileInfo(tmp.filePath(e)).isDir() ? dirMode : (root ? 0644 : 0444));
        ::chmod(QFile::encodeName(tmp.path()).constData(), dirMode);

        const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                return "SKIP cannot become the user nobody";
            if (::access(QFile::encodeName(tmp.path()).constData(), R_OK | X_OK) != 0)
                return "SKIP the temporary directory cannot be reached as the user nobody";
            if (!onlyFiles && ::access(QFile::encodeName(tmp.path()).constData(), W_OK) == 0)
                return "SKIP the directory is still writable";
            if (::access(QFile::encodeName(tmp.filePath(data1())).constData(), W_OK) == 0)
                return "SKIP the data file is still writable";
            const MaybeError e = run(step, DataDir(tmp.dir()));
            return e ? e->message().toUtf8() : QByteArray("OK");
        });
        ::chmod(QFile::encodeName(tmp.path()).constData(), 0700);
        for (const QString &e : std::as_const(all))
            ::chmod(QFile::encodeName(tmp.filePath(e)).constData(), QFileInfo(tmp.filePath(e)).isDir() ? 0700 : 0644);
        QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
        if (child.output.startsWith("SKIP "))
            QSKIP(child.output.mid(5).constData());
        const QString result = QString::fromUtf8(child.output);
        QVERIFY2(result != QLatin1String("OK"), qPrintable(step + QStringLiteral(": reported as success")));
        QVERIFY2(result.contains(store::reasonForErrno(EACCES)), qPrintable(step + QStringLiteral(": ") + result));
        QVERIFY2(result.contains(QStringLiteral("データ")), qPrintable(step + QStringLiteral(": ") + result));
        const Tree now = readTree(tmp.path());
        QVERIFY2(now.files == t.files && now.folders == t.folders, qPrintable(step + QStringLiteral(": something was written")));
    }
}

void TestFaultsBackup::editAfterAKilledStepIsNeverUndoneAway_data()
{
    // The steps that know beforehand what they will write.
    QTest::addColumn<QString>("step");
    for (const char *s : {"correct", "remove", "import"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

// Killed after its file was written but before the step became the undo
// record, and the file then edited by hand before the next start: the
// start must not take the edited file for what the step left, or undo
// would put back the bytes before the step and throw the edit away.
void TestFaultsBackup::editAfterAKilledStepIsNeverUndoneAway()
{
    QFETCH(QString, step);
    const Outcome o = outcomeOf(step);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    WeightRecord outside = record(kRecords * 3, 1);
    outside.situation = QStringLiteral("手で足した");
    int cases = 0;
    for (int dieAt = 1; dieAt <= o.calls; ++dieAt) {
        const QString at = where(step, QStringLiteral("killed at store call %1").arg(dieAt));
        writeTree(tmp.path(), o.prepared);
        faultproc::Child c = faultproc::spawn(writer(), {step, tmp.path(), QString::number(dieAt)});
        QVERIFY2(c.pid > 0, qPrintable(at));
        int status = 0;
        faultproc::waitAndCollect(c, &status);
        QVERIFY2(faultproc::killedBySigkill(status), qPrintable(where(at, faultproc::describe(status))));
        if (pairOf(tmp.path()) != o.after || !tmp.exists(QStringLiteral("backup/undo/pending.txt")))
            continue;
        ++cases;
        QVERIFY(!store::appendRecord(dir, data1(), outside));
        QVERIFY2(!store::recoverPending(dir), qPrintable(at));
        QVERIFY2(!store::checkUndoRecord(dir), qPrintable(at));
        (void)store::undoLastChange(dir, StepClock());
        QList<WeightRecord> rs;
        QVERIFY2(!store::readRecords(dir, data1(), &rs), qPrintable(at));
        QVERIFY2(std::any_of(rs.cbegin(), rs.cend(), [&](const WeightRecord &r) { return r.situation == outside.situation; }),
                 qPrintable(where(at, QStringLiteral("undo threw away the edit made after the step"))));
    }
    QVERIFY(cases > 0);
}

// A failed import tells its caller whether the records are in the file
// anyway (a failure after the file was replaced), so that the screens show
// them and the message does not say that nothing was added.
void TestFaultsBackup::failedStepSaysWhetherItsChangeIsIn_data()
{
    QTest::addColumn<QString>("step");
    for (const char *s : {"correct", "remove", "import"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

// A step that fails after the file was replaced (its undo record, the
// folder's sync) says so, so that the window shows the change instead of
// saying nothing changed.
void TestFaultsBackup::failedStepSaysWhetherItsChangeIsIn()
{
    QFETCH(QString, step);
    const Outcome o = outcomeOf(step);
    TempDataDir tmp;
    int in = 0, out = 0;
    for (const Op op : {Op::Open, Op::Write, Op::Sync, Op::Close, Op::Rename, Op::DirSync, Op::Truncate}) {
        for (int n = 1; n <= o.perOp[int(op)]; ++n) {
            const QString at = QStringLiteral("call %1 of kind %2 fails").arg(n).arg(int(op));
            writeTree(tmp.path(), o.prepared);
            g_op = op;
            g_n = n;
            g_err = EIO;
            g_seen = 0;
            bool recordsIn = false;
            store::faults::setHook(failingHook);
            const MaybeError e = run(step, DataDir(tmp.dir()), &recordsIn);
            store::faults::setHook(nullptr);
            const bool isNew = pairOf(tmp.path()) == o.after;
            QVERIFY2(recordsIn == isNew, qPrintable(at));
            if (e)
                ++(recordsIn ? in : out);
        }
    }
    // Both kinds of failure were met.
    QVERIFY(in > 0 && out > 0);
}

QTEST_GUILESS_MAIN(TestFaultsBackup)
#include "test_faults_backup.moc"
