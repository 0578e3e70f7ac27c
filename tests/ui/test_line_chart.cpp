#include "ui_tests.h"

#include "ui/line_chart.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {

using Points = QList<QPointF>;

// Three weights between 64 and 66 on a shown 300 x 200 chart.
bool showThreePoints(LineChart &c)
{
    c.resize(300, 200);
    c.setRowCount(3);
    c.setColumnValues(1, {65.3, 64.8, 65.0});
    c.setLeftRange(64, 66);
    c.show();
    return QTest::qWaitForWindowExposed(&c);
}

} // namespace

class TestLineChart : public QObject {
    Q_OBJECT
private slots:
    void cellsHoldOnlyFiniteNumbers();
    void rowCountZeroThenNClearsAllValues();
    void emptyCellsBreakTheLine();
    void lonePointStaysVisibleWithoutMarkers();
    void markersAreDrawnOnceAndSayTheirScale();
    void screenReadersHearTheSeriesAndTheAxes();
    void rangesAreWhatTheProgramSet();
    void rightAxisShowsOnlyWhenUsed();
    void markerModesApplyToEveryPoint();
    void markersAreDrawnAtFullSize();
    void clickAnywhereIsOneUserEvent();
    void denseColumnIsReducedToItsShape();
    void denseLineIsDrawnInsideThePlot();
    void markersOnTheRangeEdgeAreWhole();
    void emptyChartHasNoRowLabels();
    void rowLabelsShowAReadableSubset();
    void chartTakesTheViewsSizeWhenDrawn();
    void dashedLineHasGapsAndPointsAloneHaveNoLine();
    void densePointsAreReducedAndStillMarked();
    void horizontalLinesCrossThePlotWithinTheRange();
};

void TestLineChart::cellsHoldOnlyFiniteNumbers()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    LineChart c;
    c.setColumnCount(2);
    c.setRowCount(3);
    c.setValue(2, 1, 65.3);
    QCOMPARE(c.value(2, 1), std::optional<double>(65.3));
    QCOMPARE(c.value(2, 2), std::optional<double>());

    // What is not a finite number empties the cell: it could not be drawn.
    for (double bad : {nan, inf, -inf}) {
        c.setValue(2, 2, -1.5);
        QCOMPARE(c.value(2, 2), std::optional<double>(-1.5));
        c.setValue(2, 2, bad);
        QCOMPARE(c.value(2, 2), std::optional<double>());
    }
    // The same for a computed column, which replaces the whole column.
    c.setSeries(2, ChartValues{64.5f, std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()});
    QCOMPARE(c.value(1, 2), std::optional<double>(64.5));
    QCOMPARE(c.value(2, 2), std::optional<double>());
    QCOMPARE(c.value(3, 2), std::optional<double>());
    QCOMPARE(c.drawnSegments(2), (QList<Points>{{QPointF(1, 64.5)}}));

    // A cell outside the table is refused, not added.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no cell \\(4, 2\\)"));
    c.setValue(4, 2, 70.0);
    QCOMPARE(c.rowCount(), 3);
    QCOMPARE(c.value(4, 2), std::optional<double>());
}

void TestLineChart::rowCountZeroThenNClearsAllValues()
{
    LineChart c;
    c.setColumnCount(2);
    c.setRowCount(3);
    c.setValue(1, 1, 70.0);
    c.setValue(3, 2, 60.0);
    c.setRowCount(5); // growing keeps what is there
    QCOMPARE(c.value(1, 1), std::optional<double>(70.0));
    QCOMPARE(c.value(5, 1), std::optional<double>());

    c.setRowCount(0);
    QCOMPARE(c.rowCount(), 0);
    c.setRowCount(5);
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(c.value(r, 1), std::optional<double>());
        QCOMPARE(c.value(r, 2), std::optional<double>());
    }
    QVERIFY(c.drawnSegments(1).isEmpty());
    QVERIFY(c.drawnSegments(2).isEmpty());
}

