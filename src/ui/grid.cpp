#include "ui/grid.h"

#include "ui/twips.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QHash>
#include <QLinearGradient>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kDefaultColTwips = 960;
constexpr int kMinRowTwips = 270; // 18 px at 96 dpi

// Cells keep their own back colour: no selection fill, no hover; the
// current cell gets a thin dotted frame while the grid has the focus.
// Texts are laid out once and drawn from that layout: a grid shows the
// same weights, dates and marks over and over, and laying a text out is
// most of what drawing a cell costs.
// Texts laid out once and kept, for a grid's cells and its headers.
class LaidOutTexts {
public:
    const QStaticText &of(const QString &text, const QFont &font)
    {
        if (font != font_) {
            layouts_.clear();
            font_ = font;
        }
        auto it = layouts_.find(text);
        if (it == layouts_.end()) {
            if (layouts_.size() > 4096)
                layouts_.clear(); // a bound, not a policy: texts repeat
            QStaticText laid(text);
            laid.setTextFormat(Qt::PlainText);
            laid.prepare(QTransform(), font);
            it = layouts_.insert(text, laid);
        }
        return it.value();
    }

    // Draws text in rect, aligned and clipped to it.
    void draw(QPainter *painter, const QRect &rect, Qt::Alignment align, const QString &text,
              const QFont &font, const QColor &color)
    {
        if (text.isEmpty())
            return;
        const QStaticText &laid = of(text, font);
        const QRectF room = QRectF(rect).adjusted(3, 0, -3, 0);
        const QSizeF size = laid.size();
        const qreal x = align & Qt::AlignRight     ? room.right() - size.width()
                        : align & Qt::AlignHCenter ? room.center().x() - size.width() / 2
                                                   : room.left();
        painter->save();
        painter->setClipRect(rect);
        painter->setFont(font);
        painter->setPen(color);
        painter->drawStaticText(QPointF(x, room.center().y() - size.height() / 2), laid);
        painter->restore();
    }

private:
    QHash<QString, QStaticText> layouts_;
    QFont font_;
};

// A header cell as Qt 6.4's Fusion style (the window's style) draws one:
// a soft gradient of its colour with a rule on its right and under it.
void paintHeaderFace(QPainter *painter, const QRect &rect, const QColor &face)
{
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, face.lighter(106));
    shade.setColorAt(1, face);
    painter->fillRect(rect, shade);
    painter->setPen(face.darker(118));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->setPen(face.darker(138));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
}

class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QRect cell = option.rect;
        const QVariant back = index.data(Qt::BackgroundRole);
        painter->fillRect(cell, back.canConvert<QBrush>() ? back.value<QBrush>()
                                                          : option.palette.brush(QPalette::Base));
        texts_.draw(painter, cell, Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()),
                    index.data(Qt::DisplayRole).toString(), option.font,
                    option.palette.color(QPalette::Text));
        const bool current = option.state & QStyle::State_HasFocus;
        if (current) {
            painter->save();
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

private:
    mutable LaidOutTexts texts_;
};

} // namespace

// The header row (horizontal) and the fixed column (vertical) are as tall,
// respectively as wide, as the grid says, not as the style would make them.
class GridHeader final : public QHeaderView {
public:
    GridHeader(Qt::Orientation o, QWidget *parent) : QHeaderView(o, parent) {}

    void setExtent(int px)
    {
        if (px == extent_)
            return;
        extent_ = px;
        updateGeometry();
    }

    QSize sizeHint() const override
    {
        return orientation() == Qt::Horizontal ? QSize(length(), extent_)
                                               : QSize(extent_, length());
    }

protected:
    // The section as the style draws it, its text from the kept layouts.
    // Only the part the sections cover. A repaint of the empty space after
    // the last section alone makes the base class walk every section from
    // the first: tens of thousands on a long list.
    void paintEvent(QPaintEvent *event) override
    {
        const int end = length() - offset(); // where the last section ends
        QRect covered = event->rect();
        if (orientation() == Qt::Vertical)
            covered.setBottom(qMin(covered.bottom(), end - 1));
        else
            covered.setRight(qMin(covered.right(), end - 1));
        if (covered.isEmpty())
            return; // the background is the viewport's own
        QPaintEvent clipped(covered);
        QHeaderView::paintEvent(&clipped);
    }

    // Drawn here rather than by the style: the style's drawing of a header,
    // sorting arrows and all, cost most of a grid's first paint.
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        const QVariant back = model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
        const QColor face = back.canConvert<QBrush>() ? back.value<QBrush>().color()
                                                      : palette().color(QPalette::Button);
        paintHeaderFace(painter, rect, face);
        const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        const auto align = Qt::Alignment(
            model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole).toInt());
        texts_.draw(painter, rect, align, text, font(), palette().color(QPalette::ButtonText));
    }

