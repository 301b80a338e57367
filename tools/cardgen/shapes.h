// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "pixmask.h"

namespace Shapes {

enum class Suit { Spades = 0, Clubs = 1, Hearts = 2, Diamonds = 3 };

PixMask cornerSuit(Suit s); // under the corner rank mark, about 7 px
PixMask pip(Suit s);        // number-card pip, 11 px wide
PixMask aceSuit(Suit s);    // the single plain symbol of an ace
PixMask grandSpade();       // the solid shape of the decorated ace of spades
PixMask rankMark(int rank); // 1..13: A, 2..10, J, Q, K; 9 px tall

// Area predicates on |x| in 0..1, y in -1..1 (down), used for the big shapes.
bool spadeArea(double x, double y);
bool clubArea(double x, double y);
bool heartArea(double x, double y);
bool diamondArea(double x, double y);

} // namespace Shapes