void TestLineChart::emptyCellsBreakTheLine()
{
    LineChart c;
    c.setRowCount(5);
    c.setColumnValues(1, {1.0, 2.0, std::nullopt, 4.0, 5.0});
    QCOMPARE(c.drawnSegments(1),
             (QList<Points>{{QPointF(1, 1), QPointF(2, 2)}, {QPointF(4, 4), QPointF(5, 5)}}));

    // Filling the gap cell by cell joins the line again.
    c.setValue(3, 1, 3.0);
    QCOMPARE(c.drawnSegments(1).size(), 1);
    QCOMPARE(c.drawnSegments(1).at(0).size(), 5);

    // A shorter bulk column empties the rows beyond it.
    c.setColumnValues(1, {std::nullopt, 7.0, 8.0});
    QCOMPARE(c.rowCount(), 5);
    QCOMPARE(c.drawnSegments(1), (QList<Points>{{QPointF(2, 7), QPointF(3, 8)}}));
}

// A marker is drawn once per colour and style, not on every paint, and
// knows the pixel ratio it was drawn for.
void TestLineChart::markersAreDrawnOnceAndSayTheirScale()
{
    LineChart c;
    c.setColumnCount(2);
    c.setSeriesColor(1, Qt::red);
    c.setSeriesColor(2, Qt::blue);
    c.setMarker(LineChart::Marker::Ball);
    const QImage first = c.markerImage(1);
    QCOMPARE(c.markerImage(1).cacheKey(), first.cacheKey());
    QVERIFY(c.markerImage(2).cacheKey() != first.cacheKey());
    QCOMPARE(first.devicePixelRatio(), c.devicePixelRatioF());
    QCOMPARE(first.deviceIndependentSize().toSize(), QSize(11, 11));
    c.setMarker(LineChart::Marker::Circle);
    QVERIFY(c.markerImage(1).cacheKey() != first.cacheKey());
}

void TestLineChart::screenReadersHearTheSeriesAndTheAxes()
{
    LineChart c;
    c.setColumnCount(2);
    c.setSeriesName(1, QStringLiteral("たろう"));
    c.setSeriesName(2, QStringLiteral("はなこ"));
    c.setRowCount(3);
    c.setLeftRange(60, 70);
    c.setRightRange(50, 55);
    c.setSeriesOnRightAxis(2, true);
    c.resize(400, 300);
    c.plotArea(); // brought up to date as a paint would
    QCOMPARE(c.accessibleName(), QStringLiteral("グラフ: たろう・はなこ"));
    QCOMPARE(c.accessibleDescription(), QStringLiteral("左の軸 60～70、右の軸 50～55、3 行"));

    // Renaming a series renames the chart.
    c.setSeriesName(2, QStringLiteral("じろう"));
    c.plotArea();
    QCOMPARE(c.accessibleName(), QStringLiteral("グラフ: たろう・じろう"));

    // A name the screen gave the chart stays; the series move to the description.
    c.setAccessibleName(QStringLiteral("二人の体重のグラフ"));
    c.setSeriesName(1, QStringLiteral("はなこ"));
    c.plotArea();
    QCOMPARE(c.accessibleName(), QStringLiteral("二人の体重のグラフ"));
    QCOMPARE(c.accessibleDescription(), QStringLiteral("はなこ・じろう、左の軸 60～70、右の軸 50～55、3 行"));
}

void TestLineChart::lonePointStaysVisibleWithoutMarkers()
{
    LineChart c;
    c.setRowCount(1);
    c.setValue(1, 1, 65.3);
    QCOMPARE(c.drawnSegments(1), (QList<Points>{{QPointF(1, 65.3)}}));
    QCOMPARE(c.markedPoints(1), (Points{QPointF(1, 65.3)}));
    // A marker as large as the circle style's, not a dot.
    const QImage lone = c.markerImage(1);
    c.setMarker(LineChart::Marker::Circle);
    QCOMPARE(lone.size(), c.markerImage(1).size());
    QVERIFY(lone.width() >= 9);
    c.setMarker(LineChart::Marker::None);

    c.setRowCount(2);
    c.setValue(2, 1, 65.0);
    QCOMPARE(c.markedPoints(1), Points());
}

