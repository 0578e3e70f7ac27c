#include "ui/grid.h"

#include "ui/twips.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <utility>

namespace {

constexpr int kDefaultColTwips = 960;
constexpr int kMinRowTwips = 270; // 18 px at 96 dpi

// Cells keep their own back colour: no selection fill, no hover; the
// current cell gets a thin dotted frame while the grid has the focus.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        const bool current = opt.state & QStyle::State_HasFocus;
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected | QStyle::State_MouseOver);
        QStyledItemDelegate::paint(painter, opt, index);
        if (current) {
            painter->save();
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }
};

} // namespace

// The header row (horizontal) and the fixed column (vertical) are as tall,
// respectively as wide, as the grid says, not as the style would make them.
class GridHeader final : public QHeaderView {
public:
    GridHeader(Qt::Orientation o, QWidget *parent) : QHeaderView(o, parent) {}

    void setExtent(int px)
    {
        if (px == m_extent)
            return;
        m_extent = px;
        updateGeometry();
    }

    QSize sizeHint() const override
    {
        return orientation() == Qt::Horizontal ? QSize(length(), m_extent)
                                               : QSize(m_extent, length());
    }

private:
    int m_extent = 20;
};

Grid::Grid(QWidget *parent)
    : QTableView(parent), m_model(new GridModel(this)),
      m_hHeader(new GridHeader(Qt::Horizontal, this)), m_vHeader(new GridHeader(Qt::Vertical, this))
{
    setHorizontalHeader(m_hHeader);
    setVerticalHeader(m_vHeader);
    setModel(m_model);
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

    for (GridHeader *h : {m_hHeader, m_vHeader}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setSectionsClickable(true);
        h->setHighlightSections(false);
        h->setMinimumSectionSize(0);
        // The table would select or move to a column or row when a header
        // is pressed; here a header press only reports a click.
        disconnect(h, &QHeaderView::sectionPressed, this, nullptr);
        disconnect(h, &QHeaderView::sectionEntered, this, nullptr);
    }
    m_hHeader->setStretchLastSection(false);
    m_vHeader->setVisible(false);

    m_corner = findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);

    // Any new press starts a new gesture.
    for (QWidget *w : {viewport(), m_hHeader->viewport(), m_vHeader->viewport()})
        w->installEventFilter(this);

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { reportClick(i.row() + 1, i.column()); });
    connect(m_hHeader, &QHeaderView::sectionClicked, this, [this](int col) { reportClick(0, col); });
    connect(m_hHeader, &QHeaderView::sectionDoubleClicked, this,
            [this](int col) { reportDoubleClick(0, col); });
    connect(m_vHeader, &QHeaderView::sectionClicked, this,
            [this](int section) { reportClick(section + 1, 0); });
    connect(m_vHeader, &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { reportDoubleClick(section + 1, 0); });

    m_colTwips = QList<int>(m_model->cols(), -1);
    applyMetrics();
    applyColWidths();
}

void Grid::setRows(int rows)
{
    if (qMax(1, rows) != this->rows())
        m_pendingTopRow = 0;
    m_model->setRows(rows);
    clampCurrent();
}

int Grid::rows() const
{
    return m_model->rows();
}

void Grid::setCols(int cols)
{
    m_model->setCols(cols);
    m_colTwips.resize(m_model->cols(), -1);
    applyColWidths();
    clampCurrent();
}

int Grid::cols() const
{
    return m_model->cols();
}

void Grid::setFixedCols(int fixed)
{
    m_model->setFixedCols(fixed);
    m_vHeader->setVisible(m_model->fixedCols() > 0);
    applyColWidths();
    scheduleViewSync();
}

int Grid::fixedCols() const
{
    return m_model->fixedCols();
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    m_colTwips[col] = twips < 0 ? -1 : twips;
    applyColWidths();
}

int Grid::colWidth(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    return m_colTwips[col] < 0 ? kDefaultColTwips : m_colTwips[col];
}

