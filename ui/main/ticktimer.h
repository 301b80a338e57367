// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/tickpacer.h"

#include <QBasicTimer>
#include <QObject>
#include <chrono>
#include <cstdint>

// A repeating timer whose ticks keep to a fixed schedule: tick n is due at
// start + n * interval, whatever the ticks before it cost.
//
// A repeating QTimer at 1 ms loses about a tenth of its ticks here: Qt rounds
// every wait up to a whole millisecond, so each tick lands a little later
// than the one before, and once a tick is more than one interval late Qt
// re-anchors the schedule at "now" and the lateness is gone for good.
// This timer instead keeps its own anchor (the start) and, after each tick,
// arms a precise timer for the time left to the next due tick, rounded up to
// whole milliseconds, or 0 ms when that tick is already due. A late tick is
// then followed by an immediate one, so the lateness stays below one
// interval and the long-run rate is exactly one tick per interval. Each tick
// is still one timer event on this thread, with the event loop (and so
// painting) run in between.
class TickTimer : public QObject {
    Q_OBJECT
public:
    explicit TickTimer(QObject *parent = nullptr);
    ~TickTimer() override;

    void setInterval(int msec) { m_intervalMs = msec; }
    int interval() const { return m_intervalMs; }
    bool isActive() const { return m_timer.isActive(); }
    // (Re)starts the schedule from now; the first tick is one interval away.
    void start();
    void stop();

    // Told of every start and stop of a tick timer (never of a tick), so
    // that a timing tool can measure whole runs; the program sets none.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void started() = 0;
        virtual void stopped(std::int64_t ticks) = 0;
    };
    static void setObserver(Observer *observer);

signals:
    void timeout();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void armForNextTick();

    QBasicTimer m_timer;
    TickPacer m_pacer{std::chrono::milliseconds(1)};
    int m_intervalMs = 0;
};
