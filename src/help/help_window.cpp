#include "help/help_window.h"

#include "ui/art/art_paths.h"

#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>

namespace {

constexpr char kPagePrefix[] = "qrc:/help/";

QUrl pageUrl(const QString &anchor, const QString &fragment)
{
    QUrl url(QString::fromUtf8(kPagePrefix) + anchor + QStringLiteral(".html"));
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

// The pages show the program's own pictures. They are SVG; drawing them
// here keeps the help independent of an image plug-in.
class HelpBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::ImageResource && name.path().endsWith(QStringLiteral(".svg"))) {
            const QString path = QStringLiteral(":") + name.path();
            QSvgRenderer renderer(path);
            if (renderer.isValid()) {
                // Drawn large and scaled down by the page, so it stays crisp.
                QSize size = renderer.defaultSize();
                size.scale(96, 96, Qt::KeepAspectRatio);
                QImage image(size, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                renderer.render(&painter);
                painter.end();
                return image;
            }
        }
        return QTextBrowser::loadResource(type, name);
    }
};

QString readStyle()
{
    QFile file(QStringLiteral(":/help/help.css"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// "qrc:/help/<anchor>.html#place" gives <anchor>.
QString sectionOf(const QUrl &url)
{
    const QString name = url.path().section(QLatin1Char('/'), -1);
    return name.endsWith(QStringLiteral(".html")) ? name.chopped(5) : QString();
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window),
      sections_({
          {QStringLiteral("start"), QStringLiteral("はじめに")},
          {QStringLiteral("entry"), QStringLiteral("入力画面")},
          {QStringLiteral("compare"), QStringLiteral("比較画面")},
          {QStringLiteral("analysis"), QStringLiteral("分析リスト")},
          {QStringLiteral("graph"), QStringLiteral("全グラフ")},
          {QStringLiteral("calendar"), QStringLiteral("カレンダー")},
          {QStringLiteral("search"), QStringLiteral("範囲指定")},
          {QStringLiteral("notes"), QStringLiteral("一言日記")},
          {QStringLiteral("settings"), QStringLiteral("編集")},
          {QStringLiteral("pace"), QStringLiteral("ペース")},
          {QStringLiteral("print"), QStringLiteral("印刷")},
          {QStringLiteral("tour"), QStringLiteral("ヘルプツアー")},
          {QStringLiteral("files"), QStringLiteral("データファイルについて")},
      }),
      contents_(new QListWidget(this)), browser_(new HelpBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("ナナホシ ヘルプ"));
    setWindowIcon(art::icon(QString::fromUtf8(art::kToolHelp)));
    resize(760, 560);

    contents_->setObjectName(QStringLiteral("lstHelpContents"));
    browser_->setObjectName(QStringLiteral("txtHelpPage"));
    for (const Section &section : std::as_const(sections_))
        contents_->addItem(section.title);
    contents_->setMinimumWidth(150);
    contents_->setSpacing(2);

    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    browser_->document()->setDefaultStyleSheet(readStyle());

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 590});
    splitter->setChildrenCollapsible(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);

    connect(contents_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < sections_.size() && currentSection() != sections_.at(row).anchor)
            browser_->setSource(pageUrl(sections_.at(row).anchor, QString()));
    });
    // Links between pages move the contents selection along. The signal comes
    // before source() has changed, so the new address is taken from it.
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this](const QUrl &url) { followSource(url); });

    showSection(QString());
}

HelpWindow::~HelpWindow() = default;

QList<HelpWindow::Section> HelpWindow::sections() const
{
    return sections_;
}

void HelpWindow::showSection(const QString &anchor)
{
    const qsizetype hash = anchor.indexOf(QLatin1Char('#'));
    QString page = hash < 0 ? anchor : anchor.left(hash);
    const QString fragment = hash < 0 ? QString() : anchor.mid(hash + 1);
    const bool known = std::any_of(sections_.cbegin(), sections_.cend(),
                                   [&](const Section &s) { return s.anchor == page; });
    if (!known)
        page = sections_.first().anchor;
    browser_->setSource(pageUrl(page, known ? fragment : QString()));
    if (known && !fragment.isEmpty())
        browser_->scrollToAnchor(fragment);
    followSource(browser_->source());
}

void HelpWindow::showAt(const QString &anchor)
{
    showSection(anchor);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

QString HelpWindow::currentSection() const
{
    return sectionOf(browser_->source());
}

void HelpWindow::followSource(const QUrl &url)
{
    const QString anchor = sectionOf(url);
    for (int row = 0; row < sections_.size(); ++row) {
        if (sections_.at(row).anchor == anchor) {
            const QSignalBlocker quiet(contents_);
            contents_->setCurrentRow(row);
            return;
        }
    }
}
