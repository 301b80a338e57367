// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

class Canvas;
struct Module1;

// The graph window's picture: the observed ratio of multiples of three
// against the number of automatic draws, drawn over whatever was drawn
// before, and the same in words for those who cannot see it.
class GraphPicture {
public:
    // The whole graph, frame and curve, read from the record now. The
    // canvas is not cleared, so earlier curves stay visible under the new
    // one for comparison.
    void draw(Canvas &canvas, const Module1 &record);

    // What the picture shows, as of the last draw; empty before it.
    const std::string &description() const { return m_description; }

private:
    void describe(const Module1 &record, int last);

    // The curves on the canvas, each as drawn last: a curve drawn again
    // longer, with the same start, is the same curve extended.
    std::vector<std::vector<float>> m_curves;
    std::string m_description;
};
