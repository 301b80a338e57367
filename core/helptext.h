// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>
#include <vector>

class Canvas;

// The text of the help window: the problem the experiment explores and how
// to operate the main window.
namespace HelpText {

struct Line {
    int indent;       // leading ideographic spaces (U+3000)
    const char *text; // the words after the indent, UTF-8
};

inline constexpr int kLineCount = 23;

const std::array<Line, kLineCount> &entries();

// One printable line: the indent followed by the words; empty outside the text.
std::string line(int index);
std::vector<std::string> lines();

// The help window's picture: cleared first, so however often it is drawn
// the text is there exactly once.
void print(Canvas &canvas);

} // namespace HelpText
