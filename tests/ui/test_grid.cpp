#include "ui_tests.h"

#include "ui/grid.h"
#include "ui/twips.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

QPoint cellCenter(Grid &g, int row, int col)
{
    return g.visualRect(g.model()->index(row - 1, col)).center();
}

// A grid shown at a fixed size, so geometry is real.
void showGrid(Grid &g, int w = 400, int h = 200)
{
    g.resize(w, h);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
}

// Dark pixels in a rectangle of a picture: text drawn there.
int inkIn(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
    return n;
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void modelKeepsQtsRulesThroughEveryChange();
    void rowCountKeepsHeaderAndAppendsEmptyRows();
    void everyTextIsDrawn();
    void madeRowsAreWrittenOutWhenShownAndKeepEdits();
    void outOfRangeCellsAreIgnored();
    void currentCellReadsAndWritesItsCell();
    void clickAndDoubleClickMakeTheCellCurrentFirst();
    void headerClickReportsRowZero();
    void focusKeepsAndArrowsMoveTheCurrentCell();
    void fixedFirstColumnIsFrozenAndClickable();
    void scrollingToTheEndLeavesTheLastPageFull();
    void topRowSetWhileHiddenAppliesWhenShown();
    void gridThatFitsDoesNotScroll();
    void widthsInTwipsAt96Dpi();
    void currentCellKeepsItsBackColour();
    void bulkFillOf32767RowsIsOneReset();
};

// Qt's own checker watches the model while the grid is grown, cut, filled
// in one reset, written cell by cell and given a fixed first column: every
// signal and every index it hands out must follow the model rules views
// rely on.
void TestGrid::modelKeepsQtsRulesThroughEveryChange()
{
    Grid g;
    QAbstractItemModelTester tester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    g.setCols(4);
    g.setRows(6);
    g.setTextMatrix(3, 2, QStringLiteral("64.5Kg"));
    g.setCellBackColor(3, 2, QColor(0xC0, 0xFF, 0xC0));
    g.setRows(2);
    QList<GridRow> rows;
    for (int i = 1; i <= 50; ++i)
        rows.append(GridRow{{QString::number(i), QStringLiteral("起床後")}, {}});
    g.setDataRows(rows);
    g.setFixedCols(1);
    g.setCols(6);
    g.setTextMatrix(50, 5, QStringLiteral("末"));
    g.setCols(3);
    g.setFixedCols(0);
    g.setRows(1);
    QCOMPARE(g.rows(), 1);
    QCOMPARE(g.cols(), 3);
}

void TestGrid::rowCountKeepsHeaderAndAppendsEmptyRows()
{
    Grid g;
    g.setCols(3);
    g.setRows(1);
    QCOMPARE(g.rows(), 1);
    QCOMPARE(g.model()->rowCount(), 0);
    g.setTextMatrix(0, 0, QStringLiteral("回"));
    g.setTextMatrix(0, 1, QStringLiteral("行動"));
    QCOMPARE(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("行動"));

    g.setRows(2);
    g.setTextMatrix(1, 1, QStringLiteral("はじめの一歩"));
    g.setCellBackColor(1, 2, QColor(0xC0, 0xFF, 0xC0));
    g.setRows(4);
    QCOMPARE(g.rows(), 4);
    QCOMPARE(g.textMatrix(1, 1), QStringLiteral("はじめの一歩"));
    QCOMPARE(g.textMatrix(3, 1), QString());
    QVERIFY(!g.cellBackColor(3, 2).isValid());

    // Shrinking drops rows; growing again brings empty ones, not the old.
    g.setTextMatrix(3, 1, QStringLiteral("old"));
    g.setRows(1);
    QCOMPARE(g.rows(), 1);
    QCOMPARE(g.textMatrix(0, 1), QStringLiteral("行動"));
    g.setRows(4);
    QCOMPARE(g.textMatrix(1, 1), QString());
    QCOMPARE(g.textMatrix(3, 1), QString());
    QVERIFY(!g.cellBackColor(1, 2).isValid());

    g.setRows(0); // never below the header row
    QCOMPARE(g.rows(), 1);

    g.setColAlignment(2, Grid::Align::Right);
    g.setFixedAlignment(2, Grid::Align::Center);
    g.setRows(2);
    QCOMPARE(g.model()->index(0, 2).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(g.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignCenter));
}