void Grid::setColAlignment(int col, Align a)
{
    m_model->setColAlignment(col, a);
}

Grid::Align Grid::colAlignment(int col) const
{
    return m_model->colAlignment(col);
}

void Grid::setFixedAlignment(int col, Align a)
{
    m_model->setFixedAlignment(col, a);
    if (col == 0 && m_corner)
        m_corner->update();
}

Grid::Align Grid::fixedAlignment(int col) const
{
    return m_model->fixedAlignment(col);
}

void Grid::setTextMatrix(int row, int col, const QString &text)
{
    if (!m_model->isCell(row, col)) {
        qWarning("Grid %s: no cell (%d, %d)", qPrintable(objectName()), row, col);
        return;
    }
    m_model->setText(row, col, text);
    if (row == 0 && col == 0 && m_corner)
        m_corner->update();
}

QString Grid::textMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void Grid::setCellBackColor(int row, int col, const QColor &c)
{
    if (!m_model->isCell(row, col)) {
        qWarning("Grid %s: no cell (%d, %d)", qPrintable(objectName()), row, col);
        return;
    }
    m_model->setBackColor(row, col, c);
    if (row == 0 && col == 0 && m_corner)
        m_corner->update();
}

QColor Grid::cellBackColor(int row, int col) const
{
    return m_model->backColor(row, col);
}

void Grid::setRow(int row)
{
    if (row < 0 || row >= rows()) {
        qWarning("Grid %s: no row %d", qPrintable(objectName()), row);
        return;
    }
    setCurrentCell(row, m_col);
}

void Grid::setCol(int col)
{
    if (col < 0 || col >= cols()) {
        qWarning("Grid %s: no column %d", qPrintable(objectName()), col);
        return;
    }
    setCurrentCell(m_row, col);
}

void Grid::setText(const QString &text)
{
    setTextMatrix(m_row, m_col, text);
}

QString Grid::text() const
{
    return textMatrix(m_row, m_col);
}

void Grid::setCellBackColor(const QColor &c)
{
    setCellBackColor(m_row, m_col, c);
}

QColor Grid::cellBackColor() const
{
    return cellBackColor(m_row, m_col);
}

void Grid::setTopRow(int row)
{
    if (row < 1 || row >= rows())
        return;
    m_pendingTopRow = row;
    updateGeometries(); // brings the scroll range up to date and scrolls
    if (isVisible())
        m_pendingTopRow = 0;
}

int Grid::topRow() const
{
    if (m_pendingTopRow > 0)
        return m_pendingTopRow;
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

void Grid::setDataRows(const QList<GridRow> &rows)
{
    m_pendingTopRow = 0;
    m_model->setDataRows(rows);
    applyColWidths();
    clampCurrent();
}

void Grid::updateGeometries()
{
    QScrollBar *bar = verticalScrollBar();
    const int keep = bar->value();
    QTableView::updateGeometries(); // clamps the value to a range ending at the last full page
    // A grid taller than its window scrolls until its last row is the top
    // row, leaving blank space below it; a grid that fits does not scroll.
    const int n = m_model->rowCount();
    if (n > 0 && m_vHeader->length() > viewport()->height()) {
        const int max = m_vHeader->sectionPosition(n - 1);
        bar->setRange(0, max);
        bar->setSingleStep(m_rowHeight);
        bar->setValue(m_pendingTopRow > 0 ? m_vHeader->sectionPosition(m_pendingTopRow - 1)
                                          : qMin(keep, max));
    }
}

void Grid::focusInEvent(QFocusEvent *event)
{
    {
        // Gaining the focus must not move the current cell.
        const QScopedValueRollback guard(m_syncing, true);
        QTableView::focusInEvent(event);
    }
    syncViewCurrent();
}

void Grid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    if (m_pendingTopRow > 0) {
        updateGeometries();
        m_pendingTopRow = 0;
    }
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_syncing && current.isValid()) {
        m_row = current.row() + 1;
        m_col = current.column();
    }
}

