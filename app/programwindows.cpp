// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/programwindows.h"

#include "core/design.h"
#include "ui/common/fromcore.h"
#include "ui/graph/form2.h"
#include "ui/help/form4.h"
#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

ProgramWindows::ProgramWindows(Module1 &record, SoundDevice &sound, Clock &clock)
    : m_record(record), m_sound(sound), m_cards(clock)
{
}

ProgramWindows::~ProgramWindows()
{
    delete m_form1.data();
    delete m_form2.data();
    delete m_form4.data();
    for (const QPointer<QWidget> &window : std::as_const(m_closing))
        delete window.data();
}

template <class W>
W *ProgramWindows::forget(QPointer<W> &window)
{
    m_closing.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
    W *closing = std::exchange(window, nullptr);
    if (closing)
        m_closing.append(closing);
    return closing;
}

// The windows delete themselves on close, by their frame or their own close
// button; the program forgets them as the close begins.
bool ProgramWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close) {
        if (watched == m_form1) {
            // The timer stops with the window, not when Qt gets round to deleting it.
            forget(m_form1)->unload();
            m_flow.closed(Window::Main, false);
        } else if (watched == m_form2) {
            m_flow.closed(Window::Graph, forget(m_form2)->closedByOwnButton());
        } else if (watched == m_form4) {
            m_flow.closed(Window::Help, forget(m_form4)->closedByOwnButton());
        }
    }
    return QObject::eventFilter(watched, event);
}

Form1 *ProgramWindows::form1() const
{
    return m_form1;
}
Form2 *ProgramWindows::form2() const
{
    return m_form2;
}
Form4 *ProgramWindows::form4() const
{
    return m_form4;
}

void showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

Form1 *ProgramWindows::showMainWindow()
{
    m_flow.showMain();
    return m_form1;
}

void ProgramWindows::create(Window window)
{
    switch (window) {
    case Window::Main:
        m_form1 = new Form1(m_record, {m_cards, m_sound, *this, m_flow});
        m_form1->installEventFilter(this);
        m_form1->controller().Form_Load();
        m_form1->focusFirstButton();
        break;
    case Window::Graph:
        m_form2 = new Form2(m_record);
        m_form2->installEventFilter(this);
        break;
    case Window::Help:
        m_form4 = new Form4;
        m_form4->installEventFilter(this);
        break;
    }
}

void ProgramWindows::destroy(Window window)
{
    switch (window) {
    case Window::Main:
        if (Form1 *main = forget(m_form1))
            main->unload();
        break;
    case Window::Graph:
        if (Form2 *graph = forget(m_form2))
            graph->close();
        break;
    case Window::Help:
        if (Form4 *help = forget(m_form4))
            help->close();
        break;
    }
}

void ProgramWindows::showActive(Window window)
{
    if (QWidget *shown = widget(window))
        ::showActive(shown);
}

QWidget *ProgramWindows::widget(Window window) const
{
    switch (window) {
    case Window::Main:
        return m_form1;
    case Window::Graph:
        return m_form2;
    case Window::Help:
        return m_form4;
    }
    return nullptr;
}

void ProgramWindows::quit()
{
    QCoreApplication::exit(0);
}

void ProgramWindows::askExit(Answer answer)
{
    const Design::ExitBox &design = Design::kExitBox;
    const QString question = FromCore::text(design.question);
    QMessageBox box(QMessageBox::NoIcon, FromCore::text(design.title), question, QMessageBox::Yes | QMessageBox::No,
                    m_form1);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The screen readers released beside Qt 6.8 speak an alert's labels only
    // when they hold three space-separated words, which Japanese never has,
    // and read its description instead; older ones read the labels and then
    // the description too, so they would hear the question twice.
    box.setAccessibleDescription(question);
#endif
    box.button(QMessageBox::Yes)->setText(FromCore::text(design.yes));
    box.button(QMessageBox::No)->setText(FromCore::text(design.no));
    // Plain text buttons: some styles add coloured glyphs to Yes and No.
    box.button(QMessageBox::Yes)->setIcon(QIcon());
    box.button(QMessageBox::No)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    answer(box.exec() == QMessageBox::Yes ? kYes : kNo);
}
