// Every write of the store made to fail at each of its system calls in
// turn (through the store's fault seam): opening, writing (also halfway),
// syncing and closing the scratch file, renaming it, syncing the
// directory, cutting back a failed append. Whatever fails, the caller gets
// an error that names the file and the reason, the files keep their bytes
// and no scratch file is left behind.
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"
#include "records.h"

#include <QtTest>

#include <cerrno>

using store::faults::Op;

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kProfile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");

constexpr Op kOps[] = {Op::Open, Op::Write, Op::Sync, Op::Close, Op::Rename, Op::DirSync, Op::Truncate};

QString opName(Op op)
{
    switch (op) {
    case Op::Open: return QStringLiteral("open");
    case Op::Write: return QStringLiteral("write");
    case Op::Sync: return QStringLiteral("fdatasync");
    case Op::Close: return QStringLiteral("close");
    case Op::Rename: return QStringLiteral("rename");
    case Op::DirSync: return QStringLiteral("directory fsync");
    case Op::Truncate: return QStringLiteral("ftruncate");
    }
    return {};
}

QString errName(int err)
{
    if (err == store::faults::kPartialWrite)
        return QStringLiteral("half written, then ENOSPC");
    return err == EIO ? QStringLiteral("EIO") : err == ENOSPC ? QStringLiteral("ENOSPC") : QString::number(err);
}

// The fault seam: the n-th call of an op (counted per op) fails.
struct Fault {
    Op op;
    int n;
    int err;
};

struct Seam {
    QList<Fault> faults;
    int seen[7] = {};
    int fired = 0;
};
Seam g_seam;

int seamHook(Op op)
{
    const int call = ++g_seam.seen[int(op)];
    for (const Fault &f : std::as_const(g_seam.faults)) {
        if (f.op == op && f.n == call) {
            ++g_seam.fired;
            return f.err;
        }
    }
    return 0;
}

// Installs the seam for one scope and takes it out again.
class SeamScope {
public:
    explicit SeamScope(const QList<Fault> &faults)
    {
        g_seam = Seam{};
        g_seam.faults = faults;
        store::faults::setHook(seamHook);
    }
    ~SeamScope() { store::faults::setHook(nullptr); }
    Q_DISABLE_COPY_MOVE(SeamScope)
};

using testrec::rec;

// A whole data directory as the program keeps it, written by the store
// once and copied byte for byte into every fresh directory after that
// (the copies need no syncing, which keeps the many rounds quick).
void writeAll(const DataDir &dir)
{
    const QList<WeightRecord> records = {
        rec(QStringLiteral("2008/03/09"), QStringLiteral("はじめの一歩"), 74.5f),
        rec(QStringLiteral("2008/03/10"), QStringLiteral("朝"), 74.2f, QStringLiteral("表ソ～①")),
        rec(QStringLiteral("2008/03/10"), QStringLiteral("夜"), 74.9f),
        rec(QStringLiteral("2008/03/12"), QStringLiteral("朝"), 73.8f, QStringLiteral("ｶﾀｶﾅ")),
        rec(QStringLiteral("2008/03/13"), QStringLiteral("朝食前"), 73.6f),
    };
    bool ok = !store::rewriteRecords(dir, kData, records, store::insertScratchName());
    ok = ok && !store::saveProfile(dir, kProfile, PersonProfile{QStringLiteral("はなこ"), 158.5f, 50});
    ok = ok && !store::writeHelpFlag(dir, 1);
    ok = ok && !store::writeStepText(dir, QStringLiteral("0.1"));
    ok = ok && !store::writeMemo(dir, QStringLiteral("一行目\n二行目"));
    ok = ok && !store::writeSituationListBare(
                   dir, {QStringLiteral("朝"), QStringLiteral("夜"), QStringLiteral("朝食前")});
    if (!ok)
        qFatal("cannot prepare the data directory");
}

void prepareAll(const TempDataDir &tmp)
{
    static const QMap<QString, QByteArray> files = [] {
        TempDataDir first;
        writeAll(DataDir(first.dir()));
        QMap<QString, QByteArray> m;
        for (const QString &e : first.entries())
            m.insert(e, first.readBytes(e));
        return m;
    }();
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        tmp.writeBytes(it.key(), it.value());
}

