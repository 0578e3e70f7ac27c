#pragma once

#include "core/colours.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <iterator>
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
    bool operator==(const Row &) const = default;
};

// The data rows of a table. Either stored, row by row, or made on demand
// by a function: a table of a whole file (32,767 rows) is handed to the
// grid as its row count and a maker, and only the rows that show are ever
// written out as text.
class Rows {
public:
    using Maker = std::function<Row(qsizetype)>;

    Rows() = default;
    Rows(std::initializer_list<Row> rows) : stored_(rows) {}
    // `count` rows; row i (from 0) is make(i). The maker keeps what it
    // needs alive (capture shared data by value).
    static Rows made(qsizetype count, Maker make);

    qsizetype size() const { return maker_ ? count_ : stored_.size(); }
    bool isEmpty() const { return size() == 0; }
    bool isMade() const { return bool(maker_); }

    Row at(qsizetype i) const { return maker_ ? maker_(i) : stored_.at(i); }
    Row operator[](qsizetype i) const { return at(i); }
    Row first() const { return at(0); }
    Row last() const { return at(size() - 1); }
    // Stored rows only.
    Row &operator[](qsizetype i) { return stored_[i]; }
    void append(const Row &r) { stored_.append(r); }
    void append(Row &&r) { stored_.append(std::move(r)); }
    void reserve(qsizetype n) { stored_.reserve(n); }

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Row;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = Row;
        const_iterator(const Rows *rows, qsizetype i) : rows_(rows), i_(i) {}
        Row operator*() const { return rows_->at(i_); }
        const_iterator &operator++()
        {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator &o) const { return i_ != o.i_; }

    private:
        const Rows *rows_;
        qsizetype i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    QList<Row> stored_;
    Maker maker_;
    qsizetype count_ = 0;
};

inline Rows Rows::made(qsizetype count, Maker make)
{
    Rows r;
    r.maker_ = std::move(make);
    r.count_ = count;
    return r;
}

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