void TestLineChart::rangesAreWhatTheProgramSet()
{
    LineChart c;
    c.setLeftRange(64, 66);
    QCOMPARE(c.leftMin(), 64.0);
    QCOMPARE(c.leftMax(), 66.0);
    QCOMPARE(c.leftScale().min, 64.0);
    QCOMPARE(c.leftScale().max, 66.0);
    // Ticks from end to end at a round step.
    QCOMPARE(c.leftScale().ticks, (QList<double>{64.0, 64.5, 65.0, 65.5, 66.0}));
    QCOMPARE(c.leftScale().decimals, 1);

    c.setLeftMin(58); // the target-weight floor leaves the maximum alone
    QCOMPARE(c.leftMin(), 58.0);
    QCOMPARE(c.leftMax(), 66.0);
    QCOMPARE(c.leftScale().min, 58.0);
    QCOMPARE(c.leftScale().ticks.constFirst(), 58.0);
    QCOMPARE(c.leftScale().ticks.constLast(), 66.0);

    // Values outside the range do not widen it.
    c.setRowCount(2);
    c.setColumnValues(1, {50.0, 80.0});
    c.drawnSegments(1);
    QCOMPARE(c.leftScale().min, 58.0);
    QCOMPARE(c.leftScale().max, 66.0);

    // A 0.2 step from 69 keeps its top tick.
    c.setLeftRange(69, 70.6);
    QCOMPARE(c.leftScale().ticks.constLast(), 70.6);
    // A range the step does not divide is ticked at the step's multiples.
    c.setLeftRange(64.3, 66.9);
    QCOMPARE(c.leftScale().ticks.constFirst(), 64.5);
    QVERIFY(c.leftScale().ticks.constLast() <= 66.9);

    // A flat range reads back as set but is drawn with room around it.
    c.setLeftRange(70, 70);
    QCOMPARE(c.leftMin(), 70.0);
    QCOMPARE(c.leftMax(), 70.0);
    QVERIFY(c.leftScale().min < 70.0 && c.leftScale().max > 70.0);

    // An empty day's range (999 down to 0) must not break the axis, nor a
    // range that is not a number.
    c.setLeftRange(999, 0);
    QCOMPARE(c.leftMin(), 999.0);
    QVERIFY(c.leftScale().min < c.leftScale().max);
    QVERIFY(c.leftScale().ticks.size() >= 2 && c.leftScale().ticks.size() <= 21);
    c.setLeftRange(std::nan(""), 5);
    QCOMPARE(c.leftScale().min, 0.0);
    QCOMPARE(c.leftScale().max, 999.0);
}

void TestLineChart::rightAxisShowsOnlyWhenUsed()
{
    LineChart c;
    c.resize(300, 200);
    c.setColumnCount(2);
    c.setRowCount(2);
    c.setColumnValues(1, {60.0, 61.0});
    c.setColumnValues(2, {80.0, 79.0});
    c.setRightRange(75, 82);
    QVERIFY(!c.rightAxisVisible());
    const qreal alone = c.plotArea().right();

    c.setSeriesOnRightAxis(2, true);
    QVERIFY(c.rightAxisVisible());
    QCOMPARE(c.rightMin(), 75.0);
    QCOMPARE(c.rightMax(), 82.0);
    // Its labels take room on the right, and column 2 follows its range:
    // 80 of 75..82 is higher in the plot than 60 of the left 0..100.
    QVERIFY(c.plotArea().right() < alone - 10);
    const QRectF plot = c.plotArea();
    QCOMPARE(c.mapToPosition(QPointF(1, 75), 2).y(), plot.bottom());
    QCOMPARE(c.mapToPosition(QPointF(1, 82), 2).y(), plot.top());
    QCOMPARE(c.mapToPosition(QPointF(1, 100), 1).y(), plot.top());
    QCOMPARE(c.drawnSegments(2), (QList<Points>{{QPointF(1, 80), QPointF(2, 79)}}));

    c.setSeriesOnRightAxis(2, false);
    QVERIFY(!c.rightAxisVisible());
    QCOMPARE(c.plotArea().right(), alone);
    QCOMPARE(c.mapToPosition(QPointF(1, 100), 2).y(), c.plotArea().top());
}

