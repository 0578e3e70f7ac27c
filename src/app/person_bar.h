#pragma once

#include "entry/day_view.h"
#include "store/record.h"

#include <QWidget>

class ColourButton;
class Persons;
class Picture;
class QLabel;

// The two person buttons cmdUser1 and cmdUser2 with their nicknames, the
// counts of the selected day (lblUser1, lblUser2) and the count faces.
// The buttons follow the persons: the selected one has the ivory back
// colour, and each shows its person's nickname.
class PersonBar final : public QWidget {
    Q_OBJECT
public:
    explicit PersonBar(const Persons &persons, QWidget *parent = nullptr);

    ColourButton *button(PersonSlot p) const { return p == PersonSlot::One ? cmdUser1_ : cmdUser2_; }
    void showCounts(const entry::EntryCounts &counts);

Q_SIGNALS:
    void clicked(PersonSlot p);

private:
    struct Side {
        QLabel *count = nullptr;
        Picture *faces[4] = {};
    };
    QWidget *buildSide(PersonSlot p, ColourButton *button, Side *side);
    // The ivory colour on p's button, the button face on the other.
    void select(PersonSlot p);

    ColourButton *cmdUser1_ = nullptr;
    ColourButton *cmdUser2_ = nullptr;
    Side sides_[2];
};
