// The record store against real files in a temporary directory: the data,
// profile, settings, situation-list and memo formats, insert order,
// case-insensitive names, damaged lines and the first start.
#include "store/codec.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/first_start.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record_line.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "temp_data_dir.h"
#include "records.h"

#include <QtTest>

#include <bit>
#include <sys/stat.h>

namespace {

const QString kData1 = QStringLiteral("データ1.txt");

using testrec::rec;

QList<WeightRecord> readAll(const TempDataDir &tmp, const QString &name = kData1)
{
    QList<WeightRecord> out;
    const MaybeError e = store::readRecords(DataDir(tmp.dir()), name, &out);
    if (e)
        qWarning() << e->message();
    return out;
}

QStringList situations(const QList<WeightRecord> &rs)
{
    QStringList out;
    for (const WeightRecord &r : rs)
        out.append(r.situation);
    return out;
}

} // namespace

class TestStoreFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsHandWrittenCp932Lines();
    void textsReadTogetherStayIndependentStrings();
    void writesTheExactLineFormat();
    void damagedLinesNameFileAndLine_data();
    void damagedLinesNameFileAndLine();
    void damagedFileIsNeverWritten();
    void appendReadsNoRecordButTheLast();
    void quickAndExactLineReadingAgree_data();
    void quickAndExactLineReadingAgree();
    void quickWeightsReadAsTheExactReaderDoes();
    void insertWritesOldRecordsAsTheWriterDoes();
    void incompleteLastLineIsKeptAside();
    void rereadParsesOnlyWhatChanged();
    void lastRecordIsReadFromTheLastLine();
    void appendKeepsEntryOrderAndStartsOnANewLine();
    void insertPlacesRecordInDateOrder();
    void insertWithoutLaterRecordStillWritesIt();
    void insertEmptiesReservedFields();
    void extensionCaseDoesNotMatter();
    void textsTheFormatCannotHoldAreRefused();
    void profileRoundTripAndDamage();
    void settingsFilesByPosition();
    void situationListItems();
    void situationRenameTouchesOnlyExactLabelsOfOnePerson();
    void memoRoundTrip();
    void legacyFileReadsThreeFields();
    void legacyConversionReplacesDataAndKeepsTheOldFile();
    void legacyConversionWritesNothingWhenItCannotFinish();
    void legacyConversionStoppedBetweenItsRenamesFinishesWithoutRewriting();
    void registrationWritesShortestWeights();
    void commentSaveRewritesEveryRecordWithTheNewComment();
    void firstStartCreatesDefaultsWithoutOverwriting();
};

void TestStoreFiles::readsHandWrittenCp932Lines()
{
    TempDataDir tmp;
    // "2003/11/08","はじめの一歩",74.5,"","","" then a line with spaces
    // before fields, bare texts and a lone LF, then ～ and half-width kana.
    QByteArray bytes;
    bytes += "\"2003/11/08\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",74.5,\"\",\"\",\"\"\r\n";
    bytes += "  \"2003/11/09\", \x92\xA9 , 74 ,\"\", 0 ,\"\"\n";
    bytes += "\"2003/11/10\",\"\x81\x60\xCC\xDF\",73.95,\"\x95\x5C\",\"\",\"\"\r\n";
    tmp.writeBytes(kData1, bytes);

    const QList<WeightRecord> rs = readAll(tmp);
    QCOMPARE(rs.size(), 3);
    QCOMPARE(rs[0].date, QStringLiteral("2003/11/08"));
    QCOMPARE(rs[0].situation, QStringLiteral("はじめの一歩"));
    QCOMPARE(rs[0].weight, 74.5f);
    QCOMPARE(rs[1].situation, QStringLiteral("朝"));
    QCOMPARE(rs[1].weight, 74.0f);
    QCOMPARE(rs[1].reserved.fifth(), QStringLiteral("0"));
    QCOMPARE(rs[2].situation, QStringLiteral("～ﾌﾟ"));
    QCOMPARE(rs[2].weight, 73.95f);
    QCOMPARE(rs[2].diary, QStringLiteral("表"));
}

// Dates and labels are decoded once and shared from line to line, and a
// full file is read into one list: every text must still read back as
// written and behave as a string of its own.
void TestStoreFiles::textsReadTogetherStayIndependentStrings()
{
    TempDataDir tmp;
    QByteArray bytes;
    QStringList diaries;
    const int n = 5000; // many days, many labels, thousands of diaries
    for (int i = 0; i < n; ++i) {
        const QString diary = i % 3 == 0 ? QStringLiteral("食べすぎた%1").arg(i)
                              : i % 3 == 1 ? QString()
                                           : QStringLiteral("%1:05:07 walked").arg(i % 24);
        diaries.append(diary);
        QString error;
        bytes += "\"2003/11/0" + QByteArray::number(1 + i / 1000) + "\",\"\x92\xA9\",74.5,\"" +
                 cp932::encode(diary, &error) + "\",\"\",\"\"\r\n";
    }
    tmp.writeBytes(kData1, bytes);

    QList<WeightRecord> rs = readAll(tmp);
    QCOMPARE(rs.size(), n);
    for (int i = 0; i < n; ++i) {
        QCOMPARE(rs[i].diary, diaries[i]);
        // A string's own buffer ends in a zero; the shared ones must too.
        QCOMPARE(rs[i].diary.utf16()[rs[i].diary.size()], u'\0');
    }
    // Repeated fields are decoded once and shared.
    QVERIFY(rs[3].date.isSharedWith(rs[4].date));
    QVERIFY(rs[3].situation.isSharedWith(rs[4000].situation));
    // Changing one changes no other: not its neighbours, nor the records
    // sharing its date or label.
    rs[3].diary.append(QStringLiteral("!"));
    rs[3].diary[0] = u'X';
    rs[3].date[0] = u'X';
    rs[3].situation.append(QStringLiteral("食"));
    QCOMPARE(rs[3].diary, QStringLiteral("X") + diaries[3].mid(1) + QStringLiteral("!"));
    QCOMPARE(rs[4].diary, diaries[4]);
    QCOMPARE(rs[5].diary, diaries[5]);
    QCOMPARE(rs[6].diary, diaries[6]);
    QCOMPARE(rs[2].date, QStringLiteral("2003/11/01"));
    QCOMPARE(rs[4].situation, QStringLiteral("朝"));

    // A string that outlives the list keeps its text, and may grow.
    QString last = rs[n - 2].diary;
    rs.clear();
    QCOMPARE(last, diaries[n - 2]);
    last.append(QStringLiteral(" and ran"));
    QCOMPARE(last, diaries[n - 2] + QStringLiteral(" and ran"));
}

