#include "ui/line_chart.h"

#include "store/format.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
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

// A transparent picture of size × size logical pixels, sharp on a screen
// of the given device pixel ratio.
QImage blankMarker(int size, qreal dpr)
{
    const int device = int(std::ceil(size * dpr));
    QImage img(device, device, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    return img;
}

QImage circleMarker(const QColor &c, qreal dpr)
{
    const int size = 9;
    QImage img = blankMarker(size, dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return img;
}

// A small filled dot for a column of points alone: many of them lie close
// together, and the line drawn through them stays readable.
QImage pointMarker(const QColor &c, qreal dpr)
{
    const int size = 5;
    QImage img = blankMarker(size, dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(0, 0, size, size));
    return img;
}

// A shaded ball: a highlight up and to the left fading to a darker rim.
QImage ballMarker(const QColor &c, qreal dpr)
{
    const int size = 11;
    QImage img = blankMarker(size, dpr);
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
// Room around the parts of the chart, in pixels.
constexpr int kMarginLeft = 4;
constexpr int kMarginTop = 6;
constexpr int kMarginRight = 8;
constexpr int kMarginBottom = 2;
constexpr int kTick = 5;     // tick marks stand out of the axis by this much
constexpr int kLabelGap = 3; // between a tick mark and its label
constexpr int kSwatch = 8;   // a legend entry's colour square
constexpr int kLegendGap = 16; // above and below the legend, together

const QColor kAxisColor(0x40, 0x40, 0x40);
const QColor kGridColor(0xE0, 0xE0, 0xE0);

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

LineChart::LineChart(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    leftScale_ = scaleOf(left_, leftScale_);
    rightScale_ = scaleOf(right_, rightScale_);
    setColumnCount(1);
}

LineChart::~LineChart() = default;

QSize LineChart::sizeHint() const { return QSize(320, 240); }

QSize LineChart::minimumSizeHint() const { return QSize(120, 90); }

void LineChart::setColumnCount(int cols)
{
    cols = qMax(1, cols);
    const int old = columnCount();
    if (cols == old)
        return;
    columns_.resize(size_t(cols));
    values_.resize(size_t(cols));
    for (int c = old; c < cols; ++c) {
        columns_[size_t(c)].color = defaultColor(c);
        values_[size_t(c)].assign(size_t(rowCount_), std::nullopt);
    }
    markLayoutDirty(); // the right axis may come or go
}

void LineChart::setRowCount(int rows)
{
    rows = qMax(0, rows);
    if (rows == rowCount_)
        return;
    rowCount_ = rows;
    for (size_t c = 0; c < values_.size(); ++c) {
        values_[c].resize(size_t(rows), std::nullopt);
        markDirty(int(c)); // the rows span the plot anew
    }
    labels_.resize(size_t(rows));
    if (rows == 0)
        labelOf_ = nullptr;
    rowLabelsDirty_ = true;
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
    markDirty(col - 1);
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
    rowLabelsDirty_ = true;
    update();
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
    rowLabelsDirty_ = true;
    update();
}

void LineChart::setSeriesName(int col, const QString &name)
{
    if (col < 1 || col > columnCount())
        return;
    columns_[size_t(col - 1)].name = name;
    update();
}

void LineChart::setSeriesLine(int col, Line line)
{
    if (col < 1 || col > columnCount())
        return;
    Column &c = columns_[size_t(col - 1)];
    if (c.line == line)
        return;
    c.line = line;
    markDirty(col - 1); // points alone are marked differently
}

LineChart::Line LineChart::seriesLine(int col) const
{
    return col >= 1 && col <= columnCount() ? columns_[size_t(col - 1)].line : Line::Solid;
}

void LineChart::setHorizontalLines(const QList<HorizontalLine> &lines)
{
    if (lines == hLines_)
        return;
    hLines_ = lines;
    update();
}

QString LineChart::seriesName(int col) const
{
    return col >= 1 && col <= columnCount() ? columns_[size_t(col - 1)].name : QString();
}

void LineChart::setSeriesColor(int col, const QColor &color)
{
    if (col < 1 || col > columnCount())
        return;
    columns_[size_t(col - 1)].color = color.isValid() ? color : defaultColor(col - 1);
    update();
}

QColor LineChart::seriesColor(int col) const
{
    return col >= 1 && col <= columnCount() ? columns_[size_t(col - 1)].color : QColor();
}

void LineChart::setLegendVisible(bool visible)
{
    if (legend_ == visible)
        return;
    legend_ = visible;
    markLayoutDirty();
}

void LineChart::setLeftRange(double min, double max)
{
    left_ = {min, max};
    leftScale_ = scaleOf(left_, leftScale_);
    markLayoutDirty();
}

void LineChart::setLeftMin(double min)
{
    setLeftRange(min, left_.max);
}

void LineChart::setRightRange(double min, double max)
{
    right_ = {min, max};
    rightScale_ = scaleOf(right_, rightScale_);
    markLayoutDirty();
}

void LineChart::setSeriesOnRightAxis(int col, bool right)
{
    if (col < 1 || col > columnCount())
        return;
    Column &c = columns_[size_t(col - 1)];
    if (c.right == right)
        return;
    c.right = right;
    markLayoutDirty();
}

bool LineChart::seriesOnRightAxis(int col) const
{
    return col >= 1 && col <= columnCount() && columns_[size_t(col - 1)].right;
}

bool LineChart::rightAxisVisible() const
{
    return std::any_of(columns_.begin(), columns_.end(), [](const Column &c) { return c.right; });
}

void LineChart::setMarker(Marker m)
{
    if (m == marker_)
        return;
    marker_ = m;
    update();
}

QImage LineChart::markerImage(int col) const
{
    if (col < 1 || col > columnCount())
        return {};
    const QColor color = columns_[size_t(col - 1)].color;
    const bool points = columns_[size_t(col - 1)].line == Line::Points;
    // Drawn once per colour, kind and screen sharpness, not on every paint.
    const qreal dpr = devicePixelRatioF();
    const QString key = QStringLiteral("%1/%2/%3")
                            .arg(color.rgba())
                            .arg(points ? -1 : int(marker_))
                            .arg(dpr);
    if (const auto hit = markerCache_.constFind(key); hit != markerCache_.cend())
        return *hit;
    QImage img;
    if (points) {
        img = pointMarker(color, dpr);
    } else {
        switch (marker_) {
        case Marker::Circle: img = circleMarker(color, dpr); break;
        case Marker::Ball: img = ballMarker(color, dpr); break;
        // Without a style only a point standing alone is marked, as a
        // circle: a dot of a few pixels was easily taken for a speck of dirt.
        case Marker::None: img = circleMarker(color, dpr); break;
        }
    }
    markerCache_.insert(key, img);
    return img;
}

QList<QPointF> LineChart::markedPoints(int col)
{
    bringUpToDate();
    if (col < 1 || col > columnCount())
        return {};
    const Column &c = columns_[size_t(col - 1)];
    return marker_ == Marker::None && c.line != Line::Points ? c.lone : c.marked;
}

QList<QList<QPointF>> LineChart::drawnSegments(int col)
{
    bringUpToDate();
    if (col < 1 || col > columnCount())
        return {};
    return columns_[size_t(col - 1)].runs;
}

QList<std::pair<int, QString>> LineChart::rowLabelsShown()
{
    bringUpToDate();
    return rowLabelsShown_;
}

QRectF LineChart::plotArea()
{
    bringUpToDate();
    return plot_;
}

QPointF LineChart::mapToPosition(const QPointF &value, int col)
{
    bringUpToDate();
    return toPixel(value.x(), value.y(), seriesOnRightAxis(col) ? rightScale_ : leftScale_);
}

void LineChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    pressed_ = true;
    event->accept();
}

void LineChart::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double-click counts as a click of its own.
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    pressed_ = true;
    event->accept();
}

void LineChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit userClicked();
}

void LineChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // How many row labels fit depends on the width.
    rowLabelsDirty_ = true;
    layoutDirty_ = true;
    if (isVisible())
        layOut();
}

void LineChart::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (layoutDirty_)
        layOut();
}

void LineChart::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        markLayoutDirty();
}

void LineChart::markDirty(int col)
{
    columns_[size_t(col)].dirty = true;
    update();
}

// The plot's place depends on the widths of the axis labels. A chart that
// shows is laid out again before it is next painted, so that whoever
// follows the plot's place hears of it outside a paint.
void LineChart::markLayoutDirty()
{
    update();
    if (layoutDirty_)
        return;
    layoutDirty_ = true;
    if (isVisible())
        QMetaObject::invokeMethod(
            this, [this] { if (layoutDirty_) layOut(); }, Qt::QueuedConnection);
}

void LineChart::bringUpToDate()
{
    if (layoutDirty_)
        layOut();
    if (rowLabelsDirty_)
        buildRowLabels();
    for (size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].dirty)
            buildRuns(columns_[c], values_[c]);
    describeForAccessibility();
}

// What a screen reader says of the chart: its series by name, and the
// ranges of its axes. A name the program gave the chart stays; the series
// are then said first in the description.
void LineChart::describeForAccessibility()
{
    QStringList names;
    for (const Column &c : columns_)
        if (!c.name.isEmpty())
            names.append(c.name);
    const QString series = names.join(QStringLiteral("・"));
    const bool programsName = !accessibleName().isEmpty() && accessibleName() != madeName_;
    QString description = QStringLiteral("左の軸 %1～%2")
                              .arg(tickText(leftScale_, leftScale_.min), tickText(leftScale_, leftScale_.max));
    if (rightAxisVisible())
        description += QStringLiteral("、右の軸 %1～%2")
                           .arg(tickText(rightScale_, rightScale_.min), tickText(rightScale_, rightScale_.max));
    description += QStringLiteral("、%1 行").arg(rowCount_);
    if (programsName && !series.isEmpty())
        description = QStringLiteral("%1、%2").arg(series, description);
    if (!programsName) {
        madeName_ = series.isEmpty() ? QStringLiteral("グラフ") : QStringLiteral("グラフ: %1").arg(series);
        if (accessibleName() != madeName_)
            setAccessibleName(madeName_);
    }
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

void LineChart::layOut()
{
    layoutDirty_ = false;
    const QFontMetrics fm(font());
    auto widest = [&](const AxisScale &s) {
        int w = 0;
        for (double t : s.ticks)
            w = qMax(w, fm.horizontalAdvance(tickText(s, t)));
        return w;
    };
    const int lh = fm.height();
    const double left = kMarginLeft + widest(leftScale_) + kLabelGap + kTick;
    const double right = width() - kMarginRight -
                         (rightAxisVisible() ? widest(rightScale_) + kLabelGap + kTick : 0);
    const double top = kMarginTop + lh / 2.0;
    const double bottom = height() - kMarginBottom - kTick - kLabelGap - lh - (legend_ ? lh + kLegendGap : 0);
    const QRectF plot(left, top, qMax(0.0, right - left), qMax(0.0, bottom - top));
    if (plot == plot_)
        return;
    // A reduction is made for a width: dense columns are reduced afresh.
    if (qRound(plot.width()) != qRound(plot_.width()))
        for (size_t c = 0; c < columns_.size(); ++c)
            if (columns_[c].reduced || values_[c].size() > size_t(4 * qMax(1, qRound(plot.width()))))
                columns_[c].dirty = true;
    plot_ = plot;
    emit plotAreaChanged(plot_);
}

// Row numbers, or the row labels when there are any, at a spacing that
// leaves room for each label.
void LineChart::buildRowLabels()
{
    rowLabelsDirty_ = false;
    rowLabelsShown_.clear();
    const int n = rowCount_;
    if (n == 0)
        return; // an empty chart has no rows to name
    const bool labelled =
        labelOf_ || std::any_of(labels_.begin(), labels_.end(), [](const QString &l) { return !l.isEmpty(); });
    const int labelSlots = qBound(2, width() / (labelled ? 90 : 50), 12);
    if (labelled) {
        const int step = qMax(1, (n + labelSlots - 1) / labelSlots);
        for (int r = 1; r <= n; r += step) {
            const QString label = rowLabel(r);
            const bool repeated = std::any_of(rowLabelsShown_.begin(), rowLabelsShown_.end(),
                                              [&](const auto &shown) { return shown.second == label; });
            if (!label.isEmpty() && !repeated)
                rowLabelsShown_.append({r, label});
        }
    } else {
        const int step = qMax(1, int(niceStep(double(n) / labelSlots)));
        if (step > 1)
            rowLabelsShown_.append({1, QStringLiteral("1")});
        for (int r = step; r <= n; r += step)
            rowLabelsShown_.append({r, QString::number(r)});
    }
}

// One line per unbroken run of values, so an empty cell leaves a gap.
void LineChart::buildRuns(Column &c, const std::vector<std::optional<double>> &values)
{
    c.dirty = false;
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

    const int pixels = qMax(1, qRound(plot_.width()));
    c.reduced = total > 4 * qsizetype(pixels);
    if (c.reduced) {
        // Rows 0.5 .. n + 0.5 span the plot's width.
        const double pixelsPerRow = double(pixels) / qMax(1, rowCount_);
        for (QList<QPointF> &r : runs)
            r = reduceRun(r, 0.5, pixelsPerRow);
    }
    // A marker on every point only where the points can be told apart.
    c.marked.clear();
    if (c.line == Line::Points) {
        // No line joins them, so the gaps between runs do not count: the
        // whole column is reduced as one, or short runs would keep it dense.
        for (const QList<QPointF> &r : std::as_const(runs))
            c.marked += r;
        if (c.reduced)
            c.marked = reduceRun(c.marked, 0.5, double(pixels) / qMax(1, rowCount_));
    } else if (!c.reduced) {
        for (const QList<QPointF> &r : std::as_const(runs))
            c.marked += r;
    }
    c.runs = std::move(runs);
}

LineChart::AxisScale LineChart::scaleOf(const Range &r, const AxisScale &before)
{
    double lo = r.min;
    double hi = r.max;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return before;
    if (lo > hi)
        std::swap(lo, hi);
    if (lo == hi) {
        // A flat range (one whole-number weight) still needs room to show it.
        lo -= 1;
        hi += 1;
    }
    AxisScale s;
    s.min = lo;
    s.max = hi;
    const double step = niceStep((hi - lo) / 8);
    const double parts = (hi - lo) / step;
    if (std::abs(parts - std::round(parts)) < 1e-6 && std::round(parts) <= 20) {
        // The step divides the range: ticks from end to end, so the top
        // tick is not lost to rounding (a 0.2 step from 69 to 70).
        const int n = int(std::round(parts));
        for (int k = 0; k <= n; ++k)
            s.ticks.append(k == n ? hi : lo + k * step);
    } else {
        // Else at the multiples of the step within the range.
        const qint64 first = qint64(std::ceil(lo / step - 1e-9));
        for (qint64 k = first; k * step <= hi + step * 1e-9 && s.ticks.size() <= 40; ++k)
            s.ticks.append(k * step);
    }
    s.decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
    return s;
}

QString LineChart::tickText(const AxisScale &s, double v) const
{
    static constexpr QStringView kPatterns[] = {u"0", u"0.0", u"0.00"};
    return fmt::number(v, kPatterns[qBound(0, s.decimals, 2)]);
}

QPointF LineChart::toPixel(double x, double y, const AxisScale &s) const
{
    const double n = qMax(1, rowCount_);
    const double span = s.max - s.min;
    return QPointF(plot_.left() + (x - 0.5) / n * plot_.width(),
                   plot_.bottom() - (span > 0 ? (y - s.min) / span : 0.5) * plot_.height());
}

void LineChart::paintEvent(QPaintEvent *)
{
    bringUpToDate();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (plot_.isEmpty())
        return;
    paintAxes(p);
    paintHorizontalLines(p);

    // The lines, clipped to the plot as a chart's lines are, edges
    // included. Smoothing the edges of thousands of short segments costs
    // far more than it shows: a reduced line is drawn with a plain pen.
    p.save();
    p.setClipRect(plot_.adjusted(-1, -1, 1, 1));
    QList<QPointF> line;
    for (const Column &c : columns_) {
        if (c.line == Line::Points)
            continue;
        const AxisScale &s = c.right ? rightScale_ : leftScale_;
        // A dash needs the width of a line to show as one.
        const bool dashed = c.line == Line::Dashed;
        p.setRenderHint(QPainter::Antialiasing, !c.reduced || dashed);
        // Round joins are worked out as curves at every point: where the
        // points lie closer than a pixel a plain join draws the same line.
        const bool dense = c.reduced || c.marked.size() > plot_.width();
        p.setPen(QPen(c.color, c.reduced && !dashed ? 1 : 2, dashed ? Qt::DashLine : Qt::SolidLine,
                      dashed ? Qt::FlatCap : Qt::RoundCap, dense ? Qt::BevelJoin : Qt::RoundJoin));
        for (const QList<QPointF> &run : c.runs) {
            if (run.size() < 2)
                continue;
            line.resize(run.size());
            for (qsizetype i = 0; i < run.size(); ++i)
                line[i] = toPixel(run[i].x(), run[i].y(), s);
            p.drawPolyline(line.constData(), int(line.size()));
        }
    }
    p.restore();

    // Markers go over the plot rather than into it, so the plot's edge
    // never cuts one in half; only points inside the axis ranges are marked.
    const QRectF inside = plot_.adjusted(-0.5, -0.5, 0.5, 0.5);
    for (int col = 1; col <= columnCount(); ++col) {
        const Column &c = columns_[size_t(col - 1)];
        const QList<QPointF> &points = marker_ == Marker::None && c.line != Line::Points ? c.lone : c.marked;
        if (points.isEmpty())
            continue;
        const AxisScale &s = c.right ? rightScale_ : leftScale_;
        const QImage img = markerImage(col);
        for (const QPointF &v : points) {
            const QPointF at = toPixel(v.x(), v.y(), s);
            if (inside.contains(at)) {
                const QSizeF size = img.deviceIndependentSize();
                p.drawImage(QPointF(at.x() - size.width() / 2.0, at.y() - size.height() / 2.0), img);
            }
        }
    }
    if (legend_)
        paintLegend(p);
}

// Grid lines behind, then the axis lines, their tick marks and labels.
void LineChart::paintAxes(QPainter &p)
{
    const QFontMetrics fm(font());
    const int lh = fm.height();
    const int left = qRound(plot_.left());
    const int right = qRound(plot_.right());
    const int top = qRound(plot_.top());
    const int bottom = qRound(plot_.bottom());
    const bool rightAxis = rightAxisVisible();
    auto yOf = [&](const AxisScale &s, double v) { return qRound(toPixel(1, v, s).y()); };
    auto xOf = [&](int row) { return qRound(toPixel(row, 0, leftScale_).x()); };

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kGridColor);
    for (double t : leftScale_.ticks)
        p.drawLine(left, yOf(leftScale_, t), right, yOf(leftScale_, t));
    for (const auto &[row, label] : rowLabelsShown_) {
        p.drawLine(xOf(row), top, xOf(row), bottom);
    }

    p.setPen(kAxisColor);
    p.drawLine(left, top, left, bottom);
    p.drawLine(left, bottom, right, bottom);
    if (rightAxis)
        p.drawLine(right, top, right, bottom);
    for (double t : leftScale_.ticks)
        p.drawLine(left - kTick, yOf(leftScale_, t), left, yOf(leftScale_, t));
    if (rightAxis)
        for (double t : rightScale_.ticks)
            p.drawLine(right, yOf(rightScale_, t), right + kTick, yOf(rightScale_, t));
    for (const auto &[row, label] : rowLabelsShown_) {
        p.drawLine(xOf(row), bottom, xOf(row), bottom + kTick);
    }

    p.setPen(Qt::black);
    const int labelLeftEdge = left - kTick - kLabelGap;
    for (double t : leftScale_.ticks)
        p.drawText(QRect(0, yOf(leftScale_, t) - lh / 2, labelLeftEdge, lh), Qt::AlignRight | Qt::AlignVCenter,
                   tickText(leftScale_, t));
    if (rightAxis)
        for (double t : rightScale_.ticks)
            p.drawText(QRect(right + kTick + kLabelGap, yOf(rightScale_, t) - lh / 2,
                             width() - right - kTick - kLabelGap, lh),
                       Qt::AlignLeft | Qt::AlignVCenter, tickText(rightScale_, t));
    // A row label stands centred under its row, moved in where it would
    // leave the chart.
    for (const auto &[row, label] : rowLabelsShown_) {
        const int w = fm.horizontalAdvance(label);
        const int x = xOf(row) - w / 2;
        p.drawText(QRect(qBound(0, x, qMax(0, width() - w)), bottom + kTick + kLabelGap, w, lh),
                   Qt::AlignCenter, label);
    }
}

