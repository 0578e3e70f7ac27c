#pragma once

#include "core/table.h"

#include <QChartView>
#include <QColor>
#include <QImage>
#include <functional>
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

// A line chart over a table of rows x columns (both 1-based); a cell may
// be empty, and an empty cell breaks its line. Each column is one series,
// drawn against the left value axis or the right one; both ranges are set
// by the program, nothing scales automatically. Row n is drawn at x = n.
//
// The chart keeps the whole table. Where a column has more than four
// points per pixel column of the plot, the series is handed the first,
// last, lowest and highest point of each pixel column, which draws the
// same picture at a fraction of the cost; the chart draws such a line
// itself, over the plot, with the column's colour and a one-pixel pen.
// Markers are drawn over the plot,
// so a point on the edge of the range shows its whole marker.
class LineChart : public QChartView {
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

    // The current cell and its value: written as decimal text (empty or not
    // a number makes the cell empty), read as a number (0 when empty).
    void setRow(int row);
    int row() const { return row_; }
    void setColumn(int col);
    int column() const { return col_; }
    void setData(const QString &decimalText);
    double data() const;

    void setValue(int row, int col, std::optional<double> v);
    std::optional<double> value(int row, int col) const;
    // Replaces column col from row 1 on and redraws it at once; grows the
    // row count when values is longer, and empties the rows beyond it.
    void setColumnValues(int col, const QList<std::optional<double>> &values);
    // The same for a computed column of single-precision values.
    void setSeries(int col, const ChartValues &values);

    // Category labels of the x axis (dates, say); a readable subset is shown.
    void setRowLabel(int row, const QString &label);
    QString rowLabel(int row) const;
    // All labels at once, made only for the rows the axis names: a chart of
    // a whole file has thousands of rows and shows a dozen labels.
    void setRowLabels(std::function<QString(int row)> label);

    void setSeriesName(int col, const QString &name);
    QString seriesName(int col) const;
    void setSeriesColor(int col, const QColor &c);
    QColor seriesColor(int col) const;
    void setLegendVisible(bool visible);

    void setLeftRange(double min, double max);
    void setLeftRange(const AxisRange &r) { setLeftRange(r.min, r.max); }
    void setLeftMin(double min);
    void setLeftMax(double max);
    double leftMin() const { return left_.min; }
    double leftMax() const { return left_.max; }
    void setRightRange(double min, double max);
    void setRightRange(const AxisRange &r) { setRightRange(r.min, r.max); }
    void setRightMin(double min);
    void setRightMax(double max);
    double rightMin() const { return right_.min; }
    double rightMax() const { return right_.max; }
    // The right axis shows only while some series is drawn against it.
    void setSeriesOnRightAxis(int col, bool right);
    bool seriesOnRightAxis(int col) const;

    // For every point of every series.
    void setMarker(Marker m);
    Marker marker() const { return marker_; }

    // The runs of points drawn for column col, after pending changes are
    // applied: one list per unbroken piece of line.
    QList<QList<QPointF>> drawnSegments(int col);
    // The picture drawn on each marked point of column col (null: none),
    // and the points that carry it. Without a marker style a point that
    // stands alone still gets a small dot, or it would not show at all.
    QImage markerImage(int col) const;
    QList<QPointF> markedPoints(int col);

signals:
    // A mouse click anywhere in the chart.
    void userClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void showEvent(QShowEvent *event) override;

private:
    bool chartSizeStale_ = false; // the view's size is not yet the chart's
    struct Range {
        double min = 0;
        double max = 100;
    };
    struct Column {
        QString name;
        QColor color;
        bool right = false;
        QList<QLineSeries *> series; // [0] always exists and carries the legend entry
        QList<QPointF> marked;       // points that get a marker
        QList<QPointF> lone;         // points without a neighbour
        bool reduced = false;        // drawn from a per-pixel reduction
        // A reduced column's runs, which the chart draws itself: a series
        // of thousands of points costs Qt Charts a stroked outline of the
        // whole line for mouse hits each time it is laid out.
        QList<QList<QPointF>> dense;
    };

    bool validCell(int row, int col) const;
    void markDirty(int col);
    void markAxisDirty();
    void schedule();
    void applyPending();
    void forcePending();
    void drawColumnNow(int col);
    template <typename Value>
    void fillColumn(int col, const QList<std::optional<Value>> &values);
    void redrawColumn(int col);
    void styleSeries(const Column &c, QLineSeries *s, bool primary);
    int plotWidthPixels() const;
    QLineSeries *addSeries(Column &c);
    void rebuildXAxis();
    void applyRange(QValueAxis *axis, const Range &r);
    void updateRightAxisVisibility();
    void drawDense(QPainter *painter, const Column &c) const;

    std::vector<std::vector<std::optional<double>>> values_; // [col-1][row-1]
    std::vector<Column> columns_;
    std::vector<QString> labels_; // [row-1]
    std::function<QString(int)> labelOf_; // instead of labels_ when set
    int rowCount_ = 0;
    int row_ = 1;
    int col_ = 1;
    Marker marker_ = Marker::None;
    Range left_;
    Range right_;
    QCategoryAxis *axisX_;
    QValueAxis *axisLeft_;
    QValueAxis *axisRight_;
    std::vector<bool> dirty_; // per column
    bool axisDirty_ = true;
    bool pending_ = false;
    bool pressed_ = false;
    bool forced_ = false; // bring a hidden chart up to date too
};
