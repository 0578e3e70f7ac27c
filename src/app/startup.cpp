#include "app/startup.h"

#include "app/person_bar.h"
#include "app/screen_links.h"
#include "app/screen_table.h"
#include "app/startup_help.h"
#include "entry/day_chart.h"
#include "store/backup.h"
#include "store/cleanup.h"
#include "store/data_file.h"
#include "store/first_start.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/settings_files.h"
#include "ui/art/splash_window.h"
#include "ui/bmi_meter_view.h"
#include "ui/dialogs.h"
#include "ui/paint_once.h"
#include "ui/screen.h"
#include "ui/situation_lists.h"
#include "ui/store_error_box.h"

#include <QCheckBox>
#include <QCoreApplication>

Startup::Startup(MainWindow &window, MainWindow::Options options)
    : w_(window), s_(window.s_), dir_(window.dir_), options_(options)
{
}

void Startup::fail(const QString &text)
{
    if (w_.splash_)
        w_.splash_->close();
    s_.dialogs.message(nullptr, text, QStringLiteral("ナナホシ"), Dialogs::Icon::Critical,
                       Dialogs::Buttons::Ok);
}

bool Startup::failSettings(const StoreError &e)
{
    fail(QStringLiteral("設定ファイルが読めないため起動できません。ファイルは変更していません。\n\n%1")
             .arg(e.message()));
    return false;
}

// A box shown while the splash is up belongs to the splash, so it comes in
// front of it with the focus instead of opening hidden behind it.
QWidget *Startup::startParent() const
{
    return w_.splashVisible() ? static_cast<QWidget *>(w_.splash_.data()) : nullptr;
}

std::optional<QPair<PersonSlot, PersonSlot>> Startup::personsToRegister() const
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
bool Startup::startRegistration(PersonSlot first, PersonSlot last)
{
    if (MaybeError e = store::createDefaultFiles(dir_)) {
        fail(QStringLiteral("はじめての起動の準備ができませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    w_.showRegistration(first, last);
    return true;
}

// Checks the files a start needs before anything is shown, and keeps the
// bytes of an append that never completed aside. The records read here
// serve every step of the start, so each data file is read once.
bool Startup::loadStartFiles()
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
            if (w_.splash_)
                w_.splash_->close();
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
        store::RecordsAsRead read;
        store::IncompleteTail tail;
        if (MaybeError e = store::readRecordsAsRead(dir_, dataFileName(p), &read, &tail)) {
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
        }
        if (read.records.isEmpty()) {
            fail(QStringLiteral("「%1」に記録が一件もないため起動できません。").arg(dir_.resolve(dataFileName(p))));
            return false;
        }
        s_.records.hold(p, read);
    }
    return true;
}

bool Startup::run()
{
    w_.splash_ = options_.splash;
    if (MaybeError e = store::cleanUpAfterCrash(dir_)) {
        fail(QStringLiteral("前回途中で止まった作業を片付けられないため起動できません。\n\n%1").arg(e->message()));
        return false;
    }
    // The day's copy of every file, at the first start of a day (a
    // restore or undo a crash cut short was finished just above). Without
    // it the program still runs: each step that replaces a file takes its
    // own copy first and stops when it cannot.
    if (MaybeError e = store::takeDailySnapshot(dir_, s_.clock))
        s_.dialogs.message(startParent(),
                           QStringLiteral("今日のバックアップを作れませんでした。\n\n%1").arg(e->message()),
                           QStringLiteral("バックアップ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    if (const auto persons = personsToRegister()) {
        delete w_.splash_; // the registration is shown instead
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
    const qint64 started = w_.splash_ ? options_.startedMs : s_.clock.elapsedMs();
    if (!w_.splash_ && options_.showSplash) {
        w_.splash_ = new SplashWindow;
        w_.splash_->show();
        w_.repaintNow();
    }

    // 3-7: both profiles, person 2 first so that person 1 ends up selected.
    w_.setWindowState(Qt::WindowNoState);
    s_.Loading = true;
    w_.HideAllPanels();
    // The weight screen is built later, on its first open, and takes the
    // day, the marker mode and the step chosen here then.
    w_.day_.setDay(s_.clock.today());
    s_.person.select(PersonSlot::One);
    if (!loadProfiles())
        return false;

    // 8-10
    ScreenLinks &links = *w_.links_;
    links.meters->ResetBmiMeter();
    if (MaybeError e = links.lists->LoadSituationList(dir_)) {
        fail(QStringLiteral("状況リストを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    if (MaybeError e = store::readMovingAverageText(dir_, &s_.settings.MovingAverageText))
        return failSettings(*e);
    int autoTime = 0;
    if (MaybeError e = store::readAutoTime(dir_, &autoTime))
        return failSettings(*e);
    s_.settings.AutoTime = autoTime != 0 ? 1 : 0;

    // 12
    if (!ConvertLegacyData())
        return false;

    // 13-15: the day view of person 1 for today, markers, meters.
    if (!w_.refreshDay(false)) {
        fail(QStringLiteral("起動を中止します。"));
        return false;
    }
    int marker = 0;
    if (MaybeError e = store::readMarkerMode(dir_, &marker))
        return failSettings(*e);
    s_.settings.MarkerMode = entry::normaliseStoredMarkerMode(marker);
    links.meters->RefreshBmiMeter(s_.day.LatestWeight, s_.day.LastFileWeight, s_.person.current().height,
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
    Q_EMIT links.started();

    // 18: SetupAverageGrid, BuildComparison
    Screen *first = w_.screenOf(*w_.rowWhere(&ScreenRow::opensAtStart));
    first->rebuild();

    // 19: elapsed time, so passing midnight makes no difference.
    while (s_.clock.elapsedMs() - started <= options_.minSplashMs) {
        QCoreApplication::processEvents();
        s_.clock.pause(15);
    }
    splashShownMs_ = s_.clock.elapsedMs() - started;

    // 20-25: the window always opens on the comparison screen. The screen
    // is laid out with the window, which spares its chart a layout at a
    // size it never shows at, but is painted only after the window.
    w_.HideAllPanels();
    first->show();
    w_.markActiveTool();
    w_.show();
    if (w_.splash_) {
        w_.splash_->close();
        delete w_.splash_;
    }
    {
        const PaintOnce once(w_.area_);
        w_.repaintNow();
    }
    w_.repaintNow();
    w_.chkHelp_->setChecked(s_.help.HelpFlag != 0);
    s_.Loading = false;
    s_.help.HelpText = helptext::startup();
    w_.DSP_HELP();
    return true;
}

// An older single-person file becomes person 1's records when the user
// agrees. The conversion is all or nothing: a refused one changes no file,
// and the start goes on with the records as they were.
bool Startup::ConvertLegacyData()
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
    QList<WeightRecord> records;
    QByteArray bytes;
    if (MaybeError e = store::readRecords(dir_, dataFileName(PersonSlot::One), &records, nullptr, &bytes)) {
        fail(QStringLiteral("変換したデータを読み込めませんでした。\n\n%1").arg(e->message()));
        return false;
    }
    s_.records.hold(PersonSlot::One, store::RecordsAsRead::of(bytes, std::move(records)));
    return true;
}

bool Startup::loadProfiles()
{
    for (PersonSlot p : {PersonSlot::Two, PersonSlot::One}) {
        PersonProfile profile;
        if (MaybeError e = store::loadProfile(dir_, profileFileName(p), &profile)) {
            fail(QStringLiteral("プロフィールを読み込めませんでした。\n\n%1").arg(e->message()));
            return false;
        }
        s_.person.setProfile(p, profile);
    }
    return true;
}
