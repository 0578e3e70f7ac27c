// Readers refuse what the program would never write, naming the file and
// the line, as they name a broken line: numbers out of their range or
// with more digits than any the program writes, settings values that are
// none of their choices, a quote inside a bare field, a CR inside a line,
// an unreadable last line. What the program itself may have written
// (a free step, a moving average typed with text after its number, a
// height up to the registration's limit) still reads.
#include "store/codec.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/legacy_file.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"

#include <QtTest>

#include <functional>

namespace {

const QString kData = QStringLiteral("データ1.txt");
const QString kProfile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");

QByteArray sjis(const QString &text)
{
    QString error;
    const QByteArray b = cp932::encode(text, &error);
    Q_ASSERT(error.isEmpty());
    return b;
}

QByteArray record(const QByteArray &weight, const QByteArray &diary = "\"\"")
{
    return "\"2008/03/10\",\"" + sjis(QStringLiteral("朝")) + "\"," + weight + "," + diary +
           ",\"\",\"\"\r\n";
}

// Three records with the one under test in the middle.
QByteArray dataWith(const QByteArray &middle)
{
    return record("70.5") + middle + record("70.25");
}

QByteArray profileWith(const QByteArray &height, const QByteArray &target)
{
    return sjis(QStringLiteral("\"氏名\",\"はなこ\"\r\n\"身長\",")) + height +
           sjis(QStringLiteral("\r\n\"目標体重\",")) + target + "\r\n";
}

using Reader = std::function<MaybeError(const DataDir &, QString *shown)>;

Reader dataReader()
{
    return [](const DataDir &d, QString *shown) {
        QList<WeightRecord> rs;
        const MaybeError e = store::readRecords(d, kData, &rs);
        if (!e && rs.size() == 3)
            *shown = QString::number(double(rs[1].weight)) + u'|' + rs[1].diary;
        return e;
    };
}

Reader lastRecordReader()
{
    return [](const DataDir &d, QString *shown) {
        WeightRecord r;
        bool found = false;
        const MaybeError e = store::readLastRecord(d, kData, &r, &found);
        if (!e)
            *shown = QString::number(double(r.weight));
        return e;
    };
}

Reader profileReader()
{
    return [](const DataDir &d, QString *shown) {
        PersonProfile p;
        const MaybeError e = store::loadProfile(d, kProfile, &p);
        if (!e)
            *shown = QString::number(double(p.height)) + u'|' + QString::number(double(p.targetWeight));
        return e;
    };
}

Reader intSetting(MaybeError (*read)(const DataDir &, int *))
{
    return [read](const DataDir &d, QString *shown) {
        int v = -1;
        const MaybeError e = read(d, &v);
        if (!e)
            *shown = QString::number(v);
        return e;
    };
}

Reader textSetting(MaybeError (*read)(const DataDir &, QString *))
{
    return [read](const DataDir &d, QString *shown) { return read(d, shown); };
}

Reader situationReader()
{
    return [](const DataDir &d, QString *shown) {
        QStringList labels;
        const MaybeError e = store::readSituationList(d, &labels);
        if (!e)
            *shown = labels.join(u'|');
        return e;
    };
}

Reader legacyReader()
{
    return [](const DataDir &d, QString *shown) {
        QList<WeightRecord> rs;
        const MaybeError e = store::readLegacyRecords(d, &rs);
        if (!e && !rs.isEmpty())
            *shown = QString::number(double(rs.last().weight)) + u'|' + rs.last().situation;
        return e;
    };
}

struct Case {
    QString file;
    QByteArray bytes;
    Reader read;
};

QMap<QString, Case> &cases()
{
    static QMap<QString, Case> all;
    return all;
}

} // namespace

class TestRefusedValues : public QObject {
    Q_OBJECT

private slots:
    void refusedWithFileAndLine_data();
    void refusedWithFileAndLine();
    void whatTheProgramWritesStillReads_data();
    void whatTheProgramWritesStillReads();
};

