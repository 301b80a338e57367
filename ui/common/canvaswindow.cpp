// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/canvaswindow.h"

#include "ui/common/fonts.h"
#include "ui/common/fromcore.h"
#include "ui/common/retainedcanvas.h"
#include "ui/common/screenplacement.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

CanvasWindow::CanvasWindow(const Design::CanvasWindow &design, QWidget *parent)
    : QWidget(parent, Qt::Window), m_rule(FromCore::line(design.rule))
{
    const QRect client = FromCore::rect(design.client);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(FromCore::text(design.caption));
    setWindowIcon(QIcon()); // no icon of its own
    setFixedSize(client.size());
    setGeometry(client);
    ScreenPlacement::keepOnScreen(this);

    // Children are made in tab order, which is also the order in which the
    // focus chain and assistive tools meet them.
    const auto makePicture = [&] {
        m_picture = new RetainedCanvas(this);
        m_picture->setObjectName(QStringLiteral("Picture1"));
        m_picture->setGeometry(FromCore::rect(design.picture.rect));
        m_picture->setFocusPolicy(Qt::TabFocus);
        m_picture->setAccessibleName(FromCore::text(design.picture.accessibleName));
        m_picture->setReadable(design.picture.readable);
        m_picture->setBackground(FromCore::colour(design.picture.background));
    };
    if (design.pictureFirstInTabOrder)
        makePicture();
    m_command1 = new QPushButton(FromCore::text(Design::kCloseCaption), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(FromCore::rect(design.closeButton));
    m_command1->setFont(Fonts::font(design.closeFont));
    m_command1->setAutoDefault(false);
    m_command1->setDefault(false);
    connect(m_command1, &QPushButton::clicked, this, &CanvasWindow::Command1_Click);
    if (!design.pictureFirstInTabOrder)
        makePicture();
    // The designed font; the dialog font on the graph's canvas is the front's
    // own narrow face, see Fonts::graphFont.
    m_picture->setFont(design.picture.font.pixelSize == 0 ? Fonts::graphFont() : Fonts::font(design.picture.font));
    m_picture->setScale(design.picture.scaleWidth, design.picture.scaleHeight);
}

void CanvasWindow::Command1_Click()
{
    m_closedByOwnButton = true;
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
