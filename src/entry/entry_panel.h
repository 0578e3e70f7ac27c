#pragma once

#include <QFrame>
#include <QString>

class BmiMeters;
class ColourButton;
class Grid;
class LineChart;
class MonthCalendar;
class Picture;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class SituationLists;
class SmallBmiMeter;
struct Session;

// The weight screen fraMain: the day view of the selected person, the
// weight input with its scale step, the chart of the day and the small BMI
// meter. It reads the data file afresh on every refresh and keeps nothing
// of the records.
class EntryPanel final : public QFrame {
    Q_OBJECT
public:
    EntryPanel(Session &session, QWidget *parent = nullptr);

    void setCollaborators(SituationLists *lists, BmiMeters *meters);

    MonthCalendar *mtvmain() const { return mtvmain_; }
    QListWidget *lstAct() const { return lstAct_; }
    SmallBmiMeter *smallMeter() const { return smallMeter_; }

    // Rebuilds the day view from the data file. False (after a message)
    // when the file could not be read.
    bool RefreshDayView();
    void SetupDayListGrid();
    // The marker mode in the session applied to the chart.
    void ApplyMarkerMode();
    // Shows StepText: one of the three options, or the free text.
    void showStepText(const QString &stepText);
    void setStepButtonsEnabled(bool enabled);
    // True when the last refresh was for the person selected now.
    bool showsSelectedPerson() const;

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

Q_SIGNALS:
    // A refresh listed `count` records of the selected person for the day.
    void dayRefreshed(int count);
    // The user picked a day: the selected person's button takes the focus.
    void focusSelectedPerson();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void offerWeight();
    // Saves the pending entry. True when a record was written.
    bool save();
    void showError(const QString &title, const QString &text);

    Session &s_;
    SituationLists *lists_ = nullptr;
    BmiMeters *meters_ = nullptr;
    QString refreshedDataFile_;

    Picture *imgNashi_ = nullptr, *imgkana_ = nullptr, *imgniko_ = nullptr, *imgwara_ = nullptr;
    MonthCalendar *mtvmain_ = nullptr;
    QLabel *lblDspNissuu_ = nullptr, *lblDspTai_ = nullptr, *lblDspBmi_ = nullptr,
           *lblDspHiman_ = nullptr;
    SmallBmiMeter *smallMeter_ = nullptr;
    QListWidget *lstAct_ = nullptr;
    QPushButton *cmdFree_ = nullptr, *cmdJikan_ = nullptr;
    QLineEdit *txtTaiInp_ = nullptr;
    QPushButton *cmdUp_ = nullptr, *cmdDn_ = nullptr, *cmdTaiHozon_ = nullptr;
    QRadioButton *optKizami_[4] = {};
    QLineEdit *txtKizami_ = nullptr;
    Grid *msgDayList_ = nullptr;
    LineChart *mcrMain_ = nullptr;
};