// name, then the line the refusal must name.
void TestRefusedValues::refusedWithFileAndLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("line");
    auto row = [](const char *name, const QString &file, const QByteArray &bytes, const Reader &read,
                  int line) {
        cases().insert(QString::fromLatin1(name), Case{file, bytes, read});
        QTest::newRow(name) << QString::fromLatin1(name) << line;
    };
    const QByteArray digits41 = "1" + QByteArray(40, '0');
    const QByteArray zeros41 = QByteArray(38, '0') + "070";

    // Weights: the quick reader of ordinary lines and the exact one agree.
    row("weight 0", kData, dataWith(record("0")), dataReader(), 2);
    row("weight negative", kData, dataWith(record("-70.5")), dataReader(), 2);
    row("weight above 500", kData, dataWith(record("500.5")), dataReader(), 2);
    row("weight of 41 digits", kData, dataWith(record(digits41)), dataReader(), 2);
    row("weight of 61 digits", kData, dataWith(record(QByteArray(58, '0') + "070")), dataReader(), 2);
    row("weight 0.0000", kData, dataWith(record("0.0000")), dataReader(), 2);
    // More significant digits than a float is written with would change
    // at the next rewrite.
    row("weight of eight significant digits", kData, dataWith(record("74.575718")), dataReader(), 2);
    row("weight above 500 on the last line", kData, record("70") + record("501"), lastRecordReader(), 2);
    row("diary is a vertical tab and a quote", kData, dataWith(record("70", "\v\"")), dataReader(), 2);
    row("diary with a quote inside a bare field", kData, dataWith(record("70", "ab\"c")), dataReader(), 2);
    row("diary with a CR inside", kData, dataWith(record("70", "\"a\rb\"")), dataReader(), 2);

    // Profile: a height as the registration takes it, a target as a weight.
    row("height 1e40 in digits", kProfile, profileWith(digits41, "50"), profileReader(), 2);
    row("height 0", kProfile, profileWith("0", "50"), profileReader(), 2);
    row("height negative", kProfile, profileWith("-158.5", "50"), profileReader(), 2);
    row("height 1000.5", kProfile, profileWith("1000.5", "50"), profileReader(), 2);
    row("target 0", kProfile, profileWith("158.5", "0"), profileReader(), 3);
    row("target 500.5", kProfile, profileWith("158.5", "500.5"), profileReader(), 3);
    row("target of 41 digits", kProfile, profileWith("158.5", digits41), profileReader(), 3);
    row("nickname is a vertical tab and a quote", kProfile,
        sjis(QStringLiteral("\"氏名\",\v\"\r\n\"身長\",158.5\r\n\"目標体重\",50\r\n")), profileReader(), 1);

    // Settings: only the values the program writes.
    const QByteArray help = sjis(QStringLiteral("\"ヘルプツアー\","));
    row("help flag 2", store::helpSettingFile(), help + "2\r\n", intSetting(store::readHelpFlag), 1);
    row("help flag not a number", store::helpSettingFile(), help + "x\r\n", intSetting(store::readHelpFlag), 1);
    row("help flag missing", store::helpSettingFile(), "\r\n" + help.chopped(1) + "\r\n",
        intSetting(store::readHelpFlag), 2);
    row("help file of unreadable bytes", store::helpSettingFile(), "\x85\x40\x85", intSetting(store::readHelpFlag),
        1);
    row("automatic time 2", store::autoTimeSettingFile(), "2\r\n", intSetting(store::readAutoTime), 1);
    row("automatic time empty", store::autoTimeSettingFile(), "", intSetting(store::readAutoTime), 1);
    row("marker 7", store::markerSettingFile(), "7\r\n", intSetting(store::readMarkerMode), 1);
    row("marker not a number", store::markerSettingFile(), "x\r\n", intSetting(store::readMarkerMode), 1);
    row("marker -1", store::markerSettingFile(), "-1\r\n", intSetting(store::readMarkerMode), 1);
    row("moving average 0", store::movingAverageSettingFile(), "0\r\n",
        textSetting(store::readMovingAverageText), 1);
    row("moving average 2.5", store::movingAverageSettingFile(), "2.5\r\n",
        textSetting(store::readMovingAverageText), 1);
    row("moving average text", store::movingAverageSettingFile(), "abc\r\n",
        textSetting(store::readMovingAverageText), 1);
    row("moving average of 400 digits", store::movingAverageSettingFile(), QByteArray(400, '9') + "\r\n",
        textSetting(store::readMovingAverageText), 1);
    row("step of unreadable bytes", store::stepSettingFile(), "0.1\x85", textSetting(store::readStepText), 1);

    // Situation list.
    row("situation list, unreadable last line", store::situationListFile(),
        sjis(QStringLiteral("起床後\r\n")) + "\x85\x40", situationReader(), 2);
    row("situation list, quote inside a bare label", store::situationListFile(),
        sjis(QStringLiteral("起床後\r\nab\"c\r\n")), situationReader(), 2);
    row("situation list, text after a closing quote", store::situationListFile(),
        sjis(QStringLiteral("\"ab\"c\r\n")), situationReader(), 1);
    row("situation list, CR inside a line", store::situationListFile(),
        sjis(QStringLiteral("起床後\r\na\rb\r\n")), situationReader(), 2);

    // The older data file converts into records a data file may hold.
    row("older file, weight 0", store::legacyDataFile(), "2003/11/08,a,70\r\n2003/11/09,a,0\r\n", legacyReader(),
        2);
    row("older file, weight 600", store::legacyDataFile(), "2003/11/08,a,600\r\n", legacyReader(), 1);
    row("older file, weight negative", store::legacyDataFile(), "2003/11/08,a,-1\r\n", legacyReader(), 1);
    row("older file, situation a vertical tab and a quote", store::legacyDataFile(),
        "2003/11/08,\v\",70\r\n", legacyReader(), 1);
}