private:
    int extent_ = 20;
    mutable LaidOutTexts texts_;
};

Grid::Grid(QWidget *parent)
    : QTableView(parent), model_(new GridModel(this)),
      hHeader_(new GridHeader(Qt::Horizontal, this)), vHeader_(new GridHeader(Qt::Vertical, this))
{
    setHorizontalHeader(hHeader_);
    setVerticalHeader(vHeader_);
    setModel(model_);
    setItemDelegate(new GridDelegate(this));

    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setCornerButtonEnabled(true); // kept enabled so it receives the clicks we report
    // Setting the current row from code must not move the view; the key
    // handler below keeps the cursor in sight instead.
    setAutoScroll(false);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);

    for (GridHeader *h : {hHeader_, vHeader_}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setSectionsClickable(true);
        h->setHighlightSections(false);
        h->setMinimumSectionSize(0);
        // The table would select or move to a column or row when a header
        // is pressed; here a header press only reports a click.
        disconnect(h, &QHeaderView::sectionPressed, this, nullptr);
        disconnect(h, &QHeaderView::sectionEntered, this, nullptr);
    }
    hHeader_->setStretchLastSection(false);
    vHeader_->setVisible(false);

    corner_ = findChild<QAbstractButton *>();
    if (corner_)
        corner_->installEventFilter(this);

    // Any new press starts a new gesture.
    for (QWidget *w : {viewport(), hHeader_->viewport(), vHeader_->viewport()})
        w->installEventFilter(this);

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { reportClick(i.row() + 1, i.column()); });
    connect(hHeader_, &QHeaderView::sectionClicked, this, [this](int col) { reportClick(0, col); });
    connect(hHeader_, &QHeaderView::sectionDoubleClicked, this,
            [this](int col) { reportDoubleClick(0, col); });
    connect(vHeader_, &QHeaderView::sectionClicked, this,
            [this](int section) { reportClick(section + 1, 0); });
    connect(vHeader_, &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { reportDoubleClick(section + 1, 0); });

    colTwips_ = QList<int>(model_->cols(), -1);
    applyMetrics();
    applyColWidths();
}

void Grid::setRows(int rows)
{
    if (qMax(1, rows) != this->rows())
        pendingTopRow_ = 0;
    model_->setRows(rows);
    clampCurrent();
}

int Grid::rows() const
{
    return model_->rows();
}

void Grid::setCols(int cols)
{
    model_->setCols(cols);
    colTwips_.resize(model_->cols(), -1);
    applyColWidths();
    clampCurrent();
}

int Grid::cols() const
{
    return model_->cols();
}

void Grid::setFixedCols(int fixed)
{
    model_->setFixedCols(fixed);
    vHeader_->setVisible(model_->fixedCols() > 0);
    applyColWidths();
    scheduleViewSync();
}

int Grid::fixedCols() const
{
    return model_->fixedCols();
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    colTwips_[col] = twips < 0 ? -1 : twips;
    applyColWidths();
}

int Grid::colWidth(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    return colTwips_[col] < 0 ? kDefaultColTwips : colTwips_[col];
}

void Grid::setColAlignment(int col, Align a)
{
    model_->setColAlignment(col, a);
}

Grid::Align Grid::colAlignment(int col) const
{
    return model_->colAlignment(col);
}

void Grid::setFixedAlignment(int col, Align a)
{
    model_->setFixedAlignment(col, a);
    if (col == 0 && corner_)
        corner_->update();
}

Grid::Align Grid::fixedAlignment(int col) const
{
    return model_->fixedAlignment(col);
}

void Grid::setTextMatrix(int row, int col, const QString &text)
{
    if (!model_->isCell(row, col)) {
        qWarning("Grid %s: no cell (%d, %d)", qPrintable(objectName()), row, col);
        return;
    }
    model_->setText(row, col, text);
    if (row == 0 && col == 0 && corner_)
        corner_->update();
}

QString Grid::textMatrix(int row, int col) const
{
    return model_->text(row, col);
}

void Grid::setCellBackColor(int row, int col, const QColor &c)
{
    if (!model_->isCell(row, col)) {
        qWarning("Grid %s: no cell (%d, %d)", qPrintable(objectName()), row, col);
        return;
    }
    model_->setBackColor(row, col, c);
    if (row == 0 && col == 0 && corner_)
        corner_->update();
}

QColor Grid::cellBackColor(int row, int col) const
{
    return model_->backColor(row, col);
}

