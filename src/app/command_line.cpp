#include "app/command_line.h"

#include "store/csv_exchange.h"

#include <QDir>
#include <QFileInfo>

#ifndef NANAHOSHI_VERSION
#error "NANAHOSHI_VERSION is set by CMake from the project's version"
#endif

namespace cli {

namespace {

// One option: its names, whether it takes a value, and what it does to the
// options. An option with a value gets it from the next argument or after
// "=" ("--data-dir=DIR").
struct OptionRow {
    QStringList names;
    bool takesValue;
    void (*apply)(Options &, const QString &value);
};

const OptionRow kOptions[] = {
    {{QStringLiteral("--help"), QStringLiteral("-h")}, false,
     [](Options &o, const QString &) { o.action = Action::Help; }},
    {{QStringLiteral("--version")}, false, [](Options &o, const QString &) { o.action = Action::Version; }},
    {{QStringLiteral("--data-dir")}, true, [](Options &o, const QString &v) { o.dataDir = v; }},
    {{QStringLiteral("--xdg-data-dir")}, false, [](Options &o, const QString &) { o.standardDataDir = true; }},
    {{QStringLiteral("--export")}, true,
     [](Options &o, const QString &v) { o.action = Action::Export; o.csvFile = v; }},
    {{QStringLiteral("--import")}, true,
     [](Options &o, const QString &v) { o.action = Action::Import; o.csvFile = v; }},
    {{QStringLiteral("--person")}, true, [](Options &o, const QString &v) { o.person = v == QLatin1String("1") ? 1 : v == QLatin1String("2") ? 2 : 0; }},
    {{QStringLiteral("--format")}, true, [](Options &o, const QString &v) { o.format = v; }},
    {{QStringLiteral("--dry-run")}, false, [](Options &o, const QString &) { o.dryRun = true; }},
    {{QStringLiteral("--date-order")}, true, [](Options &o, const QString &v) { o.dateOrder = v; }},
};

bool isCsvAction(Action a) { return a == Action::Export || a == Action::Import; }

const OptionRow *findOption(const QString &name)
{
    for (const OptionRow &row : kOptions)
        if (row.names.contains(name))
            return &row;
    return nullptr;
}

Parsed failure(const QString &japanese, const QString &english, const QString &option = {})
{
    return {std::nullopt, japanese + QLatin1Char('\n') + english, option};
}

bool given(const QStringList &arguments, const QString &name)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments.at(i) == name || arguments.at(i).startsWith(name + QLatin1Char('=')))
            return true;
    return false;
}

// The options of --export and --import belong to them only, and their
// values must be ones the commands know.
Parsed checkCsvOptions(const Options &options, const QStringList &arguments)
{
    const bool exporting = options.action == Action::Export;
    const bool importing = options.action == Action::Import;
    for (const char *name : {"--person", "--format", "--dry-run", "--date-order"}) {
        const QString n = QLatin1String(name);
        if (!given(arguments, n))
            continue;
        const bool fits = n == QLatin1String("--person") ? exporting || importing
                          : n == QLatin1String("--format") ? exporting
                                                           : importing;
        if (!fits) {
            const QString with = n == QLatin1String("--person") ? QStringLiteral("--export か --import")
                                 : n == QLatin1String("--format") ? QStringLiteral("--export")
                                                                  : QStringLiteral("--import");
            return failure(QStringLiteral("%1 は %2 と一緒に使います").arg(n, with),
                           QStringLiteral("%1 goes with %2").arg(n, with.contains(QLatin1Char(' '))
                                                                         ? QStringLiteral("--export or --import")
                                                                         : with),
                           n);
        }
    }
    if (options.person != 1 && options.person != 2)
        return failure(QStringLiteral("--person には 1 か 2 を指定してください"),
                       QStringLiteral("--person takes 1 or 2"), QStringLiteral("--person"));
    if (!options.format.isEmpty() && !csv::layoutFromName(options.format))
        return failure(QStringLiteral("--format には own、openscale、libra、simple のどれかを指定してください"),
                       QStringLiteral("--format takes own, openscale, libra or simple"), QStringLiteral("--format"));
    if (!options.dateOrder.isEmpty() && options.dateOrder != QLatin1String("md") &&
        options.dateOrder != QLatin1String("dm"))
        return failure(QStringLiteral("--date-order には md（月/日/年）か dm（日/月/年）を指定してください"),
                       QStringLiteral("--date-order takes md (month/day/year) or dm (day/month/year)"),
                       QStringLiteral("--date-order"));
    return {options, {}, {}};
}

} // namespace

Parsed parse(const QStringList &arguments)
{
    Options options;
    bool helpOrVersion = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (!arg.startsWith(QLatin1Char('-')) || arg == QStringLiteral("-"))
            return failure(QStringLiteral("余分な引数があります: %1").arg(arg),
                           QStringLiteral("unexpected argument: %1").arg(arg));
        const qsizetype eq = arg.startsWith(QStringLiteral("--")) ? arg.indexOf(QLatin1Char('=')) : -1;
        const QString name = eq < 0 ? arg : arg.left(eq);
        const OptionRow *row = findOption(name);
        if (!row)
            return failure(QStringLiteral("知らないオプションです: %1").arg(name),
                           QStringLiteral("unknown option: %1").arg(name), name);
        QString value;
        if (row->takesValue) {
            if (eq >= 0) {
                value = arg.mid(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments.at(++i);
            }
            if (value.isEmpty())
                return failure(QStringLiteral("%1 には%2の指定が要ります")
                                   .arg(name, name == QLatin1String("--data-dir") ? QStringLiteral("フォルダー")
                                                                                  : QStringLiteral("値")),
                               QStringLiteral("%1 needs a value").arg(name));
            if (isCsvAction(options.action) && (name == QLatin1String("--export") || name == QLatin1String("--import")))
                return failure(QStringLiteral("--export と --import は一度に一つだけ使えます"),
                               QStringLiteral("use one --export or --import at a time"));
        } else if (eq >= 0) {
            return failure(QStringLiteral("%1 は値をとりません").arg(name),
                           QStringLiteral("%1 takes no value").arg(name));
        }
        row->apply(options, value);
        helpOrVersion = helpOrVersion || options.action == Action::Help || options.action == Action::Version;
    }
    // Asking for help is never an error, whatever else is on the line.
    if (helpOrVersion)
        return {options, {}, {}};
    if (!options.dataDir.isEmpty() && options.standardDataDir)
        return failure(QStringLiteral("--data-dir と --xdg-data-dir は一緒に使えません"),
                       QStringLiteral("--data-dir and --xdg-data-dir cannot be used together"));
    return checkCsvOptions(options, arguments);
}