void TestLineChart::markerModesApplyToEveryPoint()
{
    LineChart c;
    c.setColumnCount(2);
    c.setRowCount(4);
    c.setColumnValues(1, {1.0, 2.0, std::nullopt, 4.0});
    c.setColumnValues(2, {3.0, 3.0, 3.0, 3.0});
    QCOMPARE(c.marker(), LineChart::Marker::None);

    c.setMarker(LineChart::Marker::Circle);
    QCOMPARE(c.marker(), LineChart::Marker::Circle);
    QCOMPARE(c.drawnSegments(1).size(), 2); // two pieces of column 1
    QCOMPARE(c.drawnSegments(2).size(), 1);
    QCOMPARE(c.markedPoints(1).size(), 3);
    QCOMPARE(c.markedPoints(2).size(), 4);
    // A circle is an outline: its middle is left clear.
    const QImage circle = c.markerImage(1);
    const QColor middle = circle.pixelColor(circle.width() / 2, circle.height() / 2);
    QCOMPARE(middle, QColor(Qt::white));

    c.setMarker(LineChart::Marker::Ball);
    const QImage ball = c.markerImage(1);
    QVERIFY(!ball.isNull());
    QVERIFY(ball != circle);
    // Shaded: lighter towards the highlight than at the opposite rim.
    const int w = ball.width();
    QVERIFY(ball.pixelColor(w * 35 / 100, w * 35 / 100).lightness()
            > ball.pixelColor(w * 75 / 100, w * 75 / 100).lightness());

    // The style survives a rebuild of the points.
    c.setRowCount(0);
    c.setRowCount(2);
    c.setColumnValues(1, {5.0, 6.0});
    QCOMPARE(c.marker(), LineChart::Marker::Ball);
    QCOMPARE(c.markedPoints(1), (Points{QPointF(1, 5), QPointF(2, 6)}));

    // Without a style only a point standing alone keeps a dot.
    c.setMarker(LineChart::Marker::None);
    QCOMPARE(c.markedPoints(1), Points());
}

void TestLineChart::markersAreDrawnAtFullSize()
{
    LineChart c;
    QVERIFY(showThreePoints(c));
    // Just below the lowest point: the lines rise away from it, so only a
    // marker can colour this pixel (the grid line through it is grey).
    auto pixelBelowLowPoint = [&] {
        QCoreApplication::processEvents();
        const QPoint at = c.mapToPosition(QPointF(2, 64.8), 1).toPoint() + QPoint(0, 3);
        return c.grab().toImage().pixelColor(at);
    };
    const QColor none = pixelBelowLowPoint();
    QVERIFY2(none.lightness() > 220 && none.blue() - none.red() < 20, qPrintable(none.name()));
    c.setMarker(LineChart::Marker::Ball);
    const QColor ball = pixelBelowLowPoint();
    QVERIFY2(ball.blue() > ball.red() + 40, qPrintable(ball.name()));
    c.setMarker(LineChart::Marker::Circle);
    const QColor ring = pixelBelowLowPoint();
    QVERIFY2(ring.blue() > ring.red() + 40, qPrintable(ring.name()));
}

void TestLineChart::clickAnywhereIsOneUserEvent()
{
    LineChart c;
    c.resize(300, 200);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QSignalSpy clicks(&c, &LineChart::userClicked);
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(150, 100));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(5, 5)); // outside the plot
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(290, 190));
    QCOMPARE(clicks.count(), 3);
    QTest::mouseClick(&c, Qt::RightButton, {}, QPoint(150, 100));
    QCOMPARE(clicks.count(), 3);
}

void TestLineChart::denseColumnIsReducedToItsShape()
{
    const int n = 32767;
    QList<std::optional<double>> weights;
    weights.reserve(n);
    for (int i = 0; i < n; ++i)
        weights.append(60.0 + (i % 100) / 10.0 + (i == 20000 ? 30.0 : 0.0));

    LineChart c;
    c.resize(500, 300);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setRowCount(0);
    c.setColumnValues(1, weights);
    QCOMPARE(c.rowCount(), n);
    // The table keeps every value; the series gets a few points per pixel.
    QCOMPARE(c.value(12345, 1), weights[12344]);
    const auto segments = c.drawnSegments(1);
    QCOMPARE(segments.size(), 1);
    const Points &drawn = segments.at(0);
    const int plotWidth = int(c.plotArea().width());
    QVERIFY2(drawn.size() <= 4 * plotWidth, qPrintable(QString::number(drawn.size())));
    QCOMPARE(drawn.constFirst(), QPointF(1, 60.0));
    QCOMPARE(drawn.constLast(), QPointF(n, *weights.constLast()));
    // The lone peak and the lowest points survive the reduction.
    QVERIFY(drawn.contains(QPointF(20001, *weights[20000])));
    QVERIFY(std::any_of(drawn.begin(), drawn.end(), [](const QPointF &p) { return p.y() == 60.0; }));
    // Points in x order, so the line is drawn left to right.
    for (qsizetype i = 1; i < drawn.size(); ++i)
        QVERIFY(drawn[i].x() > drawn[i - 1].x());
    // No markers on a reduced line: they could not be told apart.
    c.setMarker(LineChart::Marker::Circle);
    QCOMPARE(c.markedPoints(1), Points());

    // Wider, it is reduced afresh; sparse data goes to the series as given.
    c.setRowCount(0);
    c.setColumnValues(1, {61.0, 62.0, 63.0});
    QCOMPARE(c.drawnSegments(1), (QList<Points>{{QPointF(1, 61), QPointF(2, 62), QPointF(3, 63)}}));
}

