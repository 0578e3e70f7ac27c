#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QString>

// The five one-line settings files. Readers take the values of the first
// line by position and ignore blanks around them; a missing file is an
// error, and so is a value the program would never have written, named
// with the file and the line (the file is never rewritten until the user
// changes the setting). Writers create or overwrite the file with exactly
// one line.
namespace store {

inline QString helpSettingFile() { return QStringLiteral("設定.txt"); }
inline QString stepSettingFile() { return QStringLiteral("体重計刻み.txt"); }
inline QString movingAverageSettingFile() { return QStringLiteral("移動平均.TXT"); }
inline QString autoTimeSettingFile() { return QStringLiteral("自動時間.TXT"); }
inline QString markerSettingFile() { return QStringLiteral("マーカー.TXT"); }

// The values of the first line, as texts (empty list for an empty file).
MaybeError readSettingValues(const DataDir &dir, const QString &file, QStringList *values);

// "設定.txt": "ヘルプツアー",1 — *flag is the second value, 0 or 1.
MaybeError readHelpFlag(const DataDir &dir, int *flag);
MaybeError writeHelpFlag(const DataDir &dir, int flag);

// "体重計刻み.txt": the step text as stored, bare ("0.1" when empty). Any
// text is kept: the program stores whatever step the user typed.
MaybeError readStepText(const DataDir &dir, QString *text);
MaybeError writeStepText(const DataDir &dir, const QString &text);

// "移動平均.TXT": the text of the moving-average box, bare; its leading
// number must be a whole number of 1 or more.
MaybeError readMovingAverageText(const DataDir &dir, QString *text);
MaybeError writeMovingAverageText(const DataDir &dir, const QString &text);

// "自動時間.TXT": 1 ticked, 0 not.
MaybeError readAutoTime(const DataDir &dir, int *state);
MaybeError writeAutoTime(const DataDir &dir, int state);

// "マーカー.TXT": the marker mode, 0, 1 or 2.
MaybeError readMarkerMode(const DataDir &dir, int *mode);
MaybeError writeMarkerMode(const DataDir &dir, int mode);

// A whole number the way the settings hold one, or `fallback`.
int settingInt(const QString &text, int fallback);

} // namespace store
