// What a write finds that it did not make: a file another program changed
// since it was read, a data file that is a symbolic link, scratch files
// and half-finished steps left by a crash. Nothing the user or another
// program wrote is lost, and the next start puts a crash right before it
// reads anything.
#include "fault_process.h"
#include "records.h"
#include "store/cleanup.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/first_start.h"
#include "store/journal.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using store::faults::Op;
using testrec::rec;

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kList = QStringLiteral("状況リスト.txt");

// A line as another program (a text editor) would add it.
const QByteArray kOutsideLine = "\"2008/03/11\",\"\x92\xA9\",73.9,\"\x95\x5C\",\"\",\"\"\r\n"; // 朝, 表

QList<WeightRecord> records()
{
    return {
        rec(QStringLiteral("2008/03/09"), QStringLiteral("はじめの一歩"), 74.5f),
        rec(QStringLiteral("2008/03/10"), QStringLiteral("朝"), 74.2f, QStringLiteral("表ソ～①")),
        rec(QStringLiteral("2008/03/12"), QStringLiteral("朝"), 73.8f),
    };
}

void writeData(const DataDir &dir)
{
    store::forgetRememberedContents();
    if (store::rewriteRecords(dir, kData, records(), store::insertScratchName()))
        qFatal("cannot write the data file");
    store::forgetRememberedContents();
}

// The fault seam runs `edit` once, at the first store call of a kind: the
// moment between a write's read and its rename.
std::function<void()> g_edit;
Op g_editAt = Op::Open;
int editHook(Op op)
{
    if (op == g_editAt && g_edit) {
        auto edit = std::move(g_edit);
        g_edit = nullptr;
        edit();
    }
    return 0;
}

struct EditScope {
    EditScope(Op at, std::function<void()> edit)
    {
        g_editAt = at;
        g_edit = std::move(edit);
        store::faults::setHook(editHook);
    }
    ~EditScope()
    {
        store::faults::setHook(nullptr);
        g_edit = nullptr;
    }
    Q_DISABLE_COPY_MOVE(EditScope)
};

void appendOutside(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::Append) || f.write(bytes) != bytes.size())
        qFatal("cannot edit the file");
}

bool isLink(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

using Files = QMap<QString, QByteArray>;
Files filesOf(const TempDataDir &tmp)
{
    Files m;
    for (const QString &e : tmp.entries())
        m.insert(e, tmp.readBytes(e));
    return m;
}
void putFiles(const TempDataDir &tmp, const Files &files)
{
    for (const QString &e : tmp.entries())
        QFile::remove(tmp.filePath(e));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        tmp.writeBytes(it.key(), it.value());
}

// A forked copy of the test makes a step and dies at its n-th store call,
// as a killed program would: no clean-up runs after that call.
int g_dieAt = 0;
int g_calls = 0;
int dyingHook(Op)
{
    if (++g_calls == g_dieAt)
        std::_Exit(9);
    return 0;
}

} // namespace

class TestFaultsRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { store::forgetRememberedContents(); }

    // A file changed by another program between a read and a write.
    void outsideEditDuringAnInsertSurvivesTheInsert();
    void diarySaveOnAChangedFileIsRefusedAndKeepsTheChange();
    void renameOnAChangedFileIsMadeOnTheNewContent();

    // Symbolic links.
    void dataFileThatIsALinkIsWrittenThroughToItsTarget();
    void linkWithoutTargetIsRefused();

    // Scratch files and incomplete lines left by a kill.
    void startRemovesOnlyTheProgramsOwnScratchFiles();
    void scratchFilesLeftBehindNeverBlockAWrite();
    void incompleteLineIsSetAsideOnceAfterAKillBetweenTheTwoSteps();

    // Steps of several files.
    void journalReadsBackAndRejectsDamage();
    void stepsOfSeveralFilesKilledAtEveryStoreCallAreAllOldOrAllNew_data();
    void stepsOfSeveralFilesKilledAtEveryStoreCallAreAllOldOrAllNew();
    void journalOverAFileChangedSinceIsNotFinished();
};

