// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>

// The half of the experiment record shared by every window. main() owns the
// one instance for the whole process and passes it down; it is never
// cleared, so a graph window can still read it while the main window is
// destroyed and rebuilt around help.
struct Module1 {
    static constexpr int kHistorySize = 100001;

    std::int16_t manualDrawCount = 0;
    std::int32_t autoDrawCount = 0;
    std::array<float, kHistorySize> ratioHistory{};
};

// The half owned by one main window; set afresh by each load.
struct Form1Record {
    std::int16_t runMode = -1;
    std::int16_t currentCard = 0;
    std::int16_t cardRank = 0;
    std::int32_t multipleCount = 0;
    std::int32_t exitAnswer = 0;
    std::int16_t loopIndex = 0;
};
