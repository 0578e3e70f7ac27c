#pragma once

#include <QDate>
#include <QDir>
#include <QString>

// Fills an empty directory with a plausible data set for two persons:
// some months of records with several weighings a day and gaps, both
// profiles, the settings files, the situation list and a memo.
// Returns an empty string or what went wrong.
QString writeSampleData(const QDir &dir, const QDate &lastDay, int months = 4, unsigned seed = 7);
