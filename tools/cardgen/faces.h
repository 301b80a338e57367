// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

namespace Faces {

constexpr int kWidth = 69;
constexpr int kHeight = 93;
constexpr int kCardCount = 52;

// index 1..52 = 13 * suit + rank (spades, clubs, hearts, diamonds; ace..king).
QImage card(int index);

// Greyscale ace of spades miniature, size x size, opaque.
QImage icon(int size);

} // namespace Faces
