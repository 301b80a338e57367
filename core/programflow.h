// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/mainview.h"

#include <array>

// The program's windows: the main window Form1, the graph Form2 and the help
// window Form4.
enum class Window { Main, Graph, Help };

// What the program asks of a front's windows.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Builds the window in its designed state. The main window then runs its
    // load handler and puts the focus on its first enabled button.
    virtual void create(Window window) = 0;
    // Unloads it: it goes away with everything in it.
    virtual void destroy(Window window) = 0;
    // Shows it raised and active, which runs its activation.
    virtual void showActive(Window window) = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

// Which window replaces which, and when the program ends. Help takes the
// main window's place; the help window's own close button brings back a
// main window loaded afresh, once; the graph opens beside the main window.
// The program ends when asked, or when its last window is closed.
class ProgramFlow final : public WindowActions {
public:
    explicit ProgramFlow(WindowHost &host) : m_host(host) {}

    // A fresh main window, loaded and shown: at start-up and back from help.
    void showMain();
    bool isOpen(Window window) const { return m_open[index(window)]; }

    // A window has been closed, by its frame or its own close button
    // (byOwnButton), and goes away by itself. A window already gone is
    // not closed twice.
    void closed(Window window, bool byOwnButton);

    // WindowActions
    void showGraph() override;
    void replaceMainWithHelp() override;
    void endProgram() override;

private:
    static std::size_t index(Window window) { return static_cast<std::size_t>(window); }

    WindowHost &m_host;
    std::array<bool, 3> m_open{};
};
