// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/soundcue.h"

#include <QStringList>
#include <memory>

class QSoundEffect;

// Plays the cues through QSoundEffect, which never blocks: with no audio
// device it only warns, and a broken file just never becomes ready.
// The bare file name is looked up in the program's own folder, then in the
// application's data folders (tavelk under $XDG_DATA_HOME and each entry of
// $XDG_DATA_DIRS), so any installation prefix works; never in the working
// directory.
class EffectSoundDevice final : public SoundDevice {
public:
    EffectSoundDevice();
    // Only these folders, in this order: no data folder lookup.
    explicit EffectSoundDevice(QStringList searchDirs);
    ~EffectSoundDevice() override;

    void stop() override;
    void close() override;
    void setFileName(const QString &fileName) override;
    void open() override;
    void sound() override;

    // The full path the last file name resolved to; empty if none was found.
    QString resolvedPath() const { return m_path; }

    // QSoundEffect's loader never finishes on an empty or cut-short file, and
    // replacing such a source then blocks the caller for good; so only a file
    // with a sound RIFF/WAVE PCM layout is ever handed to it.
    static bool isPlayableWave(const QString &path);

private:
    QStringList candidates(const QString &fileName) const;

    QStringList m_searchDirs;
    bool m_searchDataDirs = false;
    QString m_path;
    // Created on the first cue: setting up the audio backend costs start-up time.
    std::unique_ptr<QSoundEffect> m_effect;
};
