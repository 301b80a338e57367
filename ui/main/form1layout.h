// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>
#include <span>

// The main window's controls as data, in client-area pixels.
namespace Form1Layout {

constexpr QSize kClientSize{568, 351};
constexpr QPoint kScreenPosition{232, 136};
constexpr QRect kCardRect{248, 208, 73, 105};
constexpr int kLineY = 24;

// Font of a control; pixelSize 0 means the platform's default dialog font.
struct FontSpec {
    int pixelSize;
    bool bold;
};

struct ButtonSpec {
    int number; // CommandN
    const char16_t *caption;
    QRect rect;
    FontSpec font;
};

// A text colour either from the system palette or as RGB.
struct TextColour {
    QPalette::ColorRole role;
    QColor rgb; // used when valid
};

struct LabelSpec {
    int number; // LabelN
    const char16_t *text;
    QRect rect;
    bool bold;
    TextColour colour;
    QColor background;
};

inline const QColor kRed{255, 0, 0};
inline const QColor kWhite{255, 255, 255};
inline const QColor kLightYellow{255, 255, 192};

// Buttons in tab order.
inline const ButtonSpec kButtons[] = {
    {1, u"トランプを引く", {368, 264, 145, 33}, {16, true}},
    {2, u"トランプをきる", {368, 224, 145, 33}, {16, true}},
    {3, u"終了", {0, 0, 57, 25}, {0, false}},
    {4, u"自動 Start", {56, 208, 145, 33}, {16, true}},
    {5, u"自動 Stop", {56, 248, 145, 33}, {16, true}},
    {6, u"初期化", {512, 0, 57, 25}, {15, false}},
    {7, u"グラフ表示", {56, 296, 145, 25}, {15, true}},
    {8, u"HELP", {456, 0, 57, 25}, {15, false}},
};

inline const LabelSpec kLabels[] = {
    {13, u"Tavelk", {144, 0, 281, 25}, true, {QPalette::WindowText, {}}, kLightYellow},
    {12, u"３の倍数のカードの全枚数", {16, 48, 281, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {9, u"16", {304, 48, 81, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {8, u"≒", {392, 64, 33, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {7, u"", {432, 64, 121, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {11, u"トランプカードの全枚数", {16, 80, 281, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {10, u"52", {304, 80, 81, 25}, false, {QPalette::WindowText, {}}, kWhite},
    {1, u"引いた３の倍数のカード枚数", {16, 128, 281, 25}, true, {QPalette::ButtonText, {}}, kWhite},
    {4, u"", {304, 128, 81, 25}, true, {QPalette::WindowText, kRed}, kWhite},
    {5, u"≒", {392, 144, 33, 25}, true, {QPalette::ButtonText, {}}, kWhite},
    {6, u"", {432, 144, 121, 25}, true, {QPalette::WindowText, kRed}, kWhite},
    {2, u"引いた全カード枚数", {16, 160, 281, 25}, true, {QPalette::ButtonText, {}}, kWhite},
    {3, u"", {304, 160, 81, 25}, true, {QPalette::WindowText, kRed}, kWhite},
};

constexpr int kLabelPixelSize = 21;

// Which caption box says what a value box's number is: the counts have one
// caption each, and each ratio is the quotient of the two captions of its
// block. Read only by assistive tools.
struct CaptionLink {
    int value;   // LabelN
    int caption; // LabelN
};

inline constexpr CaptionLink kCaptionLinks[] = {
    {9, 12}, {10, 11}, {7, 12}, {7, 11}, {4, 1}, {3, 2}, {6, 1}, {6, 2},
};

} // namespace Form1Layout
