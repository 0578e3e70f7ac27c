// Real refusals by the system rather than the fault seam: a disk that is
// full (a file size limit in a forked child, SIGXFSZ ignored, so writes
// fail with EFBIG) and a data directory the user may read but not write
// (a forked child that gives up root, or a directory made read-only).
// Every write must fail with an error that names the file and says why,
// and the files must be exactly as they were.
#include "fault_process.h"
#include "store/codec.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kProfile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");
constexpr uid_t kNobody = 65534;

WeightRecord numberedRecord(int i)
{
    WeightRecord r;
    r.date = QStringLiteral("2008/%1/%2")
                 .arg(1 + i / 28, 2, 10, QLatin1Char('0'))
                 .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
    r.situation = QStringLiteral("朝食前");
    r.weight = 70.0f - float(i % 40) / 10.0f;
    r.diary = QStringLiteral("表ソ～①ｶﾀｶﾅ");
    return r;
}

// Earlier than every record of the file, so an insert rewrites it all.
WeightRecord backDated()
{
    WeightRecord r = numberedRecord(0);
    r.date = QStringLiteral("2007/12/31");
    return r;
}

QList<WeightRecord> records(int n)
{
    QList<WeightRecord> rs;
    for (int i = 0; i < n; ++i)
        rs.append(numberedRecord(i));
    return rs;
}

// An older single-person file of n lines.
QByteArray legacyBytes(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("%1,\"夕食後\",%2\r\n")
                    .arg(QDate(2006, 1, 1).addDays(i).toString(QStringLiteral("yyyy/MM/dd")))
                    .arg(70.0 - (i % 30) / 10.0);
    QString error;
    return cp932::encode(text, &error);
}

// The records with one comment edited, as the notes screen saves them.
QList<WeightRecord> withComment(const QList<WeightRecord> &rs)
{
    QList<WeightRecord> out = rs;
    out[2].diary = QStringLiteral("一言日記を書き直しました。言い訳はしません。明日からまた頑張ります");
    return out;
}

MaybeError saveComment(const DataDir &dir)
{
    QList<WeightRecord> rs;
    if (MaybeError e = store::readRecords(dir, kData, &rs))
        return e;
    return store::rewriteRecords(dir, kData, withComment(rs), store::scratchNameFor(dir.resolve(kData)));
}

WeightRecord startRecord()
{
    WeightRecord r = numberedRecord(0);
    r.date = QStringLiteral("2026/12/08");
    r.situation = QStringLiteral("はじめの一歩");
    r.weight = 58.7f;
    return r;
}

const QString kLongMemo = QStringLiteral("気付いたこと: 夜遅くに食べると次の朝に体重が増えている。表ソ～①ｶﾀｶﾅ");

void prepare(const DataDir &dir)
{
    bool ok = !store::rewriteRecords(dir, kData, records(200), store::insertScratchName());
    ok = ok && !store::saveProfile(dir, kProfile, PersonProfile{QStringLiteral("はなこ"), 158.5f, 50});
    ok = ok && !store::writeStepText(dir, QStringLiteral("0.1"));
    ok = ok && !store::writeMemo(dir, QStringLiteral("メモ"));
    ok = ok && !store::writeSituationListBare(dir, {QStringLiteral("朝食前"), QStringLiteral("夜")});
    if (!ok)
        qFatal("cannot prepare the data directory");
    QFile legacy(dir.dir().filePath(store::legacyDataFile()));
    if (!legacy.open(QIODevice::WriteOnly) || legacy.write(legacyBytes(500)) < 0)
        qFatal("cannot prepare the older data file");
}

QMap<QString, QByteArray> snapshot(const TempDataDir &tmp)
{
    QMap<QString, QByteArray> m;
    for (const QString &e : tmp.entries())
        m.insert(e, tmp.readBytes(e));
    return m;
}

// The child's findings, one line each: what it tried, a tab, then "OK" or
// the error as the user would see it.
void note(QByteArray *out, const char *what, const MaybeError &e)
{
    *out += what;
    *out += '\t';
    *out += e ? e->message().toUtf8() : QByteArray("OK");
    *out += '\n';
}

struct Finding {
    QString what;
    QString result;
};

QList<Finding> findings(const QByteArray &out)
{
    QList<Finding> list;
    for (const QByteArray &line : out.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            list.append({QString::fromUtf8(line.left(tab)), QString::fromUtf8(line.mid(tab + 1))});
    }
    return list;
}

} // namespace

class TestFaultsDisk : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullDiskRefusesRewriteAndAppend_data();
    void fullDiskRefusesRewriteAndAppend();
    void fullDiskRefusesSmallRewrites_data();
    void fullDiskRefusesSmallRewrites();
    void readOnlyDirectoryRefusesEveryWrite();
    void readOnlyFilesAreNeverReplaced();
};

