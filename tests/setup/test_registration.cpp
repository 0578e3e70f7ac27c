// Registering both persons (at a first start, after a start left halfway,
// and from the settings screen) and editing a profile, in the real window.

#include "window_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QString kFirstText =
    QStringLiteral("新規にナナホシをスタートさせます。") + kCrLf + kCrLf
    + QStringLiteral("一人目のの名前（ニックネーム）を入力してください。（※必須です）") + kCrLf + kCrLf
    + QStringLiteral("身長と目標体重を半角文字で入力してください。（※必須です）") + kCrLf + kCrLf
    + QStringLiteral("現在（スタート時）の体重を入力してください。（※必須です）") + kCrLf + kCrLf
    + QStringLiteral("初期の状況として記録したい言葉を入力してください。") + kCrLf
    + QStringLiteral("デフォルトでは「はじめの一歩」と入れていますが自由に変更できます。（※必須です）") + kCrLf
    + kCrLf + QStringLiteral("入力し準備ができたら新規登録ボタンを押してください。二人目の登録に移ります。");
const QString kSecondText = QStringLiteral("二人目の名前（ニックネーム）を入力してください。") + kCrLf + kCrLf
                            + QStringLiteral("同様に身長と目標体重、体重を入力してください。") + kCrLf + kCrLf
                            + QStringLiteral("入力し準備ができたら新規登録ボタンを押してください。");
const QString kDoneText = QStringLiteral("登録が終了しました。") + kCrLf + kCrLf
                          + QStringLiteral("一旦プログラムを終了させていただきます。次の起動からナナホシのスタートです！");

QString info(const QString &title, const QString &text) { return box(text, title, Icon::Information); }
QString registrationBox(const QString &text) { return info(QStringLiteral("データを登録しましょう"), text); }
QString confirmBox()
{
    return box(QStringLiteral("入力した内容でデータを作ります。よろしいですか？"), QStringLiteral("クリア確認"),
               Icon::Exclamation, Buttons::OkCancel);
}

QByteArray profileBytes(const QString &name, const QString &height, const QString &target)
{
    return crlf({QStringLiteral("\"氏名\",\"%1\"").arg(name), QStringLiteral("\"身長\",%1").arg(height),
                 QStringLiteral("\"目標体重\",%1").arg(target)});
}

// Types the five boxes the way a user does: into the focused box, Enter
// moving on to the next.
void fillRegistration(const WindowDriver &d, const QStringList &values)
{
    d.focusByClick(QStringLiteral("txtPriData1"));
    for (int i = 0; i < values.size(); ++i) {
        d.press(Qt::Key_A, Qt::ControlModifier);
        d.press(Qt::Key_Delete);
        d.type(values[i]);
        d.press(Qt::Key_Return);
    }
}

bool registrationShows(const WindowDriver &d) { return !d.find(QStringLiteral("fraNew"))->isHidden(); }

} // namespace

class TestRegistration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void firstStartRegistersBothPersonsAndEnds();
    void startAfterOnlyPersonOneRegisteredAsksForPersonTwo();
    void enterMovesThroughTheBoxesToTheRegisterButton();
    void refusedRegistrationWritesNothing();
    void newStartFromTheSettingsScreen();
    void abandonedRegistrationShowsTheFilesAsTheyAre();
    void profileEditChecksAndSaves();
};