void TestLineChart::denseLineIsDrawnInsideThePlot()
{
    // A flat line at 65 with one spike far above the axis, too many points
    // for the plot's width.
    const int n = 20000;
    QList<std::optional<double>> values(n, 65.0);
    values[n / 2] = 95.0;
    LineChart c;
    c.resize(400, 250);
    c.setLeftRange(60, 70);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setColumnValues(1, values);
    QCOMPARE(c.drawnSegments(1).size(), 1);
    QCoreApplication::processEvents();
    const QImage shot = c.grab().toImage();
    const QRectF plot = c.plotArea();
    auto blue = [](const QColor &px) { return px.blue() > px.red() + 80; };
    auto at = [&](double x, double y) {
        return QPointF(plot.left() + x * plot.width(), plot.top() + y * plot.height()).toPoint();
    };
    // The line crosses the plot at half height: blue there, and not a
    // quarter of the way up.
    const QPoint middle = at(0.25, 0.5);
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy)
        found = found || blue(shot.pixelColor(middle + QPoint(0, dy)));
    QVERIFY(found);
    QVERIFY(!blue(shot.pixelColor(at(0.25, 0.25))));
    // The spike reaches the top of the plot and stops there.
    const QPoint top = at(0.5, 0.0);
    bool spike = false;
    for (int dx = -2; dx <= 2; ++dx)
        spike = spike || blue(shot.pixelColor(top + QPoint(dx, 2)));
    QVERIFY(spike);
    for (int dx = -2; dx <= 2; ++dx)
        QVERIFY(!blue(shot.pixelColor(top + QPoint(dx, -4))));

    // Moved to the right axis, the line follows that axis's range: 65 is
    // now its floor, and a line along the plot's edge still shows.
    c.setRightRange(65, 75);
    c.setSeriesOnRightAxis(1, true);
    QCoreApplication::processEvents();
    const QImage moved = c.grab().toImage();
    const QRectF plot2 = c.plotArea();
    const QPoint bottom = QPointF(plot2.left() + 0.25 * plot2.width(), plot2.bottom() - 1).toPoint();
    found = false;
    for (int dy = -1; dy <= 1; ++dy)
        found = found || blue(moved.pixelColor(bottom + QPoint(0, dy)));
    QVERIFY(found);
}

void TestLineChart::markersOnTheRangeEdgeAreWhole()
{
    LineChart c;
    c.resize(300, 200);
    c.setRowCount(3);
    c.setColumnValues(1, {66.0, 65.0, 64.0}); // on the top and the bottom of the axis
    c.setLeftRange(64, 66);
    c.setMarker(LineChart::Marker::Ball);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QCoreApplication::processEvents();
    const QImage shot = c.grab().toImage();
    // Just outside the plot, above the top point and below the bottom one,
    // the marker still colours the pixels.
    for (const QPointF &p : {QPointF(1, 66), QPointF(3, 64)}) {
        const QPoint at = c.mapToPosition(p, 1).toPoint();
        const QPoint outside = at + QPoint(0, p.y() == 66 ? -3 : 3);
        const QColor px = shot.pixelColor(outside);
        QVERIFY2(px.blue() > px.red() + 40, qPrintable(px.name()));
    }
}

void TestLineChart::emptyChartHasNoRowLabels()
{
    LineChart c;
    c.resize(300, 200);
    c.setRowCount(3);
    c.setRowCount(0);
    QCOMPARE(c.rowLabelsShown(), (QList<std::pair<int, QString>>()));
}

