// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/pulseoutput.h"

#include <memory>
#include <string>
#include <vector>

// Plays cues on a thread of its own, which owns the file reading, the
// desktop's event-sound switch and the connection to the sound server:
// every call here only notes the request and returns, whatever the server,
// the desktop or the file system does. Requests that pile up while the
// thread is busy fold into the latest cue.
class CuePlayer {
public:
    using Identity = PulseOutput::Identity;

    // dirs: the folders a bare file name is looked up in, in order.
    CuePlayer(std::vector<std::string> dirs, Identity identity);
    // Never waits for the thread: a thread stuck in a read is left behind.
    ~CuePlayer();
    CuePlayer(const CuePlayer &) = delete;
    CuePlayer &operator=(const CuePlayer &) = delete;

    // The cue sequence: cut off what plays, forget the open cue, name the
    // next file, open it (look it up, read and check it), make it sound.
    void stop();
    void close();
    void setFileName(const std::string &fileName);
    void open();
    void sound();

    // Loads the client library and connects ahead of the first cue.
    void prepare();

    // What the thread made of the last Open: the path of the cue it opened
    // (empty if none), and the line it printed about a file it turned down.
    // Meaningful once idle() is true.
    struct Outcome {
        std::string openedPath;
        std::string refusal;
    };
    Outcome outcome() const;
    // Every request made so far has been handled (the sound may still be
    // on its way to the server).
    bool idle() const;

    struct Shared;

private:
    template <typename Edit>
    void post(Edit edit);

    std::shared_ptr<Shared> m_shared;
};
