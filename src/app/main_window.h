#pragma once

#include "core/session.h"
#include "store/store_error.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class BmiMeters;
class ColourButton;
class EntryPanel;
class HelpWindow;
class PersonBar;
class PlaceholderPanel;
class QCheckBox;
class QComboBox;
class QFrame;
class QToolButton;
class SettingsPanel;
class SituationLists;
class SplashWindow;

// frmMain: the one main window. It owns the window-wide values, the
// toolbar, the person buttons and the panels; it runs the start-up, the
// panel switching, the person switch, the help tour and exit. Each panel
// builds its own screen.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        int minSplashMs = 1500; // the splash stays at least this long
        bool showSplash = true;
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
    EntryPanel *entryPanel() const { return fraMain_; }
    SettingsPanel *settingsPanel() const { return fraSettei_; }
    // How long the splash window stayed, by the clock's elapsed time.
    qint64 splashShownMs() const { return splashShownMs_; }
    bool splashVisible() const;

    // Procedures of the window.
    void HideAllPanels();
    void RefreshVisiblePanel();
    void DSP_HELP();
    // The settings readers return false (after a message) when their file
    // cannot be read; a value that is merely unusable starts as a default.
    bool READ_SETTEI();
    bool READ_KIZAMI();
    void UpdateEntryCounts(int selectedCount);

    // Event handlers.
    void cmdMain_Click();
    void cmdAvgtai_Click();
    void cmdBunseki_Click();
    void cmdRentai_Click();
    void cmdCale_Click();
    void cmdTaijyu_Click();
    void cmdMemo_Click();
    void cmdSettei_Click();
    void cmdHelp_Click();
    void cmdOwari_Click();
    void cmdUser1_Click();
    void cmdUser2_Click();
    void chkHelp_Click();
    void cboIdou_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar(QWidget *bar);
    void buildPanels(QWidget *area);
    bool loadStartFiles();
    bool LoadProfile();
    bool LoadMovingAverageSetting();
    bool LoadAutoTimeSetting();
    bool LoadMarkerMode();
    // A settings file that cannot be read is damage: name it and end.
    bool failSettings(const StoreError &e);
    void switchPerson(PersonSlot p);
    // The common pattern of the toolbar: nothing when the panel shows;
    // otherwise rebuild, show, repaint, explain.
    void openPanel(QFrame *panel, const std::function<void()> &rebuild, const QString &helpText);
    void repaintNow();
    // The toolbar button of the visible screen shows the active colour.
    void markActiveTool();
    void fail(const QString &text);
    void setCaption();

    DataDir dir_;
    Session s_;
    Options options_;
    qint64 splashShownMs_ = 0;

    QToolButton *cmdMain_ = nullptr, *cmdAvgtai_ = nullptr, *cmdBunseki_ = nullptr,
                *cmdRentai_ = nullptr, *cmdCale_ = nullptr, *cmdTaijyu_ = nullptr,
                *cmdMemo_ = nullptr, *cmdSettei_ = nullptr, *cmdPrint_ = nullptr,
                *cmdPrint1_ = nullptr, *cmdHelp_ = nullptr, *cmdOwari_ = nullptr;
    QCheckBox *chkHelp_ = nullptr;
    PersonBar *persons_ = nullptr;

    EntryPanel *fraMain_ = nullptr;
    PlaceholderPanel *fraAvgTai_ = nullptr, *fraBunseki_ = nullptr, *fraRenTai_ = nullptr,
                     *fraCale_ = nullptr, *fraTaijyu_ = nullptr, *fraMemo_ = nullptr;
    SettingsPanel *fraSettei_ = nullptr;
    QComboBox *cboIdou_ = nullptr;
    QList<QFrame *> panels_;

    std::unique_ptr<SituationLists> lists_;
    BmiMeters *meters_ = nullptr;
    QPointer<SplashWindow> splash_;
    QPointer<HelpWindow> help_;
};
