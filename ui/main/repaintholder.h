// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>

class QWidget;
class TickTimer;

// Holds a top-level window's repaints to one a frame while a run timer goes.
//
// Qt asks the window to repaint what changed with one update request after
// any change. While a 1 ms timer runs, that is after every tick, and painting
// at that rate costs most of the run's CPU for pictures no screen shows. So
// a request that comes within a frame of the last repaint is held back until
// the frame is over; the widgets still change on every tick, and the last
// tick's state is always painted.
class RepaintHolder : public QObject {
    Q_OBJECT
public:
    // Watches window's events from now on.
    RepaintHolder(QWidget *window, const TickTimer &run);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QWidget *m_window;
    const TickTimer &m_run;
    QElapsedTimer m_sinceRepaint;
    QBasicTimer m_held;
};
