#include "app/screen_table.h"

#include "analysis/analysis_panel.h"
#include "analysis/trend_panel.h"
#include "app/screen_links.h"
#include "calendar/calendar_panel.h"
#include "compare/compare_panel.h"
#include "core/session.h"
#include "entry/entry_panel.h"
#include "notes/notes_panel.h"
#include "pace/pace_panel.h"
#include "search/search_panel.h"
#include "setup/registration_frame.h"
#include "setup/settings_panel.h"
#include "setup/situation_list_editor.h"
#include "ui/art/art_paths.h"
#include "ui/bmi_meter_view.h"
#include "ui/situation_lists.h"

// Adding a screen: its folder, one row here, its help page and its picture.
// What screens share is wired in their rows, so that no screen knows
// another. The comparison screen, which the window opens on, and the
// settings screen, around whose controls the situation list and the large
// meter are built and whose lists and meter the start fills, are built with
// the window; the settings row must be built before any other row that uses
// the lists or the meters.
const QList<ScreenRow> &screenTable()
{
    static const QList<ScreenRow> rows = {
        {.button = "cmdMain", .caption = "入力", .tip = "データ入力画面を表示します", .icon = art::kToolEntry,
         .showsDays = true,
         .build = [](ScreenKit &k) -> Screen * {
             auto *p = new EntryPanel(k.s, k.day, *k.links.lists, k.area);
             QObject::connect(p, &EntryPanel::focusSelectedPerson, &k.links, &ScreenLinks::personFocusWanted);
             QObject::connect(&k.links, &ScreenLinks::situationRenamed, p, [p] { p->RefreshDayView(); });
             // Joins with the meter as the window last set it.
             k.links.meters->attachSmall(p->smallMeter());
             return p;
         }},
        {.button = "cmdAvgtai", .caption = "比較", .tip = "二人のデータを比較表示します", .icon = art::kToolCompare,
         .builtAtStart = true, .opensAtStart = true,
         .build = [](ScreenKit &k) -> Screen * { return new ComparePanel(k.s, k.area); }},
        {.button = "cmdBunseki", .caption = "分析リスト", .tip = "体重分析画面を表示します", .icon = art::kToolAnalysis,
         .build = [](ScreenKit &k) -> Screen * {
             // The reload of the series redraws the graph too, where it exists.
             auto redraw = [&k](const WeightSeries &series) {
                 if (auto *graph = qobject_cast<TrendPanel *>(k.built("cmdRentai")))
                     graph->DrawTrendGraph(series);
             };
             return new AnalysisPanel(k.s, redraw, k.area);
         }},
        {.button = "cmdRentai", .caption = "全グラフ", .tip = "現在までの体重グラフを表示します", .icon = art::kToolGraph,
         .build = [](ScreenKit &k) -> Screen * { return new TrendPanel(k.s, k.area); }},
        {.button = "cmdCale", .caption = "カレンダー", .tip = "体重増減把握カレンダーを表示します",
         .icon = art::kToolCalendar,
         .build = [](ScreenKit &k) -> Screen * {
             auto *p = new CalendarPanel(k.s, k.area);
             // A double-clicked calendar day opens on the weight screen.
             QObject::connect(p, &CalendarPanel::dayOpened, &k.links, &ScreenLinks::dayOpenRequested);
             return p;
         }},
        {.button = "cmdTaijyu", .caption = "範囲指定", .tip = "表示条件を指定できます", .icon = art::kToolSearch,
         .build = [](ScreenKit &k) -> Screen * {
             auto *p = new SearchPanel(k.s, k.area);
             k.links.lists->attachMirror(p->lstAct2());
             return p;
         }},
        {.button = "cmdMemo", .caption = "一言日記", .tip = "ちょっとした日記を表示します", .icon = art::kToolNotes,
         .build = [](ScreenKit &k) -> Screen * { return new NotesPanel(k.s, k.area); }},
        {.button = "cmdSettei", .caption = "編集", .tip = "編集画面を表示します", .icon = art::kToolSettings,
         .builtAtStart = true, .registers = true,
         .build = [](ScreenKit &k) -> Screen * {
             auto *p = new SettingsPanel(k.s, k.area);
             SituationListEditor *editor = p->listEditor();
             k.links.lists = std::make_unique<SituationLists>(editor->lstKoumoku());
             editor->setLists(k.links.lists.get());
             k.links.meters = new BmiMeters(p->largeMeter(), &k.links);
             QObject::connect(editor, &SituationListEditor::renamed, &k.links, &ScreenLinks::situationRenamed);
             QObject::connect(p, &SettingsPanel::dayViewWanted, &k.links, &ScreenLinks::dayViewWanted);
             RegistrationFrame *r = p->registration();
             QObject::connect(r, &RegistrationFrame::registered, &k.links, &ScreenLinks::personRegistered);
             QObject::connect(r, &RegistrationFrame::finished, &k.links, &ScreenLinks::registrationFinished);
             QObject::connect(r, &RegistrationFrame::abandoned, &k.links, &ScreenLinks::registrationAbandoned);
             QObject::connect(&k.links, &ScreenLinks::registrationWanted, p, &SettingsPanel::openFirstRegistration);
             QObject::connect(&k.links, &ScreenLinks::started, p,
                              [p, &s = k.s] { p->showAutoTime(s.settings.AutoTime); });
             return p;
         }},
        {.button = "cmdPace", .caption = "ペース", .tip = "二人の体重の傾向と目標到達予定を表示します",
         .icon = art::kToolPace,
         .build = [](ScreenKit &k) -> Screen * { return new PacePanel(k.s, k.area); }},
    };
    return rows;
}
