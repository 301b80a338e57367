// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>

// The card display: the 52 card faces stacked on one rectangle, each with
// its own visibility, like a row of image controls laid on top of each other.
// The faces are read from one sheet and scaled once when built, and again
// only when the window comes to a screen of another pixel ratio; a tick only
// flips visibility flags and repaints this rectangle, so neither it nor a
// paint costs any image work.
// Its accessible name is the top card's Japanese name, worked out only when
// an assistive tool asks for it.
class CardStack : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFaces = 52;

    explicit CardStack(QWidget *parent = nullptr);

    void setCardVisible(std::int16_t index, bool visible);
    bool isCardVisible(std::int16_t index) const { return m_toranpu[index - 1].visible; }
    int visibleCount() const;
    // Index of the face drawn on top, 0 if none is visible.
    std::int16_t topCard() const;
    // The prepared face, in the device pixels the rectangle covers on its screen.
    const QPixmap &facePixmap(std::int16_t index) const { return m_toranpu[index - 1].picture; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QSize deviceSize(qreal ratio) const;
    void prepareFaces();

    struct Face {
        QPixmap picture;
        bool visible = true;
    };
    std::array<Face, kFaces> m_toranpu;
    qreal m_faceRatio = 0.0;
    QSize m_faceSize;
};
