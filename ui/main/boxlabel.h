// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>

// A label in a single-line box. The box is drawn in black whatever the text
// colour or the theme, so the red numbers keep black borders and a dark
// theme cannot hide the box on its light ground.
//
// For assistive tools the box is static text named by its text, related to
// the caption boxes that say what its number means, and it tells them of a
// new text only when asked to (publishText), so a window that changes its
// numbers a thousand times a second can tell them a few times a second.
class BoxLabel : public QLabel {
    Q_OBJECT
public:
    explicit BoxLabel(const QString &text, QWidget *parent = nullptr);

    // Sends the name change for the text on show, if it differs from the
    // text last sent.
    void publishText();
    bool isPublished() const { return m_published == text(); }

    // Relates this value box to a caption box, both ways.
    void addCaption(BoxLabel *caption);
    QList<BoxLabel *> captions() const;
    QList<BoxLabel *> captioned() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_published;
    QList<QPointer<BoxLabel>> m_captions;
    QList<QPointer<BoxLabel>> m_captioned;
};
