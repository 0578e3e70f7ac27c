// The command line: what each option does, what is refused and with which
// exit status, which data directory a start uses, and the program itself
// answering --help, --version and a bad option without a display.
#include "app/command_line.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList line(const QStringList &args)
{
    return QStringList{QStringLiteral("/usr/bin/nanahoshi")} + args;
}

// Runs the real program with `args`; its exit code and both outputs.
struct Run {
    int code = -1;
    QString out;
    QString err;
};
Run runProgram(const QStringList &args, const QStringList &extraEnv = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    for (const QString &kv : extraEnv)
        env.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(NANAHOSHI_PROGRAM), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("did not end within a minute")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<bool>("standard");
        const int run = int(cli::Action::Run);
        QTest::newRow("nothing") << QStringList{} << run << QString() << false;
        QTest::newRow("data dir, next argument") << QStringList{"--data-dir", "/tmp/x"} << run << "/tmp/x" << false;
        QTest::newRow("data dir after =") << QStringList{"--data-dir=rel/x"} << run << "rel/x" << false;
        QTest::newRow("data dir with a space") << QStringList{"--data-dir", "a b"} << run << "a b" << false;
        QTest::newRow("standard place") << QStringList{"--xdg-data-dir"} << run << QString() << true;
        QTest::newRow("help") << QStringList{"--help"} << int(cli::Action::Help) << QString() << false;
        QTest::newRow("-h") << QStringList{"-h"} << int(cli::Action::Help) << QString() << false;
        QTest::newRow("version") << QStringList{"--version"} << int(cli::Action::Version) << QString() << false;
        QTest::newRow("help wins over a conflict")
            << QStringList{"--data-dir", "x", "--xdg-data-dir", "--help"} << int(cli::Action::Help) << "x" << true;
    }
    void optionsAreRead()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, dataDir);
        QFETCH(bool, standard);
        const cli::Parsed parsed = cli::parse(line(args));
        QVERIFY2(parsed.options.has_value(), qPrintable(parsed.error));
        QCOMPARE(int(parsed.options->action), action);
        QCOMPARE(parsed.options->dataDir, dataDir);
        QCOMPARE(parsed.options->standardDataDir, standard);
    }

    void badLinesAreRefusedInBothLanguages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named"); // what the error must name
        QTest::newRow("unknown long") << QStringList{"--bogus"} << "--bogus";
        QTest::newRow("unknown short") << QStringList{"-x"} << "-x";
        QTest::newRow("unknown with value") << QStringList{"--bogus=1"} << "--bogus";
        QTest::newRow("a bare word") << QStringList{"folder"} << "folder";
        QTest::newRow("data dir without a value") << QStringList{"--data-dir"} << "--data-dir";
        QTest::newRow("data dir with an empty value") << QStringList{"--data-dir="} << "--data-dir";
        QTest::newRow("value on a flag") << QStringList{"--version=2"} << "--version";
        QTest::newRow("both data places") << QStringList{"--xdg-data-dir", "--data-dir", "d"} << "--xdg-data-dir";
    }
    void badLinesAreRefusedInBothLanguages()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const cli::Parsed parsed = cli::parse(line(args));
        QVERIFY(!parsed.options);
        const QStringList lines = parsed.error.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(named) && lines[1].contains(named), qPrintable(parsed.error));
        // The first line is Japanese, the second English.
        QVERIFY(std::any_of(lines[0].begin(), lines[0].end(), [](QChar c) { return c.unicode() > 0x3000; }));
        QVERIFY(std::all_of(lines[1].begin(), lines[1].end(), [](QChar c) { return c.unicode() < 0x80; }));
    }

    void usageNamesEveryOptionInBothLanguages()
    {
        const QString text = cli::usage(QStringLiteral("/opt/x/bin/nanahoshi"));
        QVERIFY(text.contains(QStringLiteral("使い方: nanahoshi")));
        QVERIFY(text.contains(QStringLiteral("Usage: nanahoshi")));
        for (const char *option : {"--data-dir", "--xdg-data-dir", "-h, --help", "--version"})
            QCOMPARE(text.count(QLatin1String(option)), 2);
        QVERIFY(cli::versionText().contains(QStringLiteral(NANAHOSHI_VERSION)));
    }

    void dataDirectoryIsChosen_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("current dir") << QStringList{} << "/x/data" << "/work/here";
        QTest::newRow("absolute") << QStringList{"--data-dir", "/d/e/"} << "" << "/d/e";
        QTest::newRow("relative to the current dir") << QStringList{"--data-dir", "../d"} << "" << "/work/d";
        QTest::newRow("xdg") << QStringList{"--xdg-data-dir"} << "/x/data" << "/x/data/nanahoshi";
        QTest::newRow("xdg unset") << QStringList{"--xdg-data-dir"} << "" << "/home/u/.local/share/nanahoshi";
        QTest::newRow("xdg relative is ignored") << QStringList{"--xdg-data-dir"} << "rel" << "/home/u/.local/share/nanahoshi";
    }
    void dataDirectoryIsChosen()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        const cli::Parsed parsed = cli::parse(line(args));
        QVERIFY(parsed.options);
        QCOMPARE(cli::chosenDataDir(*parsed.options, QStringLiteral("/work/here"), xdg, QStringLiteral("/home/u")),
                 expected);
    }

    void dataDirectoryIsMadeOrRefused()
    {
        QTemporaryDir tmp;
        const QString deep = tmp.filePath(QStringLiteral("a/b/データ"));
        QCOMPARE(cli::makeDataDir(deep), std::nullopt);
        QVERIFY(QFileInfo(deep).isDir());
        QCOMPARE(cli::makeDataDir(deep), std::nullopt); // already there
        QFile file(tmp.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const std::optional<QString> refused = cli::makeDataDir(file.fileName());
        QVERIFY(refused && refused->contains(file.fileName()));
    }

    // The program answers these before it needs a display.
    void programAnswersWithoutDisplay()
    {
        const Run help = runProgram({QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.contains(QStringLiteral("使い方")) && help.out.contains(QStringLiteral("Usage")));
        const Run version = runProgram({QStringLiteral("-h"), QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        const Run v = runProgram({QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QCOMPARE(v.out, cli::versionText());
        const Run bad = runProgram({QStringLiteral("--bogus")});
        QCOMPARE(bad.code, 2);
        QVERIFY(bad.out.isEmpty());
        QVERIFY(bad.err.contains(QStringLiteral("--bogus")) && bad.err.contains(QStringLiteral("Usage")));
        // Qt's own options are Qt's; ours after them still count.
        const Run qt = runProgram({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")});
        QCOMPARE(qt.code, 0);
        QCOMPARE(qt.out, cli::versionText());
        const Run qtBad = runProgram({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--bogus")});
        QCOMPARE(qtBad.code, 2);
    }

    void qtOptionsAreKnown()
    {
        for (const char *name : {"-platform", "--platform", "-style=fusion", "-reverse", "-qwindowgeometry"})
            QVERIFY2(cli::isQtOption(QLatin1String(name)), name);
        for (const char *name : {"--bogus", "-x", "", "platform", "---style"})
            QVERIFY2(!cli::isQtOption(QLatin1String(name)), name);
    }

    // A first start on a folder that does not exist yet makes it, writes
    // the defaults there and opens the registration.
    void programStartsOnNewDataDir()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("new/ナナホシ"));
        const Run run = runProgram({QStringLiteral("--data-dir"), dir},
                                   {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                    QStringLiteral("NANAHOSHI_PAINT_TIMES=frmMain")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("settled frmMain")), qPrintable(run.err));
        QVERIFY(QFileInfo::exists(QDir(dir).filePath(QStringLiteral("設定.txt"))));
        QVERIFY(QFileInfo::exists(QDir(dir).filePath(QStringLiteral("状況リスト.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
