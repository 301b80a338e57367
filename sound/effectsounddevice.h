// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/soundcue.h"
#include "sound/cueplayer.h"

#include <QStringList>

// The cues' wave files, named bare and looked up as below.
inline const QString kStartOverCue = QStringLiteral("pinpon.wav");
inline const QString kEndCue = QStringLiteral("endpinpon.wav");

// Plays the cues through the sound server from a thread of its own
// (CuePlayer): each request returns at once, whatever the server or the
// file system does. A cue is handed to the server whole, so it plays to its
// last sample whatever the program does next (unloading the window that
// asked for it included). With no sound server, or while it is gone or not
// answering, a cue is silent.
// The bare file name is looked up in the program's own folder, then in the
// application's data folders (tavelk under $XDG_DATA_HOME and each entry of
// $XDG_DATA_DIRS), so any installation prefix works; never in the working
// directory.
class EffectSoundDevice final : public SoundDevice {
public:
    EffectSoundDevice();
    // Only these folders, in this order: no data folder lookup.
    explicit EffectSoundDevice(const QStringList &searchDirs);

    void stop() override { m_player.stop(); }
    void close() override { m_player.close(); }
    void setFileName(Cue cue) override { setFileName(cue == Cue::End ? kEndCue : kStartOverCue); }
    // Any wave file by its bare name, as a cue's file would be found.
    void setFileName(const QString &fileName);
    void open() override { m_player.open(); }
    void sound() override { m_player.sound(); }

    // Loads the sound library and connects to the sound server ahead of the
    // first cue, so that the first cue starts as promptly as the others.
    // Best asked for once the first window is on screen.
    void prepare() { m_player.prepare(); }

    // Once idle(): the full path of the cue the last Open found playable
    // (empty if none), and the line printed about a file it turned down.
    bool idle() const { return m_player.idle(); }
    QString resolvedPath() const;
    QString refusal() const;

    // Only a RIFF/WAVE file of PCM or float samples within the size, length
    // and chunk limits is ever played: anything else is silence, like a
    // missing file.
    static bool isPlayableWave(const QString &path);

private:
    CuePlayer m_player;
};
