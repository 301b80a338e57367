// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "faces.h"

#include "pixmask.h"
#include "shapes.h"

#include <array>
#include <utility>
#include <vector>

namespace Faces {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kYellow = 0xFFFFFF00;

// Corner block: rank mark over a small suit symbol, centred on one column.
constexpr int kCornerColumn = 6;
constexpr int kRankTop = 4;
constexpr int kCornerSuitTop = 15;
constexpr int kCornerRight = 12;
constexpr int kCornerBottom = 23;

// Court panel, point-symmetric about the card centre.
constexpr int kPanelLeft = 14;
constexpr int kPanelTop = 6;
constexpr int kMidRow = kHeight / 2;   // 46
constexpr int kMidColumn = kWidth / 2; // 34

using Pt = std::pair<double, double>;

PixMask poly(std::initializer_list<Pt> pts)
{
    return polygonMask(kWidth, kHeight, pts);
}

PixMask oval(double cx, double cy, double rx, double ry)
{
    return ellipseMask(kWidth, kHeight, cx, cy, rx, ry);
}

PixMask box(int x0, int y0, int x1, int y1)
{
    return rectMask(kWidth, kHeight, x0, y0, x1, y1);
}

// A filled part with a one-pixel black edge, the way the figures are inked.
void inked(Canvas &c, const PixMask &m, QRgb fill)
{
    c.stamp(m, 0, 0, fill);
    c.stamp(m.outline(), 0, 0, kBlack);
}

void stampTurned(Canvas &c, const PixMask &m, int cx, int cy, QRgb col)
{
    // Exactly where the 180-degree turn of an upright copy at the mirrored spot lands.
    const int left = (kWidth - 1) - ((kWidth - 1 - cx) - m.width() / 2 + m.width() - 1);
    const int top = (kHeight - 1) - ((kHeight - 1 - cy) - m.height() / 2 + m.height() - 1);
    c.stamp(m.turned(), left, top, col);
}

void drawCorners(Canvas &c, Shapes::Suit suit, int rank, QRgb col)
{
    const PixMask mark = Shapes::rankMark(rank);
    c.stamp(mark, kCornerColumn - mark.width() / 2, kRankTop, col);
    const PixMask s = Shapes::cornerSuit(suit);
    c.stamp(s, kCornerColumn - s.width() / 2, kCornerSuitTop, col);
    c.copyTurned(0, 0, kCornerRight, kCornerBottom);
}

// Pip centres; the middle row is kMidRow and the layout mirrors about it.
struct PipSpot {
    int x;
    int y;
};

std::vector<PipSpot> pipLayout(int rank)
{
    constexpr int L = 21, C = kMidColumn, R = kWidth - 1 - L;
    constexpr int top = 16, bottom = kHeight - 1 - top;
    constexpr int q1 = 37, q3 = kHeight - 1 - q1; // inner rows of a four-high column
    constexpr int mid = kMidRow;
    constexpr int seven = (top + mid) / 2, seven3 = kHeight - 1 - seven;
    constexpr int ten = (top + q1) / 2, ten3 = kHeight - 1 - ten;
    switch (rank) {
    case 2:
        return {{C, top}, {C, bottom}};
    case 3:
        return {{C, top}, {C, mid}, {C, bottom}};
    case 4:
        return {{L, top}, {R, top}, {L, bottom}, {R, bottom}};
    case 5:
        return {{L, top}, {R, top}, {C, mid}, {L, bottom}, {R, bottom}};
    case 6:
        return {{L, top}, {R, top}, {L, mid}, {R, mid}, {L, bottom}, {R, bottom}};
    case 7:
        return {{L, top}, {R, top}, {C, seven}, {L, mid}, {R, mid}, {L, bottom}, {R, bottom}};
    case 8:
        return {{L, top}, {R, top}, {C, seven}, {L, mid}, {R, mid}, {C, seven3}, {L, bottom}, {R, bottom}};
    case 9:
        return {{L, top}, {R, top}, {L, q1}, {R, q1}, {C, mid}, {L, q3}, {R, q3}, {L, bottom}, {R, bottom}};
    case 10:
        return {{L, top}, {R, top}, {C, ten}, {L, q1}, {R, q1}, {L, q3}, {R, q3}, {C, ten3}, {L, bottom}, {R, bottom}};
    }
    return {};
}

void drawPips(Canvas &c, Shapes::Suit suit, int rank, QRgb col)
{
    const PixMask p = Shapes::pip(suit);
    for (const PipSpot &s : pipLayout(rank)) {
        if (s.y > kMidRow)
            stampTurned(c, p, s.x, s.y, col);
        else
            c.stampCentred(p, s.x, s.y, col);
    }
}

void drawAce(Canvas &c, Shapes::Suit suit, QRgb col)
{
    if (suit != Shapes::Suit::Spades) {
        c.stampCentred(Shapes::aceSuit(suit), kMidColumn, kMidRow, col);
        return;
    }
    // The ace of spades carries the maker's flourish: a white inner border,
    // a small spade set in white and a pair of white scrolls on the shoulders.
    const PixMask big = Shapes::grandSpade();
    const int left = kMidColumn - big.width() / 2;
    const int top = kMidRow - big.height() / 2 - 2;
    c.stamp(big, left, top, kBlack);
    const PixMask ring = big.eroded(2).minus(big.eroded(3));
    PixMask inner = ring;
    // Keep the border out of the thin stem so the stem stays solid.
    for (int y = big.height() * 70 / 100; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            inner.set(x, y, false);
    c.stamp(inner, left, top, kWhite);
    const PixMask heartOfIt = PixMask::fromRows({
        ".....#.....",
        "....###....",
        "...#####...",
        "..##...##..",
        ".##.....##.",
        "##...#...##",
        "##..###..##",
        ".##.###.##.",
        "..##.#.##..",
        "....###....",
        "...#####...",
    });
    c.stampCentred(heartOfIt, kMidColumn, top + 23, kWhite);
    const PixMask scroll = PixMask::fromRows({
        ".###.",
        "#...#",
        "#.#.#",
        "#..#.",
        ".#...",
    });
    c.stamp(scroll, kMidColumn - 14, top + 24, kWhite);
    PixMask mirrored(scroll.width(), scroll.height());
    for (int y = 0; y < scroll.height(); ++y)
        for (int x = 0; x < scroll.width(); ++x)
            mirrored.set(scroll.width() - 1 - x, y, scroll.at(x, y));
    c.stamp(mirrored, kMidColumn + 14 - mirrored.width() + 1, top + 24, kWhite);
}

// ---- Court figures: only the upper half is drawn; the lower half is its turn.

// For parts that run through the middle of the card: filled and inked as the
// whole double-ended shape, so no seam is drawn across the waist.
void inkedThrough(Canvas &c, const PixMask &upper, QRgb fill)
{
    inked(c, unite(upper, upper.turned()), fill);
}

void faceFeatures(Canvas &c, int eyesY)
{
    c.setPixel(32, eyesY, kBlack);
    c.setPixel(36, eyesY, kBlack);
    c.line(31, eyesY - 2, 32, eyesY - 2, kBlack);
    c.line(36, eyesY - 2, 37, eyesY - 2, kBlack);
    c.setPixel(34, eyesY + 1, kBlack);
    c.setPixel(34, eyesY + 2, kBlack);
}

void hand(Canvas &c, double cx, double cy)
{
    inked(c, oval(cx, cy, 2.6, 2.3), kWhite);
}

void drawKing(Canvas &c)
{
    // Red robe with an ermine band down the front.
    inkedThrough(c, poly({{15, 47}, {15, 36}, {21, 30}, {48, 30}, {54, 36}, {54, 47}}), kRed);
    inkedThrough(c, poly({{30, 30}, {39, 30}, {38, 47}, {31, 47}}), kYellow);
    for (int y = 33; y <= 45; y += 4) {
        c.setPixel(33, y, kBlack);
        c.setPixel(36, y + 2, kBlack);
    }
    inked(c, poly({{22, 29}, {47, 29}, {44, 33}, {25, 33}}), kYellow); // collar
    for (int x = 27; x <= 42; x += 3)
        c.setPixel(x, 31, kBlack);
    // Sword held upright on his left, our right.
    inked(c, box(46, 10, 49, 34), kWhite);
    c.line(47, 12, 47, 32, kBlack);
    c.setPixel(47, 9, kBlack);
    c.setPixel(48, 9, kBlack);
    inked(c, box(43, 33, 52, 35), kYellow);
    hand(c, 47.5, 38);
    // Hair, face, beard and the pointed crown.
    inked(c, oval(34.5, 22, 8, 8.5), kYellow);
    inked(c, oval(34.5, 21, 5.5, 6.5), kWhite);
    faceFeatures(c, 20);
    inked(c, poly({{28, 23}, {41, 23}, {39.5, 30}, {34.5, 36}, {29.5, 30}}), kYellow);
    c.line(31, 24, 38, 24, kBlack); // moustache
    c.setPixel(30, 25, kBlack);
    c.setPixel(39, 25, kBlack);
    c.line(32, 28, 33, 32, kBlack);
    c.line(37, 28, 36, 32, kBlack);
    inked(c,
          unite(box(27, 13, 42, 16), poly({{27, 14}, {27, 7}, {30.5, 11}, {34.5, 6}, {38.5, 11}, {42, 7}, {42, 14}})),
          kYellow);
    c.setPixel(30, 14, kRed);
    c.setPixel(34, 14, kRed);
    c.setPixel(35, 14, kRed);
    c.setPixel(39, 14, kRed);
    c.setPixel(34, 9, kRed);
    c.setPixel(35, 9, kRed);
}

void drawQueen(Canvas &c)
{
    // Gown: red with a laced yellow bodice.
    inkedThrough(c, poly({{15, 47}, {15, 38}, {22, 33}, {47, 33}, {54, 38}, {54, 47}}), kRed);
    inkedThrough(c, poly({{27, 33}, {42, 33}, {40, 47}, {29, 47}}), kYellow);
    for (int y = 38; y <= 46; y += 3) {
        c.line(32, y, 33, y + 1, kRed);
        c.line(37, y, 36, y + 1, kRed);
    }
    // Long hair falling past the shoulders.
    inked(c, poly({{26, 15}, {43, 15}, {45, 26}, {46, 37}, {40, 37}, {34.5, 28}, {29, 37}, {23, 37}, {24, 26}}),
          kYellow);
    c.line(27, 22, 25, 35, kBlack);
    c.line(42, 22, 44, 35, kBlack);
    inked(c, poly({{31, 28}, {38, 28}, {38, 32}, {34.5, 36}, {31, 32}}), kWhite); // neck
    for (int x = 32; x <= 37; x += 2)
        c.setPixel(x, 33, kRed); // necklace
    inked(c, oval(34.5, 22, 5.5, 6.5), kWhite);
    faceFeatures(c, 21);
    c.line(33, 26, 35, 26, kRed);
    // A rounded tiara, no points.
    inked(c, poly({{27, 17}, {28, 13}, {31, 10}, {38, 10}, {41, 13}, {42, 17}}), kYellow);
    c.setPixel(31, 14, kRed);
    c.setPixel(34, 12, kRed);
    c.setPixel(35, 12, kRed);
    c.setPixel(38, 14, kRed);
    // A flower held up on her right, our left.
    c.line(21, 22, 22, 35, kBlack);
    c.line(21, 29, 18, 27, kBlack);
    c.setPixel(17, 26, kBlack);
    inked(c, oval(21, 18, 4, 4), kRed);
    c.fillRect(20, 17, 21, 18, kYellow);
    hand(c, 22.5, 36);
}

void drawJack(Canvas &c)
{
    // Yellow doublet with red stripes.
    inkedThrough(c, poly({{15, 47}, {15, 37}, {21, 31}, {48, 31}, {54, 37}, {54, 47}}), kYellow);
    inkedThrough(c, poly({{31, 31}, {38, 31}, {38, 47}, {31, 47}}), kRed);
    for (int x : {21, 25, 44, 48})
        c.line(x, 35, x, 46, kRed);
    inked(c, poly({{25, 30}, {44, 30}, {40, 34}, {29, 34}}), kRed); // collar
    // Halberd on our right, below the panel's suit mark.
    c.line(49, 22, 49, 45, kBlack);
    c.line(50, 22, 50, 45, kBlack);
    inked(c, poly({{49.5, 16}, {54, 22}, {54, 26}, {49.5, 24}, {45, 26}, {45, 22}}), kYellow);
    hand(c, 49.5, 36);
    // Short dark hair, a clean-shaven face and a feathered cap.
    inked(c, oval(34.5, 23, 7.5, 7), kBlack);
    inked(c, oval(34.5, 24.5, 5.5, 6.5), kWhite);
    faceFeatures(c, 23);
    c.line(33, 28, 35, 28, kBlack);
    inked(c, oval(34.5, 15.5, 9, 4), kRed);
    inked(c, box(27, 18, 42, 19), kYellow);
    inked(c, poly({{29, 14}, {24, 9}, {17, 7}, {19, 10}, {25, 13}, {28, 16}}), kYellow);
    c.line(28, 15, 19, 9, kBlack);
}

void drawCourt(Canvas &c, Shapes::Suit suit, int rank, QRgb col)
{
    const int right = kWidth - 1 - kPanelLeft;
    switch (rank) {
    case 11:
        drawJack(c);
        break;
    case 12:
        drawQueen(c);
        break;
    default:
        drawKing(c);
        break;
    }
    // Panel frame over anything that strayed onto it.
    c.line(kPanelLeft, kPanelTop, right, kPanelTop, kBlack);
    c.line(kPanelLeft, kPanelTop, kPanelLeft, kMidRow, kBlack);
    c.line(right, kPanelTop, right, kMidRow, kBlack);

    const PixMask s = Shapes::cornerSuit(suit);
    const int sx = rank == 13 ? kPanelLeft + 5 : right - 5;
    const int sy = kPanelTop + 6;
    // Clear a little room so the symbol reads against the figure.
    c.fillRect(sx - s.width() / 2 - 1, sy - s.height() / 2 - 1, sx - s.width() / 2 + s.width(),
               sy - s.height() / 2 + s.height(), kWhite);
    c.stampCentred(s, sx, sy, col);
    c.line(kPanelLeft, kPanelTop, right, kPanelTop, kBlack);
    c.line(kPanelLeft, kPanelTop, kPanelLeft, kMidRow, kBlack);
    c.line(right, kPanelTop, right, kMidRow, kBlack);

    // Double-ended: the lower half is the upper half turned, and the middle
    // row is made point-symmetric too.
    c.copyTurned(0, 0, kWidth - 1, kMidRow - 1);
    c.copyTurned(0, kMidRow, kMidColumn - 1, kMidRow);
}

} // namespace

QImage card(int index)
{
    const auto suit = static_cast<Shapes::Suit>((index - 1) / 13);
    const int rank = (index - 1) % 13 + 1;
    const QRgb col = (suit == Shapes::Suit::Hearts || suit == Shapes::Suit::Diamonds) ? kRed : kBlack;

    Canvas c(kWidth, kHeight, kWhite);
    if (rank == 1)
        drawAce(c, suit, col);
    else if (rank <= 10)
        drawPips(c, suit, rank, col);
    else
        drawCourt(c, suit, rank, col);
    drawCorners(c, suit, rank, col);
    return c.image().convertToFormat(QImage::Format_RGB888);
}

namespace {

// The icon is designed on a 32 x 32 grid.
constexpr int kIconGrid = 32;

PixMask iconSpade32()
{
    PixMask big = PixMask::fromRows({
        ".......##.......",
        "......####......",
        ".....######.....",
        "....########....",
        "...##########...",
        "..############..",
        ".##############.",
        "################",
        "################",
        "################",
        "################",
        ".##############.",
        "..####.##.####..",
        ".......##.......",
        "......####......",
        ".....######.....",
        "....########....",
    });
    PixMask whole(kIconGrid, kIconGrid);
    const PixMask ring = big.eroded(2).minus(big.eroded(3));
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            whole.set(8 + x, 8 + y, big.at(x, y) && !(y < 11 && ring.at(x, y)));
    return whole;
}

PixMask iconCorner32()
{
    const PixMask a = PixMask::fromRows({
        ".#.",
        "#.#",
        "###",
        "#.#",
        "#.#",
    });
    const PixMask s = PixMask::fromRows({
        "..#..",
        ".###.",
        "#####",
        "#####",
        "..#..",
        ".###.",
    });
    PixMask corner(8, 15);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            corner.set(2 + x, 2 + y, a.at(x, y));
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            corner.set(1 + x, 8 + y, s.at(x, y));
    return corner;
}

// Nearest design cell for an output pixel, mirrored so a symmetric design
// stays symmetric at sizes that are not a multiple of the grid.
int designCell(int p, int size)
{
    const auto cell = [size](int q) { return (2 * q + 1) * kIconGrid / (2 * size); };
    return 2 * p < size ? cell(p) : kIconGrid - 1 - cell(size - 1 - p);
}

} // namespace

QImage icon(int size)
{
    constexpr QRgb kEdge = 0xFFA0A0A0;
    Canvas c(size, size, kWhite);

    if (size < 4 * kIconGrid) {
        // Small sizes: the hand-set 32 grid spade, scaled up cell by cell.
        const PixMask spade = iconSpade32();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (spade.at(designCell(x, size), designCell(y, size)))
                    c.setPixel(x, y, kBlack);
    } else {
        // Large sizes: sampled from the outline, so the curves stay smooth.
        const PixMask big = PixMask::fromArea(size / 2, size * 17 / 32, Shapes::spadeArea);
        const int left = size / 4;
        const int top = size / 4;
        c.stamp(big, left, top, kBlack);
        const int unit = size / kIconGrid;
        PixMask ring = big.eroded(2 * unit).minus(big.eroded(3 * unit));
        for (int y = big.height() * 11 / 17; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                ring.set(x, y, false);
        c.stamp(ring, left, top, kWhite);
    }

    // Corner pair: the top-left mark sampled from the grid, then turned.
    const PixMask corner = iconCorner32();
    const int cw = corner.width() * size / kIconGrid;
    const int ch = corner.height() * size / kIconGrid;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            if (corner.at((2 * x + 1) * kIconGrid / (2 * size), (2 * y + 1) * kIconGrid / (2 * size)))
                c.setPixel(x, y, kBlack);
    c.copyTurned(0, 0, cw - 1, ch - 1);

    // A grey rim so the white card shows against a white desktop.
    for (int i = 0; i < size; ++i) {
        c.setPixel(i, 0, kEdge);
        c.setPixel(i, size - 1, kEdge);
        c.setPixel(0, i, kEdge);
        c.setPixel(size - 1, i, kEdge);
    }
    return c.image().convertToFormat(QImage::Format_RGB888);
}

} // namespace Faces
