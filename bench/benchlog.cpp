// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/ticktimer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <utility>

// The benchmark log, linked only into the benchmarks' copy of the program
// (tavelk-benchlogged): with TAVELK_BENCH_LOG=<file> it appends one line per
// window exposure and per timer start and stop, with CLOCK_MONOTONIC and
// process CPU times in nanoseconds. An `expose` line is written when an
// expose reaches a window, before it is painted; a `painted` line once it has
// been painted and handed to the window system, the first frame for the
// first one. The variable is read once when the application object is built.
// With TAVELK_BENCH_QUIT_AT_EXPOSE=1 as well, the program quits once its first
// exposed window is painted, so that a profiler sees one start and nothing
// after it.
namespace {

std::FILE *g_benchLog = nullptr;

long long nanosecondsOf(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

void logLine(const char *event, const QByteArray &detail = {})
{
    std::fprintf(g_benchLog, "%s %lld %lld %s\n", event, nanosecondsOf(CLOCK_MONOTONIC),
                 nanosecondsOf(CLOCK_PROCESS_CPUTIME_ID), detail.constData());
}

// Posted at high priority when an expose arrives: handled once the expose
// has been painted, before anything the program queued meanwhile.
class PaintedEvent : public QEvent {
public:
    static QEvent::Type type()
    {
        static const int registered = QEvent::registerEventType();
        return QEvent::Type(registered);
    }
    explicit PaintedEvent(QByteArray title) : QEvent(type()), title(std::move(title)) {}
    const QByteArray title;
};

class ExposeLogger : public QObject {
public:
    using QObject::QObject;
    bool quitAtExpose = false;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != PaintedEvent::type())
            return QObject::event(event);
        logLine("painted", static_cast<PaintedEvent *>(event)->title);
        if (quitAtExpose)
            QCoreApplication::quit();
        return true;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            auto *window = static_cast<QWindow *>(watched);
            if (window->isExposed()) {
                const QByteArray title = window->title().trimmed().toUtf8();
                logLine("expose", title);
                QCoreApplication::postEvent(this, new PaintedEvent(title), Qt::HighEventPriority);
            }
        }
        return false;
    }
};

class TimerLogger : public TickTimer::Observer {
public:
    void started() override { logLine("start"); }
    void stopped(std::int64_t ticks) override { logLine("stop", QByteArray::number(qlonglong(ticks))); }
};

void openBenchLog()
{
    const QByteArray path = qgetenv("TAVELK_BENCH_LOG");
    if (path.isEmpty())
        return;
    g_benchLog = std::fopen(path.constData(), "a");
    if (!g_benchLog)
        return;
    std::setvbuf(g_benchLog, nullptr, _IOLBF, 0);
    QCoreApplication *app = QCoreApplication::instance();
    auto *logger = new ExposeLogger(app);
    logger->quitAtExpose = qEnvironmentVariableIntValue("TAVELK_BENCH_QUIT_AT_EXPOSE") == 1;
    app->installEventFilter(logger);
    static TimerLogger timers;
    TickTimer::setObserver(&timers);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(openBenchLog)
