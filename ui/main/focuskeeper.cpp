// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/focuskeeper.h"

#include "core/form1steps.h"

#include <QPushButton>
#include <algorithm>
#include <array>
#include <utility>

void FocusKeeper::setEnabled(QPushButton *button, bool enabled)
{
    if (m_inStep && button == m_held) {
        if (enabled)
            m_held = nullptr;
        return;
    }
    if (m_inStep && !enabled && button->isEnabled() && button == button->window()->focusWidget()) {
        m_held = button;
        return;
    }
    button->setEnabled(enabled);
}

void FocusKeeper::focusFirst()
{
    for (QPushButton *button : m_buttons) {
        if (button->isEnabled()) {
            button->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FocusKeeper::finishStep(int next)
{
    QPushButton *held = std::exchange(m_held, nullptr);
    if (!held)
        return;
    std::array<bool, 8> enabled{};
    for (std::size_t i = 0; i < enabled.size() && i < m_buttons.size(); ++i)
        enabled[i] = m_buttons[i]->isEnabled();
    const auto at = std::find(m_buttons.begin(), m_buttons.end(), held);
    const int heldNumber = at == m_buttons.end() ? 0 : int(at - m_buttons.begin()) + 1;
    if (const int to = Form1Steps::focusTarget(heldNumber, next, enabled))
        m_buttons[std::size_t(to - 1)]->setFocus(Qt::OtherFocusReason);
    held->setEnabled(false);
}
