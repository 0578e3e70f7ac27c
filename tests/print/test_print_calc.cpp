// The blank record sheet as data: its border lines, the box headers and
// entry blanks with their positions, and the confirmation texts.
#include "print/record_sheet.h"

#include <QSet>
#include <QtTest>

using namespace print;

class TestPrintCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void borderLines();
    void twelveBoxesOfTenEntries();
    void blankTexts();
    void confirmation();
};

void TestPrintCalc::borderLines()
{
    const RecordSheet sheet = recordSheet();
    const QList<SheetLine> expected = {{3770, 0, 3770, 17000},
                                       {7540, 0, 7540, 17000},
                                       {0, 4050, 12000, 4050},
                                       {0, 8100, 12000, 8100},
                                       {0, 12150, 12000, 12150}};
    QCOMPARE(sheet.lines, expected);
    QCOMPARE(sheet.fontPointSize, 11);
}

void TestPrintCalc::twelveBoxesOfTenEntries()
{
    const RecordSheet sheet = recordSheet();
    QCOMPARE(sheet.headers.size(), 12);
    QCOMPARE(sheet.entries.size(), 120);

    QSet<QPair<int, int>> places;
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 4; ++r) {
            const int box = c * 4 + r;
            const int x = c * 3770 + 100;
            QCOMPARE(sheet.headers[box].x, x);
            QCOMPARE(sheet.headers[box].y, r * 4050 + 100);
            for (int j = 0; j < 10; ++j) {
                const SheetText &e = sheet.entries[box * 10 + j];
                QCOMPARE(e.x, x);
                QCOMPARE(e.y, r * 4050 + 500 + j * 300);
                places.insert({e.x, e.y});
            }
            // The last blank of a box stays above the next box's border.
            const int last = sheet.entries[box * 10 + 9].y;
            QCOMPARE(last, r * 4050 + 3200);
            QVERIFY(last + 300 < (r + 1) * 4050);
        }
    }
    QCOMPARE(places.size(), 120);
}

void TestPrintCalc::blankTexts()
{
    const RecordSheet sheet = recordSheet();
    const QString header = sheet.headers.first().text;
    QCOMPARE(header, QStringLiteral("＜　　　／　　　＞"));
    QCOMPARE(header.size(), 9);
    QCOMPARE(header.count(QChar(0x3000)), 6);

    const QString entry = sheet.entries.first().text;
    QCOMPARE(entry, QStringLiteral("（　　　  　　　　　　　　　　　　／　　　　　）"));
    QCOMPARE(entry.size(), 25);
    QCOMPARE(entry.count(QChar(0x3000)), 20);
    QCOMPARE(entry.count(QChar(u' ')), 2);
    QCOMPARE(entry.indexOf(QChar(0xFF0F)), 18);

    for (const SheetText &t : sheet.headers)
        QCOMPARE(t.text, header);
    for (const SheetText &t : sheet.entries)
        QCOMPARE(t.text, entry);
}

void TestPrintCalc::confirmation()
{
    QCOMPARE(confirmationTitle(), QStringLiteral("印刷確認"));
    QCOMPARE(confirmationText(PrintAction::ScreenImage),
             QStringLiteral("表示中の画面イメージで印刷しますか？\r\n\r\n良かったらＯＫボタンを押してください"));
    QCOMPARE(confirmationText(PrintAction::RecordSheet),
             QStringLiteral("体重記録用紙を印刷しますか？\r\n\r\n良かったらＯＫボタンを押してください"));
}

QTEST_GUILESS_MAIN(TestPrintCalc)
#include "test_print_calc.moc"
