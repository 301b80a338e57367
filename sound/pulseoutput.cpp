// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/pulseoutput.h"

#include "sound/pulselibrary.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr auto kConnectDeadline = std::chrono::milliseconds(1000);
constexpr auto kRetryInterval = std::chrono::seconds(2);
// The server starts playing once this much is written; short keeps the
// onset close to the request. The whole cue is written at once all the same.
constexpr int kTargetMs = 50;

} // namespace

PulseOutput::PulseOutput(Identity identity, int wakeFd)
    : m_identity(std::move(identity)), m_wakeFd(wakeFd), m_pa(std::make_unique<PulseLibrary>())
{
}

PulseOutput::~PulseOutput()
{
    dropContext();
    if (m_wakeEvent)
        m_api->io_free(m_wakeEvent);
    if (m_loop)
        m_pa->pa_mainloop_free(m_loop);
}

bool PulseOutput::load()
{
    if (!m_loadTried) {
        m_loadTried = true;
        if (m_pa->load() && (m_loop = m_pa->pa_mainloop_new())) {
            m_api = m_pa->pa_mainloop_get_api(m_loop);
            const auto onWake = [](pa_mainloop_api *, pa_io_event *, int, pa_io_event_flags_t, void *self) {
                static_cast<PulseOutput *>(self)->drainWake();
            };
            m_wakeEvent = m_api->io_new(m_api, m_wakeFd, PA_IO_EVENT_INPUT, onWake, this);
        }
    }
    return m_loop != nullptr;
}

void PulseOutput::prepare()
{
    if (load())
        connectIfDue();
}

bool PulseOutput::wait()
{
    if (!m_loop) {
        pollfd wake{m_wakeFd, POLLIN, 0};
        ::poll(&wake, 1, -1);
        drainWake();
        return true;
    }
    if (m_pa->pa_mainloop_prepare(m_loop, timeoutUs()) < 0 || m_pa->pa_mainloop_poll(m_loop) < 0)
        return false;
    m_pa->pa_mainloop_dispatch(m_loop);
    afterDispatch();
    return true;
}

void PulseOutput::drainWake()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
}

