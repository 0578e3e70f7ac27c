#pragma once

#include <QString>
#include <QStringList>

class QAbstractButton;
class QIcon;
class QPixmap;
class QSize;

// The program's own pictures, drawn for it as SVG and compiled into the
// resources under ":/art". Screens refer to them only through these names.
namespace art {

// Day faces: how the weight moved from the day's first to its last weighing.
inline constexpr char kFaceLaugh[] = ":/art/face_laugh.svg"; // went down   (imgwara)
inline constexpr char kFaceSmile[] = ":/art/face_smile.svg"; // unchanged   (imgniko)
inline constexpr char kFaceSulk[] = ":/art/face_sulk.svg";   // went up     (imgkana)
inline constexpr char kFaceNone[] = ":/art/face_none.svg";   // no weighing (imgNashi)

// Count faces beside the person buttons; person 1 has short blue hair,
// person 2 red hair with a bow.
inline constexpr char kCount1None[] = ":/art/count1_none.svg";   // 未登録 (imgNon1)
inline constexpr char kCount1Sulk[] = ":/art/count1_sulk.svg";   // ムスッ (imgKura1)
inline constexpr char kCount1Smile[] = ":/art/count1_smile.svg"; // ニコ (imgNi1)
inline constexpr char kCount1Beam[] = ":/art/count1_beam.svg";   // すごくニコニコ (imgWarai1)
inline constexpr char kCount2None[] = ":/art/count2_none.svg";   // imgNon2
inline constexpr char kCount2Sulk[] = ":/art/count2_sulk.svg";   // imgKura2
inline constexpr char kCount2Smile[] = ":/art/count2_smile.svg"; // imgNi2
inline constexpr char kCount2Beam[] = ":/art/count2_beam.svg";   // imgWarai2

inline constexpr char kSave[] = ":/art/save.svg";          // floppy disk of cmdTaiHozon
inline constexpr char kHelpOn[] = ":/art/help_on.svg";     // chkHelp ticked
inline constexpr char kHelpOff[] = ":/art/help_off.svg";   // chkHelp not ticked
inline constexpr char kBmiMarker[] = ":/art/bmi_marker.svg"; // Image1, Image2: tip at the centre
inline constexpr char kLadybird[] = ":/art/ladybird.svg";  // the program's mark and window icon
inline constexpr char kBallPerson1[] = ":/art/ball_blue.svg"; // person 1's mark in the comparison
inline constexpr char kBallPerson2[] = ":/art/ball_red.svg";  // person 2's mark in the comparison

// Toolbar pictures, one per button.
inline constexpr char kToolEntry[] = ":/art/tool_entry.svg";       // cmdMain
inline constexpr char kToolCompare[] = ":/art/tool_compare.svg";   // cmdAvgtai
inline constexpr char kToolAnalysis[] = ":/art/tool_analysis.svg"; // cmdBunseki
inline constexpr char kToolGraph[] = ":/art/tool_graph.svg";       // cmdRentai
inline constexpr char kToolCalendar[] = ":/art/tool_calendar.svg"; // cmdCale
inline constexpr char kToolSearch[] = ":/art/tool_search.svg";     // cmdTaijyu
inline constexpr char kToolNotes[] = ":/art/tool_notes.svg";       // cmdMemo
inline constexpr char kToolSettings[] = ":/art/tool_settings.svg"; // cmdSettei
inline constexpr char kToolPace[] = ":/art/tool_pace.svg";         // cmdPace
inline constexpr char kToolPrintScreen[] = ":/art/tool_print_screen.svg"; // cmdPrint
inline constexpr char kToolPrintSheet[] = ":/art/tool_print_sheet.svg";   // cmdPrint1
inline constexpr char kToolHelp[] = ":/art/tool_help.svg";         // cmdHelp
inline constexpr char kToolExit[] = ":/art/tool_exit.svg";         // cmdOwari

// The count face of person 1 or 2 for the number of weighings on the day:
// 0 未登録, 1 ムスッ, 2 ニコ, 3 or more すごくニコニコ. Any person other than
// 2 is person 1; a negative count is taken as 0.
QString kCountFace(int person, int count);

// The day face for the change mark of the day's last row, "↑", "→" or "↓";
// any other text (no row that day) gives the "no measurement" picture.
QString kDayFace(const QString &mark);

// Every path above, for tests and previews.
QStringList allPaths();

// The picture rendered at the given size, aspect ratio kept, transparent
// around it; a null pixmap when the path is not a valid picture.
QPixmap pixmap(const QString &path, const QSize &size);

// An icon for buttons and windows, rendered from the picture at the usual
// sizes so it does not depend on an icon plug-in being installed.
QIcon icon(const QString &path);

// One icon with two looks: `on` when a checkable button is checked, `off`
// when not. Push and tool buttons honour it; a QCheckBox always draws the
// `off` look, so use bindToggleIcon for one.
QIcon toggleIcon(const QString &on, const QString &off);

// Gives a checkable button (the help-tour QCheckBox chkHelp) the `on` picture
// while it is checked and the `off` picture while not, also when the program
// sets the state: bindToggleIcon(chkHelp, kHelpOn, kHelpOff).
void bindToggleIcon(QAbstractButton *button, const QString &on, const QString &off);

} // namespace art
