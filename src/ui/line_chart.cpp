#include "ui/line_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScopedValueRollback>
#include <QValueAxis>
#include <QtMath>
#include <cmath>

namespace {

const QColor kDefaultColors[] = {
    QColor(0x20, 0x40, 0xE0), // blue
    QColor(0xE0, 0x20, 0x20), // red
    QColor(0x20, 0x90, 0x30), // green
    QColor(0xE0, 0x80, 0x00), // orange
    QColor(0x80, 0x30, 0xB0), // purple
    QColor(0x00, 0x90, 0xA0), // teal
};

QColor defaultColor(int col)
{
    return kDefaultColors[size_t(col) % std::size(kDefaultColors)];
}

// 1, 2 or 5 times a power of ten, at least x.
double niceStep(double x)
{
    if (!(x > 0))
        return 1;
    const double p = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * p >= x * (1 - 1e-9))
            return m * p;
    }
    return 10 * p;
}

QImage circleMarker(const QColor &c)
{
    const int size = 9;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return img;
}

// A shaded ball: a highlight up and to the left fading to a darker rim.
QImage ballMarker(const QColor &c)
{
    const int size = 11;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size - 1, size - 1);
    QRadialGradient g(r.center(), size * 0.55, QPointF(size * 0.35, size * 0.32));
    g.setColorAt(0.0, Qt::white);
    g.setColorAt(0.35, c.lighter(130));
    g.setColorAt(1.0, c.darker(220));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(r);
    return img;
}

// Without markers a point with no neighbour would not show at all.
QImage dotMarker(const QColor &c)
{
    const int size = 5;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(0, 0, size, size));
    return img;
}

void styleAxis(QAbstractAxis *axis, const QFont &font)
{
    axis->setLinePen(QPen(QColor(0x40, 0x40, 0x40), 1));
    axis->setGridLinePen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
    axis->setLabelsFont(font);
    axis->setLabelsColor(Qt::black);
}

// The chart is handed to the view as it is made: a view made without one
// makes a chart of its own, which setChart() would leave behind unfreed.
QChart *newChart()
{
    auto *c = new QChart;
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundBrush(Qt::white);
    c->setBackgroundPen(Qt::NoPen);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 6, 4, 2));
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->legend()->setVisible(false);
    c->legend()->setAlignment(Qt::AlignBottom);
    return c;
}

} // namespace

LineChart::LineChart(QWidget *parent)
    : QChartView(newChart(), parent), axisX_(new QCategoryAxis), axisLeft_(new QValueAxis),
      axisRight_(new QValueAxis)
{
    QChart *c = chart();
    c->legend()->setFont(font());

    c->addAxis(axisX_, Qt::AlignBottom);
    c->addAxis(axisLeft_, Qt::AlignLeft);
    c->addAxis(axisRight_, Qt::AlignRight);
    for (QAbstractAxis *axis : {static_cast<QAbstractAxis *>(axisX_),
                                static_cast<QAbstractAxis *>(axisLeft_),
                                static_cast<QAbstractAxis *>(axisRight_)})
        styleAxis(axis, font());
    axisX_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisRight_->setGridLineVisible(false);
    axisRight_->setVisible(false);

    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::white);

    applyRange(axisLeft_, left_);
    applyRange(axisRight_, right_);
    setColumnCount(1);
    applyPending();
}

LineChart::~LineChart() = default;

void LineChart::setColumnCount(int cols)
{
    cols = qMax(1, cols);
    const int old = columnCount();
    if (cols == old)
        return;
    for (int c = old - 1; c >= cols; --c) {
        for (QLineSeries *s : std::as_const(columns_[size_t(c)].series)) {
            chart()->removeSeries(s);
            delete s;
        }
    }
    columns_.resize(size_t(cols));
    values_.resize(size_t(cols));
    dirty_.resize(size_t(cols), false);
    for (int c = old; c < cols; ++c) {
        Column &col = columns_[size_t(c)];
        col.color = defaultColor(c);
        values_[size_t(c)].assign(size_t(rowCount_), std::nullopt);
        addSeries(col);
    }
    col_ = qBound(1, col_, cols);
    updateRightAxisVisibility();
}

