#pragma once

#include "core/table.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>
#include <vector>

using GridAlign = table::Align;

Qt::Alignment toQtAlignment(GridAlign a);

// One data row for a bulk fill with QColor back colours (missing or invalid
// entries are the default white). Computed tables use table::Row instead.
struct GridRow {
    QStringList texts;
    QList<QColor> backColors;
};

// A back colour as the grid keeps it: 0 is the default white.
Rgb toRgb(const QColor &c);

// The cells of a Grid. Grid rows are numbered with the header as row 0;
// the Qt model rows are the data rows only (model row r = grid row r + 1),
// and the header row and the optional fixed column are served as header
// data, so the view draws them frozen.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    int rows() const { return 1 + int(made_.isMade() ? made_.size() : qsizetype(rows_.size()) - 1); }
    void setRows(int rows);
    int cols() const { return cols_; }
    void setCols(int cols);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int fixed);

    void setColAlignment(int col, GridAlign a);
    GridAlign colAlignment(int col) const;
    void setFixedAlignment(int col, GridAlign a);
    GridAlign fixedAlignment(int col) const;

    bool isCell(int row, int col) const;
    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor &c);

    void setDataRows(const QList<GridRow> &rows);
    void setDataRows(const table::Rows &rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    using Row = table::Row;

    QVariant cellData(int row, int col, int role, GridAlign align) const;
    // Grid row `row` for reading, and for writing (a made row is copied
    // out first, so an edit sticks).
    const Row &rowAt(int row) const;
    Row &writableRow(int row);
    // Made rows become stored ones (before the row count changes).
    void storeMadeRows();
    void cellChanged(int row, int col);
    void flushChanges();

    // Cells changed since the views were last told, as one block of model
    // rows and columns (empty when first > last).
    struct Dirty {
        int firstRow = 0, lastRow = -1, firstCol = 0, lastCol = -1;
        int firstFixed = 0, lastFixed = -1; // rows of the fixed column
    };
    Dirty dirty_;
    bool flushPending_ = false;

    std::vector<Row> rows_; // [0] is the header row; then the stored data rows
    // Data rows made on demand instead of stored: only the rows that show
    // are ever made, kept in a small cache; an edited one is kept for good.
    table::Rows made_;
    QHash<int, Row> edited_;
    static constexpr int kCacheSize = 256;
    mutable std::vector<std::pair<int, Row>> cache_;
    int cols_ = 1;
    int fixedCols_ = 0;
    QList<GridAlign> colAlign_;
    QList<GridAlign> fixedAlign_;
};
