#include "app/main_window.h"

#include "app/person_bar.h"
#include "app/screen_links.h"
#include "app/screen_table.h"
#include "app/startup.h"
#include "app/toolbar.h"
#include "help/help_window.h"
#include "print/printing.h"
#include "store/settings_files.h"
#include "ui/back_color.h"
#include "ui/art/art_paths.h"
#include "ui/art/splash_window.h"
#include "ui/bmi_meter_view.h"
#include "ui/dialogs.h"
#include "ui/help_tour.h"
#include "ui/paint_once.h"
#include "ui/record_dialog.h"
#include "ui/screen.h"
#include "ui/situation_lists.h"
#include "ui/store_error_box.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

MainWindow::MainWindow(const QDir &dataDir, Dialogs &dialogs, const Clock &clock, Options options,
                       QWidget *parent)
    : QMainWindow(parent), dir_(dataDir), s_(dir_, dialogs, clock), day_(s_),
      links_(std::make_unique<ScreenLinks>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(art::icon(QString::fromLatin1(art::kLadybird)));
    setWindowTitle(QStringLiteral(" ナナホシ"));
    startup_ = std::make_unique<Startup>(*this, options);

    auto *central = new QWidget(this);
    area_ = new QWidget(central);
    toolbar_ = new Toolbar(central);
    persons_ = new PersonBar(s_.person, central);
    connect(persons_, &PersonBar::clicked, this, [this](PersonSlot p) { switchPerson(p); });
    buildScreens();
    wireLinks();
    wireToolbar();
    // Text boxes take Ctrl+Z for themselves before a shortcut sees it.
    auto *undo = new QShortcut(QKeySequence::Undo, this);
    undo->setObjectName(QStringLiteral("scUndo"));
    connect(undo, &QShortcut::activated, this, [this] { undoShortcut(); });
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
    // The screens go before the links and the day state they follow.
    delete takeCentralWidget();
}

bool MainWindow::start() { return startup_->run(); }

qint64 MainWindow::splashShownMs() const { return startup_->splashShownMs(); }

// The table of screens: one row per screen, in toolbar order. Opening a
// screen, marking the open one on the toolbar and rebuilding the visible
// one after a person switch all read this table.
void MainWindow::buildScreens()
{
    auto *grid = new QGridLayout(area_);
    grid->setContentsMargins(0, 0, 0, 0);
    kit_ = std::make_unique<ScreenKit>(ScreenKit{s_, day_, *links_, area_, [this](const char *button) {
                                                     for (const Row &row : std::as_const(rows_))
                                                         if (qstrcmp(row.info->button, button) == 0)
                                                             return row.screen;
                                                     return static_cast<Screen *>(nullptr);
                                                 }});
    for (const ScreenRow &info : screenTable()) {
        QToolButton *b = toolbar_->addScreenButton(info.button, info.caption, info.tip, info.icon);
        rows_.append({&info, b, nullptr});
        const qsizetype index = rows_.size() - 1;
        connect(b, &QToolButton::clicked, this, [this, index] { openScreen(screenOf(rows_[index])); });
    }
    for (Row &row : rows_)
        if (row.info->builtAtStart)
            screenOf(row);
}

