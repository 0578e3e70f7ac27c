#include "store/csv_exchange.h"

#include "store/codec.h"
#include "store/csv_reading.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/record_line.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace csv {

namespace {

using namespace reading;

// Rows looked at to find the columns of a file without a header.
constexpr int kGuessRows = 200;
// Bad lines listed one by one in the preview; the rest are counted.
constexpr int kPreviewBadLines = 20;

// Whether a/b/yyyy dates are in either order: a > 12 says day first,
// b > 12 month first; a ≠ b, both ≤ 12 is a date whose order matters.
struct OrderEvidence {
    bool any = false, dayFirst = false, monthFirst = false, matters = false;
};

void addEvidence(const DateParts &p, OrderEvidence *e)
{
    if (!p.ambiguous)
        return;
    e->any = true;
    const int a = p.m, b = p.d;
    if (a > 12 && b <= 12)
        e->dayFirst = true;
    else if (b > 12 && a <= 12)
        e->monthFirst = true;
    else if (a <= 12 && b <= 12 && a != b)
        e->matters = true;
}

bool looksLikeWeight(const QString &text)
{
    float w = 0;
    return readWeight(text, false, &w).isEmpty();
}

// ------------------------------------------------------------ columns

enum class Kind { Unknown, Date, Time, Weight, Situation, Comment };

// The kind of a header name; *pounds is set when its unit says pounds.
Kind headerKind(const QString &name, bool *pounds)
{
    static const QRegularExpression withUnit(QStringLiteral(
        "^(.*?)\\s*[(\\[（［]\\s*([^)\\]）］]*?)\\s*[)\\]）］]$"));
    static const QRegularExpression joinedUnit(
        QStringLiteral("^(weight|体重)[\\s_-]*(kg|kgs|lb|lbs)$"));
    QString base = name.trimmed().toLower();
    base.remove(QChar(0xFEFF));
    QString unit;
    QRegularExpressionMatch m = withUnit.match(base);
    if (!m.hasMatch())
        m = joinedUnit.match(base);
    if (m.hasMatch()) {
        unit = m.captured(2).trimmed();
        base = m.captured(1).trimmed();
    }
    static const QHash<QString, Kind> names{
        {QStringLiteral("日付"), Kind::Date},
        {QStringLiteral("日時"), Kind::Date},
        {QStringLiteral("年月日"), Kind::Date},
        {QStringLiteral("date"), Kind::Date},
        {QStringLiteral("datetime"), Kind::Date},
        {QStringLiteral("date time"), Kind::Date},
        {QStringLiteral("date_time"), Kind::Date},
        {QStringLiteral("時刻"), Kind::Time},
        {QStringLiteral("time"), Kind::Time},
        {QStringLiteral("体重"), Kind::Weight},
        {QStringLiteral("weight"), Kind::Weight},
        {QStringLiteral("状況"), Kind::Situation},
        {QStringLiteral("situation"), Kind::Situation},
        {QStringLiteral("コメント"), Kind::Comment},
        {QStringLiteral("comment"), Kind::Comment},
        {QStringLiteral("comments"), Kind::Comment},
        {QStringLiteral("log"), Kind::Comment},
        {QStringLiteral("一言日記"), Kind::Comment},
        {QStringLiteral("日記"), Kind::Comment},
        {QStringLiteral("note"), Kind::Comment},
        {QStringLiteral("notes"), Kind::Comment},
        {QStringLiteral("メモ"), Kind::Comment},
        {QStringLiteral("memo"), Kind::Comment},
    };
    const Kind kind = names.value(base, Kind::Unknown);
    if (kind == Kind::Weight) {
        static const QStringList poundUnits{QStringLiteral("lb"), QStringLiteral("lbs"),
                                            QStringLiteral("pound"), QStringLiteral("pounds"),
                                            QStringLiteral("ポンド")};
        if (poundUnits.contains(unit))
            *pounds = true;
    }
    return kind;
}

struct Columns {
    int date = -1, time = -1, weight = -1, situation = -1, comment = -1;
    bool pounds = false;
};

// Columns by header name; the first of each kind counts. Returns whether
// any name was known.
bool columnsFromHeader(const QStringList &header, Columns *c)
{
    bool known = false;
    for (int i = 0; i < header.size(); ++i) {
        bool pounds = false;
        int *slot = nullptr;
        switch (headerKind(header[i], &pounds)) {
        case Kind::Unknown:
            continue;
        case Kind::Date:
            slot = &c->date;
            break;
        case Kind::Time:
            slot = &c->time;
            break;
        case Kind::Weight:
            slot = &c->weight;
            break;
        case Kind::Situation:
            slot = &c->situation;
            break;
        case Kind::Comment:
            slot = &c->comment;
            break;
        }
        known = true;
        if (*slot < 0) {
            *slot = i;
            c->pounds = c->pounds || pounds;
        }
    }
    return known;
}

bool isHeaderRow(const Row &row)
{
    bool pounds = false;
    for (const QString &f : row.fields) {
        if (headerKind(f, &pounds) != Kind::Unknown)
            return true;
    }
    // Names this program does not know are still names: no dates, no numbers.
    for (const QString &f : row.fields)
        if (splitDate(f) || looksLikeWeight(f))
            return false;
    return true;
}

// The first column (not yet taken) where most non-empty values pass.
template <typename Test>
int guessColumn(const QList<const Row *> &rows, const Columns &c, Test test)
{
    qsizetype width = 0;
    for (const Row *r : rows)
        width = std::max(width, r->fields.size());
    for (int col = 0; col < width; ++col) {
        if (col == c.date || col == c.time || col == c.weight || col == c.situation ||
            col == c.comment)
            continue;
        int filled = 0, hits = 0;
        for (const Row *r : rows) {
            if (col >= r->fields.size() || r->fields[col].isEmpty())
                continue;
            ++filled;
            if (test(r->fields[col]))
                ++hits;
        }
        if (hits > 0 && hits * 2 > filled)
            return col;
    }
    return -1;
}

QString field(const Row &row, int col)
{
    return col >= 0 && col < row.fields.size() ? row.fields[col] : QString();
}

// Why a text cannot go into the data file, or empty.
QString textProblem(const QString &text)
{
    const QString reason = store::unstorableReason(text);
    if (!reason.isEmpty())
        return reason;
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("制御文字は記録できません");
    return {};
}

// A storable text as the data file will give it back: CP932 holds some
// characters under another's code ("−" U+2212 is read back as "－" U+FF0D,
// "〜" as "～"), and the records compared and written are the ones read.
// Situations repeat line after line, so each text is converted once.
class StoredForm {
public:
    QString operator()(const QString &text)
    {
        const bool ascii = std::all_of(text.cbegin(), text.cend(),
                                       [](QChar c) { return c.unicode() < 0x80; });
        if (ascii)
            return text;
        auto it = seen_.constFind(text);
        if (it != seen_.cend())
            return *it;
        QString error;
        QString back = cp932::decode(cp932::encode(text, &error), &error);
        if (!error.isEmpty())
            back = text;
        seen_.insert(text, back);
        return back;
    }

private:
    QHash<QString, QString> seen_;
};

// The header: the first row that is not a comment, when it holds names;
// else a commented header just before the data (Libra). Returns the
// header's fields (empty when there is none) and sets *dataStart to the
// first row after it.
QStringList findHeader(const QList<Row> &rows, QChar sep, Columns *cols, qsizetype *dataStart)
{
    qsizetype first = 0;
    while (first < rows.size() && rows[first].comment)
        ++first;
    *dataStart = first;
    if (first < rows.size() && rows[first].error.isEmpty() && isHeaderRow(rows[first])) {
        columnsFromHeader(rows[first].fields, cols);
        *dataStart = first + 1;
        return rows[first].fields;
    }
    for (qsizetype k = first - 1; k >= 0; --k) {
        const QList<Row> inner = readRows(rows[k].fields.constFirst(), sep);
        if (inner.isEmpty())
            continue;
        Columns c;
        if (columnsFromHeader(inner.constFirst().fields, &c) && c.date >= 0 && c.weight >= 0) {
            *cols = c;
            return inner.constFirst().fields;
        }
    }
    return {};
}

QString duplicateKey(const WeightRecord &r)
{
    quint32 bits = 0;
    std::memcpy(&bits, &r.weight, sizeof bits);
    return r.date + QChar(0) + r.situation + QChar(0) + QString::number(bits);
}

} // namespace

