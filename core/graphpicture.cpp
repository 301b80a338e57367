// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/graphpicture.h"

#include "core/canvas.h"
#include "core/cardrules.h"
#include "core/experiment.h"

#include <algorithm>

namespace {

using Design::kBlack;
using Design::kBlue;

void drawFrame(Canvas &c)
{
    c.line(100, 5, 100, 110, kBlack);
    c.line(100, 110, 1100, 110, kBlack);
    for (int y = 10; y <= 100; y += 10)
        c.line(95, y, 105, y, kBlack);
    // The theoretical ratio 16/52 is about 0.30: a dashed guide.
    for (int x = 100; x <= 1080; x += 20)
        c.line(x, 80, x + 10, 80, kBlack);

    const auto label = [&c](double x, double y, const std::string &text) {
        c.setCurrentPosition(x, y);
        c.print(text);
    };
    label(60, 110, "0.00");
    label(60, 77, "0.30");
    label(60, 8, "1.00");

    for (int x = 100; x <= 1000; x += 100)
        c.line(x, 109, x, 111, kBlack);
    for (int n = 100; n <= 900; n += 100)
        label(n + 80, 112, std::to_string(n));

    label(140, 10, "(縦軸はTavelkを引いた割合)");
    label(900, 100, "(横軸は実験回数)");
}

} // namespace

void GraphPicture::draw(Canvas &c, const Module1 &record)
{
    drawFrame(c);
    const auto &history = record.ratioHistory;
    // The ordinate is worked out in single precision, as the record stores it.
    const auto ordinate = [&history](int n) { return 110.0f - 100.0f * history[n]; };
    c.pset(101, ordinate(1), kBlue);
    // The curve's last draw number, kept inside the history.
    const int last = std::min<int>(record.autoDrawCount, Module1::kHistorySize - 1);
    for (int n = 2; n <= last; ++n)
        c.lineTo(n + 100, ordinate(n), kBlue);
    describe(record, last);
}

void GraphPicture::describe(const Module1 &record, int last)
{
    const std::string theory = "理論上の確率 16/52 ≒ " + CardRules::formatRatio(CardRules::theoreticalProbability());
    if (last < 1) {
        m_description = "割合のグラフ。自動実験の記録はまだありません。" + theory;
        return;
    }
    const auto &history = record.ratioHistory;
    const std::vector<float> curve(history.begin() + 1, history.begin() + last + 1);
    const auto sameStart = [&curve](const std::vector<float> &drawn) {
        const std::size_t common = std::min(drawn.size(), curve.size());
        return std::equal(drawn.begin(), drawn.begin() + common, curve.begin());
    };
    const auto found = std::find_if(m_curves.begin(), m_curves.end(), sameStart);
    if (found == m_curves.end())
        m_curves.push_back(curve);
    else if (found->size() < curve.size())
        *found = curve;
    m_description = "実験回数 " + std::to_string(last) + " 回までの割合のグラフ。最初の割合 "
        + CardRules::formatRatio(history[1]) + "、最後の割合 " + CardRules::formatRatio(history[last]) + "。" + theory
        + "。曲線 " + std::to_string(m_curves.size()) + " 本";
}
