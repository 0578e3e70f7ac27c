#pragma once

// Child processes for the fault tests: a helper program whose standard
// output is a pipe back to the test, or a forked copy of the test that
// runs one function (with other limits or another user) and sends its
// findings back. Nothing here sleeps; the parent only blocks on the pipe.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace faultproc {

struct Child {
    pid_t pid = -1;
    int out = -1; // read end of the child's standard output
};

// Starts `program` with `args`; the child's standard output is a pipe.
inline Child spawn(const QString &program, const QStringList &args)
{
    // Everything the child needs is built before fork: no allocation after.
    std::vector<QByteArray> store;
    store.push_back(program.toLocal8Bit());
    for (const QString &a : args)
        store.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : store)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {};
    }
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO); // dup2 clears close-on-exec
        ::execv(argv[0], argv.data());
        std::_Exit(127);
    }
    ::close(fds[1]);
    return Child{pid, fds[0]};
}

// Reads exactly n bytes; false when the child closed the pipe first.
inline bool readExactly(int fd, void *buf, size_t n)
{
    char *p = static_cast<char *>(buf);
    while (n > 0) {
        const ssize_t r = ::read(fd, p, n);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        p += r;
        n -= size_t(r);
    }
    return true;
}

// Everything left in the pipe, up to the end.
inline QByteArray drain(int fd)
{
    QByteArray all;
    char buf[4096];
    for (;;) {
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        all.append(buf, r);
    }
    return all;
}

inline int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Kills the child and collects what it wrote before it died.
inline QByteArray killAndCollect(Child &c, int *status)
{
    ::kill(c.pid, SIGKILL);
    *status = reap(c.pid);
    const QByteArray rest = drain(c.out);
    ::close(c.out);
    c = Child{};
    return rest;
}

// Waits for a child that ends by itself and collects its output.
inline QByteArray waitAndCollect(Child &c, int *status)
{
    const QByteArray rest = drain(c.out);
    *status = reap(c.pid);
    ::close(c.out);
    c = Child{};
    return rest;
}

inline bool killedBySigkill(int status)
{
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

inline QString describe(int status)
{
    if (WIFEXITED(status))
        return QStringLiteral("exited with %1").arg(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    return QStringLiteral("status %1").arg(status);
}

struct Forked {
    int status = 0;
    QByteArray output;
    bool exitedNormally() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
};

// Runs body in a forked copy of this process and returns what it sent
// back. The child never returns into the test framework.
inline Forked runForked(const std::function<QByteArray()> &body)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return Forked{-1, {}};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return Forked{-1, {}};
    }
    if (pid == 0) {
        ::close(fds[0]);
        const QByteArray out = body();
        const char *p = out.constData();
        qsizetype left = out.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                std::_Exit(3);
            p += n;
            left -= n;
        }
        std::_Exit(0);
    }
    ::close(fds[1]);
    Forked f;
    f.output = drain(fds[0]);
    ::close(fds[0]);
    f.status = reap(pid);
    return f;
}

// The random seed of the kill tests: fixed, printed with every failure,
// replaced by NANAHOSHI_FAULT_SEED to replay another run.
inline quint32 seed()
{
    bool ok = false;
    const uint s = qEnvironmentVariable("NANAHOSHI_FAULT_SEED").toUInt(&ok);
    return ok ? s : 20081110u;
}

// Lets a child run on for a while without sleeping: up to `turns`
// scheduler turns, but no further than its next report on fd.
inline void spin(quint64 turns, int fd)
{
    pollfd p{fd, POLLIN, 0};
    for (quint64 i = 0; i < turns; ++i) {
        if (::poll(&p, 1, 0) != 0)
            return;
        sched_yield();
    }
}

// Scheduler turns that pass while a fresh child makes one step (it writes
// stepBytes to its output per step), so that a random spin of up to this
// many turns lands anywhere in a step on a slow or a fast machine. 0 when
// the child died.
inline quint64 turnsPerStep(Child &c, size_t stepBytes)
{
    char buf[8];
    if (stepBytes > sizeof buf || !readExactly(c.out, buf, stepBytes))
        return 0;
    const int flags = ::fcntl(c.out, F_GETFL);
    ::fcntl(c.out, F_SETFL, flags | O_NONBLOCK);
    quint64 turns = 0;
    int steps = 0;
    size_t got = 0;
    while (steps < 4) {
        const ssize_t r = ::read(c.out, buf, stepBytes - got);
        if (r > 0) {
            got += size_t(r);
            if (got == stepBytes) {
                ++steps;
                got = 0;
            }
            continue;
        }
        if (r == 0)
            break;
        sched_yield();
        ++turns;
    }
    ::fcntl(c.out, F_SETFL, flags);
    return steps == 4 ? turns / 4 + 1 : 0;
}

// Directory entries other than the allowed ones.
inline QStringList strayEntries(const QDir &dir, const QStringList &allowed)
{
    QStringList stray;
    const QStringList all =
        dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &e : all)
        if (!allowed.contains(e))
            stray.append(e);
    return stray;
}

} // namespace faultproc