struct Snapshot {
    QStringList entries;
    QMap<QString, QByteArray> bytes;
};

Snapshot snapshot(const TempDataDir &tmp)
{
    Snapshot s;
    s.entries = tmp.entries();
    for (const QString &e : std::as_const(s.entries))
        s.bytes.insert(e, tmp.readBytes(e));
    return s;
}

// One write operation of the store and the files it changes.
struct Case {
    const char *name;
    MaybeError (*run)(const DataDir &);
    QStringList changes;
};

const QList<Case> &cases()
{
    static const QList<Case> all = {
        {"rewriteRecords",
         [](const DataDir &d) {
             QList<WeightRecord> rs;
             if (MaybeError e = store::readRecords(d, kData, &rs))
                 return e;
             rs.removeAt(2);
             return store::rewriteRecords(d, kData, rs, store::insertScratchName());
         },
         {kData}},
        {"insertRecordInOrder",
         [](const DataDir &d) {
             return store::insertRecordInOrder(
                 d, kData, rec(QStringLiteral("2008/03/10"), QStringLiteral("昼"), 74.4f));
         },
         {kData}},
        {"appendRecord",
         [](const DataDir &d) {
             return store::appendRecord(
                 d, kData, rec(QStringLiteral("2008/03/14"), QStringLiteral("朝"), 73.5f));
         },
         {kData}},
        {"saveProfile",
         [](const DataDir &d) {
             return store::saveProfile(d, kProfile, PersonProfile{QStringLiteral("花子"), 158.7f, 58.7f});
         },
         {kProfile}},
        {"writeStartRecord",
         [](const DataDir &d) {
             return store::writeStartRecord(
                 d, kData, rec(QStringLiteral("2026/12/08"), QStringLiteral("はじめの一歩"), 58.7f));
         },
         {kData}},
        {"saveComment",
         [](const DataDir &d) {
             QList<WeightRecord> rs;
             if (MaybeError e = store::readRecords(d, kData, &rs))
                 return e;
             rs[3].diary = QStringLiteral("言い訳: 外食が続いた");
             return store::rewriteRecords(d, kData, rs, store::scratchNameFor(d.resolve(kData)));
         },
         {kData}},
        {"writeHelpFlag", [](const DataDir &d) { return store::writeHelpFlag(d, 0); },
         {store::helpSettingFile()}},
        {"writeStepText",
         [](const DataDir &d) { return store::writeStepText(d, QStringLiteral("0.25")); },
         {store::stepSettingFile()}},
        {"writeMemo", [](const DataDir &d) { return store::writeMemo(d, QStringLiteral("新しいメモ")); },
         {store::memoFile()}},
        {"writeSituationListBare",
         [](const DataDir &d) {
             return store::writeSituationListBare(
                 d, {QStringLiteral("夜"), QStringLiteral("朝"), QStringLiteral("朝食前")});
         },
         {store::situationListFile()}},
        {"appendSituationQuoted",
         [](const DataDir &d) { return store::appendSituationQuoted(d, QStringLiteral("昼, 外食")); },
         {store::situationListFile()}},
        {"renameSituation",
         [](const DataDir &d) {
             return store::renameSituation(d, kData, QStringLiteral("朝"), QStringLiteral("起床後"));
         },
         {kData, store::situationListFile()}},
    };
    return all;
}

QList<int> errorsFor(Op op)
{
    if (op == Op::Write)
        return {EIO, ENOSPC, store::faults::kPartialWrite};
    return {EIO, ENOSPC};
}

} // namespace

class TestFaultsFailingCalls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failureAtEveryCallLeavesFilesAsTheyWere_data();
    void failureAtEveryCallLeavesFilesAsTheyWere();
    void appendWhoseCutBackAlsoFailsLeavesOnlyAnIncompleteTail();
    void keepingAnIncompleteTailAsideNeverLosesIt();
    void legacyConversionFailingAtEveryCallIsAllOldOrAllNew();
};

void TestFaultsFailingCalls::failureAtEveryCallLeavesFilesAsTheyWere_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i)
        QTest::newRow(cases().at(i).name) << i;
}

