// The fuzz driver for builds without libFuzzer: it mutates the seed files
// of each reader itself, from a seed, so that a run is repeatable.
//
//   nanahoshi_fuzz --corpus DIR [--target NAME]... [--inputs N] [--seed S]
//                  [--workdir DIR] [--findings DIR] [--input FILE]
//
// --inputs is per target (default 20000). --input FILE reads that one file
// through the targets given (all by default), to replay a finding. Prints
// a line per target: inputs, accepted, seconds.
#include "fuzz_targets.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <iterator>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define NANAHOSHI_FUZZ_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NANAHOSHI_FUZZ_ASAN 1
#endif
#endif
#ifdef NANAHOSHI_FUZZ_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// Bytes that matter to the formats: quotes, commas, line breaks, blanks
// (a vertical tab is one a trim takes and a field start does not), the
// characters of numbers, CP932 lead bytes and bytes that are no CP932.
constexpr unsigned char kInteresting[] = {
    '"', ',', '\r', '\n', ' ', '\t', '\v', '\\', '.', '-', '+', '0', '1', '5', '9', 'e',
    0x00, 0x7F, 0x80, 0x81, 0x82, 0x83, 0x88, 0x95, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xEA, 0xEF, 0xF0,
    0xFC, 0xFD, 0xFF, 0x40, 0x5C, 0x7E};
// A lead byte and a 0x5C trail byte: "表", "ソ", "能", "申".
constexpr unsigned char kLeadsOf5C[] = {0x95, 0x83, 0x94, 0x90};

class Mutator {
public:
    Mutator(quint64 seed, QList<QByteArray> own, QList<QByteArray> all)
        : rng_(seed), own_(std::move(own)), all_(std::move(all))
    {
    }

    QByteArray next()
    {
        QByteArray b = own_.at(pick(own_.size()));
        // Mostly a few changes, sometimes many.
        const int changes = 1 + int(pick(4)) + (pick(8) == 0 ? int(pick(24)) : 0);
        for (int i = 0; i < changes; ++i)
            mutate(b);
        return b;
    }

private:
    quint64 pick(quint64 n) { return n == 0 ? 0 : rng_() % n; }
    char interesting() { return char(kInteresting[pick(sizeof kInteresting)]); }
    qsizetype at(const QByteArray &b) { return qsizetype(pick(quint64(b.size()) + 1)); }

    void mutate(QByteArray &b)
    {
        switch (pick(13)) {
        case 0: // a random byte
            if (!b.isEmpty())
                b[at(b) % b.size()] = char(pick(256));
            break;
        case 1: // an interesting byte over one
            if (!b.isEmpty())
                b[at(b) % b.size()] = interesting();
            break;
        case 2: // interesting bytes inserted
            for (quint64 n = 1 + pick(3); n > 0; --n)
                b.insert(at(b), interesting());
            break;
        case 3: { // a cut
            if (b.isEmpty())
                break;
            const qsizetype from = at(b) % b.size();
            b.remove(from, qsizetype(1 + pick(16)));
            break;
        }
        case 4: { // a piece copied elsewhere
            if (b.isEmpty())
                break;
            const qsizetype from = at(b) % b.size();
            const QByteArray piece = b.mid(from, qsizetype(1 + pick(48)));
            b.insert(at(b), piece);
            break;
        }
        case 5: { // spliced with another seed, of this reader or any
            const QList<QByteArray> &from = pick(3) == 0 ? all_ : own_;
            const QByteArray &o = from.at(pick(from.size()));
            b = b.left(at(b)) + o.mid(qsizetype(pick(quint64(o.size()) + 1)));
            break;
        }
        case 6: // cut short
            b.truncate(at(b));
            break;
        case 7: { // a double-byte character with a 0x5C trail, or a lone lead byte
            const char lead = char(kLeadsOf5C[pick(sizeof kLeadsOf5C)]);
            const qsizetype p = at(b);
            if (pick(3) == 0)
                b.insert(p, lead);
            else
                b.insert(p, QByteArray{lead, '\\'});
            break;
        }
        case 8: { // a long run of digits, for the numbers
            QByteArray digits(qsizetype(1 + pick(60)), '0');
            for (char &c : digits)
                c = char('0' + pick(10));
            b.insert(at(b), digits);
            break;
        }
        case 9: // a bit flipped
            if (!b.isEmpty())
                b[at(b) % b.size()] ^= char(1u << pick(8));
            break;
        case 10: { // a whole line repeated
            const qsizetype lf = b.indexOf('\n', at(b));
            if (lf < 0)
                break;
            const qsizetype start = b.lastIndexOf('\n', lf - 1) + 1;
            const QByteArray line = b.mid(start, lf - start + 1);
            for (quint64 n = 1 + pick(pick(16) == 0 ? 200 : 3); n > 0; --n)
                b.insert(start, line);
            break;
        }
        case 11: { // a line break dropped or changed
            const qsizetype lf = b.indexOf('\n', at(b));
            if (lf < 0)
                break;
            if (lf > 0 && b[lf - 1] == '\r' && pick(2) == 0)
                b.remove(lf - 1, 1);
            else
                b[lf] = interesting();
            break;
        }
        default: { // a number swapped for one of the edges
            static const char *const kNumbers[] = {"0", "-0", "500", "500.0001", "501", "-70.5", "1e5", "nan",
                                                   "inf", "0.000000000000000000001", "3", "2", "1000", "999.9",
                                                   "300.5", "1.0", "+70", ".5", "7."};
            const qsizetype p = at(b);
            b.insert(p, kNumbers[pick(std::size(kNumbers))]);
            break;
        }
        }
        // Kept small, so that each input stays quick.
        if (b.size() > 64 * 1024)
            b.truncate(64 * 1024);
    }

