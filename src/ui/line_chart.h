#pragma once

#include "core/table.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

// A line chart over a table of rows x columns (both 1-based); a cell may
// be empty, and an empty cell breaks its line. Each column is one line,
// drawn against the left value axis or the right one; both ranges are set
// by the program, nothing scales automatically. Row n is drawn at x = n.
//
// The chart keeps the whole table. Where a column has more than four
// points per pixel column of the plot, it draws the first, last, lowest
// and highest point of each pixel column, which draws the same picture at
// a fraction of the cost, with a one-pixel pen. Markers are drawn over the
// plot, so a point on the edge of the range shows its whole marker.
//
// The chart paints itself: it is laid out when its size, ranges or labels
// change, and its lines are worked out when they are next drawn.
class LineChart : public QWidget {
    Q_OBJECT
public:
    enum class Marker { None, Circle, Ball };

    explicit LineChart(QWidget *parent = nullptr);
    ~LineChart() override;

    void setColumnCount(int cols);
    int columnCount() const { return int(values_.size()); }
    // 0 clears all values; growing adds empty rows.
    void setRowCount(int rows);
    int rowCount() const { return rowCount_; }

    // A value that is not a finite number leaves the cell empty.
    void setValue(int row, int col, std::optional<double> v);
    std::optional<double> value(int row, int col) const;
    // Replaces column col from row 1 on; grows the row count when values
    // is longer, and empties the rows beyond it.
    void setColumnValues(int col, const QList<std::optional<double>> &values);
    // The same for a computed column of single-precision values.
    void setSeries(int col, const ChartValues &values);

    // Category labels of the x axis (dates, say); a readable subset is shown.
    void setRowLabel(int row, const QString &label);
    QString rowLabel(int row) const;
    // All labels at once, made only for the rows the axis names: a chart of
    // a whole file has thousands of rows and shows a dozen labels.
    void setRowLabels(std::function<QString(int row)> label);

    // How a column is drawn: a solid line (the default), a dashed line (a
    // forecast), or its points alone as small dots (the values a smoothed
    // line was made from).
    enum class Line { Solid, Dashed, Points };
    void setSeriesLine(int col, Line line);
    Line seriesLine(int col) const;

    // Lines across the whole plot at a value of the left axis (a target
    // weight), each with its colour and a short text at its right end.
    struct HorizontalLine {
        double value = 0;
        QColor color;
        QString label;
        bool operator==(const HorizontalLine &) const = default;
    };
    void setHorizontalLines(const QList<HorizontalLine> &lines);
    QList<HorizontalLine> horizontalLines() const { return hLines_; }

    // A column without a name has no entry in the legend.
    void setSeriesName(int col, const QString &name);
    QString seriesName(int col) const;
    void setSeriesColor(int col, const QColor &c);
    QColor seriesColor(int col) const;
    void setLegendVisible(bool visible);

    void setLeftRange(double min, double max);
    void setLeftRange(const AxisRange &r) { setLeftRange(r.min, r.max); }
    void setLeftMin(double min);
    double leftMin() const { return left_.min; }
    double leftMax() const { return left_.max; }
    void setRightRange(double min, double max);
    void setRightRange(const AxisRange &r) { setRightRange(r.min, r.max); }
    double rightMin() const { return right_.min; }
    double rightMax() const { return right_.max; }
    // The right axis shows only while some series is drawn against it.
    void setSeriesOnRightAxis(int col, bool right);
    bool seriesOnRightAxis(int col) const;
    bool rightAxisVisible() const;

    // For every point of every series.
    void setMarker(Marker m);
    Marker marker() const { return marker_; }

    // What a value axis shows: its range as drawn (a flat or reversed
    // range is widened or turned round) and the labels of its ticks.
    struct AxisScale {
        double min = 0;
        double max = 100;
        QList<double> ticks;
        int decimals = 0;
    };
    AxisScale leftScale() const { return leftScale_; }
    // The rows the x axis names, and their labels, in the order of x.
    QList<std::pair<int, QString>> rowLabelsShown();

    // The plot's rectangle in the widget, and where a value of column col
    // lies in it, as last laid out for the widget's size.
    QRectF plotArea();
    QPointF mapToPosition(const QPointF &value, int col);

    // The runs of points drawn for column col, brought up to date first:
    // one list per unbroken piece of line.
    QList<QList<QPointF>> drawnSegments(int col);
    // The picture drawn on each marked point of column col (null: none),
    // and the points that carry it. Without a marker style a point that
    // stands alone still gets a small dot, or it would not show at all. A
    // column of points alone carries a small dot on each point it draws.
    QImage markerImage(int col) const;
    QList<QPointF> markedPoints(int col);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A mouse click anywhere in the chart.
    void userClicked();
    // The plot moved or changed size within the widget.
    void plotAreaChanged(const QRectF &plot);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Range {
        double min = 0;
        double max = 100;
    };
    struct Column {
        QString name;
        QColor color;
        bool right = false;
        Line line = Line::Solid;
        bool dirty = true;
        bool reduced = false;        // drawn from a per-pixel reduction
        QList<QList<QPointF>> runs;  // unbroken pieces of line, as drawn
        QList<QPointF> marked;       // points that get a marker
        QList<QPointF> lone;         // points without a neighbour
    };

    bool validCell(int row, int col) const;
    void markDirty(int col);
    void markLayoutDirty();
    void bringUpToDate();
    void describeForAccessibility();
    void layOut();
    template <typename Value>
    void fillColumn(int col, const QList<std::optional<Value>> &values);
    void buildRuns(Column &c, const std::vector<std::optional<double>> &values);
    void buildRowLabels();
    static AxisScale scaleOf(const Range &r, const AxisScale &before);
    QString tickText(const AxisScale &s, double v) const;
    QPointF toPixel(double x, double y, const AxisScale &s) const;
    void paintAxes(QPainter &p);
    void paintLegend(QPainter &p);
    void paintHorizontalLines(QPainter &p);

    std::vector<std::vector<std::optional<double>>> values_; // [col-1][row-1]
    std::vector<Column> columns_;
    QList<HorizontalLine> hLines_;
    std::vector<QString> labels_; // [row-1]
    std::function<QString(int)> labelOf_; // instead of labels_ when set
    int rowCount_ = 0;
    Marker marker_ = Marker::None;
    mutable QHash<QString, QImage> markerCache_; // by colour, kind and pixel ratio
    QString madeName_; // the accessible name last made here, not the program's
    bool legend_ = false;
    Range left_;
    Range right_;
    AxisScale leftScale_;
    AxisScale rightScale_;
    // As last laid out.
    bool layoutDirty_ = true;
    bool rowLabelsDirty_ = true;
    QRectF plot_;
    QList<std::pair<int, QString>> rowLabelsShown_;
    bool pressed_ = false;
};