void TestFaultsFailingCalls::failureAtEveryCallLeavesFilesAsTheyWere()
{
    QFETCH(int, index);
    const Case &c = cases().at(index);

    // A run without faults: how many calls of each kind the operation
    // makes, and what the changed files hold afterwards.
    int counts[7] = {};
    Snapshot changed;
    {
        TempDataDir tmp;
        const DataDir dir(tmp.dir());
        prepareAll(tmp);
        const Snapshot before = snapshot(tmp);
        SeamScope seam({});
        const MaybeError e = c.run(dir);
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
        std::copy(std::begin(g_seam.seen), std::end(g_seam.seen), counts);
        changed = snapshot(tmp);
        QCOMPARE(changed.entries, before.entries);
        for (const QString &f : before.entries)
            QVERIFY2((before.bytes.value(f) != changed.bytes.value(f)) == c.changes.contains(f),
                     qPrintable(f));
    }

    int tried = 0;
    for (const Op op : kOps) {
        for (int n = 1; n <= counts[int(op)]; ++n) {
            for (const int err : errorsFor(op)) {
                const QString where = QStringLiteral("%1 fails at %3 call no. %2 (%4)")
                                          .arg(QLatin1String(c.name))
                                          .arg(n)
                                          .arg(opName(op), errName(err));
                TempDataDir tmp;
                const DataDir dir(tmp.dir());
                prepareAll(tmp);
                const Snapshot before = snapshot(tmp);
                MaybeError e;
                int fired = 0;
                {
                    SeamScope seam({{op, n, err}});
                    e = c.run(dir);
                    fired = g_seam.fired;
                }
                ++tried;
                QVERIFY2(fired == 1, qPrintable(where + QStringLiteral(": the call was not reached")));
                // A step of several files ends by removing its journal: every
                // file is new by then, and a journal a crash brought back
                // would find its step done, so the step has succeeded.
                if (!e && QLatin1String(c.name) == QLatin1String("renameSituation") && op == Op::DirSync &&
                    n == counts[int(op)]) {
                    const Snapshot after = snapshot(tmp);
                    QVERIFY2(after.entries == changed.entries && after.bytes == changed.bytes, qPrintable(where));
                    continue;
                }
                QVERIFY2(e.has_value(), qPrintable(where + QStringLiteral(": reported as success")));
                const QString msg = e->message();
                QVERIFY2(c.changes.contains(e->file) && msg.contains(e->file),
                         qPrintable(where + QStringLiteral(": the error does not name the file: ") + msg));
                const int reasonErr = err == store::faults::kPartialWrite ? ENOSPC : err;
                QVERIFY2(msg.contains(store::reasonForErrno(reasonErr)),
                         qPrintable(where + QStringLiteral(": the error does not say why: ") + msg));

                const Snapshot after = snapshot(tmp);
                QVERIFY2(after.entries == before.entries,
                         qPrintable(where + QStringLiteral(": files now: ") + after.entries.join(u' ')));
                if (op != Op::DirSync) {
                    for (const QString &f : before.entries)
                        QVERIFY2(after.bytes.value(f) == before.bytes.value(f),
                                 qPrintable(where + QStringLiteral(": 「%1」 changed").arg(f)));
                    continue;
                }
                // The directory sync comes after the rename: the new content
                // is already in place and cannot be taken back, so the save
                // is reported as failed while the files hold complete
                // contents. Files that change together must still be all
                // old or all new.
                int oldOnes = 0, newOnes = 0;
                for (const QString &f : before.entries) {
                    const QByteArray now = after.bytes.value(f);
                    if (!c.changes.contains(f)) {
                        QVERIFY2(now == before.bytes.value(f),
                                 qPrintable(where + QStringLiteral(": 「%1」 changed").arg(f)));
                        continue;
                    }
                    QVERIFY2(now == before.bytes.value(f) || now == changed.bytes.value(f),
                             qPrintable(where + QStringLiteral(": 「%1」 is neither old nor new").arg(f)));
                    ++(now == before.bytes.value(f) ? oldOnes : newOnes);
                }
                QVERIFY2(oldOnes == 0 || newOnes == 0,
                         qPrintable(where + QStringLiteral(": %1 file(s) old and %2 new: the files no "
                                                           "longer belong together")
                                                .arg(oldOnes)
                                                .arg(newOnes)));
            }
        }
    }
    QVERIFY(tried > 0);
}