void TestGrid::outOfRangeCellsAreIgnored()
{
    Grid g;
    g.setCols(2);
    g.setRows(2);
    g.setRow(1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no row 5"));
    g.setRow(5);
    QCOMPARE(g.row(), 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no cell \\(2, 0\\)"));
    g.setTextMatrix(2, 0, QStringLiteral("x"));
    QCOMPARE(g.textMatrix(2, 0), QString());
    QCOMPARE(g.rows(), 2);

    // The current row follows a shrink instead of pointing past the end.
    g.setRows(4);
    g.setRow(3);
    g.setRows(2);
    QCOMPARE(g.row(), 1);
}

void TestGrid::currentCellReadsAndWritesItsCell()
{
    Grid g;
    g.setCols(9);
    g.setRows(3);
    g.setRow(2);
    g.setCol(4);
    g.setText(QStringLiteral("↑"));
    g.setCellBackColor(QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(g.textMatrix(2, 4), QStringLiteral("↑"));
    QCOMPARE(g.cellBackColor(2, 4), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(g.text(), QStringLiteral("↑"));
    QCOMPARE(g.model()->index(1, 4).data(Qt::BackgroundRole).value<QBrush>().color(),
             QColor(0xFF, 0xC0, 0xC0));

    g.setCellBackColor(QColor());
    QVERIFY(!g.cellBackColor().isValid());
    QVERIFY(!g.model()->index(1, 4).data(Qt::BackgroundRole).isValid());

    // Row 0 through the current cell writes the header.
    g.setRow(0);
    g.setCol(1);
    g.setText(QStringLiteral("行動"));
    QCOMPARE(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("行動"));
}

void TestGrid::clickAndDoubleClickMakeTheCellCurrentFirst()
{
    Grid g;
    g.setCols(5);
    g.setRows(6);
    showGrid(g);

    QList<QPoint> seenInHandler;
    QSignalSpy clicked(&g, &Grid::cellClicked);
    QSignalSpy doubled(&g, &Grid::cellDoubleClicked);
    connect(&g, &Grid::cellClicked, &g, [&] { seenInHandler.append({g.row(), g.col()}); });
    connect(&g, &Grid::cellDoubleClicked, &g, [&] { seenInHandler.append({g.row(), g.col()}); });

    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 3, 4));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 3);
    QCOMPARE(clicked.at(0).at(1).toInt(), 4);
    QCOMPARE(seenInHandler.value(0), QPoint(3, 4));

    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 5, 1));
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled.at(0).at(0).toInt(), 5);
    QCOMPARE(doubled.at(0).at(1).toInt(), 1);
    QCOMPARE(seenInHandler.constLast(), QPoint(5, 1));
    QCOMPARE(g.row(), 5);
    QCOMPARE(g.col(), 1);
    QVERIFY(g.editTriggers() == QAbstractItemView::NoEditTriggers);

    // What a real double-click delivers: press, release, press, double-click,
    // release. It is one click and one double-click, not two clicks.
    clicked.clear();
    doubled.clear();
    const QPoint p = cellCenter(g, 2, 2);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, p);
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(doubled.count(), 1);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 1, 1));
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(g.row(), 1);
}

void TestGrid::headerClickReportsRowZero()
{
    Grid g;
    g.setCols(4);
    g.setRows(3);
    showGrid(g);
    g.setRow(2);
    QSignalSpy doubled(&g, &Grid::cellDoubleClicked);
    QHeaderView *h = g.horizontalHeader();
    const QPoint p(h->sectionViewportPosition(2) + h->sectionSize(2) / 2, h->height() / 2);
    QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled.at(0).at(0).toInt(), 0);
    QCOMPARE(doubled.at(0).at(1).toInt(), 2);
    QCOMPARE(g.row(), 0);
}

