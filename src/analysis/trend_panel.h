#pragma once

#include "core/weight_series.h"
#include "store/store_error.h"
#include "ui/screen.h"

#include <QString>

class ColourButton;
class LineChart;
class QComboBox;
class QLabel;
struct Session;

// The moving-average graph fraRenTai: every weight of the selected person
// as one line, a moving average over the last few records as a second, two
// lines of summary and the button that moves the floor of the graph to the
// target weight. The analysis screen loads its series with this panel's
// LoadWeightSeries, and a reload there redraws the graph where it exists.
class TrendPanel final : public Screen {
    Q_OBJECT
public:
    TrendPanel(const Session &session, QWidget *parent = nullptr);
    ~TrendPanel() override;

    // Reload the series, then apply the target floor as it stands.
    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

    // LoadWeightSeries: the selected person's series, from the records.
    // When the file cannot be read the series is empty, so nothing of the
    // previous person stays on screen, and the error is returned for the
    // caller to report once the graph is drawn.
    static MaybeError LoadWeightSeries(const Session &s, WeightSeries *series);
    static void reportUnreadSeries(const Session &s, QWidget *parent, const MaybeError &e);
    // The reload: the series loaded, the graph drawn, then any message.
    bool ReloadSeries();
    // Everything from the series given; the floor is the lowest weight
    // whatever the flag says, until the next entry applies the flag.
    void DrawTrendGraph(const WeightSeries &series);

    // Whether the floor of the graph is the target weight. It lasts as long
    // as the window, through screen changes and person switches.
    bool targetFloorOn() const { return TargetFloorOn; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The two lines only, for a new window.
    void RedrawMovingAverage();
    void applyTargetFloor();
    void cboIdou_Click();
    void cmdMokuChk_Click();

    const Session &s_;
    WeightSeries series_; // as last drawn
    bool TargetFloorOn = false;
    // The window the graph uses and the text it came from: the last one
    // accepted, which is also the one stored.
    int window_ = 10;
    QString windowText_ = QStringLiteral("10");

    LineChart *mcrRentai_ = nullptr;
    QComboBox *cboIdou_ = nullptr;
    ColourButton *cmdMokuChk_ = nullptr;
    QLabel *lblNichis_ = nullptr;
    QLabel *lblKiro_ = nullptr;
};
