// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

// A card index 1..52 is 13 * suit + rank; suits run spades, clubs, hearts,
// diamonds, ranks run ace (1) to king (13). Index 0 means "no card yet".
namespace CardRules {

constexpr int kCardCount = 52;
constexpr int kRanksPerSuit = 13;

enum class Suit { Spades = 0, Clubs = 1, Hearts = 2, Diamonds = 3 };

constexpr std::int16_t rankOf(std::int16_t index)
{
    const std::int16_t r = index % kRanksPerSuit;
    return (r == 0 && index != 0) ? kRanksPerSuit : r;
}

constexpr Suit suitOf(std::int16_t index)
{
    return static_cast<Suit>((index - 1) / kRanksPerSuit);
}

constexpr bool isMultipleOfThree(std::int16_t rank)
{
    return rank % 3 == 0;
}

// r is a uniform value in [0, 1); the result is floor(r * 52 + 1), clamped so
// that a value rounding up to 1.0 in the multiplication cannot yield 53.
std::int16_t cardFromUniform(double r);

// "0.0000000": seven decimals, halves away from zero, full stop separator.
std::string formatRatio(float value);
std::string formatCount(std::int32_t value);

// The single-precision 16/52 the theory box shows.
float theoreticalProbability();

// Japanese name of a card, e.g. "スペードの3", as a screen reader says it;
// empty for an index outside 1..52.
std::string cardName(std::int16_t index);

} // namespace CardRules
