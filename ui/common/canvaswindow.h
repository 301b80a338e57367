// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLine>
#include <QRect>
#include <QString>
#include <QWidget>

class QPushButton;
class RetainedCanvas;

// The shape shared by the graph and help windows: a caption, a fixed client
// rectangle on the screen, a "閉じる" button in the top row with a rule under
// it, and a retained picture that is drawn on every activation.
class CanvasWindow : public QWidget {
    Q_OBJECT

public:
    struct Layout {
        QString caption;
        QRect client;      // on the screen
        QRect closeButton; // in the client area
        QLine rule;
        QRect picture;
        bool pictureFirstInTabOrder;
    };

    RetainedCanvas *picture() const { return m_picture; }
    QPushButton *closeButton() const { return m_command1; }

public slots:
    // Runs each time the window becomes the program's active window.
    virtual void Form_Activate() = 0;
    // Closes the window, which queues it for deletion.
    virtual void Command1_Click();

protected:
    CanvasWindow(const Layout &layout, QWidget *parent);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLine m_rule;
    RetainedCanvas *m_picture = nullptr;
    QPushButton *m_command1 = nullptr;
};