// One entry per column under the plot, centred: a square of its colour and
// its name.
void LineChart::paintLegend(QPainter &p)
{
    const QFontMetrics fm(font());
    const int lh = fm.height();
    constexpr int kBetween = 14;
    int total = 0;
    for (const Column &c : columns_)
        if (!c.name.isEmpty())
            total += kSwatch + 4 + fm.horizontalAdvance(c.name) + kBetween;
    total -= kBetween;
    int x = qMax(0, (width() - total) / 2);
    const int y = height() - kMarginBottom - lh - kLegendGap / 2;
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const Column &c : columns_) {
        if (c.name.isEmpty())
            continue;
        const QRect swatch(x, y + (lh - kSwatch) / 2, kSwatch, kSwatch);
        p.fillRect(swatch, c.color);
        p.setPen(c.color.darker(160));
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
        x += kSwatch + 4;
        const int w = fm.horizontalAdvance(c.name);
        p.setPen(Qt::black);
        p.drawText(QRect(x, y, w, lh), Qt::AlignLeft | Qt::AlignVCenter, c.name);
        x += w + kBetween;
    }
}

// Dotted lines across the plot, under the series, each with its text at
// its right end; a line outside the left axis's range is not drawn.
void LineChart::paintHorizontalLines(QPainter &p)
{
    if (hLines_.isEmpty())
        return;
    const QFontMetrics fm(font());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const HorizontalLine &h : std::as_const(hLines_)) {
        if (!std::isfinite(h.value) || h.value < leftScale_.min || h.value > leftScale_.max)
            continue;
        const int y = qRound(toPixel(1, h.value, leftScale_).y());
        p.setPen(QPen(h.color, 1, Qt::DashDotLine));
        p.drawLine(qRound(plot_.left()), y, qRound(plot_.right()), y);
        if (h.label.isEmpty())
            continue;
        const int w = fm.horizontalAdvance(h.label);
        // Under the line, where a forecast coming down to it leaves room;
        // above it when the plot ends there.
        QRect box(qRound(plot_.right()) - w - 4, y + 2, w, fm.height());
        if (box.bottom() > qRound(plot_.bottom()))
            box.moveBottom(y - 2);
        p.setPen(h.color);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, h.label);
    }
    p.restore();
}
