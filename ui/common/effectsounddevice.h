// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/soundcue.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QStringList>
#include <memory>
#include <vector>

class QAudioSink;

// Plays the cues by handing the wave file's samples to a QAudioSink in one
// write: the sound server then holds the whole cue, so it plays to its last
// sample whatever the program does next (unloading the window that asked for
// it included). With no sound server, or after it has gone, a cue is silent
// and nothing waits.
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

    // Connects to the sound server ahead of the first cue, so that the first
    // cue starts as promptly as the others. Best called once the first window
    // is on screen: the connection costs start-up time.
    void prepare();

    // The full path the last file name resolved to; empty if none was found.
    QString resolvedPath() const { return m_path; }

    // Only a file with a sound RIFF/WAVE PCM layout is ever played: anything
    // else is silence, like a missing file.
    static bool isPlayableWave(const QString &path);

private:
    QStringList candidates(const QString &fileName) const;
    QAudioSink *sinkFor(const QAudioFormat &format);

    QStringList m_searchDirs;
    bool m_searchDataDirs = false;
    QString m_path;
    QAudioFormat m_format;
    QByteArray m_samples;
    QAudioSink *m_sink = nullptr; // the open cue's, one of m_sinks
    // One sink per sample format met, kept for the device's lifetime: Qt's
    // sink runs the event loop while it is destroyed, which a click handler
    // must not see.
    std::vector<std::unique_ptr<QAudioSink>> m_sinks;
};
