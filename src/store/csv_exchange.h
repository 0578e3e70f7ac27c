#pragma once

#include "store/record.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTimeZone>
#include <optional>

// Records in and out as CSV that other trackers and spreadsheets read.
//
// Export writes one person's records in one of four layouts. Import reads a
// file from another program (or from an export) in three steps, none of
// which writes anything: planImport() reads the bytes and says what would
// be added, what is a duplicate and which lines cannot be read; the caller
// shows that and, on OK, writes mergedRecordBytes() through the store's
// atomic rewrite (after its backup).
namespace csv {

// ---------------------------------------------------------------- export

enum class Layout {
    // Lossless: header 日付,状況,体重,一言日記; UTF-8 with BOM, CR LF; dates
    // as stored; fields quoted as RFC 4180 wants. Importing it into an
    // empty person gives the data file back byte for byte.
    Own,
    // openScale: header DATE,TIME,WEIGHT,COMMENT; UTF-8, LF; 2025-04-07;
    // TIME the situation when it is a time of day, else 07:00 plus one
    // minute per earlier record of the day (moved on past a minute that a
    // record of the day already has); COMMENT the situation and the diary
    // joined by " / " (the diary alone when the situation is a time).
    OpenScale,
    // Libra: #Version:5, #Units:kg, an empty line, the commented header,
    // then one line a day: local 06:00 of the day in UTC
    // (2008-09-06T21:00:00.000Z), the day's mean rounded to 0.01 kg, trend
    // and body fat empty, log the day's diaries joined by " / "; separator
    // ";", UTF-8, LF.
    Libra,
    // date,weight: one line a record, ISO dates; UTF-8, LF.
    Simple
};

// "own", "openscale", "libra", "simple" (any case); empty for another name.
std::optional<Layout> layoutFromName(QStringView name);
QString layoutName(Layout layout);

// The whole file for these records (in their order; Libra's days in date
// order). `zone` is the local time zone that Libra's 06:00 is taken in.
QByteArray exportRecords(const QList<WeightRecord> &records, Layout layout,
                         const QTimeZone &zone = QTimeZone::systemTimeZone());

// ---------------------------------------------------------------- import

enum class Encoding { Utf8WithBom, Utf8, Cp932 };

// The order of day and month in dates such as 3/4/2025.
enum class DateOrder {
    Unknown,    // decide from the file; ask when it cannot be decided
    MonthFirst, // 3/4/2025 is 4 March ... m/d/yyyy
    DayFirst    // 3/4/2025 is 3 April ... d/m/yyyy
};

struct ImportOptions {
    // The user's answer once a plan said needsDateOrder.
    DateOrder dateOrder = DateOrder::Unknown;
    // Dates given with Z or an offset are taken as dates of this zone.
    QTimeZone zone = QTimeZone::systemTimeZone();
};

// A line of the file that is not imported: its number in the file (from
// 1, counting every line; a quoted field may span lines) and why.
struct BadLine {
    int line = 0;
    QString reason;
    bool operator==(const BadLine &) const = default;
};

struct ImportPlan {
    // Why the file cannot be imported at all (not text, no date or weight
    // column, nothing to read); empty otherwise.
    QString error;
    // The file's dates read as m/d/yyyy or d/m/yyyy and nothing in it tells
    // which: ask the user once and plan again with options.dateOrder set.
    // Nothing else is filled in then.
    bool needsDateOrder = false;

    // What was found.
    Encoding encoding = Encoding::Utf8;
    QChar separator = u',';
    bool pounds = false; // weights were pounds, converted to kg
    DateOrder dateOrder = DateOrder::Unknown; // the order used, when the file had such dates

    // New records in file order; their reserved fields are empty.
    QList<WeightRecord> toAdd;
    // Lines skipped because a record with the same date, situation and
    // weight is already there (each existing record stands for one line).
    int duplicates = 0;
    QList<BadLine> badLines;
    QString firstDate, lastDate; // of toAdd, "yyyy/mm/dd"; empty when none

    int existingCount = 0;
    // existingCount + toAdd would pass kMaxRecords: the import is refused
    // whole, and `refusal` says so with the counts.
    bool tooMany = false;
    QString refusal;

    // True when OK may write: readable, decided, within the limit and
    // something to add.
    bool canImport() const
    {
        return error.isEmpty() && !needsDateOrder && !tooMany && !toAdd.isEmpty();
    }
};

// Reads a CSV file's bytes against the person's existing records.
//  - Encoding: a UTF-8 BOM, else valid UTF-8, else CP932.
//  - Separator: comma, semicolon or tab, the most frequent outside quotes
//    on the first line that is not a comment. Lines starting with "#" are
//    comments ("#Units:lb" says pounds; a commented header as Libra's is
//    used as the header). Fields are quoted as RFC 4180 says.
//  - Columns: by header name, in any case (日付/日時/date/datetime,
//    時刻/time, 体重/weight, 状況/situation, コメント/comment/log/一言日記/
//    note/メモ); "(lb)" after the weight's name says pounds. Without a
//    header, the first column of dates and the first of weights.
//  - Dates: yyyy-mm-dd, yyyy/mm/dd, yyyy年m月d日, dd.MM.yyyy, m/d/yyyy or
//    d/m/yyyy, each optionally with a time; ISO 8601 with Z or an offset is
//    converted to options.zone's date.
//  - Weights: a decimal point or a decimal comma; a weight outside
//    (0, 500] kg is a bad line; pounds × 0.45359237, rounded to 0.01 kg.
//  - Situation: the situation column, else the time column or the date's
//    time as HH:mm, else "インポート". Diary: the comment column.
//  - A line whose texts the data file cannot hold (a double quote, a line
//    break, a character outside CP932) is a bad line.
ImportPlan planImport(const QByteArray &bytes, const QList<WeightRecord> &existing,
                      const ImportOptions &options = {});

// The preview of a plan in Japanese, a line per fact: the records to
// add, the duplicates, each bad line with its number, the period; or why
// the file cannot be imported.
QString previewText(const ImportPlan &plan);

// The existing records with the new ones placed in date order: a new
// record goes after every existing record of its day; new records of one
// day keep their order.
QList<WeightRecord> mergeRecords(const QList<WeightRecord> &existing,
                                 const QList<WeightRecord> &added);

// The data file's new bytes for that merge, as the store writes a whole
// data file. `dataFile` names the file in an error.
MaybeError mergedRecordBytes(const QString &dataFile, const QList<WeightRecord> &existing,
                             const QList<WeightRecord> &added, QByteArray *out);

// ---------------------------------------------------------------- pieces

// One field as RFC 4180 writes it: in double quotes (inner quotes doubled)
// when it holds the separator, a quote, a line break, or blanks at either
// end; else as it is.
QString csvField(const QString &text, QChar separator);

// A date text of the forms above. *time is set when the text has a time
// (in options.zone after an offset is applied). Dates like 3/4/2025 need
// order MonthFirst or DayFirst; with Unknown they are not read.
std::optional<QDate> parseDate(QStringView text, DateOrder order, const QTimeZone &zone,
                               std::optional<QTime> *time = nullptr);

} // namespace csv
