// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/cueplayer.h"

#include "sound/wavefile.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A cue heard late is worse than none.
constexpr auto kCueDeadline = std::chrono::milliseconds(1000);
// How long a connection may take before the server counts as not answering.
constexpr auto kConnectDeadline = std::chrono::milliseconds(1000);
constexpr auto kRetryInterval = std::chrono::seconds(2);
// The server starts playing once this much is written; short keeps the
// onset close to the request. The whole cue is written at once all the same.
constexpr int kTargetMs = 50;

// The cue sequence as it built up since the thread last looked: later
// requests fold into it, so a backlog plays only the latest cue.
struct Request {
    bool prepare = false;
    bool stop = false;
    bool close = false;
    std::optional<std::string> fileName;
    bool open = false;
    bool sound = false;
    Clock::time_point soundAt;
};

// The client library is loaded by name on the sound thread: linked, it and
// the dozen libraries it pulls in would load before the first window.
#define TAVELK_PULSE_FUNCTIONS(X)                                                                                      \
    X(pa_mainloop_new)                                                                                                 \
    X(pa_mainloop_free)                                                                                                \
    X(pa_mainloop_get_api)                                                                                             \
    X(pa_mainloop_prepare)                                                                                             \
    X(pa_mainloop_poll)                                                                                                \
    X(pa_mainloop_dispatch)                                                                                            \
    X(pa_proplist_new)                                                                                                 \
    X(pa_proplist_sets)                                                                                                \
    X(pa_proplist_free)                                                                                                \
    X(pa_context_new_with_proplist)                                                                                    \
    X(pa_context_connect)                                                                                              \
    X(pa_context_disconnect)                                                                                           \
    X(pa_context_unref)                                                                                                \
    X(pa_context_get_state)                                                                                            \
    X(pa_context_set_state_callback)                                                                                   \
    X(pa_stream_new_with_proplist)                                                                                     \
    X(pa_stream_connect_playback)                                                                                      \
    X(pa_stream_disconnect)                                                                                            \
    X(pa_stream_unref)                                                                                                 \
    X(pa_stream_get_state)                                                                                             \
    X(pa_stream_set_state_callback)                                                                                    \
    X(pa_stream_write)                                                                                                 \
    X(pa_stream_drain)                                                                                                 \
    X(pa_operation_unref)                                                                                              \
    X(pa_usec_to_bytes)

struct Pulse {
#define TAVELK_DECLARE(name) decltype(&::name) name = nullptr;
    TAVELK_PULSE_FUNCTIONS(TAVELK_DECLARE)
#undef TAVELK_DECLARE

