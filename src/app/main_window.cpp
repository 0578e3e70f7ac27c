#include "app/main_window.h"

#include "analysis/analysis_panel.h"
#include "analysis/trend_panel.h"
#include "calendar/calendar_panel.h"
#include "compare/compare_panel.h"
#include "app/person_bar.h"
#include "app/toolbar.h"
#include "core/help_texts.h"
#include "entry/day_chart.h"
#include "entry/day_view.h"
#include "entry/entry_panel.h"
#include "help/help_window.h"
#include "notes/notes_panel.h"
#include "pace/pace_panel.h"
#include "print/printing.h"
#include "search/search_panel.h"
#include "setup/registration_frame.h"
#include "setup/settings_panel.h"
#include "setup/situation_list_editor.h"
#include "store/backup.h"
#include "store/cleanup.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/settings_files.h"
#include "ui/art/art_paths.h"
#include "ui/art/splash_window.h"
#include "ui/back_color.h"
#include "ui/bmi_meter_view.h"
#include "ui/dialogs.h"
#include "ui/help_tour.h"
#include "ui/month_calendar.h"
#include "ui/paint_once.h"
#include "ui/record_dialog.h"
#include "ui/situation_lists.h"
#include "ui/store_error_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

MainWindow::MainWindow(const QDir &dataDir, Dialogs &dialogs, const Clock &clock, Options options,
                       QWidget *parent)
    : QMainWindow(parent), dir_(dataDir), s_(dir_, dialogs, clock), options_(options)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(art::icon(QString::fromLatin1(art::kLadybird)));
    setWindowTitle(QStringLiteral(" ナナホシ"));

    auto *central = new QWidget(this);
    area_ = new QWidget(central);
    toolbar_ = new Toolbar(central);
    buildScreens();
    wireToolbar();
    // Text boxes take Ctrl+Z for themselves before a shortcut sees it.
    auto *undo = new QShortcut(QKeySequence::Undo, this);
    undo->setObjectName(QStringLiteral("scUndo"));
    connect(undo, &QShortcut::activated, this, [this] { undoShortcut(); });
    persons_ = new PersonBar(central);
    connect(persons_, &PersonBar::clicked, this, [this](PersonSlot p) { switchPerson(p); });
    auto *rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(persons_);
    layout->addWidget(rule);
    layout->addWidget(area_, 1);
    setCentralWidget(central);

    // Every screen is laid out to stay usable down to this size, which
    // fits a 1024 x 768 screen; the window opens as large as is
    // comfortable on the screen it is on.
    setMinimumSize(kMinimumSize);
    QSize open(1280, 800);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        open = open.boundedTo(screen->availableGeometry().size() - QSize(16, 40));
    resize(open.expandedTo(kMinimumSize));
}

MainWindow::~MainWindow()
{
    delete help_;
    delete splash_;
}