void TestFaultsDisk::fullDiskRefusesRewriteAndAppend_data()
{
    // Room left below the limit: none, a few bytes, about half a line.
    QTest::addColumn<int>("room");
    QTest::newRow("no room") << 0;
    QTest::newRow("16 bytes") << 16;
    QTest::newRow("half a line") << 30;
}

void TestFaultsDisk::fullDiskRefusesRewriteAndAppend()
{
    QFETCH(int, room);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    prepare(dir);
    const auto before = snapshot(tmp);
    const rlim_t limit = rlim_t(before.value(kData).size() + room);

    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        QByteArray out;
        rlimit lim{};
        ::getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = limit;
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0)
            return "SKIP setrlimit failed\n";
        ::signal(SIGXFSZ, SIG_IGN);
        note(&out, "rewriteRecords", store::rewriteRecords(dir, kData, records(201), store::insertScratchName()));
        note(&out, "insertRecordInOrder", store::insertRecordInOrder(dir, kData, backDated()));
        note(&out, "appendRecord", store::appendRecord(dir, kData, numberedRecord(300)));
        note(&out, "renameSituation",
             store::renameSituation(dir, kData, QStringLiteral("朝食前"), QStringLiteral("朝ごはんの前")));
        note(&out, "saveComment", saveComment(dir));
        note(&out, "convertLegacyData", store::convertLegacyData(dir, kData));
        return out;
    });
    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    QVERIFY2(!child.output.startsWith("SKIP"), child.output.constData());

    const QList<Finding> found = findings(child.output);
    QCOMPARE(found.size(), 6);
    for (const Finding &f : found) {
        QVERIFY2(f.result != QLatin1String("OK"), qPrintable(f.what + QStringLiteral(": reported as success")));
        QVERIFY2(f.result.contains(kData), qPrintable(f.what + QStringLiteral(": ") + f.result));
        QVERIFY2(f.result.contains(store::reasonForErrno(EFBIG)),
                 qPrintable(f.what + QStringLiteral(": ") + f.result));
    }
    const auto after = snapshot(tmp);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

void TestFaultsDisk::fullDiskRefusesSmallRewrites_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("no room") << 0;
    QTest::newRow("16 bytes") << 16;
    QTest::newRow("half a profile") << 30;
}

void TestFaultsDisk::fullDiskRefusesSmallRewrites()
{
    // Registration, the memo and a conversion of a short older file, on a
    // disk with room for less than each new file.
    QFETCH(int, limit);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    prepare(dir);
    tmp.writeBytes(store::legacyDataFile(), legacyBytes(3));
    const auto before = snapshot(tmp);

    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        rlimit lim{};
        ::getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = rlim_t(limit);
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0)
            return "SKIP setrlimit failed\n";
        ::signal(SIGXFSZ, SIG_IGN);
        QByteArray out;
        note(&out, "saveProfile", store::saveProfile(dir, kProfile, PersonProfile{QStringLiteral("花子"), 158.7f, 58.7f}));
        note(&out, "writeStartRecord", store::writeStartRecord(dir, kData, startRecord()));
        note(&out, "writeMemo", store::writeMemo(dir, kLongMemo));
        note(&out, "convertLegacyData", store::convertLegacyData(dir, kData));
        return out;
    });
    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    QVERIFY2(!child.output.startsWith("SKIP"), child.output.constData());
    const QMap<QString, QString> files = {
        {QStringLiteral("saveProfile"), kProfile},
        {QStringLiteral("writeStartRecord"), kData},
        {QStringLiteral("writeMemo"), store::memoFile()},
        {QStringLiteral("convertLegacyData"), kData},
    };
    const QList<Finding> found = findings(child.output);
    QCOMPARE(found.size(), files.size());
    for (const Finding &f : found) {
        QVERIFY2(f.result != QLatin1String("OK"), qPrintable(f.what + QStringLiteral(": reported as success")));
        QVERIFY2(f.result.contains(files.value(f.what)) && f.result.contains(store::reasonForErrno(EFBIG)),
                 qPrintable(f.what + QStringLiteral(": ") + f.result));
    }
    const auto after = snapshot(tmp);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

