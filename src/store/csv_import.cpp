#include "store/csv_exchange.h"

#include "store/codec.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/format.h"
#include "store/record_line.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace csv {

namespace {

constexpr double kPound = 0.45359237;
constexpr double kMaxWeight = 500;
// Rows looked at to find the columns of a file without a header.
constexpr int kGuessRows = 200;
// Bad lines listed one by one in the preview; the rest are counted.
constexpr int kPreviewBadLines = 20;

// ------------------------------------------------------------ text and rows

QString decodeBytes(const QByteArray &bytes, Encoding *encoding, QString *error)
{
    static const char bom[] = "\xEF\xBB\xBF";
    const bool hasBom = bytes.startsWith(bom);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray body = hasBom ? bytes.mid(3) : bytes;
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        *encoding = hasBom ? Encoding::Utf8WithBom : Encoding::Utf8;
        return text;
    }
    if (hasBom) {
        *error = QStringLiteral("UTF-8 の印(BOM)がありますが、UTF-8 として読めない文字があります");
        return {};
    }
    QString reason;
    text = cp932::decode(bytes, &reason);
    if (!reason.isEmpty()) {
        *error = QStringLiteral("文字コードが UTF-8 でもシフトJIS でもないため読めません");
        return {};
    }
    *encoding = Encoding::Cp932;
    return text;
}

// The separator of the first line that is neither empty nor a comment: the
// one of comma, semicolon and tab found most often outside quotes (on a
// tie tab, then semicolon: "2025-04-07;72,5" has a decimal comma).
QChar detectSeparator(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).mid(start, end - start);
        start = end + 1;
        const QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        int commas = 0, semicolons = 0, tabs = 0;
        bool inQuotes = false;
        for (const QChar c : line) {
            if (c == u'"')
                inQuotes = !inQuotes;
            else if (!inQuotes && c == u',')
                ++commas;
            else if (!inQuotes && c == u';')
                ++semicolons;
            else if (!inQuotes && c == u'\t')
                ++tabs;
        }
        if (tabs > 0 && tabs >= semicolons && tabs >= commas)
            return u'\t';
        if (semicolons > 0 && semicolons >= commas)
            return u';';
        return u',';
    }
    return u',';
}

struct Row {
    int line = 0;         // the line it starts on
    bool comment = false; // a line starting with "#"; its text after the "#" in fields[0]
    QStringList fields;
    QString error; // a quote that is never closed, text after a closing quote
};

bool isBlank(QChar c, QChar sep) { return c == u' ' || (c == u'\t' && sep != u'\t'); }

