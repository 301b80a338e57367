#include "ui/main/cardstack.h"

#include <QPainter>
#include <algorithm>

CardStack::CardStack(QWidget *parent) : QWidget(parent)
{
    setFixedSize(73, 105);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < kFaces; ++i) {
        const QImage face(QStringLiteral(":/cards/card%1.bmp").arg(i + 1, 2, 10, QLatin1Char('0')));
        // Nearest neighbour keeps the pixel-art faces crisp when stretched.
        m_toranpu[i].picture = QPixmap::fromImage(
            face.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
}

void CardStack::setCardVisible(std::int16_t index, bool visible)
{
    Face &face = m_toranpu[index - 1];
    if (face.visible == visible)
        return;
    face.visible = visible;
    update();
}

int CardStack::visibleCount() const
{
    return int(std::count_if(m_toranpu.begin(), m_toranpu.end(), [](const Face &f) { return f.visible; }));
}

std::int16_t CardStack::topCard() const
{
    for (int i = kFaces; i >= 1; --i)
        if (m_toranpu[i - 1].visible)
            return std::int16_t(i);
    return 0;
}

void CardStack::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const std::int16_t top = topCard();
    if (top == 0) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    // Faces are opaque and fill the rectangle, so only the top one shows.
    painter.drawPixmap(0, 0, m_toranpu[top - 1].picture);
}
