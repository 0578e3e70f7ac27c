#include "ui/grid_model.h"

#include "ui/back_color.h"

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

Rgb toRgb(const QColor &c)
{
    // An invalid colour is the default; so is black, which no grid uses.
    return c.isValid() ? Rgb(c.rgb() & 0xFFFFFF) : palette::kDefault;
}

GridModel::GridModel(QObject *parent)
    : QAbstractTableModel(parent), rows_(1), colAlign_(1, GridAlign::Left),
      fixedAlign_(1, GridAlign::Center)
{
}

const GridModel::Row &GridModel::rowAt(int row) const
{
    if (row == 0 || !made_.isMade())
        return rows_[size_t(row)];
    if (auto it = edited_.constFind(row); it != edited_.constEnd())
        return it.value();
    if (cache_.empty())
        cache_.assign(kCacheSize, {-1, Row()});
    auto &slot = cache_[size_t(row % kCacheSize)];
    if (slot.first != row)
        slot = {row, made_.at(row - 1)};
    return slot.second;
}

GridModel::Row &GridModel::writableRow(int row)
{
    if (row == 0 || !made_.isMade())
        return rows_[size_t(row)];
    auto it = edited_.find(row);
    if (it == edited_.end())
        it = edited_.insert(row, made_.at(row - 1));
    return it.value();
}

void GridModel::storeMadeRows()
{
    if (!made_.isMade())
        return;
    rows_.resize(1);
    rows_.reserve(size_t(made_.size()) + 1);
    for (int r = 1; r <= int(made_.size()); ++r)
        rows_.push_back(rowAt(r));
    made_ = table::Rows();
    edited_.clear();
    cache_.clear();
}

void GridModel::setRows(int rows)
{
    rows = qMax(1, rows);
    if (rows == 1 && made_.isMade()) {
        // Back to the header alone: nothing needs to be made for that.
        beginRemoveRows({}, 0, this->rows() - 2);
        made_ = table::Rows();
        edited_.clear();
        cache_.clear();
        rows_.resize(1);
        endRemoveRows();
        return;
    }
    if (rows != this->rows())
        storeMadeRows();
    const int old = this->rows();
    if (rows > old) {
        beginInsertRows({}, old - 1, rows - 2);
        rows_.resize(size_t(rows));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows - 1, old - 2);
        rows_.resize(size_t(rows));
        endRemoveRows();
    }
}

void GridModel::setCols(int cols)
{
    cols = qMax(1, cols);
    const int old = cols_;
    if (cols == old)
        return;
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        cols_ = cols;
        colAlign_.resize(cols, GridAlign::Left);
        fixedAlign_.resize(cols, GridAlign::Center);
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, old - 1);
        cols_ = cols;
        colAlign_.resize(cols);
        fixedAlign_.resize(cols);
        // Cells of removed columns are gone; a later widening starts empty.
        storeMadeRows();
        for (Row &r : rows_) {
            if (r.texts.size() > cols)
                r.texts.resize(cols);
            if (r.backs.size() > cols)
                r.backs.resize(cols);
        }
        endRemoveColumns();
    }
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

void GridModel::setFixedCols(int fixed)
{
    fixed = qBound(0, fixed, 1);
    if (fixed == fixedCols_)
        return;
    fixedCols_ = fixed;
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void GridModel::setColAlignment(int col, GridAlign a)
{
    if (col < 0 || col >= cols_)
        return;
    colAlign_[col] = a;
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::TextAlignmentRole});
}

GridAlign GridModel::colAlignment(int col) const
{
    return col >= 0 && col < cols_ ? colAlign_[col] : GridAlign::Left;
}

void GridModel::setFixedAlignment(int col, GridAlign a)
{
    if (col < 0 || col >= cols_)
        return;
    fixedAlign_[col] = a;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (col == 0 && fixedCols_ > 0 && rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

GridAlign GridModel::fixedAlignment(int col) const
{
    return col >= 0 && col < cols_ ? fixedAlign_[col] : GridAlign::Center;
}

bool GridModel::isCell(int row, int col) const
{
    return row >= 0 && row < rows() && col >= 0 && col < cols_;
}

QString GridModel::text(int row, int col) const
{
    if (!isCell(row, col))
        return {};
    const Row &r = rowAt(row);
    return col < r.texts.size() ? r.texts[col] : QString();
}

void GridModel::setText(int row, int col, const QString &text)
{
    if (!isCell(row, col))
        return;
    Row &r = writableRow(row);
    if (r.texts.size() <= col) {
        if (text.isEmpty())
            return;
        r.texts.resize(cols_);
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
    const Row &r = rowAt(row);
    return col < r.backs.size() ? toColor(r.backs[col]) : QColor();
}

void GridModel::setBackColor(int row, int col, const QColor &c)
{
    if (!isCell(row, col))
        return;
    Row &r = writableRow(row);
    const Rgb rgb = toRgb(c);
    if (r.backs.size() <= col) {
        if (rgb == palette::kDefault)
            return;
        r.backs.resize(cols_);
    }
    if (r.backs[col] == rgb)
        return;
    r.backs[col] = rgb;
    cellChanged(row, col);
}

void GridModel::setDataRows(const QList<GridRow> &rows)
{
    beginResetModel();
    made_ = table::Rows();
    edited_.clear();
    cache_.clear();
    rows_.resize(1);
    rows_.reserve(size_t(rows.size()) + 1);
    for (const GridRow &g : rows) {
        Row r{g.texts, {}};
        r.backs.reserve(g.backColors.size());
        for (const QColor &c : g.backColors)
            r.backs.append(toRgb(c));
        rows_.push_back(std::move(r));
    }
    endResetModel();
}

void GridModel::setDataRows(const table::Rows &rows)
{
    beginResetModel();
    rows_.resize(1);
    edited_.clear();
    cache_.clear();
    made_ = table::Rows();
    if (rows.isMade()) {
        made_ = rows;
    } else {
        rows_.reserve(size_t(rows.size()) + 1);
        for (const Row &r : rows)
            rows_.push_back(r);
    }
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
    if (dirty_.firstRow > dirty_.lastRow) {
        dirty_.firstRow = dirty_.lastRow = r;
        dirty_.firstCol = dirty_.lastCol = col;
    } else {
        dirty_.firstRow = qMin(dirty_.firstRow, r);
        dirty_.lastRow = qMax(dirty_.lastRow, r);
        dirty_.firstCol = qMin(dirty_.firstCol, col);
        dirty_.lastCol = qMax(dirty_.lastCol, col);
    }
    if (col == 0 && fixedCols_ > 0) {
        if (dirty_.firstFixed > dirty_.lastFixed) {
            dirty_.firstFixed = dirty_.lastFixed = r;
        } else {
            dirty_.firstFixed = qMin(dirty_.firstFixed, r);
            dirty_.lastFixed = qMax(dirty_.lastFixed, r);
        }
    }
    if (!flushPending_) {
        flushPending_ = true;
        QMetaObject::invokeMethod(this, &GridModel::flushChanges, Qt::QueuedConnection);
    }
}

void GridModel::flushChanges()
{
    flushPending_ = false;
    const Dirty d = std::exchange(dirty_, Dirty{});
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
    return parent.isValid() ? 0 : cols_;
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
    if (fixedCols_ == 0)
        return {};
    return cellData(section + 1, 0, role, fixedAlignment(0));
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
