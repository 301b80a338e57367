// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/focuskeeper.h"

#include <QPushButton>
#include <algorithm>
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

void FocusKeeper::finishStep(QPushButton *next)
{
    if (QPushButton *held = std::exchange(m_held, nullptr)) {
        if (QPushButton *to = target(held, next))
            to->setFocus(Qt::OtherFocusReason);
        held->setEnabled(false);
    }
}

QPushButton *FocusKeeper::target(const QPushButton *held, QPushButton *preferred) const
{
    if (preferred && preferred->isEnabled())
        return preferred;
    const auto at = std::find(m_buttons.begin(), m_buttons.end(), held);
    const int start = at == m_buttons.end() ? 0 : int(at - m_buttons.begin());
    for (int step = 1; step < int(m_buttons.size()); ++step) {
        QPushButton *button = m_buttons[(start + step) % m_buttons.size()];
        if (button->isEnabled())
            return button;
    }
    return nullptr;
}