void TestLineChart::rowLabelsShowAReadableSubset()
{
    LineChart c;
    c.resize(600, 300);
    c.setRowCount(100);
    for (int r = 1; r <= 100; ++r)
        c.setRowLabel(r, QStringLiteral("08/%1").arg(r, 3, 10, QLatin1Char('0')));
    const auto shown = c.rowLabelsShown();
    QVERIFY(shown.size() >= 2 && shown.size() <= 12);
    QCOMPARE(shown.first().second, QStringLiteral("08/001"));
    for (const auto &[row, label] : shown)
        QCOMPARE(label.mid(3).toInt(), row); // each label stands at its own row

    // A label repeated further on is shown once; unlabelled rows are
    // numbered at a round step.
    for (int r = 1; r <= 100; ++r)
        c.setRowLabel(r, QStringLiteral("same"));
    QCOMPARE(c.rowLabelsShown(), (QList<std::pair<int, QString>>{{1, QStringLiteral("same")}}));
    LineChart numbered;
    numbered.resize(600, 300);
    numbered.setRowCount(100);
    const auto numbers = numbered.rowLabelsShown();
    QCOMPARE(numbers.first(), (std::pair<int, QString>{1, QStringLiteral("1")}));
    QCOMPARE(numbers.at(1), (std::pair<int, QString>{10, QStringLiteral("10")}));
    QCOMPARE(numbers.last(), (std::pair<int, QString>{100, QStringLiteral("100")}));
}

void TestLineChart::chartTakesTheViewsSizeWhenDrawn()
{
    // The plot follows the widget's size, also after a resize made while
    // the chart was hidden, and whoever places things by it is told.
    LineChart c;
    QSignalSpy moved(&c, &LineChart::plotAreaChanged);
    QVERIFY(showThreePoints(c));
    c.grab();
    const qreal narrow = c.plotArea().width();
    QVERIFY(narrow > 200 && narrow < 300);
    QVERIFY(c.plotArea().bottom() < 200);
    QVERIFY(moved.count() >= 1);
    QCOMPARE(moved.last().at(0).toRectF(), c.plotArea());

    c.hide();
    c.resize(640, 300);
    c.show();
    c.grab();
    QVERIFY(c.plotArea().width() > narrow + 300);
    QCOMPARE(moved.last().at(0).toRectF(), c.plotArea());

    // A legend takes room under the plot.
    const qreal bottom = c.plotArea().bottom();
    c.setLegendVisible(true);
    QVERIFY(c.plotArea().bottom() < bottom - 8);
}

namespace {

bool coloured(const QColor &px) { return px.lightness() < 200; }

// How many pixels of the row y between x0 and x1 are drawn (not white or
// the grid's pale grey).
int drawnPixels(const QImage &shot, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x <= x1; ++x)
        n += coloured(shot.pixelColor(x, y)) ? 1 : 0;
    return n;
}

} // namespace

