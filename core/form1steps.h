// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>

class MainWindowController;

// What a front does around each main-window handler beyond the handler
// itself: where the keyboard focus goes, and what a screen reader is told.
// The focus is moved by the front, after the step; the sentence is told
// after that, so that it is not tied to a button the step disables.
namespace Form1Steps {

enum class Step { Command1 = 1, Command2, Command3, Command4, Command5, Command6, Command7, Command8, Timer1 };

// Runs the step's handler. Command8 unloads the window: the controller may
// be gone when this returns.
void run(MainWindowController &controller, Step step);

// Whether the front keeps the focus on an enabled button through the step.
// Not for exit, graph and help, which change no button of their own.
bool keepsFocus(Step step);

// The button (1..8) the step leaves the pupil needing next, 0 for none in
// particular: draw leads to shuffle, shuffle to draw, start to stop,
// initialise to shuffle.
int preferredFocus(Step step);

// Where the focus goes when the focused button held (1..8) is disabled at a
// step's end: the preferred button if enabled, else the next enabled one
// after held in tab order (Command1 to Command8, wrapping); 0 if none is.
// enabled[0] is Command1.
int focusTarget(int held, int preferred, const std::array<bool, 8> &enabled);

// The sentence to announce after the step, empty for none. wasRunning: an
// automatic run was going before the step, so its end is told.
std::string announcement(Step step, const MainWindowController &controller, bool wasRunning);

} // namespace Form1Steps
