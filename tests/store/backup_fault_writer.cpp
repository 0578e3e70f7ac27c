// Child program of the backup kill tests: runs one step of
// backup_fault_steps.h on a directory and reports each store call with a
// letter on standard output, then 'e' when the step is done.
//
//   backup_fault_writer <step> <dir> [dieAt]
//
// dieAt > 0 makes the process kill itself at that store call (counted
// over all kinds), before the call is made.
#include "backup_fault_steps.h"
#include "store/file_io.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

int g_calls = 0;
int g_dieAt = 0;

void report(char c)
{
    while (::write(STDOUT_FILENO, &c, 1) != 1) {
        if (errno != EINTR)
            std::_Exit(5); // the parent is gone
    }
}

int dyingHook(store::faults::Op)
{
    report('c');
    if (++g_calls == g_dieAt)
        raise(SIGKILL);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: backup_fault_writer <step> <dir> [dieAt]\n");
        return 2;
    }
    g_dieAt = argc > 3 ? std::atoi(argv[3]) : 0;
    store::faults::setHook(dyingHook);
    const DataDir dir{QDir(QString::fromLocal8Bit(argv[2]))};
    if (MaybeError e = backupfault::run(QString::fromLocal8Bit(argv[1]), dir)) {
        std::fprintf(stderr, "backup_fault_writer: %s\n", e->message().toUtf8().constData());
        return 2;
    }
    report('e');
    return 0;
}
