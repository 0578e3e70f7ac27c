#include "store/settings_files.h"

#include "store/file_io.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/text_file.h"

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

MaybeError readFirst(const DataDir &dir, const QString &file, int index, QString *value)
{
    QStringList values;
    if (MaybeError e = readSettingValues(dir, file, &values))
        return e;
    *value = index < values.size() ? values.at(index) : QString();
    return std::nullopt;
}

MaybeError readInt(const DataDir &dir, const QString &file, int index, int fallback, int *value)
{
    QString v;
    if (MaybeError e = readFirst(dir, file, index, &v))
        return e;
    *value = settingInt(v, fallback);
    return std::nullopt;
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
    values->clear();
    TextLines text;
    if (MaybeError e = readTextLines(dir, file, &text))
        return e;
    for (const QString &line : std::as_const(text.lines)) {
        if (line.trimmed().isEmpty())
            continue;
        QList<LineField> fields;
        if (QString e = splitFields(line, &fields); !e.isEmpty())
            return StoreError{dir.resolve(file), 1, e};
        for (const LineField &f : std::as_const(fields))
            values->append(f.text);
        break;
    }
    return std::nullopt;
}

MaybeError readHelpFlag(const DataDir &dir, int *flag)
{
    return readInt(dir, helpSettingFile(), 1, 1, flag);
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
    return readFirst(dir, movingAverageSettingFile(), 0, text);
}

MaybeError writeMovingAverageText(const DataDir &dir, const QString &text)
{
    return writeOneLine(dir, movingAverageSettingFile(), text, text);
}

MaybeError readAutoTime(const DataDir &dir, int *state)
{
    if (MaybeError e = readInt(dir, autoTimeSettingFile(), 0, 0, state))
        return e;
    *state = *state != 0 ? 1 : 0;
    return std::nullopt;
}

MaybeError writeAutoTime(const DataDir &dir, int state)
{
    return writeOneLine(dir, autoTimeSettingFile(), QString::number(state));
}

MaybeError readMarkerMode(const DataDir &dir, int *mode)
{
    return readInt(dir, markerSettingFile(), 0, 1, mode);
}

MaybeError writeMarkerMode(const DataDir &dir, int mode)
{
    return writeOneLine(dir, markerSettingFile(), QString::number(mode));
}

} // namespace store