    std::mt19937_64 rng_;
    QList<QByteArray> own_;
    QList<QByteArray> all_;
};

QList<QByteArray> seedFiles(const QString &dir)
{
    QList<QByteArray> out;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files, QDir::Name)) {
        QFile f(d.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out.append(f.readAll());
    }
    return out;
}

QString g_findings;
const char *g_targetName = "";

// The input that made a finding or a crash, kept for a replay.
void keepInput()
{
    const QByteArray *input = fuzz::currentInput();
    if (!input || g_findings.isEmpty())
        return;
    QDir().mkpath(g_findings);
    static int n = 0;
    QFile f(QDir(g_findings).filePath(QStringLiteral("%1-%2.bin").arg(QLatin1String(g_targetName)).arg(++n)));
    if (f.open(QIODevice::WriteOnly))
        f.write(*input);
    std::fprintf(stderr, "input kept in %s\n", qPrintable(f.fileName()));
}

void onAbort(int)
{
    keepInput();
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

int usage()
{
    std::fprintf(stderr, "usage: nanahoshi_fuzz --corpus DIR [--target NAME]... [--inputs N] [--seed S] "
                         "[--workdir DIR] [--findings DIR] [--input FILE]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString corpus, workdir, replay;
    QStringList names;
    qint64 inputs = 20000;
    quint64 seed = 1;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == u"--corpus" && hasValue)
            corpus = args[++i];
        else if (a == u"--target" && hasValue)
            names.append(args[++i]);
        else if (a == u"--inputs" && hasValue)
            inputs = args[++i].toLongLong();
        else if (a == u"--seed" && hasValue)
            seed = args[++i].toULongLong();
        else if (a == u"--workdir" && hasValue)
            workdir = args[++i];
        else if (a == u"--findings" && hasValue)
            g_findings = args[++i];
        else if (a == u"--input" && hasValue)
            replay = args[++i];
        else
            return usage();
    }
    if (names.isEmpty())
        for (const fuzz::Target &t : fuzz::targets())
            names.append(QLatin1String(t.name));
    if (corpus.isEmpty() && replay.isEmpty())
        return usage();
    // A disk in memory when there is one: the targets write files.
    if (workdir.isEmpty() && QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        workdir = QStringLiteral("/dev/shm");
    fuzz::setUpWorkspace(workdir);
    std::signal(SIGABRT, onAbort);
#ifdef NANAHOSHI_FUZZ_ASAN
    __sanitizer_set_death_callback(keepInput);
#endif

    QList<QByteArray> all;
    for (const QString &name : std::as_const(names))
        all += seedFiles(QDir(corpus).filePath(name));

    qint64 total = 0;
    QElapsedTimer whole;
    whole.start();
    for (const QString &name : std::as_const(names)) {
        const fuzz::Target *t = fuzz::findTarget(name);
        if (!t) {
            std::fprintf(stderr, "no target %s\n", qPrintable(name));
            return 2;
        }
        g_targetName = t->name;
        if (!replay.isEmpty()) {
            QFile f(replay);
            if (!f.open(QIODevice::ReadOnly))
                return usage();
            fuzz::runOne(*t, f.readAll());
            std::printf("%s: read %s\n", t->name, qPrintable(replay));
            continue;
        }
        const QList<QByteArray> own = seedFiles(QDir(corpus).filePath(name));
        if (own.isEmpty()) {
            std::fprintf(stderr, "no seed files for %s in %s\n", t->name, qPrintable(corpus));
            return 2;
        }
        // Each target its own stream, so that one runs alone as it runs with the others.
        Mutator m(seed * 0x9E3779B97F4A7C15ull + qHash(name), own, all);
        const qint64 acceptedBefore = fuzz::acceptedCount();
        QElapsedTimer timer;
        timer.start();
        // The seeds as they are first, then their mutations.
        qint64 done = 0;
        for (; done < inputs && done < own.size(); ++done)
            fuzz::runOne(*t, own.at(done));
        for (; done < inputs; ++done) {
            fuzz::runOne(*t, m.next());
            // A long run tells how far it got.
            if ((done + 1) % 100000 == 0) {
                std::printf("%-15s %10lld inputs so far %8.1f s\n", t->name, static_cast<long long>(done + 1),
                            double(timer.elapsed()) / 1000);
                std::fflush(stdout);
            }
        }
        total += done;
        std::printf("%-15s %10lld inputs %10lld accepted %8.1f s\n", t->name, static_cast<long long>(done),
                    static_cast<long long>(fuzz::acceptedCount() - acceptedBefore), double(timer.elapsed()) / 1000);
        std::fflush(stdout);
    }
    if (replay.isEmpty())
        std::printf("all             %10lld inputs, seed %llu, %.1f s, no finding\n", static_cast<long long>(total),
                    static_cast<unsigned long long>(seed), double(whole.elapsed()) / 1000);
    return 0;
}