void LineChart::setRowCount(int rows)
{
    rows = qMax(0, rows);
    if (rows == rowCount_)
        return;
    const bool shrinking = rows < rowCount_;
    rowCount_ = rows;
    for (size_t c = 0; c < values_.size(); ++c) {
        values_[c].resize(size_t(rows), std::nullopt);
        if (shrinking)
            markDirty(int(c));
    }
    labels_.resize(size_t(rows));
    if (rows == 0)
        labelOf_ = nullptr;
    markAxisDirty();
}

void LineChart::setRow(int row)
{
    row_ = row;
}

void LineChart::setColumn(int col)
{
    col_ = col;
}

void LineChart::setData(const QString &decimalText)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(decimalText.trimmed(), &ok);
    setValue(row_, col_, ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt);
}

double LineChart::data() const
{
    return value(row_, col_).value_or(0.0);
}

bool LineChart::validCell(int row, int col) const
{
    return row >= 1 && row <= rowCount_ && col >= 1 && col <= columnCount();
}

void LineChart::setValue(int row, int col, std::optional<double> v)
{
    if (!validCell(row, col)) {
        qWarning("LineChart %s: no cell (%d, %d)", qPrintable(objectName()), row, col);
        return;
    }
    if (v && !std::isfinite(*v))
        v.reset();
    auto &cell = values_[size_t(col - 1)][size_t(row - 1)];
    if (cell == v)
        return;
    cell = v;
    markDirty(col - 1);
}

std::optional<double> LineChart::value(int row, int col) const
{
    if (!validCell(row, col))
        return std::nullopt;
    return values_[size_t(col - 1)][size_t(row - 1)];
}

template <typename Value>
void LineChart::fillColumn(int col, const QList<std::optional<Value>> &values)
{
    if (col < 1 || col > columnCount()) {
        qWarning("LineChart %s: no column %d", qPrintable(objectName()), col);
        return;
    }
    if (values.size() > rowCount_)
        setRowCount(int(values.size()));
    auto &column = values_[size_t(col - 1)];
    for (size_t r = 0; r < column.size(); ++r) {
        const std::optional<Value> v = r < size_t(values.size()) ? values[qsizetype(r)] : std::nullopt;
        column[r] = v && std::isfinite(*v) ? std::optional<double>(double(*v)) : std::nullopt;
    }
    drawColumnNow(col - 1);
}

void LineChart::setColumnValues(int col, const QList<std::optional<double>> &values)
{
    fillColumn(col, values);
}

void LineChart::setSeries(int col, const ChartValues &values) { fillColumn(col, values); }

void LineChart::setRowLabel(int row, const QString &label)
{
    if (row < 1 || row > rowCount_) {
        qWarning("LineChart %s: no row %d", qPrintable(objectName()), row);
        return;
    }
    if (labelOf_) {
        // A single label on top of a whole set: keep the set's others.
        std::vector<QString> all(static_cast<size_t>(rowCount_));
        for (int r = 1; r <= rowCount_; ++r)
            all[size_t(r - 1)] = labelOf_(r);
        labels_ = std::move(all);
        labelOf_ = nullptr;
    }
    if (labels_[size_t(row - 1)] == label)
        return;
    labels_[size_t(row - 1)] = label;
    markAxisDirty();
}

QString LineChart::rowLabel(int row) const
{
    if (row < 1 || row > rowCount_)
        return {};
    return labelOf_ ? labelOf_(row) : labels_[size_t(row - 1)];
}

void LineChart::setRowLabels(std::function<QString(int)> label)
{
    labelOf_ = std::move(label);
    std::fill(labels_.begin(), labels_.end(), QString());
    markAxisDirty();
}

void LineChart::setSeriesName(int col, const QString &name)
{
    if (col < 1 || col > columnCount())
        return;
    Column &c = columns_[size_t(col - 1)];
    c.name = name;
    for (QLineSeries *s : std::as_const(c.series))
        s->setName(name);
}

