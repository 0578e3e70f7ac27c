// What a new user meets in the first hour: questions that come in front of
// the splash, the toolbar from the keyboard, the day a save goes to, the
// day list at the window's sizes, a registration left halfway, the
// calendar and the meters before anything is recorded.

#include "window_driver.h"

#include "ui/bmi_meter_view.h"
#include "ui/grid.h"
#include "ui/month_calendar.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

// The real message boxes, looked at while they wait for an answer: which
// window is active, whose child the box is, whether it stays on top. Each
// box is then answered with its first button.
class WatchingDialogs final : public Dialogs {
public:
    struct Seen {
        QString title;
        bool active = false;       // the box is the active window
        bool modal = false;        // and the application's modal widget
        QString parent;            // the window it belongs to
        bool parentOnTop = false;
        bool onTop = false;
    };
    QList<Seen> seen;

    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon,
                   Buttons buttons) override
    {
        look(title, 0);
        return real_.message(parent, text, title, icon, buttons);
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &,
                                 const QString &) override
    {
        return std::nullopt;
    }

private:
    // Looks once the box is up and the window system had its turns to
    // activate it (a bounded number of passes of the event loop).
    void look(const QString &title, int pass)
    {
        QTimer::singleShot(0, [this, title, pass] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if ((!box || QApplication::activeWindow() != box) && pass < 50) {
                look(title, pass + 1);
                return;
            }
            Seen s;
            s.title = title;
            s.modal = box != nullptr;
            s.active = box && QApplication::activeWindow() == box;
            if (QWidget *p = box ? box->parentWidget() : nullptr) {
                s.parent = p->objectName();
                s.parentOnTop = p->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            }
            s.onTop = box && box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            seen.append(s);
            if (box)
                box->button(box->standardButtons() & QMessageBox::Yes ? QMessageBox::Yes
                                                                       : QMessageBox::Ok)
                    ->click();
        });
    }

    WidgetDialogs real_;
};

QByteArray olderFile()
{
    return crlf({QStringLiteral("\"2007/12/01\",\"朝\",80.5"), QStringLiteral("\"2007/12/05\",\"朝\",79.4")});
}

} // namespace

class TestFirstHour : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }

    void questionsDuringTheSplashComeInFrontWithTheFocus();
    void toolbarWorksFromTheKeyboard();
    void theDayASaveGoesToIsShownInWords();
    void dayListShowsEveryColumnAtTheStartingSize();
    void dayListAtTheMinimumSizeScrollsSideways();
    void cancelledFirstRegistrationSaysWhatHappens();
    void calendarOpensOnTheLatestMonths();
    void metersShowNoMarkerBeforeThereIsABmi();
};

void TestFirstHour::questionsDuringTheSplashComeInFrontWithTheFocus()
{
    // The older file's question, with the splash up, as the real program
    // shows it.
    WindowDriver d;
    d.writeFiles(DataSet());
    d.tmp.writeBytes(QStringLiteral("連続体重.txt"), olderFile());
    WatchingDialogs watching;
    MainWindow window(d.tmp.dir(), watching, d.clock, MainWindow::Options{0, true});
    QVERIFY(window.start());

    QCOMPARE(watching.seen.size(), 1);
    const WatchingDialogs::Seen &s = watching.seen.first();
    QCOMPARE(s.title, QStringLiteral("データ変換確認"));
    QVERIFY(s.modal);
    QVERIFY(s.active);
    QCOMPARE(s.parent, QStringLiteral("frmSplash"));
    // Over a window that stays on top, the box stays on top as well.
    QVERIFY(s.parentOnTop);
    QVERIFY(s.onTop);
    window.close();
}

void TestFirstHour::toolbarWorksFromTheKeyboard()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    QApplication::setActiveWindow(d.window());
    d.focusByClick(QStringLiteral("msgAvgtai"));

    // Ctrl+1 ... Ctrl+8 open the screens in toolbar order, pressed on
    // whatever holds the focus.
    const QStringList panels = {"fraMain", "fraAvgTai", "fraBunseki", "fraRenTai", "fraCale",
                                "fraTaijyu", "fraMemo", "fraSettei", "fraPace"};
    for (int i = 0; i < panels.size(); ++i) {
        d.press(Qt::Key_1 + i, Qt::ControlModifier);
        QCOMPARE(d.visiblePanel(), panels[i]);
    }
    d.press(Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));

    // Tab reaches the toolbar's buttons; Space on one opens its screen.
    QWidget *start = d.focused();
    QToolButton *reached = nullptr;
    for (int i = 0; i < 80 && !reached; ++i) {
        d.press(Qt::Key_Tab);
        reached = qobject_cast<QToolButton *>(d.focused());
        if (reached && reached->objectName() != QStringLiteral("cmdCale"))
            reached = nullptr;
    }
    QVERIFY2(reached, "Tab never reached cmdCale");
    d.press(Qt::Key_Space);
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));
    Q_UNUSED(start)

    // F1 opens the help window; Ctrl+Q ends the program.
    d.press(Qt::Key_F1);
    QWidget *help = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("frmHelp") && w->isVisible())
            help = w;
    QVERIFY(help);
    help->close();
    QApplication::setActiveWindow(d.window());
    d.focusByClick(QStringLiteral("msgList2"));
    d.press(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!d.window()->isVisible());
}

