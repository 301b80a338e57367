// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/ticktimer.h"

#include <QTimerEvent>

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// After a stall longer than this many intervals (a suspended process, a
// swapped-out machine) the schedule is moved on instead of firing the whole
// backlog at once.
constexpr std::int64_t kMaxBacklog = 10;

TickTimer::Observer *g_observer = nullptr;

} // namespace

TickTimer::TickTimer(QObject *parent) : QObject(parent) {}

TickTimer::~TickTimer() = default;

void TickTimer::start()
{
    if (g_observer && !isActive())
        g_observer->started();
    m_ticks = 0;
    m_anchor = Clock::now();
    armForNextTick();
}

void TickTimer::stop()
{
    if (g_observer && isActive())
        g_observer->stopped(m_ticks);
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

void TickTimer::setObserver(Observer *observer)
{
    g_observer = observer;
}
