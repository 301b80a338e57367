// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QRgb>

#include <functional>
#include <initializer_list>
#include <vector>

// A one-bit picture: the building block of every symbol, glyph and figure
// part. Kept separate from QImage so the shapes can be combined, turned and
// outlined without any painter smoothing creeping in.
class PixMask {
public:
    PixMask() = default;
    PixMask(int width, int height);

    // Rows of '#' (set) and any other character (clear); all rows equally long.
    static PixMask fromRows(std::initializer_list<const char *> rows);

    // Samples an area predicate at pixel centres. x runs -1..1 across the
    // width and y -1..1 down the height; only |x| is passed, so the result is
    // exactly left-right symmetric.
    static PixMask fromArea(int width, int height, const std::function<bool(double, double)> &inside);

    int width() const { return m_w; }
    int height() const { return m_h; }
    bool at(int x, int y) const;
    void set(int x, int y, bool on = true);

    PixMask turned() const;           // 180 degrees
    PixMask scaled(int factor) const; // nearest neighbour
    PixMask eroded(int steps) const;  // 4-neighbour shrink
    PixMask outline() const;          // set pixels with a clear 4-neighbour
    PixMask minus(const PixMask &other) const;

private:
    int m_w = 0;
    int m_h = 0;
    std::vector<unsigned char> m_bits;
};

// White card-sized canvas with helpers that only ever write exact colours.
class Canvas {
public:
    Canvas(int width, int height, QRgb ground);

    int width() const { return m_img.width(); }
    int height() const { return m_img.height(); }
    QRgb pixel(int x, int y) const { return m_img.pixel(x, y); }
    void setPixel(int x, int y, QRgb c);

    void stamp(const PixMask &m, int left, int top, QRgb c);
    // Same, placed by its centre; an odd width centred on a pixel column stays symmetric.
    void stampCentred(const PixMask &m, int cx, int cy, QRgb c);
    void fillRect(int x0, int y0, int x1, int y1, QRgb c); // inclusive corners
    void line(int x0, int y0, int x1, int y1, QRgb c);

    // Copies the block [x0..x1]x[y0..y1] turned 180 degrees about the canvas centre.
    void copyTurned(int x0, int y0, int x1, int y1);

    const QImage &image() const { return m_img; }

private:
    QImage m_img;
};

// Builds a mask for the area inside a polygon (pixel centres tested).
PixMask polygonMask(int width, int height, std::initializer_list<std::pair<double, double>> pts);
PixMask ellipseMask(int width, int height, double cx, double cy, double rx, double ry);
PixMask rectMask(int width, int height, int x0, int y0, int x1, int y1);
PixMask unite(const PixMask &a, const PixMask &b);
