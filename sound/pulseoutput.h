// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/cuefiles.h"

#include <chrono>
#include <memory>
#include <string>

struct PulseLibrary;
struct pa_context;
struct pa_io_event;
struct pa_mainloop;
struct pa_mainloop_api;
struct pa_stream;

// The connection to the sound server, owned by the sound thread alone,
// which loads its client library when first needed. A server that
// does not answer within a second is let go; a lost one is tried again at
// most every couple of seconds; a cue that cannot start by its deadline is
// dropped, since a cue heard late is worse than none.
class PulseOutput {
public:
    using Clock = std::chrono::steady_clock;
    struct Identity {
        std::string name;     // shown by the volume mixer
        std::string iconName; // from the icon theme
        std::string id;       // the desktop entry's id
    };

    // wakeFd: readable when the thread has new requests; wait() returns then.
    PulseOutput(Identity identity, int wakeFd);
    ~PulseOutput();
    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    // Loads the library and connects ahead of the first cue.
    void prepare();
    // Cuts off what plays and plays the cue whole.
    void play(std::shared_ptr<const CueSound> cue, Clock::time_point deadline);
    void stop();
    // Handles the server's answers until wakeFd is readable; false once
    // the server's main loop broke.
    bool wait();

private:
    bool load();
    void connectIfDue();
    void dropContext();
    void startStream(std::shared_ptr<const CueSound> cue, Clock::time_point deadline);
    void streamReady();
    int timeoutUs() const;
    void afterDispatch();
    void drainWake();
    static void onContextState(pa_context *context, void *self);
    static void onStreamState(pa_stream *stream, void *self);

    const Identity m_identity;
    const int m_wakeFd;
    std::unique_ptr<PulseLibrary> m_pa;
    bool m_loadTried = false;
    pa_mainloop *m_loop = nullptr;
    pa_mainloop_api *m_api = nullptr;
    pa_io_event *m_wakeEvent = nullptr;

    pa_context *m_context = nullptr;
    bool m_contextReady = false;
    bool m_contextDead = false;
    bool m_attempted = false;
    Clock::time_point m_lastAttempt;
    Clock::time_point m_connectDeadline;

    // A cue waiting for the connection to come up.
    std::shared_ptr<const CueSound> m_waiting;
    Clock::time_point m_waitingDeadline;

    pa_stream *m_stream = nullptr;
    std::shared_ptr<const CueSound> m_streamCue;
    Clock::time_point m_streamDeadline;
    bool m_streamWritten = false;
    bool m_streamDone = false;
};
