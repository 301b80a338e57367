// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/canvaswindow.h"

#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/common/screenplacement.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

CanvasWindow::CanvasWindow(const Layout &layout, QWidget *parent) : QWidget(parent, Qt::Window), m_rule(layout.rule)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(layout.caption);
    setWindowIcon(QIcon()); // no icon of its own
    setFixedSize(layout.client.size());
    setGeometry(layout.client);
    ScreenPlacement::keepOnScreen(this);

    // Children are made in tab order, which is also the order in which the
    // focus chain and assistive tools meet them.
    const auto makePicture = [&] {
        m_picture = new RetainedCanvas(this);
        m_picture->setObjectName(QStringLiteral("Picture1"));
        m_picture->setGeometry(layout.picture);
        m_picture->setFocusPolicy(Qt::TabFocus);
    };
    if (layout.pictureFirstInTabOrder)
        makePicture();
    m_command1 = new QPushButton(QStringLiteral("閉じる"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(layout.closeButton);
    m_command1->setFont(Fonts::dialogFont());
    m_command1->setAutoDefault(false);
    m_command1->setDefault(false);
    connect(m_command1, &QPushButton::clicked, this, &CanvasWindow::Command1_Click);
    if (!layout.pictureFirstInTabOrder)
        makePicture();
}

void CanvasWindow::Command1_Click()
{
    close();
}

bool CanvasWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void CanvasWindow::paintEvent(QPaintEvent *)
{
    // The rule under the button row; the button, a child, hides it where it stands.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawLine(m_rule);
}