ImportPlan planImport(const QByteArray &bytes, const QList<WeightRecord> &existing,
                      const ImportOptions &options)
{
    ImportPlan plan;
    plan.existingCount = int(existing.size());
    const QString text = decodeBytes(bytes, &plan.encoding, &plan.error);
    if (!plan.error.isEmpty())
        return plan;
    plan.separator = detectSeparator(text);
    const QList<Row> rows = readRows(text, plan.separator);

    Columns cols;
    qsizetype first = 0;
    const QStringList header = findHeader(rows, plan.separator, &cols, &first);
    static const QRegularExpression poundsLine(
        QStringLiteral("^\\s*units\\s*:\\s*(lb|lbs|pounds?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const Row &r : rows)
        if (r.comment && poundsLine.match(r.fields.constFirst()).hasMatch())
            cols.pounds = true;
    plan.pounds = cols.pounds;

    QList<const Row *> data;
    for (qsizetype k = first; k < rows.size(); ++k) {
        const Row &r = rows[k];
        if (r.comment)
            continue;
        // A header repeated where two files were put together.
        if (!header.isEmpty() && r.fields.size() == header.size() &&
            std::equal(r.fields.cbegin(), r.fields.cend(), header.cbegin(),
                       [](const QString &a, const QString &b) {
                           return a.compare(b, Qt::CaseInsensitive) == 0;
                       }))
            continue;
        data.append(&r);
    }
    if (data.isEmpty()) {
        plan.error = QStringLiteral("読み込める記録の行がありません");
        return plan;
    }

    // Columns the header did not name are found by what they hold.
    QList<const Row *> sample;
    for (const Row *r : std::as_const(data)) {
        if (r->error.isEmpty())
            sample.append(r);
        if (sample.size() == kGuessRows)
            break;
    }
    if (cols.date < 0)
        cols.date = guessColumn(sample, cols, [](const QString &f) { return bool(splitDate(f)); });
    if (cols.weight < 0)
        cols.weight = guessColumn(sample, cols, looksLikeWeight);
    if (header.isEmpty() && cols.time < 0)
        cols.time = guessColumn(sample, cols, [](const QString &f) { return bool(parseTime(f)); });
    if (cols.date < 0) {
        plan.error = QStringLiteral("日付の列が見つかりません");
        return plan;
    }
    if (cols.weight < 0) {
        plan.error = QStringLiteral("体重の列が見つかりません");
        return plan;
    }

    // m/d/yyyy or d/m/yyyy: decided by the file when it can be, else asked.
    OrderEvidence evidence;
    for (const Row *r : std::as_const(data))
        if (const auto p = splitDate(field(*r, cols.date)))
            addEvidence(*p, &evidence);
    DateOrder order = options.dateOrder;
    if (evidence.any && order == DateOrder::Unknown) {
        if (evidence.dayFirst && !evidence.monthFirst)
            order = DateOrder::DayFirst;
        else if (evidence.monthFirst && !evidence.dayFirst)
            order = DateOrder::MonthFirst;
        else if (!evidence.dayFirst && !evidence.monthFirst && !evidence.matters)
            order = DateOrder::MonthFirst; // every such date reads the same both ways
        else {
            plan.needsDateOrder = true;
            return plan;
        }
    }
    if (evidence.any)
        plan.dateOrder = order;

    StoredForm storedForm;
    QHash<QString, int> present;
    present.reserve(existing.size());
    for (const WeightRecord &r : existing)
        ++present[duplicateKey(r)];

    for (const Row *r : std::as_const(data)) {
        auto bad = [&](const QString &reason) { plan.badLines.append({r->line, reason}); };
        if (!r->error.isEmpty()) {
            bad(r->error);
            continue;
        }
        const QString dateText = field(*r, cols.date);
        if (dateText.isEmpty()) {
            bad(QStringLiteral("日付がありません"));
            continue;
        }
        std::optional<QTime> dateTime;
        const std::optional<QDate> date = parseDate(dateText, order, options.zone, &dateTime);
        if (!date) {
            bad(QStringLiteral("日付「%1」が読めません").arg(dateText));
            continue;
        }
        WeightRecord rec;
        rec.date = dates::text(*date);
        if (QString reason = readWeight(field(*r, cols.weight), cols.pounds, &rec.weight);
            !reason.isEmpty()) {
            bad(reason);
            continue;
        }
        if (cols.situation >= 0) {
            rec.situation = field(*r, cols.situation);
        } else if (const auto t = parseTime(field(*r, cols.time))) {
            rec.situation = t->toString(QStringLiteral("HH:mm"));
        } else if (dateTime) {
            rec.situation = dateTime->toString(QStringLiteral("HH:mm"));
        } else {
            rec.situation = QStringLiteral("インポート");
        }
        rec.diary = field(*r, cols.comment);
        if (QString reason = textProblem(rec.situation); !reason.isEmpty()) {
            bad(QStringLiteral("状況: ") + reason);
            continue;
        }
        if (QString reason = textProblem(rec.diary); !reason.isEmpty()) {
            bad(QStringLiteral("一言日記: ") + reason);
            continue;
        }
        rec.situation = storedForm(rec.situation);
        rec.diary = storedForm(rec.diary);
        // Each existing record stands for one line of the file, so that
        // importing a file again adds nothing and a day's repeated
        // weighings in the file are all kept.
        auto dup = present.find(duplicateKey(rec));
        if (dup != present.end() && *dup > 0) {
            --*dup;
            ++plan.duplicates;
            continue;
        }
        if (plan.firstDate.isEmpty() || rec.date < plan.firstDate)
            plan.firstDate = rec.date;
        if (plan.lastDate.isEmpty() || rec.date > plan.lastDate)
            plan.lastDate = rec.date;
        plan.toAdd.append(rec);
    }

    const qsizetype total = existing.size() + plan.toAdd.size();
    if (total > kMaxRecords) {
        plan.tooMany = true;
        plan.refusal = QStringLiteral("今の記録%1件に%2件を加えると%3件になり、記録の上限%4件を"
                                      "超えるため、読み込みません")
                           .arg(existing.size())
                           .arg(plan.toAdd.size())
                           .arg(total)
                           .arg(kMaxRecords);
    }
    return plan;
}

QString previewText(const ImportPlan &plan)
{
    if (!plan.error.isEmpty())
        return plan.error;
    if (plan.needsDateOrder)
        return QStringLiteral("日付が「月/日/年」か「日/月/年」か、ファイルからは判断できません");
    QStringList lines;
    if (plan.tooMany)
        lines.append(plan.refusal);
    lines.append(QStringLiteral("追加する記録: %1件").arg(plan.toAdd.size()));
    lines.append(QStringLiteral("重複のため追加しない記録: %1件").arg(plan.duplicates));
    lines.append(QStringLiteral("読み込めない行: %1行").arg(plan.badLines.size()));
    for (qsizetype k = 0; k < plan.badLines.size() && k < kPreviewBadLines; ++k)
        lines.append(QStringLiteral("　%1行目: %2").arg(plan.badLines[k].line).arg(plan.badLines[k].reason));
    if (plan.badLines.size() > kPreviewBadLines)
        lines.append(QStringLiteral("　ほか%1行").arg(plan.badLines.size() - kPreviewBadLines));
    if (!plan.toAdd.isEmpty())
        lines.append(QStringLiteral("期間: %1 ～ %2").arg(plan.firstDate, plan.lastDate));
    if (plan.pounds)
        lines.append(QStringLiteral("体重はポンドから kg に換算します"));
    return lines.join(u'\n');
}

QList<WeightRecord> mergeRecords(const QList<WeightRecord> &existing,
                                 const QList<WeightRecord> &added)
{
    QList<WeightRecord> fresh = added;
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const WeightRecord &a, const WeightRecord &b) { return a.date < b.date; });
    QList<WeightRecord> out;
    out.reserve(existing.size() + fresh.size());
    qsizetype i = 0, j = 0;
    while (i < existing.size() || j < fresh.size()) {
        // A new record waits until every existing record of its day is out.
        if (j < fresh.size() && (i == existing.size() || fresh[j].date < existing[i].date))
            out.append(fresh[j++]);
        else
            out.append(existing[i++]);
    }
    return out;
}

MaybeError mergedRecordBytes(const QString &dataFile, const QList<WeightRecord> &existing,
                             const QList<WeightRecord> &added, QByteArray *out)
{
    return store::recordFileBytes(dataFile, mergeRecords(existing, added), out);
}

} // namespace csv