void TestFaultsRecovery::outsideEditDuringAnInsertSurvivesTheInsert()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    // A text editor adds a record while the insert writes its scratch file.
    {
        EditScope edit(Op::Open, [&] { appendOutside(tmp.filePath(kData), kOutsideLine); });
        const MaybeError e = store::insertRecordInOrder(
            dir, kData, rec(QStringLiteral("2008/03/10"), QStringLiteral("夜"), 74.9f));
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    }
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), 5);
    QCOMPARE(rs.at(2).situation, QStringLiteral("夜"));      // the insert, in date order
    QCOMPARE(rs.at(4).date, QStringLiteral("2008/03/11"));   // the outside edit, where it put it
    QCOMPARE(rs.at(4).diary, QStringLiteral("表"));
    QCOMPARE(tmp.entries(), QStringList{kData});
}

void TestFaultsRecovery::diarySaveOnAChangedFileIsRefusedAndKeepsTheChange()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    appendOutside(tmp.filePath(kData), kOutsideLine);
    const QByteArray edited = tmp.readBytes(kData);

    rs[1].diary = QStringLiteral("書き直し");
    const MaybeError e = store::rewriteRecords(dir, kData, rs, store::scratchNameFor(kData));
    QVERIFY(e);
    QVERIFY2(e->message().contains(kData) && e->reason == store::changedOutsideReason(), qPrintable(e->message()));
    QCOMPARE(tmp.readBytes(kData), edited);
    QCOMPARE(tmp.entries(), QStringList{kData});

    // Read again, the save goes through and keeps the outside record.
    QVERIFY(!store::readRecords(dir, kData, &rs));
    rs[1].diary = QStringLiteral("書き直し");
    QVERIFY(!store::rewriteRecords(dir, kData, rs, store::scratchNameFor(kData)));
    QList<WeightRecord> now;
    QVERIFY(!store::readRecords(dir, kData, &now));
    QCOMPARE(now.size(), 4);
    QCOMPARE(now.at(1).diary, QStringLiteral("書き直し"));
    // A second save builds on the first without reading again.
    now[2].diary = QStringLiteral("二度目");
    QVERIFY(!store::rewriteRecords(dir, kData, now, store::scratchNameFor(kData)));
}

void TestFaultsRecovery::renameOnAChangedFileIsMadeOnTheNewContent()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    QVERIFY(!store::writeSituationListBare(dir, {QStringLiteral("朝"), QStringLiteral("夜")}));
    {
        // The outside record carries the old label too.
        EditScope edit(Op::Open, [&] { appendOutside(tmp.filePath(kData), kOutsideLine); });
        const MaybeError e = store::renameSituation(dir, kData, QStringLiteral("朝"), QStringLiteral("起床後"));
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    }
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), 4);
    for (const WeightRecord &r : std::as_const(rs))
        QVERIFY2(r.situation != QStringLiteral("朝"), qPrintable(r.date));
    QCOMPARE(rs.at(3).situation, QStringLiteral("起床後"));
    QStringList labels;
    QVERIFY(!store::readSituationList(dir, &labels));
    QCOMPARE(labels, (QStringList{QStringLiteral("起床後"), QStringLiteral("夜")}));
    QCOMPARE(tmp.entries(), (QStringList{kData, kList}));
}

