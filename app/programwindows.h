// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/mainview.h"
#include "core/programflow.h"
#include "core/randomcard.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class Form1;
class Form2;
class Form4;
class SoundDevice;
struct Module1;

// Creates, shows and destroys the program's windows as the program's flow
// asks, and tells it when a window is closed. It outlives them all,
// and so do the services the main window borrows: the sound player in
// particular, so that a cue started just before a window is unloaded still
// plays.
//
// A window that is unloaded or closed is forgotten at once: form1(), form2()
// and form4() name only windows that are alive for the program, never one
// that Qt has merely queued for deletion. Qt deletes such a window when
// control is back in the event loop; until then m_closing keeps hold of it
// so that a ProgramWindows destroyed first still deletes it.
class ProgramWindows : public QObject, public WindowHost, public ExitConfirmation {
    Q_OBJECT
public:
    ProgramWindows(Module1 &record, SoundDevice &sound, Clock &clock);
    ~ProgramWindows() override;

    // Builds a fresh main window, runs its load handler and shows it.
    Form1 *showMainWindow();

    Form1 *form1() const;
    Form2 *form2() const;
    Form4 *form4() const;

    // What the main window asks for: the graph, help, the end.
    WindowActions &actions() { return m_flow; }
    void showGraph() { m_flow.showGraph(); }

    // WindowHost
    void create(Window window) override;
    void destroy(Window window) override;
    void showActive(Window window) override;
    void quit() override;

    // ExitConfirmation: a modal box, answered before the call returns.
    void askExit(Answer answer) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <class W>
    W *forget(QPointer<W> &window);
    QWidget *widget(Window window) const;

    Module1 &m_record;
    SoundDevice &m_sound;
    ClockSeededCards m_cards;
    ProgramFlow m_flow{*this};
    QPointer<Form1> m_form1;
    QPointer<Form2> m_form2;
    QPointer<Form4> m_form4;
    QList<QPointer<QWidget>> m_closing;
};

// Shows a window the way the program expects: raised and active, since under
// a bare X server nothing else would activate it.
void showActive(QWidget *window);
