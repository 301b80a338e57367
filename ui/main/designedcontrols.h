// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

class BoxLabel;
class QPushButton;
class QWidget;

// The main window's buttons and boxes built from the core's tables, once for
// the window and for the benchmark's floor, which must cost what they cost.
namespace DesignedControls {

// Command1 to Command8, focusable in that tab order.
std::array<QPushButton *, 8> buttons(QWidget *window);

// Label1 to Label13 (index 0 is Label1), each value box related to its captions.
std::array<BoxLabel *, 13> labels(QWidget *window);

} // namespace DesignedControls