bool isQtOption(const QString &name)
{
    // QGuiApplication and QApplication read these with one dash or two.
    static const QStringList qt = {
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("reverse"), QStringLiteral("session"),
        QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("widgetcount"),
        QStringLiteral("display"), QStringLiteral("geometry"), QStringLiteral("title"),
        QStringLiteral("name"), QStringLiteral("nograb"), QStringLiteral("dograb"),
        QStringLiteral("visual"), QStringLiteral("ncols"), QStringLiteral("cmap"),
    };
    QString bare = name;
    if (bare.startsWith(QStringLiteral("--")))
        bare.remove(0, 1);
    return bare.startsWith(QLatin1Char('-')) && qt.contains(bare.mid(1).section(QLatin1Char('='), 0, 0));
}

QString usage(const QString &programName)
{
    const QString name = QFileInfo(programName).fileName().isEmpty() ? QStringLiteral("nanahoshi")
                                                                      : QFileInfo(programName).fileName();
    return QStringLiteral(
               "使い方: %1 [オプション]\n"
               "ナナホシ: 二人で楽しむ体重計乗るだけダイエット\n"
               "\n"
               "  --data-dir フォルダー  このフォルダーのデータを使う（なければ作る）\n"
               "  --xdg-data-dir         標準のデータフォルダー（$XDG_DATA_HOME/nanahoshi、\n"
               "                         ふつうは ~/.local/share/nanahoshi）を使う（なければ作る）\n"
               "  --export ファイル      記録をCSVファイルに書き出して終わる（画面は開かない）\n"
               "      --person 1|2       だれの記録か（ふつうは 1）\n"
               "      --format 形式      own（ナナホシ形式、ふつう）、openscale、libra、simple\n"
               "  --import ファイル      CSVファイルの記録を加えて終わる（画面は開かない）\n"
               "      --person 1|2       だれの記録に加えるか（ふつうは 1）\n"
               "      --dry-run          何が加わるかを表示するだけで、書き込まない\n"
               "      --date-order md|dm 3/4/2025 のような日付を 月/日 か 日/月 で読む\n"
               "  -h, --help             この説明を表示して終わる\n"
               "  --version              版を表示して終わる\n"
               "どちらのデータフォルダーの指定もなければ、起動したフォルダーを使います。\n"
               "\n"
               "Usage: %1 [options]\n"
               "Nanahoshi: a weight diary for two people who diet together\n"
               "\n"
               "  --data-dir DIR    use the data in DIR (made if missing)\n"
               "  --xdg-data-dir    use the standard data folder ($XDG_DATA_HOME/nanahoshi,\n"
               "                    usually ~/.local/share/nanahoshi; made if missing)\n"
               "  --export FILE     write the records to a CSV file and end (no window)\n"
               "      --person 1|2  whose records (1 when not given)\n"
               "      --format F    own (the default), openscale, libra or simple\n"
               "  --import FILE     add a CSV file's records and end (no window)\n"
               "      --person 1|2  whose records to add to (1 when not given)\n"
               "      --dry-run     show what would be added, write nothing\n"
               "      --date-order md|dm  read dates like 3/4/2025 as month/day or day/month\n"
               "  -h, --help        print this text and end\n"
               "  --version         print the version and end\n"
               "Without either data folder option the folder the program is started in\n"
               "holds the data.\n")
        .arg(name);
}

QString versionText()
{
    return QStringLiteral("ナナホシ (nanahoshi) %1\n").arg(QStringLiteral(NANAHOSHI_VERSION));
}

QString standardDataDir(const QString &xdgDataHome, const QString &home)
{
    // A relative XDG_DATA_HOME is invalid and is ignored, as the desktop's
    // own programs do.
    const QString base = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : QDir(home).filePath(QStringLiteral(".local/share"));
    return QDir::cleanPath(QDir(base).filePath(QStringLiteral("nanahoshi")));
}

QString chosenDataDir(const Options &options, const QString &currentDir, const QString &xdgDataHome,
                      const QString &home)
{
    if (!options.dataDir.isEmpty())
        return QDir::cleanPath(QDir(currentDir).absoluteFilePath(options.dataDir));
    if (options.standardDataDir)
        return standardDataDir(xdgDataHome, home);
    return QDir::cleanPath(QDir(currentDir).absolutePath());
}

std::optional<QString> makeDataDir(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return QStringLiteral("データのフォルダーの場所にファイルがあります: %1\n"
                              "a file is in the place of the data folder: %1")
            .arg(QDir::toNativeSeparators(path));
    if (!QDir().mkpath(path))
        return QStringLiteral("データのフォルダーを作れません: %1\n"
                              "cannot make the data folder: %1")
            .arg(QDir::toNativeSeparators(path));
    return std::nullopt;
}

} // namespace cli