void TestFaultsRecovery::dataFileThatIsALinkIsWrittenThroughToItsTarget()
{
    TempDataDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("data")));
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("elsewhere")));
    const DataDir dir(QDir(tmp.filePath(QStringLiteral("data"))));
    const QString target = tmp.filePath(QStringLiteral("elsewhere/本物.txt"));
    const QString link = dir.dir().filePath(kData);
    {
        const DataDir other(QDir(tmp.filePath(QStringLiteral("elsewhere"))));
        QVERIFY(!store::rewriteRecords(other, QStringLiteral("本物.txt"), records(), store::insertScratchName()));
    }
    QVERIFY(QFile::link(target, link));

    const MaybeError e = store::insertRecordInOrder(dir, kData, rec(QStringLiteral("2008/03/11"), 74.0f));
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QVERIFY(isLink(link));
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), 4);
    QCOMPARE(rs.at(2).date, QStringLiteral("2008/03/11"));

    // A diary rewrite and a profile through links as well.
    rs[0].diary = QStringLiteral("リンク越し");
    QVERIFY(!store::rewriteRecords(dir, kData, rs, store::scratchNameFor(kData)));
    QVERIFY(isLink(link));
    const QString profileTarget = tmp.filePath(QStringLiteral("elsewhere/p.txt"));
    QFile(profileTarget).open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(profileTarget, dir.dir().filePath(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt"))));
    QVERIFY(!store::saveProfile(dir, QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt"), PersonProfile{QStringLiteral("花子"), 158, 50}));
    QVERIFY(isLink(dir.dir().filePath(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt"))));
    PersonProfile p;
    QVERIFY(!store::loadProfile(dir, QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt"), &p));
    QCOMPARE(p.nickname, QStringLiteral("花子"));

    QList<WeightRecord> viaTarget;
    const DataDir other(QDir(tmp.filePath(QStringLiteral("elsewhere"))));
    QVERIFY(!store::readRecords(other, QStringLiteral("本物.txt"), &viaTarget));
    QCOMPARE(viaTarget.at(0).diary, QStringLiteral("リンク越し"));
    // No scratch file stays on either side.
    QCOMPARE(dir.dir().entryList(QDir::Files | QDir::Hidden | QDir::System),
             (QStringList{kData, QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt")}));
    QCOMPARE(other.dir().entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("p.txt"), QStringLiteral("本物.txt")}));
}

void TestFaultsRecovery::linkWithoutTargetIsRefused()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QString link = tmp.filePath(store::memoFile());
    QVERIFY(QFile::link(tmp.filePath(QStringLiteral("gone/なし.TXT")), link));
    const MaybeError e = store::writeMemo(dir, QStringLiteral("メモ"));
    QVERIFY(e);
    QVERIFY2(e->message().contains(QStringLiteral("シンボリックリンク")), qPrintable(e->message()));
    QVERIFY(isLink(link));
}

void TestFaultsRecovery::startRemovesOnlyTheProgramsOwnScratchFiles()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    tmp.writeBytes(QStringLiteral("データ2.TXT"), "x");
    const QStringList own = {
        QStringLiteral("データコピー.txt"), QStringLiteral("データＣＨＧ.txt"), QStringLiteral("状況リストＣＨＧ.txt"),
        QStringLiteral("データ1.txt.tmp"), QStringLiteral("データ2.TXT.tmp"), QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt.tmp"),
        QStringLiteral("設定.txt.tmp"), QStringLiteral("移動平均.TXT.tmp"), QStringLiteral("気付きメモ.TXT.tmp"),
        QStringLiteral("状況リスト.txt.tmp"), QStringLiteral("データ1.txt.途中の行.tmp"),
        QStringLiteral(".nanahoshi.journal.tmp"),
    };
    const QStringList users = {
        QStringLiteral("データコピー.TXT"), QStringLiteral("メモ.tmp"), QStringLiteral("データ1.txt.bak"),
        QStringLiteral("データ1.txt.途中の行"), QStringLiteral("連続体重bak.txt"), QStringLiteral("tmp"),
    };
    for (const QString &f : own + users)
        tmp.writeBytes(f, "half");
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("データＣＨＧ.txt.d")));

    store::CrashCleanUp done;
    const MaybeError e = store::cleanUpAfterCrash(dir, &done);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(done.removed.size(), own.size());
    QStringList left = tmp.entries();
    QStringList expected = users + QStringList{kData, QStringLiteral("データ2.TXT")};
    expected.sort();
    left.sort();
    QCOMPARE(left, expected);
    // Nothing to do the second time.
    QVERIFY(!store::cleanUpAfterCrash(dir, &done));
    QVERIFY(done.removed.isEmpty() && done.finishedStep.isEmpty());
}

void TestFaultsRecovery::scratchFilesLeftBehindNeverBlockAWrite()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    QVERIFY(!store::writeSituationListBare(dir, {QStringLiteral("朝")}));
    tmp.writeBytes(store::legacyDataFile(), "2001/01/01,\"x\",70\r\n");
    // Every scratch name taken, read-only, as a crash (or a careless
    // copy) may leave it.
    const QStringList names = {store::insertScratchName(), store::renameDataScratchName(),
                               store::situationListScratchName(), store::scratchNameFor(kData),
                               store::scratchNameFor(store::memoFile()), store::scratchNameFor(store::journalFile()),
                               store::scratchNameFor(kList)};
    for (const QString &n : names) {
        tmp.writeBytes(n, "left");
        QFile::setPermissions(tmp.filePath(n), QFileDevice::ReadOwner);
    }
    auto ok = [](const MaybeError &e) { return e ? e->message() : QString(); };
    QCOMPARE(ok(store::insertRecordInOrder(dir, kData, rec(QStringLiteral("2008/03/11"), 74.0f))), QString());
    QCOMPARE(ok(store::writeMemo(dir, QStringLiteral("メモ"))), QString());
    QCOMPARE(ok(store::renameSituation(dir, kData, QStringLiteral("朝"), QStringLiteral("昼"))), QString());
    QCOMPARE(ok(store::convertLegacyData(dir, kData)), QString());
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData, &rs));
    QCOMPARE(rs.size(), 1);
}

void TestFaultsRecovery::incompleteLineIsSetAsideOnceAfterAKillBetweenTheTwoSteps()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    const QByteArray whole = tmp.readBytes(kData);
    const QByteArray half = "\"2008/03/13\",\"\x92";
    tmp.writeBytes(kData, whole + half);
    // An earlier, different line kept from another crash stays as it is.
    tmp.writeBytes(kData + QStringLiteral(".途中の行"), "older");
    // The start kept the line and was killed before cutting it off.
    tmp.writeBytes(kData + QStringLiteral(".途中の行2"), half);

    QList<WeightRecord> rs;
    store::IncompleteTail tail;
    QVERIFY(!store::readRecords(dir, kData, &rs, &tail));
    QVERIFY(tail.present);
    QString side;
    const MaybeError e = store::saveIncompleteTail(dir, kData, tail, &side);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(side, kData + QStringLiteral(".途中の行2"));
    QCOMPARE(tmp.readBytes(kData), whole);
    QCOMPARE(tmp.entries(), (QStringList{kData, kData + QStringLiteral(".途中の行"), kData + QStringLiteral(".途中の行2")}));
    QCOMPARE(tmp.readBytes(kData + QStringLiteral(".途中の行")), QByteArray("older"));

    // The records read at the start, without the cut line, can be saved.
    rs[0].diary = QStringLiteral("起動後の保存");
    const MaybeError saved = store::rewriteRecords(dir, kData, rs, store::scratchNameFor(kData));
    QVERIFY2(!saved, saved ? qPrintable(saved->message()) : "");
}

void TestFaultsRecovery::journalReadsBackAndRejectsDamage()
{
    store::Journal j(QStringLiteral("状況コメントの入れ替え"));
    j.replace(kData, true, "old\r\n", "new\r\n", store::renameDataScratchName());
    j.replace(kList, false, {}, QByteArray(3, '\0'), store::situationListScratchName());
    j.rename(QStringLiteral("連続体重.TXT"), QStringLiteral("連続体重bak.txt"));
    const QByteArray bytes = j.serialise();
    store::Journal back{QString()};
    QVERIFY(store::Journal::parse(bytes, &back));
    QCOMPARE(back.step(), j.step());
    QCOMPARE(back.actions().size(), 3);
    QCOMPARE(back.actions().at(1).oldExists, false);
    QCOMPARE(back.actions().at(1).newBytes, QByteArray(3, '\0'));
    QCOMPARE(back.actions().at(2).to, QStringLiteral("連続体重bak.txt"));
    for (qsizetype i = 0; i < bytes.size(); i += 7) {
        QByteArray damaged = bytes;
        damaged[i] = char(damaged[i] ^ 0x10);
        QVERIFY2(!store::Journal::parse(damaged, &back), qPrintable(QString::number(i)));
    }
    QVERIFY(!store::Journal::parse(bytes.left(bytes.size() - 1), &back));

    // A damaged journal stops the start with a message and is kept.
    TempDataDir tmp;
    tmp.writeBytes(store::journalFile(), bytes.left(bytes.size() / 2));
    const MaybeError e = store::cleanUpAfterCrash(DataDir(tmp.dir()));
    QVERIFY(e);
    QVERIFY(tmp.exists(store::journalFile()));
}

void TestFaultsRecovery::stepsOfSeveralFilesKilledAtEveryStoreCallAreAllOldOrAllNew_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("conversion") << QStringLiteral("conversion");
    QTest::newRow("rename") << QStringLiteral("rename");
    QTest::newRow("registration") << QStringLiteral("registration");
}

