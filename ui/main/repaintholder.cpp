// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/repaintholder.h"

#include "ui/main/ticktimer.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>

namespace {

// A screen shows a new picture about every 16 ms.
constexpr qint64 kFrameMs = 16;

} // namespace

RepaintHolder::RepaintHolder(QWidget *window, const TickTimer &run) : m_window(window), m_run(run)
{
    window->installEventFilter(this);
}

bool RepaintHolder::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::UpdateRequest)
        return false;
    if (m_run.isActive() && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kFrameMs) {
        if (!m_held.isActive())
            m_held.start(int(kFrameMs - m_sinceRepaint.elapsed()), Qt::PreciseTimer, this);
        return true;
    }
    m_held.stop();
    m_sinceRepaint.start();
    return false;
}

void RepaintHolder::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_held.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_held.stop();
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
}
