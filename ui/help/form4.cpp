// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/help/form4.h"

#include "core/helptext.h"
#include "ui/common/retainedcanvas.h"

// The text is painted; the canvas hands what it printed to a screen reader
// as read-only text, line by line.
Form4::Form4(QWidget *parent) : CanvasWindow(Design::kForm4, parent) {}

void Form4::Form_Activate()
{
    CanvasSteps steps(*picture());
    HelpText::print(steps);
}

void Form4::Command1_Click()
{
    CanvasWindow::Command1_Click();
    emit backToMain();
}
