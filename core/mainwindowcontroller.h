// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/experiment.h"
#include "core/mainview.h"

class CardSource;
class SoundDevice;

// The main window's event handlers. Each runs to its end on the UI thread;
// the method bodies follow the window's step lists one to one.
class MainWindowController {
public:
    static constexpr std::int32_t kRunLength = 1000;
    static constexpr std::int16_t kManualLimit = INT16_MAX;

    struct Services {
        CardSource &cards;
        SoundDevice &sound;
        ExitConfirmation &confirmation;
        WindowActions &windows;
    };

    MainWindowController(MainView &view, Module1 &shared, Services services);

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Timer1_Timer();

    const Form1Record &record() const { return m_form; }
    const Module1 &shared() const { return m_shared; }

private:
    using Button = MainView::Button;
    using Label = MainView::Label;

    void enable(Button b) { m_view.setButtonEnabled(b, true); }
    void disable(Button b) { m_view.setButtonEnabled(b, false); }
    void hideCardsFrom(std::int16_t first);
    void resetCounts();
    void countCard();
    void storeRatio(std::int32_t n);

    MainView &m_view;
    Module1 &m_shared;
    Services m_services;
    Form1Record m_form;
};
