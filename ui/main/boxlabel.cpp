// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/boxlabel.h"

#include <QPainter>

BoxLabel::BoxLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setContentsMargins(1, 1, 1, 1);
    setBackgroundRole(QPalette::Window); // not the window's button face
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void BoxLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black); // on the fixed light ground, whatever the theme
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
