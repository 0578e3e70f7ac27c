#include "app/main_window.h"

#include "ui/art/art_paths.h"
#include "ui/art/splash_window.h"
#include "core/help_texts.h"
#include "app/person_bar.h"
#include "app/placeholder_panel.h"
#include "ui/bmi_meter_view.h"
#include "entry/day_chart.h"
#include "entry/entry_panel.h"
#include "help/help_window.h"
#include "setup/settings_panel.h"
#include "setup/situation_list_editor.h"
#include "ui/situation_lists.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "store/record_line.h"
#include "store/format.h"
#include "store/settings_files.h"
#include "ui/back_color.h"
#include "ui/dialogs.h"
#include "ui/month_calendar.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

MainWindow::MainWindow(const QDir &dataDir, Dialogs &dialogs, const Clock &clock, Options options,
                       QWidget *parent)
    : QMainWindow(parent), dir_(dataDir), s_(dir_, dialogs, clock), options_(options)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(art::icon(QString::fromLatin1(art::kLadybird)));
    setWindowTitle(QStringLiteral(" ナナホシ"));
    resize(1280, 800);

    auto *central = new QWidget(this);
    auto *toolbar = new QWidget(central);
    buildToolbar(toolbar);
    persons_ = new PersonBar(central);
    connect(persons_, &PersonBar::clicked, this, [this](PersonSlot p) {
        p == PersonSlot::One ? cmdUser1_Click() : cmdUser2_Click();
    });
    auto *rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto *area = new QWidget(central);
    buildPanels(area);

    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(persons_);
    layout->addWidget(rule);
    layout->addWidget(area, 1);
    setCentralWidget(central);
}

MainWindow::~MainWindow()
{
    delete help_;
    delete splash_;
}

