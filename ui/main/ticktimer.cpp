// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/ticktimer.h"

#include <QTimerEvent>

namespace {

TickTimer::Observer *g_observer = nullptr;

TickPacer::Duration now()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

} // namespace

TickTimer::TickTimer(QObject *parent) : QObject(parent) {}

TickTimer::~TickTimer() = default;

void TickTimer::start()
{
    if (g_observer && !isActive())
        g_observer->started();
    m_pacer = TickPacer(std::chrono::milliseconds(m_intervalMs));
    m_pacer.start(now());
    armForNextTick();
}

void TickTimer::stop()
{
    if (g_observer && isActive())
        g_observer->stopped(m_pacer.ticks());
    m_timer.stop();
}

void TickTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_pacer.ticked();
    emit timeout();
    // A handler that stopped the timer leaves it stopped; one that restarted
    // it has armed it already, and arming again gives the same deadline.
    if (isActive())
        armForNextTick();
}

void TickTimer::armForNextTick()
{
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_pacer.untilNext(now()));
    m_timer.start(int(wait.count()), Qt::PreciseTimer, this);
}

void TickTimer::setObserver(Observer *observer)
{
    g_observer = observer;
}
