#include "analysis/texts.h"

#include "store/format.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace analysis::texts {

QString counted(qint64 n, QStringView word)
{
    char digits[24];
    const char *end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    const qsizetype count = end - digits;
    QString s(count + word.size(), Qt::Uninitialized);
    QChar *out = s.data();
    for (qsizetype i = 0; i < count; ++i)
        out[i] = QLatin1Char(digits[i]);
    std::memcpy(static_cast<void *>(out + count), word.data(), size_t(word.size()) * sizeof(QChar));
    return s;
}

RoundedTexts::RoundedTexts(QStringView pattern, int decimals)
    : pattern_(pattern.toString()), scale_(std::pow(10.0, decimals))
{
}

QString RoundedTexts::operator()(float value)
{
    const double scaled = double(value) * scale_;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // The shortest decimal form lies within half a float step of the value.
    const float size = std::fabs(value);
    const double step = double(std::nextafter(size, std::numeric_limits<float>::infinity()) - size) * scale_;
    if (!(std::fabs(scaled) < 1e15) || !(std::fabs(fraction - 0.5) > step))
        return fmt::number(value, pattern_);
    const qint64 key = qint64(fraction > 0.5 ? whole + 1 : whole);
    auto it = cache_.constFind(key);
    if (it == cache_.cend())
        it = cache_.insert(key, fmt::number(value, pattern_));
    return *it;
}

} // namespace analysis::texts
