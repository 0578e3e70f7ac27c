// The splash main() shows before anything else: the main window takes it
// over, keeps it for the shortest time counted from the program's start,
// and closes it when the window opens or the registration is shown instead.
#include "app/main_window.h"
#include "fixed_clock.h"
#include "sample_data.h"
#include "scripted_dialogs.h"
#include "temp_data_dir.h"
#include "ui/art/splash_window.h"

#include <QPointer>
#include <QtTest>

class TestSplashHandover : public QObject {
    Q_OBJECT
private slots:
    void splashIsKeptFromTheProgramsStartAndClosed_data()
    {
        QTest::addColumn<qint64>("startedMs");
        QTest::newRow("started with the window") << qint64(0);
        QTest::newRow("started a second before") << qint64(-1000);
    }
    void splashIsKeptFromTheProgramsStartAndClosed()
    {
        QFETCH(qint64, startedMs);
        TempDataDir tmp;
        FixedClock clock(QDate(2026, 12, 8));
        QCOMPARE(writeSampleData(tmp.dir(), clock.day), QString());
        ScriptedDialogs dialogs;
        QPointer<SplashWindow> splash = new SplashWindow;
        splash->show();
        MainWindow::Options options;
        options.splash = splash;
        options.startedMs = startedMs;
        MainWindow window(tmp.dir(), dialogs, clock, options);
        QVERIFY(window.start());
        QVERIFY(!splash); // closed and gone once the window opened
        QVERIFY(window.isVisible());
        // The shortest time counts from the program's start, not from the
        // window's: the window waits only for what is left of it.
        QVERIFY2(window.splashShownMs() > options.minSplashMs, qPrintable(QString::number(window.splashShownMs())));
        const qint64 waitedUntil = options.minSplashMs + startedMs;
        QVERIFY2(clock.elapsed >= waitedUntil && clock.elapsed < waitedUntil + 500,
                 qPrintable(QString::number(clock.elapsed)));
    }

    void registrationReplacesTheSplash()
    {
        TempDataDir tmp;
        FixedClock clock(QDate(2026, 12, 8));
        ScriptedDialogs dialogs;
        QPointer<SplashWindow> splash = new SplashWindow;
        splash->show();
        MainWindow::Options options;
        options.splash = splash;
        MainWindow window(tmp.dir(), dialogs, clock, options);
        QVERIFY(window.start());
        QVERIFY(!splash);
        QVERIFY(!window.splashVisible());
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestSplashHandover)
#include "test_splash_handover.moc"