void TestGrid::focusKeepsAndArrowsMoveTheCurrentCell()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit(&window);
    auto *g = new Grid(&window);
    layout->addWidget(other);
    layout->addWidget(g);
    g->setCols(4);
    g->setRows(40);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    other->setFocus();

    g->setRow(3);
    g->setCol(2);
    g->setFocus(Qt::TabFocusReason);
    QVERIFY(g->hasFocus());
    QCOMPARE(g->row(), 3);
    QCOMPARE(g->col(), 2);
    QCOMPARE(g->currentIndex(), g->model()->index(2, 2));

    QTest::keyClick(g, Qt::Key_Down);
    QCOMPARE(g->row(), 4);
    QTest::keyClick(g, Qt::Key_Right);
    QCOMPARE(g->col(), 3);
    // The cursor stays in sight when the keys take it below the window.
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(g, Qt::Key_Down);
    QCOMPARE(g->row(), 34);
    QVERIFY(g->viewport()->rect().contains(g->visualRect(g->currentIndex())));

    // Keys move on from a cell the program has just made current.
    g->setRow(10);
    QTest::keyClick(g, Qt::Key_Up);
    QCOMPARE(g->row(), 9);
}

void TestGrid::fixedFirstColumnIsFrozenAndClickable()
{
    Grid g;
    g.setCols(11);
    g.setRows(4);
    g.setFixedCols(1);
    g.setColWidth(0, 600);
    for (int c = 1; c < 11; ++c)
        g.setColWidth(c, 1200);
    g.setTextMatrix(0, 0, QStringLiteral("回"));
    g.setTextMatrix(2, 0, QStringLiteral("2"));
    showGrid(g, 300, 150);

    QHeaderView *v = g.verticalHeader();
    QVERIFY(v->isVisible());
    QVERIFY(g.isColumnHidden(0));
    QCOMPARE(v->width(), g.columnPixels(600));
    QCOMPARE(g.model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(),
             QStringLiteral("2"));

    // Scrolling sideways moves the data, not the fixed column.
    const int before = v->geometry().x();
    g.horizontalScrollBar()->setValue(g.horizontalScrollBar()->maximum());
    QVERIFY(g.horizontalScrollBar()->value() > 0);
    QCOMPARE(v->geometry().x(), before);

    QSignalSpy clicked(&g, &Grid::cellClicked);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                      QPoint(v->width() / 2, v->sectionViewportPosition(1) + 4));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 2);
    QCOMPARE(clicked.at(0).at(1).toInt(), 0);
    QCOMPARE(g.row(), 2);
    QCOMPARE(g.col(), 0);
    QCOMPARE(g.text(), QStringLiteral("2"));
}

// A long list scrolled to its end shows a full last page with the newest
// row at the bottom, never one row over blank space.
void TestGrid::scrollingToTheEndLeavesTheLastPageFull()
{
    Grid g;
    g.setCols(3);
    g.setRows(101);
    for (int r = 1; r <= 100; ++r)
        g.setTextMatrix(r, 0, QString::number(r));
    showGrid(g, 300, 200);
    const int page = g.bottomRow() - g.topRow() + 1; // rows seen whole
    QVERIFY(page > 3 && page < 20);

    g.setTopRow(100);
    QCOMPARE(g.bottomRow(), 100);
    // A full page: the top row may be cut by the top edge, nothing more.
    QVERIFY(g.topRow() >= 100 - page && g.topRow() <= 100 - page + 1);
    // The last row ends at the viewport's bottom edge: no blank space.
    const QRect last = g.visualRect(g.model()->index(99, 0));
    QVERIFY(last.bottom() < g.viewport()->height());
    QVERIFY(last.bottom() >= g.viewport()->height() - g.rowHeightPixels());

    // A row well before the end still goes to the top.
    g.setTopRow(40);
    QCOMPARE(g.topRow(), 40);

    // Also right after growing, before any layout pass has run.
    g.setRows(121);
    g.setTopRow(120);
    QCOMPARE(g.bottomRow(), 120);
    QVERIFY(g.topRow() >= 120 - page && g.topRow() <= 120 - page + 1);
}

