// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/form1steps.h"

#include "core/cardrules.h"
#include "core/mainwindowcontroller.h"

namespace Form1Steps {

namespace {

// The counts as the value boxes show them, from the record: after a hand
// draw n is the hand count, after a run the run's count.
std::string counts(const MainWindowController &c, std::int32_t n)
{
    std::string text = "引いた全カード枚数 " + CardRules::formatCount(n) + "、３の倍数 "
        + CardRules::formatCount(c.record().multipleCount);
    if (n > 0) // no ratio before the first draw
        text += "、割合 " + CardRules::formatRatio(c.shared().ratioHistory[std::size_t(n)]);
    return text;
}

} // namespace

void run(MainWindowController &c, Step step)
{
    using C = MainWindowController;
    static constexpr void (C::*handlers[])() = {
        &C::Command1_Click, &C::Command2_Click, &C::Command3_Click, &C::Command4_Click, &C::Command5_Click,
        &C::Command6_Click, &C::Command7_Click, &C::Command8_Click, &C::Timer1_Timer,
    };
    (c.*handlers[static_cast<int>(step) - 1])();
}

bool keepsFocus(Step step)
{
    return step != Step::Command3 && step != Step::Command7 && step != Step::Command8;
}

int preferredFocus(Step step)
{
    switch (step) {
    case Step::Command1:
        return 2;
    case Step::Command2:
        return 1;
    case Step::Command4:
        return 5;
    case Step::Command6:
        return 2;
    default:
        return 0;
    }
}

int focusTarget(int held, int preferred, const std::array<bool, 8> &enabled)
{
    if (preferred >= 1 && preferred <= 8 && enabled[std::size_t(preferred - 1)])
        return preferred;
    const int start = held >= 1 && held <= 8 ? held - 1 : 0;
    for (int step = 1; step < 8; ++step) {
        const int index = (start + step) % 8;
        if (enabled[std::size_t(index)])
            return index + 1;
    }
    return 0;
}

std::string announcement(Step step, const MainWindowController &c, bool wasRunning)
{
    if (step == Step::Command1) {
        // Drawn before the first tick, the card on show is the ace.
        const std::int16_t card = c.record().currentCard == 0 ? 1 : c.record().currentCard;
        return CardRules::cardName(card) + "。" + counts(c, c.shared().manualDrawCount);
    }
    if (step == Step::Command4)
        return "自動実験を始めます";
    if (step == Step::Command6)
        return "初期化しました。実験を最初からやり直します";
    if (wasRunning && c.record().runMode != 1)
        return "自動実験が終わりました。" + counts(c, c.shared().autoDrawCount);
    return {};
}

} // namespace Form1Steps
