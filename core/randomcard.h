// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Time of day at full resolution; injectable so tests can step it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t nanosecondsSinceMidnight() = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock();
    std::uint64_t nanosecondsSinceMidnight() override;

private:
    std::int64_t m_utcOffsetNs;
};

// A uniform generator in [0, 1) that can be reseeded (splitmix64 stream).
class UniformRandom {
public:
    void reseed(std::uint64_t seed);
    double next();

private:
    std::uint64_t m_state = 0;
};

// Strong 64-bit finaliser: neighbouring inputs give unrelated outputs.
std::uint64_t mix64(std::uint64_t x);

// Where a tick's card comes from.
class CardSource {
public:
    virtual ~CardSource() = default;
    virtual std::int16_t pickCard() = 0;
};

// Reseeds from the clock before every pick. The seed is the time of day in
// nanoseconds passed through mix64: seeding from whole or single-precision
// seconds would give several 1 ms ticks the same seed and so the same card.
class ClockSeededCards final : public CardSource {
public:
    explicit ClockSeededCards(Clock &clock) : m_clock(clock) {}
    std::int16_t pickCard() override;

private:
    Clock &m_clock;
    UniformRandom m_random;
};