void Grid::setRow(int row)
{
    if (row < 0 || row >= rows()) {
        qWarning("Grid %s: no row %d", qPrintable(objectName()), row);
        return;
    }
    setCurrentCell(row, col_);
}

void Grid::setCol(int col)
{
    if (col < 0 || col >= cols()) {
        qWarning("Grid %s: no column %d", qPrintable(objectName()), col);
        return;
    }
    setCurrentCell(row_, col);
}

void Grid::setText(const QString &text)
{
    setTextMatrix(row_, col_, text);
}

QString Grid::text() const
{
    return textMatrix(row_, col_);
}

void Grid::setCellBackColor(const QColor &c)
{
    setCellBackColor(row_, col_, c);
}

QColor Grid::cellBackColor() const
{
    return cellBackColor(row_, col_);
}

void Grid::setTopRow(int row)
{
    if (row < 1 || row >= rows())
        return;
    pendingTopRow_ = row;
    updateGeometries(); // brings the scroll range up to date and scrolls
    if (isVisible())
        pendingTopRow_ = 0;
}

int Grid::topRow() const
{
    if (pendingTopRow_ > 0)
        return pendingTopRow_;
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

int Grid::bottomRow() const
{
    const int n = model_->rowCount();
    if (n == 0)
        return 0;
    const int r = rowAt(viewport()->height() - 1);
    if (r < 0)
        return n; // every row fits with room to spare
    // A row cut by the bottom edge is not counted as seen.
    const QRect cell = visualRect(model_->index(r, 0));
    return cell.bottom() < viewport()->height() ? r + 1 : r;
}

void Grid::setDataRows(const QList<GridRow> &rows)
{
    pendingTopRow_ = 0;
    model_->setDataRows(rows);
    applyColWidths();
    clampCurrent();
}

void Grid::setDataRows(const table::Rows &rows)
{
    pendingTopRow_ = 0;
    model_->setDataRows(rows);
    applyColWidths();
    clampCurrent();
}

void Grid::setColumns(const table::Columns &columns)
{
    setRows(1);
    setCols(int(columns.size()));
    // The widths are laid out once for all columns.
    for (int c = 0; c < columns.size(); ++c) {
        const table::Column &col = columns[c];
        colTwips_[c] = col.twips < 0 ? -1 : col.twips;
        setColAlignment(c, col.align);
        setFixedAlignment(c, col.headerAlign);
        setTextMatrix(0, c, col.header);
    }
    applyColWidths();
}

void Grid::showTable(const table::Rows &rows, bool scrollToEnd)
{
    setDataRows(rows);
    if (scrollToEnd)
        setTopRow(this->rows() - 1);
}

void Grid::updateGeometries()
{
    QScrollBar *bar = verticalScrollBar();
    const int keep = bar->value();
    // The range ends at the last full page: a list scrolled to its end
    // shows its newest row at the bottom, never one row over blank space.
    QTableView::updateGeometries();
    const int n = model_->rowCount();
    if (n > 0 && bar->maximum() > 0) {
        bar->setSingleStep(rowHeight_);
        bar->setValue(pendingTopRow_ > 0
                          ? qMin(vHeader_->sectionPosition(pendingTopRow_ - 1), bar->maximum())
                          : qMin(keep, bar->maximum()));
    }
}

void Grid::focusInEvent(QFocusEvent *event)
{
    {
        // Gaining the focus must not move the current cell.
        const QScopedValueRollback guard(syncing_, true);
        QTableView::focusInEvent(event);
    }
    syncViewCurrent();
}

void Grid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    if (pendingTopRow_ > 0) {
        updateGeometries();
        pendingTopRow_ = 0;
    }
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!syncing_ && current.isValid()) {
        row_ = current.row() + 1;
        col_ = current.column();
    }
}

void Grid::keyPressEvent(QKeyEvent *event)
{
    if (syncPending_)
        syncViewCurrent(); // the keys move from the cell the program chose
    QTableView::keyPressEvent(event);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

// Handled here rather than through the view's doubleClicked signal, which
// needs the press before it on the same cell: the cell under the pointer is
// what counts.
void Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex i = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !i.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    reportDoubleClick(i.row() + 1, i.column());
}

void Grid::reportClick(int row, int col)
{
    if (std::exchange(swallowClick_, false))
        return;
    setCurrentCell(row, col);
    emit cellClicked(row, col);
}

void Grid::reportDoubleClick(int row, int col)
{
    swallowClick_ = true;
    setCurrentCell(row, col);
    emit cellDoubleClicked(row, col);
}

void Grid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        widthScale_ = 0;
        applyMetrics();
        applyColWidths();
    }
}