void TestStoreFiles::writesTheExactLineFormat()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::appendRecord(dir, kData1, rec("2003/11/08", "はじめの一歩", 74.5f)));
    QVERIFY(!store::appendRecord(dir, kData1, rec("2003/11/08", "朝", 70.0f, "9:05:07")));
    QByteArray expected;
    expected += "\"2003/11/08\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",74.5,\"\",\"\",\"\"\r\n";
    expected += "\"2003/11/08\",\"\x92\xA9\",70,\"9:05:07\",\"\",\"\"\r\n";
    QCOMPARE(tmp.readBytes(kData1), expected);
}

void TestStoreFiles::damagedLinesNameFileAndLine_data()
{
    QTest::addColumn<QByteArray>("secondLine");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("too few fields") << QByteArray("\"2008/03/10\",\"a\",70\r\n") << "項目が足りません";
    QTest::newRow("unterminated quote") << QByteArray("\"2008/03/10\",\"a,70,\"\",\"\",\"\"\r\n")
                                        << "引用符";
    QTest::newRow("weight not a number") << QByteArray("\"2008/03/10\",\"a\",7o,\"\",\"\",\"\"\r\n")
                                         << "数値ではありません";
    QTest::newRow("date form") << QByteArray("\"2008/3/10\",\"a\",70,\"\",\"\",\"\"\r\n")
                               << "yyyy/mm/dd";
    QTest::newRow("not cp932") << QByteArray("\"2008/03/10\",\"\x81\x20\",70,\"\",\"\",\"\"\r\n")
                               << "シフトJIS";
}

void TestStoreFiles::damagedLinesNameFileAndLine()
{
    QFETCH(QByteArray, secondLine);
    QFETCH(QString, reasonPart);
    TempDataDir tmp;
    tmp.writeBytes(kData1, "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n" + secondLine +
                               "\"2008/03/11\",\"a\",70,\"\",\"\",\"\"\r\n");
    QList<WeightRecord> rs;
    store::IncompleteTail tail;
    const MaybeError e = store::readRecords(DataDir(tmp.dir()), kData1, &rs, &tail);
    QVERIFY(e.has_value());
    QCOMPARE(e->file, kData1);
    QCOMPARE(e->line, 2);
    QVERIFY2(e->reason.contains(reasonPart), qPrintable(e->reason));
    QVERIFY(e->message().contains(QStringLiteral("2 行目")));
    QVERIFY(!tail.present); // complete lines follow: real damage, not an interrupted append
}

void TestStoreFiles::damagedFileIsNeverWritten()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray good = "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n";
    // Damage inside: every rewrite reads the whole file and refuses.
    const QByteArray damaged = good + "\"2008/03/10\",\"b\"\r\n" + "\"2008/03/12\",\"a\",70,\"\",\"\",\"\"\r\n";
    tmp.writeBytes(kData1, damaged);
    QVERIFY(store::insertRecordInOrder(dir, kData1, rec("2008/03/11", "x", 70)).has_value());
    QVERIFY(store::renameSituation(dir, kData1, "a", "z").has_value());
    QCOMPARE(tmp.readBytes(kData1), damaged);
    // A damaged last line, complete or not: an append is never glued to it.
    for (const QByteArray &last : {QByteArray("\"2008/03/10\",\"b\"\r\n"), QByteArray("\"2008/03/10\",\"b"),
                                   QByteArray("\"2008/03/10\",\"\x92")}) {
        tmp.writeBytes(kData1, good + last + "\r\n \r\n");
        const MaybeError e = store::appendRecord(dir, kData1, rec("2008/03/12", "x", 70));
        QVERIFY(e.has_value());
        QCOMPARE(e->line, 2);
        QCOMPARE(tmp.readBytes(kData1), good + last + "\r\n \r\n");
    }
    QCOMPARE(tmp.entries(), QStringList{kData1});
}

void TestStoreFiles::appendReadsNoRecordButTheLast()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // The middle line would be refused by any reader; an append looks at
    // the line count and the last line only, so it goes through.
    const QByteArray bytes = "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n\xFF\xFF damaged\r\n"
                             "\"2008/03/10\",\"b\",70,\"\",\"\",\"\"\r\n";
    tmp.writeBytes(QStringLiteral("データ1.TXT"), bytes);
    store::resetWholeFileReads();
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/10", "c", 69.5f)));
    QCOMPARE(store::wholeFileReads(dir, kData1), 0);
    QCOMPARE(tmp.readBytes(QStringLiteral("データ1.TXT")), bytes + "\"2008/03/10\",\"c\",69.5,\"\",\"\",\"\"\r\n");

    // Whole reads are counted per file, whatever the case of the name.
    QList<WeightRecord> rs;
    QVERIFY(store::readRecords(dir, kData1, &rs));
    QVERIFY(store::insertRecordInOrder(dir, QStringLiteral("データ1.TXT"), rec("2008/03/01", "d", 70)));
    QVERIFY(!store::appendRecord(dir, dataFileName(PersonSlot::Two), rec("2008/03/10", "e", 50)));
    QVERIFY(!store::readRecords(dir, dataFileName(PersonSlot::Two), &rs));
    QCOMPARE(store::wholeFileReads(dir, kData1), 2);
    QCOMPARE(store::wholeFileReads(dir, dataFileName(PersonSlot::Two)), 1);
    store::resetWholeFileReads();
    QCOMPARE(store::wholeFileReads(dir, kData1), 0);
}