void MainWindow::buildToolbar(QWidget *bar)
{
    struct Tool {
        QToolButton **button;
        const char *name;
        QString caption;
        QString tip;
        const char *icon;
    };
    const QList<Tool> tools = {
        {&cmdMain_, "cmdMain", QStringLiteral("入力"), QStringLiteral("データ入力画面を表示します"), art::kToolEntry},
        {&cmdAvgtai_, "cmdAvgtai", QStringLiteral("比較"), QStringLiteral("二人のデータを比較表示します"), art::kToolCompare},
        {&cmdBunseki_, "cmdBunseki", QStringLiteral("分析リスト"), QStringLiteral("体重分析画面を表示します"), art::kToolAnalysis},
        {&cmdRentai_, "cmdRentai", QStringLiteral("全グラフ"), QStringLiteral("現在までの体重グラフを表示します"), art::kToolGraph},
        {&cmdCale_, "cmdCale", QStringLiteral("カレンダー"), QStringLiteral("体重増減把握カレンダーを表示します"), art::kToolCalendar},
        {&cmdTaijyu_, "cmdTaijyu", QStringLiteral("範囲指定"), QStringLiteral("表示条件を指定できます"), art::kToolSearch},
        {&cmdMemo_, "cmdMemo", QStringLiteral("一言日記"), QStringLiteral("ちょっとした日記を表示します"), art::kToolNotes},
        {&cmdSettei_, "cmdSettei", QStringLiteral("編集"), QStringLiteral("編集画面を表示します"), art::kToolSettings},
        {&cmdPrint_, "cmdPrint", QStringLiteral("画面印刷"), QStringLiteral("画面イメージのまま印刷します"), art::kToolPrintScreen},
        {&cmdPrint1_, "cmdPrint1", QStringLiteral("用紙印刷"), QStringLiteral("体重記録用紙を印刷します"), art::kToolPrintSheet},
        {&cmdHelp_, "cmdHelp", QStringLiteral("ヘルプ"), QStringLiteral("ヘルプファイルを開きます"), art::kToolHelp},
        {&cmdOwari_, "cmdOwari", QStringLiteral("終了"), QStringLiteral("プログラムを終了します"), art::kToolExit},
    };
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->setSpacing(2);
    for (int i = 0; i < tools.size(); ++i) {
        const Tool &t = tools[i];
        auto *b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(t.name));
        b->setText(t.caption);
        b->setToolTip(t.tip);
        b->setIcon(art::icon(QString::fromLatin1(t.icon)));
        b->setIconSize(QSize(30, 30));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setCheckable(i < 8); // the screen buttons show which screen is open
        b->setMinimumWidth(76);
        *t.button = b;
        layout->addWidget(b);
        if (i == 7) {
            auto *sep = new QFrame(bar);
            sep->setFrameShape(QFrame::VLine);
            sep->setFrameShadow(QFrame::Sunken);
            layout->addSpacing(6);
            layout->addWidget(sep);
            layout->addSpacing(6);
        }
    }
    // Printing comes with a later version.
    cmdPrint_->setEnabled(false);
    cmdPrint1_->setEnabled(false);
    layout->addStretch(1);

    chkHelp_ = new QCheckBox(QStringLiteral("ヘルプツアー"), bar);
    chkHelp_->setObjectName(QStringLiteral("chkHelp"));
    chkHelp_->setToolTip(QStringLiteral("ヘルプツアーのＯｎ／Ｏｆｆです"));
    art::bindToggleIcon(chkHelp_, QString::fromLatin1(art::kHelpOn), QString::fromLatin1(art::kHelpOff));
    chkHelp_->setIconSize(QSize(28, 28));
    layout->addWidget(chkHelp_);

    // After any click the checked button is again the one of the visible screen.
    auto wire = [this](QToolButton *b, void (MainWindow::*handler)()) {
        connect(b, &QToolButton::clicked, this, [this, handler] {
            (this->*handler)();
            markActiveTool();
        });
    };
    wire(cmdMain_, &MainWindow::cmdMain_Click);
    wire(cmdAvgtai_, &MainWindow::cmdAvgtai_Click);
    wire(cmdBunseki_, &MainWindow::cmdBunseki_Click);
    wire(cmdRentai_, &MainWindow::cmdRentai_Click);
    wire(cmdCale_, &MainWindow::cmdCale_Click);
    wire(cmdTaijyu_, &MainWindow::cmdTaijyu_Click);
    wire(cmdMemo_, &MainWindow::cmdMemo_Click);
    wire(cmdSettei_, &MainWindow::cmdSettei_Click);
    connect(cmdHelp_, &QToolButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdOwari_, &QToolButton::clicked, this, [this] { cmdOwari_Click(); });
    connect(chkHelp_, &QCheckBox::clicked, this, [this] { chkHelp_Click(); });
}

