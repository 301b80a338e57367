// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/mainview.h"
#include "core/mainwindowcontroller.h"
#include "ui/main/ticktimer.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class BoxLabel;
class CardStack;

// The main window. Built in its designed state (every button enabled, every
// face visible, the timer stopped); the caller then runs Form_Load.
class Form1 : public QWidget, public MainView {
    Q_OBJECT
public:
    Form1(Module1 &shared, MainWindowController::Services services, QWidget *parent = nullptr);
    ~Form1() override;

    MainWindowController &controller() { return *m_controller; }
    QPushButton *command(int number) const { return m_commands[number - 1]; }
    QLabel *label(int number) const { return m_labels[number - 1]; }
    CardStack *cards() const { return m_cards; }
    const TickTimer &timer1() const { return m_timer1; }

    // Unloading: the timer stops, the window hides and is queued for deletion.
    void unload();

    // MainView
    void setButtonEnabled(Button button, bool enabled) override;
    void setLabelText(Label label, const QString &text) override;
    void setCardVisible(std::int16_t index, bool visible) override;
    void startTimer1() override;
    void stopTimer1() override;

    // Gives the focus to the first enabled button in tab order.
    void focusFirstButton();

    // The last result told to assistive tools, spoken by a screen reader.
    const QString &lastAnnouncement() const { return m_announcement; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void buildButtons();
    void buildLabels();
    void connectHandlers();
    BoxLabel *box(int number) const;

    // Runs a handler of the controller with the focus kept on an enabled
    // button; nextFocus is the button the next step needs, 0 for the next
    // enabled one in tab order.
    void runStep(void (MainWindowController::*handler)(), int nextFocus);
    QPushButton *focusTarget(const QPushButton *held, int preferred) const;
    void announce(const QString &message);
    void focusChanged(QWidget *old);
    QString countsText() const;
    void publishLabels();

    std::array<QPushButton *, 8> m_commands{};
    std::array<QLabel *, 13> m_labels{};
    CardStack *m_cards = nullptr;
    TickTimer m_timer1;
    // While Timer1 runs, repaints are held to one a frame (see event()).
    QElapsedTimer m_sinceRepaint;
    QBasicTimer m_heldRepaint;
    // While Timer1 runs, the value boxes tell assistive tools of their new
    // texts only when this goes off.
    QTimer m_publishTimer;
    bool m_inStep = false;
    QPushButton *m_heldButton = nullptr; // focused, to be disabled at the step's end
    QString m_announcement;
    QMetaObject::Connection m_focusWatch;
    QPointer<QWidget> m_announcer; // carries the last announcement as its description
    std::unique_ptr<MainWindowController> m_controller;
};
