#include "core/change_mark.h"

#include "store/format.h"

MarkCell changeMarkOf(double value)
{
    if (value > 0)
        return {QStringLiteral("↑"), palette::kRed};
    if (value < 0)
        return {QStringLiteral("↓"), palette::kGreen};
    return {QStringLiteral("→"), palette::kYellow};
}

MarkCell changeMark(const QString &displayed) { return changeMarkOf(fmt::leadingNumber(displayed)); }
