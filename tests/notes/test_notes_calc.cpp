// The notes screen's computations: the diary list with its changes and
// arrows, when it scrolls, and what a comment save writes or refuses.
#include "notes/diary_list.h"
#include "records.h"

#include <QtTest>

using namespace notes;
using testrec::daily;
using testrec::rec;

class TestNotesCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowTexts();
    void changesAndArrows_data();
    void changesAndArrows();
    void scrollsBeyondFifteenRows_data();
    void scrollsBeyondFifteenRows();

    void commentGoesToItsRowOnly();
    void storableCommentsAccepted_data();
    void storableCommentsAccepted();
    void unstorableCommentRefused_data();
    void unstorableCommentRefused();
    void noRowPickedRefused_data();
    void noRowPickedRefused();
};

void TestNotesCalc::rowTexts()
{
    const QList<WeightRecord> records = {rec(QStringLiteral("2008/03/01"), 65.3f, QStringLiteral("はじめの一歩")),
                                         rec(QStringLiteral("2008/03/02"), 66.0f, QStringLiteral("朝"),
                                             QStringLiteral("食べすぎた"))};
    const DiaryList list = buildDiaryList(records);
    QCOMPARE(list.rows.size(), 2);
    QCOMPARE(list.rows[0].texts,
             QStringList({"1", "2008/03/01", "はじめの一歩", "65.3", "0.0", "→", ""}));
    QCOMPARE(list.rows[1].texts, QStringList({"2", "2008/03/02", "朝", "66", "0.7", "↑", "食べすぎた"}));
    QCOMPARE(list.rows[1].texts.size(), diaryListColumns().size());
    QCOMPARE(diaryListColumns().at(kCommentColumn).header, QStringLiteral("一言日記（言い訳など）"));
}

void TestNotesCalc::changesAndArrows_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QStringList>("arrows");
    QTest::addColumn<QList<Rgb>>("backs");
    QTest::newRow("first row unchanged whatever the weight")
        << QList<float>{80.0f} << QStringList{"0.0"} << QStringList{"→"} << QList<Rgb>{palette::kYellow};
    QTest::newRow("up, same, down")
        << QList<float>{65.3f, 65.8f, 65.8f, 65.0f} << QStringList{"0.0", "0.5", "0.0", "-0.8"}
        << QStringList{"→", "↑", "→", "↓"}
        << QList<Rgb>{palette::kYellow, palette::kRed, palette::kYellow, palette::kGreen};
    // The arrow follows the change itself: only an exact zero is "→",
    // however the text rounds it.
    QTest::newRow("a change too small to show")
        << QList<float>{65.0f, 65.02f, 64.99f, 64.99f} << QStringList{"0.0", "0.0", "0.0", "0.0"}
        << QStringList{"→", "↑", "↓", "→"}
        << QList<Rgb>{palette::kYellow, palette::kRed, palette::kGreen, palette::kYellow};
}

void TestNotesCalc::changesAndArrows()
{
    QFETCH(QList<float>, weights);
    QFETCH(QStringList, changes);
    QFETCH(QStringList, arrows);
    QFETCH(QList<Rgb>, backs);
    const DiaryList list = buildDiaryList(daily(QStringLiteral("2008/03/01"), weights));
    QCOMPARE(list.rows.size(), weights.size());
    for (int i = 0; i < weights.size(); ++i) {
        QCOMPARE(list.rows[i].texts[4], changes[i]);
        QCOMPARE(list.rows[i].texts[5], arrows[i]);
        QCOMPARE(list.rows[i].backs.value(5), backs[i]);
        QCOMPARE(list.rows[i].backs.value(6), palette::kDefault);
    }
}

void TestNotesCalc::scrollsBeyondFifteenRows_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("14 records, 15 rows") << 14 << false;
    QTest::newRow("15 records, 16 rows") << 15 << true;
}

void TestNotesCalc::scrollsBeyondFifteenRows()
{
    QFETCH(int, records);
    QFETCH(bool, scrolls);
    QCOMPARE(buildDiaryList(daily(QStringLiteral("2008/03/01"), QList<float>(records, 60.0f))).scrollToEnd,
             scrolls);
}

void TestNotesCalc::commentGoesToItsRowOnly()
{
    // Three identical records: only the picked one changes.
    QList<WeightRecord> listed(3, rec(QStringLiteral("2008/03/01"), 65.0f, QStringLiteral("朝"),
                                      QStringLiteral("同じ")));
    listed.append(rec(QStringLiteral("2008/03/02"), 64.5f));
    for (WeightRecord &r : listed) {
        r.reserved.set(QStringLiteral("0"), QStringLiteral("x"));
    }
    const CommentSave save = saveComment(listed, 2, QStringLiteral("夜食なし"));
    QCOMPARE(save.refusal, QString());
    QCOMPARE(save.records.size(), listed.size());
    for (int i = 0; i < listed.size(); ++i) {
        WeightRecord expected = listed[i];
        expected.reserved.clear();
        if (i == 1)
            expected.diary = QStringLiteral("夜食なし");
        QCOMPARE(save.records[i], expected);
    }

    // A second save starts from the first one's records.
    const CommentSave again = saveComment(save.records, 4, QString());
    QCOMPARE(again.records[1].diary, QStringLiteral("夜食なし"));
    QCOMPARE(again.records[3].diary, QString());
}

void TestNotesCalc::storableCommentsAccepted_data()
{
    QTest::addColumn<QString>("comment");
    QTest::newRow("empty") << QString();
    QTest::newRow("wave dash and circled digit") << QStringLiteral("７時～①");
    QTest::newRow("half-width katakana") << QStringLiteral("ｱｲｽ食べた");
    QTest::newRow("comma") << QStringLiteral("朝,夜");
}

void TestNotesCalc::storableCommentsAccepted()
{
    QFETCH(QString, comment);
    const CommentSave save = saveComment({rec(QStringLiteral("2008/03/01"), 65.0f)}, 1, comment);
    QCOMPARE(save.refusal, QString());
    QCOMPARE(save.records.value(0).diary, comment);
}

void TestNotesCalc::unstorableCommentRefused_data()
{
    QTest::addColumn<QString>("comment");
    QTest::newRow("double quote") << QStringLiteral("\"大丈夫\"");
    QTest::newRow("line feed") << QStringLiteral("一行目\n二行目");
    QTest::newRow("carriage return") << QStringLiteral("一行目\r");
    QTest::newRow("hangul") << QStringLiteral("안녕");
    QTest::newRow("emoji") << QStringLiteral("やった\U0001F600");
}

void TestNotesCalc::unstorableCommentRefused()
{
    QFETCH(QString, comment);
    const CommentSave save = saveComment({rec(QStringLiteral("2008/03/01"), 65.0f)}, 1, comment);
    QVERIFY(!save.refusal.isEmpty());
    QVERIFY(save.records.isEmpty());
}

void TestNotesCalc::noRowPickedRefused_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("nothing picked") << 0;
    QTest::newRow("past the last row") << 3;
    QTest::newRow("negative") << -1;
}

void TestNotesCalc::noRowPickedRefused()
{
    QFETCH(int, row);
    const CommentSave save = saveComment(daily(QStringLiteral("2008/03/01"), {65.0f, 64.0f}), row,
                                         QStringLiteral("よし"));
    QVERIFY(!save.refusal.isEmpty());
    QVERIFY(save.records.isEmpty());
}

QTEST_GUILESS_MAIN(TestNotesCalc)
#include "test_notes_calc.moc"
