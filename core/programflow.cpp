// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/programflow.h"

#include <algorithm>

void ProgramFlow::showMain()
{
    m_host.create(Window::Main);
    m_open[index(Window::Main)] = true;
    m_host.showActive(Window::Main);
}

void ProgramFlow::closed(Window window, bool byOwnButton)
{
    if (!isOpen(window))
        return;
    m_open[index(window)] = false;
    if (window == Window::Help && byOwnButton) {
        showMain();
        return;
    }
    if (std::none_of(m_open.begin(), m_open.end(), [](bool open) { return open; }))
        m_host.quit();
}

void ProgramFlow::showGraph()
{
    if (!isOpen(Window::Graph)) {
        m_host.create(Window::Graph);
        m_open[index(Window::Graph)] = true;
    }
    m_host.showActive(Window::Graph);
}

void ProgramFlow::replaceMainWithHelp()
{
    m_open[index(Window::Main)] = false;
    m_host.destroy(Window::Main);
    if (!isOpen(Window::Help)) {
        m_host.create(Window::Help);
        m_open[index(Window::Help)] = true;
    }
    m_host.showActive(Window::Help);
}

void ProgramFlow::endProgram()
{
    m_host.quit();
}
