#include "store/legacy_file.h"

#include "store/dates.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/text_file.h"

namespace store {

MaybeError readLegacyRecords(const DataDir &dir, QList<WeightRecord> *out)
{
    out->clear();
    TextLines text;
    if (MaybeError e = readTextLines(dir, legacyDataFile(), &text))
        return e;
    const QString actual = dir.resolve(legacyDataFile());
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const QString &line = text.lines.at(i);
        const int lineNo = int(i) + 1;
        if (line.trimmed().isEmpty() && !text.lastLineUndecodable)
            continue;
        if (text.lastLineUndecodable && i == text.lines.size() - 1)
            return StoreError{actual, lineNo, QStringLiteral("シフトJISとして読めないバイトがあります")};
        QList<LineField> f;
        if (QString e = splitFields(line, &f); !e.isEmpty())
            return StoreError{actual, lineNo, e};
        if (f.size() != 3)
            return StoreError{actual, lineNo,
                              QStringLiteral("項目の数が3ではありません(%1項目)").arg(f.size())};
        if (!dates::isDateText(f[0].text))
            return StoreError{actual, lineNo,
                              QStringLiteral("日付「%1」が yyyy/mm/dd の形ではありません").arg(f[0].text)};
        if (!fmt::isNumber(f[2].text))
            return StoreError{actual, lineNo,
                              QStringLiteral("体重「%1」が数値ではありません").arg(f[2].text)};
        if (out->size() >= kMaxRecords)
            return StoreError{actual, lineNo,
                              QStringLiteral("記録が%1件を超えています").arg(kMaxRecords)};
        WeightRecord r;
        r.date = f[0].text;
        r.situation = f[1].text;
        r.weight = f[2].text.trimmed().toFloat();
        out->append(r);
    }
    return std::nullopt;
}

} // namespace store
