// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/design.h"

#include <string>

// A drawing surface in user units (origin top-left, y down) with a current
// position, as the graph and help pictures are drawn step by step. What is
// drawn stays until cleared; whatever falls outside the drawing area is
// clipped. Each front implements it over its own painting.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void setCurrentPosition(double x, double y) = 0;
    // One point; it becomes the current position.
    virtual void pset(double x, double y, Design::Rgb colour) = 0;
    // A 1 px solid line; its end becomes the current position.
    virtual void line(double x1, double y1, double x2, double y2, Design::Rgb colour) = 0;
    // A line from the current position.
    virtual void lineTo(double x, double y, Design::Rgb colour) = 0;
    // UTF-8 text with its top-left corner at the current position, then the
    // position moves to x = 0 and down by one line of the front's own font.
    virtual void print(const std::string &text) = 0;
    // Clears to the background; the current position goes back to (0, 0).
    virtual void cls() = 0;
};
