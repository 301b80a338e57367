// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pixmask.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

PixMask::PixMask(int width, int height) : m_w(width), m_h(height), m_bits(static_cast<size_t>(width * height), 0) {}

PixMask PixMask::fromRows(std::initializer_list<const char *> rows)
{
    const int h = static_cast<int>(rows.size());
    const int w = h ? static_cast<int>(std::strlen(*rows.begin())) : 0;
    PixMask m(w, h);
    int y = 0;
    for (const char *row : rows) {
        if (static_cast<int>(std::strlen(row)) != w)
            throw std::logic_error("ragged pixel table");
        for (int x = 0; x < w; ++x)
            m.set(x, y, row[x] == '#');
        ++y;
    }
    return m;
}

PixMask PixMask::fromArea(int width, int height, const std::function<bool(double, double)> &inside)
{
    PixMask m(width, height);
    for (int y = 0; y < height; ++y) {
        const double v = (2.0 * y + 1.0) / height - 1.0;
        for (int x = 0; x < width; ++x) {
            // Mirror from the left half so rounding cannot break symmetry.
            const int mx = x < width / 2 ? x : width - 1 - x;
            const double u = std::fabs((2.0 * mx + 1.0) / width - 1.0);
            m.set(x, y, inside(u, v));
        }
    }
    return m;
}

bool PixMask::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return false;
    return m_bits[static_cast<size_t>(y * m_w + x)] != 0;
}

void PixMask::set(int x, int y, bool on)
{
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return;
    m_bits[static_cast<size_t>(y * m_w + x)] = on ? 1 : 0;
}

PixMask PixMask::turned() const
{
    PixMask m(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            m.set(m_w - 1 - x, m_h - 1 - y, at(x, y));
    return m;
}

PixMask PixMask::scaled(int factor) const
{
    PixMask m(m_w * factor, m_h * factor);
    for (int y = 0; y < m.m_h; ++y)
        for (int x = 0; x < m.m_w; ++x)
            m.set(x, y, at(x / factor, y / factor));
    return m;
}

PixMask PixMask::eroded(int steps) const
{
    PixMask cur = *this;
    for (int s = 0; s < steps; ++s)
        cur = cur.minus(cur.outline());
    return cur;
}

PixMask PixMask::outline() const
{
    PixMask m(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            if (at(x, y) && (!at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1)))
                m.set(x, y);
    return m;
}

PixMask PixMask::minus(const PixMask &other) const
{
    PixMask m = *this;
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            if (other.at(x, y))
                m.set(x, y, false);
    return m;
}

PixMask unite(const PixMask &a, const PixMask &b)
{
    PixMask m = a;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (b.at(x, y))
                m.set(x, y);
    return m;
}

PixMask polygonMask(int width, int height, std::initializer_list<std::pair<double, double>> pts)
{
    const std::vector<std::pair<double, double>> p(pts);
    PixMask m(width, height);
    for (int y = 0; y < height; ++y) {
        const double py = y + 0.5;
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5;
            bool in = false;
            for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
                const auto [xi, yi] = p[i];
                const auto [xj, yj] = p[j];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    in = !in;
            }
            m.set(x, y, in);
        }
    }
    return m;
}

PixMask ellipseMask(int width, int height, double cx, double cy, double rx, double ry)
{
    PixMask m(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            m.set(x, y, dx * dx + dy * dy <= 1.0);
        }
    return m;
}

PixMask rectMask(int width, int height, int x0, int y0, int x1, int y1)
{
    PixMask m(width, height);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            m.set(x, y);
    return m;
}

Canvas::Canvas(int width, int height, QRgb ground) : m_img(width, height, QImage::Format_RGB32)
{
    m_img.fill(ground);
}

void Canvas::setPixel(int x, int y, QRgb c)
{
    if (x >= 0 && y >= 0 && x < m_img.width() && y < m_img.height())
        m_img.setPixel(x, y, c);
}

void Canvas::stamp(const PixMask &m, int left, int top, QRgb c)
{
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.at(x, y))
                setPixel(left + x, top + y, c);
}

void Canvas::stampCentred(const PixMask &m, int cx, int cy, QRgb c)
{
    stamp(m, cx - m.width() / 2, cy - m.height() / 2, c);
}

void Canvas::fillRect(int x0, int y0, int x1, int y1, QRgb c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            setPixel(x, y, c);
}

void Canvas::line(int x0, int y0, int x1, int y1, QRgb c)
{
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        setPixel(x0, y0, c);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::copyTurned(int x0, int y0, int x1, int y1)
{
    const int w = m_img.width(), h = m_img.height();
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            m_img.setPixel(w - 1 - x, h - 1 - y, m_img.pixel(x, y));
}
