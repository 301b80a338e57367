// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>
#include <string>
#include <vector>

// Plays cues on a thread of its own, which owns the file reading, the
// decoding and the connection to the sound server: every call here only
// notes the request and returns, whatever the server or the file system
// does. Requests that pile up while the thread is busy collapse to the
// latest cue.
//
// The sound server's client library is loaded on that thread when first
// needed, so that it costs the program's start-up nothing. A server that
// stops answering is dropped after a second; a server that is gone is tried
// again by the next cue, at most once every couple of seconds. A cue that
// cannot start within a second of its request is not played at all.
class CuePlayer {
public:
    struct Identity {
        std::string name;     // shown by the volume mixer
        std::string iconName; // from the icon theme
        std::string id;       // the desktop entry's id
    };

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