QString LineChart::seriesName(int col) const
{
    return col >= 1 && col <= columnCount() ? columns_[size_t(col - 1)].name : QString();
}

void LineChart::setSeriesColor(int col, const QColor &color)
{
    if (col < 1 || col > columnCount())
        return;
    Column &c = columns_[size_t(col - 1)];
    c.color = color.isValid() ? color : defaultColor(col - 1);
    for (int i = 0; i < c.series.size(); ++i)
        styleSeries(c, c.series[i], i == 0);
    viewport()->update();
}

QColor LineChart::seriesColor(int col) const
{
    return col >= 1 && col <= columnCount() ? columns_[size_t(col - 1)].color : QColor();
}

void LineChart::setLegendVisible(bool visible)
{
    chart()->legend()->setVisible(visible);
}

void LineChart::setLeftRange(double min, double max)
{
    left_ = {min, max};
    applyRange(axisLeft_, left_);
}

void LineChart::setLeftMin(double min)
{
    setLeftRange(min, left_.max);
}

void LineChart::setLeftMax(double max)
{
    setLeftRange(left_.min, max);
}

void LineChart::setRightRange(double min, double max)
{
    right_ = {min, max};
    applyRange(axisRight_, right_);
}

void LineChart::setRightMin(double min)
{
    setRightRange(min, right_.max);
}

void LineChart::setRightMax(double max)
{
    setRightRange(right_.min, max);
}

void LineChart::setSeriesOnRightAxis(int col, bool right)
{
    if (col < 1 || col > columnCount())
        return;
    Column &c = columns_[size_t(col - 1)];
    if (c.right == right)
        return;
    c.right = right;
    for (QLineSeries *s : std::as_const(c.series)) {
        s->detachAxis(right ? axisLeft_ : axisRight_);
        s->attachAxis(right ? axisRight_ : axisLeft_);
    }
    updateRightAxisVisibility();
}

bool LineChart::seriesOnRightAxis(int col) const
{
    return col >= 1 && col <= columnCount() && columns_[size_t(col - 1)].right;
}

void LineChart::setMarker(Marker m)
{
    if (m == marker_)
        return;
    marker_ = m;
    viewport()->update();
}

QImage LineChart::markerImage(int col) const
{
    if (col < 1 || col > columnCount())
        return {};
    const QColor color = columns_[size_t(col - 1)].color;
    switch (marker_) {
    case Marker::Circle: return circleMarker(color);
    case Marker::Ball: return ballMarker(color);
    case Marker::None: return dotMarker(color);
    }
    return {};
}

QList<QPointF> LineChart::markedPoints(int col)
{
    forcePending();
    if (col < 1 || col > columnCount())
        return {};
    const Column &c = columns_[size_t(col - 1)];
    return marker_ == Marker::None ? c.lone : c.marked;
}

QList<QList<QPointF>> LineChart::drawnSegments(int col)
{
    forcePending();
    QList<QList<QPointF>> out;
    if (col < 1 || col > columnCount())
        return out;
    if (columns_[size_t(col - 1)].reduced)
        return columns_[size_t(col - 1)].dense;
    for (const QLineSeries *s : columns_[size_t(col - 1)].series) {
        if (s->count() > 0)
            out.append(s->points());
    }
    return out;
}

void LineChart::mousePressEvent(QMouseEvent *event)
{
    QChartView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept(); // the click is ours even where no chart item takes it
    }
}

void LineChart::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double-click counts as a click of its own.
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QChartView::mouseDoubleClickEvent(event);
}

void LineChart::mouseReleaseEvent(QMouseEvent *event)
{
    QChartView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        if (rect().contains(event->position().toPoint()))
            emit userClicked();
    }
}

void LineChart::paintEvent(QPaintEvent *event)
{
    // A grab of the window paints without running queued work first.
    if (pending_)
        applyPending();
    QChartView::paintEvent(event);
}