void MainWindow::buildPanels(QWidget *area)
{
    fraMain_ = new EntryPanel(s_, area);
    fraAvgTai_ = new PlaceholderPanel(QStringLiteral("fraAvgTai"), QStringLiteral("二人の比較"), area);
    fraBunseki_ = new PlaceholderPanel(QStringLiteral("fraBunseki"), QStringLiteral("分析リスト"), area);
    fraRenTai_ = new PlaceholderPanel(QStringLiteral("fraRenTai"), QStringLiteral("全グラフ"), area);
    fraCale_ = new PlaceholderPanel(QStringLiteral("fraCale"), QStringLiteral("体重増減カレンダー"), area);
    fraTaijyu_ = new PlaceholderPanel(QStringLiteral("fraTaijyu"), QStringLiteral("範囲指定"), area);
    fraMemo_ = new PlaceholderPanel(QStringLiteral("fraMemo"), QStringLiteral("一言日記"), area);
    fraSettei_ = new SettingsPanel(s_, area);

    // The moving-average window lives on the graph screen.
    auto *maRow = new QHBoxLayout;
    maRow->addStretch(1);
    maRow->addWidget(new QLabel(QStringLiteral("移動平均"), fraRenTai_));
    cboIdou_ = new QComboBox(fraRenTai_);
    cboIdou_->setObjectName(QStringLiteral("cboIdou"));
    cboIdou_->setEditable(true);
    cboIdou_->setInsertPolicy(QComboBox::NoInsert);
    cboIdou_->setToolTip(QStringLiteral("何回分を平均するかを選びます"));
    cboIdou_->setMinimumWidth(72);
    cboIdou_->lineEdit()->installEventFilter(this);
    connect(cboIdou_, &QComboBox::activated, this, [this] { cboIdou_Click(); });
    maRow->addWidget(cboIdou_);
    maRow->addWidget(new QLabel(QStringLiteral("回"), fraRenTai_));
    maRow->addStretch(1);
    fraRenTai_->controlsLayout()->addLayout(maRow);

    // The search screen's copy of the situation list.
    auto *lstAct2 = new QListWidget(fraTaijyu_);
    lstAct2->setObjectName(QStringLiteral("lstAct2"));
    lstAct2->setMaximumSize(260, 180);
    fraTaijyu_->controlsLayout()->addWidget(lstAct2, 0, Qt::AlignHCenter);

    panels_ = {fraTaijyu_, fraBunseki_, fraRenTai_, fraMain_, fraSettei_, fraCale_, fraMemo_, fraAvgTai_};
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    for (QFrame *p : std::as_const(panels_))
        grid->addWidget(p, 0, 0);

    lists_ = std::make_unique<SituationLists>(fraMain_->lstAct(), lstAct2,
                                              fraSettei_->listEditor()->lstKoumoku());
    fraSettei_->listEditor()->setLists(lists_.get());
    meters_ = new BmiMeters(fraMain_->smallMeter(), fraSettei_->largeMeter(), this);
    fraMain_->setCollaborators(lists_.get(), meters_);

    connect(fraMain_, &EntryPanel::dayRefreshed, this, [this](int n) { UpdateEntryCounts(n); });
    connect(fraMain_, &EntryPanel::focusSelectedPerson, this,
            [this] { persons_->button(s_.person.selected())->setFocus(); });
    connect(fraSettei_->listEditor(), &SituationListEditor::renamed, this,
            [this] { fraMain_->RefreshDayView(); });
}

bool MainWindow::splashVisible() const { return splash_ && splash_->isVisible(); }

void MainWindow::repaintNow() { QCoreApplication::processEvents(); }

void MainWindow::markActiveTool()
{
    const QList<QPair<QFrame *, QToolButton *>> pairs = {
        {fraMain_, cmdMain_},   {fraAvgTai_, cmdAvgtai_}, {fraBunseki_, cmdBunseki_},
        {fraRenTai_, cmdRentai_}, {fraCale_, cmdCale_},   {fraTaijyu_, cmdTaijyu_},
        {fraMemo_, cmdMemo_},   {fraSettei_, cmdSettei_},
    };
    for (const auto &[panel, button] : pairs)
        button->setChecked(!panel->isHidden());
}

void MainWindow::fail(const QString &text)
{
    if (splash_)
        splash_->close();
    s_.dialogs.message(nullptr, text, QStringLiteral("ナナホシ"), Dialogs::Icon::Critical,
                       Dialogs::Buttons::Ok);
}

