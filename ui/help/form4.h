// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/common/canvaswindow.h"

// The help window: the problem and the operating instructions, printed on a
// canvas. Its close button brings the main window back.
class Form4 : public CanvasWindow {
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

signals:
    // The close button was clicked and the window closed: the main window is
    // to come back. Not sent when the window is closed by its frame.
    void backToMain();

public slots:
    void Form_Activate() override;
    void Command1_Click() override;
};
