#include "notes/diary_list.h"

#include "core/change_mark.h"
#include "store/format.h"
#include "store/record_line.h"

#include <QHash>

#include <bit>

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

namespace {

// Weights and changes repeat a great deal (a tenth of a kilogram apart), so
// their texts, arrows and colour lists are made once per value and shared
// by every row that shows them: a long list then costs a fraction of the
// memory and time.
struct ChangeCell {
    QString text;
    MarkCell mark;
    QList<Rgb> backs;
};

quint32 keyOf(float v)
{
    return std::bit_cast<quint32>(v == 0.0f ? 0.0f : v); // -0 and 0 alike
}

} // namespace

DiaryList buildDiaryList(const QList<WeightRecord> &records)
{
    DiaryList list;
    list.rows.reserve(records.size());
    QHash<quint32, QString> weightTexts;
    QHash<quint32, ChangeCell> changeCells;
    float previous = 0;
    int i = 0;
    for (const WeightRecord &r : records) {
        ++i;
        // The first record has nothing before it and counts as unchanged.
        const float change = previous == 0 ? 0.0f : r.weight - previous;
        previous = r.weight;

        auto w = weightTexts.constFind(keyOf(r.weight));
        if (w == weightTexts.cend())
            w = weightTexts.insert(keyOf(r.weight), fmt::shortest(r.weight));
        auto c = changeCells.constFind(keyOf(change));
        if (c == changeCells.cend()) {
            ChangeCell cell;
            cell.text = fmt::number(change, u"0.0");
            // The arrow agrees with the change as shown: "0.0" is never "↑".
            cell.mark = changeMark(cell.text);
            cell.backs = QList<Rgb>(kCommentColumn + 1, palette::kDefault);
            cell.backs[5] = cell.mark.back;
            c = changeCells.insert(keyOf(change), cell);
        }

        table::Row row;
        row.texts.reserve(7);
        row.texts << QString::number(i) << r.date << r.situation << *w << c->text << c->mark.text
                  << r.diary;
        row.backs = c->backs;
        list.rows.append(std::move(row));
    }
    list.scrollToEnd = list.rows.size() + 1 > kDiaryListVisibleRows;
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
        r.reserved5.clear();
        r.reserved6.clear();
    }
    save.records[row - 1].diary = comment;
    return save;
}

} // namespace notes
