#include "core/persons.h"

void Persons::select(PersonSlot p)
{
    if (p == selected_)
        return;
    selected_ = p;
    Q_EMIT selectedChanged(p);
}

void Persons::setProfile(PersonSlot p, const PersonProfile &profile)
{
    if (profiles_[index(p)] == profile)
        return;
    profiles_[index(p)] = profile;
    Q_EMIT profileChanged(p);
}
