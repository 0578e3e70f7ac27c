// Every byte of a valid file changed in turn to a byte that matters to the
// format (NUL, '"', ',', LF, CR, '\', 0xFF, a CP932 lead byte): the reader
// either loads the file or reports the file and the line where the damage
// is, never crashes (the sanitizers watch) and never writes (the files and
// the directory are byte for byte the same after reading).
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/memo_file.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <functional>

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kProfile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");

QByteArray hx(const char *hex) { return QByteArray::fromHex(hex); }
QByteArray q(const QByteArray &bytes) { return '"' + bytes + '"'; }

// Valid files written byte by byte in CP932, with double-byte characters
// whose trail byte is 0x5C ("表" 95 5C, "ソ" 83 5C), half-width katakana,
// blanks before fields and a bare number in a reserved field.
QByteArray dataBytes()
{
    QByteArray b;
    b += q("2008/03/09") + ',' + q(hx("82cd82b682df82cc88ea95e0")) + ",74.5,\"\",\"\",\"\"\r\n";
    b += q("2008/03/10") + ',' + q(hx("92a9")) + ",74.2," + q(hx("955c835c81608740")) + ",\"\",\"\"\r\n";
    b += q("2008/03/10") + ',' + q(hx("b6c0b6c5")) + ",74,\"\",\"\",\"\"\r\n";
    b += q("2008/03/12") + ", " + q(hx("96e9")) + " ,73.8,\"\",0,\"\"\r\n";
    b += q("2008/03/13") + ',' + q(hx("92a99048914f")) + ",73.6," + q(hx("835f8343834783628367")) +
         ",\"\",\"\"\r\n";
    return b;
}

QByteArray profileBytes()
{
    return q(hx("8e8196bc")) + ',' + q(hx("82cd82c882b1")) + "\r\n" + q(hx("906792b7")) +
           ",158.5\r\n" + q(hx("96da955791cc8f64")) + ",50\r\n";
}

struct Target {
    const char *name;
    QString file;
    QByteArray bytes;
    // Reads the file the way the program does; returns the error, if any.
    std::function<MaybeError(const DataDir &)> read;
};

QList<Target> targets()
{
    const auto setting = [](MaybeError (*reader)(const DataDir &, QString *)) {
        return [reader](const DataDir &d) {
            QString v;
            return reader(d, &v);
        };
    };
    const auto intSetting = [](MaybeError (*reader)(const DataDir &, int *)) {
        return [reader](const DataDir &d) {
            int v = 0;
            return reader(d, &v);
        };
    };
    return {
        {"profile", kProfile, profileBytes(),
         [](const DataDir &d) {
             PersonProfile p;
             return store::loadProfile(d, kProfile, &p);
         }},
        {"help setting", store::helpSettingFile(), q(hx("8377838b837683638341815b")) + ",1\r\n",
         intSetting(store::readHelpFlag)},
        {"step setting", store::stepSettingFile(), "0.1\r\n", setting(store::readStepText)},
        {"moving average setting", store::movingAverageSettingFile(), " 10 \r\n",
         setting(store::readMovingAverageText)},
        {"auto time setting", store::autoTimeSettingFile(), "1\r\n", intSetting(store::readAutoTime)},
        {"marker setting", store::markerSettingFile(), "2\r\n", intSetting(store::readMarkerMode)},
        {"situation list", store::situationListFile(),
         hx("92a9") + "\r\n" + q(hx("96e9") + ", " + hx("8a4f9048")) + "\r\n" + hx("955c835c") + "\r\n",
         [](const DataDir &d) {
             QStringList labels;
             return store::readSituationList(d, &labels);
         }},
        {"memo", store::memoFile(), hx("88ea8d7396da") + "\r\n" + hx("955c835c") + "\r\n",
         [](const DataDir &d) {
             QString text;
             return store::readMemo(d, &text);
         }},
    };
}

constexpr char kValues[] = {'\x00', '"', ',', '\n', '\r', '\\', '\xFF', '\x81'};

QString hexByte(char c) { return QStringLiteral("0x%1").arg(quint8(c), 2, 16, QLatin1Char('0')); }

// The line the changed byte at `offset` is on, and the one after it when
// the byte was or became a line break (two lines joined or split: the
// damage may then show on either side).
QList<int> linesOf(const QByteArray &bytes, qsizetype offset, char was)
{
    const int line = int(bytes.left(offset).count('\n')) + 1;
    if (bytes.at(offset) == '\n' || was == '\n')
        return {line, line + 1};
    return {line};
}

// A new file each time rather than one truncated and rewritten, which the
// file system would flush to disk on every close.
void put(const TempDataDir &tmp, const QString &name, const QByteArray &bytes)
{
    QFile::remove(tmp.filePath(name));
    tmp.writeBytes(name, bytes);
}

struct Snapshot {
    QStringList entries;
    QList<QByteArray> bytes;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const TempDataDir &tmp)
{
    Snapshot s;
    s.entries = tmp.entries();
    for (const QString &e : std::as_const(s.entries))
        s.bytes.append(tmp.readBytes(e));
    return s;
}

