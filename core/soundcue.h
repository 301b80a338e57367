// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The open/close device model the cues are driven through: each request is
// one call, and none of them may block or fail loudly.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    virtual void stop() = 0;
    virtual void close() = 0;
    virtual void setFileName(const QString &fileName) = 0;
    virtual void open() = 0;
    virtual void sound() = 0;
};

inline const QString kStartOverCue = QStringLiteral("pinpon.wav");
inline const QString kEndCue = QStringLiteral("endpinpon.wav");

// Stop and close first, so a new cue cuts off one still playing.
void SoundCue(SoundDevice &device, const QString &waveFile);
