#pragma once

#include "store/record.h"

#include <QString>
#include <optional>

// The checks and texts of the new-start registration of both persons and
// of the profile edit on the settings screen.
namespace setup {

// A box that stops a registration or a profile save.
struct Refusal {
    QString title, text;
    bool exclamation = false; // refused input; a missing field is told with the information icon
    bool operator==(const Refusal &) const = default;
};

// The five boxes of the registration frame, as typed.
struct RegistrationInput {
    QString nickname, height, target, weight, situation;
};

// The profile and the start record a registration writes.
struct Registration {
    PersonProfile profile;
    WeightRecord start;
};

// The checks of "新規登録" in their order: the five empty boxes, then the
// numbers (a height above 0, a target and a weight in (0, 500] kg, digits
// typed full-width count as ASCII), then the texts the files cannot hold.
// Nothing refused: *out holds what to write, dated `today` ("yyyy/mm/dd").
std::optional<Refusal> checkRegistration(const RegistrationInput &in, const QString &today,
                                         Registration *out);

struct ProfileInput {
    QString nickname, height, target;
};
// The checks of "データ変更": height and target present and numbers as
// above; an empty nickname is allowed.
std::optional<Refusal> checkProfileEdit(const ProfileInput &in, PersonProfile *out);

// The box that opens the registration of person 1, or of person 2 when a
// start finds only person 2 still to register; the box between the two
// persons; the box at the end.
QString registrationTitle(); // "データを登録しましょう"
QString firstPersonText();
QString secondPersonText();
QString finishedTitle(); // "新規登録終了"
QString finishedText();
// The question before anything is written (warning icon, OK/Cancel).
QString confirmTitle(); // "クリア確認"
QString confirmText();

} // namespace setup
