// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The text of the help window: the problem the experiment explores and how
// to operate the main window.
namespace HelpText {

struct Line {
    int indent;           // leading ideographic spaces (U+3000)
    const char16_t *text; // the words after the indent
};

inline constexpr int kLineCount = 23;

const std::array<Line, kLineCount> &entries();

// One printable line: the indent followed by the words.
QString line(int index);
QStringList lines();

} // namespace HelpText
