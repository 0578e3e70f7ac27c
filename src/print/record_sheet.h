#pragma once

#include <QList>
#include <QString>

// What the two print buttons need besides a printer: the confirmation
// they ask first, and the blank weight record sheet as lines and texts in
// twips from the top left corner of the printable area, so a painter
// draws them one by one and a test can count them.
namespace print {

enum class PrintAction { ScreenImage, RecordSheet }; // cmdPrint, cmdPrint1

// The OK/Cancel question (question icon) asked before printing.
QString confirmationTitle(); // "印刷確認"
QString confirmationText(PrintAction action);

struct SheetLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // black
    bool operator==(const SheetLine &) const = default;
};

struct SheetText {
    int x = 0, y = 0; // the text's top left corner
    QString text;
    bool operator==(const SheetText &) const = default;
};

// Three columns by four rows of boxes, each with a date header blank and
// ten entry blanks to be filled in by hand.
struct RecordSheet {
    QList<SheetLine> lines;   // two vertical, then three horizontal
    int fontPointSize = 11;   // for every text
    QList<SheetText> headers; // 12, by column, then row
    QList<SheetText> entries; // 120, by column, then row, then line
};
RecordSheet recordSheet();

constexpr int kBoxWidth = 3770;  // twips
constexpr int kBoxHeight = 4050; // twips

} // namespace print