// The rows of the text as RFC 4180 reads them; a quoted field may hold the
// separator, doubled quotes and line breaks. Unquoted fields are trimmed.
// Rows whose fields are all empty are left out.
QList<Row> readRows(const QString &text, QChar sep)
{
    QList<Row> rows;
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    qsizetype i = 0;
    int line = 1;
    auto lineEnd = [&](qsizetype k) { return k >= n || s[k] == u'\r' || s[k] == u'\n'; };
    auto skipLineEnd = [&] {
        if (i < n && s[i] == u'\r') {
            ++i;
            if (i < n && s[i] == u'\n')
                ++i;
            ++line;
        } else if (i < n && s[i] == u'\n') {
            ++i;
            ++line;
        }
    };
    while (i < n) {
        Row row;
        row.line = line;
        if (s[i] == u'#') {
            qsizetype e = i;
            while (!lineEnd(e))
                ++e;
            row.comment = true;
            row.fields.append(text.mid(i + 1, e - i - 1));
            rows.append(row);
            i = e;
            skipLineEnd();
            continue;
        }
        bool more = true;
        while (more) {
            qsizetype k = i;
            while (k < n && isBlank(s[k], sep))
                ++k;
            QString field;
            if (k < n && s[k] == u'"') {
                i = k + 1;
                bool closed = false;
                while (i < n) {
                    const QChar c = s[i];
                    if (c == u'"') {
                        if (i + 1 < n && s[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == u'\n' || (c == u'\r' && !(i + 1 < n && s[i + 1] == u'\n')))
                        ++line;
                    field += c;
                    ++i;
                }
                while (i < n && isBlank(s[i], sep))
                    ++i;
                if (!closed) {
                    row.error = QStringLiteral("引用符(\")が閉じていません");
                } else if (!lineEnd(i) && s[i] != sep) {
                    row.error = QStringLiteral("引用符(\")の後に余分な文字があります");
                    while (!lineEnd(i))
                        ++i;
                }
            } else {
                qsizetype e = i;
                while (!lineEnd(e) && s[e] != sep)
                    ++e;
                field = text.mid(i, e - i).trimmed();
                i = e;
            }
            row.fields.append(field);
            more = row.error.isEmpty() && i < n && s[i] == sep;
            if (more)
                ++i;
        }
        skipLineEnd();
        const bool empty = std::all_of(row.fields.cbegin(), row.fields.cend(),
                                       [](const QString &f) { return f.isEmpty(); });
        if (!empty || !row.error.isEmpty())
            rows.append(row);
    }
    return rows;
}

// ------------------------------------------------------------ values

// A time of day: "8:30", "08:30:00", "08:30:00.000", "8:30 PM".
std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,]\\d+)?)?\\s*([AaPp][Mm])?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int h = m.captured(1).toInt();
    const QString ampm = m.captured(4).toUpper();
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = (h % 12) + (ampm == u"PM" ? 12 : 0);
    }
    const QTime t(h, m.captured(2).toInt(), m.capturedLength(3) ? m.captured(3).toInt() : 0);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

// A date text taken apart. a/b/yyyy keeps its two first numbers for the
// caller to order.
struct DateParts {
    bool ambiguous = false; // a/b/yyyy
    int y = 0, m = 0, d = 0;
    QString time; // the time part as written, possibly empty
    QString zone; // "Z", "+09:00", ... or empty
};

std::optional<DateParts> splitDate(const QString &text)
{
    // The time and zone after a date: "T08:30:00.000Z", " 08:30", " 8:30 PM".
    static const QString timePart = QStringLiteral(
        "(?:(?:T|\\s+)(?<time>\\d{1,2}:\\d{2}(?::\\d{2}(?:[.,]\\d+)?)?(?:\\s*[AaPp][Mm])?)"
        "\\s*(?<zone>Z|[+-]\\d{2}(?::?\\d{2})?)?)?$");
    static const QRegularExpression yearFirst(
        QStringLiteral("^(?<y>\\d{4})([-/.])(?<m>\\d{1,2})\\2(?<d>\\d{1,2})") + timePart);
    static const QRegularExpression japanese(
        QStringLiteral("^(?<y>\\d{4})年\\s*(?<m>\\d{1,2})月\\s*(?<d>\\d{1,2})日") + timePart);
    static const QRegularExpression dotted(
        QStringLiteral("^(?<d>\\d{1,2})\\.(?<m>\\d{1,2})\\.(?<y>\\d{4})") + timePart);
    static const QRegularExpression slashed(
        QStringLiteral("^(?<a>\\d{1,2})/(?<b>\\d{1,2})/(?<y>\\d{4})") + timePart);
    const QString t = text.trimmed();
    for (const QRegularExpression *re : {&yearFirst, &japanese, &dotted, &slashed}) {
        const QRegularExpressionMatch m = re->match(t);
        if (!m.hasMatch())
            continue;
        DateParts p;
        p.y = m.captured(u"y").toInt();
        if (re == &slashed) {
            p.ambiguous = true;
            p.m = m.captured(u"a").toInt();
            p.d = m.captured(u"b").toInt();
        } else {
            p.m = m.captured(u"m").toInt();
            p.d = m.captured(u"d").toInt();
        }
        p.time = m.captured(u"time");
        p.zone = m.captured(u"zone");
        return p;
    }
    return std::nullopt;
}

