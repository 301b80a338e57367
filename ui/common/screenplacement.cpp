// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/screenplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenPlacement {

namespace {

// The shift along one axis that brings [low, high] inside [areaLow, areaHigh],
// favouring the low edge when both cannot be inside.
int shift(int low, int high, int areaLow, int areaHigh)
{
    int by = 0;
    if (high > areaHigh)
        by = areaHigh - high;
    if (low + by < areaLow)
        by = areaLow - low;
    return by;
}

} // namespace

QPoint fitted(const QRect &client, const QMargins &frame, const QRect &available)
{
    const QRect outer = client.marginsAdded(frame);
    return client.topLeft()
        + QPoint(shift(outer.left(), outer.right(), available.left(), available.right()),
                 shift(outer.top(), outer.bottom(), available.top(), available.bottom()));
}

void keepOnScreen(QWidget *window)
{
    const QRect client = window->geometry();
    QScreen *screen = QGuiApplication::screenAt(client.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Known only once a window manager has framed the window; zero before.
    const QRect outer = window->frameGeometry();
    const QMargins frame(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                         outer.bottom() - client.bottom());
    const QPoint place = fitted(client, frame, screen->availableGeometry());
    if (place != client.topLeft())
        window->setGeometry(QRect(place, client.size()));
}

} // namespace ScreenPlacement