void TestStoreFiles::quickAndExactLineReadingAgree_data()
{
    // Lines the reader takes on its quick way and lines it must leave to
    // the exact one; each must read as the exact reader alone reads it.
    QTest::addColumn<QByteArray>("line");
    const QByteArray ok = "\"2008/03/10\",\"\x92\xA9\",70.5,\"\x95\x5C\",\"\",\"\"";
    QTest::newRow("ordinary") << ok;
    QTest::newRow("bare fields, blanks") << QByteArray(" 2008/03/10 ,\t\x92\xA9 , 70.5 , d , 0 ,x");
    QTest::newRow("full-width blank around a bare field") << QByteArray("2008/03/10,\x81\x40\x92\xA9\x81\x40,70,,,");
    QTest::newRow("full-width blank in quotes") << QByteArray("\"2008/03/10\",\"\x81\x40" "a\",70,\"\",\"\",\"\"");
    QTest::newRow("quoted weight with blanks") << QByteArray("\"2008/03/10\",\"a\",\" 70 \",\"\",\"\",\"\"");
    QTest::newRow("plus weight") << QByteArray("\"2008/03/10\",\"a\",+70.25,\"\",\"\",\"\"");
    QTest::newRow("point weights") << QByteArray("\"2008/03/10\",\"a\",.5,\"7.\",\"\",\"\"");
    QTest::newRow("full-width weight") << QByteArray("\"2008/03/10\",\"a\",\x82\x56\x82\x4F,\"\",\"\",\"\"");
    QTest::newRow("exponent weight") << QByteArray("\"2008/03/10\",\"a\",7e1,\"\",\"\",\"\"");
    QTest::newRow("two points") << QByteArray("\"2008/03/10\",\"a\",7.0.1,\"\",\"\",\"\"");
    QTest::newRow("no such day") << QByteArray("\"2008/02/30\",\"a\",70,\"\",\"\",\"\"");
    QTest::newRow("year zero") << QByteArray("\"0000/01/01\",\"a\",70,\"\",\"\",\"\"");
    QTest::newRow("blank date") << QByteArray("\" 2008/03/10\",\"a\",70,\"\",\"\",\"\"");
    QTest::newRow("seven fields") << ok + ",\"\"";
    QTest::newRow("trailing comma") << ok + ",";
    QTest::newRow("five fields") << QByteArray("\"2008/03/10\",\"a\",70,\"\",\"\"");
    QTest::newRow("text after quote") << QByteArray("\"2008/03/10\",\"a\"b,70,\"\",\"\",\"\"");
    QTest::newRow("open quote") << QByteArray("\"2008/03/10\",\"a,70,\"\",\"\",\"\"");
    QTest::newRow("quote inside bare") << QByteArray("\"2008/03/10\",a\"b,70,\"\",\"\",\"\"");
    QTest::newRow("CR inside quotes") << QByteArray("\"2008/03/10\",\"a\rb\",70,\"\",\"\",\"\"");
    QTest::newRow("CR at the end") << ok + "\r";
    QTest::newRow("lone lead byte") << QByteArray("\"2008/03/10\",\"a\x92\",70,\"\",\"\",\"\"");
    QTest::newRow("bad byte in reserved") << QByteArray("\"2008/03/10\",\"a\",70,\"\",\"\xFF\",\"\"");
    QTest::newRow("twin code") << QByteArray("\"2008/03/10\",\"\x87\x90\",70,\"\xED\x40\",\"\",\"\"");
    QTest::newRow("katakana and tilde") << QByteArray("\"2008/03/10\",\"\xB6\xC0\x81\x60\",70,\"\",\"\",\"\"");
    QTest::newRow("only a full-width blank") << QByteArray("\x81\x40");
    QTest::newRow("tab only") << QByteArray("\t");
}

void TestStoreFiles::quickAndExactLineReadingAgree()
{
    QFETCH(QByteArray, line);
    const QByteArray first = "\"2008/03/01\",\"s\",71,\"\",\"\",\"\"\r\n";
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // The reference: the line decoded and parsed by the exact reader.
    QString decodeError;
    const QString text = cp932::decode(line, &decodeError);
    WeightRecord want;
    const bool blank = decodeError.isEmpty() && text.trimmed().isEmpty();
    const QString reason = !decodeError.isEmpty() ? decodeError : blank ? QString() : store::parseRecordLine(text, &want);

    // In the middle of a file, and as its last line without a line break.
    for (const bool last : {false, true}) {
        tmp.writeBytes(kData1, first + line + (last ? "" : "\r\n" + first));
        QList<WeightRecord> rs;
        const MaybeError e = store::readRecords(dir, kData1, &rs);
        WeightRecord lastRecord;
        bool found = false;
        const MaybeError lastError = store::readLastRecord(dir, kData1, &lastRecord, &found);
        if (!reason.isEmpty()) {
            QVERIFY(e.has_value());
            QCOMPARE(e->line, 2);
            QCOMPARE(e->reason, last && !decodeError.isEmpty() ? QStringLiteral("シフトJISとして読めないバイトがあります") : reason);
            if (last)
                QCOMPARE(lastError.has_value(), true);
            continue;
        }
        QVERIFY2(!e, e ? qPrintable(e->message()) : "");
        QVERIFY(!lastError);
        QCOMPARE(rs.size(), blank ? (last ? 1 : 2) : (last ? 2 : 3));
        if (!blank) {
            QCOMPARE(rs.at(1), want);
            // Text compared too: a null and an empty string must not hide a
            // wrong field.
            QCOMPARE(rs.at(1).situation.size(), want.situation.size());
            if (last)
                QCOMPARE(lastRecord, want);
        }
    }
}

void TestStoreFiles::quickWeightsReadAsTheExactReaderDoes()
{
    // Every form a weight in (0, 500] takes, read on the quick way: each
    // float must be bit for bit the one the exact reader gives for its line.
    QByteArray bytes;
    QList<QByteArray> lines;
    for (int i = 0; i < kMaxRecords; ++i) {
        const int point = i % 6; // 0: none, else that many decimals
        // Below 500 kg, and at most seven significant digits.
        qint64 scale = 500;
        for (int p = 0; p < point; ++p)
            scale *= 10;
        scale = std::min<qint64>(scale, 10000000);
        QByteArray digits = QByteArray::number(qint64(i) * 7919 % scale + 1)
                                .rightJustified(std::max(i % 9 == 0 ? 8 : 5, point + 1), '0');
        if (point > 0)
            digits.insert(digits.size() - point, '.');
        if (i % 11 == 0)
            digits.prepend('+');
        const QByteArray line = "\"2008/03/10\",\"a\"," + digits + ",\"\",\"\",\"\"";
        lines.append(line);
        bytes += line + "\r\n";
    }
    TempDataDir tmp;
    tmp.writeBytes(kData1, bytes);
    QList<WeightRecord> rs;
    const MaybeError e = store::readRecords(DataDir(tmp.dir()), kData1, &rs);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(rs.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        WeightRecord want;
        QCOMPARE(store::parseRecordLine(QString::fromLatin1(lines.at(i)), &want), QString());
        QVERIFY2(std::bit_cast<quint32>(rs.at(i).weight) == std::bit_cast<quint32>(want.weight),
                 lines.at(i).constData());
    }
}