void LineChart::resizeEvent(QResizeEvent *event)
{
    // The chart takes the new size with the pending data, in one layout.
    // Laid out at once and again when its data landed, as on a screen
    // being shown, it measured all its axis labels twice or more.
    QGraphicsView::resizeEvent(event);
    chartSizeStale_ = true;
    markAxisDirty(); // how many row labels fit depends on the width
    // A reduction is made for a width; dense columns are reduced afresh.
    for (size_t c = 0; c < columns_.size(); ++c)
        if (values_[c].size() > size_t(4 * qMax(1, plotWidthPixels())) || columns_[c].reduced)
            markDirty(int(c));
}

// Markers go over the plot rather than into it, so the plot's edge never
// cuts one in half; only points inside the axis ranges are marked.
void LineChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    for (const Column &c : columns_)
        if (!c.dense.isEmpty())
            drawDense(painter, c);
    const QRectF plot = chart()->plotArea().adjusted(-0.5, -0.5, 0.5, 0.5);
    for (int col = 1; col <= columnCount(); ++col) {
        const Column &c = columns_[size_t(col - 1)];
        const QList<QPointF> &points = marker_ == Marker::None ? c.lone : c.marked;
        if (points.isEmpty() || c.series.isEmpty())
            continue;
        const QImage img = markerImage(col);
        for (const QPointF &p : points) {
            const QPointF at = chart()->mapToPosition(p, c.series.first());
            if (!plot.contains(at))
                continue;
            const QPointF scene = chart()->mapToScene(at);
            painter->drawImage(QPointF(scene.x() - img.width() / 2.0, scene.y() - img.height() / 2.0),
                               img);
        }
    }
}

// The same mapping from values to the plot as the chart's own series use,
// clipped to the plot as they are, edges included.
void LineChart::drawDense(QPainter *painter, const Column &c) const
{
    const QValueAxis *y = c.right ? axisRight_ : axisLeft_;
    const QRectF plot = chart()->plotArea();
    const double xSpan = axisX_->max() - axisX_->min();
    const double ySpan = y->max() - y->min();
    if (plot.isEmpty() || !(xSpan > 0) || !(ySpan > 0))
        return;
    const double sx = plot.width() / xSpan;
    const double sy = plot.height() / ySpan;
    const QPointF origin = chart()->mapToScene(plot.topLeft());
    const double x0 = origin.x() - axisX_->min() * sx;
    const double y0 = origin.y() + plot.height() + y->min() * sy;

    painter->save();
    painter->setClipRect(QRectF(origin, plot.size()).adjusted(-0.5, -0.5, 0.5, 0.5), Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(c.color, 1));
    QList<QPointF> line;
    for (const QList<QPointF> &run : c.dense) {
        line.resize(run.size());
        for (qsizetype i = 0; i < run.size(); ++i)
            line[i] = QPointF(x0 + run[i].x() * sx, y0 - run[i].y() * sy);
        painter->drawPolyline(line.constData(), int(line.size()));
    }
    painter->restore();
}

int LineChart::plotWidthPixels() const
{
    // The chart may not have the view's size yet: the room its axes took
    // when it was last laid out is taken off the view's width.
    const QRectF plot = chart()->plotArea();
    const qreal chartWidth = chart()->size().width();
    if (plot.width() > 0 && chartWidth > 0)
        return qMax(1, int(width() - (chartWidth - plot.width())));
    return qMax(1, width() - 60);
}

void LineChart::markDirty(int col)
{
    dirty_[size_t(col)] = true;
    schedule();
}

void LineChart::markAxisDirty()
{
    axisDirty_ = true;
    schedule();
}

// Cell writes come one by one, often thousands in a row; the drawing is
// brought up to date once, when control returns to the event loop.
void LineChart::schedule()
{
    if (pending_)
        return;
    pending_ = true;
    QMetaObject::invokeMethod(this, &LineChart::applyPending, Qt::QueuedConnection);
}

// A column set in one piece is drawn at once on a chart that shows; a
// hidden chart (another screen's, or the view not chosen) is drawn when it
// is shown, so that filling it costs nothing until then.
void LineChart::drawColumnNow(int col)
{
    if (!isVisible() && !forced_) {
        markDirty(col);
        return;
    }
    redrawColumn(col);
    dirty_[size_t(col)] = false;
    if (axisDirty_)
        rebuildXAxis();
}

