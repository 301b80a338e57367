// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the main window controller needs of its window. Each front's main
// window implements it; tests implement it with plain fields.
class MainView {
public:
    enum class Button { Command1 = 1, Command2, Command3, Command4, Command5, Command6, Command7, Command8 };
    // The labels the controller writes, by their numbers on the window.
    enum class Label { Label3 = 3, Label4 = 4, Label6 = 6, Label7 = 7 };

    virtual ~MainView() = default;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    // UTF-8.
    virtual void setLabelText(Label label, const std::string &text) = 0;
    virtual void setCardVisible(std::int16_t index, bool visible) = 0;
    virtual void startTimer1() = 0;
    virtual void stopTimer1() = 0;
};

// The modal exit question. The answer may come inside the call (a toolkit's
// modal box) or later, from another event (a page's dialog); either way it
// is handed to the continuation exactly once, with one of the codes below.
class ExitConfirmation {
public:
    static constexpr std::int32_t kYes = 6;
    static constexpr std::int32_t kNo = 7;
    using Answer = std::function<void(std::int32_t)>;
    virtual ~ExitConfirmation() = default;
    virtual void askExit(Answer answer) = 0;
};

// Window changes the main window asks for; the program carries them out.
class WindowActions {
public:
    virtual ~WindowActions() = default;
    virtual void showGraph() = 0;
    // Unloads the main window, then shows the help window.
    virtual void replaceMainWithHelp() = 0;
    // Ends the program at once with exit code 0.
    virtual void endProgram() = 0;
};