// Panels fill their grids while hidden; the grid only learns its real
// height when shown.
void TestGrid::topRowSetWhileHiddenAppliesWhenShown()
{
    QWidget panel;
    auto *layout = new QVBoxLayout(&panel);
    auto *g = new Grid(&panel);
    layout->addWidget(g);
    g->setCols(3);
    QList<GridRow> rows;
    for (int i = 1; i <= 12; ++i)
        rows.append(GridRow{{QString::number(i)}, {}});
    g->setDataRows(rows);
    g->setTopRow(12);
    QCOMPARE(g->topRow(), 12);

    panel.resize(300, 180);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QVERIFY(g->topRow() > 1); // it did scroll, as far as the grid allows
    QCOMPARE(g->bottomRow(), 12);

    // A refill forgets the old request; hiding and showing keeps the place.
    panel.hide();
    g->setTopRow(5);
    g->setRows(1);
    g->setRows(4);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(g->topRow(), 1);
}

void TestGrid::gridThatFitsDoesNotScroll()
{
    Grid g;
    g.setCols(3);
    g.setRows(4);
    showGrid(g, 300, 300);
    g.setTopRow(3);
    QCOMPARE(g.topRow(), 1);
    QCOMPARE(g.verticalScrollBar()->maximum(), 0);
}

void TestGrid::widthsInTwipsAt96Dpi()
{
    Grid g;
    if (g.logicalDpiX() != 96)
        QSKIP("the test screen is not 96 dpi");
    QCOMPARE(twipsToPixels(1440), 96);
    QCOMPARE(twipsToPixels(15, &g), 1);
    QCOMPARE(twipsToPixels(450, &g), 30);
    QCOMPARE(twipsToPixels(2015, &g), 134);
    QCOMPARE(pixelsToTwips(134, &g), 2010);

    g.setCols(9);
    g.setColWidth(1, 2015);
    g.setColWidth(4, 350);
    QCOMPARE(g.colWidth(1), 2015); // twips read back as set, not rounded
    QCOMPARE(g.columnWidth(1), g.columnPixels(2015));
    QCOMPARE(g.columnWidth(4), g.columnPixels(350));
    // Never narrower than the layout says; wide enough for a date where
    // the layout made room for one.
    QVERIFY(g.columnPixels(2015) >= 134);
    QVERIFY(g.columnPixels(1100) >= g.fontMetrics().horizontalAdvance(QStringLiteral("2026/12/08")) + 4);
    // Rows are compact, like a classic data grid.
    QVERIFY2(g.rowHeightPixels() >= 18 && g.rowHeightPixels() <= 24,
             qPrintable(QString::number(g.rowHeightPixels())));
}

void TestGrid::currentCellKeepsItsBackColour()
{
    Grid g;
    g.setCols(3);
    g.setRows(3);
    g.setColWidth(1, 1500);
    const QColor green(0xC0, 0xFF, 0xC0);
    g.setCellBackColor(2, 1, green);
    showGrid(g);
    g.activateWindow();
    g.setFocus();
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 2, 1));
    QCOMPARE(g.row(), 2);
    const QImage img = g.viewport()->grab().toImage();
    QCOMPARE(img.pixelColor(cellCenter(g, 2, 1)), green);
    QCOMPARE(img.pixelColor(cellCenter(g, 1, 1)), QColor(Qt::white));
}

