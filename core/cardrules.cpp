// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/cardrules.h"

#include <cmath>

namespace CardRules {

std::int16_t cardFromUniform(double r)
{
    const auto index = static_cast<std::int16_t>(std::floor(r * kCardCount + 1));
    return index > kCardCount ? kCardCount : (index < 1 ? 1 : index);
}

QString formatRatio(float value)
{
    // A float has 24 significant bits and 10^7 needs 17, so the product is
    // exact in double and std::round sees the true tie (1/256 -> 0.0039063).
    const double scaled = std::round(std::fabs(static_cast<double>(value)) * 1e7);
    const auto units = static_cast<long long>(scaled);
    QString text = QString::number(units / 10000000) + QLatin1Char('.')
        + QStringLiteral("%1").arg(units % 10000000, 7, 10, QLatin1Char('0'));
    if (value < 0 && units != 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString formatCount(std::int32_t value)
{
    return QString::number(value);
}

float theoreticalProbability()
{
    return 16.0f / 52.0f;
}

QString cardName(std::int16_t index)
{
    static const char16_t *const suits[] = {u"スペード", u"クローバ", u"ハート", u"ダイヤ"};
    if (index < 1 || index > kCardCount)
        return {};
    static const char16_t *const courts[] = {u"エース", u"ジャック", u"クイーン", u"キング"};
    const int rank = rankOf(index);
    const QString rankText = rank == 1 ? QString::fromUtf16(courts[0])
        : rank > 10                    ? QString::fromUtf16(courts[rank - 10])
                                       : QString::number(rank);
    return QString::fromUtf16(suits[static_cast<int>(suitOf(index))]) + QStringLiteral("の") + rankText;
}

} // namespace CardRules
