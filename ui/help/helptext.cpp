// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/help/helptext.h"

namespace HelpText {

namespace {

// Kept exactly as written, spelling and spacing included: the lines are
// broken by hand to fit the window, continuation lines one space less deep.
constexpr std::array<Line, kLineCount> kLines{{
    {0, u""},
    {1, u"【問\u3000\u3000題】"},
    {8, u"ここにトランブが１組あります。"},
    {8, u"ジョーカー２枚を除いて５２枚を使います。"},
    {8, u"３の倍数は、スペード、クローバ、ダイヤ、ハートに、それぞれ ３ と ６ と ９ "},
    {7, u"と １２ の４枚ずつあるので、４×４＝１６枚あります。"},
    {8, u"この５２枚のトランプから１枚引いたとき、そのカードが３の倍数である確率"},
    {7, u"を考えます。"},
    {8, u"５２枚のうち１６枚が３の倍数のカードなので、数学的には １６／５２ になり"},
    {7, u"ます。"},
    {8, u"しかし、実際には、１枚ずつトランプを引いては戻すことを５２回行ったら、"},
    {7, u"３の倍数のカードがちょうど１６回出るということはありませんね。"},
    {8, u"では、数学的に求めた理論上の確率の １６／５２ との関係はどうなってい"},
    {7, u"るのでしょうか。"},
    {0, u""},
    {1, u"【操作方法】"},
    {8, u"手動でやる場合は、［トランプをきる］ボタンをクリックし、次に、［トランプを"},
    {7, u"引く］ボタンをクリックします。"},
    {8, u"自動でやる場合は、［自動 Start］ボタンをクリックし、次に、［自動 Stop］"},
    {7, u"ボタンをクリックします。"},
    {8, u"［グラフ表示］ボタンをクリックすると、実験回数と３の倍数のカードを引いた"},
    {7, u"割合の関係がグラフ表示されます。"},
    {8, u"［初期化］ボタンをクリックすると、実験を最初からやり直せます。"},
}};

} // namespace

const std::array<Line, kLineCount> &entries()
{
    return kLines;
}

QString line(int index)
{
    if (index < 0 || index >= kLineCount)
        return {};
    const Line &entry = kLines[static_cast<std::size_t>(index)];
    return QString(entry.indent, QChar(0x3000)) + QString::fromUtf16(entry.text);
}

QStringList lines()
{
    QStringList all;
    all.reserve(kLineCount);
    for (int i = 0; i < kLineCount; ++i)
        all.append(line(i));
    return all;
}

} // namespace HelpText
