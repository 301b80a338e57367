// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/common/canvaswindow.h"

#include <functional>

// The help window: the problem and the operating instructions, printed on a
// canvas. Its close button brings the main window back.
class Form4 : public CanvasWindow
{
    Q_OBJECT

public:
    explicit Form4(std::function<void()> showMainWindow, QWidget *parent = nullptr);

public slots:
    void Form_Activate() override;
    void Command1_Click() override;

private:
    std::function<void()> m_showMainWindow; // emptied by the first close
};
