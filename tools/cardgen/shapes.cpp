// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shapes.h"

#include <cmath>

namespace Shapes {

namespace {

// The classic algebraic heart, point down, y up; spans |x| <= 1.139, -1 <= y <= 1.236.
bool algebraicHeart(double x, double y)
{
    const double a = x * x + y * y - 1.0;
    return a * a * a - x * x * y * y * y <= 0.0;
}

// A stem that widens into a foot: half-width grows with the square of the depth.
bool stem(double x, double y, double from, double neck, double foot)
{
    if (y < from || y > 1.0)
        return false;
    const double t = (y - from) / (1.0 - from);
    return x <= neck + (foot - neck) * t * t * t;
}

} // namespace

bool heartArea(double x, double y)
{
    const double hx = x * 1.16;
    const double hy = 1.25 - (y + 1.0) * 0.5 * 2.26;
    return algebraicHeart(hx, hy);
}

bool spadeArea(double x, double y)
{
    // Upside-down heart over the top 72 % of the height, then the stem.
    const double body = 0.44;
    const double hx = x * 1.16;
    const double hy = -1.0 + (y + 1.0) / (1.0 + body) * 2.24;
    return algebraicHeart(hx, hy) || stem(x, y, 0.15, 0.07, 0.42);
}

bool clubArea(double x, double y)
{
    const auto disc = [](double x, double y, double cx, double cy, double r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
    const double r = 0.44;
    if (disc(x, y, 0.0, -0.53, r) || disc(x, y, 0.53, 0.14, r))
        return true;
    // Fill the pinch between the three leaves.
    if (y > -0.3 && y < 0.2 && x < 0.22)
        return true;
    return stem(x, y, 0.1, 0.07, 0.42);
}

bool diamondArea(double x, double y)
{
    // Slightly hollow sides, like the printed lozenge.
    return std::pow(x, 0.88) + std::pow(std::fabs(y), 0.88) <= 1.0;
}

PixMask cornerSuit(Suit s)
{
    switch (s) {
    case Suit::Spades:
        return PixMask::fromRows({
            "...#...",
            "..###..",
            ".#####.",
            "#######",
            "#######",
            "##.#.##",
            "...#...",
            "..###..",
        });
    case Suit::Clubs:
        return PixMask::fromRows({
            "..###..",
            "..###..",
            "##.#.##",
            "#######",
            "##.#.##",
            "...#...",
            "..###..",
        });
    case Suit::Hearts:
        return PixMask::fromRows({
            ".##.##.",
            "#######",
            "#######",
            "#######",
            ".#####.",
            "..###..",
            "...#...",
        });
    case Suit::Diamonds:
        return PixMask::fromRows({
            "...#...",
            "..###..",
            ".#####.",
            "#######",
            ".#####.",
            "..###..",
            "...#...",
        });
    }
    return {};
}

PixMask pip(Suit s)
{
    switch (s) {
    case Suit::Spades:
        return PixMask::fromRows({
            ".....#.....",
            "....###....",
            "...#####...",
            "..#######..",
            ".#########.",
            "###########",
            "###########",
            "###########",
            ".###.#.###.",
            ".....#.....",
            "....###....",
            "...#####...",
        });
    case Suit::Clubs:
        return PixMask::fromRows({
            "....###....",
            "...#####...",
            "...#####...",
            "...#####...",
            ".##.###.##.",
            "####.#.####",
            "###########",
            "####.#.####",
            ".##..#..##.",
            ".....#.....",
            "....###....",
            "...#####...",
        });
    case Suit::Hearts:
        return PixMask::fromRows({
            ".###...###.",
            "#####.#####",
            "###########",
            "###########",
            "###########",
            ".#########.",
            "..#######..",
            "...#####...",
            "....###....",
            ".....#.....",
        });
    case Suit::Diamonds:
        return PixMask::fromRows({
            ".....#.....",
            "....###....",
            "....###....",
            "...#####...",
            "..#######..",
            ".#########.",
            "###########",
            ".#########.",
            "..#######..",
            "...#####...",
            "....###....",
            "....###....",
            ".....#.....",
        });
    }
    return {};
}

PixMask aceSuit(Suit s)
{
    switch (s) {
    case Suit::Spades:
        return PixMask::fromArea(21, 23, spadeArea);
    case Suit::Clubs:
        return PixMask::fromArea(23, 23, clubArea);
    case Suit::Hearts:
        return PixMask::fromArea(23, 21, heartArea);
    case Suit::Diamonds:
        return PixMask::fromArea(19, 25, diamondArea);
    }
    return {};
}

PixMask grandSpade()
{
    return PixMask::fromArea(41, 47, spadeArea);
}

PixMask rankMark(int rank)
{
    switch (rank) {
    case 1:
        return PixMask::fromRows({
            "..###..",
            ".##.##.",
            "##...##",
            "##...##",
            "##...##",
            "#######",
            "##...##",
            "##...##",
            "##...##",
        });
    case 2:
        return PixMask::fromRows({
            ".#####.",
            "##...##",
            ".....##",
            "....##.",
            "...##..",
            "..##...",
            ".##....",
            "##.....",
            "#######",
        });
    case 3:
        return PixMask::fromRows({
            ".#####.",
            "##...##",
            ".....##",
            ".....##",
            "..####.",
            ".....##",
            ".....##",
            "##...##",
            ".#####.",
        });
    case 4:
        return PixMask::fromRows({
            "....##.",
            "...###.",
            "..####.",
            ".##.##.",
            "##..##.",
            "#######",
            "....##.",
            "....##.",
            "....##.",
        });
    case 5:
        return PixMask::fromRows({
            "#######",
            "##.....",
            "##.....",
            "######.",
            ".....##",
            ".....##",
            ".....##",
            "##...##",
            ".#####.",
        });
    case 6:
        return PixMask::fromRows({
            "..####.",
            ".##....",
            "##.....",
            "######.",
            "##...##",
            "##...##",
            "##...##",
            "##...##",
            ".#####.",
        });
    case 7:
        return PixMask::fromRows({
            "#######",
            ".....##",
            "....##.",
            "....##.",
            "...##..",
            "...##..",
            "..##...",
            "..##...",
            "..##...",
        });
    case 8:
        return PixMask::fromRows({
            ".#####.",
            "##...##",
            "##...##",
            "##...##",
            ".#####.",
            "##...##",
            "##...##",
            "##...##",
            ".#####.",
        });
    case 9:
        return PixMask::fromRows({
            ".#####.",
            "##...##",
            "##...##",
            "##...##",
            ".######",
            ".....##",
            ".....##",
            "....##.",
            ".####..",
        });
    case 10:
        return PixMask::fromRows({
            ".##...####.",
            "###..##..##",
            ".##..##..##",
            ".##..##..##",
            ".##..##..##",
            ".##..##..##",
            ".##..##..##",
            ".##..##..##",
            "####..####.",
        });
    case 11:
        return PixMask::fromRows({
            "...####",
            ".....##",
            ".....##",
            ".....##",
            ".....##",
            ".....##",
            "##...##",
            "##...##",
            ".#####.",
        });
    case 12:
        return PixMask::fromRows({
            ".#####.",
            "##...##",
            "##...##",
            "##...##",
            "##...##",
            "##.#.##",
            "##..##.",
            ".##.##.",
            "..##.##",
        });
    case 13:
        return PixMask::fromRows({
            "##...##",
            "##..##.",
            "##.##..",
            "####...",
            "###....",
            "####...",
            "##.##..",
            "##..##.",
            "##...##",
        });
    }
    return {};
}

} // namespace Shapes
