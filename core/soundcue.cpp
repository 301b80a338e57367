// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/soundcue.h"

void SoundCue(SoundDevice &device, Cue cue)
{
    // A cue is decoration: whatever the player does, the handler that asked
    // for it must go on with its next step. (Built without exceptions, as
    // for the browser, a device has no way to throw.)
#if defined(__cpp_exceptions)
    try {
#endif
        device.stop();
        device.close();
        device.setFileName(cue);
        device.open();
        device.sound();
#if defined(__cpp_exceptions)
    } catch (...) {
    }
#endif
}
