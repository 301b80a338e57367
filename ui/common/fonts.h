// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/design.h"

#include <QFont>
#include <QString>

namespace Fonts {

// Has fontconfig read the system's font configuration and caches now, about
// a quarter of the work before the first frame, which Qt would do when it
// resolves the first font. Called while the bus check waits for the buses'
// answers, before the application object is built; without fontconfig in
// the process it does nothing.
void readConfiguration();

// The face every stored font of the program asks for.
inline const QString kDesignFace = QString::fromUtf8(Design::kDesignFace);

// Maps the design face to the Japanese proportional gothic faces that may be
// installed. fontconfig does not do this on its own: without it Latin text
// comes out in DejaVu Sans and kana in the fixed-width IPAGothic.
// Call once before any widget is built.
void installSubstitutions();

// The design face at a pixel size, regular or bold.
QFont designFont(int pixelSize, bool bold);

// The platform's default dialog font, for the few controls that use it.
QFont dialogFont();

// A designed font: the design face at its size, or the dialog font.
QFont font(Design::Font font);

// The graph canvas's labels and captions: a narrow sans face at the size of
// a small dialog font, so that "1.00", printed 20 px left of the ticks of
// the vertical axis, ends before them at any scale. Japanese in it falls
// back to IPAPGothic.
QFont graphFont();

} // namespace Fonts