void LineChart::forcePending()
{
    const QScopedValueRollback force(forced_, true);
    applyPending();
}

void LineChart::showEvent(QShowEvent *event)
{
    QChartView::showEvent(event);
    if (pending_ || std::find(dirty_.begin(), dirty_.end(), true) != dirty_.end() || axisDirty_ ||
        chartSizeStale_)
        applyPending();
}

void LineChart::applyPending()
{
    pending_ = false;
    if (!isVisible() && !forced_)
        return; // drawn when shown

    for (size_t c = 0; c < dirty_.size(); ++c) {
        if (dirty_[c]) {
            dirty_[c] = false;
            redrawColumn(int(c));
        }
    }
    if (axisDirty_)
        rebuildXAxis();
    // Last, so the one layout the chart then gets has the new data in it.
    if (chartSizeStale_) {
        chartSizeStale_ = false;
        QResizeEvent resize(size(), size());
        QChartView::resizeEvent(&resize);
    }
}

namespace {

// The first, lowest, highest and last point of every pixel column a run
// covers, in the order of x: the line through them draws what the full
// run draws.
QList<QPointF> reduceRun(const QList<QPointF> &run, double x0, double pixelsPerRow)
{
    QList<QPointF> out;
    qsizetype i = 0;
    while (i < run.size()) {
        const qint64 px = qint64(std::floor((run[i].x() - x0) * pixelsPerRow));
        qsizetype first = i, low = i, high = i, last = i;
        while (i < run.size() && qint64(std::floor((run[i].x() - x0) * pixelsPerRow)) == px) {
            if (run[i].y() < run[low].y())
                low = i;
            if (run[i].y() > run[high].y())
                high = i;
            last = i;
            ++i;
        }
        qsizetype keep[4] = {first, qMin(low, high), qMax(low, high), last};
        for (int k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1])
                out.append(run[keep[k]]);
    }
    return out;
}

} // namespace

// One series per unbroken run of values, so an empty cell leaves a gap.
void LineChart::redrawColumn(int col)
{
    Column &c = columns_[size_t(col)];
    const auto &values = values_[size_t(col)];
    QList<QList<QPointF>> runs;
    QList<QPointF> run;
    qsizetype total = 0;
    for (size_t r = 0; r < values.size(); ++r) {
        if (values[r]) {
            run.append(QPointF(double(r + 1), *values[r]));
            ++total;
        } else if (!run.isEmpty()) {
            runs.append(run);
            run.clear();
        }
    }
    if (!run.isEmpty())
        runs.append(run);

    c.lone.clear();
    for (const QList<QPointF> &r : std::as_const(runs))
        if (r.size() == 1)
            c.lone.append(r.first());

    const int pixels = plotWidthPixels();
    c.reduced = total > 4 * qsizetype(pixels);
    if (c.reduced) {
        // Rows 0.5 .. n + 0.5 span the plot's width.
        const double pixelsPerRow = double(pixels) / qMax(1, rowCount_);
        for (QList<QPointF> &r : runs)
            r = reduceRun(r, 0.5, pixelsPerRow);
    }
    // A marker on every point only where the points can be told apart.
    c.marked.clear();
    if (!c.reduced)
        for (const QList<QPointF> &r : std::as_const(runs))
            c.marked += r;

    // A reduced column keeps one empty series for its legend entry.
    c.dense = c.reduced ? std::move(runs) : QList<QList<QPointF>>();
    if (c.reduced)
        runs.clear();
    const qsizetype wanted = qMax<qsizetype>(1, runs.size());
    while (c.series.size() > wanted) {
        QLineSeries *s = c.series.takeLast();
        chart()->removeSeries(s);
        delete s;
    }
    while (c.series.size() < wanted)
        addSeries(c);
    for (qsizetype i = 0; i < c.series.size(); ++i) {
        if (c.series[i]->pen().width() != (c.reduced ? 1 : 2))
            styleSeries(c, c.series[i], i == 0);
        if (i < runs.size() || c.series[i]->count() > 0)
            c.series[i]->replace(i < runs.size() ? runs[i] : QList<QPointF>());
    }
    // Smoothing the edges of thousands of short segments costs far more
    // than it shows; a chart of a few points keeps its smooth lines.
    const bool dense = std::any_of(columns_.begin(), columns_.end(), [](const Column &k) { return k.reduced; });
    setRenderHint(QPainter::Antialiasing, !dense);
    viewport()->update();
}

