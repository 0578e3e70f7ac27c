#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>
#include <vector>

enum class GridAlign { Left, Center, Right };

Qt::Alignment toQtAlignment(GridAlign a);

// One data row for a bulk fill: texts by column, and back colours by
// column (missing or invalid entries are the default white).
struct GridRow {
    QStringList texts;
    QList<QColor> backColors;
};

// The cells of a Grid. Grid rows are numbered with the header as row 0;
// the Qt model rows are the data rows only (model row r = grid row r + 1),
// and the header row and the optional fixed column are served as header
// data, so the view draws them frozen.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    int rows() const { return int(m_rows.size()); }
    void setRows(int rows);
    int cols() const { return m_cols; }
    void setCols(int cols);
    int fixedCols() const { return m_fixedCols; }
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

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Row {
        QStringList texts;
        QList<QColor> backs;
    };

    QVariant cellData(int row, int col, int role, GridAlign align) const;
    void cellChanged(int row, int col);
    void flushChanges();

    // Cells changed since the views were last told, as one block of model
    // rows and columns (empty when first > last).
    struct Dirty {
        int firstRow = 0, lastRow = -1, firstCol = 0, lastCol = -1;
        int firstFixed = 0, lastFixed = -1; // rows of the fixed column
    };
    Dirty m_dirty;
    bool m_flushPending = false;

    std::vector<Row> m_rows; // [0] is the header row
    int m_cols = 1;
    int m_fixedCols = 0;
    QList<GridAlign> m_colAlign;
    QList<GridAlign> m_fixedAlign;
};
