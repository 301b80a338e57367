// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/ticktimer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <sys/prctl.h>

namespace {

using Clock = std::chrono::steady_clock;

// After a stall longer than this many intervals (a suspended process, a
// swapped-out machine) the schedule is moved on instead of firing the whole
// backlog at once.
constexpr std::int64_t kMaxBacklog = 10;

// Benchmark log: with TAVELK_BENCH_LOG=<file> the program appends one line
// per window exposure and per timer start and stop, with CLOCK_MONOTONIC and
// process CPU times in nanoseconds. The variable is read once when the
// application object is built; unset, the only cost is a null check on
// timer start and stop, never on a tick.
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

class ExposeLogger : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            auto *window = static_cast<QWindow *>(watched);
            if (window->isExposed())
                logLine("expose", window->title().trimmed().toUtf8());
        }
        return false;
    }
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
    app->installEventFilter(new ExposeLogger(app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(openBenchLog)

TickTimer::TickTimer(QObject *parent) : QObject(parent) {}

TickTimer::~TickTimer() = default;

void TickTimer::start()
{
    if (g_benchLog && !isActive())
        logLine("start");
    m_ticks = 0;
    m_anchor = Clock::now();
    armForNextTick();
}

void TickTimer::stop()
{
    if (g_benchLog && isActive())
        logLine("stop", QByteArray::number(qlonglong(m_ticks)));
    m_timer.stop();
}

void TickTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    ++m_ticks;
    emit timeout();
    // A handler that stopped the timer leaves it stopped; one that restarted
    // it has armed it already, and arming again gives the same deadline.
    if (isActive())
        armForNextTick();
}

void TickTimer::armForNextTick()
{
    const std::chrono::milliseconds interval(m_intervalMs);
    const Clock::time_point now = Clock::now();
    if (now - (m_anchor + m_ticks * interval) > kMaxBacklog * interval)
        m_anchor = now - m_ticks * interval;
    const Clock::duration left = m_anchor + (m_ticks + 1) * interval - now;
    const auto wait = std::max(std::chrono::ceil<std::chrono::milliseconds>(left), std::chrono::milliseconds(0));
    m_timer.start(int(wait.count()), Qt::PreciseTimer, this);
}

void TickTimer::prepareProcess()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}
