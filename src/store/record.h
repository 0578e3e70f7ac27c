#pragma once

#include <QString>

// Person 1 or person 2; each owns a data file and a profile file.
enum class PersonSlot { One = 1, Two = 2 };

inline PersonSlot otherPerson(PersonSlot p)
{
    return p == PersonSlot::One ? PersonSlot::Two : PersonSlot::One;
}

inline int personNumber(PersonSlot p) { return p == PersonSlot::One ? 1 : 2; }

// "データ1.txt" / "データ2.txt"
QString dataFileName(PersonSlot p);
// "ﾌﾟﾗｲﾍﾞｰﾄ1.txt" / "ﾌﾟﾗｲﾍﾞｰﾄ2.txt" (half-width katakana)
QString profileFileName(PersonSlot p);

// One line of a data file.
struct WeightRecord {
    QString date;      // "yyyy/mm/dd"
    QString situation; // a list label, a free text or a time of day
    float weight = 0;  // kg
    QString diary;     // the one-line diary; may hold the time of day
    QString reserved5; // kept as read; written empty except by a situation rename
    QString reserved6;

    bool operator==(const WeightRecord &) const = default;
};

// Moved in memory as a whole when a list of records grows.
Q_DECLARE_TYPEINFO(WeightRecord, Q_RELOCATABLE_TYPE);

// The three lines of a profile file.
struct PersonProfile {
    QString nickname;
    float height = 0;       // cm
    float targetWeight = 0; // kg

    bool operator==(const PersonProfile &) const = default;
};

// Record counters of the stored format are 16-bit signed numbers.
constexpr int kMaxRecords = 32767;