// The table of screens: one row per screen, in toolbar order. Opening a
// screen, marking the open one on the toolbar and rebuilding the visible
// one after a person switch all read this table. The comparison screen,
// which the window opens on, and the settings screen, whose lists and
// meter the start fills, are built with the window; a row builds its
// screen when it is first opened.
void MainWindow::buildScreens()
{
    auto *grid = new QGridLayout(area_);
    grid->setContentsMargins(0, 0, 0, 0);
    fraAvgTai_ = new ComparePanel(s_, area_);
    fraSettei_ = new SettingsPanel(s_, area_);

    struct Row {
        const char *button;
        const char *caption;
        const char *tip;
        const char *icon;
        std::function<Screen *()> build;
    };
    const Row rows[] = {
        {"cmdMain", "入力", "データ入力画面を表示します", art::kToolEntry, [this] { return buildEntryPanel(); }},
        {"cmdAvgtai", "比較", "二人のデータを比較表示します", art::kToolCompare,
         [this] { return place(fraAvgTai_); }},
        {"cmdBunseki", "分析リスト", "体重分析画面を表示します", art::kToolAnalysis,
         [this] {
             // The reload of the series redraws the graph too, where it exists.
             auto redraw = [this] {
                 if (fraRenTai_)
                     fraRenTai_->DrawTrendGraph();
             };
             return place(new AnalysisPanel(s_, redraw, area_));
         }},
        {"cmdRentai", "全グラフ", "現在までの体重グラフを表示します", art::kToolGraph,
         [this] { return trendPanel(); }},
        {"cmdCale", "カレンダー", "体重増減把握カレンダーを表示します", art::kToolCalendar,
         [this] {
             auto *fraCale = new CalendarPanel(s_, area_);
             // A double-clicked calendar day opens on the weight screen.
             connect(fraCale, &CalendarPanel::dayOpened, this, [this](QDate day) {
                 EntryPanel *entry = entryPanel();
                 entry->mtvmain()->setSelectedDay(day);
                 entry->refreshDayAndMeters();
                 HideAllPanels();
                 entry->show();
                 markActiveTool();
             });
             return place(fraCale);
         }},
        {"cmdTaijyu", "範囲指定", "表示条件を指定できます", art::kToolSearch,
         [this] {
             auto *fraTaijyu = new SearchPanel(s_, area_);
             lists_->attachMirror(fraTaijyu->lstAct2());
             return place(fraTaijyu);
         }},
        {"cmdMemo", "一言日記", "ちょっとした日記を表示します", art::kToolNotes,
         [this] { return place(new NotesPanel(s_, area_)); }},
        {"cmdSettei", "編集", "編集画面を表示します", art::kToolSettings, [this] { return place(fraSettei_); }},
        {"cmdPace", "ペース", "二人の体重の傾向と目標到達予定を表示します", art::kToolPace,
         [this] { return place(new PacePanel(s_, area_)); }},
    };
    for (const Row &r : rows) {
        QToolButton *b = toolbar_->addScreenButton(r.button, r.caption, r.tip, r.icon);
        screens_.append({b, nullptr, r.build});
        const qsizetype index = screens_.size() - 1;
        connect(b, &QToolButton::clicked, this, [this, index] { openScreen(screenOf(screens_[index])); });
    }
    for (qsizetype i : {1, 7}) // the screens built with the window
        screenOf(screens_[i]);

    // What screens share, wired here so that no screen knows another.
    lists_ = std::make_unique<SituationLists>(fraSettei_->listEditor()->lstKoumoku());
    fraSettei_->listEditor()->setLists(lists_.get());
    meters_ = new BmiMeters(fraSettei_->largeMeter(), this);

    connect(fraSettei_->listEditor(), &SituationListEditor::renamed, this, [this] {
        if (fraMain_)
            fraMain_->RefreshDayView();
    });
    connect(fraSettei_, &SettingsPanel::dayViewWanted, this, [this] { refreshDayAndMeters(); });
    connect(fraSettei_, &SettingsPanel::profileSaved, this, [this] {
        // The targets feed the comparison; the name shows on the button.
        const PersonSlot p = s_.person.selected;
        persons_->setNickname(p, s_.person.Nickname);
        (p == PersonSlot::One ? s_.person.Nickname1 : s_.person.Nickname2) = s_.person.Nickname;
        (p == PersonSlot::One ? s_.person.TargetWeight1 : s_.person.TargetWeight2) = s_.person.TargetWeight;
        setCaption();
    });
    RegistrationFrame *registration = fraSettei_->registration();
    connect(registration, &RegistrationFrame::registered, this, [this](PersonSlot p) {
        if (!registering_)
            reloadPerson(p);
    });
    // The program ends after the last person, as the registration says.
    connect(registration, &RegistrationFrame::finished, this, [this] { close(); });
    connect(registration, &RegistrationFrame::abandoned, this, [this] {
        if (registering_) {
            // Nothing to run on yet; the next start asks again.
            s_.dialogs.message(this, QStringLiteral("登録を中断しました。次回の起動で続きから登録できます。"),
                               QStringLiteral("登録の中断"), Dialogs::Icon::Information,
                               Dialogs::Buttons::Ok);
            close();
            return;
        }
        // Files already written stay: the window shows what they now hold.
        reloadPerson(PersonSlot::One);
        reloadPerson(PersonSlot::Two);
        RefreshVisiblePanel();
    });
}

