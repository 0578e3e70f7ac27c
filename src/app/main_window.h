#pragma once

#include "core/session.h"
#include "entry/day_state.h"
#include "store/store_error.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class HelpWindow;
class PersonBar;
class PrintActions;
class QCheckBox;
class QToolButton;
class Screen;
class ScreenLinks;
class SplashWindow;
class Startup;
class Toolbar;
struct ScreenKit;
struct ScreenRow;

// frmMain: the one main window. It owns the window-wide values, the
// toolbar, the person buttons and one table of screens; it runs the screen
// switching, the person switch, the help tour and exit. Each screen builds
// its own controls; the start-up sequence is Startup's.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Every screen stays usable down to this size.
    static constexpr QSize kMinimumSize{1000, 660};

    struct Options {
        int minSplashMs = 1500; // the splash stays at least this long
        bool showSplash = true;
        // A splash main() has already shown, which the window takes over,
        // and when the program began by the clock: the shortest time counts
        // from there.
        SplashWindow *splash = nullptr;
        qint64 startedMs = 0;
    };

    MainWindow(const QDir &dataDir, Dialogs &dialogs, const Clock &clock, Options options,
               QWidget *parent = nullptr);
    MainWindow(const QDir &dataDir, Dialogs &dialogs, const Clock &clock,
               QWidget *parent = nullptr)
        : MainWindow(dataDir, dialogs, clock, Options(), parent) {}
    ~MainWindow() override;

    // The start-up sequence. False when the program has to end (the reason
    // has been shown to the user); nothing was written in that case except
    // the defaults of a first start.
    bool start();

    Session &session() { return s_; }
    PrintActions *printActions() const { return print_.get(); }
    // The screens in toolbar order, with the objectName of their button;
    // screens not opened yet are built for the asking.
    QList<QPair<QString, Screen *>> screens();
    // The screen of one toolbar button, built if need be.
    Screen *screen(const QString &button);
    // How long the splash window stayed, by the clock's elapsed time.
    qint64 splashShownMs() const;
    bool splashVisible() const;

    // Procedures of the window.
    void HideAllPanels();
    void RefreshVisiblePanel();
    void DSP_HELP();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class Startup; // the start-up sequence, kept in its own file

    // A row of the screen table and its screen, null until built.
    struct Row {
        const ScreenRow *info = nullptr; // its row of the screen table
        QToolButton *button = nullptr;
        Screen *screen = nullptr;
    };

    void buildScreens();
    void wireLinks();
    Screen *screenOf(Row &row);
    Row *rowWhere(bool ScreenRow::*flag);
    void wireToolbar();

    // The common pattern of the toolbar: nothing when the screen shows;
    // otherwise hide all, rebuild, show, repaint, explain.
    void openScreen(Screen *screen);
    void showAndPaint(Screen *screen);
    Screen *visibleScreen() const;
    void markActiveTool();
    void repaintNow();
    void openDay(QDate day);
    // The registration alone: nothing else can be used until it is done.
    void showRegistration(PersonSlot first, PersonSlot last);

    // The day state anew, with an error shown; `meters`: the meters are
    // set from it as well.
    bool refreshDay(bool meters);
    void showDayState(bool meters);
    void switchPerson(PersonSlot p);
    void reloadPerson(PersonSlot p);
    void setCaption();
    void chkHelp_Click();
    void cmdHelp_Click();
    // After a record was corrected, removed or saved on a screen, or files
    // were put back (`replaced`: a restore, an undo): what shows them is
    // read anew.
    void filesChanged(bool replaced);
    // Ctrl+Z where no text box has the focus.
    void undoShortcut();

    DataDir dir_;
    Session s_;
    entry::DayState day_;
    std::unique_ptr<ScreenLinks> links_;
    std::unique_ptr<ScreenKit> kit_;
    std::unique_ptr<Startup> startup_;
    bool registering_ = false; // the window shows only the registration

    QList<Row> rows_;
    QWidget *area_ = nullptr; // where the screens lie, one over the other
    Toolbar *toolbar_ = nullptr;
    QCheckBox *chkHelp_ = nullptr;
    PersonBar *persons_ = nullptr;

    std::unique_ptr<PrintActions> print_;
    QPointer<SplashWindow> splash_;
    QPointer<HelpWindow> help_;
};
