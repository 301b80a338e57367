// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/graph/form2.h"

#include "core/cardrules.h"
#include "core/experiment.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"

#include <algorithm>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);

} // namespace

Form2::Form2(const Module1 &record, QWidget *parent)
    : CanvasWindow({QStringLiteral(" グラフ"), QRect(211, 113, 650, 378), QRect(584, 0, 65, 25), QLine(0, 24, 648, 24),
                    QRect(8, 40, 633, 321), /*pictureFirstInTabOrder=*/true},
                   parent),
      m_record(record)
{
    picture()->setFont(Fonts::graphFont());
    picture()->setScale(1100, 120);
    picture()->setAccessibleName(QStringLiteral("割合のグラフ"));
}

// Drawn on every activation without clearing, so earlier curves stay
// visible under the new one for comparison.
void Form2::Form_Activate()
{
    RetainedCanvas::Batch batch(*picture());
    drawFrame();
    drawCurve();
    describeCurve();
}

void Form2::drawFrame()
{
    RetainedCanvas &c = *picture();
    c.line(100, 5, 100, 110, kBlack);
    c.line(100, 110, 1100, 110, kBlack);
    for (int y = 10; y <= 100; y += 10)
        c.line(95, y, 105, y, kBlack);
    // The theoretical ratio 16/52 is about 0.30: a dashed guide.
    for (int x = 100; x <= 1080; x += 20)
        c.line(x, 80, x + 10, 80, kBlack);

    const auto label = [&c](double x, double y, const QString &text) {
        c.setCurrentPosition(x, y);
        c.print(text);
    };
    label(60, 110, QStringLiteral("0.00"));
    label(60, 77, QStringLiteral("0.30"));
    label(60, 8, QStringLiteral("1.00"));

    for (int x = 100; x <= 1000; x += 100)
        c.line(x, 109, x, 111, kBlack);
    for (int n = 100; n <= 900; n += 100)
        label(n + 80, 112, QString::number(n));

    label(140, 10, QStringLiteral("(縦軸はTavelkを引いた割合)"));
    label(900, 100, QStringLiteral("(横軸は実験回数)"));
}

// The curve's last draw number, kept inside the history.
int Form2::lastPlotted() const
{
    return std::min<int>(m_record.autoDrawCount, Module1::kHistorySize - 1);
}

void Form2::drawCurve()
{
    RetainedCanvas &c = *picture();
    const auto &history = m_record.ratioHistory;
    // The ordinate is worked out in single precision, as the record stores it.
    const auto ordinate = [&history](int n) { return 110.0f - 100.0f * history[n]; };

    c.pset(101, ordinate(1), kBlue);
    const int last = lastPlotted();
    for (int n = 2; n <= last; ++n)
        c.lineTo(n + 100, ordinate(n), kBlue);
}

// The picture says nothing to a screen reader, so say in words what it shows.
void Form2::describeCurve()
{
    const int last = lastPlotted();
    const QString theory =
        QStringLiteral("理論上の確率 16/52 ≒ %1").arg(CardRules::formatRatio(CardRules::theoreticalProbability()));
    if (last < 1) {
        picture()->setAccessibleDescription(QStringLiteral("割合のグラフ。自動実験の記録はまだありません。") + theory);
        return;
    }
    const auto &history = m_record.ratioHistory;
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
    picture()->setAccessibleDescription(
        QStringLiteral("実験回数 %1 回までの割合のグラフ。最初の割合 %2、最後の割合 %3。%4。曲線 %5 本")
            .arg(last)
            .arg(CardRules::formatRatio(history[1]), CardRules::formatRatio(history[last]), theory)
            .arg(m_curves.size()));
}
