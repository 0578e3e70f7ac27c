// What main() sets up before any window opens, and what the user sees of
// it: window titles exactly as the program writes them, Qt's standard
// buttons and menus in Japanese, message boxes as wide as their longest
// line, and the refusals of a data directory that is in use or cannot be
// written.
#include "../store/fault_process.h"
#include "app/application_setup.h"
#include "temp_data_dir.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// A button's text as it is drawn: the mnemonic marker is not shown.
QString shownText(const QAbstractButton *button)
{
    QString text = button->text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

QStringList menuTexts(const QMenu &menu)
{
    QStringList texts;
    const QList<QAction *> actions = menu.actions();
    for (const QAction *a : actions)
        if (!a->isSeparator())
            texts.append(a->text());
    return texts;
}

QLabel *textLabel(QMessageBox &box)
{
    return box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
}

} // namespace

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void titlesAreThePrograms();
    void standardButtonsAndMenusAreJapanese();
    void answerIsTheButtonClicked();
    void boxIsAsWideAsItsLongestLine_data();
    void boxIsAsWideAsItsLongestLine();
    void overlongLineStaysOnTheScreen();
    void linesAlignedWithFullWidthSpacesBecomeATable();
    void lockHeldByARunningProgramIsInUse();
    void lockLeftByAnEndedProgramIsTakenOver();
    void readOnlyDirectoryIsNotReportedAsInUse();
    void everyLockFailureHasItsOwnWords();
};

void TestApplication::initTestCase()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    setUpApplication(*app);
}

void TestApplication::titlesAreThePrograms()
{
    QCOMPARE(QApplication::applicationName(), QStringLiteral("nanahoshi"));
    // Qt appends a display name, once one is set, to every window title.
    // Without one the display name follows the application name, whatever
    // that is.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString followed = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(QStringLiteral("nanahoshi"));
    QCOMPARE(followed, QStringLiteral("probe"));

    QCOMPARE(QApplication::style()->name().toLower(), QStringLiteral("fusion"));

    const auto box = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("行動を選んでください。"),
                                                    QStringLiteral("行動未入力"),
                                                    Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    QCOMPARE(box->windowTitle(), QStringLiteral("行動未入力"));
}

void TestApplication::standardButtonsAndMenusAreJapanese()
{
    const auto yesNo = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("削除しますか？"),
                                                      QStringLiteral("削除確認"), Dialogs::Icon::Question,
                                                      Dialogs::Buttons::YesNo);
    QCOMPARE(yesNo->buttons().size(), 2);
    QVERIFY(yesNo->button(QMessageBox::Yes) && yesNo->button(QMessageBox::No));
    QVERIFY2(shownText(yesNo->button(QMessageBox::Yes)).startsWith(QStringLiteral("はい")),
             qPrintable(yesNo->button(QMessageBox::Yes)->text()));
    QVERIFY2(shownText(yesNo->button(QMessageBox::No)).startsWith(QStringLiteral("いいえ")),
             qPrintable(yesNo->button(QMessageBox::No)->text()));
    QCOMPARE(yesNo->defaultButton(), yesNo->button(QMessageBox::Yes));

    const auto okCancel = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("印刷しますか？"),
                                                         QStringLiteral("印刷確認"), Dialogs::Icon::Question,
                                                         Dialogs::Buttons::OkCancel);
    QCOMPARE(okCancel->buttons().size(), 2);
    QVERIFY(okCancel->button(QMessageBox::Ok) && okCancel->button(QMessageBox::Cancel));
    QCOMPARE(shownText(okCancel->button(QMessageBox::Ok)), QStringLiteral("OK"));
    QCOMPARE(shownText(okCancel->button(QMessageBox::Cancel)), QStringLiteral("キャンセル"));
    QCOMPARE(okCancel->defaultButton(), okCancel->button(QMessageBox::Ok));

    // The input box of the situation list and the like.
    QInputDialog input;
    input.setLabelText(QStringLiteral("新しい状況"));
    input.show();
    QVERIFY(QTest::qWaitForWindowExposed(&input));
    auto *inputButtons = input.findChild<QDialogButtonBox *>();
    QVERIFY(inputButtons);
    QCOMPARE(shownText(inputButtons->button(QDialogButtonBox::Cancel)), QStringLiteral("キャンセル"));
    input.reject();

    // A text box's context menu.
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    const QString all = menuTexts(*menu).join(QLatin1Char('|'));
    for (const QString &word : {QStringLiteral("元に戻す"), QStringLiteral("切り取り"),
                                QStringLiteral("コピー"), QStringLiteral("貼り付け")})
        QVERIFY2(all.contains(word), qPrintable(all));
    QVERIFY2(!all.contains(QStringLiteral("Copy")), qPrintable(all));
}