void TestGrid::bulkFillOf32767RowsIsOneReset()
{
    const int n = 32767;
    QList<GridRow> rows;
    rows.reserve(n);
    for (int i = 1; i <= n; ++i) {
        GridRow r;
        r.texts = {QString::number(i), QStringLiteral("はじめの一歩"), QStringLiteral("65.3Kg"),
                   QStringLiteral("-0.1Kg"), QStringLiteral("↓"), QStringLiteral("0.0Kg"),
                   QStringLiteral("→"), QStringLiteral("22.5"), QStringLiteral("2.3%")};
        r.backColors = {QColor(), QColor(), QColor(), QColor(), QColor(0xC0, 0xFF, 0xC0),
                        QColor(), QColor(0xFF, 0xFF, 0xC0)};
        rows.append(r);
    }

    Grid g;
    g.setCols(9);
    g.setRows(1);
    showGrid(g, 600, 250);
    QSignalSpy resets(g.model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(g.model(), &QAbstractItemModel::rowsInserted);

    // Speed is the benchmark's business; here the fill must be one reset.
    g.setDataRows(rows);
    g.setTopRow(n);
    g.viewport()->repaint();

    QCOMPARE(resets.count(), 1);
    QCOMPARE(inserts.count(), 0);
    QCOMPARE(g.rows(), n + 1);
    QCOMPARE(g.textMatrix(n, 0), QString::number(n));
    QCOMPARE(g.textMatrix(n, 8), QStringLiteral("2.3%"));
    QCOMPARE(g.cellBackColor(n, 4), QColor(0xC0, 0xFF, 0xC0));
    QVERIFY(!g.cellBackColor(n, 8).isValid()); // beyond the colours given
    QCOMPARE(g.bottomRow(), n);
}

void TestGrid::everyTextIsDrawn()
{
    Grid g;
    g.setColumns({{QStringLiteral("回"), 900, table::Align::Center, table::Align::Center},
                  {QStringLiteral("体重"), 1500, table::Align::Right, table::Align::Center}});
    g.setFixedCols(1);
    g.setDataRows(table::Rows{{{QStringLiteral("12"), QStringLiteral("65.3Kg")}, {}}});
    showGrid(g);
    const QImage img = g.grab().toImage();
    const int header = g.horizontalHeader()->height();
    const int fixed = g.verticalHeader()->width();
    // The header cell, the fixed column's cell and a data cell all carry ink.
    QVERIFY(inkIn(img, QRect(fixed + 2, 2, g.columnWidth(1) - 4, header - 4)) > 10);
    QVERIFY(inkIn(img, QRect(2, header + 2, fixed - 4, g.rowHeightPixels() - 4)) > 10);
    QVERIFY(inkIn(img, QRect(fixed + 2, header + 2, g.columnWidth(1) - 4, g.rowHeightPixels() - 4)) > 10);
}

void TestGrid::madeRowsAreWrittenOutWhenShownAndKeepEdits()
{
    int made = 0;
    Grid g;
    g.setColumns({{QStringLiteral("n"), 900}});
    g.setDataRows(table::Rows::made(32767, [&made](qsizetype i) {
        ++made;
        return table::Row{{QString::number(i + 1)}, {}};
    }));
    QCOMPARE(g.rows(), 32768);
    QCOMPARE(made, 0); // nothing is written out before it is needed
    showGrid(g);
    QVERIFY(made < 200); // only the rows that show
    QCOMPARE(g.textMatrix(32767, 0), QStringLiteral("32767"));
    // An edited row keeps its edit; the others are still made.
    g.setTextMatrix(5, 0, QStringLiteral("x"));
    g.setCellBackColor(5, 0, QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(g.textMatrix(5, 0), QStringLiteral("x"));
    QCOMPARE(g.cellBackColor(5, 0), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(g.textMatrix(6, 0), QStringLiteral("6"));
    // Back to the header alone, then rows of its own.
    g.setRows(1);
    QCOMPARE(g.rows(), 1);
    g.setRows(3);
    QCOMPARE(g.textMatrix(2, 0), QString());
}

int runGridTests(int argc, char **argv)
{
    TestGrid t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_grid.moc"