void TestFaultsDisk::readOnlyDirectoryRefusesEveryWrite()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    prepare(dir);
    const QByteArray path = QFile::encodeName(tmp.path());
    const bool root = ::geteuid() == 0;
    // As root: the directory and files stay root's, readable by all,
    // writable by root only, and the child becomes nobody. Otherwise the
    // directory and its files are made read-only for their owner.
    const mode_t dirMode = root ? 0755 : 0555;
    const mode_t fileMode = root ? 0644 : 0444;
    for (const QString &e : tmp.entries())
        ::chmod(QFile::encodeName(tmp.filePath(e)).constData(), fileMode);
    ::chmod(path.constData(), dirMode);
    const auto before = snapshot(tmp);

    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            return "SKIP cannot become the user nobody to check a directory root may not write to\n";
        if (::access(path.constData(), R_OK | X_OK) != 0)
            return "SKIP the temporary directory cannot be reached as the user nobody\n";
        if (::access(path.constData(), W_OK) == 0)
            return "SKIP the directory is still writable\n";
        QByteArray out;
        QList<WeightRecord> rs;
        note(&out, "readRecords", store::readRecords(dir, kData, &rs));
        note(&out, "rewriteRecords", store::rewriteRecords(dir, kData, records(201), store::insertScratchName()));
        note(&out, "insertRecordInOrder", store::insertRecordInOrder(dir, kData, backDated()));
        note(&out, "appendRecord", store::appendRecord(dir, kData, numberedRecord(300)));
        note(&out, "saveProfile", store::saveProfile(dir, kProfile, PersonProfile{QStringLiteral("花子"), 158, 49}));
        note(&out, "writeStepText", store::writeStepText(dir, QStringLiteral("0.5")));
        note(&out, "writeMemo", store::writeMemo(dir, QStringLiteral("新しいメモ")));
        note(&out, "appendSituationBare", store::appendSituationBare(dir, QStringLiteral("昼")));
        note(&out, "renameSituation",
             store::renameSituation(dir, kData, QStringLiteral("朝食前"), QStringLiteral("朝ごはんの前")));
        note(&out, "writeStartRecord", store::writeStartRecord(dir, kData, startRecord()));
        note(&out, "saveComment", saveComment(dir));
        note(&out, "convertLegacyData", store::convertLegacyData(dir, kData));
        return out;
    });

    // Writable again, so the directory can be removed.
    ::chmod(path.constData(), 0700);
    for (const QString &e : tmp.entries())
        ::chmod(QFile::encodeName(tmp.filePath(e)).constData(), 0644);

    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    if (child.output.startsWith("SKIP "))
        QSKIP(child.output.mid(5).trimmed().constData());

    const QMap<QString, QString> files = {
        {QStringLiteral("rewriteRecords"), kData},
        {QStringLiteral("insertRecordInOrder"), kData},
        {QStringLiteral("appendRecord"), kData},
        {QStringLiteral("saveProfile"), kProfile},
        {QStringLiteral("writeStepText"), store::stepSettingFile()},
        {QStringLiteral("writeMemo"), store::memoFile()},
        {QStringLiteral("appendSituationBare"), store::situationListFile()},
        {QStringLiteral("renameSituation"), kData},
        {QStringLiteral("writeStartRecord"), kData},
        {QStringLiteral("saveComment"), kData},
        {QStringLiteral("convertLegacyData"), kData},
    };
    const QList<Finding> found = findings(child.output);
    QCOMPARE(found.size(), files.size() + 1);
    for (const Finding &f : found) {
        if (f.what == QLatin1String("readRecords")) {
            QCOMPARE(f.result, QStringLiteral("OK")); // reading is still allowed
            continue;
        }
        QVERIFY2(f.result != QLatin1String("OK"), qPrintable(f.what + QStringLiteral(": reported as success")));
        QVERIFY2(f.result.contains(files.value(f.what)), qPrintable(f.what + QStringLiteral(": ") + f.result));
        QVERIFY2(f.result.contains(store::reasonForErrno(EACCES)),
                 qPrintable(f.what + QStringLiteral(": ") + f.result));
    }
    const auto after = snapshot(tmp);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

