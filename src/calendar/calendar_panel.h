#pragma once

#include "calendar/day_calendar.h"
#include "store/store_error.h"
#include "ui/screen.h"

#include <QDate>

class ColourButton;
class Grid;
class Picture;
class QLabel;
struct Session;

// The day-status calendar fraCale of the selected person: one row per
// month with records, each recorded day coloured by how the weight moved
// during it, and under the legend the good days weighed against the bad.
// It reads the data file afresh on every fill and keeps nothing of it.
class CalendarPanel final : public Screen {
    Q_OBJECT
public:
    CalendarPanel(const Session &session, QWidget *parent = nullptr);

    // Opening the screen and a person switch always come back in detail mode.
    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

    calendar::Mode mode() const { return mode_; }

Q_SIGNALS:
    // A day was double-clicked: the weight screen is to show it.
    void dayOpened(QDate day);

private:
    void cmdSel1_Click(int index);
    void msgList2_DblClick(int row, int col);

    void buildControls();
    void InitCalendarGrid();
    // Reads the data file and fills the grid and the legend; on a read
    // failure the grid stays empty and the error is handed back.
    MaybeError FillCalendar();
    // Mode, grid and legend in one go, painted once.
    void display(calendar::Mode mode);
    void showLegend(const calendar::CalendarView &v);
    void clearLegend();

    const Session &s_;
    calendar::Mode mode_ = calendar::Mode::Detail;

    QWidget *column_ = nullptr;
    Grid *msgList2_ = nullptr;
    ColourButton *cmdSel1_[2] = {};
    QLabel *lblDn_c_ = nullptr, *lblSm_c_ = nullptr, *lblOne_c_ = nullptr, *lblUp_c_ = nullptr,
           *lblNon_c_ = nullptr;
    QLabel *Label6_[2] = {};
    QLabel *lblGenT_ = nullptr, *lblHugou_ = nullptr, *lblZouT_ = nullptr;
    Picture *imgKana2_ = nullptr, *imgNiko2_ = nullptr, *imgWara2_ = nullptr;
};
