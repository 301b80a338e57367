// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QTimer>

class BoxLabel;
class TickTimer;

// Tells assistive tools of the value boxes' new texts: at once while a run
// timer stands still, and at most once a second while it runs, so that a
// screen reader hears of numbers that change every tick a few times only.
class ValueBoxPublisher {
public:
    explicit ValueBoxPublisher(const TickTimer &run);

    // The boxes told of together while the run goes.
    void setBoxes(const QList<BoxLabel *> &boxes) { m_boxes = boxes; }
    // To be called after a box was given a new text.
    void textChanged(BoxLabel *box);
    // Tells of every box's text now; nothing is left pending.
    void publishAll();
    // Drops what is pending.
    void cancel() { m_pending.stop(); }

private:
    const TickTimer &m_run;
    QList<BoxLabel *> m_boxes;
    QTimer m_pending;
};
