// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/programwindows.h"

#include "ui/graph/form2.h"
#include "ui/help/form4.h"
#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

ProgramWindows::ProgramWindows(Module1 &record, SoundDevice &sound, Clock &clock)
    : m_record(record), m_sound(sound), m_cards(clock)
{
}

ProgramWindows::~ProgramWindows()
{
    delete m_form1.data();
    delete m_form2.data();
    delete m_form4.data();
}

Form1 *ProgramWindows::form1() const { return m_form1; }
Form2 *ProgramWindows::form2() const { return m_form2; }
Form4 *ProgramWindows::form4() const { return m_form4; }

void showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

Form1 *ProgramWindows::showMainWindow()
{
    m_form1 = new Form1(m_record, {m_cards, m_sound, *this, *this});
    m_form1->controller().Form_Load();
    m_form1->focusFirstButton();
    showActive(m_form1);
    return m_form1;
}

void ProgramWindows::showGraph()
{
    if (!m_form2)
        m_form2 = new Form2(m_record);
    showActive(m_form2);
}

void ProgramWindows::replaceMainWithHelp()
{
    if (m_form1)
        m_form1->unload();
    if (!m_form4)
        m_form4 = new Form4([this] { showMainWindow(); });
    showActive(m_form4);
}

void ProgramWindows::endProgram() { QCoreApplication::exit(0); }

std::int32_t ProgramWindows::askExit()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("トランプ"), QStringLiteral("終了していいですか？"),
                    QMessageBox::Yes | QMessageBox::No, m_form1);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    // Plain text buttons: some styles add coloured glyphs to Yes and No.
    box.button(QMessageBox::Yes)->setIcon(QIcon());
    box.button(QMessageBox::No)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? kYes : kNo;
}
