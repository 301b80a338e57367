// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/cardrules.h"

#include <cmath>
#include <cstdio>

namespace CardRules {

std::int16_t cardFromUniform(double r)
{
    const auto index = static_cast<std::int16_t>(std::floor(r * kCardCount + 1));
    return index > kCardCount ? kCardCount : (index < 1 ? 1 : index);
}

std::string formatRatio(float value)
{
    // A float has 24 significant bits and 10^7 needs 17, so the product is
    // exact in double and std::round sees the true tie (1/256 -> 0.0039063).
    const double scaled = std::round(std::fabs(static_cast<double>(value)) * 1e7);
    const auto units = static_cast<long long>(scaled);
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%07lld", value < 0 && units != 0 ? "-" : "", units / 10000000,
                  units % 10000000);
    return text;
}

std::string formatCount(std::int32_t value)
{
    return std::to_string(value);
}

float theoreticalProbability()
{
    return 16.0f / 52.0f;
}

std::string cardName(std::int16_t index)
{
    static const char *const suits[] = {"スペード", "クローバ", "ハート", "ダイヤ"};
    if (index < 1 || index > kCardCount)
        return {};
    static const char *const courts[] = {"エース", "ジャック", "クイーン", "キング"};
    const int rank = rankOf(index);
    const std::string rankText = rank == 1 ? courts[0] : rank > 10 ? courts[rank - 10] : std::to_string(rank);
    return std::string(suits[static_cast<int>(suitOf(index))]) + "の" + rankText;
}

} // namespace CardRules
