// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// The windows open at fixed screen positions, which only an X server lets a
// client choose: a Wayland compositor places every window itself. So when
// the user has named no platform, the program prefers X11, through XWayland
// in a Wayland session, and runs natively on Wayland only when there is no X
// display at all.
namespace PlatformChoice {

// The variables the choice depends on, as the process found them.
struct Session {
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
    QByteArray display;        // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY

    static Session current();
};

struct Choice {
    // The platform to ask Qt for; empty leaves the choice to Qt.
    QByteArray platform;
    // True when the windows cannot be placed and the user should be told.
    bool positionsLeftToCompositor = false;
};

Choice choose(const Session &session);

// Applies the choice for this process before the application object is
// built, and says once on stderr when positions cannot be kept.
void apply();

} // namespace PlatformChoice
