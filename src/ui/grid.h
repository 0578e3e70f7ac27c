#pragma once

#include "ui/grid_model.h"

#include <QTableView>

class GridHeader;

// A classic data grid. Rows and columns are numbered with the header as
// row 0; data rows start at 1. Optionally column 0 is fixed too: drawn like
// the header and frozen when the grid scrolls sideways. Column widths are
// in twips. The grid is read-only for the user; a click or double-click
// makes the cell current before cellClicked / cellDoubleClicked is emitted.
class Grid : public QTableView {
    Q_OBJECT
public:
    using Align = GridAlign;

    explicit Grid(QWidget *parent = nullptr);

    // Rows including the header row; growing appends empty rows, 1 leaves
    // only the header.
    void setRows(int rows);
    int rows() const;
    void setCols(int cols);
    int cols() const;
    // 0 or 1.
    void setFixedCols(int fixed);
    int fixedCols() const;

    // A negative width means the default width.
    void setColWidth(int col, int twips);
    // The pixels a width in twips gets: twips were laid out for a narrow
    // system font, so a wider font widens every column alike and a date
    // or a weight still fits the column made for it.
    int columnPixels(int twips) const;
    int colWidth(int col) const;
    // Data cells.
    void setColAlignment(int col, Align a);
    Align colAlignment(int col) const;
    // Header cells, and the cells of a fixed column 0.
    void setFixedAlignment(int col, Align a);
    Align fixedAlignment(int col) const;

    void setTextMatrix(int row, int col, const QString &text);
    QString textMatrix(int row, int col) const;
    // An invalid colour is the default white.
    void setCellBackColor(int row, int col, const QColor &c);
    QColor cellBackColor(int row, int col) const;

    // The current cell; a row or column outside the grid is ignored.
    void setRow(int row);
    int row() const { return row_; }
    void setCol(int col);
    int col() const { return col_; }
    void setText(const QString &text);
    QString text() const;
    void setCellBackColor(const QColor &c);
    QColor cellBackColor() const;

    // The first visible data row. The grid scrolls at most to its last full
    // page, so a row near the end asked for as the top row leaves the page
    // full and the last row at the bottom. Set on a hidden grid (a panel
    // being filled), it is applied when the grid is shown, once its real
    // height is known; topRow() reads the request back meanwhile. A grid
    // that shows all its rows does not scroll.
    void setTopRow(int row);
    int topRow() const;
    // The last data row seen whole (on a shown grid).
    int bottomRow() const;

    // Replaces all data rows at once (one model reset): rows() becomes
    // 1 + rows.size(); the header row stays.
    void setDataRows(const QList<GridRow> &rows);
    void setDataRows(const table::Rows &rows);

    // A computed table in one call each: the columns (header row only
    // afterwards), then the rows, scrolled to the end (newest row at the
    // bottom of a full page) when the table asks for it.
    void setColumns(const table::Columns &columns);
    void showTable(const table::Rows &rows, bool scrollToEnd);

    // A grid too narrow for its columns narrows them alike, down to this
    // share of their widths, before it scrolls sideways; 1 (the default)
    // keeps the widths as given.
    void setNarrowestScale(double scale);

    int rowHeightPixels() const { return rowHeight_; }
    // Makes the grid exactly as tall as its header and `rows` data rows.
    void setVisibleDataRows(int rows);

signals:
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);

protected:
    void updateGeometries() override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyMetrics();
    void applyColWidths();
    double fitScale() const;
    void setCurrentCell(int row, int col);
    void reportClick(int row, int col);
    void reportDoubleClick(int row, int col);
    void syncViewCurrent();
    void scheduleViewSync();
    void clampCurrent();
    bool paintCorner(QWidget *corner);

    GridModel *model_;
    GridHeader *hHeader_;
    GridHeader *vHeader_;
    QWidget *corner_ = nullptr;
    QList<int> colTwips_; // -1 = default width
    mutable double widthScale_ = 0; // pixels per designed pixel; 0 = not yet measured
    int row_ = 0;
    int col_ = 0;
    int rowHeight_ = 18;
    int pendingTopRow_ = 0; // asked for while hidden; 0 = none
    double narrowest_ = 1.0;
    bool syncing_ = false;
    bool syncPending_ = false;
    // The release that ends a double-click is not a click of its own.
    bool swallowClick_ = false;
};
