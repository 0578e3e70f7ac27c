#pragma once

#include "store/record.h"

#include <QByteArray>
#include <QString>

#include <cstring>

// Record lines read straight from a data file's bytes. A data file of the
// largest size must read in about twice the time of merely decoding it,
// so the common line (six well-formed fields, an ASCII date and weight)
// is split on the bytes and each text field decoded once. Any other line
// goes through the exact reader (decode the line, splitFields,
// parseRecordLine), which also words every reason for a damaged line, so
// both ways read a line the same.
//
// Splitting on the bytes is safe: ',', '"', CR, LF, blank and tab are all
// below 0x40 and so never the second byte of a CP932 character.
namespace store::scan {

// One line, its line break (LF, or CR LF) taken off.
struct Line {
    const char *begin = nullptr;
    const char *end = nullptr;
    int number = 0;          // counted from 1
    qint64 offset = 0;       // where it starts in the file
    bool terminated = true;  // a line break follows it
    bool last = false;       // nothing follows it
};

// Calls visit(line) for every line, first to last, until visit returns false.
template <typename Visit>
void forEachLine(const QByteArray &bytes, Visit &&visit)
{
    const char *const start = bytes.constData();
    const char *p = start;
    const char *const end = start + bytes.size();
    Line line;
    while (p < end) {
        const auto *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        line.begin = p;
        line.end = lf ? lf : end;
        if (lf && line.end > p && line.end[-1] == '\r')
            --line.end;
        ++line.number;
        line.offset = p - start;
        line.terminated = lf != nullptr;
        p = lf ? lf + 1 : end;
        line.last = p == end;
        if (!visit(std::as_const(line)))
            return;
    }
}

// Number of LF bytes.
qsizetype countLineBreaks(const char *begin, const char *end);

// The lines of bytes from the last one backwards, until visit returns
// false; numbered as forEachLine numbers them. `breaks` is
// countLineBreaks over all of bytes.
template <typename Visit>
void forEachLineBackwards(const QByteArray &bytes, qsizetype breaks, Visit &&visit)
{
    const char *const start = bytes.constData();
    const char *end = start + bytes.size();
    Line line;
    // A file ending in a line break has no line after its last break.
    line.number = int(breaks) + (end > start && end[-1] != '\n' ? 1 : 0);
    line.last = true;
    while (end > start) {
        const bool terminated = end[-1] == '\n';
        const char *lineEnd = terminated ? end - 1 : end;
        const char *b = lineEnd;
        while (b > start && b[-1] != '\n')
            --b;
        line.begin = b;
        line.end = lineEnd;
        if (terminated && line.end > b && line.end[-1] == '\r')
            --line.end;
        line.offset = b - start;
        line.terminated = terminated;
        if (!visit(std::as_const(line)))
            return;
        end = b;
        --line.number;
        line.last = false;
    }
}

// A field as bytes: the text between its quotes, or a bare field without
// the ASCII blanks around it.
struct Field {
    const char *data = nullptr;
    qsizetype size = 0;
    bool quoted = false;
};

// Splits a line into exactly six fields the way splitFields does. False
// for anything else (another number of fields, an open quote, text after
// a closing quote, a quote in a bare field, a CR inside the line).
bool splitSix(const Line &line, Field out[6]);

// The field as a date text "yyyy/mm/dd" naming a real day, or false.
bool isDateField(const Field &f);

// The field as a weight, read as parseRecordLine reads one (plain ASCII
// only), or false: also for a weight parseRecordLine refuses (outside
// (0, 500] kg) and for a long one, both left to it.
bool weightField(const Field &f, float *weight);

// The text of a field as parseRecordLine takes it (a bare field trimmed).
// False when the bytes are not valid CP932.
bool fieldText(const Field &f, QString *out);

// What a line holds.
enum class Kind { Blank, Record, Damaged };

// Reads a line the exact way: decodes it, skips it when blank, parses it
// with parseRecordLine. *reason says what is wrong with a damaged line.
Kind readExact(const Line &line, WeightRecord *out, QString *reason);

} // namespace store::scan
