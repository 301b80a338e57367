// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/randomcard.h"

#include "core/cardrules.h"

#include <chrono>
#include <ctime>

namespace {

constexpr std::int64_t kNsPerDay = 86'400'000'000'000;

// The local time's offset from UTC now, from the broken-down times alone:
// tm_gmtoff is not in every C library the core is built with.
std::int64_t utcOffsetSeconds()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    std::tm utc{};
    if (!localtime_r(&now, &local) || !gmtime_r(&now, &utc))
        return 0;
    const int days =
        local.tm_year != utc.tm_year ? (local.tm_year < utc.tm_year ? -1 : 1) : local.tm_yday - utc.tm_yday;
    return ((std::int64_t(days) * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min) * 60
        + local.tm_sec - utc.tm_sec;
}

} // namespace

SystemClock::SystemClock() : m_utcOffsetNs(utcOffsetSeconds() * 1'000'000'000) {}

std::uint64_t SystemClock::nanosecondsSinceMidnight()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return static_cast<std::uint64_t>(((ns + m_utcOffsetNs) % kNsPerDay + kNsPerDay) % kNsPerDay);
}

std::uint64_t mix64(std::uint64_t x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

void UniformRandom::reseed(std::uint64_t seed)
{
    m_state = mix64(seed);
}

double UniformRandom::next()
{
    m_state += 0x9e3779b97f4a7c15ULL;
    return double(mix64(m_state) >> 11) * 0x1.0p-53;
}

std::int16_t ClockSeededCards::pickCard()
{
    m_random.reseed(m_clock.nanosecondsSinceMidnight());
    return CardRules::cardFromUniform(m_random.next());
}
