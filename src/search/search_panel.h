#pragma once

#include "search/search_criteria.h"
#include "search/search_results.h"
#include "ui/screen.h"

#include <functional>

class ColourButton;
class Grid;
class LineChart;
class QComboBox;
class QStringListModel;
class QLineEdit;
class QListView;
struct Session;

// The search screen fraTaijyu: the selected person's records filtered by
// situation, weekday and period, as a list and a weight curve. Every change
// of a criterion reads the data file afresh and lists again; the chosen
// button of each group shows what filters.
class SearchPanel final : public Screen {
    Q_OBJECT
public:
    SearchPanel(Session &session, QWidget *parent = nullptr);

    // Opening the screen, and a person switch while it shows: every record
    // of the selected person, with every criterion reset.
    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

    // The search's copy of the situation list, kept in step by the window.
    QListView *lstAct2() const { return lstAct2_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Change = std::function<void(search::Criteria &, const QList<WeightRecord> &)>;

    // Event handlers.
    void lstAct2_Click();
    void txtKey_GotFocus();
    void txtKey_Enter();
    void cmdAllact_Click();
    void cmdWeek_Click(int weekday);
    void cmdAllWeek_Click();
    void period_Click(search::PeriodButton b);

    void buildControls();
    QWidget *buildCriteria();
    // ListAllRecords with the opening criteria.
    void showOpening();
    // One criteria change: read the file, change the criteria, list, then
    // colour the buttons. Nothing changes when the file cannot be read.
    void relist(const Change &change);
    // The criteria as the boxes hold them now: the user may have typed
    // into them since the last listing.
    void takeBoxes();
    void showBoxes();
    void showResult(const search::Result &r);
    void showButtonColours();
    // The list and the curve are no wider than the list's columns.
    void fitResultsWidth();
    bool readRecords(QList<WeightRecord> *records);

    Session &s_;
    search::Criteria c_;

    QWidget *results_ = nullptr;
    Grid *msgBunseki_ = nullptr;
    QList<int> resultIndex_; // which record of the file each result row is
    LineChart *mcrBunseki_ = nullptr;
    QLineEdit *txtKey_ = nullptr;
    QListView *lstAct2_ = nullptr;
    ColourButton *cmdAllact_ = nullptr;
    ColourButton *cmdWeek_[7] = {};
    ColourButton *cmdAllWeek_ = nullptr;
    ColourButton *cmdAllDay_ = nullptr;
    ColourButton *cmdKikan_[9] = {}; // 1..8 as in cmdKikan1..8
    ColourButton *cmdKikanF_ = nullptr;
    QComboBox *cboStdate_ = nullptr;
    QComboBox *cboEddate_ = nullptr;
    // The days with records, listed by both date boxes: one list, not a
    // item per day and box, so that thousands of days fill at once.
    QStringListModel *periodDates_ = nullptr;
};