void TestStoreFiles::insertWritesOldRecordsAsTheWriterDoes()
{
    // Old lines in every form the reader takes; after an insert the file
    // must be exactly what writing the records read from it gives.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray old = "\"2008/03/09\",\"\x92\xA9\",70.50,\"\x95\x5C\x83\x5C\",0,\"x\"\r\n"
                           " 2008/03/09 , \x96\xE9 ,+69.9, d ,,\r\n"
                           "\r\n"
                           "\"2008/03/10\",\"\x87\x90\",\" 69.8\",\"\xED\x40\",\"\",\"\"\n"
                           "\"2008/03/12\",\"\xB6\xC0\x81\x60\",69.7000,\"\",\"\",\"\"\r\n"
                           // Written forms already; some weights only look so.
                           "\"2008/03/12\",\"a\",0.05,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",100,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",123.4567,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",8.000000,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",70.0,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",+0.5,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"a\",007,\"\",\"\",\"\"";
    tmp.writeBytes(kData1, old);
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(dir, kData1, &records));
    QCOMPARE(records.size(), 11);
    const WeightRecord added = rec("2008/03/10", "新", 69.5f, "表");
    QVERIFY(!store::insertRecordInOrder(dir, kData1, added));

    records.insert(3, added);
    QByteArray want;
    for (const WeightRecord &r : std::as_const(records)) {
        QString error;
        want += cp932::encode(store::recordLine(r), &error) + "\r\n";
        QVERIFY(error.isEmpty());
    }
    QCOMPARE(tmp.readBytes(kData1), want);
    QVERIFY(want.contains("\x81\xE0")); // the twin "≒" written the way the encoder writes it
    QVERIFY(want.contains(",70.5,"));
    QVERIFY(want.contains(",8,"));
    QVERIFY(want.contains(",123.4567,"));

    // An old text the format cannot hold again stops the insert.
    tmp.writeBytes(kData1, "\"2008/03/09\",\"a\rb\",70,\"\",\"\",\"\"\r\n");
    const MaybeError e = store::insertRecordInOrder(dir, kData1, added);
    QVERIFY(e.has_value());
    QVERIFY(e->reason.contains(QStringLiteral("改行")));
}

void TestStoreFiles::incompleteLastLineIsKeptAside()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray good = "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n";
    const QByteArray torn = "\"2008/03/10\",\"\x92";
    tmp.writeBytes(kData1, good + torn);

    QList<WeightRecord> rs;
    QVERIFY(store::readRecords(dir, kData1, &rs).has_value()); // without a tail: refused
    store::IncompleteTail tail;
    QVERIFY(!store::readRecords(dir, kData1, &rs, &tail));
    QCOMPARE(rs.size(), 1);
    QVERIFY(tail.present);
    QCOMPARE(tail.line, 2);

    QString side;
    QVERIFY(!store::saveIncompleteTail(dir, kData1, tail, &side));
    QCOMPARE(tmp.readBytes(kData1), good);
    QCOMPARE(tmp.readBytes(side), torn);
    QCOMPARE(readAll(tmp).size(), 1);
}

void TestStoreFiles::rereadParsesOnlyWhatChanged()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QByteArray a = "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n";
    const QByteArray b = "\"2008/03/10\",\"b\",69.5,\"\",\"\",\"\"\r\n";
    tmp.writeBytes(kData1, a + b);
    store::resetWholeFileReads();
    store::RecordsAsRead known;
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(situations(known.records), QStringList({"a", "b"}));
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);

    // Unchanged: nothing parsed.
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(known.records.size(), 2);
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);

    // Appended: only the new line is parsed, and it lands last.
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/11", "c", 68.25f)));
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(situations(known.records), QStringList({"a", "b", "c"}));
    QCOMPARE(known.records.last().weight, 68.25f);
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);
    QCOMPARE(known.records, readAll(tmp));

    // The added line goes into the known list in place, not into a copy
    // of the whole list; a list handed out before keeps what it held.
    known.records.reserve(8);
    const WeightRecord *place = known.records.constData();
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/11", "c2", 68.0f)));
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(known.records.size(), 4);
    QCOMPARE(known.records.constData(), place);
    const QList<WeightRecord> handedOut = known.records;
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/11", "c3", 68.0f)));
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(handedOut.size(), 4);
    QCOMPARE(situations(known.records), QStringList({"a", "b", "c", "c2", "c3"}));
    QCOMPARE(known.records, readAll(tmp));
    store::resetWholeFileReads();

    // Changed in place at the same size: read whole again.
    QByteArray bytes = tmp.readBytes(kData1);
    bytes.replace("69.5", "69.7");
    tmp.writeBytes(kData1, bytes);
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(known.records.at(1).weight, 69.7f);
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);

    // A damaged added line is named by its line in the whole file, and
    // the records known before stay as they were.
    tmp.writeBytes(kData1, bytes + "\"2008/03/12\",\"d\",abc,\"\",\"\",\"\"\r\n");
    const MaybeError e = store::rereadRecords(dir, kData1, &known);
    QVERIFY(e);
    QCOMPARE(e->line, 6);
    QCOMPARE(known.records.size(), 5);
    QCOMPARE(known.size, bytes.size());
    QCOMPARE(known.checksum, store::stampOf(bytes).checksum);

    // A file cut short is read whole; so is one whose last known line had
    // no line break, since the added bytes may finish that line.
    tmp.writeBytes(kData1, a);
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(situations(known.records), QStringList({"a"}));
    const QByteArray open = a + "\"2008/03/10\",\"x\",69,\"\",\"\",r";
    tmp.writeBytes(kData1, open);
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(known.records.last().reserved.sixth(), QStringLiteral("r"));
    tmp.writeBytes(kData1, open + "s\r\n");
    QVERIFY(!store::rereadRecords(dir, kData1, &known));
    QCOMPARE(known.records.size(), 2);
    QCOMPARE(known.records.last().reserved.sixth(), QStringLiteral("rs"));

    // A file that cannot be read is an error, not the records known.
    QVERIFY(QFile::remove(dir.path(kData1)));
    QVERIFY(store::rereadRecords(dir, kData1, &known));
}