void Grid::keyPressEvent(QKeyEvent *event)
{
    if (m_syncPending)
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
    if (std::exchange(m_swallowClick, false))
        return;
    setCurrentCell(row, col);
    emit cellClicked(row, col);
}

void Grid::reportDoubleClick(int row, int col)
{
    m_swallowClick = true;
    setCurrentCell(row, col);
    emit cellDoubleClicked(row, col);
}

void Grid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyMetrics();
}

bool Grid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        m_swallowClick = false;
    if (watched == m_corner) {
        switch (event->type()) {
        case QEvent::Paint:
            return paintCorner(m_corner);
        case QEvent::MouseButtonPress:
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && m_corner->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
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
    QStylePainter p(corner);
    QStyleOptionHeader opt;
    opt.initFrom(corner);
    opt.rect = corner->rect();
    opt.state |= QStyle::State_Raised;
    opt.orientation = Qt::Horizontal;
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.text = m_model->text(0, 0);
    opt.textAlignment = toQtAlignment(m_model->fixedAlignment(0));
    const QColor back = m_model->backColor(0, 0);
    if (back.isValid()) {
        opt.palette.setColor(QPalette::Button, back);
        opt.palette.setColor(QPalette::Window, back);
    }
    p.drawControl(QStyle::CE_Header, opt);
    return true;
}

void Grid::applyMetrics()
{
    m_rowHeight = qMax(twipsToPixels(kMinRowTwips, this), fontMetrics().height() + 3);
    m_vHeader->setMinimumSectionSize(0);
    m_vHeader->setDefaultSectionSize(m_rowHeight);
    m_hHeader->setExtent(m_rowHeight + 2);
    updateGeometries();
}

void Grid::applyColWidths()
{
    const bool fixedFirst = m_model->fixedCols() > 0;
    for (int c = 0; c < cols(); ++c) {
        const int px = twipsToPixels(colWidth(c), this);
        if (c == 0 && fixedFirst) {
            // Column 0 is drawn by the vertical header instead.
            setColumnHidden(0, true);
            m_vHeader->setExtent(px);
        } else {
            if (c == 0)
                setColumnHidden(0, false);
            m_hHeader->resizeSection(c, px);
        }
    }
    updateGeometries();
}

void Grid::setCurrentCell(int row, int col)
{
    m_row = row;
    m_col = col;
    scheduleViewSync();
}

void Grid::scheduleViewSync()
{
    if (m_syncPending || !hasFocus())
        return;
    m_syncPending = true;
    QMetaObject::invokeMethod(
        this, [this] { syncViewCurrent(); }, Qt::QueuedConnection);
}

// The view's own current index only matters for the focus frame and the
// arrow keys, so it follows ours only while the grid has the focus, and
// once per pass of the event loop: a screen filling thousands of cells
// does not repaint for each of them.
void Grid::syncViewCurrent()
{
    m_syncPending = false;
    QItemSelectionModel *sel = selectionModel();
    if (!sel || !hasFocus())
        return;
    const QScopedValueRollback guard(m_syncing, true);
    if (m_row >= 1 && m_col >= m_model->fixedCols() && m_model->isCell(m_row, m_col))
        sel->setCurrentIndex(m_model->index(m_row - 1, m_col), QItemSelectionModel::NoUpdate);
    else
        sel->clearCurrentIndex();
}

void Grid::clampCurrent()
{
    m_row = qBound(0, m_row, rows() - 1);
    m_col = qBound(0, m_col, cols() - 1);
    scheduleViewSync();
}

void Grid::setVisibleDataRows(int rows)
{
    const int header = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    const int scroll = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                           ? 0
                           : horizontalScrollBar()->sizeHint().height();
    setFixedHeight(header + rows * m_rowHeight + 2 * frameWidth() + scroll);
}
