// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/cardstack.h"

#include "core/cardrules.h"
#include "ui/common/fromcore.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QList>
#include <QPainter>
#include <QResource>
#include <QtEndian>
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

constexpr int kSourceWidth = 69;
constexpr int kSourceHeight = 93;

// The faces as tools/cardgen draws them, read in place from the one sheet in
// the program's resources (an uncompressed 8-bit BMP stored top-down, card 1
// at the top): no decoder, no file per face. Null images if the sheet is not
// that.
class FaceSheet {
public:
    FaceSheet()
    {
        const QResource resource(QStringLiteral(":/cards/faces.bmp"));
        const uchar *bytes = resource.data();
        const qint64 size = resource.size();
        const auto at = [&](int offset) { return qFromLittleEndian<quint32>(bytes + offset); };
        if (!bytes || resource.compressionAlgorithm() != QResource::NoCompression || size < 54 || bytes[0] != 'B'
            || bytes[1] != 'M' || at(14) != 40 || qint32(at(18)) != kSourceWidth
            || qint32(at(22)) != -kSourceHeight * CardStack::kFaces || qFromLittleEndian<quint16>(bytes + 28) != 8
            || at(30) != 0 || at(46) == 0 || at(46) > 256)
            return;
        const quint32 colours = at(46);
        const quint32 pixels = at(10);
        if (pixels < 54 + 4 * colours || pixels + quint64(kStride) * kSourceHeight * CardStack::kFaces > quint64(size))
            return;
        for (quint32 i = 0; i < colours; ++i)
            m_colours.append(qRgb(bytes[54 + 4 * i + 2], bytes[54 + 4 * i + 1], bytes[54 + 4 * i]));
        m_pixels = bytes + pixels;
    }

    // The face as the 24-bit card file decodes: opaque RGB32.
    QImage face(int index) const
    {
        if (!m_pixels)
            return {};
        QImage indexed(m_pixels + qsizetype(index - 1) * kSourceHeight * kStride, kSourceWidth, kSourceHeight, kStride,
                       QImage::Format_Indexed8);
        indexed.setColorTable(m_colours);
        return indexed.convertToFormat(QImage::Format_RGB32);
    }

private:
    static constexpr int kStride = (kSourceWidth + 3) & ~3;
    const uchar *m_pixels = nullptr;
    QList<QRgb> m_colours;
};

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
    static const FaceSheet sheet;
    for (int i = 0; i < kFaces; ++i) {
        // Nearest neighbour keeps the pixel-art faces crisp when stretched.
        QPixmap picture =
            QPixmap::fromImage(sheet.face(i + 1).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
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
