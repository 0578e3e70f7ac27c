#pragma once

#include "ui/screen.h"

class LargeBmiMeter;
class QCheckBox;
class QLineEdit;
class SituationListEditor;
struct Session;

// The settings and maintenance screen fraSettei: the large BMI meter, the
// situation list, the profile of the selected person and the automatic
// time switch.
class SettingsPanel final : public Screen {
    Q_OBJECT
public:
    explicit SettingsPanel(Session &session, QWidget *parent = nullptr);

    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

    LargeBmiMeter *largeMeter() const { return largeMeter_; }
    SituationListEditor *listEditor() const { return editor_; }
    QCheckBox *chkJikan() const { return chkJikan_; }

    // The profile boxes get the selected person's values.
    void showProfile();
    // LoadAutoTimeSetting: the stored state shown without writing it back.
    void showAutoTime(int state);

Q_SIGNALS:
    // The day view and the meters are to be rebuilt for the new person
    // (the large meter on this screen follows them).
    void dayViewWanted();

private:
    void chkJikan_Click();

    Session &s_;
    LargeBmiMeter *largeMeter_ = nullptr;
    SituationListEditor *editor_ = nullptr;
    QLineEdit *txtPriData_ = nullptr, *txtSincyou_ = nullptr, *txtMokuTai_ = nullptr;
    QCheckBox *chkJikan_ = nullptr;
};
