#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstring>
#include <utility>

// Text helpers of the analysis tables, which write one row per record and
// so must not format the same value thousands of times.
namespace analysis::texts {

// A whole number followed by a word ("12回目", "3日後"), built in one piece.
QString counted(qint64 n, QStringView word);

// The text of a float, made once per distinct value: a long series holds
// the same few hundred weights over and over.
template <typename Make>
class PerValue {
public:
    explicit PerValue(Make make) : make_(std::move(make)) {}

    const QString &operator()(float value)
    {
        quint32 key;
        std::memcpy(&key, &value, sizeof key);
        auto it = cache_.constFind(key);
        if (it == cache_.cend())
            it = cache_.insert(key, make_(value));
        return *it;
    }

private:
    Make make_;
    QHash<quint32, QString> cache_;
};

// fmt::number(value, pattern) for a pattern with `decimals` decimals, made
// once per rounded value: late in a long series the running average moves
// by less than a gram a record, so most rows repeat a text already made.
// A value close to a half-way point is formatted afresh, because there the
// shortest decimal form of the float, which fmt rounds, and the float
// itself may round apart.
class RoundedTexts {
public:
    RoundedTexts(QStringView pattern, int decimals);
    QString operator()(float value);

private:
    QString pattern_;
    double scale_;
    QHash<qint64, QString> cache_;
};

} // namespace analysis::texts
