#pragma once

#include "ui/screen.h"

#include <QString>

class ColourButton;
class Grid;
class LineChart;
class MonthCalendar;
class Picture;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class SituationLists;
class SmallBmiMeter;
struct Session;
struct StoreError;
namespace entry {
class DayState;
}

// The weight screen fraMain: the day view of the selected person, the
// weight input with its scale step, the chart of the day and the small BMI
// meter. The day and its view are the window's DayState, which reads the
// data file afresh on every refresh; this screen shows whatever it computed.
class EntryPanel final : public Screen {
    Q_OBJECT
public:
    // Opens on the day state's day, showing its view when that is the
    // selected person's; the situation list is shown in lstAct.
    EntryPanel(Session &session, entry::DayState &day, SituationLists &lists, QWidget *parent = nullptr);

    // Opening the screen keeps the day view as it is, unless the person was
    // switched meanwhile: then it is rebuilt as a switch made here would,
    // so a save never uses the other person's values.
    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

    MonthCalendar *mtvmain() const { return mtvmain_; }
    SmallBmiMeter *smallMeter() const { return smallMeter_; }

    // Rebuilds the day view from the data file. False (after a message)
    // when the file could not be read.
    bool RefreshDayView();
    // The day view, then the BMI meters: what a person switch rebuilds.
    void refreshDayAndMeters();
    // The marker mode in the session applied to the chart.
    void ApplyMarkerMode();
    // Shows StepText: one of the three options, or the free text.
    void showStepText(const QString &stepText);

Q_SIGNALS:
    // The user picked a day: the selected person's button takes the focus.
    void focusSelectedPerson();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Event handlers.
    void lstAct_Click();
    void cmdFree_Click();
    void cmdJikan_Click();
    void cmdUp_Click();
    void cmdDn_Click();
    void cmdTaiHozon_Click();
    void txtTaiInp_Enter();
    void mtvmain_DateClick();
    void mcrMain_Click();
    void optKizami_Click(int index);
    void txtKizami_Enter();

    void cmdUndo_Click();
    // cmdUndo is enabled while there is a change to take back.
    void showUndoState();

    void SetupDayListGrid();
    // The day state's view on the screen.
    void showDay();
    bool refreshDay(bool meters);
    void setStepButtonsEnabled(bool enabled);
    void buildControls();
    // SelectedSituation, the highlight in lstAct (row -1: none) and the
    // step buttons always change together.
    void setSituation(const QString &situation, int listRow);
    void offerWeight();
    // Saves the pending entry. True when a record was written.
    bool save();
    void showError(const QString &what, const StoreError &e, const QString &title);

    Session &s_;
    entry::DayState &day_;
    SituationLists &lists_;
    bool personSwitchedMeanwhile_ = false;

    Picture *imgNashi_ = nullptr, *imgkana_ = nullptr, *imgniko_ = nullptr, *imgwara_ = nullptr;
    MonthCalendar *mtvmain_ = nullptr;
    QLabel *lblDspNissuu_ = nullptr, *lblDspTai_ = nullptr, *lblDspBmi_ = nullptr,
           *lblDspHiman_ = nullptr;
    SmallBmiMeter *smallMeter_ = nullptr;
    QListView *lstAct_ = nullptr;
    QPushButton *cmdFree_ = nullptr, *cmdJikan_ = nullptr;
    QLabel *lblKirokuBi_ = nullptr;
    QLineEdit *txtTaiInp_ = nullptr;
    QPushButton *cmdUp_ = nullptr, *cmdDn_ = nullptr, *cmdTaiHozon_ = nullptr;
    QRadioButton *optKizami_[4] = {};
    QLineEdit *txtKizami_ = nullptr;
    Grid *msgDayList_ = nullptr;
    // Which record of the file each row of msgDayList is, and the day.
    QList<int> dayRecordIndex_;
    QString dayListed_;
    QPushButton *cmdUndo_ = nullptr;
    LineChart *mcrMain_ = nullptr;
};
