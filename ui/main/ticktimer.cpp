// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/ticktimer.h"

#include <QTimerEvent>

#include <algorithm>

#ifdef TAVELK_WITH_BENCH_LOG
#include "ui/main/benchlog.h"
#endif

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// After a stall longer than this many intervals (a suspended process, a
// swapped-out machine) the schedule is moved on instead of firing the whole
// backlog at once.
constexpr std::int64_t kMaxBacklog = 10;

} // namespace

TickTimer::TickTimer(QObject *parent) : QObject(parent) {}

TickTimer::~TickTimer() = default;

void TickTimer::start()
{
#ifdef TAVELK_WITH_BENCH_LOG
    if (!isActive())
        BenchLog::timerStarted();
#endif
    m_ticks = 0;
    m_anchor = Clock::now();
    armForNextTick();
}

void TickTimer::stop()
{
#ifdef TAVELK_WITH_BENCH_LOG
    if (isActive())
        BenchLog::timerStopped(m_ticks);
#endif
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

void preparePunctualTimers()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}
