// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/programwindows.h"

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

template <class Window>
Window *ProgramWindows::forget(QPointer<Window> &window)
{
    m_closing.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
    Window *closing = std::exchange(window, nullptr);
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
        } else if (watched == m_form2) {
            forget(m_form2);
        } else if (watched == m_form4) {
            forget(m_form4);
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
    m_form1 = new Form1(m_record, {m_cards, m_sound, *this, *this});
    m_form1->installEventFilter(this);
    m_form1->controller().Form_Load();
    m_form1->focusFirstButton();
    showActive(m_form1);
    return m_form1;
}

void ProgramWindows::showGraph()
{
    if (!m_form2) {
        m_form2 = new Form2(m_record);
        m_form2->installEventFilter(this);
    }
    showActive(m_form2);
}

void ProgramWindows::replaceMainWithHelp()
{
    if (Form1 *main = forget(m_form1))
        main->unload();
    if (!m_form4) {
        m_form4 = new Form4;
        m_form4->installEventFilter(this);
        // Single-shot: a second click on the closing help window brings up
        // no second main window.
        const auto back = [this] { showMainWindow(); };
        connect(m_form4, &Form4::backToMain, this, back, Qt::SingleShotConnection);
    }
    showActive(m_form4);
}

void ProgramWindows::endProgram()
{
    QCoreApplication::exit(0);
}

std::int32_t ProgramWindows::askExit()
{
    const QString question = QStringLiteral("終了していいですか？");
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("トランプ"), question, QMessageBox::Yes | QMessageBox::No,
                    m_form1);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The screen readers released beside Qt 6.8 speak an alert's labels only
    // when they hold three space-separated words, which Japanese never has,
    // and read its description instead; older ones read the labels and then
    // the description too, so they would hear the question twice.
    box.setAccessibleDescription(question);
#endif
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    // Plain text buttons: some styles add coloured glyphs to Yes and No.
    box.button(QMessageBox::Yes)->setIcon(QIcon());
    box.button(QMessageBox::No)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? kYes : kNo;
}