bool Grid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        swallowClick_ = false;
    if (watched == corner_) {
        switch (event->type()) {
        case QEvent::Paint:
            return paintCorner(corner_);
        case QEvent::MouseButtonPress:
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && corner_->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                reportClick(0, 0);
            return true;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                reportDoubleClick(0, 0);
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

// The top-left cell of a grid with a fixed column is the table's corner
// button; it is drawn as a header cell with its text.
bool Grid::paintCorner(QWidget *corner)
{
    QPainter p(corner);
    const QColor back = model_->backColor(0, 0);
    paintHeaderFace(&p, corner->rect(), back.isValid() ? back : corner->palette().color(QPalette::Button));
    p.setPen(corner->palette().color(QPalette::ButtonText));
    p.drawText(corner->rect().adjusted(3, 0, -3, 0), int(toQtAlignment(model_->fixedAlignment(0))),
               model_->text(0, 0));
    return true;
}

void Grid::applyMetrics()
{
    rowHeight_ = qMax(twipsToPixels(kMinRowTwips, this), fontMetrics().height() + 3);
    vHeader_->setMinimumSectionSize(0);
    vHeader_->setDefaultSectionSize(rowHeight_);
    hHeader_->setExtent(rowHeight_ + 2);
    updateGeometries();
}

// The system font the widths were laid out for has digits 6 pixels wide
// at 96 dpi.
int Grid::columnPixels(int twips) const
{
    if (widthScale_ <= 0) {
        const double digits = fontMetrics().horizontalAdvance(QStringLiteral("0123456789")) / 10.0;
        const double designed = twipsToPixels(90, this);
        widthScale_ = designed > 0 ? qMax(1.0, digits / designed) : 1.0;
    }
    return int(std::lround(twipsToPixels(twips, this) * widthScale_));
}

// How much the scrolling columns are narrowed to fit the grid's width:
// 1 unless the grid was allowed to narrow them and is too narrow.
double Grid::fitScale() const
{
    if (narrowest_ >= 1.0)
        return 1.0;
    const int first = model_->fixedCols() > 0 ? 1 : 0;
    int total = 0;
    for (int c = first; c < cols(); ++c)
        total += columnPixels(colWidth(c));
    const int room = viewport()->width();
    if (total <= 0 || room <= 0 || total <= room)
        return 1.0;
    return std::max(narrowest_, double(room) / total);
}

void Grid::setNarrowestScale(double scale)
{
    narrowest_ = std::clamp(scale, 0.1, 1.0);
    applyColWidths();
}

void Grid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (narrowest_ < 1.0)
        applyColWidths();
}

void Grid::applyColWidths()
{
    const bool fixedFirst = model_->fixedCols() > 0;
    const double scale = fitScale();
    for (int c = 0; c < cols(); ++c) {
        const int designed = columnPixels(colWidth(c));
        const int px = c == 0 && fixedFirst ? designed : int(std::lround(designed * scale));
        if (c == 0 && fixedFirst) {
            // Column 0 is drawn by the vertical header instead.
            setColumnHidden(0, true);
            vHeader_->setExtent(px);
        } else {
            if (c == 0)
                setColumnHidden(0, false);
            hHeader_->resizeSection(c, px);
        }
    }
    updateGeometries();
}

void Grid::setCurrentCell(int row, int col)
{
    row_ = row;
    col_ = col;
    scheduleViewSync();
}

void Grid::scheduleViewSync()
{
    if (syncPending_ || !hasFocus())
        return;
    syncPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { syncViewCurrent(); }, Qt::QueuedConnection);
}

// The view's own current index only matters for the focus frame and the
// arrow keys, so it follows ours only while the grid has the focus, and
// once per pass of the event loop: a screen filling thousands of cells
// does not repaint for each of them.
void Grid::syncViewCurrent()
{
    syncPending_ = false;
    QItemSelectionModel *sel = selectionModel();
    if (!sel || !hasFocus())
        return;
    const QScopedValueRollback guard(syncing_, true);
    if (row_ >= 1 && col_ >= model_->fixedCols() && model_->isCell(row_, col_))
        sel->setCurrentIndex(model_->index(row_ - 1, col_), QItemSelectionModel::NoUpdate);
    else
        sel->clearCurrentIndex();
}

void Grid::clampCurrent()
{
    row_ = qBound(0, row_, rows() - 1);
    col_ = qBound(0, col_, cols() - 1);
    scheduleViewSync();
}

void Grid::setVisibleDataRows(int rows)
{
    const int header = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    const int scroll = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                           ? 0
                           : horizontalScrollBar()->sizeHint().height();
    setFixedHeight(header + rows * rowHeight_ + 2 * frameWidth() + scroll);
}