void PulseOutput::connectIfDue()
{
    const auto now = Clock::now();
    if (m_context || (m_attempted && now - m_lastAttempt < kRetryInterval))
        return;
    m_attempted = true;
    m_lastAttempt = now;
    m_connectDeadline = now + kConnectDeadline;
    pa_proplist *list = m_pa->properties(m_identity.name, m_identity.iconName, m_identity.id, nullptr);
    m_context = m_pa->pa_context_new_with_proplist(m_api, m_identity.name.c_str(), list);
    m_pa->pa_proplist_free(list);
    if (!m_context)
        return;
    m_contextReady = false;
    m_contextDead = false;
    m_pa->pa_context_set_state_callback(m_context, onContextState, this);
    if (m_pa->pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        m_contextDead = true;
}

void PulseOutput::dropContext()
{
    stop();
    if (!m_context)
        return;
    m_pa->pa_context_set_state_callback(m_context, nullptr, nullptr);
    m_pa->pa_context_disconnect(m_context);
    m_pa->pa_context_unref(m_context);
    m_context = nullptr;
    m_contextReady = false;
    m_contextDead = false;
}

void PulseOutput::play(std::shared_ptr<const CueSound> cue, Clock::time_point deadline)
{
    stop();
    if (!load())
        return;
    if (m_context && m_contextReady) {
        startStream(std::move(cue), deadline);
        return;
    }
    connectIfDue();
    if (m_context) {
        m_waiting = std::move(cue);
        m_waitingDeadline = deadline;
    }
}

void PulseOutput::startStream(std::shared_ptr<const CueSound> cue, Clock::time_point deadline)
{
    const WaveFile::Layout &layout = cue->layout;
    const pa_sample_spec format{PulseLibrary::sampleFormat(layout.samples), std::uint32_t(layout.rate),
                                std::uint8_t(layout.channels)};
    pa_proplist *list = m_pa->properties(m_identity.name, m_identity.iconName, m_identity.id, cue->name.c_str());
    m_stream = m_pa->pa_stream_new_with_proplist(m_context, cue->name.c_str(), &format, nullptr, list);
    m_pa->pa_proplist_free(list);
    if (!m_stream)
        return;
    m_streamCue = std::move(cue);
    m_streamDeadline = deadline;
    m_streamWritten = false;
    m_streamDone = false;
    m_pa->pa_stream_set_state_callback(m_stream, onStreamState, this);
    const auto unset = std::uint32_t(-1);
    const pa_buffer_attr buffer{unset, std::uint32_t(m_pa->pa_usec_to_bytes(kTargetMs * 1000, &format)), unset, unset,
                                unset};
    if (m_pa->pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0)
        m_streamDone = true;
}

void PulseOutput::stop()
{
    m_waiting.reset();
    if (!m_stream)
        return;
    m_pa->pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    m_pa->pa_stream_disconnect(m_stream);
    m_pa->pa_stream_unref(m_stream);
    m_stream = nullptr;
    m_streamCue.reset();
}

void PulseOutput::streamReady()
{
    if (Clock::now() > m_streamDeadline) {
        m_streamDone = true;
        return;
    }
    // All of it at once: the server holds the whole cue and plays it out.
    const std::vector<std::uint8_t> &samples = m_streamCue->samples;
    m_pa->pa_stream_write(m_stream, samples.data(), samples.size(), nullptr, 0, PA_SEEK_RELATIVE);
    m_streamWritten = true;
    // Draining also starts a cue shorter than the server's start threshold.
    const auto onDrained = [](pa_stream *stream, int, void *self) {
        auto *output = static_cast<PulseOutput *>(self);
        if (stream == output->m_stream)
            output->m_streamDone = true;
    };
    if (pa_operation *drain = m_pa->pa_stream_drain(m_stream, onDrained, this))
        m_pa->pa_operation_unref(drain);
}

int PulseOutput::timeoutUs() const
{
    std::optional<Clock::time_point> next;
    const auto consider = [&](bool active, Clock::time_point at) {
        if (active && (!next || at < *next))
            next = at;
    };
    consider(m_context && !m_contextReady, m_connectDeadline);
    consider(m_stream && !m_streamWritten, m_streamDeadline);
    consider(bool(m_waiting), m_waitingDeadline);
    if (!next)
        return -1;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(*next - Clock::now()).count();
    return int(std::clamp<long long>(us + 1, 0, 10'000'000));
}

// Objects are let go here, never inside their own callbacks.
void PulseOutput::afterDispatch()
{
    const auto now = Clock::now();
    if (m_stream && (m_streamDone || (!m_streamWritten && now >= m_streamDeadline))) {
        // A stream the server never answered means the server stopped
        // answering: the next cue starts over on a new connection.
        const bool unanswered = !m_streamDone;
        stop();
        if (unanswered)
            dropContext();
    }
    if (m_context && (m_contextDead || (!m_contextReady && now >= m_connectDeadline)))
        dropContext();
    if (m_waiting && now >= m_waitingDeadline)
        m_waiting.reset();
}

void PulseOutput::onContextState(pa_context *context, void *userdata)
{
    auto *self = static_cast<PulseOutput *>(userdata);
    switch (self->m_pa->pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        self->m_contextReady = true;
        if (self->m_waiting && Clock::now() < self->m_waitingDeadline)
            self->startStream(std::exchange(self->m_waiting, nullptr), self->m_waitingDeadline);
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->m_contextDead = true;
        break;
    default:
        break;
    }
}

void PulseOutput::onStreamState(pa_stream *stream, void *userdata)
{
    auto *self = static_cast<PulseOutput *>(userdata);
    if (stream != self->m_stream)
        return;
    switch (self->m_pa->pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        self->streamReady();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        self->m_streamDone = true;
        break;
    default:
        break;
    }
}
