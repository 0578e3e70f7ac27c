#pragma once

#include "store/store_error.h"
#include "ui/placeholder_panel.h"

class QComboBox;
struct Session;

// The moving-average graph fraRenTai. For now it holds the window setting
// cboIdou, which lives on this screen and is stored in "移動平均.TXT".
class TrendPanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    TrendPanel(Session &session, QWidget *parent = nullptr);

    // Fills the list "1".."30" and shows the stored window.
    MaybeError LoadMovingAverageSetting();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboIdou_Click();

    Session &s_;
    QComboBox *cboIdou_ = nullptr;
};
