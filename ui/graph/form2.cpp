// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/graph/form2.h"

#include "ui/common/retainedcanvas.h"

Form2::Form2(const Module1 &record, QWidget *parent) : CanvasWindow(Design::kForm2, parent), m_record(record) {}

void Form2::Form_Activate()
{
    {
        CanvasSteps steps(*picture());
        m_graph.draw(steps, m_record);
    }
    // The picture says nothing to a screen reader, so it is said in words.
    picture()->setAccessibleDescription(FromCore::text(m_graph.description()));
}
