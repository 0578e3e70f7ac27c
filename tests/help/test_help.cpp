#include "help/help_window.h"

#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest>

namespace {

const QStringList kTitles = {
    QStringLiteral("はじめに"), QStringLiteral("入力画面"), QStringLiteral("比較画面"),
    QStringLiteral("分析リスト"), QStringLiteral("全グラフ"), QStringLiteral("カレンダー"),
    QStringLiteral("範囲指定"), QStringLiteral("一言日記"), QStringLiteral("編集"),
    QStringLiteral("ペース"), QStringLiteral("印刷"), QStringLiteral("ヘルプツアー"),
    QStringLiteral("データファイルについて")};

int japaneseChars(const QString &text)
{
    int n = 0;
    for (QChar c : text)
        n += (c.unicode() >= 0x3040 && c.unicode() <= 0x30FF) // kana
                     || (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) // kanji
                 ? 1
                 : 0;
    return n;
}

QString pageHtml(const QString &anchor)
{
    QFile file(QStringLiteral(":/help/%1.html").arg(anchor));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void windowListsEverySectionInOrder();
    void everySectionShowsItsJapanesePage_data();
    void everySectionShowsItsJapanesePage();
    void linksAndPicturesLeadSomewhere();
    void showSectionMovesThereAndFallsBackToTheStart();
    void contentsListAndPageFollowEachOther();
};

void TestHelp::windowListsEverySectionInOrder()
{
    HelpWindow help;
    QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help.windowTitle(), QStringLiteral("ナナホシ ヘルプ"));
    QVERIFY(help.isWindow());
    QCOMPARE(help.size(), QSize(760, 560));
    QStringList titles;
    for (const HelpWindow::Section &s : help.sections())
        titles << s.title;
    QCOMPARE(titles, kTitles);
    auto *contents = help.findChild<QListWidget *>(QStringLiteral("lstHelpContents"));
    QVERIFY(contents);
    QCOMPARE(contents->count(), kTitles.size());
    QCOMPARE(help.currentSection(), QStringLiteral("start")); // the default topic
}

void TestHelp::everySectionShowsItsJapanesePage_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("title");
    HelpWindow help;
    for (const HelpWindow::Section &s : help.sections())
        QTest::newRow(qPrintable(s.anchor)) << s.anchor << s.title;
}

void TestHelp::everySectionShowsItsJapanesePage()
{
    QFETCH(QString, anchor);
    QFETCH(QString, title);
    HelpWindow help;
    help.showSection(anchor);
    QCOMPARE(help.currentSection(), anchor);
    auto *page = help.findChild<QTextBrowser *>(QStringLiteral("txtHelpPage"));
    QVERIFY(page);
    // Pictures stand in the text as replacement characters.
    const QString text = page->toPlainText().remove(QChar::ObjectReplacementCharacter).trimmed();
    QVERIFY2(text.startsWith(title), qPrintable(text.left(40)));
    QVERIFY2(japaneseChars(text) > 150, qPrintable(anchor));
    auto *contents = help.findChild<QListWidget *>(QStringLiteral("lstHelpContents"));
    QCOMPARE(contents->currentItem()->text(), title);
}

// Every link names a page of the help (and a place that exists in it), and
// every picture on a page can be drawn.
void TestHelp::linksAndPicturesLeadSomewhere()
{
    HelpWindow help;
    QStringList anchors;
    for (const HelpWindow::Section &s : help.sections())
        anchors << s.anchor;
    const QRegularExpression link(QStringLiteral("href=\"([a-z]+)\\.html(?:#([a-z]+))?\""));
    const QRegularExpression picture(QStringLiteral("src=\"(qrc:[^\"]+)\""));
    auto *page = help.findChild<QTextBrowser *>(QStringLiteral("txtHelpPage"));
    for (const QString &anchor : std::as_const(anchors)) {
        const QString html = pageHtml(anchor);
        QVERIFY2(!html.isEmpty(), qPrintable(anchor));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            QVERIFY2(anchors.contains(m.captured(1)), qPrintable(anchor + " → " + m.captured(1)));
            if (!m.captured(2).isEmpty())
                QVERIFY2(pageHtml(m.captured(1)).contains("name=\"" + m.captured(2) + "\""),
                         qPrintable(anchor + " → " + m.captured(0)));
        }
        help.showSection(anchor);
        for (auto it = picture.globalMatch(html); it.hasNext();) {
            const QUrl url(it.next().captured(1));
            const QImage image = page->loadResource(QTextDocument::ImageResource, url).value<QImage>();
            QVERIFY2(!image.isNull(), qPrintable(anchor + " " + url.toString()));
        }
    }
}

void TestHelp::showSectionMovesThereAndFallsBackToTheStart()
{
    HelpWindow help;
    help.showSection(QStringLiteral("calendar"));
    QCOMPARE(help.currentSection(), QStringLiteral("calendar"));
    help.showSection(QStringLiteral("settings#bmi"));
    QCOMPARE(help.currentSection(), QStringLiteral("settings"));
    auto *page = help.findChild<QTextBrowser *>(QStringLiteral("txtHelpPage"));
    QCOMPARE(page->source().fragment(), QStringLiteral("bmi"));
    help.showSection(QStringLiteral("nosuchpage"));
    QCOMPARE(help.currentSection(), QStringLiteral("start"));
    help.showSection(QString());
    QCOMPARE(help.currentSection(), QStringLiteral("start"));
}

void TestHelp::contentsListAndPageFollowEachOther()
{
    HelpWindow help;
    auto *contents = help.findChild<QListWidget *>(QStringLiteral("lstHelpContents"));
    auto *page = help.findChild<QTextBrowser *>(QStringLiteral("txtHelpPage"));
    contents->setCurrentRow(kTitles.indexOf(QStringLiteral("範囲指定")));
    QCOMPARE(help.currentSection(), QStringLiteral("search"));
    QVERIFY(page->toPlainText().startsWith(QStringLiteral("範囲指定")));
    // Following a link inside a page moves the contents selection too.
    page->setSource(QUrl(QStringLiteral("qrc:/help/files.html#backup")));
    QCOMPARE(help.currentSection(), QStringLiteral("files"));
    QCOMPARE(contents->currentItem()->text(), QStringLiteral("データファイルについて"));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
