// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/mainwindowcontroller.h"

#include "core/cardrules.h"
#include "core/randomcard.h"
#include "core/soundcue.h"

MainWindowController::MainWindowController(MainView &view, Module1 &shared, Services services)
    : m_view(view), m_shared(shared), m_services(services)
{
}

void MainWindowController::Form_Load()
{
    m_form.runMode = -1;
    m_shared.autoDrawCount = 0;
    m_form.currentCard = 0;
    hideCardsFrom(2);
    resetCounts();
    m_view.setLabelText(Label::Label7, CardRules::formatRatio(CardRules::theoreticalProbability()));
    disable(Button::Command5);
    enable(Button::Command2);
    disable(Button::Command1);
    disable(Button::Command6);
    disable(Button::Command7);
}

void MainWindowController::Command1_Click()
{
    m_form.runMode = -1;
    disable(Button::Command1);
    // At the last value the hand count can hold, no further hand draw may be
    // offered, so shuffle stays off and the count never overflows.
    const bool anotherDrawFits = m_shared.manualDrawCount + 1 < kManualLimit;
    m_view.setButtonEnabled(Button::Command2, anotherDrawFits);
    enable(Button::Command3);
    enable(Button::Command4);
    enable(Button::Command6);
    enable(Button::Command8);
    m_view.stopTimer1();
    if (m_shared.manualDrawCount >= kManualLimit)
        return;
    // Drawn before the first tick, the card on show is the ace, not the
    // "no card" index 0, which would count as rank 0 and so as a multiple of 3.
    if (m_form.currentCard == 0)
        m_form.currentCard = 1;
    ++m_shared.manualDrawCount;
    m_view.setLabelText(Label::Label3, CardRules::formatCount(m_shared.manualDrawCount));
    countCard();
    storeRatio(m_shared.manualDrawCount);
}

void MainWindowController::Command2_Click()
{
    m_form.runMode = -1;
    enable(Button::Command1);
    disable(Button::Command2);
    disable(Button::Command3);
    disable(Button::Command4);
    disable(Button::Command6);
    disable(Button::Command8);
    m_view.startTimer1();
}

void MainWindowController::Command3_Click()
{
    SoundCue(m_services.sound, Cue::End);
    // The answer may come later, from another event; nothing else is done
    // until it does.
    m_services.confirmation.askExit([this](std::int32_t answer) {
        m_form.exitAnswer = answer;
        if (m_form.exitAnswer == ExitConfirmation::kYes)
            m_services.windows.endProgram();
    });
}

void MainWindowController::Command4_Click()
{
    m_shared.autoDrawCount = m_shared.manualDrawCount;
    m_form.runMode = 1;
    m_view.startTimer1();
    disable(Button::Command2);
    disable(Button::Command3);
    disable(Button::Command4);
    enable(Button::Command5);
    disable(Button::Command6);
    disable(Button::Command7);
    disable(Button::Command8);
}

void MainWindowController::Command5_Click()
{
    m_form.runMode = -1;
    m_view.stopTimer1();
    enable(Button::Command3);
    disable(Button::Command4);
    disable(Button::Command5);
    enable(Button::Command6);
    enable(Button::Command7);
    enable(Button::Command8);
}

void MainWindowController::Command6_Click()
{
    SoundCue(m_services.sound, Cue::StartOver);
    m_form.runMode = -1;
    m_shared.autoDrawCount = 0;
    m_form.currentCard = 0;
    hideCardsFrom(2);
    m_view.setCardVisible(1, true);
    resetCounts();
    m_view.setLabelText(Label::Label6, {});
    disable(Button::Command7);
    disable(Button::Command6);
    disable(Button::Command5);
    enable(Button::Command4);
    enable(Button::Command2);
    disable(Button::Command1);
}

void MainWindowController::Command7_Click()
{
    m_services.windows.showGraph();
}

void MainWindowController::Command8_Click()
{
    SoundCue(m_services.sound, Cue::StartOver);
    // The call unloads this controller's window, which may delete this
    // controller: touch nothing after it.
    m_services.windows.replaceMainWithHelp();
}

void MainWindowController::Timer1_Timer()
{
    for (m_form.loopIndex = 1; m_form.loopIndex <= CardRules::kCardCount; ++m_form.loopIndex)
        m_view.setCardVisible(m_form.loopIndex, false);
    m_form.currentCard = m_services.cards.pickCard();
    m_view.setCardVisible(m_form.currentCard, true);
    if (m_form.runMode != 1)
        return;
    if (m_shared.autoDrawCount >= kRunLength) {
        m_view.stopTimer1();
        enable(Button::Command3);
        enable(Button::Command6);
        disable(Button::Command4);
        disable(Button::Command5);
        enable(Button::Command8);
        m_form.runMode = -1;
    } else {
        countCard();
        ++m_shared.autoDrawCount;
    }
    enable(Button::Command7);
    m_view.setLabelText(Label::Label3, CardRules::formatCount(m_shared.autoDrawCount));
    storeRatio(m_shared.autoDrawCount);
}

void MainWindowController::hideCardsFrom(std::int16_t first)
{
    for (m_form.loopIndex = first; m_form.loopIndex <= CardRules::kCardCount; ++m_form.loopIndex)
        m_view.setCardVisible(m_form.loopIndex, false);
}

void MainWindowController::resetCounts()
{
    m_shared.manualDrawCount = 0;
    m_view.setLabelText(Label::Label3, CardRules::formatCount(m_shared.manualDrawCount));
    m_form.multipleCount = 0;
    m_view.setLabelText(Label::Label4, CardRules::formatCount(m_form.multipleCount));
}

void MainWindowController::countCard()
{
    m_form.cardRank = CardRules::rankOf(m_form.currentCard);
    if (CardRules::isMultipleOfThree(m_form.cardRank)) {
        ++m_form.multipleCount;
        m_view.setLabelText(Label::Label4, CardRules::formatCount(m_form.multipleCount));
    }
}

void MainWindowController::storeRatio(std::int32_t n)
{
    m_shared.ratioHistory[n] = static_cast<float>(double(m_form.multipleCount) / double(n));
    m_view.setLabelText(Label::Label6, CardRules::formatRatio(m_shared.ratioHistory[n]));
}
