// The older single-person file offered for conversion at start-up: asked
// before it is read, accepted, declined, and refused when damaged.

#include "store/journal.h"
#include "window_driver.h"

#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

const QString kOld = QStringLiteral("連続体重.txt");
const QString kBackup = QStringLiteral("連続体重bak.txt");

QString question()
{
    return box(QStringLiteral("連続体重.txtを検出しました。変換しますか？"), QStringLiteral("データ変換確認"),
               Icon::Question, Buttons::YesNo);
}

QByteArray oldFile()
{
    return crlf({QStringLiteral("\"2007/12/01\",\"朝\",80.5"), QStringLiteral("2007/12/02,夜,80"),
                 QStringLiteral("\"2007/12/05\",\"朝\",79.4")});
}

} // namespace

class TestLegacyConversion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void noOldFileNoQuestion();
    void acceptedReplacesPersonOnesRecords_data();
    void acceptedReplacesPersonOnesRecords();
    void declinedChangesNothingAndAsksAgain();
    void damagedOldFileIsRefusedWithNothingChanged();
    void conversionCutShortByACrashIsFinishedBeforeAnythingIsAsked();
};

void TestLegacyConversion::noOldFileNoQuestion()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList());
}

void TestLegacyConversion::acceptedReplacesPersonOnesRecords_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("small letters") << kOld;
    QTest::newRow("capital extension") << QStringLiteral("連続体重.TXT");
}

void TestLegacyConversion::acceptedReplacesPersonOnesRecords()
{
    QFETCH(QString, name);
    WindowDriver d;
    d.writeFiles(DataSet());
    d.tmp.writeBytes(name, oldFile());
    const QByteArray person2 = d.bytes(kData2);
    d.dialogs.queueAnswer(Answer::Yes);
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList{question()});
    QCOMPARE(d.bytes(kData1), crlf({rec("2007/12/01", "朝", "80.5"), rec("2007/12/02", "夜", "80"),
                                    rec("2007/12/05", "朝", "79.4")}));
    QCOMPARE(d.bytes(kData2), person2);
    QVERIFY(!d.tmp.exists(name));
    QCOMPARE(d.bytes(kBackup), oldFile());
    // The diet now starts with the old file's first line.
    QCOMPARE(d.session().day.FirstDate, QStringLiteral("2007/12/01"));
    QCOMPARE(d.session().day.FirstWeight, 80.5f);

    // Converted once: the next start asks nothing.
    d.dialogs.clear();
    QVERIFY(d.restart());
    QCOMPARE(d.boxes(), QStringList());
}

void TestLegacyConversion::declinedChangesNothingAndAsksAgain()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    d.tmp.writeBytes(kOld, oldFile());
    const auto before = d.snapshot();
    d.dialogs.queueAnswer(Answer::No);
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList{question()});
    QCOMPARE(d.snapshot(), before);

    d.dialogs.clear();
    d.dialogs.queueAnswer(Answer::No);
    QVERIFY(d.restart());
    QCOMPARE(d.boxes(), QStringList{question()});
}

void TestLegacyConversion::damagedOldFileIsRefusedWithNothingChanged()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    d.tmp.writeBytes(kOld, crlf({QStringLiteral("\"2007/12/01\",\"朝\",80.5"), QStringLiteral("\"2007/12/02\",\"夜\",abc")}));
    const auto before = d.snapshot();
    d.dialogs.queueAnswer(Answer::Yes);
    QVERIFY(d.start()); // the program goes on with the records it had
    QCOMPARE(d.dialogs.calls.size(), 2);
    const ScriptedDialogs::Call &refusal = d.dialogs.calls[1];
    QCOMPARE(refusal.title, QStringLiteral("データ変換エラー"));
    QCOMPARE(refusal.icon, Icon::Critical);
    QVERIFY2(refusal.text.contains(kOld) && refusal.text.contains(QStringLiteral("2 行目")), qPrintable(refusal.text));
    QCOMPARE(d.snapshot(), before);
    QCOMPARE(d.session().day.FirstDate, QStringLiteral("2008/03/01"));
}

void TestLegacyConversion::conversionCutShortByACrashIsFinishedBeforeAnythingIsAsked()
{
    // Killed after writing the journal of the conversion and the converted
    // records, before the old file was renamed: the start used to offer the
    // conversion again as if nothing had happened.
    WindowDriver d;
    d.writeFiles(DataSet());
    d.tmp.writeBytes(kOld, oldFile());
    const QByteArray converted = crlf({rec("2007/12/01", "朝", "80.5"), rec("2007/12/02", "夜", "80"),
                                      rec("2007/12/05", "朝", "79.4")});
    store::Journal step(QStringLiteral("連続体重.txtの変換"));
    step.replace(kData1, true, d.bytes(kData1), converted, kData1 + QStringLiteral(".tmp"));
    step.rename(kOld, kBackup);
    d.tmp.writeBytes(store::journalFile(), step.serialise());
    d.tmp.writeBytes(kData1, converted);
    d.tmp.writeBytes(kData1 + QStringLiteral(".tmp"), converted.left(20)); // a scratch file
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.bytes(kData1), converted);
    QVERIFY(!d.tmp.exists(kOld));
    QCOMPARE(d.bytes(kBackup), oldFile());
    QVERIFY(!d.tmp.exists(store::journalFile()));
    QVERIFY(!d.tmp.exists(kData1 + QStringLiteral(".tmp")));
    QCOMPARE(d.session().day.FirstDate, QStringLiteral("2007/12/01"));
}

QTEST_MAIN(TestLegacyConversion)
#include "test_legacy_conversion.moc"
