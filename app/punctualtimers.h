// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Sets up the process for punctual timers: the Unix event dispatcher (whose
// waits are not cut to whole milliseconds a second time by glib) and a 1 ns
// timer slack (so the kernel wakes us when asked, not up to 50 us later).
// For main() to call before the application object is built; a QT_NO_GLIB
// already set by the user is respected.
void preparePunctualTimers();