void TestRegistration::firstStartRegistersBothPersonsAndEnds()
{
    WindowDriver d;
    QVERIFY(d.start());
    QVERIFY(d.window()->isVisible());
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraSettei"));
    QVERIFY(registrationShows(d));
    QCOMPARE(d.boxes(), QStringList{registrationBox(kFirstText)});
    QCOMPARE(d.window()->focusWidget(), d.find("txtPriData1"));
    // The settings files are there; the persons are not yet.
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.1\r\n"));
    QVERIFY(!d.tmp.exists(kData1) && !d.tmp.exists(kProfile1));
    // Nothing else can be used before the persons exist.
    QVERIFY(!d.find("cmdMain")->isEnabled());
    QVERIFY(!d.find("cmdUser1")->isEnabled());

    d.dialogs.clear();
    fillRegistration(d, {"はな", "１５８．５", "50", "58.7", "はじめの一歩"});
    QCOMPARE(d.window()->focusWidget(), d.find("cmdStHozon"));
    d.click("cmdStHozon");
    QCOMPARE(d.boxes(), (QStringList{confirmBox(), registrationBox(kSecondText)}));
    QCOMPARE(d.bytes(kProfile1), profileBytes("はな", "158.5", "50"));
    QCOMPARE(d.bytes(kData1), crlf({rec("2008/03/10", "はじめの一歩", "58.7")}));
    // The boxes are emptied for person 2; the situation stays.
    QCOMPARE(d.find<QLineEdit>("txtPriData1")->text(), QString());
    QCOMPARE(d.find<QLineEdit>("txtNowJyou")->text(), QStringLiteral("はじめの一歩"));

    d.dialogs.clear();
    fillRegistration(d, {"たろう", "170", "65", "72", "スタート"});
    d.click("cmdStHozon");
    QCOMPARE(d.boxes(), (QStringList{confirmBox(), info(QStringLiteral("新規登録終了"), kDoneText)}));
    QCOMPARE(d.bytes(kProfile2), profileBytes("たろう", "170", "65"));
    QCOMPARE(d.bytes(kData2), crlf({rec("2008/03/10", "スタート", "72")}));
    QVERIFY(!d.window()->isVisible()); // the program ends

    // The next start is an ordinary one.
    d.dialogs.clear();
    QVERIFY(d.restart());
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(d.find<QPushButton>("cmdUser1")->text(), QStringLiteral("はな"));
}

void TestRegistration::startAfterOnlyPersonOneRegisteredAsksForPersonTwo()
{
    WindowDriver d;
    QVERIFY(d.start());
    fillRegistration(d, {"はな", "158", "50", "58", "はじめの一歩"});
    d.click("cmdStHozon");
    // Closed halfway: the registration's own cancel ends the program.
    d.click("cmdYame");
    QVERIFY(!d.window()->isVisible());

    d.dialogs.clear();
    QVERIFY(d.restart());
    QVERIFY(registrationShows(d));
    QCOMPARE(d.boxes(), QStringList{registrationBox(kSecondText)});
    const QByteArray person1 = d.bytes(kData1);
    fillRegistration(d, {"たろう", "170", "65", "72", "はじめの一歩"});
    d.dialogs.clear();
    d.click("cmdStHozon");
    QCOMPARE(d.boxes(), (QStringList{confirmBox(), info(QStringLiteral("新規登録終了"), kDoneText)}));
    QCOMPARE(d.bytes(kData1), person1); // person 1 is left alone
    QVERIFY(d.tmp.exists(kProfile2));
}

void TestRegistration::enterMovesThroughTheBoxesToTheRegisterButton()
{
    WindowDriver d;
    QVERIFY(d.start());
    d.focusByClick(QStringLiteral("txtPriData1"));
    for (const char *next : {"txtSincyou1", "txtMokuTai1", "txtNowTai", "txtNowJyou", "cmdStHozon"}) {
        d.press(Qt::Key_Return);
        QCOMPARE(d.window()->focusWidget(), d.find(QString::fromLatin1(next)));
    }
    QVERIFY(!d.tmp.exists(kProfile1)); // moving on registers nothing
}

void TestRegistration::refusedRegistrationWritesNothing()
{
    WindowDriver d;
    QVERIFY(d.start());
    const auto before = d.snapshot();
    // Each refusal stops before anything is written.
    fillRegistration(d, {"はな", "abc", "50", "58", "朝"});
    d.dialogs.clear();
    d.click("cmdStHozon");
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("身長入力エラー")});
    fillRegistration(d, {"はな", "158", "50", "", "朝"});
    d.dialogs.clear();
    d.click("cmdStHozon");
    QCOMPARE(d.boxes(), QStringList{info(QStringLiteral("現体重未入力"), QStringLiteral("現在の体重が入力されていません"))});
    // Cancel in the question writes nothing either.
    fillRegistration(d, {"はな", "158", "50", "58", "朝"});
    d.dialogs.clear();
    d.dialogs.queueAnswer(Answer::Cancel);
    d.click("cmdStHozon");
    QCOMPARE(d.boxes(), QStringList{confirmBox()});
    QCOMPARE(d.snapshot(), before);
}