int zoneSeconds(const QString &zone)
{
    if (zone.isEmpty() || zone == u"Z")
        return 0;
    const int sign = zone.front() == u'-' ? -1 : 1;
    QString digits = zone.mid(1);
    digits.remove(u':');
    const int h = digits.left(2).toInt();
    const int m = digits.size() >= 4 ? digits.mid(2, 2).toInt() : 0;
    return sign * (h * 3600 + m * 60);
}

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

// Weights: "72.5", "72,5", " 72 "; pounds converted to kg to 0.01. The
// reason is empty when *out was set.
QString readWeight(const QString &text, bool pounds, float *out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return QStringLiteral("体重がありません");
    if (t.count(u',') == 1 && !t.contains(u'.'))
        t.replace(u',', u'.');
    if (!fmt::isNumber(t))
        return QStringLiteral("体重「%1」が数値ではありません").arg(text.trimmed());
    double kg = t.toDouble();
    if (pounds) {
        kg = std::round(kg * kPound * 100) / 100;
        t = QString::number(kg, 'f', 2);
    }
    if (!(kg > 0 && kg <= kMaxWeight))
        return QStringLiteral("体重「%1」が 0kg より大きく 500kg 以下の範囲にありません")
            .arg(text.trimmed());
    *out = store::weightFromText(t);
    return {};
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
QString storedForm(const QString &text)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(),
                                   [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return text;
    QString error;
    const QString back = cp932::decode(cp932::encode(text, &error), &error);
    return error.isEmpty() ? back : text;
}

QString duplicateKey(const WeightRecord &r)
{
    quint32 bits = 0;
    std::memcpy(&bits, &r.weight, sizeof bits);
    return r.date + QChar(0) + r.situation + QChar(0) + QString::number(bits);
}

} // namespace

std::optional<QDate> parseDate(QStringView text, DateOrder order, const QTimeZone &zone,
                               std::optional<QTime> *time)
{
    std::optional<DateParts> p = splitDate(text.toString());
    if (!p)
        return std::nullopt;
    int month = p->m, day = p->d;
    if (p->ambiguous) {
        if (order == DateOrder::Unknown)
            return std::nullopt;
        if (order == DateOrder::DayFirst)
            std::swap(month, day);
    }
    QDate date(p->y, month, day);
    if (!date.isValid() || !dates::parse(dates::text(date)))
        return std::nullopt;
    std::optional<QTime> t;
    if (!p->time.isEmpty()) {
        t = parseTime(p->time);
        if (!t)
            return std::nullopt;
        if (!p->zone.isEmpty()) {
            const QDateTime at(date, *t, QTimeZone(zoneSeconds(p->zone)));
            const QDateTime local = at.toTimeZone(zone);
            date = local.date();
            t = local.time();
            if (!dates::parse(dates::text(date)))
                return std::nullopt;
        }
    }
    if (time)
        *time = t;
    return date;
}

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

    // The header: the first row that is not a comment, when it holds names;
    // else a commented header just before the data (Libra).
    Columns cols;
    QStringList header;
    qsizetype first = 0;
    while (first < rows.size() && rows[first].comment)
        ++first;
    if (first < rows.size() && rows[first].error.isEmpty() && isHeaderRow(rows[first])) {
        header = rows[first].fields;
        columnsFromHeader(header, &cols);
        ++first;
    } else {
        for (qsizetype k = first - 1; k >= 0; --k) {
            const QList<Row> inner = readRows(rows[k].fields.constFirst(), plan.separator);
            if (inner.isEmpty())
                continue;
            Columns c;
            if (columnsFromHeader(inner.constFirst().fields, &c) && c.date >= 0 && c.weight >= 0) {
                cols = c;
                header = inner.constFirst().fields;
                break;
            }
        }
    }
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
