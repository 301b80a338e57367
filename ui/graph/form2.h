// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/graphpicture.h"
#include "ui/common/canvaswindow.h"

struct Module1;

// The graph window: the observed ratio of multiples of three against the
// number of automatic draws, drawn over whatever was drawn before.
class Form2 : public CanvasWindow {
    Q_OBJECT

public:
    explicit Form2(const Module1 &record, QWidget *parent = nullptr);

public slots:
    void Form_Activate() override;

private:
    const Module1 &m_record;
    GraphPicture m_graph;
};