void TestLineChart::dashedLineHasGapsAndPointsAloneHaveNoLine()
{
    LineChart c;
    c.resize(400, 200);
    c.setColumnCount(3);
    c.setRowCount(40);
    QList<std::optional<double>> flat(40, 65.0), dots(40, std::nullopt);
    dots[4] = 64.5;
    dots[30] = 64.5;
    c.setColumnValues(1, flat);
    c.setColumnValues(3, dots);
    c.setLeftRange(64, 66);
    QCOMPARE(c.seriesLine(1), LineChart::Line::Solid);
    c.setSeriesLine(1, LineChart::Line::Dashed);
    c.setSeriesLine(3, LineChart::Line::Points);
    QCOMPARE(c.seriesLine(1), LineChart::Line::Dashed);
    QCOMPARE(c.seriesLine(3), LineChart::Line::Points);
    QCOMPARE(c.seriesLine(9), LineChart::Line::Solid); // no such column
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));

    // The table and the runs are those of any line; only the drawing differs.
    QCOMPARE(c.drawnSegments(1).size(), 1);
    // Points alone are all marked, with a small dot, whatever the style.
    const Points both{QPointF(5, 64.5), QPointF(31, 64.5)};
    QCOMPARE(c.markedPoints(3), both);
    c.setMarker(LineChart::Marker::Ball);
    QCOMPARE(c.markedPoints(3), both);
    QCOMPARE(c.markedPoints(1).size(), 40);
    c.setMarker(LineChart::Marker::None);
    const QImage dot = c.markerImage(3);
    QVERIFY(!dot.isNull());
    QVERIFY(dot.width() < c.markerImage(1).width());

    QCoreApplication::processEvents();
    const QImage shot = c.grab().toImage();
    const int x0 = c.mapToPosition(QPointF(8, 0), 1).toPoint().x();
    const int x1 = c.mapToPosition(QPointF(28, 0), 1).toPoint().x();
    // The dashed line: drawn, with gaps.
    const int yDash = c.mapToPosition(QPointF(1, 65.0), 1).toPoint().y();
    const int dashed = drawnPixels(shot, yDash, x0, x1);
    QVERIFY2(dashed > (x1 - x0) / 4 && dashed < (x1 - x0) * 9 / 10, qPrintable(QString::number(dashed)));
    // Between the two dots nothing joins them; on a dot its colour shows.
    const int yDots = c.mapToPosition(QPointF(1, 64.5), 3).toPoint().y();
    QCOMPARE(drawnPixels(shot, yDots, x0, x1), 0);
    const QColor onDot = shot.pixelColor(c.mapToPosition(QPointF(5, 64.5), 3).toPoint());
    QVERIFY2(onDot.green() > onDot.red() + 40, qPrintable(onDot.name())); // the third default colour
}

void TestLineChart::densePointsAreReducedAndStillMarked()
{
    const int n = 32767;
    QList<std::optional<double>> weights;
    weights.reserve(n);
    for (int i = 0; i < n; ++i)
        weights.append(i % 3 == 0 ? std::nullopt : std::optional<double>(60.0 + (i % 50) / 10.0 + (i == 20000 ? 30.0 : 0.0)));
    LineChart c;
    c.resize(500, 300);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.setSeriesLine(1, LineChart::Line::Points);
    c.setColumnValues(1, weights);
    const Points marked = c.markedPoints(1);
    const int plotWidth = int(c.plotArea().width());
    QVERIFY2(!marked.isEmpty() && marked.size() <= 4 * plotWidth, qPrintable(QString::number(marked.size())));
    // The lone high point survives the reduction.
    QVERIFY(marked.contains(QPointF(20001, 90.0)));
}

void TestLineChart::horizontalLinesCrossThePlotWithinTheRange()
{
    LineChart c;
    c.resize(400, 200);
    c.setRowCount(10);
    c.setLeftRange(60, 70);
    const QColor red(0xE0, 0x20, 0x20);
    const QList<LineChart::HorizontalLine> lines{{62.0, red, QStringLiteral("目標")},
                                                 {75.0, red, QString()}}; // above the range
    c.setHorizontalLines(lines);
    QCOMPARE(c.horizontalLines(), lines);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QCoreApplication::processEvents();
    QImage shot = c.grab().toImage();
    const QRect plot = c.plotArea().toRect();
    const int y = c.mapToPosition(QPointF(1, 62.0), 1).toPoint().y();
    // Across the whole plot, broken by its dashes and dots.
    int red_ = 0;
    for (int x = plot.left() + 2; x < plot.right() - 2; ++x)
        red_ += shot.pixelColor(x, y).red() > shot.pixelColor(x, y).blue() + 60 ? 1 : 0;
    QVERIFY2(red_ > plot.width() / 3, qPrintable(QString::number(red_)));
    // Nothing red at the top edge, where 75 would be clamped.
    int top = 0;
    for (int x = plot.left() + 2; x < plot.right() - 2; ++x)
        top += shot.pixelColor(x, plot.top() + 1).red() > shot.pixelColor(x, plot.top() + 1).blue() + 60 ? 1 : 0;
    QCOMPARE(top, 0);

    c.setHorizontalLines({});
    QCoreApplication::processEvents();
    shot = c.grab().toImage();
    QCOMPARE(shot.pixelColor(plot.center().x(), y).red() > shot.pixelColor(plot.center().x(), y).blue() + 60, false);
}

int runLineChartTests(int argc, char **argv)
{
    TestLineChart t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_line_chart.moc"
