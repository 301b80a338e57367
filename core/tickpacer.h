// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <cstdint>

// The schedule of a repeating timer whose ticks keep to a fixed rate: tick n
// is due at start + n * interval, whatever the ticks before it cost, so a
// late tick is followed by an immediate one and the long-run rate is
// exactly one tick per interval. After a stall longer than kMaxBacklog
// intervals (a suspended process, a hidden page) the schedule is moved on
// instead of firing the whole backlog at once.
//
// Times are read from the front's monotonic clock, as a duration since any
// fixed origin.
class TickPacer {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr std::int64_t kMaxBacklog = 10;

    explicit TickPacer(Duration interval) : m_interval(interval) {}

    // (Re)starts the schedule from now; the first tick is one interval away.
    void start(Duration now);
    // A tick has been run.
    void ticked() { ++m_ticks; }
    std::int64_t ticks() const { return m_ticks; }

    // Time left until the next tick is due, 0 if it is due already.
    Duration untilNext(Duration now);
    // How many ticks are due by now and not yet run.
    std::int64_t due(Duration now);

private:
    void catchUp(Duration now);

    Duration m_interval;
    Duration m_anchor{};
    std::int64_t m_ticks = 0; // since the last start
};