void TestRegistration::newStartFromTheSettingsScreen()
{
    WindowDriver d;
    DataSet files;
    files.records1 << rec("2008/03/05", "起床後", "64");
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdSettei");
    d.dialogs.clear();
    d.click("cmdNew1");
    QVERIFY(registrationShows(d));
    QCOMPARE(d.boxes(), QStringList{registrationBox(kFirstText)});

    fillRegistration(d, {"じろう", "175", "70", "80.5", "再スタート"});
    d.click("cmdStHozon");
    QCOMPARE(d.bytes(kData1), crlf({rec("2008/03/10", "再スタート", "80.5")}));
    // Person 1 is selected: the window shows the new person at once.
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" じろう のデータ"));
    QCOMPARE(d.find<QPushButton>("cmdUser1")->text(), QStringLiteral("じろう"));

    fillRegistration(d, {"さぶろう", "160", "55", "60", "再スタート"});
    d.dialogs.clear();
    d.click("cmdStHozon");
    QCOMPARE(d.dialogs.titles(), (QStringList{QStringLiteral("クリア確認"), QStringLiteral("新規登録終了")}));
    QVERIFY(!d.window()->isVisible());
}

void TestRegistration::abandonedRegistrationShowsTheFilesAsTheyAre()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.click("cmdUser2");
    d.click("cmdSettei");
    d.click("cmdNew1");
    fillRegistration(d, {"じろう", "175", "70", "80.5", "再スタート"});
    d.click("cmdStHozon");
    d.click("cmdYame");
    QVERIFY(!registrationShows(d));
    QVERIFY(d.window()->isVisible());
    // Person 2 stays selected and is shown as their files are; person 1's
    // new name is on their button, and the weight screen reads the new file.
    QCOMPARE(d.session().person.DataFileName(), kData2);
    QCOMPARE(d.find<QLineEdit>("txtPriData")->text(), QStringLiteral("はなこ"));
    QCOMPARE(d.find<QPushButton>("cmdUser1")->text(), QStringLiteral("じろう"));
    d.click("cmdUser1");
    d.click("cmdMain");
    QCOMPARE(d.session().day.LastFileWeight, 80.5f);
}

void TestRegistration::profileEditChecksAndSaves()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.click("cmdSettei");
    const auto before = d.snapshot();

    d.typeAndEnter(QStringLiteral("txtSincyou"), QString());
    d.dialogs.clear();
    d.click("cmdPHozon1");
    QCOMPARE(d.boxes(), QStringList{info(QStringLiteral("身長未入力"), QStringLiteral("身長が入力されていません"))});
    d.typeAndEnter(QStringLiteral("txtSincyou"), QStringLiteral("abc"));
    d.dialogs.clear();
    d.click("cmdPHozon1");
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("身長入力エラー")});
    QCOMPARE(d.snapshot(), before);

    d.typeAndEnter(QStringLiteral("txtPriData"), QStringLiteral("たろ"));
    d.typeAndEnter(QStringLiteral("txtSincyou"), QStringLiteral("１７１"));
    d.typeAndEnter(QStringLiteral("txtMokuTai"), QStringLiteral("58.5"));
    d.dialogs.clear();
    d.click("cmdPHozon1");
    QCOMPARE(d.boxes(), QStringList{info(QStringLiteral("保存終了"), QStringLiteral("保存が終了しました"))});
    QCOMPARE(d.bytes(kProfile1), profileBytes("たろ", "171", "58.5"));
    // The window takes the new values at once, targets included.
    QCOMPARE(d.session().person.current().height, 171.0f);
    QCOMPARE(d.session().person.profile(PersonSlot::One).targetWeight, 58.5f);
    QCOMPARE(d.find<QPushButton>("cmdUser1")->text(), QStringLiteral("たろ"));
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろ のデータ"));
}

QTEST_MAIN(TestRegistration)
#include "test_registration.moc"
