#include "ui/grid_model.h"

#include <QBrush>
#include <utility>

Qt::Alignment toQtAlignment(GridAlign a)
{
    switch (a) {
    case GridAlign::Left: return Qt::AlignLeft | Qt::AlignVCenter;
    case GridAlign::Center: return Qt::AlignCenter;
    case GridAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

GridModel::GridModel(QObject *parent)
    : QAbstractTableModel(parent), m_rows(1), m_colAlign(1, GridAlign::Left),
      m_fixedAlign(1, GridAlign::Center)
{
}

void GridModel::setRows(int rows)
{
    rows = qMax(1, rows);
    const int old = this->rows();
    if (rows > old) {
        beginInsertRows({}, old - 1, rows - 2);
        m_rows.resize(size_t(rows));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows - 1, old - 2);
        m_rows.resize(size_t(rows));
        endRemoveRows();
    }
}

void GridModel::setCols(int cols)
{
    cols = qMax(1, cols);
    const int old = m_cols;
    if (cols == old)
        return;
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        m_cols = cols;
        m_colAlign.resize(cols, GridAlign::Left);
        m_fixedAlign.resize(cols, GridAlign::Center);
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, old - 1);
        m_cols = cols;
        m_colAlign.resize(cols);
        m_fixedAlign.resize(cols);
        // Cells of removed columns are gone; a later widening starts empty.
        for (Row &r : m_rows) {
            if (r.texts.size() > cols)
                r.texts.resize(cols);
            if (r.backs.size() > cols)
                r.backs.resize(cols);
        }
        endRemoveColumns();
    }
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void GridModel::setFixedCols(int fixed)
{
    fixed = qBound(0, fixed, 1);
    if (fixed == m_fixedCols)
        return;
    m_fixedCols = fixed;
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void GridModel::setColAlignment(int col, GridAlign a)
{
    if (col < 0 || col >= m_cols)
        return;
    m_colAlign[col] = a;
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::TextAlignmentRole});
}

GridAlign GridModel::colAlignment(int col) const
{
    return col >= 0 && col < m_cols ? m_colAlign[col] : GridAlign::Left;
}

void GridModel::setFixedAlignment(int col, GridAlign a)
{
    if (col < 0 || col >= m_cols)
        return;
    m_fixedAlign[col] = a;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (col == 0 && m_fixedCols > 0 && rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

GridAlign GridModel::fixedAlignment(int col) const
{
    return col >= 0 && col < m_cols ? m_fixedAlign[col] : GridAlign::Center;
}

bool GridModel::isCell(int row, int col) const
{
    return row >= 0 && row < rows() && col >= 0 && col < m_cols;
}

QString GridModel::text(int row, int col) const
{
    if (!isCell(row, col))
        return {};
    const Row &r = m_rows[size_t(row)];
    return col < r.texts.size() ? r.texts[col] : QString();
}

void GridModel::setText(int row, int col, const QString &text)
{
    if (!isCell(row, col))
        return;
    Row &r = m_rows[size_t(row)];
    if (r.texts.size() <= col) {
        if (text.isEmpty())
            return;
        r.texts.resize(m_cols);
    }
    if (r.texts[col] == text)
        return;
    r.texts[col] = text;
    cellChanged(row, col);
}

QColor GridModel::backColor(int row, int col) const
{
    if (!isCell(row, col))
        return {};
    const Row &r = m_rows[size_t(row)];
    return col < r.backs.size() ? r.backs[col] : QColor();
}

void GridModel::setBackColor(int row, int col, const QColor &c)
{
    if (!isCell(row, col))
        return;
    Row &r = m_rows[size_t(row)];
    if (r.backs.size() <= col) {
        if (!c.isValid())
            return;
        r.backs.resize(m_cols);
    }
    if (r.backs[col] == c)
        return;
    r.backs[col] = c;
    cellChanged(row, col);
}

void GridModel::setDataRows(const QList<GridRow> &rows)
{
    beginResetModel();
    m_rows.resize(1);
    m_rows.reserve(size_t(rows.size()) + 1);
    for (const GridRow &g : rows)
        m_rows.push_back(Row{g.texts, g.backColors});
    endResetModel();
}

// A screen may write a whole list cell by cell. Telling the view about each
// cell makes it look up the cell's place every time, which grows with the
// row count; the view is told once, when control returns to the event loop.
void GridModel::cellChanged(int row, int col)
{
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const int r = row - 1;
    if (m_dirty.firstRow > m_dirty.lastRow) {
        m_dirty.firstRow = m_dirty.lastRow = r;
        m_dirty.firstCol = m_dirty.lastCol = col;
    } else {
        m_dirty.firstRow = qMin(m_dirty.firstRow, r);
        m_dirty.lastRow = qMax(m_dirty.lastRow, r);
        m_dirty.firstCol = qMin(m_dirty.firstCol, col);
        m_dirty.lastCol = qMax(m_dirty.lastCol, col);
    }
    if (col == 0 && m_fixedCols > 0) {
        if (m_dirty.firstFixed > m_dirty.lastFixed) {
            m_dirty.firstFixed = m_dirty.lastFixed = r;
        } else {
            m_dirty.firstFixed = qMin(m_dirty.firstFixed, r);
            m_dirty.lastFixed = qMax(m_dirty.lastFixed, r);
        }
    }
    if (!m_flushPending) {
        m_flushPending = true;
        QMetaObject::invokeMethod(this, &GridModel::flushChanges, Qt::QueuedConnection);
    }
}

void GridModel::flushChanges()
{
    m_flushPending = false;
    const Dirty d = std::exchange(m_dirty, Dirty{});
    const int lastRow = qMin(d.lastRow, rowCount() - 1);
    const int lastCol = qMin(d.lastCol, columnCount() - 1);
    if (d.firstRow <= lastRow && d.firstCol <= lastCol)
        emit dataChanged(index(d.firstRow, d.firstCol), index(lastRow, lastCol));
    const int lastFixed = qMin(d.lastFixed, rowCount() - 1);
    if (d.firstFixed <= lastFixed)
        emit headerDataChanged(Qt::Vertical, d.firstFixed, lastFixed);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::cellData(int row, int col, int role, GridAlign align) const
{
    switch (role) {
    case Qt::DisplayRole:
        return text(row, col);
    case Qt::TextAlignmentRole:
        return int(toQtAlignment(align)); // plain int: what every view reads back
    case Qt::BackgroundRole: {
        const QColor c = backColor(row, col);
        return c.isValid() ? QVariant(QBrush(c)) : QVariant();
    }
    default:
        return {};
    }
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = index.column();
    return cellData(index.row() + 1, col, role, colAlignment(col));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return cellData(0, section, role, fixedAlignment(section));
    // The vertical header shows the fixed first column, when there is one.
    if (m_fixedCols == 0)
        return {};
    return cellData(section + 1, 0, role, fixedAlignment(0));
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