void TestFaultsFailingCalls::appendWhoseCutBackAlsoFailsLeavesOnlyAnIncompleteTail()
{
    // Two faults at once: the append writes half its line, then cutting
    // the file back fails too. The half line must then be recognised as
    // an interrupted append, kept aside and cut away; nothing before it
    // is touched.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    prepareAll(tmp);
    const QByteArray before = tmp.readBytes(kData);
    QList<WeightRecord> old;
    QVERIFY(!store::readRecords(dir, kData, &old));

    MaybeError e;
    {
        SeamScope seam({{Op::Write, 1, store::faults::kPartialWrite}, {Op::Truncate, 1, EIO}});
        e = store::appendRecord(
            dir, kData, rec(QStringLiteral("2008/03/14"), QStringLiteral("朝"), 73.5f, QStringLiteral("表表表表")));
        QCOMPARE(g_seam.fired, 2);
    }
    QVERIFY(e.has_value());
    QVERIFY(e->message().contains(kData));
    const QByteArray damaged = tmp.readBytes(kData);
    QVERIFY(damaged.startsWith(before));
    QVERIFY(damaged.size() > before.size());

    QList<WeightRecord> rs;
    QVERIFY2(store::readRecords(dir, kData, &rs), "an incomplete line read without a word");
    store::IncompleteTail tail;
    const MaybeError readErr = store::readRecords(dir, kData, &rs, &tail);
    QVERIFY2(!readErr, readErr ? qPrintable(readErr->message()) : "");
    QVERIFY(tail.present);
    QCOMPARE(tail.line, int(old.size()) + 1);
    QCOMPARE(tail.offset, qint64(before.size()));
    QCOMPARE(rs, old);

    QString side;
    const MaybeError saveErr = store::saveIncompleteTail(dir, kData, tail, &side);
    QVERIFY2(!saveErr, saveErr ? qPrintable(saveErr->message()) : "");
    QCOMPARE(tmp.readBytes(kData), before);
    QCOMPARE(tmp.readBytes(side), damaged.mid(before.size()));
}

void TestFaultsFailingCalls::keepingAnIncompleteTailAsideNeverLosesIt()
{
    // Whatever call fails while an incomplete last line is moved to its
    // side file, its bytes are somewhere afterwards: still at the end of
    // the data file, or in a side file with the data file cut back.
    const QByteArray half = QByteArray("\"2008/03/14\",\"\x92\xA9\",73.");
    auto prepare = [&](const TempDataDir &tmp) {
        prepareAll(tmp);
        tmp.writeBytes(kData, tmp.readBytes(kData) + half);
    };
    auto moveAside = [](const DataDir &dir, QString *side) -> MaybeError {
        QList<WeightRecord> rs;
        store::IncompleteTail tail;
        if (MaybeError e = store::readRecords(dir, kData, &rs, &tail))
            return e;
        if (!tail.present)
            return StoreError{kData, 0, QStringLiteral("no incomplete line")};
        return store::saveIncompleteTail(dir, kData, tail, side);
    };

    int counts[7] = {};
    {
        TempDataDir tmp;
        prepare(tmp);
        SeamScope seam({});
        QString side;
        const MaybeError e = moveAside(DataDir(tmp.dir()), &side);
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
        QCOMPARE(tmp.readBytes(side), half);
        std::copy(std::begin(g_seam.seen), std::end(g_seam.seen), counts);
    }
    for (const Op op : kOps) {
        for (int n = 1; n <= counts[int(op)]; ++n) {
            const QString where = QStringLiteral("%2 call no. %1 fails").arg(n).arg(opName(op));
            TempDataDir tmp;
            prepare(tmp);
            const QByteArray before = tmp.readBytes(kData);
            const QStringList entriesBefore = tmp.entries();
            QString side;
            MaybeError e;
            {
                SeamScope seam({{op, n, EIO}});
                e = moveAside(DataDir(tmp.dir()), &side);
            }
            QVERIFY2(e.has_value(), qPrintable(where + QStringLiteral(": reported as success")));
            QVERIFY2(e->message().contains(e->file) && !e->file.isEmpty(), qPrintable(where));
            const QByteArray now = tmp.readBytes(kData);
            QStringList sides = tmp.entries();
            sides.removeOne(kData);
            for (const QString &f : entriesBefore)
                sides.removeOne(f);
            if (now == before) {
                // Untouched; a side file may exist, but only a complete one.
                for (const QString &s : std::as_const(sides))
                    QVERIFY2(tmp.readBytes(s) == half,
                             qPrintable(where + QStringLiteral(": stray file ") + s));
                continue;
            }
            QVERIFY2(before.startsWith(now) && now.size() == before.size() - half.size(),
                     qPrintable(where + QStringLiteral(": the data file is damaged")));
            QVERIFY2(sides.size() == 1 && tmp.readBytes(sides.first()) == half,
                     qPrintable(where + QStringLiteral(": the cut line is lost: ") + sides.join(u' ')));
        }
    }
}