    bool load()
    {
        // Never unloaded: the library's own threads and handlers may outlive us.
        void *library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
#define TAVELK_RESOLVE(name)                                                                                           \
    name = reinterpret_cast<decltype(name)>(dlsym(library, #name));                                                    \
    if (!name)                                                                                                         \
        return false;
        TAVELK_PULSE_FUNCTIONS(TAVELK_RESOLVE)
#undef TAVELK_RESOLVE
        return true;
    }
};

struct Cue {
    std::string path;
    std::string name;
    WaveFile::Layout layout;
    std::vector<std::uint8_t> samples;
};

// A file is read again only when one of these changed.
struct FileKey {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};

    static FileKey of(const struct stat &st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
    bool operator==(const FileKey &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
            && modified.tv_nsec == o.modified.tv_nsec;
    }
};

struct CacheEntry {
    FileKey key;
    std::shared_ptr<const Cue> cue;
    std::string refusal;
};

pa_sample_format_t sampleFormat(WaveFile::Samples samples)
{
    switch (samples) {
    case WaveFile::Samples::UInt8:
        return PA_SAMPLE_U8;
    case WaveFile::Samples::Int16:
        return PA_SAMPLE_S16LE;
    case WaveFile::Samples::Int24:
        return PA_SAMPLE_S24LE;
    case WaveFile::Samples::Int32:
        return PA_SAMPLE_S32LE;
    case WaveFile::Samples::Float32:
        return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

// Reads at most one byte more than the file held when looked at (a file
// that grew meanwhile is noticed, not read whole), and never more than
// limit + 1 bytes.
bool readAll(int fd, std::vector<std::uint8_t> &into, off_t size, std::size_t limit)
{
    into.resize(std::min(std::size_t(size), limit) + 1);
    std::size_t got = 0;
    while (got < into.size()) {
        const ssize_t n = ::read(fd, into.data() + got, into.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    into.resize(got);
    return true;
}

} // namespace

struct CuePlayer::Shared {
    std::mutex mutex;
    Request pending;
    unsigned long posted = 0;
    unsigned long handled = 0;
    bool quit = false;
    Outcome outcome;
    int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);

    ~Shared()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    void wake() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }
};

namespace {

// Everything below runs on the sound thread alone.
class Worker {
public:
    Worker(std::shared_ptr<CuePlayer::Shared> shared, std::vector<std::string> dirs, CuePlayer::Identity identity)
        : m_shared(std::move(shared)), m_dirs(std::move(dirs)), m_identity(std::move(identity))
    {
    }

    void run()
    {
        while (takeRequests()) {
            if (m_loop) {
                if (m_pa.pa_mainloop_prepare(m_loop, timeoutUs()) < 0 || m_pa.pa_mainloop_poll(m_loop) < 0)
                    break;
                m_pa.pa_mainloop_dispatch(m_loop);
                afterDispatch();
            } else {
                pollfd wake{m_shared->wakeFd, POLLIN, 0};
                ::poll(&wake, 1, -1);
                drainWake();
            }
        }
        shutDown();
    }

private:
    bool takeRequests()
    {
        Request request;
        unsigned long upTo = 0;
        {
            const std::lock_guard lock(m_shared->mutex);
            if (m_shared->quit)
                return false;
            request = std::exchange(m_shared->pending, {});
            upTo = m_shared->posted;
        }
        if (request.stop)
            stopStream();
        if (request.close)
            m_opened.reset();
        if (request.fileName)
            m_fileName = *request.fileName;
        if (request.open)
            openCue();
        if (request.prepare && loadPulse())
            connectIfDue();
        if (request.sound && m_opened)
            play(m_opened, request.soundAt + kCueDeadline);
        const std::lock_guard lock(m_shared->mutex);
        m_shared->handled = upTo;
        return true;
    }

    void drainWake()
    {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_shared->wakeFd, &count, sizeof count);
    }

    // ---- files

    // The first folder holding a file of that name decides: a broken file
    // there is silence, not a reason to look further.
    void openCue()
    {
        m_opened.reset();
        std::string refusal;
        for (const std::string &dir : m_dirs) {
            const std::string path = dir + '/' + m_fileName;
            struct stat st = {};
            if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            const CacheEntry &entry = cached(path, st);
            m_opened = entry.cue;
            refusal = entry.refusal;
            break;
        }
        const std::lock_guard lock(m_shared->mutex);
        m_shared->outcome = {m_opened ? m_opened->path : std::string(), refusal};
    }

    const CacheEntry &cached(const std::string &path, const struct stat &st)
    {
        CacheEntry &entry = m_cache[path];
        if (entry.key == FileKey::of(st) && (entry.cue || !entry.refusal.empty()))
            return entry;
        entry = {FileKey::of(st), nullptr, {}};
        std::string why;
        std::vector<std::uint8_t> bytes;
        if (std::uint64_t(st.st_size) > WaveFile::kMaxFileBytes) {
            why = WaveFile::tooLarge();
        } else {
            // Not blocking on a file that turned into a pipe since it was looked at.
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            struct stat now = {};
            if (fd < 0 || ::fstat(fd, &now) != 0 || !S_ISREG(now.st_mode)
                || !readAll(fd, bytes, now.st_size, WaveFile::kMaxFileBytes))
                why = "cannot be read";
            if (fd >= 0)
                ::close(fd);
        }
        if (why.empty()) {
            const WaveFile::Result wave = WaveFile::parse(bytes);
            if (wave.ok) {
                auto cue = std::make_shared<Cue>();
                cue->path = path;
                cue->name = m_fileName;
                cue->layout = wave.layout;
                const auto from = bytes.begin() + std::ptrdiff_t(wave.layout.dataAt);
                cue->samples.assign(from, from + std::ptrdiff_t(wave.layout.dataSize));
                entry.cue = std::move(cue);
                return entry;
            }
            why = wave.why;
        }
        entry.refusal = "tavelk: " + path + ": not played: " + why;
        std::fprintf(stderr, "%s\n", entry.refusal.c_str());
        return entry;
    }

    // ---- the sound server

    bool loadPulse()
    {
        if (!m_pulseTried) {
            m_pulseTried = true;
            if (m_pa.load() && (m_loop = m_pa.pa_mainloop_new())) {
                m_api = m_pa.pa_mainloop_get_api(m_loop);
                m_wakeEvent = m_api->io_new(m_api, m_shared->wakeFd, PA_IO_EVENT_INPUT, onWake, this);
            }
        }
        return m_loop != nullptr;
    }

    pa_proplist *properties(const char *mediaName)
    {
        pa_proplist *list = m_pa.pa_proplist_new();
        m_pa.pa_proplist_sets(list, PA_PROP_APPLICATION_NAME, m_identity.name.c_str());
        m_pa.pa_proplist_sets(list, PA_PROP_APPLICATION_ICON_NAME, m_identity.iconName.c_str());
        m_pa.pa_proplist_sets(list, PA_PROP_APPLICATION_ID, m_identity.id.c_str());
        if (mediaName) {
            m_pa.pa_proplist_sets(list, PA_PROP_MEDIA_ROLE, "event");
            m_pa.pa_proplist_sets(list, PA_PROP_MEDIA_NAME, mediaName);
        }
        return list;
    }

    void connectIfDue()
    {
        const auto now = Clock::now();
        if (m_context || (m_attempted && now - m_lastAttempt < kRetryInterval))
            return;
        m_attempted = true;
        m_lastAttempt = now;
        m_connectDeadline = now + kConnectDeadline;
        pa_proplist *list = properties(nullptr);
        m_context = m_pa.pa_context_new_with_proplist(m_api, m_identity.name.c_str(), list);
        m_pa.pa_proplist_free(list);
        if (!m_context)
            return;
        m_contextReady = false;
        m_contextDead = false;
        m_pa.pa_context_set_state_callback(m_context, onContextState, this);
        if (m_pa.pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            m_contextDead = true;
    }

    void dropContext()
    {
        stopStream();
        m_waiting.reset();
        if (!m_context)
            return;
        m_pa.pa_context_set_state_callback(m_context, nullptr, nullptr);
        m_pa.pa_context_disconnect(m_context);
        m_pa.pa_context_unref(m_context);
        m_context = nullptr;
        m_contextReady = false;
        m_contextDead = false;
    }

    void play(std::shared_ptr<const Cue> cue, Clock::time_point deadline)
    {
        stopStream();
        if (!loadPulse())
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

    void startStream(std::shared_ptr<const Cue> cue, Clock::time_point deadline)
    {
        const WaveFile::Layout &layout = cue->layout;
        const pa_sample_spec format{sampleFormat(layout.samples), std::uint32_t(layout.rate),
                                    std::uint8_t(layout.channels)};
        pa_proplist *list = properties(cue->name.c_str());
        m_stream = m_pa.pa_stream_new_with_proplist(m_context, cue->name.c_str(), &format, nullptr, list);
        m_pa.pa_proplist_free(list);
        if (!m_stream)
            return;
        m_streamCue = std::move(cue);
        m_streamDeadline = deadline;
        m_streamWritten = false;
        m_streamDone = false;
        m_pa.pa_stream_set_state_callback(m_stream, onStreamState, this);
        const auto unset = std::uint32_t(-1);
        const pa_buffer_attr buffer{unset, std::uint32_t(m_pa.pa_usec_to_bytes(kTargetMs * 1000, &format)), unset,
                                    unset, unset};
        if (m_pa.pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0)
            m_streamDone = true;
    }

    void stopStream()
    {
        m_waiting.reset();
        if (!m_stream)
            return;
        m_pa.pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        m_pa.pa_stream_disconnect(m_stream);
        m_pa.pa_stream_unref(m_stream);
        m_stream = nullptr;
        m_streamCue.reset();
    }

    void streamReady()
    {
        if (Clock::now() > m_streamDeadline) {
            m_streamDone = true;
            return;
        }
        // All of it at once: the server holds the whole cue and plays it out.
        const std::vector<std::uint8_t> &samples = m_streamCue->samples;
        m_pa.pa_stream_write(m_stream, samples.data(), samples.size(), nullptr, 0, PA_SEEK_RELATIVE);
        m_streamWritten = true;
        // Draining also starts a cue shorter than the server's start threshold.
        if (pa_operation *drain = m_pa.pa_stream_drain(m_stream, onDrained, this))
            m_pa.pa_operation_unref(drain);
    }

    int timeoutUs() const
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
    void afterDispatch()
    {
        const auto now = Clock::now();
        if (m_stream && (m_streamDone || (!m_streamWritten && now >= m_streamDeadline))) {
            // A stream the server never answered means the server stopped
            // answering: the next cue starts over on a new connection.
            const bool unanswered = !m_streamDone;
            stopStream();
            if (unanswered)
                dropContext();
        }
        if (m_context && (m_contextDead || (!m_contextReady && now >= m_connectDeadline)))
            dropContext();
        if (m_waiting && now >= m_waitingDeadline)
            m_waiting.reset();
    }

    void shutDown()
    {
        dropContext();
        if (m_wakeEvent)
            m_api->io_free(m_wakeEvent);
        if (m_loop)
            m_pa.pa_mainloop_free(m_loop);
    }

    static void onWake(pa_mainloop_api *, pa_io_event *, int, pa_io_event_flags_t, void *self)
    {
        static_cast<Worker *>(self)->drainWake();
    }

    static void onContextState(pa_context *context, void *userdata)
    {
        auto *self = static_cast<Worker *>(userdata);
        switch (self->m_pa.pa_context_get_state(context)) {
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

    static void onStreamState(pa_stream *stream, void *userdata)
    {
        auto *self = static_cast<Worker *>(userdata);
        if (stream != self->m_stream)
            return;
        switch (self->m_pa.pa_stream_get_state(stream)) {
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

    static void onDrained(pa_stream *stream, int, void *userdata)
    {
        auto *self = static_cast<Worker *>(userdata);
        if (stream == self->m_stream)
            self->m_streamDone = true;
    }

    std::shared_ptr<CuePlayer::Shared> m_shared;
    const std::vector<std::string> m_dirs;
    const CuePlayer::Identity m_identity;

    std::string m_fileName;
    std::shared_ptr<const Cue> m_opened;
    std::map<std::string, CacheEntry> m_cache;

    Pulse m_pa;
    bool m_pulseTried = false;
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
    std::shared_ptr<const Cue> m_waiting;
    Clock::time_point m_waitingDeadline;

    pa_stream *m_stream = nullptr;
    std::shared_ptr<const Cue> m_streamCue;
    Clock::time_point m_streamDeadline;
    bool m_streamWritten = false;
    bool m_streamDone = false;
};

} // namespace

CuePlayer::CuePlayer(std::vector<std::string> dirs, Identity identity) : m_shared(std::make_shared<Shared>())
{
    if (m_shared->wakeFd < 0)
        return;
    try {
        std::thread([shared = m_shared, dirs = std::move(dirs), identity = std::move(identity)]() mutable {
            pthread_setname_np(pthread_self(), "tavelk-sound");
            Worker(std::move(shared), std::move(dirs), std::move(identity)).run();
        }).detach();
    } catch (const std::system_error &) {
        // No thread, no sound; the requests are still taken and dropped.
    }
}

CuePlayer::~CuePlayer()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->quit = true;
    }
    m_shared->wake();
}

template <typename Edit>
void CuePlayer::post(Edit edit)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        edit(m_shared->pending);
        ++m_shared->posted;
    }
    m_shared->wake();
}

void CuePlayer::stop()
{
    post([](Request &r) {
        r.stop = true;
        r.sound = false;
    });
}

void CuePlayer::close()
{
    post([](Request &r) {
        r.close = true;
        r.open = false;
        r.sound = false;
    });
}

void CuePlayer::setFileName(const std::string &fileName)
{
    post([&](Request &r) { r.fileName = fileName; });
}

void CuePlayer::open()
{
    post([](Request &r) { r.open = true; });
}

void CuePlayer::sound()
{
    post([](Request &r) {
        r.sound = true;
        r.soundAt = Clock::now();
    });
}

void CuePlayer::prepare()
{
    post([](Request &r) { r.prepare = true; });
}

CuePlayer::Outcome CuePlayer::outcome() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->outcome;
}

bool CuePlayer::idle() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->handled == m_shared->posted;
}
