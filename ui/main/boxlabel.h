// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// A label in a single-line box. The box is drawn in black whatever the text
// colour or the theme, so the red numbers keep black borders and a dark
// theme cannot hide the box on its light ground.
class BoxLabel : public QLabel {
    Q_OBJECT
public:
    explicit BoxLabel(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