void TestApplication::answerIsTheButtonClicked()
{
    // Shown without its own event loop, then clicked as a person would.
    const auto box = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("削除しますか？"),
                                                    QStringLiteral("削除確認"), Dialogs::Icon::Question,
                                                    Dialogs::Buttons::YesNo);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QCOMPARE(WidgetDialogs::answerFor(box->result()), Dialogs::Answer::No);

    const auto ok = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("印刷しますか？"),
                                                   QStringLiteral("印刷確認"), Dialogs::Icon::Question,
                                                   Dialogs::Buttons::OkCancel);
    ok->show();
    QVERIFY(QTest::qWaitForWindowExposed(ok.get()));
    QTest::mouseClick(ok->button(QMessageBox::Cancel), Qt::LeftButton);
    QCOMPARE(WidgetDialogs::answerFor(ok->result()), Dialogs::Answer::Cancel);
}

void TestApplication::boxIsAsWideAsItsLongestLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    // Lines longer than the width QMessageBox picks by itself, which it
    // would break anywhere: Japanese has no spaces to break at.
    QTest::newRow("one long line")
        << QStringLiteral("今日はすごくニコニコの一日でした。体重が前回より減っています。この調子で続けましょう！")
        << int(Dialogs::Icon::Information);
    QTest::newRow("the long line second")
        << QStringLiteral("はじめまして。\n\n設定ファイル・状況リスト・気付きメモを用意しました。まだ二人の登録がありません。\n終了します。")
        << int(Dialogs::Icon::Information);
    QTest::newRow("without icon")
        << QStringLiteral("このフォルダーのデータは、すでに起動しているナナホシが使っています。すこし待ってからもう一度。")
        << int(Dialogs::Icon::None);
    QTest::newRow("short") << QStringLiteral("保存しました。") << int(Dialogs::Icon::Information);
}

void TestApplication::boxIsAsWideAsItsLongestLine()
{
    QFETCH(QString, text);
    QFETCH(int, icon);
    const auto box = WidgetDialogs::buildMessageBox(nullptr, text, QStringLiteral("確認"),
                                                    Dialogs::Icon(icon), Dialogs::Buttons::Ok);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QLabel *label = textLabel(*box);
    QVERIFY(label);

    const QFontMetrics fm = label->fontMetrics();
    int longest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        longest = std::max(longest, fm.horizontalAdvance(line));
    QVERIFY2(label->width() >= longest,
             qPrintable(QStringLiteral("label %1, longest line %2").arg(label->width()).arg(longest)));
    // No line is broken: the text is as tall at the label's width as it is
    // with no limit at all.
    QCOMPARE(label->heightForWidth(label->width()), label->heightForWidth(QWIDGETSIZE_MAX));
    // And the whole label is inside the box.
    QVERIFY(label->geometry().right() < box->width());
}

// The tour's colon-aligned lines only align in a font of equal widths; the
// box lays them out as a table so the colons line up in any font, and the
// words stay exactly as written.
void TestApplication::linesAlignedWithFullWidthSpacesBecomeATable()
{
    const QString text = QStringLiteral("分析画面です。\r\n\r\n"
                                        "　・時系列連続体重：体重の推移です。\r\n"
                                        "　・区切り経過　　　：０．５Ｋｇを区切りとして\r\n"
                                        "　・体重推移累積番付：何回その体重区間に\r\n");
    const auto box = WidgetDialogs::buildMessageBox(nullptr, text, QStringLiteral("ヘルプ"),
                                                    Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    QCOMPARE(box->textFormat(), Qt::RichText);
    QTextDocument doc;
    doc.setHtml(box->text());
    QCOMPARE(doc.toPlainText().count(QStringLiteral("：")), 3);
    QList<QTextTable *> tables;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f))
            tables.append(t);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(tables.first()->rows(), 3);
    QCOMPARE(tables.first()->cellAt(1, 0).firstCursorPosition().block().text(), QStringLiteral("　・区切り経過"));
    QCOMPARE(tables.first()->cellAt(1, 2).firstCursorPosition().block().text(),
             QStringLiteral("０．５Ｋｇを区切りとして"));
    QVERIFY(doc.toPlainText().startsWith(QStringLiteral("分析画面です。")));

    // Blank lines between them keep one table, a blank row each.
    QString spaced = text;
    spaced.replace(QStringLiteral("です。\r\n　・"), QStringLiteral("です。\r\n\r\n　・"));
    const auto spacedBox = WidgetDialogs::buildMessageBox(nullptr, spaced, QStringLiteral("ヘルプ"),
                                                          Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    QTextDocument spacedDoc;
    spacedDoc.setHtml(spacedBox->text());
    const QList<QTextFrame *> frames = spacedDoc.rootFrame()->childFrames();
    QCOMPARE(frames.size(), 1);
    QCOMPARE(qobject_cast<QTextTable *>(frames.first())->rows(), 4);

    // Text without such lines stays plain, character for character.
    const auto plain = WidgetDialogs::buildMessageBox(nullptr, QStringLiteral("<b>a：b</b>"), QStringLiteral("t"),
                                                      Dialogs::Icon::None, Dialogs::Buttons::Ok);
    QCOMPARE(plain->textFormat(), Qt::PlainText);
    QCOMPARE(plain->text(), QStringLiteral("<b>a：b</b>"));
}