void TestRefusedValues::refusedWithFileAndLine()
{
    QFETCH(QString, name);
    QFETCH(int, line);
    const Case c = cases().value(name);
    TempDataDir tmp;
    tmp.writeBytes(c.file, c.bytes);
    const DataDir dir(tmp.dir());
    QString shown;
    const MaybeError e = c.read(dir, &shown);
    QVERIFY2(e, qPrintable(QStringLiteral("read as: ") + shown));
    QCOMPARE(e->file, dir.resolve(c.file));
    QCOMPARE(e->line, line);
    QVERIFY(!e->reason.isEmpty());
    // Reading never writes.
    QCOMPARE(tmp.readBytes(c.file), c.bytes);
}

void TestRefusedValues::whatTheProgramWritesStillReads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &file, const QByteArray &bytes, const Reader &read,
                  const QString &expected) {
        cases().insert(QString::fromLatin1(name), Case{file, bytes, read});
        QTest::newRow(name) << QString::fromLatin1(name) << expected;
    };
    row("weight 500", kData, dataWith(record("500")), dataReader(), QStringLiteral("500|"));
    row("weight of eight digits, seven significant", kData, dataWith(record("0.1234567")), dataReader(),
        QString::number(double(0.1234567f)) + u'|');
    row("weight of 41 digits with leading zeros", kData, dataWith(record(QByteArray(38, '0') + "070")), dataReader(),
        QStringLiteral("70|"));
    // A save takes any weight above 0: the smallest is written in full.
    row("weight written in full, tiny", kData, dataWith(record("0.000000000000000000001")), dataReader(),
        QString::number(double(1e-21f)) + u'|');
    row("weight with zeros after the point", kData, dataWith(record("70.50000000")), dataReader(),
        QStringLiteral("70.5|"));
    row("weight with a plus and blanks", kData, dataWith(record(" +70.5 ")), dataReader(),
        QStringLiteral("70.5|"));
    row("quoted diary after blanks", kData, dataWith(record("70", "  \"a,b\"")), dataReader(),
        QStringLiteral("70|a,b"));
    row("height up to the registration's limit", kProfile, profileWith("999.9", "500"), profileReader(),
        QString::number(double(999.9f)) + QStringLiteral("|500"));
    row("any step the user typed", store::stepSettingFile(), "abc\r\n", textSetting(store::readStepText),
        QStringLiteral("abc"));
    row("an empty step", store::stepSettingFile(), "\r\n", textSetting(store::readStepText),
        QStringLiteral("0.1"));
    row("moving average with text after it", store::movingAverageSettingFile(), sjis(QStringLiteral("12日\r\n")),
        textSetting(store::readMovingAverageText), QStringLiteral("12日"));
    row("moving average 45", store::movingAverageSettingFile(), " 45 \r\n",
        textSetting(store::readMovingAverageText), QStringLiteral("45"));
    row("help flag with blanks", store::helpSettingFile(), sjis(QStringLiteral(" \"ヘルプツアー\" , 0 \r\n")),
        intSetting(store::readHelpFlag), QStringLiteral("0"));
    row("marker 2", store::markerSettingFile(), "2\r\n", intSetting(store::readMarkerMode), QStringLiteral("2"));
    row("automatic time 1", store::autoTimeSettingFile(), "1", intSetting(store::readAutoTime),
        QStringLiteral("1"));
    row("situation list, open quote", store::situationListFile(),
        sjis(QStringLiteral("起床後\r\n \"a,b \r\n\r\n")), situationReader(), QStringLiteral("起床後|a,b |"));
    row("older file, quoted and bare", store::legacyDataFile(),
        "\"2003/11/08\",\"a\",70\r\n2003/11/09, b ,69.5\r\n", legacyReader(), QStringLiteral("69.5|b"));
}

void TestRefusedValues::whatTheProgramWritesStillReads()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const Case c = cases().value(name);
    TempDataDir tmp;
    tmp.writeBytes(c.file, c.bytes);
    QString shown;
    const MaybeError e = c.read(DataDir(tmp.dir()), &shown);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(shown, expected);
}

QTEST_GUILESS_MAIN(TestRefusedValues)
#include "test_refused_values.moc"
