// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/cardstack.h"

#include "core/cardrules.h"
#include "ui/common/fromcore.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

namespace {

// Reads the name from the stack when asked, so showing a card on a tick
// never does any accessibility work.
class CardStackAccessible : public QAccessibleWidget {
public:
    explicit CardStackAccessible(CardStack *stack) : QAccessibleWidget(stack, QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return FromCore::text(CardRules::cardName(static_cast<const CardStack *>(widget())->topCard()));
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *cardStackAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("CardStack") && object && object->isWidgetType())
        return new CardStackAccessible(static_cast<CardStack *>(object));
    return nullptr;
}

} // namespace

CardStack::CardStack(QWidget *parent) : QWidget(parent)
{
    setFixedSize(73, 105);
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool factoryInstalled = (QAccessible::installFactory(cardStackAccessible), true);
    Q_UNUSED(factoryInstalled);
    prepareFaces();
}

bool CardStack::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::ScreenChangeInternal: // the window went to another screen
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
        prepareFaces();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// The device pixels this rectangle covers in its window's backing store. Qt
// rounds each edge on its own, so at a fractional ratio the width can be one
// more or less than the rounded width times the ratio; a face of that size
// would leave a sliver unpainted or lose a row.
QSize CardStack::deviceSize(qreal ratio) const
{
    const QPoint origin = mapTo(window(), QPoint(0, 0));
    const auto edge = [ratio](int logical) { return qRound(logical * ratio); };
    return {edge(origin.x() + width()) - edge(origin.x()), edge(origin.y() + height()) - edge(origin.y())};
}

// The faces are made at the device resolution, so a high-density screen
// shows them sharp instead of having the painter stretch them.
void CardStack::prepareFaces()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size = deviceSize(ratio);
    if (ratio == m_faceRatio && size == m_faceSize)
        return;
    m_faceRatio = ratio;
    m_faceSize = size;
    for (int i = 0; i < kFaces; ++i) {
        const QImage face(QStringLiteral(":/cards/card%1.bmp").arg(i + 1, 2, 10, QLatin1Char('0')));
        // Nearest neighbour keeps the pixel-art faces crisp when stretched.
        QPixmap picture = QPixmap::fromImage(face.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        picture.setDevicePixelRatio(ratio);
        m_toranpu[i].picture = picture;
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
