#pragma once

#include "store/record.h"

#include <QObject>

// The two persons: both profiles and which one is selected, held once.
// Whatever shows a person's name, height or target follows the signals
// instead of keeping its own copy in step by hand.
class Persons final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    PersonSlot selected() const { return selected_; }
    // The selected person's profile.
    const PersonProfile &current() const { return profile(selected_); }
    const PersonProfile &profile(PersonSlot p) const { return profiles_[index(p)]; }

    void select(PersonSlot p);
    void setProfile(PersonSlot p, const PersonProfile &profile);

    // Whose files every screen reads.
    QString DataFileName() const { return dataFileName(selected_); }
    QString ProfileFileName() const { return profileFileName(selected_); }
    QString otherDataFileName() const { return dataFileName(otherPerson(selected_)); }

Q_SIGNALS:
    void selectedChanged(PersonSlot p);
    void profileChanged(PersonSlot p);

private:
    static int index(PersonSlot p) { return p == PersonSlot::One ? 0 : 1; }

    PersonSlot selected_ = PersonSlot::One;
    PersonProfile profiles_[2];
};