// The checks every reader must pass; returns why it failed, or "".
QString judge(const MaybeError &e, const QString &file, const QList<int> &lines)
{
    if (!e)
        return {};
    const QString msg = e->message();
    if (e->file != file || !msg.contains(file))
        return QStringLiteral("the error does not name the file: ") + msg;
    if (e->line < 1)
        return QStringLiteral("the error names no line: ") + msg;
    if (!lines.contains(e->line))
        return QStringLiteral("the error names line %1, the damage is on line %2: ")
                   .arg(e->line)
                   .arg(lines.first()) +
               msg;
    return {};
}

} // namespace

class TestFaultsDamagedBytes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void validFilesLoad();
    void dataFileWithAnyByteChanged();
    void otherFilesWithAnyByteChanged_data();
    void otherFilesWithAnyByteChanged();
};

void TestFaultsDamagedBytes::validFilesLoad()
{
    // The undamaged files must load, or every damaged variant below would
    // pass for the wrong reason.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeBytes(kData, dataBytes());
    QList<WeightRecord> rs;
    const MaybeError e = store::readRecords(dir, kData, &rs);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(rs.size(), 5);
    QCOMPARE(rs.at(1).diary, QStringLiteral("表ソ～①"));
    QCOMPARE(rs.at(3).situation, QStringLiteral("夜"));
    for (const Target &t : targets()) {
        tmp.writeBytes(t.file, t.bytes);
        const MaybeError te = t.read(dir);
        QVERIFY2(!te, qPrintable(QLatin1String(t.name) + QStringLiteral(": ") + (te ? te->message() : QString())));
    }
}

void TestFaultsDamagedBytes::dataFileWithAnyByteChanged()
{
    const QByteArray valid = dataBytes();
    const int records = 5;
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // The neighbours a careless reader might touch.
    tmp.writeBytes(kProfile, profileBytes());
    tmp.writeBytes(store::insertScratchName(), "junk");

    int loaded = 0, refused = 0, tails = 0;
    for (qsizetype i = 0; i < valid.size(); ++i) {
        for (const char v : kValues) {
            if (valid.at(i) == v)
                continue;
            QByteArray bytes = valid;
            bytes[i] = v;
            const QString where = QStringLiteral("byte %1 set to %2").arg(i).arg(hexByte(v));
            const QList<int> lines = linesOf(bytes, i, valid.at(i));
            put(tmp, kData, bytes);
            const Snapshot before = snapshot(tmp);

            // As a screen reads it: damage anywhere is an error.
            QList<WeightRecord> rs;
            const MaybeError e = store::readRecords(dir, kData, &rs);
            const QString why = judge(e, kData, lines);
            QVERIFY2(why.isEmpty(), qPrintable(where + QStringLiteral(": ") + why));
            if (!e)
                QVERIFY2(rs.size() == records, qPrintable(where + QStringLiteral(": %1 records").arg(rs.size())));
            ++(e ? refused : loaded);

            // As the start-up check reads it: a damaged last line without a
            // line break is an interrupted append, anything else an error.
            store::IncompleteTail tail;
            const MaybeError e2 = store::readRecords(dir, kData, &rs, &tail);
            const QString why2 = judge(e2, kData, lines);
            QVERIFY2(why2.isEmpty(), qPrintable(where + QStringLiteral(" (start-up): ") + why2));
            if (!e2 && tail.present) {
                ++tails;
                QVERIFY2(tail.line == records && rs.size() == records - 1 &&
                             tail.offset == bytes.left(bytes.size() - 1).lastIndexOf('\n') + 1,
                         qPrintable(where + QStringLiteral(": incomplete line %1 at %2, %3 records")
                                                .arg(tail.line)
                                                .arg(tail.offset)
                                                .arg(rs.size())));
            }
            QVERIFY2(snapshot(tmp) == before, qPrintable(where + QStringLiteral(": reading wrote")));
        }
    }
    qInfo("%d damaged variants loaded, %d refused with file and line, %d seen as an interrupted append",
          loaded, refused, tails);
    QVERIFY(refused > 0 && loaded > 0 && tails > 0);
}

void TestFaultsDamagedBytes::otherFilesWithAnyByteChanged_data()
{
    QTest::addColumn<int>("index");
    const QList<Target> all = targets();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(all.at(i).name) << i;
}

void TestFaultsDamagedBytes::otherFilesWithAnyByteChanged()
{
    QFETCH(int, index);
    const Target t = targets().at(index);
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeBytes(kData, dataBytes());

    int refused = 0;
    for (qsizetype i = 0; i < t.bytes.size(); ++i) {
        for (const char v : kValues) {
            if (t.bytes.at(i) == v)
                continue;
            QByteArray bytes = t.bytes;
            bytes[i] = v;
            const QString where = QStringLiteral("byte %1 set to %2").arg(i).arg(hexByte(v));
            put(tmp, t.file, bytes);
            const Snapshot before = snapshot(tmp);
            const MaybeError e = t.read(dir);
            const QString why = judge(e, t.file, linesOf(bytes, i, t.bytes.at(i)));
            QVERIFY2(why.isEmpty(), qPrintable(where + QStringLiteral(": ") + why));
            QVERIFY2(snapshot(tmp) == before, qPrintable(where + QStringLiteral(": reading wrote")));
            refused += e ? 1 : 0;
        }
    }
    QVERIFY(refused > 0);
}

QTEST_GUILESS_MAIN(TestFaultsDamagedBytes)
#include "test_faults_damaged_bytes.moc"
