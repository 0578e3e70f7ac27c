#pragma once

#include "store/palette.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What a computation hands a screen: the layout of a table (described once,
// next to the computation that fills it), its rows, and the value columns
// of a chart. The screen writes these into its Grid or LineChart in one
// call each and converts nothing itself.
namespace table {

enum class Align { Left, Center, Right };

struct Column {
    QString header;
    int twips = -1;                    // width; -1 is the grid's default
    Align align = Align::Right;        // data cells
    Align headerAlign = Align::Center; // the header cell (and a fixed column's cells)
};
using Columns = QList<Column>;

// One data row: texts by column and back colours by column. A missing
// colour, or palette::kDefault, is the grid's default white.
struct Row {
    QStringList texts;
    QList<Rgb> backs;
};
using Rows = QList<Row>;

} // namespace table

// One value column of a chart, row 1 first. An empty entry is a day or a
// row without a value; the line breaks there.
using ChartValues = QList<std::optional<float>>;

// A value axis set by the program.
struct AxisRange {
    double min = 0;
    double max = 0;
    bool operator==(const AxisRange &) const = default;
};
