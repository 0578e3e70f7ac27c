// The checks of the new-start registration and of the profile edit: their
// order, the numbers they accept and what a registration writes.
#include "setup/registration.h"

#include <QtTest>

using setup::Refusal;

class TestSetupCalc : public QObject {
    Q_OBJECT
private slots:
    void registrationChecksInOrder_data();
    void registrationChecksInOrder();
    void registrationWritesTheTypedValues();
    void profileEditChecks_data();
    void profileEditChecks();
    void boxesReadAsTheSpecificationWords();
};

void TestSetupCalc::registrationChecksInOrder_data()
{
    QTest::addColumn<QStringList>("boxes"); // nickname, height, target, weight, situation
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("exclamation");
    const QStringList ok = {"はな", "158.5", "50", "58.7", "はじめの一歩"};
    auto with = [&ok](int i, const QString &v) {
        QStringList b = ok;
        b[i] = v;
        return b;
    };
    QTest::newRow("all empty: the nickname first") << QStringList{"", "", "", "", ""} << "ニックネーム未入力" << false;
    QTest::newRow("height") << with(1, "") << "身長未入力" << false;
    QTest::newRow("target") << with(2, "") << "目標体重未入力" << false;
    QTest::newRow("weight") << with(3, "") << "現体重未入力" << false;
    QTest::newRow("situation") << with(4, "") << "初回状況（コメント）未入力" << false;
    // An empty box is told before a wrong one.
    QTest::newRow("empty weight before bad height") << QStringList{"はな", "abc", "50", "", "x"} << "現体重未入力" << false;
    QTest::newRow("height abc") << with(1, "abc") << "身長入力エラー" << true;
    QTest::newRow("height 0") << with(1, "0") << "身長入力エラー" << true;
    QTest::newRow("height negative") << with(1, "-160") << "身長入力エラー" << true;
    QTest::newRow("target 0") << with(2, "0") << "目標体重入力エラー" << true;
    QTest::newRow("target 600") << with(2, "600") << "目標体重入力エラー" << true;
    QTest::newRow("weight abc") << with(3, "abc") << "現体重入力エラー" << true;
    QTest::newRow("weight 500.1") << with(3, "500.1") << "現体重入力エラー" << true;
    QTest::newRow("nickname with a quote") << with(0, "は\"な") << "入力エラー" << true;
    QTest::newRow("full-width numbers pass") << QStringList{"はな", "１５８．５", "５０", "５８．７", "朝"} << "" << false;
    QTest::newRow("all good") << ok << "" << false;
}

void TestSetupCalc::registrationChecksInOrder()
{
    QFETCH(QStringList, boxes);
    QFETCH(QString, title);
    QFETCH(bool, exclamation);
    setup::Registration r;
    const auto refusal =
        setup::checkRegistration({boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]}, "2008/03/10", &r);
    QCOMPARE(refusal.has_value(), !title.isEmpty());
    if (refusal) {
        QCOMPARE(refusal->title, title);
        QCOMPARE(refusal->exclamation, exclamation);
        QVERIFY(!refusal->text.isEmpty());
    }
}

void TestSetupCalc::registrationWritesTheTypedValues()
{
    setup::Registration r;
    QVERIFY(!setup::checkRegistration({"はな", "１５８．５", "50", "58.7", "はじめの一歩"}, "2008/03/10", &r));
    QCOMPARE(r.profile, (PersonProfile{"はな", 158.5f, 50.0f}));
    QCOMPARE(r.start.date, QStringLiteral("2008/03/10"));
    QCOMPARE(r.start.situation, QStringLiteral("はじめの一歩"));
    QCOMPARE(r.start.weight, 58.7f);
    QCOMPARE(r.start.diary, QString());
}

void TestSetupCalc::profileEditChecks_data()
{
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty height") << "たろう" << "" << "60" << "身長未入力";
    QTest::newRow("empty target") << "たろう" << "170" << "" << "目標体重未入力";
    QTest::newRow("height abc") << "たろう" << "abc" << "60" << "身長入力エラー";
    QTest::newRow("target abc") << "たろう" << "170" << "abc" << "目標体重入力エラー";
    QTest::newRow("empty nickname is allowed") << "" << "170" << "60" << "";
    QTest::newRow("full-width") << "たろう" << "１７０" << "６０．５" << "";
}

void TestSetupCalc::profileEditChecks()
{
    QFETCH(QString, nickname);
    QFETCH(QString, height);
    QFETCH(QString, target);
    QFETCH(QString, title);
    PersonProfile p;
    const auto refusal = setup::checkProfileEdit({nickname, height, target}, &p);
    QCOMPARE(refusal ? refusal->title : QString(), title);
    if (!refusal) {
        QCOMPARE(p.nickname, nickname);
        QVERIFY(p.height > 0 && p.targetWeight > 0);
    }
}

void TestSetupCalc::boxesReadAsTheSpecificationWords()
{
    QCOMPARE(setup::registrationTitle(), QStringLiteral("データを登録しましょう"));
    QVERIFY(setup::firstPersonText().startsWith(QStringLiteral("新規にナナホシをスタートさせます。\r\n\r\n")));
    QVERIFY(setup::firstPersonText().endsWith(QStringLiteral("二人目の登録に移ります。")));
    QCOMPARE(setup::finishedText(),
             QStringLiteral("登録が終了しました。\r\n\r\n一旦プログラムを終了させていただきます。次の起動からナナホシのスタートです！"));
}

QTEST_GUILESS_MAIN(TestSetupCalc)
#include "test_setup_calc.moc"