void TestFaultsDisk::readOnlyFilesAreNeverReplaced()
{
    // The directory may be written, the files may not: every rewrite goes
    // through a scratch file and a rename that the directory would allow,
    // and must still be refused like an append, with nothing written.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    prepare(dir);
    QVERIFY(!store::writeHelpFlag(dir, 1));
    // The memo under its other spelling, to be replaced under that name.
    QVERIFY(QFile::rename(tmp.filePath(store::memoFile()), tmp.filePath(QStringLiteral("気付きメモ.txt"))));
    // A second person's file that ends in an append cut short.
    const QString kData2 = QStringLiteral("データ2.txt");
    tmp.writeBytes(kData2, tmp.readBytes(kData) + "\"2009/01/01\",\"\x92");
    const QByteArray path = QFile::encodeName(tmp.path());
    const bool root = ::geteuid() == 0;
    // As root: files stay root's and readable by all, and the child, as
    // nobody, may write in the directory but not to them. Otherwise the
    // files are made read-only for their owner.
    const QStringList readOnly = {kData, kData2, kProfile, store::stepSettingFile(), store::helpSettingFile(),
                                  QStringLiteral("気付きメモ.txt"), store::situationListFile()};
    for (const QString &e : readOnly)
        ::chmod(QFile::encodeName(tmp.filePath(e)).constData(), root ? 0644 : 0444);
    ::chmod(path.constData(), root ? 0777 : 0755);
    const auto before = snapshot(tmp);

    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            return "SKIP cannot become the user nobody to check files root may not write to\n";
        if (::access(path.constData(), R_OK | W_OK | X_OK) != 0)
            return "SKIP the temporary directory cannot be written as the user nobody\n";
        if (::access(QFile::encodeName(tmp.filePath(kData)).constData(), W_OK) == 0)
            return "SKIP the data file is still writable\n";
        QByteArray out;
        note(&out, "appendRecord", store::appendRecord(dir, kData, numberedRecord(300)));
        note(&out, "insertRecordInOrder", store::insertRecordInOrder(dir, kData, backDated()));
        note(&out, "rewriteRecords", store::rewriteRecords(dir, kData, records(201), store::insertScratchName()));
        note(&out, "saveComment", saveComment(dir));
        note(&out, "writeStartRecord", store::writeStartRecord(dir, kData, startRecord()));
        note(&out, "convertLegacyData", store::convertLegacyData(dir, kData));
        note(&out, "saveProfile", store::saveProfile(dir, kProfile, PersonProfile{QStringLiteral("花子"), 158, 49}));
        note(&out, "writeStepText", store::writeStepText(dir, QStringLiteral("0.5")));
        note(&out, "writeHelpFlag", store::writeHelpFlag(dir, 0));
        note(&out, "writeMemo", store::writeMemo(dir, kLongMemo));
        note(&out, "writeSituationListBare", store::writeSituationListBare(dir, {QStringLiteral("昼")}));
        note(&out, "renameSituation",
             store::renameSituation(dir, kData, QStringLiteral("朝食前"), QStringLiteral("朝ごはんの前")));
        QList<WeightRecord> rs;
        store::IncompleteTail tail;
        QString side;
        const MaybeError read = store::readRecords(dir, kData2, &rs, &tail);
        note(&out, "saveIncompleteTail",
             read ? read : !tail.present ? StoreError{kData2, 0, QStringLiteral("no tail")}
                                         : store::saveIncompleteTail(dir, kData2, tail, &side));
        return out;
    });

    ::chmod(path.constData(), 0700);
    for (const QString &e : tmp.entries())
        ::chmod(QFile::encodeName(tmp.filePath(e)).constData(), 0644);
    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    if (child.output.startsWith("SKIP "))
        QSKIP(child.output.mid(5).trimmed().constData());

    const QMap<QString, QString> files = {
        {QStringLiteral("appendRecord"), kData},
        {QStringLiteral("insertRecordInOrder"), kData},
        {QStringLiteral("rewriteRecords"), kData},
        {QStringLiteral("saveComment"), kData},
        {QStringLiteral("writeStartRecord"), kData},
        {QStringLiteral("convertLegacyData"), kData},
        {QStringLiteral("saveProfile"), kProfile},
        {QStringLiteral("writeStepText"), store::stepSettingFile()},
        {QStringLiteral("writeHelpFlag"), store::helpSettingFile()},
        {QStringLiteral("writeMemo"), QStringLiteral("気付きメモ.txt")},
        {QStringLiteral("writeSituationListBare"), store::situationListFile()},
        {QStringLiteral("renameSituation"), kData},
        {QStringLiteral("saveIncompleteTail"), kData2},
    };
    const QList<Finding> found = findings(child.output);
    QCOMPARE(found.size(), files.size());
    QString appendMessage;
    for (const Finding &f : found) {
        QVERIFY2(f.result != QLatin1String("OK"), qPrintable(f.what + QStringLiteral(": reported as success")));
        QVERIFY2(f.result.contains(files.value(f.what)) && f.result.contains(store::reasonForErrno(EACCES)),
                 qPrintable(f.what + QStringLiteral(": ") + f.result));
        if (f.what == QLatin1String("appendRecord"))
            appendMessage = f.result;
        else if (files.value(f.what) == kData)
            QCOMPARE(f.result, appendMessage); // the same words as an append's refusal
    }
    const auto after = snapshot(tmp);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

QTEST_GUILESS_MAIN(TestFaultsDisk)
#include "test_faults_disk.moc"
