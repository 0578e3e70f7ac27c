#pragma once

#include "core/table.h"
#include "store/record.h"

#include <QList>
#include <QString>

// The one-line diary list of the notes screen and the records a comment
// save writes back. The memo file has its own reader and writer in store/.
namespace notes {

// msgMemoList: "回数", "日付", "行動", "体重", "前差", "差", and the comment.
table::Columns diaryListColumns();
constexpr int kCommentColumn = 6;
// More grid rows than this, the header included, scroll to the last row.
constexpr int kDiaryListVisibleRows = 15;

struct DiaryList {
    table::Rows rows; // grid row i (from 1) is record i - 1
    bool scrollToEnd = false;
};
DiaryList buildDiaryList(const QList<WeightRecord> &records);

// What saving a comment writes: the listed records (those the list was
// built from, or the result of the previous save) with the comment of grid
// row `row` (from 1) replaced and the reserved fields empty. The record is
// found by its row, never by its content, so one of several identical
// records can be edited. When refusal is not empty nothing may be written:
// no row has been picked, or the comment cannot be stored (a double quote,
// a line break, a character outside Shift-JIS); refusal says why.
struct CommentSave {
    QList<WeightRecord> records;
    QString refusal;
};
CommentSave saveComment(const QList<WeightRecord> &listed, int row, const QString &comment);

} // namespace notes
