// The notes screen in the real window: the diary list, editing one
// record's comment and saving it into that record, and the memo.

#include "window_driver.h"

#include "ui/grid.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;

namespace {

// Two identical records on 03/05: a save must find its record by its row.
DataSet notesData()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "65.3"), rec("2008/03/05", "起床後", "65.8"),
                  rec("2008/03/05", "起床後", "65.8"), rec("2008/03/06", "夕食後", "65", "食べすぎ")};
    s.records2 = {rec("2008/03/01", "はじめの一歩", "55", "がんばる")};
    return s;
}

Grid *list(const WindowDriver &d) { return d.find<Grid>(QStringLiteral("msgMemoList")); }

// A real click on a cell of the diary list.
void clickCell(const WindowDriver &d, int row, int col)
{
    Grid *g = list(d);
    const QModelIndex i = g->model()->index(row - 1, col);
    g->scrollTo(i);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
}

} // namespace

class TestNotesScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void listShowsEveryRecordWithItsChange();
    void commentGoesIntoThePickedRecordOnly();
    void enterSavesOnlyAfterAPick();
    void commentTheFileCannotHoldIsRefused();
    void memoIsSavedAndLoadedAsTyped();
};

void TestNotesScreen::listShowsEveryRecordWithItsChange()
{
    WindowDriver d;
    d.writeFiles(notesData());
    QVERIFY(d.start());
    d.click("cmdMemo");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraMemo"));
    Grid *g = list(d);
    QCOMPARE(g->rows(), 5);
    QCOMPARE(g->textMatrix(0, 6), QStringLiteral("一言日記（言い訳など）"));
    QCOMPARE(g->textMatrix(1, 4), QStringLiteral("0.0"));
    QCOMPARE(g->textMatrix(1, 5), QStringLiteral("→"));
    QCOMPARE(g->textMatrix(2, 4), QStringLiteral("0.5"));
    QCOMPARE(g->textMatrix(2, 5), QStringLiteral("↑"));
    QCOMPARE(g->cellBackColor(2, 5), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(g->textMatrix(4, 3), QStringLiteral("65"));
    QCOMPARE(g->textMatrix(4, 4), QStringLiteral("-0.8"));
    QCOMPARE(g->textMatrix(4, 6), QStringLiteral("食べすぎ"));
    QVERIFY(!d.find("cmdMemoHozon")->isEnabled());

    // A person switch lists the other person's records.
    d.click("cmdUser2");
    QCOMPARE(list(d)->rows(), 2);
    QCOMPARE(list(d)->textMatrix(1, 6), QStringLiteral("がんばる"));
}

void TestNotesScreen::commentGoesIntoThePickedRecordOnly()
{
    WindowDriver d;
    d.writeFiles(notesData());
    QVERIFY(d.start());
    d.click("cmdMemo");
    clickCell(d, 3, 1); // the second of the two identical records
    QVERIFY(d.find("cmdMemoHozon")->isEnabled());
    QCOMPARE(d.window()->focusWidget(), d.find("txtMemo"));
    d.type(QStringLiteral("水をたくさん"));
    d.click("cmdMemoHozon");
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.bytes(kData1), crlf({rec("2008/03/01", "はじめの一歩", "65.3"), rec("2008/03/05", "起床後", "65.8"),
                                    rec("2008/03/05", "起床後", "65.8", "水をたくさん"),
                                    rec("2008/03/06", "夕食後", "65", "食べすぎ")}));
    QCOMPARE(list(d)->textMatrix(3, 6), QStringLiteral("水をたくさん"));

    // A second edit builds on the first.
    clickCell(d, 1, 2);
    d.type(QStringLiteral("スタート"));
    d.click("cmdMemoHozon");
    QCOMPARE(d.bytes(kData1), crlf({rec("2008/03/01", "はじめの一歩", "65.3", "スタート"),
                                    rec("2008/03/05", "起床後", "65.8"),
                                    rec("2008/03/05", "起床後", "65.8", "水をたくさん"),
                                    rec("2008/03/06", "夕食後", "65", "食べすぎ")}));
}

void TestNotesScreen::enterSavesOnlyAfterAPick()
{
    WindowDriver d;
    d.writeFiles(notesData());
    QVERIFY(d.start());
    d.click("cmdMemo");
    const auto before = d.snapshot();
    // Nothing picked: Enter in the box saves nothing anywhere.
    d.typeAndEnter(QStringLiteral("txtMemo"), QStringLiteral("どこへも行かない"));
    QCOMPARE(d.snapshot(), before);

    // Picked on person 1, then the person switched: the pick is forgotten.
    clickCell(d, 2, 6);
    d.click("cmdUser2");
    QVERIFY(!d.find("cmdMemoHozon")->isEnabled());
    d.typeAndEnter(QStringLiteral("txtMemo"), QStringLiteral("どこへも行かない"));
    QCOMPARE(d.snapshot(), before);

    clickCell(d, 1, 6);
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(QStringLiteral("明日も"));
    d.press(Qt::Key_Return);
    QCOMPARE(d.bytes(kData2), crlf({rec("2008/03/01", "はじめの一歩", "55", "明日も")}));
}

void TestNotesScreen::commentTheFileCannotHoldIsRefused()
{
    WindowDriver d;
    d.writeFiles(notesData());
    QVERIFY(d.start());
    d.click("cmdMemo");
    const auto before = d.snapshot();
    clickCell(d, 4, 6);
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(QStringLiteral("\"引用\""));
    d.click("cmdMemoHozon");
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls[0].icon, Icon::Exclamation);
    QCOMPARE(d.snapshot(), before);
    QCOMPARE(list(d)->textMatrix(4, 6), QStringLiteral("食べすぎ"));
}

void TestNotesScreen::memoIsSavedAndLoadedAsTyped()
{
    WindowDriver d;
    DataSet files = notesData();
    files.memo = QStringLiteral("水を飲む\r\n\r\n早く寝る\r\n");
    d.writeFiles(files);
    QVERIFY(d.start());
    // What the start read, even when the file changes before the screen
    // is first opened.
    d.tmp.writeBytes(kMemo, sjis(QStringLiteral("別の内容\r\n")));
    d.click("cmdMemo");
    auto *memo = d.find<QPlainTextEdit>("txtKizuki");
    QCOMPARE(memo->toPlainText(), QStringLiteral("水を飲む\n\n早く寝る\n"));

    d.focusByClick(QStringLiteral("txtKizuki"));
    d.press(Qt::Key_End, Qt::ControlModifier);
    d.type(QStringLiteral("歩く"));
    d.click("cmdKizukiHozon");
    QCOMPARE(d.bytes(kMemo), sjis(QStringLiteral("水を飲む\r\n\r\n早く寝る\r\n歩く\r\n")));
    QVERIFY(d.restart());
    d.click("cmdMemo");
    QCOMPARE(d.find<QPlainTextEdit>("txtKizuki")->toPlainText(), QStringLiteral("水を飲む\n\n早く寝る\n歩く"));
}

QTEST_MAIN(TestNotesScreen)
#include "test_notes_screen.moc"
