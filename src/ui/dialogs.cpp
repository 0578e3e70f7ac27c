#include "ui/dialogs.h"

#include <QGuiApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {

// QMessageBox never grows wider than this on the given screen; a label
// that asks for more is cut off rather than wrapped.
int widestMessageBox(const QScreen *screen)
{
    const int room = screen->availableGeometry().width();
    return room <= 1024 ? room : std::min(room - 480, 1000);
}

// Gives the text label room for its longest line, so that lines break only
// where the text has a line break. The label measures its own text unwrapped:
// that is the width at which its layout keeps every line whole.
void fitLongestLine(QMessageBox &box, QWidget *parent)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    box.ensurePolished();
    const bool wrap = label->wordWrap();
    label->setWordWrap(false);
    const int longest = label->sizeHint().width();
    label->setWordWrap(wrap);
    label->setMinimumWidth(longest);

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen || !box.layout())
        return;
    box.layout()->activate();
    const int overflow = box.layout()->totalMinimumSize().width() - widestMessageBox(screen);
    if (overflow > 0)
        label->setMinimumWidth(std::max(0, longest - overflow));
}

// Lines such as "　・区切り経過　　　：０．５Ｋｇを…" line their colons up
// with full-width spaces, which only a font of equal widths keeps in line.
// Two or more of them in a row become the rows of a table instead, so the
// colons align in any font; everything else stays as written.
QString alignedRichText(const QString &text)
{
    static const QRegularExpression item(QStringLiteral("^([\\x{3000} ]*・)(.+?)[\\x{3000} ]*：(.*)$"));
    QStringList lines = text.split(u'\n');
    for (QString &l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    int rows = 0;
    for (const QString &l : lines)
        if (item.match(l).hasMatch())
            ++rows;
    if (rows < 2)
        return QString();
    QString html;
    bool inTable = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &l = lines.at(i);
        // A blank line between two such lines stays a blank row of the table.
        if (inTable && l.trimmed().isEmpty() && i + 1 < lines.size() && item.match(lines.at(i + 1)).hasMatch()) {
            html += QStringLiteral("<tr><td colspan=\"3\">&nbsp;</td></tr>");
            continue;
        }
        const QRegularExpressionMatch m = item.match(l);
        if (m.hasMatch()) {
            if (!inTable)
                html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
            inTable = true;
            html += QStringLiteral("<tr><td style=\"white-space:pre\">%1%2</td><td>：</td><td>%3</td></tr>")
                        .arg(m.captured(1).toHtmlEscaped(), m.captured(2).toHtmlEscaped(),
                             m.captured(3).toHtmlEscaped());
            continue;
        }
        if (inTable)
            html += QStringLiteral("</table>");
        else if (!html.isEmpty())
            html += QStringLiteral("<br>");
        inTable = false;
        html += QStringLiteral("<span style=\"white-space:pre\">%1</span>").arg(l.toHtmlEscaped());
    }
    if (inTable)
        html += QStringLiteral("</table>");
    return html;
}

} // namespace

std::unique_ptr<QMessageBox> WidgetDialogs::buildMessageBox(QWidget *parent, const QString &text,
                                                            const QString &title, Icon icon,
                                                            Buttons buttons)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(title);
    if (const QString rich = alignedRichText(text); !rich.isEmpty()) {
        box->setTextFormat(Qt::RichText);
        box->setText(rich);
    } else {
        box->setTextFormat(Qt::PlainText);
        box->setText(text);
    }
    switch (icon) {
    case Icon::None: box->setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box->setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case Icon::Question: box->setIcon(QMessageBox::Question); break;
    case Icon::Critical: box->setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A box over a window that stays on top (the splash) must stay on top
    // as well, or the window would hide the question it waits for.
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    fitLongestLine(*box, parent);
    return box;
}

Dialogs::Answer WidgetDialogs::answerFor(int result)
{
    switch (result) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
    }
}

Dialogs::Answer WidgetDialogs::message(QWidget *parent, const QString &text, const QString &title,
                                       Icon icon, Buttons buttons)
{
    const std::unique_ptr<QMessageBox> box = buildMessageBox(parent, text, title, icon, buttons);
    // In front and with the focus, whatever else is on the screen.
    box->show();
    box->raise();
    box->activateWindow();
    return answerFor(box->exec());
}

std::optional<QString> WidgetDialogs::input(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> WidgetDialogs::saveFile(QWidget *parent, const QString &title,
                                               const QString &suggested, const QString &filter)
{
    const QString file = QFileDialog::getSaveFileName(parent, title, suggested, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> WidgetDialogs::openFile(QWidget *parent, const QString &title,
                                               const QString &folder, const QString &filter)
{
    const QString file = QFileDialog::getOpenFileName(parent, title, folder, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<int> WidgetDialogs::choose(QWidget *parent, const QString &prompt, const QString &title,
                                         const QStringList &items, int current)
{
    bool ok = false;
    const QString item = QInputDialog::getItem(parent, title, prompt, items, current, false, &ok);
    if (!ok)
        return std::nullopt;
    const qsizetype at = items.indexOf(item);
    if (at < 0)
        return std::nullopt;
    return int(at);
}