void TestFaultsRecovery::stepsOfSeveralFilesKilledAtEveryStoreCallAreAllOldOrAllNew()
{
    // Killed before the conversion's rename, the data file used to be
    // converted with the older file still there (offered again at the next
    // start); a rename left the records renamed and the list not; a
    // registration left a profile without a data file, which no start
    // could use.
    QFETCH(QString, step);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    QVERIFY(!store::writeSituationListBare(dir, {QStringLiteral("朝"), QStringLiteral("夜")}));
    tmp.writeBytes(store::legacyDataFile(), "2001/01/01,\"\x92\xA9\",70\r\n2001/01/02,\"x\",69.5\r\n");
    auto run = [&]() -> MaybeError {
        if (step == QLatin1String("conversion"))
            return store::convertLegacyData(dir, kData);
        if (step == QLatin1String("rename"))
            return store::renameSituation(dir, kData, QStringLiteral("朝"), QStringLiteral("起床後"));
        return store::registerPerson(dir, PersonSlot::Two, PersonProfile{QStringLiteral("たろう"), 170, 65},
                                     rec(QStringLiteral("2026/12/08"), QStringLiteral("はじめの一歩"), 70.5f));
    };
    const Files before = filesOf(tmp);
    g_dieAt = 0;
    g_calls = 0;
    store::faults::setHook(dyingHook);
    const MaybeError e = run();
    store::faults::setHook(nullptr);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    const int calls = g_calls;
    const Files after = filesOf(tmp);
    QVERIFY(after != before);

    int old = 0, finished = 0, done = 0;
    for (int dieAt = 1; dieAt <= calls; ++dieAt) {
        const QString where = QStringLiteral("%1 killed at store call %2 of %3").arg(step).arg(dieAt).arg(calls);
        putFiles(tmp, before);
        const faultproc::Forked f = faultproc::runForked([&] {
            g_dieAt = dieAt;
            g_calls = 0;
            store::faults::setHook(dyingHook);
            (void)run();
            return QByteArray("ran to the end");
        });
        QVERIFY2(WIFEXITED(f.status) && WEXITSTATUS(f.status) == 9, qPrintable(where));
        // The next start.
        store::CrashCleanUp cleaned;
        const MaybeError c = store::cleanUpAfterCrash(dir, &cleaned);
        QVERIFY2(!c, qPrintable(where + QStringLiteral(": ") + (c ? c->message() : QString())));
        const Files now = filesOf(tmp);
        QVERIFY2(now == before || now == after,
                 qPrintable(where + QStringLiteral(": neither old nor new: ") + QStringList(now.keys()).join(u' ')));
        ++(now == before ? old : cleaned.finishedStep.isEmpty() ? done : finished);
    }
    qInfo("%s: %d kills, %d left the old files, %d finished by the next start, %d done before the kill",
          qPrintable(step), calls, old, finished, done);
    QVERIFY(old > 0 && finished > 0);
}

void TestFaultsRecovery::journalOverAFileChangedSinceIsNotFinished()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    writeData(dir);
    const QByteArray old = tmp.readBytes(kData);
    store::Journal j(QStringLiteral("テスト"));
    j.replace(kData, true, old, "\"2001/01/01\",\"x\",70,\"\",\"\",\"\"\r\n", store::renameDataScratchName());
    tmp.writeBytes(store::journalFile(), j.serialise());
    // Someone edited the file after the crash and before the start.
    appendOutside(tmp.filePath(kData), kOutsideLine);
    const QByteArray edited = tmp.readBytes(kData);
    const MaybeError e = store::cleanUpAfterCrash(dir);
    QVERIFY(e);
    QVERIFY2(e->message().contains(QStringLiteral("テスト")), qPrintable(e->message()));
    QCOMPARE(tmp.readBytes(kData), edited);
    QVERIFY(tmp.exists(store::journalFile()));
}

QTEST_GUILESS_MAIN(TestFaultsRecovery)
#include "test_faults_recovery.moc"
