#include "app/first_paint.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QWidget>

#include <cstdio>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

qint64 nowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

rusage self()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// Processor time used so far (user and system), which a loaded machine
// stretches far less than the time on the clock.
long long cpuUs(const rusage &u)
{
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000LL + u.ru_utime.tv_usec + u.ru_stime.tv_usec;
}

// Paints each widget itself, so the time taken is that of the paint's end.
class PaintTimes final : public QObject {
public:
    explicit PaintTimes(QByteArray quitAfter, QObject *parent) : QObject(parent), quitAfter_(std::move(quitAfter))
    {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                &PaintTimes::settle);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !object->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(object);
        QWidget *window = widget->window();
        auto it = windows_.find(window);
        if (it == windows_.end()) {
            it = windows_.insert(window, {window->objectName().toUtf8(), 0, 0, false});
            connect(window, &QObject::destroyed, this, [this, window] { windows_.remove(window); });
        }
        if (it->settled)
            return false;
        object->event(event); // QObject::event is public; it reaches the widget's own
        const qint64 end = nowUs();
        const long long cpu = cpuUs(self());
        if (it->lastPaintUs == 0)
            std::fprintf(stderr, "first %s %lld %lld\n", it->name.constData(), static_cast<long long>(end), cpu);
        it->lastPaintUs = end;
        it->lastPaintCpuUs = cpu;
        return true;
    }

private:
    struct Window {
        QByteArray name;
        qint64 lastPaintUs;
        long long lastPaintCpuUs;
        bool settled;
    };

    void settle()
    {
        bool quit = false;
        for (auto it = windows_.begin(); it != windows_.end(); ++it) {
            if (it->settled || it->lastPaintUs == 0)
                continue;
            it->settled = true;
            std::fprintf(stderr, "settled %s %lld %ld %lld\n", it->name.constData(),
                         static_cast<long long>(it->lastPaintUs), self().ru_maxrss, it->lastPaintCpuUs);
            quit = quit || it->name == quitAfter_;
        }
        std::fflush(stderr);
        // At once, whatever is on screen: a registration or a message box
        // would otherwise wait for an answer in an event loop of its own.
        if (quit)
            ::_exit(0);
    }

    QByteArray quitAfter_;
    QHash<QWidget *, Window> windows_;
};

} // namespace

void reportPaintTimesWhenAsked()
{
    if (!qEnvironmentVariableIsSet("NANAHOSHI_PAINT_TIMES") || !QCoreApplication::instance())
        return;
    auto *times = new PaintTimes(qgetenv("NANAHOSHI_PAINT_TIMES"), QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(times);
}
