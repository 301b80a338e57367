// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>

class QPushButton;

// Keeps the keyboard focus on an enabled button through a step that enables
// and disables a window's buttons.
//
// Qt hands the focus of a button being disabled to the next one in the tab
// chain at once, while the step is still disabling the others, so the focus
// ran through several buttons or was lost. Here the focused button stays
// enabled until the step is done; the focus then goes once, straight to the
// button the next step needs, and only then is the old button disabled.
class FocusKeeper {
public:
    // The window's buttons in tab order; the span must outlive the keeper.
    explicit FocusKeeper(std::span<QPushButton *const> tabOrder) : m_buttons(tabOrder) {}

    // Runs step, then moves the focus to button number next (1-based, in
    // tab order) if it is enabled, or else to the next enabled button in tab
    // order; next 0 prefers none.
    template <typename Step>
    void run(Step &&step, int next)
    {
        m_inStep = true;
        step();
        m_inStep = false;
        finishStep(next);
    }

    // Enables or disables a button; within a step, the focused button is
    // disabled only when the step is done.
    void setEnabled(QPushButton *button, bool enabled);

    // Gives the focus to the first enabled button in tab order.
    void focusFirst();

private:
    void finishStep(int next);

    std::span<QPushButton *const> m_buttons;
    bool m_inStep = false;
    QPushButton *m_held = nullptr; // focused, to be disabled at the step's end
};