void TestStoreFiles::lastRecordIsReadFromTheLastLine()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    WeightRecord last;
    bool found = true;
    tmp.writeBytes(kData1, "");
    QVERIFY(!store::readLastRecord(dir, kData1, &last, &found));
    QVERIFY(!found);

    tmp.writeBytes(kData1, "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n"
                           "\"2008/03/12\",\"\x92\xA9\",69.5,\"\",\"\",\"\"\r\n\r\n");
    QVERIFY(!store::readLastRecord(dir, kData1, &last, &found));
    QVERIFY(found);
    QCOMPARE(last, rec("2008/03/12", "朝", 69.5f));

    tmp.writeBytes(kData1, "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n\"2008/03/1\",\"a\",70,\"\",\"\",\"\"\r\n");
    const MaybeError e = store::readLastRecord(dir, kData1, &last, &found);
    QVERIFY(e.has_value());
    QCOMPARE(e->line, 2);
}

void TestStoreFiles::appendKeepsEntryOrderAndStartsOnANewLine()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // A last line that ends without CR LF but is complete.
    tmp.writeBytes(kData1, "\"2008/03/10\",\"a\",70,\"\",\"\",\"\"");
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/10", "b", 69.5f)));
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/10", "c", 69.4f)));
    QCOMPARE(situations(readAll(tmp)), (QStringList{"a", "b", "c"}));
    QVERIFY(tmp.readBytes(kData1).startsWith("\"2008/03/10\",\"a\",70,\"\",\"\",\"\"\r\n\"2008/03/10\",\"b\""));
}

void TestStoreFiles::insertPlacesRecordInDateOrder()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    for (const WeightRecord &r : {rec("2008/03/09", "09", 70), rec("2008/03/10", "10 old", 70),
                                  rec("2008/03/12", "12", 70)})
        QVERIFY(!store::appendRecord(dir, kData1, r));
    QVERIFY(!store::insertRecordInOrder(dir, kData1, rec("2008/03/10", "10 new", 69)));
    QVERIFY(!store::insertRecordInOrder(dir, kData1, rec("2008/03/01", "01", 71)));
    QCOMPARE(situations(readAll(tmp)), (QStringList{"01", "09", "10 old", "10 new", "12"}));
    QVERIFY(!tmp.exists(store::insertScratchName()));
}

void TestStoreFiles::insertWithoutLaterRecordStillWritesIt()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/09", "09", 70)));
    QVERIFY(!store::insertRecordInOrder(dir, kData1, rec("2008/03/11", "11", 69)));
    QVERIFY(!store::insertRecordInOrder(dir, kData1, rec("2008/03/09", "09 b", 69)));
    QCOMPARE(situations(readAll(tmp)), (QStringList{"09", "09 b", "11"}));
}

void TestStoreFiles::insertEmptiesReservedFields()
{
    TempDataDir tmp;
    tmp.writeBytes(kData1, "\"2008/03/09\",\"a\",70,\"d\",0,\"x\"\r\n");
    QVERIFY(!store::insertRecordInOrder(DataDir(tmp.dir()), kData1, rec("2008/03/08", "b", 71)));
    QCOMPARE(tmp.readBytes(kData1), QByteArray("\"2008/03/08\",\"b\",71,\"\",\"\",\"\"\r\n"
                                               "\"2008/03/09\",\"a\",70,\"d\",\"\",\"\"\r\n"));
}

void TestStoreFiles::extensionCaseDoesNotMatter()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeText(QStringLiteral("データ1.TXT"), QStringLiteral("\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n"));
    QCOMPARE(dir.resolve(kData1), QStringLiteral("データ1.TXT"));
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/10", "b", 70)));
    QVERIFY(!store::insertRecordInOrder(dir, kData1, rec("2008/03/09", "c", 70)));
    QCOMPARE(tmp.entries(), QStringList{QStringLiteral("データ1.TXT")});
    QCOMPARE(readAll(tmp, QStringLiteral("データ1.TXT")).size(), 3);
    // The stem must match exactly.
    QVERIFY(!dir.exists(QStringLiteral("データ2.txt")));
    // New files get the spelling they are asked for.
    QVERIFY(!store::saveProfile(dir, profileFileName(PersonSlot::One), {"a", 170, 60}));
    QVERIFY(tmp.exists(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt")));
}

void TestStoreFiles::textsTheFormatCannotHoldAreRefused()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::appendRecord(dir, kData1, rec("2008/03/09", "a", 70)));
    const QByteArray before = tmp.readBytes(kData1);
    for (const WeightRecord &r : {rec("2008/03/10", "say \"hi\"", 70), rec("2008/03/10", "a", 70, "two\nlines"),
                                  rec("2008/03/10", "a", 70, "emoji 😀"), rec("2008/03/10", "café", 70)}) {
        const MaybeError a = store::appendRecord(dir, kData1, r);
        QVERIFY(a.has_value());
        QVERIFY(!a->message().isEmpty());
        QVERIFY(store::insertRecordInOrder(dir, kData1, r).has_value());
    }
    QCOMPARE(tmp.readBytes(kData1), before);
    QVERIFY(store::unstorableReason("〜 half ～ full").isEmpty());
    QVERIFY(store::appendSituationBare(dir, "a\"b").has_value());
    QVERIFY(store::saveProfile(dir, profileFileName(PersonSlot::One), {"x\"y", 170, 60}).has_value());
}

void TestStoreFiles::profileRoundTripAndDamage()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QString name = profileFileName(PersonSlot::Two);
    QVERIFY(!store::saveProfile(dir, name, {"はなこ", 158.5f, 52}));
    QCOMPARE(tmp.readText(name), QStringLiteral("\"氏名\",\"はなこ\"\r\n\"身長\",158.5\r\n\"目標体重\",52\r\n"));
    PersonProfile p;
    QVERIFY(!store::loadProfile(dir, name, &p));
    QCOMPARE(p, (PersonProfile{"はなこ", 158.5f, 52}));

    // Labels are ignored, values taken by position; an empty nickname is fine.
    tmp.writeText(name, "\"x\",\"\"\r\n\"y\", 170 \r\n\"z\",60\r\n");
    QVERIFY(!store::loadProfile(dir, name, &p));
    QCOMPARE(p, (PersonProfile{"", 170, 60}));

    tmp.writeText(name, "\"氏名\",\"a\"\r\n\"身長\",abc\r\n\"目標体重\",60\r\n");
    const MaybeError bad = store::loadProfile(dir, name, &p);
    QVERIFY(bad.has_value());
    QCOMPARE(bad->line, 2);
    tmp.writeText(name, "\"氏名\",\"a\"\r\n");
    QVERIFY(store::loadProfile(dir, name, &p).has_value());
    QVERIFY(store::loadProfile(dir, profileFileName(PersonSlot::One), &p).has_value());
}

