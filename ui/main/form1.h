// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/form1steps.h"
#include "core/mainview.h"
#include "core/mainwindowcontroller.h"
#include "ui/main/announcer.h"
#include "ui/main/boxlabel.h"
#include "ui/main/focuskeeper.h"
#include "ui/main/repaintholder.h"
#include "ui/main/ticktimer.h"
#include "ui/main/valueboxpublisher.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class CardStack;

// The main window. Built in its designed state (every button enabled, every
// face visible, the timer stopped); the caller then runs Form_Load.
class Form1 : public QWidget, public MainView {
    Q_OBJECT
public:
    Form1(Module1 &shared, MainWindowController::Services services, QWidget *parent = nullptr);

    MainWindowController &controller() { return *m_controller; }
    QPushButton *command(int number) const { return m_commands[number - 1]; }
    QLabel *label(int number) const { return m_labels[number - 1]; }
    CardStack *cards() const { return m_cards; }
    const TickTimer &timer1() const { return m_timer1; }

    // Unloading: the timer stops, the window hides and is queued for deletion.
    void unload();

    // MainView
    void setButtonEnabled(Button button, bool enabled) override;
    void setLabelText(Label label, const std::string &text) override;
    void setCardVisible(std::int16_t index, bool visible) override;
    void startTimer1() override;
    void stopTimer1() override;

    // Gives the focus to the first enabled button in tab order.
    void focusFirstButton();

    // The last result told to assistive tools, spoken by a screen reader.
    const QString &lastAnnouncement() const { return m_announcer.last(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void connectHandlers();
    BoxLabel *box(int number) const;

    // Runs a handler of the controller, with the focus kept on an enabled
    // button where the step changes the buttons, then tells its result.
    void runStep(Form1Steps::Step step);

    std::array<QPushButton *, 8> m_commands{};
    std::array<BoxLabel *, 13> m_labels{};
    CardStack *m_cards = nullptr;
    TickTimer m_timer1;
    FocusKeeper m_focus{m_commands};
    Announcer m_announcer{this};
    ValueBoxPublisher m_publisher{m_timer1};
    RepaintHolder m_repaintHolder{this, m_timer1};
    std::unique_ptr<MainWindowController> m_controller;
};
