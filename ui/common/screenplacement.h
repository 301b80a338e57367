// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace ScreenPlacement {

// Where a window's client area goes: where it stands now if the whole
// window, frame included, lies within the available area; otherwise moved
// as little as needed to bring it there. A window larger than the area keeps
// its top-left corner (title bar, close button) on it.
QPoint fitted(const QRect &client, const QMargins &frame, const QRect &available);

// Moves a top-level window so that fitted() holds on the screen under its
// client area's top-left corner. For the constructors, after the window's
// designed geometry is set; a designed place that fits is kept exactly.
void keepOnScreen(QWidget *window);

} // namespace ScreenPlacement