void TestStoreFiles::settingsFilesByPosition()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(!store::writeStepText(dir, "0.25"));
    QCOMPARE(tmp.readBytes(QStringLiteral("体重計刻み.txt")), QByteArray("0.25\r\n"));
    QString step;
    QVERIFY(!store::readStepText(dir, &step));
    QCOMPARE(step, QStringLiteral("0.25"));

    QVERIFY(!store::writeHelpFlag(dir, 0));
    QCOMPARE(tmp.readText(QStringLiteral("設定.txt")), QStringLiteral("\"ヘルプツアー\",0\r\n"));
    // The program also spells it "設定.TXT": the same file.
    tmp.writeText(QStringLiteral("設定.txt"), " \"ヘルプツアー\" , 1 \r\n");
    int flag = -1;
    QVERIFY(!store::readHelpFlag(dir, &flag));
    QCOMPARE(flag, 1);

    QVERIFY(!store::writeMovingAverageText(dir, "45"));
    QString ma;
    QVERIFY(!store::readMovingAverageText(dir, &ma));
    QCOMPARE(ma, QStringLiteral("45"));

    QVERIFY(!store::writeAutoTime(dir, 0));
    int ticked = -1;
    QVERIFY(!store::readAutoTime(dir, &ticked));
    QCOMPARE(ticked, 0);

    // A value the program never writes is named with the file and the
    // line, and the file stays as it is.
    tmp.writeBytes(QStringLiteral("マーカー.TXT"), "x\r\n");
    int mode = -1;
    const MaybeError e = store::readMarkerMode(dir, &mode);
    QVERIFY(e);
    QCOMPARE(e->line, 1);
    QCOMPARE(e->file, QStringLiteral("マーカー.TXT"));
    QCOMPARE(tmp.readBytes(QStringLiteral("マーカー.TXT")), QByteArray("x\r\n"));

    QVERIFY(store::readAutoTime(DataDir(QDir(tmp.filePath("nowhere"))), &ticked).has_value());
}

void TestStoreFiles::situationListItems()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // Bare "散歩,ジョギング" is two labels; quoted "a,b" is one.
    tmp.writeText(store::situationListFile(), "朝\r\n散歩,ジョギング\r\n\"a,b\"\r\n");
    QStringList labels;
    QVERIFY(!store::readSituationList(dir, &labels));
    QCOMPARE(labels, (QStringList{"朝", "散歩", "ジョギング", "a,b"}));

    // A label keeps its text: the bare add quotes it when a bare line
    // would split it or drop its blanks.
    QVERIFY(!store::appendSituationBare(dir, "x,y"));
    QVERIFY(!store::appendSituationQuoted(dir, "p,q"));
    QVERIFY(!store::appendSituationBare(dir, " 夜 "));
    QVERIFY(!store::readSituationList(dir, &labels));
    QCOMPARE(labels.mid(4), (QStringList{"x,y", "p,q", " 夜 "}));

    QVERIFY(!store::writeSituationListBare(dir, {"b", "a"}));
    QCOMPARE(tmp.readBytes(store::situationListFile()), QByteArray("b\r\na\r\n"));
    QVERIFY(!store::writeSituationListBare(dir, {}));
    QCOMPARE(tmp.readBytes(store::situationListFile()), QByteArray());
    QVERIFY(!store::readSituationList(dir, &labels));
    QVERIFY(labels.isEmpty());
}

void TestStoreFiles::situationRenameTouchesOnlyExactLabelsOfOnePerson()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QString data2 = dataFileName(PersonSlot::Two);
    tmp.writeText(kData1, "\"2008/03/09\",\"朝\",70,\"d\",\"\",\"\"\r\n"
                          "\"2008/03/09\",\"朝食後\",69.5,\"\",\"\",\"\"\r\n"
                          "\"2008/03/10\",\"朝\",69,\"\",\"\",\"\"\r\n");
    tmp.writeText(data2, "\"2008/03/09\",\"朝\",50,\"\",\"\",\"\"\r\n");
    tmp.writeText(store::situationListFile(), "朝\r\n朝食後\r\n散歩,ジョギング\r\n");
    const QByteArray other = tmp.readBytes(data2);

    QVERIFY(!store::renameSituation(dir, kData1, "朝", "起床後"));
    QCOMPARE(tmp.readText(kData1), QStringLiteral("\"2008/03/09\",\"起床後\",70,\"d\",0,\"\"\r\n"
                                                  "\"2008/03/09\",\"朝食後\",69.5,\"\",0,\"\"\r\n"
                                                  "\"2008/03/10\",\"起床後\",69,\"\",0,\"\"\r\n"));
    QCOMPARE(tmp.readBytes(data2), other);
    // Every line quoted; the bare line with a comma split in two.
    QCOMPARE(tmp.readText(store::situationListFile()),
             QStringLiteral("\"起床後\"\r\n\"朝食後\"\r\n\"散歩\"\r\n\"ジョギング\"\r\n"));
    QVERIFY(!tmp.exists(store::renameDataScratchName()));
    QVERIFY(!tmp.exists(store::situationListScratchName()));
    // A renamed label with a comma stays one label.
    QVERIFY(!store::renameSituation(dir, kData1, "散歩", "a,b"));
    QStringList labels;
    QVERIFY(!store::readSituationList(dir, &labels));
    QCOMPARE(labels, (QStringList{"起床後", "朝食後", "a,b", "ジョギング"}));
}

