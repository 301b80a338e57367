// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// The windows as designed, before any handler runs: captions, places,
// fonts, colours and tab order, in pixels at 96 dpi. Each front builds its
// windows from these tables with one loop a kind of control. Texts are
// UTF-8.
namespace Design {

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

struct Line {
    int x1;
    int y1;
    int x2;
    int y2;
};

// A font of the design face; pixelSize 0 means the platform's default
// dialog font instead.
struct Font {
    int pixelSize;
    bool bold;
};

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// A colour either fixed or taken from the system by its role.
struct Colour {
    enum class Role { Fixed, WindowText, ButtonText, ButtonFace };
    Role role;
    Rgb rgb; // for Fixed
};

inline constexpr const char *kDesignFace = "ＭＳ Ｐゴシック";

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kLightYellow{255, 255, 192};

inline constexpr Colour kWindowText{Colour::Role::WindowText, {}};
inline constexpr Colour kButtonText{Colour::Role::ButtonText, {}};
inline constexpr Colour kButtonFace{Colour::Role::ButtonFace, {}};
inline constexpr Colour kRedInk{Colour::Role::Fixed, kRed};
inline constexpr Colour kWhiteGround{Colour::Role::Fixed, kWhite};
inline constexpr Colour kLightYellowGround{Colour::Role::Fixed, kLightYellow};

struct Button {
    int number; // CommandN
    const char *caption;
    Rect rect;
    Font font;
};

// A fixed-size box with a single-line border and its text centred.
struct Label {
    int number; // LabelN
    const char *text;
    Rect rect;
    bool bold;
    Colour ink;
    Colour ground;
};

// Which caption box says what a value box's number is: the counts have one
// caption each, and each ratio is the quotient of the two captions of its
// block. Read only by assistive tools.
struct CaptionLink {
    int value;   // LabelN
    int caption; // LabelN
};

namespace Form1 {

inline constexpr const char *kCaption = " Tavelk";
// The client area's place on the screen and its size.
inline constexpr Rect kClient{232, 136, 568, 351};
inline constexpr Colour kBackground = kButtonFace;
inline constexpr Rect kCards{248, 208, 73, 105};
// Line1, 1 px in the window-text colour, across the whole client area.
inline constexpr Line kLine{0, 24, 568, 24};
inline constexpr int kLabelPixelSize = 21;

// In tab order.
inline constexpr Button kButtons[] = {
    {1, "トランプを引く", {368, 264, 145, 33}, {16, true}},
    {2, "トランプをきる", {368, 224, 145, 33}, {16, true}},
    {3, "終了", {0, 0, 57, 25}, {0, false}},
    {4, "自動 Start", {56, 208, 145, 33}, {16, true}},
    {5, "自動 Stop", {56, 248, 145, 33}, {16, true}},
    {6, "初期化", {512, 0, 57, 25}, {15, false}},
    {7, "グラフ表示", {56, 296, 145, 25}, {15, true}},
    {8, "HELP", {456, 0, 57, 25}, {15, false}},
};

// From top to bottom, all at kLabelPixelSize.
inline constexpr Label kLabels[] = {
    {13, "Tavelk", {144, 0, 281, 25}, true, kWindowText, kLightYellowGround},
    {12, "３の倍数のカードの全枚数", {16, 48, 281, 25}, false, kWindowText, kWhiteGround},
    {9, "16", {304, 48, 81, 25}, false, kWindowText, kWhiteGround},
    {8, "≒", {392, 64, 33, 25}, false, kWindowText, kWhiteGround},
    {7, "", {432, 64, 121, 25}, false, kWindowText, kWhiteGround},
    {11, "トランプカードの全枚数", {16, 80, 281, 25}, false, kWindowText, kWhiteGround},
    {10, "52", {304, 80, 81, 25}, false, kWindowText, kWhiteGround},
    {1, "引いた３の倍数のカード枚数", {16, 128, 281, 25}, true, kButtonText, kWhiteGround},
    {4, "", {304, 128, 81, 25}, true, kRedInk, kWhiteGround},
    {5, "≒", {392, 144, 33, 25}, true, kButtonText, kWhiteGround},
    {6, "", {432, 144, 121, 25}, true, kRedInk, kWhiteGround},
    {2, "引いた全カード枚数", {16, 160, 281, 25}, true, kButtonText, kWhiteGround},
    {3, "", {304, 160, 81, 25}, true, kRedInk, kWhiteGround},
};

inline constexpr CaptionLink kCaptionLinks[] = {
    {9, 12}, {10, 11}, {7, 12}, {7, 11}, {4, 1}, {3, 2}, {6, 1}, {6, 2},
};

} // namespace Form1

// The graph and help windows: a "閉じる" button in the top row with a rule
// under it, and a picture drawn on every activation.
struct Picture {
    Rect rect;
    int border; // sunken, on each side
    // User units across and down the drawing area (the rect less the border).
    double scaleWidth;
    double scaleHeight;
    Font font;
    Rgb background;
    const char *accessibleName;
    // Text to assistive tools (the lines printed on it) rather than a
    // picture described in words.
    bool readable;
};

struct CanvasWindow {
    const char *caption;
    Rect client;
    Rect closeButton;
    Font closeFont;
    Line rule;
    Picture picture;
    bool pictureFirstInTabOrder;
};

inline constexpr const char *kCloseCaption = "閉じる";

inline constexpr Picture kGraphPicture{
    .rect = {8, 40, 633, 321},
    .border = 2,
    .scaleWidth = 1100,
    .scaleHeight = 120,
    .font = {0, false},
    .background = kWhite,
    .accessibleName = "割合のグラフ",
    .readable = false,
};

inline constexpr CanvasWindow kForm2{
    .caption = " グラフ",
    .client = {211, 113, 650, 378},
    .closeButton = {584, 0, 65, 25},
    .closeFont = {0, false},
    .rule = {0, 24, 648, 24},
    .picture = kGraphPicture,
    .pictureFirstInTabOrder = true,
};

// The help canvas measures in twips, 15 to the pixel.
inline constexpr Picture kHelpPicture{
    .rect = {8, 32, 553, 449},
    .border = 2,
    .scaleWidth = (553 - 2 * 2) * 15,
    .scaleHeight = (449 - 2 * 2) * 15,
    .font = {15, false},
    .background = kWhite,
    .accessibleName = "ヘルプ（設問と操作方法）",
    .readable = true,
};

inline constexpr CanvasWindow kForm4{
    .caption = " Tavelk＿ヘルプ（設問と操作方法）",
    .client = {232, 149, 570, 488},
    .closeButton = {504, 0, 57, 25},
    .closeFont = {0, false},
    .rule = {8, 24, 560, 24},
    .picture = kHelpPicture,
    .pictureFirstInTabOrder = false,
};

// The modal exit question: Yes is the default, Escape answers No, no icon.
struct ExitBox {
    const char *title;
    const char *question;
    const char *yes;
    const char *no;
};

inline constexpr ExitBox kExitBox{"トランプ", "終了していいですか？", "はい", "いいえ"};

} // namespace Design
