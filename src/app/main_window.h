#pragma once

#include "core/session.h"
#include "store/store_error.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class BmiMeters;
class ComparePanel;
class EntryPanel;
class HelpWindow;
class PersonBar;
class PrintActions;
class QCheckBox;
class QToolButton;
class Screen;
class SettingsPanel;
class SituationLists;
class SplashWindow;
class Toolbar;
class TrendPanel;

// frmMain: the one main window. It owns the window-wide values, the
// toolbar, the person buttons and one table of screens; it runs the
// start-up, the screen switching, the person switch, the help tour and
// exit. Each screen builds its own controls.
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
    // The weight screen, built here when it has not been opened yet.
    EntryPanel *entryPanel();
    PrintActions *printActions() const { return print_.get(); }
    // The screens in toolbar order, with the objectName of their button;
    // screens not opened yet are built for the asking.
    QList<QPair<QString, Screen *>> screens();
    // How long the splash window stayed, by the clock's elapsed time.
    qint64 splashShownMs() const { return splashShownMs_; }
    bool splashVisible() const;

    // Procedures of the window.
    void HideAllPanels();
    void RefreshVisiblePanel();
    void DSP_HELP();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // One row of the table of screens: its toolbar button and its panel.
    // A screen the start-up does not work with is built when first needed.
    struct ScreenRow {
        QToolButton *button = nullptr;
        Screen *screen = nullptr; // null until built
        std::function<Screen *()> build;
    };

    void buildScreens();
    Screen *screenOf(ScreenRow &row);
    Screen *place(Screen *screen);
    TrendPanel *trendPanel();
    void wireToolbar();
    bool loadStartFiles();
    // Persons without any file (first and last to register), if any.
    std::optional<QPair<PersonSlot, PersonSlot>> personsToRegister() const;
    bool startRegistration(PersonSlot first, PersonSlot last);
    void reloadPerson(PersonSlot p);
    // The day view of the weight screen, or its values alone while the
    // screen is not built; the meters as well.
    bool RefreshDayView();
    void refreshDayAndMeters();
    QDate selectedDay() const;
    Screen *buildEntryPanel();
    bool loadProfiles();
    bool ConvertLegacyData();
    bool loadSettings();
    // A settings file that cannot be read is damage: name it and end.
    bool failSettings(const StoreError &e);
    void fail(const QString &text);
    QWidget *startParent() const;

    // The common pattern of the toolbar: nothing when the screen shows;
    // otherwise hide all, rebuild, show, repaint, explain.
    void openScreen(Screen *screen);
    void showAndPaint(Screen *screen);
    Screen *visibleScreen() const;
    void markActiveTool();
    void repaintNow();
    void switchPerson(PersonSlot p);
    void setCaption();
    void UpdateEntryCounts(int selectedCount);
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
    Options options_;
    qint64 splashShownMs_ = 0;
    bool registering_ = false; // the window shows only the registration
    QDate selectedDay_;         // the weight screen's day until it is built
    PersonSlot dayPerson_ = PersonSlot::One; // whose day the window's day values are

    QList<ScreenRow> screens_;
    QWidget *area_ = nullptr; // where the screens lie, one over the other
    Toolbar *toolbar_ = nullptr;
    QCheckBox *chkHelp_ = nullptr;
    PersonBar *persons_ = nullptr;

    // Screens the window works with beyond the table.
    EntryPanel *fraMain_ = nullptr;
    ComparePanel *fraAvgTai_ = nullptr;
    SettingsPanel *fraSettei_ = nullptr;
    TrendPanel *fraRenTai_ = nullptr; // built with the analysis screen too

    std::unique_ptr<SituationLists> lists_;
    std::unique_ptr<PrintActions> print_;
    BmiMeters *meters_ = nullptr;
    QPointer<SplashWindow> splash_;
    QPointer<HelpWindow> help_;
};
