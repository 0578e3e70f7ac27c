// CSV export and import from the settings screen, in the real window: the
// layout and file asked through the dialogs, the preview before anything
// is written, OK and Cancel, duplicates on a second import, undo, and the
// day view showing what an import added.

#include "window_driver.h"

#include "store/csv_exchange.h"
#include "store/data_file.h"
#include "store/file_io.h"
#include "store/undo.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

// Line 7 has a day that does not exist; line 6 is a comment.
const QByteArray kImportCsv = "日付,状況,体重,一言日記\r\n"
                              "2008/03/08,起床後,64.5,\r\n"
                              "2008/03/09,起床後,64.4,\r\n"
                              "2008/03/10,起床後,64.2,よし\r\n"
                              "2008/03/10,夕食後,64.9,\r\n"
                              "# 旅行中\r\n"
                              "2008/02/30,起床後,64.1,\r\n"
                              "2008/03/07,起床後,64.6,\r\n";

QString writeCsv(const WindowDriver &d, const QString &name, const QByteArray &bytes)
{
    // Beside the data files, as a user might keep it; never one of them.
    d.tmp.writeBytes(name, bytes);
    return d.tmp.filePath(name);
}

const ScriptedDialogs::Call *lastMessage(const ScriptedDialogs &dialogs, const QString &title)
{
    for (qsizetype i = dialogs.calls.size() - 1; i >= 0; --i)
        if (dialogs.calls[i].kind == ScriptedDialogs::Call::Kind::Message && dialogs.calls[i].title == title)
            return &dialogs.calls[i];
    return nullptr;
}

// Fails every rename once the watched file no longer holds its old bytes:
// the step's own write got through, what comes after it does not.
QString g_watched;
QByteArray g_old;
int failRenamesAfterTheWrite(store::faults::Op op)
{
    if (op != store::faults::Op::Rename)
        return 0;
    QFile f(g_watched);
    return f.open(QIODevice::ReadOnly) && f.readAll() != g_old ? EIO : 0;
}

DataSet twoRecords()
{
    DataSet files;
    files.records1 << rec("2008/03/09", "起床後", "64.8", "前の日");
    return files;
}

} // namespace

class TestCsvWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void importShowsBadLineAndWritesOnlyOnOk();
    void cancelWritesNothingAndSecondImportAddsNothing();
    void undoOfImportRestoresTheBytes();
    void importThatFailsAfterItsWriteShowsTheRecords();
    void ambiguousDatesAreAskedOnce();
    void exportWritesTheChosenLayout();
    void exportNeverReplacesADataFile();
};

