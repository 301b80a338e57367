// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/design.h"

#include <QColor>
#include <QLine>
#include <QPalette>
#include <QRect>
#include <QString>
#include <string>

// The one place where the core's plain types become Qt's: texts are UTF-8,
// places are pixels at 96 dpi.
namespace FromCore {

inline QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

inline QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

inline QRect rect(Design::Rect r)
{
    return {r.x, r.y, r.width, r.height};
}

inline QLine line(Design::Line l)
{
    return {l.x1, l.y1, l.x2, l.y2};
}

inline QColor colour(Design::Rgb c)
{
    return {c.red, c.green, c.blue};
}

// A system colour's role in the palette; the role of a fixed colour is
// the one it stands in for.
inline QPalette::ColorRole role(const Design::Colour &c)
{
    switch (c.role) {
    case Design::Colour::Role::ButtonText:
        return QPalette::ButtonText;
    case Design::Colour::Role::ButtonFace:
        return QPalette::Button;
    default:
        return QPalette::WindowText;
    }
}

} // namespace FromCore
