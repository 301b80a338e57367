// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/design.h"

#include <QLine>
#include <QWidget>

class QPushButton;
class RetainedCanvas;

// The shape shared by the graph and help windows, built from their designed
// state: a caption, a fixed client rectangle on the screen, a "閉じる" button
// in the top row with a rule under it, and a retained picture that is drawn
// on every activation.
class CanvasWindow : public QWidget {
    Q_OBJECT

public:
    RetainedCanvas *picture() const { return m_picture; }
    QPushButton *closeButton() const { return m_command1; }
    // Closed by its own button rather than by its frame.
    bool closedByOwnButton() const { return m_closedByOwnButton; }

public slots:
    // Runs each time the window becomes the program's active window.
    virtual void Form_Activate() = 0;
    // Closes the window, which queues it for deletion.
    virtual void Command1_Click();

protected:
    CanvasWindow(const Design::CanvasWindow &design, QWidget *parent);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLine m_rule;
    RetainedCanvas *m_picture = nullptr;
    QPushButton *m_command1 = nullptr;
    bool m_closedByOwnButton = false;
};