Screen *MainWindow::screenOf(ScreenRow &row)
{
    if (!row.screen)
        row.screen = row.build();
    return row.screen;
}

// A screen joins the others in the area, hidden until it is opened.
Screen *MainWindow::place(Screen *screen)
{
    static_cast<QGridLayout *>(area_->layout())->addWidget(screen, 0, 0);
    screen->hide();
    connect(screen, &Screen::recordsChanged, this, [this] { filesChanged(false); });
    connect(screen, &Screen::filesReplaced, this, [this] { filesChanged(true); });
    return screen;
}

void MainWindow::filesChanged(bool replaced)
{
    if (replaced) {
        reloadPerson(PersonSlot::One);
        reloadPerson(PersonSlot::Two);
        if (MaybeError e = lists_->LoadSituationList(dir_))
            showStoreError(s_.dialogs, this, QStringLiteral("状況リストを読み込めませんでした。"), *e,
                           QStringLiteral("ファイルエラー"));
    }
    // The day view, its counts and the meters. A screen that changed a
    // record shows the change itself; after files were put back every
    // screen reads them afresh (the hidden ones when opened).
    refreshDayAndMeters();
    if (replaced)
        RefreshVisiblePanel();
}

void MainWindow::undoShortcut()
{
    // A text box keeps Ctrl+Z for its own text.
    if (registering_ || qobject_cast<QLineEdit *>(QApplication::focusWidget())
        || qobject_cast<QAbstractSpinBox *>(QApplication::focusWidget()))
        return;
    if (undoLastChangeWithMessage(s_, this))
        filesChanged(true);
    else if (fraMain_)
        fraMain_->RefreshDayView();
}

EntryPanel *MainWindow::entryPanel()
{
    screenOf(screens_.first());
    return fraMain_;
}

// The weight screen opens on the day the start chose, with the day view
// the start computed for it.
Screen *MainWindow::buildEntryPanel()
{
    fraMain_ = new EntryPanel(s_, area_);
    place(fraMain_);
    lists_->attachMirror(fraMain_->lstAct());
    connect(fraMain_, &EntryPanel::dayRefreshed, this, [this](int n) { UpdateEntryCounts(n); });
    connect(fraMain_, &EntryPanel::focusSelectedPerson, this,
            [this] { persons_->button(s_.person.selected)->setFocus(); });
    fraMain_->mtvmain()->setSelectedDay(selectedDay_);
    fraMain_->ApplyMarkerMode();
    fraMain_->showStepText(s_.settings.StepText);
    // The day the window's values are of is shown before the meters join:
    // they show it already, and a simulated BMI on the settings screen
    // stays as the user left it.
    const bool sameDay = dayPerson_ == s_.person.selected;
    if (sameDay && !registering_)
        fraMain_->RefreshDayView();
    meters_->attachSmall(fraMain_->smallMeter());
    fraMain_->setCollaborators(lists_.get(), meters_);
    // After a switch the meters follow the new day view, as they do when
    // the screen is opened after a switch made elsewhere.
    if (!sameDay && !registering_)
        fraMain_->refreshDayAndMeters();
    return fraMain_;
}

QDate MainWindow::selectedDay() const
{
    return fraMain_ ? fraMain_->mtvmain()->selectedDate() : selectedDay_;
}