QLineSeries *LineChart::addSeries(Column &c)
{
    auto *s = new QLineSeries;
    chart()->addSeries(s);
    s->attachAxis(axisX_);
    s->attachAxis(c.right ? axisRight_ : axisLeft_);
    const bool primary = c.series.isEmpty();
    c.series.append(s);
    styleSeries(c, s, primary);
    return s;
}

void LineChart::styleSeries(const Column &c, QLineSeries *s, bool primary)
{
    s->setName(c.name);
    // A line of a few points per pixel is as thick as its ups and downs
    // already; a one-pixel pen draws it many times faster than a stroked one.
    s->setPen(QPen(c.color, c.reduced ? 1 : 2));
    if (!primary) {
        // Pieces after a gap belong to the same legend entry.
        const auto markers = chart()->legend()->markers(s);
        for (QLegendMarker *m : markers)
            m->setVisible(false);
    }
}

// Row numbers, or the row labels when there are any, at a spacing that
// leaves room for each label.
void LineChart::rebuildXAxis()
{
    axisDirty_ = false;
    const int n = qMax(1, rowCount_);
    const QStringList old = axisX_->categoriesLabels();
    for (const QString &label : old)
        axisX_->remove(label);
    axisX_->setRange(0.5, n + 0.5);
    axisX_->setStartValue(0.5);
    if (rowCount_ == 0)
        return; // an empty chart has no rows to name

    const bool labelled =
        labelOf_ || std::any_of(labels_.begin(), labels_.end(), [](const QString &l) { return !l.isEmpty(); });
    const int labelSlots = qBound(2, width() / (labelled ? 90 : 50), 12);
    if (labelled) {
        const int step = qMax(1, (n + labelSlots - 1) / labelSlots);
        for (int r = 1; r <= rowCount_; r += step) {
            const QString label = rowLabel(r);
            if (!label.isEmpty())
                axisX_->append(label, r); // a repeated label is skipped by the axis
        }
    } else {
        const int step = qMax(1, int(niceStep(double(n) / labelSlots)));
        if (step > 1)
            axisX_->append(QStringLiteral("1"), 1);
        for (int r = step; r <= n; r += step)
            axisX_->append(QString::number(r), r);
    }
}

void LineChart::applyRange(QValueAxis *axis, const Range &r)
{
    double lo = r.min;
    double hi = r.max;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return;
    if (lo > hi)
        std::swap(lo, hi);
    if (lo == hi) {
        // A flat range (one whole-number weight) still needs room to show it.
        lo -= 1;
        hi += 1;
    }
    const double step = niceStep((hi - lo) / 8);
    axis->setRange(lo, hi);
    // Fixed ticks when the step divides the range, so the top tick is not
    // lost to rounding (a dynamic 0.2 step from 69 stops at 69.8 of 70).
    const double parts = (hi - lo) / step;
    if (std::abs(parts - std::round(parts)) < 1e-6 && std::round(parts) <= 20) {
        axis->setTickType(QValueAxis::TicksFixed);
        axis->setTickCount(int(std::round(parts)) + 1);
    } else {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(step);
    }
    axis->setLabelFormat(step >= 1 ? QStringLiteral("%.0f")
                         : step >= 0.1 ? QStringLiteral("%.1f")
                                       : QStringLiteral("%.2f"));
    viewport()->update();
}

void LineChart::updateRightAxisVisibility()
{
    const bool any =
        std::any_of(columns_.begin(), columns_.end(), [](const Column &c) { return c.right; });
    axisRight_->setVisible(any);
    viewport()->update();
}
