// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The program's two short sounds. Which file or recording stands behind
// each is the sound device's business.
enum class Cue {
    StartOver, // initialise and help
    End,       // exit, before the question
};

// The open/close device model the cues are driven through: each request is
// one call, and none of them may block or fail loudly.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    virtual void stop() = 0;
    virtual void close() = 0;
    virtual void setFileName(Cue cue) = 0;
    virtual void open() = 0;
    virtual void sound() = 0;
};

// Stop and close first, so a new cue cuts off one still playing.
void SoundCue(SoundDevice &device, Cue cue);