// What the day view leaves behind for the window (the day values, the
// small meter's BMI and the counts on the person buttons), computed
// without the weight screen while that is not built.
bool MainWindow::RefreshDayView()
{
    if (fraMain_)
        return fraMain_->RefreshDayView();
    QList<WeightRecord> records;
    if (MaybeError e = s_.records.read(s_.person.selected, &records)) {
        showStoreError(s_.dialogs, this, QStringLiteral("データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return false;
    }
    const entry::DayView view = entry::buildDayView(records, dates::text(selectedDay_), s_.person.Height);
    s_.day = view.values;
    dayPerson_ = s_.person.selected;
    meters_->ShowCurrentBmi(s_.day.LatestWeight, s_.person.Height, s_.day.RecordCount);
    UpdateEntryCounts(int(view.chartPoints.size()));
    return true;
}

void MainWindow::refreshDayAndMeters()
{
    if (fraMain_) {
        fraMain_->refreshDayAndMeters();
        return;
    }
    if (RefreshDayView())
        meters_->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight, s_.person.Height,
                                 s_.day.RecordCount);
}

TrendPanel *MainWindow::trendPanel()
{
    if (!fraRenTai_)
        place(fraRenTai_ = new TrendPanel(s_, area_));
    return fraRenTai_;
}

void MainWindow::wireToolbar()
{
    toolbar_->addActionButtons();
    print_ = std::make_unique<PrintActions>(s_, this);
    connect(toolbar_->button("cmdPrint"), &QToolButton::clicked, this, [this] { print_->PrintScreenImage(); });
    connect(toolbar_->button("cmdPrint1"), &QToolButton::clicked, this, [this] { print_->PrintRecordSheet(); });
    connect(toolbar_->button("cmdHelp"), &QToolButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(toolbar_->button("cmdOwari"), &QToolButton::clicked, this, [this] { close(); });
    chkHelp_ = toolbar_->chkHelp();
    connect(chkHelp_, &QCheckBox::clicked, this, [this] { chkHelp_Click(); });
}

QList<QPair<QString, Screen *>> MainWindow::screens()
{
    QList<QPair<QString, Screen *>> out;
    for (ScreenRow &row : screens_)
        out.append({row.button->objectName(), screenOf(row)});
    return out;
}

bool MainWindow::splashVisible() const { return splash_ && splash_->isVisible(); }

// A box shown while the splash is up belongs to the splash, so it comes in
// front of it with the focus instead of opening hidden behind it.
QWidget *MainWindow::startParent() const
{
    return splashVisible() ? static_cast<QWidget *>(splash_.data()) : nullptr;
}

void MainWindow::repaintNow() { QCoreApplication::processEvents(); }

Screen *MainWindow::visibleScreen() const
{
    for (const ScreenRow &row : screens_)
        if (row.screen && !row.screen->isHidden())
            return row.screen;
    return nullptr;
}

void MainWindow::markActiveTool()
{
    for (const ScreenRow &row : std::as_const(screens_))
        row.button->setChecked(row.screen && !row.screen->isHidden());
}

void MainWindow::HideAllPanels()
{
    for (const ScreenRow &row : std::as_const(screens_))
        if (row.screen)
            row.screen->hide();
}

void MainWindow::openScreen(Screen *screen)
{
    if (!screen->isHidden()) {
        markActiveTool(); // a click on the checked button must not uncheck it
        return;
    }
    HideAllPanels();
    screen->rebuild();
    showAndPaint(screen);
    s_.help.HelpText = screen->helpText();
    DSP_HELP();
}

// A newly shown screen's views finish their layout from the event loop;
// the screen is painted once, after that, rather than once before and
// again after.
void MainWindow::showAndPaint(Screen *screen)
{
    {
        const PaintOnce once(area_);
        screen->show();
        markActiveTool();
        QCoreApplication::processEvents();
    }
    repaintNow();
}

void MainWindow::RefreshVisiblePanel()
{
    Screen *visible = visibleScreen();
    for (const ScreenRow &row : std::as_const(screens_))
        if (row.screen && row.screen != visible)
            row.screen->personChanged(false);
    if (!visible)
        return;
    HideAllPanels();
    visible->personChanged(true);
    visible->show();
}

void MainWindow::fail(const QString &text)
{
    if (splash_)
        splash_->close();
    s_.dialogs.message(nullptr, text, QStringLiteral("ナナホシ"), Dialogs::Icon::Critical,
                       Dialogs::Buttons::Ok);
}

// Checks the files a start needs before anything is shown, and keeps the
// bytes of an append that never completed aside. The records read here
// serve every step of the start, so each data file is read once.
std::optional<QPair<PersonSlot, PersonSlot>> MainWindow::personsToRegister() const
{
    auto unregistered = [this](PersonSlot p) {
        return !dir_.exists(profileFileName(p)) && !dir_.exists(dataFileName(p));
    };
    const bool one = unregistered(PersonSlot::One);
    const bool two = unregistered(PersonSlot::Two);
    if (one && two)
        return QPair{PersonSlot::One, PersonSlot::Two};
    if (one)
        return QPair{PersonSlot::One, PersonSlot::One};
    if (two)
        return QPair{PersonSlot::Two, PersonSlot::Two};
    return std::nullopt;
}

// A first start, or one after a registration left halfway: the settings
// files get their defaults (an existing one is never touched) and the
// window shows only the registration of the persons still without files.
bool MainWindow::startRegistration(PersonSlot first, PersonSlot last)
{
    if (MaybeError e = store::createDefaultFiles(dir_)) {
        fail(QStringLiteral("はじめての起動の準備ができませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    registering_ = true;
    for (const ScreenRow &row : std::as_const(screens_))
        row.button->setEnabled(false);
    persons_->setEnabled(false);
    for (const char *name : {"cmdPrint", "cmdPrint1"})
        toolbar_->button(name)->setEnabled(false);
    HideAllPanels();
    fraSettei_->show();
    show();
    repaintNow();
    fraSettei_->openFirstRegistration(first, last);
    return true;
}

bool MainWindow::loadStartFiles()
{
    // Settings files that have gone missing can be written anew from the
    // defaults when the user agrees; the person files cannot.
    if (const QStringList settings = store::missingDefaultFiles(dir_);
        !settings.isEmpty() && store::missingFiles(dir_).size() == settings.size()) {
        if (s_.dialogs.message(startParent(),
                               QStringLiteral("次の設定ファイルが見つかりません。\n\n%1\n\n"
                                              "初期設定の内容で作り直して起動しますか？\n"
                                              "「いいえ」を選ぶと起動を中止します。")
                                   .arg(settings.join(QLatin1Char('\n'))),
                               QStringLiteral("設定ファイルの確認"), Dialogs::Icon::Question,
                               Dialogs::Buttons::YesNo)
            != Dialogs::Answer::Yes) {
            if (splash_)
                splash_->close();
            return false;
        }
        if (MaybeError e = store::createDefaultFiles(dir_)) {
            fail(QStringLiteral("設定ファイルを作り直せませんでした。\n\n%1").arg(e->message()));
            return false;
        }
    }
    const QStringList missing = store::missingFiles(dir_);
    if (!missing.isEmpty()) {
        fail(QStringLiteral("次のファイルが見つからないため起動できません。\n\n%1\n\nデータのフォルダー: %2")
                 .arg(missing.join(QLatin1Char('\n')), QDir::toNativeSeparators(dir_.dir().absolutePath())));
        return false;
    }
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        QList<WeightRecord> records;
        store::IncompleteTail tail;
        QByteArray bytes;
        if (MaybeError e = store::readRecords(dir_, dataFileName(p), &records, &tail, &bytes)) {
            fail(QStringLiteral("データファイルが読めないため起動できません。ファイルは変更していません。\n\n%1")
                     .arg(e->message()));
            return false;
        }
        if (tail.present) {
            QString side;
            if (MaybeError e = store::saveIncompleteTail(dir_, dataFileName(p), tail, &side)) {
                fail(QStringLiteral("途中で切れた最後の行を片付けられませんでした。\n\n%1").arg(e->message()));
                return false;
            }
            s_.dialogs.message(
                startParent(),
                QStringLiteral("「%1」の最後の行（%2 行目）は書き込みの途中で終わっていました。\n"
                               "その行は「%3」に移し、残りの記録はそのまま使います。")
                    .arg(dir_.resolve(dataFileName(p))).arg(tail.line).arg(side),
                QStringLiteral("データの確認"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
            bytes.truncate(tail.offset); // what the file now holds
        }
        if (records.isEmpty()) {
            fail(QStringLiteral("「%1」に記録が一件もないため起動できません。").arg(dir_.resolve(dataFileName(p))));
            return false;
        }
        s_.records.hold(p, {std::move(bytes), std::move(records)});
    }
    return true;
}

bool MainWindow::start()
{
    splash_ = options_.splash;
    if (MaybeError e = store::cleanUpAfterCrash(dir_)) return fail(QStringLiteral("前回途中で止まった作業を片付けられないため起動できません。\n\n%1").arg(e->message())), false;
    // The day's copy of every file, at the first start of a day (a
    // restore or undo a crash cut short was finished just above). Without
    // it the program still runs: each step that replaces a file takes its
    // own copy first and stops when it cannot.
    if (MaybeError e = store::takeDailySnapshot(dir_, s_.clock))
        s_.dialogs.message(startParent(),
                           QStringLiteral("今日のバックアップを作れませんでした。\n\n%1").arg(e->message()),
                           QStringLiteral("バックアップ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    if (const auto persons = personsToRegister()) {
        delete splash_; // the registration is shown instead
        return startRegistration(persons->first, persons->second);
    }
    if (!loadStartFiles())
        return false;
    // Whatever happens below, later screens look at the files again.
    struct Release {
        RecordSource &r;
        ~Release() { r.release(); }
    } release{s_.records};

    // 1-2: the splash window, for at least minSplashMs of elapsed time.
    s_.help.HelpFileName = QStringLiteral("HoshiHelp.chm");
    const qint64 started = splash_ ? options_.startedMs : s_.clock.elapsedMs();
    if (!splash_ && options_.showSplash) {
        splash_ = new SplashWindow;
        splash_->show();
        repaintNow();
    }

    // 3-7: both profiles, person 2 first so that person 1 ends up selected.
    setWindowState(Qt::WindowNoState);
    s_.Loading = true;
    HideAllPanels();
    // The weight screen is built later, on its first open, and takes the
    // day, the marker mode and the step chosen here then.
    selectedDay_ = s_.clock.today();
    s_.person.selected = PersonSlot::One;
    persons_->select(PersonSlot::One);
    if (!loadProfiles())
        return false;

    // 8-10
    meters_->ResetBmiMeter();
    if (MaybeError e = lists_->LoadSituationList(dir_)) {
        fail(QStringLiteral("状況リストを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    if (MaybeError e = store::readMovingAverageText(dir_, &s_.settings.MovingAverageText))
        return failSettings(*e);
    int autoTime = 0;
    if (MaybeError e = store::readAutoTime(dir_, &autoTime))
        return failSettings(*e);
    fraSettei_->showAutoTime(autoTime);

    // 12
    if (!ConvertLegacyData())
        return false;

    // 13-15: the day view of person 1 for today, markers, meters.
    if (!RefreshDayView()) {
        fail(QStringLiteral("起動を中止します。"));
        return false;
    }
    int marker = 0;
    if (MaybeError e = store::readMarkerMode(dir_, &marker))
        return failSettings(*e);
    s_.settings.MarkerMode = entry::normaliseStoredMarkerMode(marker);
    meters_->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight, s_.person.Height,
                             s_.day.RecordCount);

    // 16
    if (MaybeError e = store::readMemo(dir_, &s_.settings.AwarenessMemo)) {
        fail(QStringLiteral("気付きメモを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }

    // 17: READ_SETTEI, READ_KIZAMI
    if (MaybeError e = store::readHelpFlag(dir_, &s_.help.HelpFlag))
        return failSettings(*e);
    if (MaybeError e = store::readStepText(dir_, &s_.settings.StepText))
        return failSettings(*e);

    // 18: SetupAverageGrid, BuildComparison
    fraAvgTai_->rebuild();

    // 19: elapsed time, so passing midnight makes no difference.
    while (s_.clock.elapsedMs() - started <= options_.minSplashMs) {
        QCoreApplication::processEvents();
        s_.clock.pause(15);
    }
    splashShownMs_ = s_.clock.elapsedMs() - started;

    // 20-25: the window always opens on the comparison screen. The screen
    // is laid out with the window, which spares its chart a layout at a
    // size it never shows at, but is painted only after the window.
    HideAllPanels();
    fraAvgTai_->show();
    markActiveTool();
    show();
    if (splash_) {
        splash_->close();
        delete splash_;
    }
    {
        const PaintOnce once(area_);
        repaintNow();
    }
    repaintNow();
    chkHelp_->setChecked(s_.help.HelpFlag != 0);
    s_.Loading = false;
    s_.help.HelpText = helptext::startup();
    DSP_HELP();
    return true;
}

// An older single-person file becomes person 1's records when the user
// agrees. The conversion is all or nothing: a refused one changes no file,
// and the start goes on with the records as they were.
bool MainWindow::ConvertLegacyData()
{
    if (!dir_.exists(store::legacyDataFile()))
        return true;
    if (s_.dialogs.message(startParent(), QStringLiteral("連続体重.txtを検出しました。変換しますか？"),
                           QStringLiteral("データ変換確認"), Dialogs::Icon::Question,
                           Dialogs::Buttons::YesNo)
        != Dialogs::Answer::Yes)
        return true;
    // The conversion replaces person 1's records: they are kept under
    // backup/ first, and without that copy nothing is converted.
    if (MaybeError e = store::takeSnapshot(dir_, QStringLiteral("convert"),
                                           {dataFileName(PersonSlot::One), store::legacyDataFile()}, s_.clock)) {
        showStoreError(s_.dialogs, startParent(),
                       QStringLiteral("連続体重.txtを変換できませんでした。これまでのデータはそのままです。"),
                       *e, QStringLiteral("データ変換エラー"));
        return true;
    }
    if (MaybeError e = store::convertLegacyData(dir_, dataFileName(PersonSlot::One))) {
        showStoreError(s_.dialogs, startParent(),
                       QStringLiteral("連続体重.txtを変換できませんでした。これまでのデータはそのままです。"),
                       *e, QStringLiteral("データ変換エラー"));
        return true;
    }
    store::RecordsAsRead converted;
    if (MaybeError e = store::readRecords(dir_, dataFileName(PersonSlot::One), &converted.records, nullptr,
                                          &converted.bytes)) {
        fail(QStringLiteral("変換したデータを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    s_.records.hold(PersonSlot::One, converted);
    return true;
}

bool MainWindow::loadProfiles()
{
    for (PersonSlot p : {PersonSlot::Two, PersonSlot::One}) {
        PersonProfile profile;
        if (MaybeError e = store::loadProfile(dir_, profileFileName(p), &profile)) {
            fail(QStringLiteral("プロフィールを読み込めませんでした。\n\n%1").arg(e->message()));
            return false;
        }
        persons_->setNickname(p, profile.nickname);
        (p == PersonSlot::One ? s_.person.Nickname1 : s_.person.Nickname2) = profile.nickname;
        (p == PersonSlot::One ? s_.person.TargetWeight1 : s_.person.TargetWeight2) = profile.targetWeight;
        s_.person.Nickname = profile.nickname;
        s_.person.Height = profile.height;
        s_.person.TargetWeight = profile.targetWeight;
    }
    setCaption();
    return true;
}

void MainWindow::setCaption()
{
    setWindowTitle(s_.person.Nickname.isEmpty()
                       ? QStringLiteral(" ナナホシ")
                       : QStringLiteral(" %1 のデータ").arg(s_.person.Nickname));
}

bool MainWindow::failSettings(const StoreError &e)
{
    fail(QStringLiteral("設定ファイルが読めないため起動できません。ファイルは変更していません。\n\n%1")
             .arg(e.message()));
    return false;
}

// A person's files were replaced: the window takes their new values, and
// the screen that shows them is rebuilt.
void MainWindow::reloadPerson(PersonSlot p)
{
    PersonProfile profile;
    if (MaybeError e = store::loadProfile(dir_, profileFileName(p), &profile)) {
        showStoreError(s_.dialogs, this, QStringLiteral("プロフィールを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return;
    }
    persons_->setNickname(p, profile.nickname);
    (p == PersonSlot::One ? s_.person.Nickname1 : s_.person.Nickname2) = profile.nickname;
    (p == PersonSlot::One ? s_.person.TargetWeight1 : s_.person.TargetWeight2) = profile.targetWeight;
    if (p == s_.person.selected) {
        s_.person.Nickname = profile.nickname;
        s_.person.Height = profile.height;
        s_.person.TargetWeight = profile.targetWeight;
        setCaption();
    }
}

void MainWindow::switchPerson(PersonSlot p)
{
    if (persons_->isSelected(p))
        return;
    PersonProfile profile;
    if (MaybeError e = store::loadProfile(dir_, profileFileName(p), &profile)) {
        showStoreError(s_.dialogs, this, QStringLiteral("プロフィールを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return;
    }
    s_.person.selected = p;
    s_.person.Nickname = profile.nickname;
    s_.person.Height = profile.height;
    s_.person.TargetWeight = profile.targetWeight;
    setCaption();
    RefreshVisiblePanel();
    persons_->select(p);
}

void MainWindow::UpdateEntryCounts(int selectedCount)
{
    const PersonSlot selected = s_.person.selected;
    QList<WeightRecord> records;
    int other = 0;
    if (MaybeError e = s_.records.read(otherPerson(selected), &records))
        showStoreError(s_.dialogs, this, QStringLiteral("データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
    else
        other = entry::countOnDay(records, dates::text(selectedDay()));
    const int c1 = selected == PersonSlot::One ? selectedCount : other;
    const int c2 = selected == PersonSlot::Two ? selectedCount : other;
    persons_->showCounts(entry::entryCounts(c1, c2));
}

void MainWindow::DSP_HELP() { showHelpTour(s_, this); }

void MainWindow::chkHelp_Click()
{
    if (s_.Loading)
        return;
    if (chkHelp_->isChecked()) {
        s_.dialogs.message(this, QStringLiteral("ヘルプツアー機能をオンにします。"),
                           QStringLiteral("ヘルプツアーＯＮ"), Dialogs::Icon::Information,
                           Dialogs::Buttons::Ok);
        s_.help.HelpFlag = 1;
    } else {
        s_.dialogs.message(this, QStringLiteral("ヘルプツアー機能をオフにします。"),
                           QStringLiteral("ヘルプツアーＯＦＦ"), Dialogs::Icon::Information,
                           Dialogs::Buttons::Ok);
        s_.help.HelpFlag = 0;
    }
    if (MaybeError e = store::writeHelpFlag(dir_, s_.help.HelpFlag))
        showStoreError(s_.dialogs, this,
                       QStringLiteral("ヘルプツアーの設定を保存できませんでした。"
                                      "この設定は次の起動では元に戻ります。"),
                       *e);
}

void MainWindow::cmdHelp_Click()
{
    if (!help_)
        help_ = new HelpWindow;
    help_->showAt();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Every help window goes with the main window.
    if (help_)
        help_->close();
    QMainWindow::closeEvent(event);
}