void TestCsvWindow::importShowsBadLineAndWritesOnlyOnOk()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    const QByteArray before = d.bytes(kData1);
    const QString file = writeCsv(d, QStringLiteral("体重.csv"), kImportCsv);
    d.click("cmdSettei");
    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    // The preview is asked first; what it shows is checked before the
    // answer matters, so the file is looked at when OK has been given.
    d.dialogs.queueAnswer(Answer::Ok);
    d.click("cmdCsvIn");

    const auto *preview = lastMessage(d.dialogs, QStringLiteral("CSV読み込みの確認"));
    QVERIFY(preview);
    QCOMPARE(preview->buttons, Buttons::OkCancel);
    QVERIFY2(preview->text.contains(QStringLiteral("追加する記録: 5件")), qPrintable(preview->text));
    QVERIFY2(preview->text.contains(QStringLiteral("7行目")), qPrintable(preview->text));
    QVERIFY2(!preview->text.contains(QStringLiteral("6行目")), qPrintable(preview->text));
    QVERIFY2(preview->text.contains(QStringLiteral("2008/03/07 ～ 2008/03/10")), qPrintable(preview->text));
    QVERIFY(lastMessage(d.dialogs, QStringLiteral("CSV読み込み"))->text.contains(QStringLiteral("5件")));

    // All in date order, a new record after the existing ones of its day.
    QCOMPARE(d.bytes(kData1),
             crlf({rec("2008/03/01", "はじめの一歩", "65"), rec("2008/03/07", "起床後", "64.6"),
                   rec("2008/03/08", "起床後", "64.5"), rec("2008/03/09", "起床後", "64.8", "前の日"),
                   rec("2008/03/09", "起床後", "64.4"), rec("2008/03/10", "起床後", "64.2", "よし"),
                   rec("2008/03/10", "夕食後", "64.9")}));
    QVERIFY(d.bytes(kData1) != before);
    // A snapshot of the old file was taken first.
    QVERIFY(QDir(d.tmp.filePath(QStringLiteral("backup"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() >= 1);

    // The weight screen shows today's imported records.
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 2);
}

void TestCsvWindow::cancelWritesNothingAndSecondImportAddsNothing()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    const QString file = writeCsv(d, QStringLiteral("体重.csv"), kImportCsv);
    d.click("cmdSettei");
    const QMap<QString, QByteArray> before = d.snapshot();

    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.dialogs.queueAnswer(Answer::Cancel);
    d.click("cmdCsvIn");
    QCOMPARE(d.dialogs.titles(), (QStringList{QStringLiteral("CSV読み込み"), QStringLiteral("CSV読み込みの確認")}));
    QCOMPARE(d.snapshot(), before);

    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.click("cmdCsvIn");
    const QByteArray once = d.bytes(kData1);
    QVERIFY(once != before.value(kData1));

    // The same file again: every line is a duplicate now, so there is no
    // question to answer and nothing is written.
    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.click("cmdCsvIn");
    QCOMPARE(d.dialogs.calls.size(), 2);
    const auto *told = lastMessage(d.dialogs, QStringLiteral("CSV読み込み"));
    QVERIFY(told);
    QCOMPARE(told->buttons, Buttons::Ok);
    QVERIFY2(told->text.contains(QStringLiteral("追加する記録: 0件")), qPrintable(told->text));
    QVERIFY2(told->text.contains(QStringLiteral("重複のため追加しない記録: 5件")), qPrintable(told->text));
    QCOMPARE(d.bytes(kData1), once);

    // A file that is not there: said so, nothing written.
    d.dialogs.clear();
    d.dialogs.queueOpenFile(d.tmp.filePath(QStringLiteral("ない.csv")));
    d.click("cmdCsvIn");
    QCOMPARE(d.dialogs.titles(), (QStringList{QStringLiteral("CSV読み込み"), QStringLiteral("読み込みエラー")}));
    QCOMPARE(d.bytes(kData1), once);
}

void TestCsvWindow::undoOfImportRestoresTheBytes()
{
    WindowDriver d;
    DataSet files = twoRecords();
    d.writeFiles(files);
    // A reserved field written as a bare 0 (as a situation rename leaves
    // it): the import writes the file anew, undo must bring these bytes back.
    d.tmp.writeBytes(kData1, d.bytes(kData1).replace(",\"\",\"\"\r\n", ",0,\"\"\r\n"));
    QVERIFY(d.start());
    const QByteArray before = d.bytes(kData1);
    const QString file = writeCsv(d, QStringLiteral("体重.csv"), kImportCsv);
    d.click("cmdSettei");
    d.dialogs.queueOpenFile(file);
    d.click("cmdCsvIn");
    QVERIFY(d.bytes(kData1) != before);

    const store::UndoState u = store::undoState(d.session().dir);
    QVERIFY(u.available && u.applies);
    QCOMPARE(u.step, QStringLiteral("import"));
    QCOMPARE(u.files, QStringList{kData1});
    QVERIFY(!store::undoLastChange(d.session().dir, d.clock));
    QCOMPARE(d.bytes(kData1), before);
}

// The data file was replaced but the undo record could not be written:
// the message says the records were read in, and the weight screen shows
// them.
void TestCsvWindow::importThatFailsAfterItsWriteShowsTheRecords()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 0);
    const QByteArray before = d.bytes(kData1);
    const QString file = writeCsv(d, QStringLiteral("体重.csv"), kImportCsv);
    d.click("cmdSettei");
    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.dialogs.queueAnswer(Answer::Ok);
    g_watched = d.tmp.filePath(kData1);
    g_old = before;
    store::faults::setHook(failRenamesAfterTheWrite);
    d.click("cmdCsvIn");
    store::faults::setHook(nullptr);

    QVERIFY(d.bytes(kData1) != before);
    const auto *told = lastMessage(d.dialogs, QStringLiteral("読み込みエラー"));
    QVERIFY(told);
    QVERIFY2(told->text.contains(QStringLiteral("5件の記録を読み込みましたが")), qPrintable(told->text));
    QVERIFY2(told->text.contains(QStringLiteral("元に戻すための記録を書けませんでした")), qPrintable(told->text));
    QVERIFY(!lastMessage(d.dialogs, QStringLiteral("CSV読み込み")));
    QVERIFY(!store::undoState(d.session().dir).available);
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 2);
}

