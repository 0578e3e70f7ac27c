#include "notes/diary_list.h"

#include "core/change_mark.h"
#include "store/format.h"
#include "store/record_line.h"


namespace notes {

table::Columns diaryListColumns()
{
    using table::Align;
    return {{QStringLiteral("回数"), 560, Align::Right, Align::Center},
            {QStringLiteral("日付"), 1100, Align::Center, Align::Center},
            {QStringLiteral("行動"), 1680, Align::Left, Align::Center},
            {QStringLiteral("体重"), 550, Align::Right, Align::Center},
            {QStringLiteral("前差"), 550, Align::Right, Align::Center},
            {QStringLiteral("差"), 320, Align::Center, Align::Center},
            {QStringLiteral("一言日記（言い訳など）"), 5930, Align::Left, Align::Center}};
}


DiaryList buildDiaryList(const QList<WeightRecord> &records)
{
    DiaryList list;
    // A row is written out only when it shows; the records are shared.
    list.rows = table::Rows::made(records.size(), [records](qsizetype i) {
        const WeightRecord &r = records.at(i);
        // The first record has nothing before it and counts as unchanged.
        const float previous = i == 0 ? 0.0f : records.at(i - 1).weight;
        const float change = previous == 0 ? 0.0f : r.weight - previous;
        const QString changeText = fmt::number(change, u"0.0");
        // The arrow follows the change before it is rounded for the text:
        // +0.02 reads "0.0" but is still a gain.
        const MarkCell mark = changeMarkOf(change);
        table::Row row;
        row.texts.reserve(kCommentColumn + 1);
        row.texts << QString::number(i + 1) << r.date << r.situation << fmt::shortest(r.weight)
                  << changeText << mark.text << r.diary;
        row.backs = QList<Rgb>(kCommentColumn + 1, palette::kDefault);
        row.backs[5] = mark.back;
        return row;
    });
    list.scrollToEnd = records.size() + 1 > kDiaryListVisibleRows;
    return list;
}

CommentSave saveComment(const QList<WeightRecord> &listed, int row, const QString &comment)
{
    CommentSave save;
    if (row < 1 || row > listed.size()) {
        save.refusal = QStringLiteral("一言日記を書き込む行を一覧から選んでください");
        return save;
    }
    if (const QString reason = store::unstorableReason(comment); !reason.isEmpty()) {
        save.refusal = reason;
        return save;
    }
    save.records = listed;
    for (WeightRecord &r : save.records) {
        r.reserved.clear();
    }
    save.records[row - 1].diary = comment;
    return save;
}

} // namespace notes
