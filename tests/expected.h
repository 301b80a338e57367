// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the windows must show, written down once from the design and not
// from the program's own tables, for every test that checks the layout,
// the captions or the help text. Rectangles are in pixels at 96 dpi: a
// window's client area on the screen, a control's place in its client area.

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

namespace Expected {

struct Window {
    const char16_t *caption;
    QRect client;
    QRect closeButton; // the graph and help windows' only button
};

inline const Window kMainWindow{u" Tavelk", {232, 136, 568, 351}, {}};
inline const Window kGraphWindow{u" グラフ", {211, 113, 650, 378}, {584, 0, 65, 25}};
inline const Window kHelpWindow{u" Tavelk＿ヘルプ（設問と操作方法）", {232, 149, 570, 488}, {504, 0, 57, 25}};

inline constexpr const char16_t *kCloseCaption = u"閉じる";

// The graph's labels and axis captions, each printed with its top-left
// corner at (x, y) in canvas units (1100 x 120 over the drawing area).
struct CanvasText {
    double x;
    double y;
    const char16_t *text;
};

inline const std::array<CanvasText, 14> kGraphTexts{{
    {60, 110, u"0.00"},
    {60, 77, u"0.30"},
    {60, 8, u"1.00"},
    {180, 112, u"100"},
    {280, 112, u"200"},
    {380, 112, u"300"},
    {480, 112, u"400"},
    {580, 112, u"500"},
    {680, 112, u"600"},
    {780, 112, u"700"},
    {880, 112, u"800"},
    {980, 112, u"900"},
    {140, 10, u"(縦軸はTavelkを引いた割合)"},
    {900, 100, u"(横軸は実験回数)"},
}};

struct Button {
    int number; // CommandN
    const char16_t *caption;
    QRect rect;
    int pixelSize; // 0: the platform's default dialog font
    bool bold;
};

// The main window's buttons, Command1 to Command8.
inline const std::array<Button, 8> kButtons{{
    {1, u"トランプを引く", {368, 264, 145, 33}, 16, true},
    {2, u"トランプをきる", {368, 224, 145, 33}, 16, true},
    {3, u"終了", {0, 0, 57, 25}, 0, false},
    {4, u"自動 Start", {56, 208, 145, 33}, 16, true},
    {5, u"自動 Stop", {56, 248, 145, 33}, 16, true},
    {6, u"初期化", {512, 0, 57, 25}, 15, false},
    {7, u"グラフ表示", {56, 296, 145, 25}, 15, true},
    {8, u"HELP", {456, 0, 57, 25}, 15, false},
}};

enum class Ink { WindowText, ButtonText, Red };

struct Label {
    int number;            // LabelN
    const char16_t *shown; // the text at the first display, after loading
    QRect rect;
    bool bold;
    Ink ink;
    QColor background;
};

inline const QColor kWhite{255, 255, 255};
inline const QColor kLightYellow{255, 255, 192};

// The main window's labels from top to bottom; all at 21 px.
inline const std::array<Label, 13> kLabels{{
    {13, u"Tavelk", {144, 0, 281, 25}, true, Ink::WindowText, kLightYellow},
    {12, u"３の倍数のカードの全枚数", {16, 48, 281, 25}, false, Ink::WindowText, kWhite},
    {9, u"16", {304, 48, 81, 25}, false, Ink::WindowText, kWhite},
    {8, u"≒", {392, 64, 33, 25}, false, Ink::WindowText, kWhite},
    {7, u"0.3076923", {432, 64, 121, 25}, false, Ink::WindowText, kWhite},
    {11, u"トランプカードの全枚数", {16, 80, 281, 25}, false, Ink::WindowText, kWhite},
    {10, u"52", {304, 80, 81, 25}, false, Ink::WindowText, kWhite},
    {1, u"引いた３の倍数のカード枚数", {16, 128, 281, 25}, true, Ink::ButtonText, kWhite},
    {4, u"0", {304, 128, 81, 25}, true, Ink::Red, kWhite},
    {5, u"≒", {392, 144, 33, 25}, true, Ink::ButtonText, kWhite},
    {6, u"", {432, 144, 121, 25}, true, Ink::Red, kWhite},
    {2, u"引いた全カード枚数", {16, 160, 281, 25}, true, Ink::ButtonText, kWhite},
    {3, u"0", {304, 160, 81, 25}, true, Ink::Red, kWhite},
}};

inline constexpr QRect kCards{248, 208, 73, 105};

// The help text, line by line: the indent in ideographic spaces (U+3000),
// the words after it, and how many ASCII spaces stand among them, since
// those two kinds of space look alike in the source.
struct HelpLine {
    int indent;
    const char16_t *words;
    int asciiSpaces;
};

inline const std::array<HelpLine, 23> kHelpLines{{
    {0, u"", 0},
    {1, u"【問\u3000\u3000題】", 0},
    {8, u"ここにトランブが１組あります。", 0},
    {8, u"ジョーカー２枚を除いて５２枚を使います。", 0},
    {8, u"３の倍数は、スペード、クローバ、ダイヤ、ハートに、それぞれ ３ と ６ と ９ ", 6},
    {7, u"と １２ の４枚ずつあるので、４×４＝１６枚あります。", 2},
    {8, u"この５２枚のトランプから１枚引いたとき、そのカードが３の倍数である確率", 0},
    {7, u"を考えます。", 0},
    {8, u"５２枚のうち１６枚が３の倍数のカードなので、数学的には １６／５２ になり", 2},
    {7, u"ます。", 0},
    {8, u"しかし、実際には、１枚ずつトランプを引いては戻すことを５２回行ったら、", 0},
    {7, u"３の倍数のカードがちょうど１６回出るということはありませんね。", 0},
    {8, u"では、数学的に求めた理論上の確率の １６／５２ との関係はどうなってい", 2},
    {7, u"るのでしょうか。", 0},
    {0, u"", 0},
    {1, u"【操作方法】", 0},
    {8, u"手動でやる場合は、［トランプをきる］ボタンをクリックし、次に、［トランプを", 0},
    {7, u"引く］ボタンをクリックします。", 0},
    {8, u"自動でやる場合は、［自動 Start］ボタンをクリックし、次に、［自動 Stop］", 2},
    {7, u"ボタンをクリックします。", 0},
    {8, u"［グラフ表示］ボタンをクリックすると、実験回数と３の倍数のカードを引いた", 0},
    {7, u"割合の関係がグラフ表示されます。", 0},
    {8, u"［初期化］ボタンをクリックすると、実験を最初からやり直せます。", 0},
}};

inline QString helpLine(const HelpLine &line)
{
    return QString(line.indent, QChar(0x3000)) + QString::fromUtf16(line.words);
}

inline QStringList helpLines()
{
    QStringList lines;
    for (const HelpLine &line : kHelpLines)
        lines << helpLine(line);
    return lines;
}

// The exit question's box.
struct ExitBox {
    const char16_t *title;
    const char16_t *question;
    const char16_t *yes;
    const char16_t *no;
};

inline const ExitBox kExitBox{u"トランプ", u"終了していいですか？", u"はい", u"いいえ"};

// What a screen reader is told. The card on show is named by its suit and
// rank: spades, clubs, hearts, diamonds; the ace and the court cards by
// name, the others by their number.
inline constexpr const char16_t *kSuitNames[] = {u"スペード", u"クローバ", u"ハート", u"ダイヤ"};
inline constexpr const char16_t *kRankNames[] = {u"エース", u"ジャック", u"クイーン", u"キング"};

inline QString cardName(int index)
{
    if (index < 1 || index > 52)
        return {};
    const int rank = (index - 1) % 13 + 1;
    const QString rankText = rank == 1 ? QString::fromUtf16(kRankNames[0])
        : rank > 10                    ? QString::fromUtf16(kRankNames[rank - 10])
                                       : QString::number(rank);
    return QString::fromUtf16(kSuitNames[(index - 1) / 13]) + QStringLiteral("の") + rankText;
}

struct Sentences {
    const char16_t *runStarted;
    const char16_t *runEnded; // followed by the counts
    const char16_t *initialised;
    const char16_t *afterCard; // between the card's name and the counts
    const char16_t *counts;    // %1 draws, %2 multiples of 3, %3 the ratio
    const char16_t *noRun;     // the graph before any automatic run
    const char16_t *theory;    // %1 the theoretical ratio
    const char16_t *graph;     // %1 draws, %2 first ratio, %3 last, %4 theory, %5 curves
};

inline const Sentences kSentences{
    u"自動実験を始めます",
    u"自動実験が終わりました。",
    u"初期化しました。実験を最初からやり直します",
    u"。",
    u"引いた全カード枚数 %1、３の倍数 %2、割合 %3",
    u"割合のグラフ。自動実験の記録はまだありません。",
    u"理論上の確率 16/52 ≒ %1",
    u"実験回数 %1 回までの割合のグラフ。最初の割合 %2、最後の割合 %3。%4。曲線 %5 本",
};

} // namespace Expected