void TestApplication::overlongLineStaysOnTheScreen()
{
    const QString text = QString(300, QChar(0x3042)); // あああ…, far wider than any screen here
    const auto box = WidgetDialogs::buildMessageBox(nullptr, text, QStringLiteral("確認"),
                                                    Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QLabel *label = textLabel(*box);
    QVERIFY(label);
    const int room = box->screen()->availableGeometry().width();
    QVERIFY2(box->width() <= room, qPrintable(QStringLiteral("box %1, screen %2").arg(box->width()).arg(room)));
    QVERIFY(label->geometry().right() < box->width());
    // The text wraps and is shown whole.
    QVERIFY(label->height() >= label->heightForWidth(label->width()));
}

void TestApplication::lockHeldByARunningProgramIsInUse()
{
    TempDataDir tmp;
    QLockFile running(dataDirLockPath(tmp.dir()));
    QVERIFY(running.tryLock(0));

    QLockFile second(dataDirLockPath(tmp.dir()));
    const std::optional<StartRefusal> refusal = lockDataDir(second, tmp.dir());
    QVERIFY(refusal);
    QVERIFY2(refusal->text.contains(QStringLiteral("すでに起動しているナナホシが使っています")),
             qPrintable(refusal->text));
    QVERIFY(refusal->text.contains(QDir::toNativeSeparators(tmp.dir().absolutePath())));
    QCOMPARE(refusal->title, QStringLiteral("ナナホシ"));

    // Once the first program ends, the next one starts.
    running.unlock();
    QVERIFY(!lockDataDir(second, tmp.dir()));
    QVERIFY(second.isLocked());
}

void TestApplication::lockLeftByAnEndedProgramIsTakenOver()
{
    TempDataDir tmp;
    const QString path = dataDirLockPath(tmp.dir());
    // A program that ends without releasing its lock, as after a crash.
    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        auto *lock = new QLockFile(path); // never destroyed: the lock stays behind
        return lock->tryLock(0) ? "locked" : "not locked";
    });
    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    QCOMPARE(child.output, QByteArray("locked"));
    QVERIFY(QFileInfo::exists(path));

    QLockFile lock(path);
    QVERIFY(!lockDataDir(lock, tmp.dir()));
    QVERIFY(lock.isLocked());
}

void TestApplication::readOnlyDirectoryIsNotReportedAsInUse()
{
    TempDataDir tmp;
    const QByteArray path = QFile::encodeName(tmp.path());
    const bool root = ::geteuid() == 0;
    // As root the directory stays root's, readable by all, and the check
    // runs as the user nobody; otherwise it is made read-only for its owner.
    ::chmod(path.constData(), root ? 0755 : 0555);

    const faultproc::Forked child = faultproc::runForked([&]() -> QByteArray {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            return "SKIP cannot become the user nobody to check a directory root may not write to";
        if (::access(path.constData(), R_OK | X_OK) != 0)
            return "SKIP the temporary directory cannot be reached as the user nobody";
        if (::access(path.constData(), W_OK) == 0)
            return "SKIP the directory is still writable";
        QLockFile lock(dataDirLockPath(tmp.dir()));
        const std::optional<StartRefusal> refusal = lockDataDir(lock, tmp.dir());
        return refusal ? refusal->text.toUtf8() : QByteArray("LOCKED");
    });
    ::chmod(path.constData(), 0700);

    QVERIFY2(child.exitedNormally(), qPrintable(faultproc::describe(child.status)));
    if (child.output.startsWith("SKIP "))
        QSKIP(child.output.mid(5).constData());
    const QString text = QString::fromUtf8(child.output);
    QVERIFY2(text.contains(QStringLiteral("書き込みができない")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("使っています")), qPrintable(text));
    QVERIFY(text.contains(QDir::toNativeSeparators(tmp.dir().absolutePath())));
    QVERIFY(tmp.entries().isEmpty());
}

void TestApplication::everyLockFailureHasItsOwnWords()
{
    const QDir dir(QStringLiteral("/data/二人"));
    const QString where = QDir::toNativeSeparators(dir.absolutePath());
    const StartRefusal inUse = lockRefusal(QLockFile::LockFailedError, dir, true);
    const StartRefusal denied = lockRefusal(QLockFile::PermissionError, dir, true);
    // A lock file left in a directory that cannot be written: it cannot be
    // taken over, and waiting for another program will not help.
    const StartRefusal leftInReadOnly = lockRefusal(QLockFile::LockFailedError, dir, false);
    const StartRefusal unknown = lockRefusal(QLockFile::UnknownError, dir, true);

    QVERIFY(inUse.text.contains(QStringLiteral("すでに起動しているナナホシが使っています")));
    QVERIFY(denied.text.contains(QStringLiteral("書き込みができない")));
    QCOMPARE(leftInReadOnly.text, denied.text);
    QVERIFY(!unknown.text.contains(QStringLiteral("使っています")));
    QVERIFY(unknown.text != denied.text);
    for (const StartRefusal &r : {inUse, denied, unknown}) {
        QVERIFY2(r.text.contains(where), qPrintable(r.text));
        QCOMPARE(r.title, QStringLiteral("ナナホシ"));
    }
}

QTEST_MAIN(TestApplication)
#include "test_application.moc"