// What the screens ask of the window, and what the window's state tells
// whatever shows it.
void MainWindow::wireLinks()
{
    ScreenLinks *l = links_.get();
    connect(&day_, &entry::DayState::refreshed, this, [this](bool meters) { showDayState(meters); });
    connect(&s_.person, &Persons::selectedChanged, this, [this] { setCaption(); });
    connect(&s_.person, &Persons::profileChanged, this, [this] { setCaption(); });
    connect(l, &ScreenLinks::dayViewWanted, this, [this] { refreshDay(true); });
    connect(l, &ScreenLinks::dayOpenRequested, this, [this](QDate day) { openDay(day); });
    connect(l, &ScreenLinks::personFocusWanted, this,
            [this] { persons_->button(s_.person.selected())->setFocus(); });
    connect(l, &ScreenLinks::personRegistered, this, [this](PersonSlot p) {
        if (!registering_)
            reloadPerson(p);
    });
    // The program ends after the last person, as the registration says.
    connect(l, &ScreenLinks::registrationFinished, this, [this] { close(); });
    connect(l, &ScreenLinks::registrationAbandoned, this, [this] {
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

// A screen joins the others in the area, hidden until it is opened.
Screen *MainWindow::screenOf(Row &row)
{
    if (row.screen)
        return row.screen;
    Screen *screen = row.info->build(*kit_);
    static_cast<QGridLayout *>(area_->layout())->addWidget(screen, 0, 0);
    screen->hide();
    connect(screen, &Screen::recordsChanged, this, [this] { filesChanged(false); });
    connect(screen, &Screen::filesReplaced, this, [this] { filesChanged(true); });
    row.screen = screen;
    return screen;
}

MainWindow::Row *MainWindow::rowWhere(bool ScreenRow::*flag)
{
    for (Row &row : rows_)
        if (row.info->*flag)
            return &row;
    return nullptr;
}

void MainWindow::filesChanged(bool replaced)
{
    if (replaced) {
        reloadPerson(PersonSlot::One);
        reloadPerson(PersonSlot::Two);
        if (MaybeError e = links_->lists->LoadSituationList(dir_))
            showStoreError(s_.dialogs, this, QStringLiteral("状況リストを読み込めませんでした。"), *e,
                           QStringLiteral("ファイルエラー"));
    }
    // The day view, its counts and the meters. A screen that changed a
    // record shows the change itself; after files were put back every
    // screen reads them afresh (the hidden ones when opened).
    refreshDay(true);
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
    else
        refreshDay(false);
}

bool MainWindow::refreshDay(bool meters)
{
    if (MaybeError e = day_.refresh(meters)) {
        showStoreError(s_.dialogs, this, QStringLiteral("データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return false;
    }
    return true;
}

// The meters and the counts on the person buttons follow every new day
// view, whoever asked for it.
void MainWindow::showDayState(bool meters)
{
    const float height = s_.person.current().height;
    BmiMeters *m = links_->meters;
    m->ShowCurrentBmi(s_.day.LatestWeight, height, s_.day.RecordCount);
    if (meters)
        m->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight, height, s_.day.RecordCount);
    if (const MaybeError &e = day_.otherError())
        showStoreError(s_.dialogs, this, QStringLiteral("データを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
    persons_->showCounts(day_.counts());
}

// A day double-clicked elsewhere opens on the screen that shows days.
void MainWindow::openDay(QDate day)
{
    Screen *screen = screenOf(*rowWhere(&ScreenRow::showsDays));
    day_.setDay(day);
    refreshDay(true);
    HideAllPanels();
    screen->show();
    markActiveTool();
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
    for (Row &row : rows_)
        out.append({row.button->objectName(), screenOf(row)});
    return out;
}

Screen *MainWindow::screen(const QString &button)
{
    for (Row &row : rows_)
        if (row.button->objectName() == button)
            return screenOf(row);
    return nullptr;
}

bool MainWindow::splashVisible() const { return splash_ && splash_->isVisible(); }

void MainWindow::repaintNow() { QCoreApplication::processEvents(); }

Screen *MainWindow::visibleScreen() const
{
    for (const Row &row : rows_)
        if (row.screen && !row.screen->isHidden())
            return row.screen;
    return nullptr;
}

void MainWindow::markActiveTool()
{
    for (const Row &row : std::as_const(rows_))
        row.button->setChecked(row.screen && !row.screen->isHidden());
}

void MainWindow::HideAllPanels()
{
    for (const Row &row : std::as_const(rows_))
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
    for (const Row &row : std::as_const(rows_))
        if (row.screen && row.screen != visible)
            row.screen->personChanged(false);
    if (!visible)
        return;
    HideAllPanels();
    visible->personChanged(true);
    visible->show();
}

void MainWindow::showRegistration(PersonSlot first, PersonSlot last)
{
    registering_ = true;
    for (const Row &row : std::as_const(rows_))
        row.button->setEnabled(false);
    persons_->setEnabled(false);
    for (const char *name : {"cmdPrint", "cmdPrint1"})
        toolbar_->button(name)->setEnabled(false);
    HideAllPanels();
    screenOf(*rowWhere(&ScreenRow::registers))->show();
    show();
    repaintNow();
    Q_EMIT links_->registrationWanted(first, last);
}

void MainWindow::setCaption()
{
    const QString &nickname = s_.person.current().nickname;
    setWindowTitle(nickname.isEmpty() ? QStringLiteral(" ナナホシ") : QStringLiteral(" %1 のデータ").arg(nickname));
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
    s_.person.setProfile(p, profile);
}

void MainWindow::switchPerson(PersonSlot p)
{
    if (s_.person.selected() == p)
        return;
    // The profile as the file holds it now.
    PersonProfile profile;
    if (MaybeError e = store::loadProfile(dir_, profileFileName(p), &profile)) {
        showStoreError(s_.dialogs, this, QStringLiteral("プロフィールを読み込めませんでした。"), *e,
                       QStringLiteral("ファイルエラー"));
        return;
    }
    s_.person.setProfile(p, profile);
    s_.person.select(p);
    RefreshVisiblePanel();
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