// Checks the files a start needs before anything is shown, and keeps the
// bytes of an append that never completed aside.
bool MainWindow::loadStartFiles()
{
    if (store::isFreshInstallation(dir_)) {
        if (MaybeError e = store::createDefaultFiles(dir_)) {
            fail(QStringLiteral("はじめての起動の準備ができませんでした。\n\n%1").arg(e->message()));
            return false;
        }
        s_.dialogs.message(
            nullptr,
            QStringLiteral("はじめまして。ナナホシへようこそ。\n\n"
                           "設定ファイル・状況リスト・気付きメモを用意しました。\n"
                           "まだ二人の登録（ニックネーム・身長・目標体重・開始体重）がありません。\n"
                           "登録の画面はこのバージョンにはまだないため、ここで終了します。\n\n"
                           "足りないファイル: %1")
                .arg(store::missingFiles(dir_).join(QStringLiteral("、"))),
            QStringLiteral("はじめての起動"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return false;
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
        if (MaybeError e = store::readRecords(dir_, dataFileName(p), &records, &tail)) {
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
                nullptr,
                QStringLiteral("「%1」の最後の行（%2 行目）は書き込みの途中で終わっていました。\n"
                               "その行は「%3」に移し、残りの記録はそのまま使います。")
                    .arg(dir_.resolve(dataFileName(p))).arg(tail.line).arg(side),
                QStringLiteral("データの確認"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        }
        if (records.isEmpty()) {
            fail(QStringLiteral("「%1」に記録が一件もないため起動できません。").arg(dir_.resolve(dataFileName(p))));
            return false;
        }
    }
    return true;
}

bool MainWindow::start()
{
    if (!loadStartFiles())
        return false;

    // 1-2: the splash window, for at least minSplashMs of elapsed time.
    s_.help.HelpFileName = QStringLiteral("HoshiHelp.chm");
    const qint64 started = s_.clock.elapsedMs();
    if (options_.showSplash) {
        splash_ = new SplashWindow;
        splash_->show();
        repaintNow();
    }

    // 3-7: both profiles, person 2 first so that person 1 ends up selected.
    setWindowState(Qt::WindowNoState);
    s_.Loading = true;
    HideAllPanels();
    fraMain_->mtvmain()->setSelectedDay(s_.clock.today());
    s_.person.DataFileName = dataFileName(PersonSlot::One);
    persons_->select(PersonSlot::One);
    s_.person.ProfileFileName = profileFileName(PersonSlot::Two);
    if (!LoadProfile())
        return false;
    persons_->setNickname(PersonSlot::Two, s_.person.Nickname);
    s_.person.TargetWeight2 = s_.person.TargetWeight;
    s_.person.ProfileFileName = profileFileName(PersonSlot::One);
    if (!LoadProfile())
        return false;
    persons_->setNickname(PersonSlot::One, s_.person.Nickname);
    s_.person.TargetWeight1 = s_.person.TargetWeight;

    // 8-10
    meters_->ResetBmiMeter();
    if (MaybeError e = lists_->LoadSituationList(dir_)) {
        fail(QStringLiteral("状況リストを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    if (!LoadMovingAverageSetting() || !LoadAutoTimeSetting())
        return false;

    // 13-15: the day view of person 1 for today, markers, meters.
    if (!fraMain_->RefreshDayView()) {
        fail(QStringLiteral("起動を中止します。"));
        return false;
    }
    if (!LoadMarkerMode())
        return false;
    meters_->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight, s_.person.Height,
                             s_.day.RecordCount);

    // 17
    if (!READ_SETTEI() || !READ_KIZAMI())
        return false;

    // 19: elapsed time, so passing midnight makes no difference.
    while (s_.clock.elapsedMs() - started <= options_.minSplashMs) {
        QCoreApplication::processEvents();
        s_.clock.pause(15);
    }
    splashShownMs_ = s_.clock.elapsedMs() - started;

    // 20-25
    show();
    if (splash_) {
        splash_->close();
        delete splash_;
    }
    repaintNow();
    HideAllPanels();
    fraAvgTai_->show();
    markActiveTool();
    repaintNow();
    chkHelp_->setChecked(s_.help.HelpFlag != 0);
    fraMain_->setStepButtonsEnabled(false);
    s_.Loading = false;
    s_.help.HelpText = helptext::startup();
    DSP_HELP();
    return true;
}

bool MainWindow::LoadProfile()
{
    PersonProfile p;
    if (MaybeError e = store::loadProfile(dir_, s_.person.ProfileFileName, &p)) {
        fail(QStringLiteral("プロフィールを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    s_.person.Nickname = p.nickname;
    s_.person.Height = p.height;
    s_.person.TargetWeight = p.targetWeight;
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

bool MainWindow::LoadMovingAverageSetting()
{
    cboIdou_->clear();
    for (int i = 1; i <= 30; ++i)
        cboIdou_->addItem(QString::number(i));
    QString text;
    if (MaybeError e = store::readMovingAverageText(dir_, &text))
        return failSettings(*e);
    // A window below 1 cannot be drawn: start with the usual 10 and leave
    // the file alone until the user chooses.
    if (fmt::leadingNumber(text) < 1)
        text = store::defaults().movingAverage;
    cboIdou_->setEditText(text);
    return true;
}

bool MainWindow::LoadAutoTimeSetting()
{
    int state = 0;
    if (MaybeError e = store::readAutoTime(dir_, &state))
        return failSettings(*e);
    fraSettei_->showAutoTime(state);
    return true;
}

bool MainWindow::LoadMarkerMode()
{
    int mode = 0;
    if (MaybeError e = store::readMarkerMode(dir_, &mode))
        return failSettings(*e);
    s_.settings.MarkerMode = normaliseStoredMarkerMode(mode);
    fraMain_->ApplyMarkerMode();
    return true;
}

bool MainWindow::READ_SETTEI()
{
    if (MaybeError e = store::readHelpFlag(dir_, &s_.help.HelpFlag))
        return failSettings(*e);
    return true;
}

bool MainWindow::READ_KIZAMI()
{
    if (MaybeError e = store::readStepText(dir_, &s_.settings.StepText))
        return failSettings(*e);
    fraMain_->showStepText(s_.settings.StepText);
    return true;
}

void MainWindow::HideAllPanels()
{
    for (QFrame *p : std::as_const(panels_))
        p->hide();
}

void MainWindow::openPanel(QFrame *panel, const std::function<void()> &rebuild,
                           const QString &helpText)
{
    if (!panel->isHidden())
        return;
    HideAllPanels();
    if (rebuild)
        rebuild();
    panel->show();
    markActiveTool();
    repaintNow();
    s_.help.HelpText = helpText;
    DSP_HELP();
}

void MainWindow::cmdMain_Click()
{
    openPanel(fraMain_, [this] {
        // A person switch made on another screen left this one showing the
        // other person: rebuild it as a switch made here would (day view
        // and meters), so a save can never use their values and the BMI
        // formula never mixes the two persons' numbers.
        if (!fraMain_->showsSelectedPerson() && fraMain_->RefreshDayView())
            meters_->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight,
                                     s_.person.Height, s_.day.RecordCount);
    }, helptext::cmdMain());
}

void MainWindow::cmdAvgtai_Click() { openPanel(fraAvgTai_, nullptr, helptext::cmdAvgtai()); }
void MainWindow::cmdBunseki_Click() { openPanel(fraBunseki_, nullptr, helptext::cmdBunseki()); }
void MainWindow::cmdRentai_Click() { openPanel(fraRenTai_, nullptr, helptext::cmdRentai()); }
void MainWindow::cmdCale_Click() { openPanel(fraCale_, nullptr, helptext::cmdCale()); }
void MainWindow::cmdTaijyu_Click() { openPanel(fraTaijyu_, nullptr, helptext::cmdTaijyu()); }
void MainWindow::cmdMemo_Click() { openPanel(fraMemo_, nullptr, helptext::cmdMemo()); }

void MainWindow::cmdSettei_Click()
{
    openPanel(fraSettei_, [this] {
        fraSettei_->showProfile();
        fraSettei_->listEditor()->disableSelectionButtons();
    }, helptext::cmdSettei());
}

void MainWindow::RefreshVisiblePanel()
{
    auto rebuild = [this](QFrame *panel, const std::function<void()> &work) {
        HideAllPanels();
        work();
        panel->show();
    };
    auto dayAndMeter = [this] {
        if (fraMain_->RefreshDayView())
            meters_->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight,
                                     s_.person.Height, s_.day.RecordCount);
    };
    if (!fraMain_->isHidden()) {
        rebuild(fraMain_, dayAndMeter);
    } else if (!fraRenTai_->isHidden()) {
        rebuild(fraRenTai_, [] {});
    } else if (!fraTaijyu_->isHidden()) {
        rebuild(fraTaijyu_, [] {});
    } else if (!fraBunseki_->isHidden()) {
        rebuild(fraBunseki_, [] {});
    } else if (!fraCale_->isHidden()) {
        rebuild(fraCale_, [] {});
    } else if (!fraMemo_->isHidden()) {
        rebuild(fraMemo_, [] {});
    } else if (!fraSettei_->isHidden()) {
        rebuild(fraSettei_, [&] {
            fraSettei_->showProfile();
            fraSettei_->listEditor()->disableSelectionButtons();
            dayAndMeter();
        });
    }
}

void MainWindow::cmdUser1_Click() { switchPerson(PersonSlot::One); }
void MainWindow::cmdUser2_Click() { switchPerson(PersonSlot::Two); }

void MainWindow::switchPerson(PersonSlot p)
{
    if (persons_->isSelected(p))
        return;
    const QString previous = s_.person.ProfileFileName;
    s_.person.ProfileFileName = profileFileName(p);
    if (!LoadProfile()) {
        s_.person.ProfileFileName = previous;
        return;
    }
    s_.person.DataFileName = dataFileName(p);
    RefreshVisiblePanel();
    persons_->select(p);
}

void MainWindow::UpdateEntryCounts(int selectedCount)
{
    const PersonSlot selected = s_.person.selected();
    QList<WeightRecord> records;
    int other = 0;
    if (MaybeError e = store::readRecords(dir_, dataFileName(otherPerson(selected)), &records)) {
        s_.dialogs.message(this, QStringLiteral("データを読み込めませんでした。\n\n%1").arg(e->message()),
                           QStringLiteral("ファイルエラー"), Dialogs::Icon::Critical,
                           Dialogs::Buttons::Ok);
    } else {
        other = countOnDay(records, dates::text(fraMain_->mtvmain()->selectedDate()));
    }
    const int c1 = selected == PersonSlot::One ? selectedCount : other;
    const int c2 = selected == PersonSlot::Two ? selectedCount : other;
    persons_->showCounts(entryCounts(c1, c2));
}

void MainWindow::DSP_HELP()
{
    if (s_.help.HelpFlag != 0)
        s_.dialogs.message(this, s_.help.HelpText, QStringLiteral("ヘルプツアー"),
                           Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

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
        s_.dialogs.message(this,
                           QStringLiteral("ヘルプツアーの設定を保存できませんでした。"
                                          "この設定は次の起動では元に戻ります。\n\n%1")
                               .arg(e->message()),
                           QStringLiteral("保存エラー"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

void MainWindow::cboIdou_Click()
{
    const QString text = cboIdou_->currentText();
    if (text.isEmpty())
        return;
    if (fmt::leadingNumber(text) < 1) {
        cboIdou_->clearEditText();
        return;
    }
    if (const QString reason = store::unstorableReason(text); !reason.isEmpty()) {
        cboIdou_->clearEditText();
        return;
    }
    if (MaybeError e = store::writeMovingAverageText(dir_, text))
        s_.dialogs.message(this, QStringLiteral("移動平均の設定を保存できませんでした。\n\n%1").arg(e->message()),
                           QStringLiteral("保存エラー"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    repaintNow();
}

void MainWindow::cmdHelp_Click()
{
    if (!help_)
        help_ = new HelpWindow;
    help_->showAt();
}

void MainWindow::cmdOwari_Click() { close(); }

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Every help window goes with the main window.
    if (help_)
        help_->close();
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (cboIdou_ && watched == cboIdou_->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboIdou_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
