#pragma once

#include <QString>

#include <array>
#include <memory>

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

// The fifth and sixth fields of a record line: kept as read, written empty
// except by a situation rename. They are almost always empty, so they are
// held apart, and a record costs 16 bytes for them instead of 48 (a file
// holds up to 32,767 records a person, all in memory).
class ReservedFields {
public:
    const QString &fifth() const { return p_ ? (*p_)[0] : empty(); }
    const QString &sixth() const { return p_ ? (*p_)[1] : empty(); }
    void set(const QString &fifth, const QString &sixth)
    {
        if (fifth.isEmpty() && sixth.isEmpty())
            p_.reset();
        else
            p_ = std::make_shared<const std::array<QString, 2>>(std::array<QString, 2>{fifth, sixth});
    }
    void clear() { p_.reset(); }
    bool operator==(const ReservedFields &o) const { return fifth() == o.fifth() && sixth() == o.sixth(); }

private:
    static const QString &empty()
    {
        static const QString none;
        return none;
    }
    std::shared_ptr<const std::array<QString, 2>> p_;
};

// One line of a data file.
struct WeightRecord {
    QString date;      // "yyyy/mm/dd"
    QString situation; // a list label, a free text or a time of day
    float weight = 0;  // kg
    QString diary;     // the one-line diary; may hold the time of day
    ReservedFields reserved;

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
