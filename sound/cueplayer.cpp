// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/cueplayer.h"

#include "sound/eventsoundswitch.h"

#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Clock = PulseOutput::Clock;

// A cue heard late is worse than none.
constexpr auto kCueDeadline = std::chrono::milliseconds(1000);

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

} // namespace

struct CuePlayer::Shared {
    std::mutex mutex;
    Request pending;
    unsigned long posted = 0;
    unsigned long handled = 0;
    bool quit = false;
    Outcome outcome;
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);

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

// The sound thread: carries out the folded requests in the sequence's order.
void serve(const std::shared_ptr<CuePlayer::Shared> &shared, CueFiles files, PulseOutput &output)
{
    EventSoundSwitch desktop;
    std::string fileName;
    std::shared_ptr<const CueSound> opened;
    do {
        Request request;
        unsigned long upTo = 0;
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->quit)
                return;
            request = std::exchange(shared->pending, {});
            upTo = shared->posted;
        }
        if (request.stop)
            output.stop();
        if (request.close)
            opened.reset();
        if (request.fileName)
            fileName = *request.fileName;
        if (request.open) {
            CueFiles::Found found = files.find(fileName);
            opened = found.cue;
            const std::lock_guard lock(shared->mutex);
            shared->outcome = {opened ? opened->path : std::string(), std::move(found.refusal)};
        }
        if (request.prepare)
            output.prepare();
        // Switched off, a cue is as silent as a missing file: no stream at all.
        if (request.sound && opened && desktop.enabled())
            output.play(opened, request.soundAt + kCueDeadline);
        const std::lock_guard lock(shared->mutex);
        shared->handled = upTo;
    } while (output.wait());
}

} // namespace

CuePlayer::CuePlayer(std::vector<std::string> dirs, Identity identity) : m_shared(std::make_shared<Shared>())
{
    if (m_shared->wakeFd < 0)
        return;
    try {
        std::thread([shared = m_shared, dirs = std::move(dirs), identity = std::move(identity)]() mutable {
            pthread_setname_np(pthread_self(), "tavelk-sound");
            PulseOutput output(std::move(identity), shared->wakeFd);
            serve(shared, CueFiles(std::move(dirs)), output);
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