void TestStoreFiles::memoRoundTrip()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    const QString memo = QStringLiteral("一行目\n\n三行目 \"引用\", カンマ");
    QVERIFY(!store::writeMemo(dir, memo));
    QString back;
    QVERIFY(!store::readMemo(dir, &back));
    QCOMPARE(back, memo);

    QVERIFY(!store::writeMemo(dir, QString()));
    QCOMPARE(tmp.readBytes(store::memoFile()), QByteArray("\r\n"));
    QVERIFY(!store::readMemo(dir, &back));
    QCOMPARE(back, QString());

    // The start-up loader spells it "気付きメモ.txt".
    tmp.dir().remove(store::memoFile());
    tmp.writeText(QStringLiteral("気付きメモ.txt"), "a\r\nb\r\n");
    QVERIFY(!store::readMemo(dir, &back));
    QCOMPARE(back, QStringLiteral("a\nb"));
    const MaybeError unencodable = store::writeMemo(dir, QStringLiteral("a\n😀"));
    QVERIFY(unencodable.has_value());
    QCOMPARE(unencodable->line, 2);
    QCOMPARE(tmp.readText(QStringLiteral("気付きメモ.txt")), QStringLiteral("a\r\nb\r\n"));

    // Saved under the file's own name, empty lines first and last kept,
    // and a saved file loads and saves again byte for byte.
    const QString edges = QStringLiteral("\n表ソ～①\n\nｶﾀｶﾅ \n");
    QVERIFY(!store::writeMemo(dir, edges));
    QCOMPARE(tmp.entries(), QStringList{QStringLiteral("気付きメモ.txt")});
    const QByteArray saved = tmp.readBytes(QStringLiteral("気付きメモ.txt"));
    QCOMPARE(saved, QByteArray("\r\n\x95\x5C\x83\x5C\x81\x60\x87\x40\r\n\r\n\xB6\xC0\xB6\xC5 \r\n\r\n"));
    QVERIFY(!store::readMemo(dir, &back));
    QCOMPARE(back, edges);
    QVERIFY(!store::writeMemo(dir, back));
    QCOMPARE(tmp.readBytes(QStringLiteral("気付きメモ.txt")), saved);
    // Line breaks typed as CR LF or CR are one line break each.
    QVERIFY(!store::writeMemo(dir, QStringLiteral("a\r\nb\rc")));
    QCOMPARE(tmp.readBytes(QStringLiteral("気付きメモ.txt")), QByteArray("a\r\nb\r\nc\r\n"));
}

void TestStoreFiles::legacyFileReadsThreeFields()
{
    TempDataDir tmp;
    tmp.writeText(store::legacyDataFile(), "\"2003/11/08\",\"はじめの一歩\",74.5\r\n"
                                           "2003/11/09,朝,74\r\n\"2003/11/10\",夜,73.8\r\n");
    QList<WeightRecord> rs;
    QVERIFY(!store::readLegacyRecords(DataDir(tmp.dir()), &rs));
    QCOMPARE(rs.size(), 3);
    QCOMPARE(rs[0], rec("2003/11/08", "はじめの一歩", 74.5f));
    QCOMPARE(rs[1], rec("2003/11/09", "朝", 74));
    QCOMPARE(rs[2].weight, 73.8f);

    tmp.writeText(store::legacyDataFile(), "\"2003/11/08\",\"a\"\r\n");
    const MaybeError e = store::readLegacyRecords(DataDir(tmp.dir()), &rs);
    QVERIFY(e.has_value());
    QCOMPARE(e->line, 1);
}

namespace {

ino_t inodeOf(const TempDataDir &tmp, const QString &name)
{
    struct stat st {};
    return ::stat(QFile::encodeName(tmp.filePath(name)).constData(), &st) == 0 ? st.st_ino : 0;
}

const QByteArray kLegacy = "\"2003/11/08\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",74.5\r\n"
                           "2003/11/09, \x92\xA9 ,74\r\n"
                           "\"2003/11/10\",\x96\xE9,73.8\r\n";
const QByteArray kConverted = "\"2003/11/08\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",74.5,\"\",\"\",\"\"\r\n"
                              "\"2003/11/09\",\"\x92\xA9\",74,\"\",\"\",\"\"\r\n"
                              "\"2003/11/10\",\"\x96\xE9\",73.8,\"\",\"\",\"\"\r\n";
const QByteArray kPerson1 = "\"2008/03/09\",\"a\",70,\"\",\"\",\"\"\r\n";

} // namespace

void TestStoreFiles::legacyConversionReplacesDataAndKeepsTheOldFile()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeBytes(kData1, kPerson1);
    // Found whatever the case of its extension.
    tmp.writeBytes(QStringLiteral("連続体重.TXT"), kLegacy);
    store::LegacyConversion done;
    const MaybeError e = store::convertLegacyData(dir, kData1, &done);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(done.records, 3);
    QCOMPARE(done.backupFile, QStringLiteral("連続体重bak.txt"));
    QCOMPARE(tmp.readBytes(kData1), kConverted);
    QCOMPARE(tmp.readBytes(QStringLiteral("連続体重bak.txt")), kLegacy);
    QCOMPARE(tmp.entries(), (QStringList{kData1, QStringLiteral("連続体重bak.txt")}));
    QVERIFY(!dir.exists(store::legacyDataFile()));

    // A second old file later: the first backup is kept, the next name is used.
    tmp.writeBytes(store::legacyDataFile(), "2009/01/01,x,60\r\n");
    tmp.writeBytes(QStringLiteral("連続体重bak2.TXT"), "older");
    QVERIFY(!store::convertLegacyData(dir, kData1, &done));
    QCOMPARE(done.backupFile, QStringLiteral("連続体重bak3.txt"));
    QCOMPARE(tmp.readBytes(QStringLiteral("連続体重bak.txt")), kLegacy);
    QCOMPARE(tmp.readBytes(QStringLiteral("連続体重bak2.TXT")), QByteArray("older"));
    QCOMPARE(tmp.readBytes(QStringLiteral("連続体重bak3.txt")), QByteArray("2009/01/01,x,60\r\n"));
    QCOMPARE(tmp.readBytes(kData1), QByteArray("\"2009/01/01\",\"x\",60,\"\",\"\",\"\"\r\n"));
}

