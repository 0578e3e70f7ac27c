#include "tool_args.h"

#include "store/dates.h"
#include "store/record.h"

namespace {

// Takes the value of option `name` at args[i + 1]; false when it is missing.
bool takeValue(const QStringList &args, qsizetype &i, QString *value)
{
    if (i + 1 >= args.size())
        return false;
    *value = args.at(++i);
    return true;
}

bool readDate(const QString &text, QDate *date)
{
    const std::optional<QDate> d = dates::parse(text);
    if (!d)
        return false;
    *date = *d;
    return true;
}

bool readSize(const QString &text, QSize *size)
{
    const QStringList wh = text.split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    if (wh.size() != 2)
        return false;
    const QSize s(wh[0].toInt(&okW), wh[1].toInt(&okH));
    if (!okW || !okH || s.width() < 100 || s.height() < 100 || s.width() > 10000 || s.height() > 10000)
        return false;
    *size = s;
    return true;
}

template <class Args>
Args refused(Args a, const QString &why)
{
    a.error = why;
    return a;
}

} // namespace

SampleDataArgs parseSampleDataArgs(const QStringList &args)
{
    SampleDataArgs a;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString value;
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            a.help = true;
        } else if (arg == QStringLiteral("--force")) {
            a.force = true;
        } else if (arg == QStringLiteral("--records")) {
            bool ok = false;
            if (!takeValue(args, i, &value))
                return refused(a, QStringLiteral("--records needs a number"));
            a.records = value.toInt(&ok);
            if (!ok || a.records < 1 || a.records > kMaxRecords)
                return refused(a, QStringLiteral("--records takes 1 to %1, not %2").arg(kMaxRecords).arg(value));
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return refused(a, QStringLiteral("unknown option: %1").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    if (a.help)
        return a;
    if (positional.isEmpty() || positional.size() > 2)
        return refused(a, positional.isEmpty() ? QStringLiteral("no folder given")
                                              : QStringLiteral("too many arguments"));
    a.folder = positional.at(0);
    if (positional.size() == 2 && !readDate(positional.at(1), &a.lastDay))
        return refused(a, QStringLiteral("not a date (yyyy/mm/dd): %1").arg(positional.at(1)));
    return a;
}

QString sampleDataUsage()
{
    return QStringLiteral(
        "usage: nanahoshi_sample_data [--records N] [--force] <folder> [yyyy/mm/dd]\n"
        "Writes a data set for two persons into <folder> (made if missing): both profiles,\n"
        "the settings files, the situation list, a memo and the records, the last of them\n"
        "on the given day (default: today).\n"
        "  --records N  N records a person (1 to 32767) instead of four months' worth\n"
        "  --force      write even when the folder already holds the program's files\n"
        "               (its data files and profiles are replaced)\n"
        "  -h, --help   print this text\n");
}

ScreenshotArgs parseScreenshotArgs(const QStringList &args)
{
    ScreenshotArgs a;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString value;
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            a.help = true;
        } else if (arg == QStringLiteral("--date")) {
            if (!takeValue(args, i, &value) || !readDate(value, &a.date))
                return refused(a, QStringLiteral("--date needs a day as yyyy/mm/dd"));
        } else if (arg == QStringLiteral("--size")) {
            if (!takeValue(args, i, &value) || !readSize(value, &a.size))
                return refused(a, QStringLiteral("--size needs WIDTHxHEIGHT, e.g. 1280x800"));
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return refused(a, QStringLiteral("unknown option: %1").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    if (a.help)
        return a;
    if (positional.isEmpty() || positional.size() > 3)
        return refused(a, positional.isEmpty() ? QStringLiteral("no output folder given")
                                              : QStringLiteral("too many arguments"));
    a.outFolder = positional.at(0);
    if (positional.size() >= 2 && positional.at(1) != QStringLiteral("-"))
        a.dataFolder = positional.at(1);
    if (positional.size() == 3 && !readSize(positional.at(2), &a.size))
        return refused(a, QStringLiteral("not a size (WIDTHxHEIGHT): %1").arg(positional.at(2)));
    return a;
}

QString screenshotUsage()
{
    return QStringLiteral(
        "usage: nanahoshi_screenshots [--date yyyy/mm/dd] [--size WxH] <output folder>\n"
        "                             [data folder | -] [WIDTHxHEIGHT]\n"
        "Saves a PNG of every screen of the main window into <output folder>.\n"
        "Without a data folder (or with \"-\") sample data is written to a temporary one.\n"
        "  --date D     the program's today (default: the day of the last record)\n"
        "  --size WxH   the window's size (default 1280x800; also as the third argument)\n"
        "  -h, --help   print this text\n"
        "Run it with QT_QPA_PLATFORM=offscreen where there is no display.\n");
}
