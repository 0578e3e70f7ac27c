#include "store/settings_files.h"

#include "store/file_io.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/text_file.h"

#include <cmath>

namespace store {

namespace {

// `typed` is the part of the line a user typed; it must be storable.
MaybeError writeOneLine(const DataDir &dir, const QString &file, const QString &line,
                        const QString &typed = QString())
{
    const QString actual = dir.resolve(file);
    if (const QString reason = unstorableReason(typed); !reason.isEmpty())
        return StoreError{actual, 0, reason};
    QByteArray bytes;
    if (MaybeError e = encodeLines(actual, {line}, &bytes))
        return e;
    return replaceFile(dir, file, scratchNameFor(actual), bytes);
}

// The values of the first line that is not blank, and that line's number
// (1 for a file without one).
MaybeError readValues(const DataDir &dir, const QString &file, QStringList *values, int *line)
{
    values->clear();
    *line = 1;
    TextLines text;
    if (MaybeError e = readTextLines(dir, file, &text))
        return e;
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const QString &l = text.lines.at(i);
        // An unreadable last line is damage, not a blank line.
        if (text.lastLineUndecodable && i == text.lines.size() - 1)
            return StoreError{dir.resolve(file), int(i) + 1,
                              QStringLiteral("シフトJISとして読めないバイトがあります")};
        if (l.trimmed().isEmpty())
            continue;
        *line = int(i) + 1;
        QList<LineField> fields;
        if (QString e = splitFields(l, &fields); !e.isEmpty())
            return StoreError{dir.resolve(file), *line, e};
        for (const LineField &f : std::as_const(fields))
            values->append(f.text);
        break;
    }
    return std::nullopt;
}

MaybeError readFirst(const DataDir &dir, const QString &file, int index, QString *value)
{
    QStringList values;
    int line = 1;
    if (MaybeError e = readValues(dir, file, &values, &line))
        return e;
    *value = index < values.size() ? values.at(index) : QString();
    return std::nullopt;
}

// A whole number setting, refused with its file and line unless it is one
// of `allowed` (the values the program writes).
MaybeError readChoice(const DataDir &dir, const QString &file, int index,
                      std::initializer_list<int> allowed, int *value)
{
    QStringList values;
    int line = 1;
    if (MaybeError e = readValues(dir, file, &values, &line))
        return e;
    const QString v = index < values.size() ? values.at(index).trimmed() : QString();
    for (const int a : allowed) {
        if (v == QString::number(a)) {
            *value = a;
            return std::nullopt;
        }
    }
    QStringList texts;
    for (const int a : allowed)
        texts.append(QString::number(a));
    const QString shown = v.isEmpty() ? QStringLiteral("値がありません")
                                      : QStringLiteral("値「%1」").arg(v);
    return StoreError{dir.resolve(file), line,
                      QStringLiteral("%1。%2 のどれかでなければなりません")
                          .arg(shown, texts.join(QStringLiteral("、")))};
}

} // namespace

int settingInt(const QString &text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

MaybeError readSettingValues(const DataDir &dir, const QString &file, QStringList *values)
{
    int line = 1;
    return readValues(dir, file, values, &line);
}

MaybeError readHelpFlag(const DataDir &dir, int *flag)
{
    return readChoice(dir, helpSettingFile(), 1, {0, 1}, flag);
}

MaybeError writeHelpFlag(const DataDir &dir, int flag)
{
    return writeOneLine(dir, helpSettingFile(),
                        quote(QStringLiteral("ヘルプツアー")) + u',' + QString::number(flag));
}

MaybeError readStepText(const DataDir &dir, QString *text)
{
    QString v;
    if (MaybeError e = readFirst(dir, stepSettingFile(), 0, &v))
        return e;
    *text = v.isEmpty() ? QStringLiteral("0.1") : v;
    return std::nullopt;
}

MaybeError writeStepText(const DataDir &dir, const QString &text)
{
    return writeOneLine(dir, stepSettingFile(), text, text);
}

MaybeError readMovingAverageText(const DataDir &dir, QString *text)
{
    QStringList values;
    int line = 1;
    if (MaybeError e = readValues(dir, movingAverageSettingFile(), &values, &line))
        return e;
    // The program stores the box's text when its leading number is a
    // whole number of 1 or more, whatever follows it ("12日" too).
    const QString v = values.isEmpty() ? QString() : values.first();
    const double n = fmt::leadingNumber(v);
    if (!(n >= 1) || n != std::floor(n) || !std::isfinite(n))
        return StoreError{dir.resolve(movingAverageSettingFile()), line,
                          QStringLiteral("移動平均の値「%1」が1以上の整数ではありません").arg(v)};
    *text = v;
    return std::nullopt;
}

MaybeError writeMovingAverageText(const DataDir &dir, const QString &text)
{
    return writeOneLine(dir, movingAverageSettingFile(), text, text);
}

MaybeError readAutoTime(const DataDir &dir, int *state)
{
    return readChoice(dir, autoTimeSettingFile(), 0, {0, 1}, state);
}

MaybeError writeAutoTime(const DataDir &dir, int state)
{
    return writeOneLine(dir, autoTimeSettingFile(), QString::number(state));
}

MaybeError readMarkerMode(const DataDir &dir, int *mode)
{
    return readChoice(dir, markerSettingFile(), 0, {0, 1, 2}, mode);
}

MaybeError writeMarkerMode(const DataDir &dir, int mode)
{
    return writeOneLine(dir, markerSettingFile(), QString::number(mode));
}

} // namespace store
