#include "print/printing.h"

#include "core/session.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QWidget>

namespace print {

void paintRecordSheet(QPainter &painter, const RecordSheet &sheet)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 15)); // one pixel at 96 dpi
    for (const SheetLine &l : sheet.lines)
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    // Points are 20 twips each; the texts stand with their top at y.
    QFont font = painter.font();
    font.setPixelSize(sheet.fontPointSize * 20);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    // An entry blank of 11 points is wider than its box (23 full-width
    // characters to a box of 3770 twips) and would run into the next box:
    // a text that does not fit is narrowed to end 100 twips before the
    // border, keeping its height and its start.
    const double room = kBoxWidth - 200;
    for (const QList<SheetText> *texts : {&sheet.headers, &sheet.entries})
        for (const SheetText &t : *texts) {
            const double width = metrics.horizontalAdvance(t.text);
            const double squeeze = width > room ? room / width : 1.0;
            painter.save();
            painter.translate(t.x, t.y + metrics.ascent());
            painter.scale(squeeze, 1.0);
            painter.drawText(QPointF(0, 0), t.text);
            painter.restore();
        }
    painter.restore();
}

} // namespace print

PrintActions::PrintActions(Session &session, QWidget *window) : s_(session), window_(window)
{
    hasPrinter = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
}

QString PrintActions::pdfFileFor(const QString &baseName)
{
    if (s_.dialogs.message(window_,
                           QStringLiteral("このコンピューターにはプリンターが見つかりません。\n\n"
                                          "同じページをPDFファイルに保存しますか？"),
                           print::confirmationTitle(), Dialogs::Icon::Question,
                           Dialogs::Buttons::YesNo)
        != Dialogs::Answer::Yes)
        return {};
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("%1_%2.pdf").arg(baseName, s_.clock.today().toString(QStringLiteral("yyyyMMdd"))));
    QString file = s_.dialogs.saveFile(window_, QStringLiteral("PDFファイルに保存"), suggested,
                                       QStringLiteral("PDFファイル (*.pdf)"))
                       .value_or(QString());
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    return file;
}

bool PrintActions::printPage(const QString &pdfFile, bool landscape,
                             const std::function<void(QPainter &, const QRect &, double)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
    }
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("ナナホシ"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        s_.dialogs.message(window_,
                           pdfFile.isEmpty()
                               ? QStringLiteral("プリンターに印刷できませんでした。")
                               : QStringLiteral("PDFファイルを作れませんでした。\n\n%1")
                                     .arg(QDir::toNativeSeparators(pdfFile)),
                           QStringLiteral("印刷エラー"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return false;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    paint(painter, QRect(QPoint(0, 0), page.size()), printer.resolution() / 1440.0);
    painter.end();
    if (!pdfFile.isEmpty())
        s_.dialogs.message(window_,
                           QStringLiteral("PDFファイルに保存しました。\n\n%1").arg(QDir::toNativeSeparators(pdfFile)),
                           QStringLiteral("印刷"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    return true;
}

bool PrintActions::confirmed(print::PrintAction action)
{
    return s_.dialogs.message(window_, print::confirmationText(action), print::confirmationTitle(),
                              Dialogs::Icon::Question, Dialogs::Buttons::OkCancel)
           == Dialogs::Answer::Ok;
}

std::optional<QString> PrintActions::destination(const QString &baseName)
{
    if (hasPrinter())
        return QString();
    const QString pdf = pdfFileFor(baseName);
    return pdf.isEmpty() ? std::nullopt : std::optional<QString>(pdf);
}

void PrintActions::PrintScreenImage()
{
    if (!confirmed(print::PrintAction::ScreenImage))
        return;
    // The window as it shows now, before any box of the printing covers it.
    const QPixmap image = window_->grab();
    const std::optional<QString> pdf = destination(QStringLiteral("ナナホシ画面"));
    if (!pdf)
        return;
    const bool landscape = image.width() > image.height();
    printPage(*pdf, landscape, [&image](QPainter &p, const QRect &page, double) {
        const QSize fitted = image.size().scaled(page.size(), Qt::KeepAspectRatio);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(QRect(page.topLeft(), fitted), image);
    });
}

void PrintActions::PrintRecordSheet()
{
    if (!confirmed(print::PrintAction::RecordSheet))
        return;
    const std::optional<QString> pdf = destination(QStringLiteral("体重記録用紙"));
    if (!pdf)
        return;
    // Twips on a portrait page, from the top left of what can be printed.
    printPage(*pdf, false, [](QPainter &p, const QRect &, double twip) {
        p.scale(twip, twip);
        print::paintRecordSheet(p, print::recordSheet());
    });
}
