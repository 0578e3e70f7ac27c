#pragma once

#include "store/record.h"

#include <QDate>
#include <QObject>
#include <memory>

class BmiMeters;
class SituationLists;

// What the screens share and what they ask of the window, so that no
// screen knows another and the window knows no screen's type. The rows of
// the screen table connect a screen's own signals to these.
class ScreenLinks final : public QObject {
    Q_OBJECT
public:
    explicit ScreenLinks(QObject *parent = nullptr);
    ~ScreenLinks() override;

    // The situation list in every list that shows it, and the BMI meters:
    // both are made by the row of the screen whose controls they are built
    // around, which the window builds first.
    std::unique_ptr<SituationLists> lists;
    BmiMeters *meters = nullptr;

Q_SIGNALS:
    // The window to the screens.
    void started();                                        // the start has read every file
    void registrationWanted(PersonSlot first, PersonSlot last);

    // The screens to the window.
    void dayOpenRequested(QDate day);   // show this day on the weight screen
    void dayViewWanted();               // the day view and the meters, for the person shown
    void personFocusWanted();           // the selected person's button takes the focus
    void situationRenamed();            // records now carry the new label
    void personRegistered(PersonSlot p);
    void registrationFinished();
    void registrationAbandoned();
};
