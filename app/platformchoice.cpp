// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"

#include <QtGlobal>
#include <cstdio>

namespace PlatformChoice {

Session Session::current()
{
    return {qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
}

Choice choose(const Session &session)
{
    if (!session.qpaPlatform.isEmpty())
        return {}; // the user's own choice stands
    // Qt would follow XDG_SESSION_TYPE=wayland even with XWayland running.
    if (!session.display.isEmpty())
        return {"xcb", false};
    if (!session.waylandDisplay.isEmpty())
        return {"wayland", true};
    return {}; // no display: Qt's default, and its failure, as usual
}

void apply()
{
    const Choice choice = choose(Session::current());
    if (choice.platform.isEmpty())
        return;
    qputenv("QT_QPA_PLATFORM", choice.platform);
    if (choice.positionsLeftToCompositor) {
        std::fputs("tavelk: no X display (XWayland) in this Wayland session; "
                   "window positions are left to the compositor\n",
                   stderr);
    }
}

} // namespace PlatformChoice
