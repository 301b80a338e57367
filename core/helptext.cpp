// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/helptext.h"

#include "core/canvas.h"

namespace HelpText {

namespace {

// Kept exactly as written, spelling and spacing included: the lines are
// broken by hand to fit the window, continuation lines one space less deep.
constexpr std::array<Line, kLineCount> kLines{{
    {0, ""},
    {1, "【問\u3000\u3000題】"},
    {8, "ここにトランブが１組あります。"},
    {8, "ジョーカー２枚を除いて５２枚を使います。"},
    {8, "３の倍数は、スペード、クローバ、ダイヤ、ハートに、それぞれ ３ と ６ と ９ "},
    {7, "と １２ の４枚ずつあるので、４×４＝１６枚あります。"},
    {8, "この５２枚のトランプから１枚引いたとき、そのカードが３の倍数である確率"},
    {7, "を考えます。"},
    {8, "５２枚のうち１６枚が３の倍数のカードなので、数学的には １６／５２ になり"},
    {7, "ます。"},
    {8, "しかし、実際には、１枚ずつトランプを引いては戻すことを５２回行ったら、"},
    {7, "３の倍数のカードがちょうど１６回出るということはありませんね。"},
    {8, "では、数学的に求めた理論上の確率の １６／５２ との関係はどうなってい"},
    {7, "るのでしょうか。"},
    {0, ""},
    {1, "【操作方法】"},
    {8, "手動でやる場合は、［トランプをきる］ボタンをクリックし、次に、［トランプを"},
    {7, "引く］ボタンをクリックします。"},
    {8, "自動でやる場合は、［自動 Start］ボタンをクリックし、次に、［自動 Stop］"},
    {7, "ボタンをクリックします。"},
    {8, "［グラフ表示］ボタンをクリックすると、実験回数と３の倍数のカードを引いた"},
    {7, "割合の関係がグラフ表示されます。"},
    {8, "［初期化］ボタンをクリックすると、実験を最初からやり直せます。"},
}};

constexpr const char *kIdeographicSpace = "\u3000";

} // namespace

const std::array<Line, kLineCount> &entries()
{
    return kLines;
}

std::string line(int index)
{
    if (index < 0 || index >= kLineCount)
        return {};
    const Line &entry = kLines[static_cast<std::size_t>(index)];
    std::string text;
    for (int i = 0; i < entry.indent; ++i)
        text += kIdeographicSpace;
    return text + entry.text;
}

std::vector<std::string> lines()
{
    std::vector<std::string> all;
    all.reserve(kLineCount);
    for (int i = 0; i < kLineCount; ++i)
        all.push_back(line(i));
    return all;
}

void print(Canvas &canvas)
{
    canvas.cls();
    for (int i = 0; i < kLineCount; ++i)
        canvas.print(line(i));
}

} // namespace HelpText
