// Child program of the kill tests: writes the data file in an endless
// loop until its parent kills it, and tells the parent how far it got
// through standard output.
//
//   fault_writer rewrite <dir> <count> A|B [dieAt]
//       Alternates the data file between content A and content B (see
//       fault_records.h), starting from the one named: insert the
//       back-dated record into A, rewrite A over B. Writes 'r' before
//       each rewrite and one letter before each store call it makes
//       (o open, w write, s sync, c close, n rename, d directory sync, t
//       truncate), so the parent can stop it in any phase.
//   fault_writer append <dir> <first> [dieAt [partial]]
//       Appends records first, first+1, ... and writes each record's index
//       (4 bytes) after appendRecord has returned: an acknowledgement.
//   fault_writer once <write> <dir> [dieAt]
//       Makes one of the single writes of fault_records.h once, reporting
//       each store call with a letter as the rewrite does, then 'e'.
//
// dieAt > 0 makes the process kill itself at that system call of the
// store (counted over all kinds). With partial = 1 and a write there, the
// write puts half of its bytes on disk and the process dies at the next
// call, which is the cut back of a failed append.
#include "fault_records.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/file_io.h"

#include <QDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

int g_calls = 0;
int g_dieAt = 0;
bool g_partial = false;
bool g_armed = false;
bool g_trace = false;

void report(const void *bytes, size_t len);

int dyingHook(store::faults::Op op)
{
    if (g_trace) {
        using store::faults::Op;
        const char letter = op == Op::Open ? 'o' : op == Op::Write ? 'w' : op == Op::Sync ? 's'
                          : op == Op::Close ? 'c' : op == Op::Rename ? 'n' : op == Op::DirSync ? 'd'
                                                                                            : 't';
        report(&letter, 1);
    }
    if (g_armed)
        raise(SIGKILL);
    if (++g_calls != g_dieAt || g_dieAt == 0)
        return 0;
    if (g_partial && op == store::faults::Op::Write) {
        g_armed = true;
        return store::faults::kPartialWrite;
    }
    raise(SIGKILL);
    return 0;
}

void report(const void *bytes, size_t len)
{
    const char *p = static_cast<const char *>(bytes);
    while (len > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, p, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            std::_Exit(5); // the parent is gone
        }
        p += n;
        len -= size_t(n);
    }
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "fault_writer: %s\n", what.toUtf8().constData());
    std::_Exit(2);
}

// The parent has checked which content the file holds; reading it here
// too would only slow every round down.
[[noreturn]] void rewriteLoop(const DataDir &dir, int count, bool isA)
{
    const QList<WeightRecord> a = faultdata::contentA(count);
    const WeightRecord x = faultdata::insertedRecord(count);
    for (;;) {
        report("r", 1);
        // The rewrite puts A back over the insert on purpose: it does not
        // build on an earlier read.
        store::forgetRememberedContents();
        MaybeError e = isA ? store::insertRecordInOrder(dir, faultdata::dataFile(), x)
                           : store::rewriteRecords(dir, faultdata::dataFile(), a,
                                                   store::insertScratchName());
        if (e)
            fail(e->message());
        isA = !isA;
    }
}

[[noreturn]] void appendLoop(const DataDir &dir, int first)
{
    for (qint32 i = first;; ++i) {
        if (MaybeError e = store::appendRecord(dir, faultdata::dataFile(), faultdata::appended(i)))
            fail(e->message());
        report(&i, sizeof i);
    }
}

} // namespace

[[noreturn]] void once(const QString &write, const DataDir &dir)
{
    if (MaybeError e = faultdata::runOnce(write, dir))
        fail(e->message());
    report("e", 1);
    std::_Exit(0);
}

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "once") == 0) {
        g_dieAt = argc > 4 ? std::atoi(argv[4]) : 0;
        g_trace = true;
        store::faults::setHook(dyingHook);
        once(QString::fromLocal8Bit(argv[2]), DataDir{QDir(QString::fromLocal8Bit(argv[3]))});
    }
    const bool rewrite = argc >= 5 && std::strcmp(argv[1], "rewrite") == 0;
    const bool append = argc >= 4 && std::strcmp(argv[1], "append") == 0;
    if (!rewrite && !append)
        fail(QStringLiteral("usage: fault_writer rewrite <dir> <count> A|B [dieAt] | "
                            "append <dir> <first> [dieAt [partial]] | once <write> <dir> [dieAt]"));
    const DataDir dir{QDir(QString::fromLocal8Bit(argv[2]))};
    const int n = std::atoi(argv[3]);
    const int more = rewrite ? 5 : 4;
    g_dieAt = argc > more ? std::atoi(argv[more]) : 0;
    g_partial = argc > more + 1 && std::atoi(argv[more + 1]) != 0;
    g_trace = rewrite;
    if (g_dieAt > 0 || g_trace)
        store::faults::setHook(dyingHook);

    if (rewrite)
        rewriteLoop(dir, n, std::strcmp(argv[4], "A") == 0);
    appendLoop(dir, n);
}
