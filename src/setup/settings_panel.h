#pragma once

#include "ui/screen.h"

#include "store/record.h"

class LargeBmiMeter;
class QCheckBox;
class QLineEdit;
class QPushButton;
class RegistrationFrame;
class SituationListEditor;
struct Session;

// The settings and maintenance screen fraSettei: the large BMI meter, the
// situation list, the profile of the selected person with its edit, the
// new-start registration of both persons and the automatic time switch.
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

    RegistrationFrame *registration() const { return fraNew_; }
    // A start that finds persons still to register shows only the
    // registration: everything else here needs their files.
    void openFirstRegistration(PersonSlot first, PersonSlot last);

Q_SIGNALS:
    // The day view and the meters are to be rebuilt for the new person
    // (the large meter on this screen follows them).
    void dayViewWanted();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void chkJikan_Click();
    void cmdPHozon1_Click();
    void cmdNew1_Click();
    void placeRegistration();

    Session &s_;
    LargeBmiMeter *largeMeter_ = nullptr;
    SituationListEditor *editor_ = nullptr;
    QLineEdit *txtPriData_ = nullptr, *txtSincyou_ = nullptr, *txtMokuTai_ = nullptr;
    QPushButton *cmdPHozon1_ = nullptr, *cmdNew1_ = nullptr;
    QCheckBox *chkJikan_ = nullptr;
    RegistrationFrame *fraNew_ = nullptr;
    QWidget *content_ = nullptr; // everything but the registration frame
};