void TestFirstHour::theDayASaveGoesToIsShownInWords()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdMain"));
    auto *day = d.find<QLabel>(QStringLiteral("lblKirokuBi"));
    QCOMPARE(day->text(), QStringLiteral("2008年3月10日（月）に記録"));
    d.pickDay(QDate(2008, 3, 4));
    QCOMPARE(day->text(), QStringLiteral("2008年3月4日（火）に記録"));

    // Paging the calendar to another month leaves the save where it was,
    // and the words say so.
    auto *cal = d.find<MonthCalendar>(QStringLiteral("mtvmain"));
    d.click(QStringLiteral("qt_calendar_prevmonth"));
    QCOMPARE(cal->monthShown(), 2);
    QCOMPARE(day->text(), QStringLiteral("2008年3月4日（火）に記録"));
    QVERIFY(day->isVisible());
}

namespace {

// The day list's columns that do not show whole in its viewport.
QStringList cutColumns(Grid *g)
{
    QStringList cut;
    const int room = g->viewport()->width();
    for (int c = 0; c < g->cols(); ++c) {
        const int right = g->columnViewportPosition(c) + g->columnWidth(c);
        if (g->columnViewportPosition(c) < 0 || right > room)
            cut.append(g->textMatrix(0, c));
    }
    return cut;
}

DataSet dayOfNine()
{
    DataSet files;
    for (int i = 0; i < 9; ++i)
        files.records1.append(rec(QStringLiteral("2008/03/10"), QStringLiteral("起床後"),
                                  QStringLiteral("64.%1").arg(i)));
    return files;
}

} // namespace

void TestFirstHour::dayListShowsEveryColumnAtTheStartingSize()
{
    WindowDriver d;
    d.writeFiles(dayOfNine());
    QVERIFY(d.start());
    d.window()->resize(1280, 800);
    d.click(QStringLiteral("cmdMain"));
    QCoreApplication::processEvents();
    Grid *g = d.dayList();
    QCOMPARE(cutColumns(g), QStringList());
    QCOMPARE(g->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(g->bottomRow(), 9); // the newest row, below a full page
}

void TestFirstHour::dayListAtTheMinimumSizeScrollsSideways()
{
    WindowDriver d;
    d.writeFiles(dayOfNine());
    QVERIFY(d.start());
    d.window()->resize(MainWindow::kMinimumSize);
    d.click(QStringLiteral("cmdMain"));
    QCoreApplication::processEvents();
    Grid *g = d.dayList();
    // Most columns show; the rest are a scroll away, never out of reach.
    const QStringList cut = cutColumns(g);
    QVERIFY2(cut.size() <= 3, qPrintable(cut.join(u',')));
    if (!cut.isEmpty())
        QVERIFY(g->horizontalScrollBar()->maximum() > 0);
    QVERIFY(g->bottomRow() == 9);
    QCOMPARE(d.layoutFaults(), QStringList());
}

void TestFirstHour::cancelledFirstRegistrationSaysWhatHappens()
{
    WindowDriver d;
    QVERIFY(d.start());
    d.dialogs.clear();
    d.click(QStringLiteral("cmdYame"));
    QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("登録を中断しました。次回の起動で続きから登録できます。"),
                                        QStringLiteral("登録の中断"), Icon::Information)});
    QVERIFY(!d.window()->isVisible());
}

void TestFirstHour::calendarOpensOnTheLatestMonths()
{
    DataSet files;
    files.records1.clear();
    for (QDate day(2005, 1, 3); day <= QDate(2008, 3, 10); day = day.addDays(9))
        files.records1.append(rec(day.toString(QStringLiteral("yyyy/MM/dd")), QStringLiteral("起床後"),
                                  QStringLiteral("70")));
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.window()->resize(1280, 800);
    d.click(QStringLiteral("cmdCale"));
    QCoreApplication::processEvents();
    auto *g = d.find<Grid>(QStringLiteral("msgList2"));
    QVERIFY(g->rows() > 30);
    QVERIFY(g->topRow() > 1);
    QCOMPARE(g->bottomRow(), g->rows() - 1);
    QCOMPARE(g->textMatrix(g->bottomRow(), 0), QStringLiteral("2008年03月"));
}

void TestFirstHour::metersShowNoMarkerBeforeThereIsABmi()
{
    // The registration shows the settings screen with its large meter:
    // no marker points at a BMI nobody has.
    {
        WindowDriver d;
        QVERIFY(d.start());
        auto *bands = d.find<LargeBmiMeter>(QStringLiteral("Frame1"))->findChild<BmiBands *>();
        QVERIFY(bands);
        QVERIFY(!bands->markerShown());
    }
    // With a record, both meters show theirs.
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdMain"));
    const QList<BmiBands *> all = d.window()->findChildren<BmiBands *>();
    QCOMPARE(all.size(), 2);
    for (BmiBands *b : all)
        QVERIFY(b->markerShown());
}

QTEST_MAIN(TestFirstHour)
#include "test_first_hour.moc"
