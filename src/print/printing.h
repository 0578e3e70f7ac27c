#pragma once

#include "print/record_sheet.h"

#include <QString>
#include <functional>
#include <optional>

class QPainter;
class QRect;
class QWidget;
struct Session;

// The two print buttons of the toolbar. Each asks first; then it prints on
// the default printer, or, where the system has none, offers to save the
// same page as a PDF file and says where it went.
class PrintActions {
public:
    PrintActions(Session &session, QWidget *window);

    // PrintScreenImage: the window as it shows now.
    void PrintScreenImage();
    // PrintRecordSheet: the blank weight record sheet.
    void PrintRecordSheet();

    // Whether a printer is there to print on; tests put their own answer in.
    std::function<bool()> hasPrinter;

private:
    // The question before each print; true when the user says OK.
    bool confirmed(print::PrintAction action);
    // The printer (an empty name) when there is one, else the PDF file the
    // user names; nothing when they decline or cancel.
    std::optional<QString> destination(const QString &baseName);
    // Where the page goes when no printer is there: a PDF file the user
    // names, or nothing when they decline or cancel.
    QString pdfFileFor(const QString &baseName);
    // Paints one page with `paint` on the printer or into `pdfFile`; false
    // (after telling the user) when the device could not be opened.
    bool printPage(const QString &pdfFile, bool landscape,
                   const std::function<void(QPainter &, const QRect &page, double twip)> &paint);

    Session &s_;
    QWidget *window_;
};

namespace print {
// Draws the sheet with the painter's coordinates in twips from the top
// left corner of the printable area: black lines, the texts in their font.
void paintRecordSheet(QPainter &painter, const RecordSheet &sheet);
} // namespace print