void TestFaultsFailingCalls::legacyConversionFailingAtEveryCallIsAllOldOrAllNew()
{
    // The conversion changes two things, the data file's content and the
    // old file's name. After a failure both are as before, or (only when
    // the last directory sync fails, after the rename) both are new; never
    // the data converted with the old file still waiting.
    const QByteArray legacy = "\"2003/11/08\",\"\x82\xCD\x82\xB6\x82\xDF\",74.5\r\n2003/11/09,\x92\xA9,74\r\n";
    auto prepare = [&](const TempDataDir &tmp) {
        prepareAll(tmp);
        tmp.writeBytes(QStringLiteral("連続体重.TXT"), legacy);
    };
    int counts[7] = {};
    Snapshot converted;
    {
        TempDataDir tmp;
        prepare(tmp);
        SeamScope seam({});
        const MaybeError e = store::convertLegacyData(DataDir(tmp.dir()), kData);
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
        std::copy(std::begin(g_seam.seen), std::end(g_seam.seen), counts);
        converted = snapshot(tmp);
        QVERIFY(converted.entries.contains(QStringLiteral("連続体重bak.txt")));
    }
    int tried = 0;
    for (const Op op : kOps) {
        for (int n = 1; n <= counts[int(op)]; ++n) {
            for (const int err : errorsFor(op)) {
                const QString where = QStringLiteral("%1 call no. %2 fails (%3)").arg(opName(op)).arg(n).arg(errName(err));
                TempDataDir tmp;
                prepare(tmp);
                const Snapshot before = snapshot(tmp);
                MaybeError e;
                {
                    SeamScope seam({{op, n, err}});
                    e = store::convertLegacyData(DataDir(tmp.dir()), kData);
                }
                ++tried;
                const Snapshot after = snapshot(tmp);
                const bool old = after.entries == before.entries && after.bytes == before.bytes;
                const bool now = after.entries == converted.entries && after.bytes == converted.bytes;
                // The last call is the removal of the step's journal: both
                // files are new by then and a journal a crash brought back
                // would find its step done, so the step has succeeded.
                if (!e && now && op == Op::DirSync && n == counts[int(op)])
                    continue;
                QVERIFY2(e.has_value(), qPrintable(where + QStringLiteral(": reported as success")));
                const QString msg = e->message();
                const int reasonErr = err == store::faults::kPartialWrite ? ENOSPC : err;
                QVERIFY2(!e->file.isEmpty() && msg.contains(e->file) && msg.contains(store::reasonForErrno(reasonErr)),
                         qPrintable(where + QStringLiteral(": ") + msg));
                QVERIFY2(old || (now && op == Op::DirSync),
                         qPrintable(where + QStringLiteral(": files now: ") + after.entries.join(u' ')));
            }
        }
    }
    QVERIFY(tried > 0);
}

QTEST_GUILESS_MAIN(TestFaultsFailingCalls)
#include "test_faults_failing_calls.moc"