void TestStoreFiles::legacyConversionWritesNothingWhenItCannotFinish()
{
    struct Case {
        const char *name;
        QByteArray old;
        int line;        // the line named, 0 for the whole file
        QString reasonPart;
    };
    const QList<Case> cases = {
        {"damaged line", "2003/11/08,a,74\r\n2003/11/09,b\r\n2003/11/10,c,73\r\n", 2, QStringLiteral("項目の数")},
        {"bad date at the end", "2003/11/08,a,74\r\n2003/11/31,b,73", 2, QStringLiteral("yyyy/mm/dd")},
        {"not CP932", "2003/11/08,a,74\r\n2003/11/09,\x81\x20,73\r\n", 2, QStringLiteral("シフトJIS")},
        {"empty", "", 0, QStringLiteral("1件もない")},
        {"only blank lines", "\r\n  \r\n", 0, QStringLiteral("1件もない")},
        {"a double quote in a bare text", "2003/11/08,a\"b,74\r\n", 1, QStringLiteral("引用符")},
    };
    for (const Case &c : cases) {
        TempDataDir tmp;
        const DataDir dir(tmp.dir());
        tmp.writeBytes(kData1, kPerson1);
        tmp.writeBytes(store::legacyDataFile(), c.old);
        const MaybeError e = store::convertLegacyData(dir, kData1);
        QVERIFY2(e.has_value(), c.name);
        QVERIFY2(e->message().contains(c.line ? store::legacyDataFile() : e->file), c.name);
        QCOMPARE(e->line, c.line);
        QVERIFY2(e->reason.contains(c.reasonPart), qPrintable(e->message()));
        QCOMPARE(tmp.readBytes(kData1), kPerson1);
        QCOMPARE(tmp.readBytes(store::legacyDataFile()), c.old);
        QCOMPARE(tmp.entries(), (QStringList{kData1, store::legacyDataFile()}));
    }
}

void TestStoreFiles::legacyConversionStoppedBetweenItsRenamesFinishesWithoutRewriting()
{
    // The state a crash after the data file's rename leaves: converted
    // data, the old file still there. Converting again only renames.
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeBytes(kData1, kConverted);
    tmp.writeBytes(store::legacyDataFile(), kLegacy);
    const ino_t before = inodeOf(tmp, kData1);
    QVERIFY(!store::convertLegacyData(dir, kData1));
    QCOMPARE(inodeOf(tmp, kData1), before);
    QCOMPARE(tmp.readBytes(kData1), kConverted);
    QCOMPARE(tmp.entries(), (QStringList{kData1, QStringLiteral("連続体重bak.txt")}));

    // Without a data file at all, the conversion makes it.
    TempDataDir fresh;
    fresh.writeBytes(store::legacyDataFile(), kLegacy);
    QVERIFY(!store::convertLegacyData(DataDir(fresh.dir()), kData1));
    QCOMPARE(fresh.readBytes(kData1), kConverted);
}

void TestStoreFiles::registrationWritesShortestWeights()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    // A float such as 58.7 is written as the user typed it, never as its
    // binary value 58.70000076293945.
    QVERIFY(!store::saveProfile(dir, profileFileName(PersonSlot::One), {"たろう", 172.3f, 58.7f}));
    QCOMPARE(tmp.readText(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt")),
             QStringLiteral("\"氏名\",\"たろう\"\r\n\"身長\",172.3\r\n\"目標体重\",58.7\r\n"));
    tmp.writeBytes(kData1, kPerson1 + kPerson1);
    QVERIFY(!store::writeStartRecord(dir, kData1, rec("2026/12/08", "はじめの一歩", float(58.7))));
    QCOMPARE(tmp.readText(kData1), QStringLiteral("\"2026/12/08\",\"はじめの一歩\",58.7,\"\",\"\",\"\"\r\n"));
    QCOMPARE(tmp.entries(), (QStringList{kData1, QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt")}));
}

void TestStoreFiles::commentSaveRewritesEveryRecordWithTheNewComment()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    tmp.writeText(QStringLiteral("データ1.TXT"), "\"2008/03/09\",\"朝\",65.3,\"\",0,\"x\"\r\n"
                                                 "\"2008/03/10\",\"夜\",65.8,\"9:05:07\",\"\",\"\"\r\n"
                                                 "\"2008/03/10\",\"夜\",65.8,\"\",\"\",\"\"\r\n");
    QList<WeightRecord> rs;
    QVERIFY(!store::readRecords(dir, kData1, &rs));
    rs[2].diary = QStringLiteral("食べすぎ表");
    QVERIFY(!store::rewriteRecords(dir, kData1, rs, store::scratchNameFor(dir.resolve(kData1))));
    QCOMPARE(tmp.readText(QStringLiteral("データ1.TXT")),
             QStringLiteral("\"2008/03/09\",\"朝\",65.3,\"\",\"\",\"\"\r\n"
                            "\"2008/03/10\",\"夜\",65.8,\"9:05:07\",\"\",\"\"\r\n"
                            "\"2008/03/10\",\"夜\",65.8,\"食べすぎ表\",\"\",\"\"\r\n"));
    QCOMPARE(tmp.entries(), QStringList{QStringLiteral("データ1.TXT")});
    rs[2].diary = QStringLiteral("改行\nあり");
    QVERIFY(store::rewriteRecords(dir, kData1, rs, store::scratchNameFor(dir.resolve(kData1))).has_value());
    QCOMPARE(tmp.entries(), QStringList{QStringLiteral("データ1.TXT")});
}

void TestStoreFiles::firstStartCreatesDefaultsWithoutOverwriting()
{
    TempDataDir tmp;
    const DataDir dir(tmp.dir());
    QVERIFY(store::isFreshInstallation(dir));
    tmp.writeBytes(QStringLiteral("体重計刻み.TXT"), "0.5\r\n");
    QVERIFY(!store::createDefaultFiles(dir));

    QCOMPARE(tmp.readBytes(QStringLiteral("体重計刻み.TXT")), QByteArray("0.5\r\n"));
    QVERIFY(!tmp.exists(QStringLiteral("体重計刻み.txt")));
    QCOMPARE(tmp.readText(QStringLiteral("設定.txt")), QStringLiteral("\"ヘルプツアー\",1\r\n"));
    QCOMPARE(tmp.readBytes(QStringLiteral("移動平均.TXT")), QByteArray("10\r\n"));
    QCOMPARE(tmp.readBytes(QStringLiteral("自動時間.TXT")), QByteArray("0\r\n"));
    QCOMPARE(tmp.readBytes(QStringLiteral("マーカー.TXT")), QByteArray("1\r\n"));
    QCOMPARE(tmp.readBytes(QStringLiteral("気付きメモ.TXT")), QByteArray("\r\n"));
    QStringList labels;
    QVERIFY(!store::readSituationList(dir, &labels));
    QCOMPARE(labels, store::defaults().situations);

    // Only the person files remain to be made, by registration.
    QCOMPARE(store::missingFiles(dir).size(), 4);
    QVERIFY(!store::saveProfile(dir, profileFileName(PersonSlot::One), {"a", 170, 60}));
    QVERIFY(!store::isFreshInstallation(dir));
}

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "test_store_files.moc"
