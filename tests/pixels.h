// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Reading pictures back in the tests of the canvas, graph and help windows.

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <algorithm>

namespace Pixels {

inline const QRgb kWhite = qRgb(255, 255, 255);
inline const QRgb kBlack = qRgb(0, 0, 0);
inline const QRgb kBlue = qRgb(0, 0, 255);

// The colour at (x, y) with its alpha made opaque, so a canvas image and a
// window grab compare alike.
inline QRgb pixel(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xff000000u;
}

// Ink bounds of the rows [top, bottom) of an image; null when blank.
inline QRect inkIn(const QImage &image, int top, int bottom)
{
    QRect ink;
    for (int y = top; y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixel(image, x, y) != kWhite)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

inline bool isBlank(const QImage &image)
{
    return inkIn(image, 0, image.height()).isNull();
}

inline QList<QPoint> differences(const QImage &a, const QImage &b)
{
    QList<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (pixel(a, x, y) != pixel(b, x, y))
                points.append(QPoint(x, y));
    return points;
}

// base with every pixel that is not white in top painted over it.
inline QImage overlaid(const QImage &base, const QImage &top)
{
    QImage image = base;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixel(top, x, y) != kWhite)
                image.setPixel(x, y, top.pixel(x, y));
    return image;
}

} // namespace Pixels