void TestCsvWindow::ambiguousDatesAreAskedOnce()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    const QString file = writeCsv(d, QStringLiteral("us.csv"), "date,weight\n3/4/2008,64.1\n2/5/2008,64.3\n");
    d.click("cmdSettei");

    // Cancelling the question ends it there.
    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.dialogs.queueChoice(std::nullopt);
    const QByteArray before = d.bytes(kData1);
    d.click("cmdCsvIn");
    QCOMPARE(d.dialogs.titles(), (QStringList{QStringLiteral("CSV読み込み"), QStringLiteral("日付の書き方")}));
    QCOMPARE(d.bytes(kData1), before);

    // Day first: 3/4 is 3 April... both dates read the same way.
    d.dialogs.clear();
    d.dialogs.queueOpenFile(file);
    d.dialogs.queueChoice(1);
    d.click("cmdCsvIn");
    QCOMPARE(d.dialogs.titles(), (QStringList{QStringLiteral("CSV読み込み"), QStringLiteral("日付の書き方"),
                                              QStringLiteral("CSV読み込みの確認"), QStringLiteral("CSV読み込み")}));
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(d.session().dir, kData1, &records));
    QCOMPARE(records.size(), 4);
    QCOMPARE(records[2].date, QStringLiteral("2008/04/03"));
    QCOMPARE(records[3].date, QStringLiteral("2008/05/02"));
    QCOMPARE(records[3].situation, QStringLiteral("インポート"));
}

void TestCsvWindow::exportWritesTheChosenLayout()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    d.click("cmdSettei");
    QList<WeightRecord> records;
    QVERIFY(!store::readRecords(d.session().dir, kData1, &records));

    const QString target = d.tmp.filePath(QStringLiteral("out.csv"));
    d.dialogs.clear();
    d.dialogs.queueChoice(1); // openScale
    d.dialogs.queueSaveFile(target);
    d.click("cmdCsvOut");
    QCOMPARE(d.dialogs.calls[0].kind, ScriptedDialogs::Call::Kind::Choose);
    QCOMPARE(d.dialogs.calls[1].kind, ScriptedDialogs::Call::Kind::Save);
    QVERIFY(d.dialogs.calls[1].text.endsWith(QStringLiteral("ナナホシ_たろう_openscale.csv")));
    QCOMPARE(d.tmp.readBytes(QStringLiteral("out.csv")), csv::exportRecords(records, csv::Layout::OpenScale));
    QVERIFY(d.dialogs.calls[2].text.startsWith(QStringLiteral("2件の記録を書き出しました。")));

    // The other person's records, in the lossless layout, over the old file.
    d.click("cmdUser2");
    d.dialogs.clear();
    d.dialogs.queueChoice(0);
    d.dialogs.queueSaveFile(target);
    d.click("cmdCsvOut");
    QVERIFY(!store::readRecords(d.session().dir, kData2, &records));
    QCOMPARE(d.tmp.readBytes(QStringLiteral("out.csv")), csv::exportRecords(records, csv::Layout::Own));
    QVERIFY(!d.tmp.exists(QStringLiteral("out.csv.tmp")));

    // Cancelling the layout asks nothing more.
    d.dialogs.clear();
    d.click("cmdCsvOut");
    QCOMPARE(d.dialogs.calls.size(), 1);
}

void TestCsvWindow::exportNeverReplacesADataFile()
{
    WindowDriver d;
    d.writeFiles(twoRecords());
    QVERIFY(d.start());
    d.click("cmdSettei");
    const QMap<QString, QByteArray> before = d.snapshot();
    for (const QString &name : {QStringLiteral("データ2.TXT"), QStringLiteral("状況リスト.txt")}) {
        d.dialogs.clear();
        d.dialogs.queueChoice(0);
        d.dialogs.queueSaveFile(d.tmp.filePath(name));
        d.click("cmdCsvOut");
        QCOMPARE(d.dialogs.titles().last(), QStringLiteral("書き出しエラー"));
    }
    QCOMPARE(d.snapshot(), before);
}

QTEST_MAIN(TestCsvWindow)
#include "test_csv_window.moc"
