// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/retainedcanvas.h"

#include "ui/common/canvasaccessible.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// Far outside any drawing area, yet safe to hand to the painter as an int.
constexpr double kCoordinateLimit = 1 << 24;

int roundToPixel(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::round(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)));
}

} // namespace

RetainedCanvas::Batch::Batch(RetainedCanvas &canvas) : m_canvas(canvas)
{
    m_canvas.beginDrawing();
    ++m_canvas.m_batchDepth;
}

RetainedCanvas::Batch::~Batch()
{
    --m_canvas.m_batchDepth;
    m_canvas.endDrawing();
}

RetainedCanvas::RetainedCanvas(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    installCanvasAccessibleFactory();
}

RetainedCanvas::~RetainedCanvas() = default;

QSize RetainedCanvas::areaSize() const
{
    return contentsRect().size();
}

void RetainedCanvas::setScale(double width, double height)
{
    m_scaleWidth = width;
    m_scaleHeight = height;
}

double RetainedCanvas::scaleWidth() const
{
    return m_scaleWidth > 0.0 ? m_scaleWidth : areaSize().width();
}

double RetainedCanvas::scaleHeight() const
{
    return m_scaleHeight > 0.0 ? m_scaleHeight : areaSize().height();
}

QPoint RetainedCanvas::toPixel(double x, double y) const
{
    const QSize area = areaSize();
    const double w = scaleWidth();
    const double h = scaleHeight();
    return {w > 0.0 ? roundToPixel(x * area.width() / w) : 0, h > 0.0 ? roundToPixel(y * area.height() / h) : 0};
}

void RetainedCanvas::setCurrentPosition(double x, double y)
{
    m_currentX = x;
    m_currentY = y;
}

QFont RetainedCanvas::textFont() const
{
    // Smoothed glyph edges darken each time the same text is drawn over
    // itself, and the windows redraw their text on every activation.
    QFont f = font();
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
    return f;
}

int RetainedCanvas::lineHeight() const
{
    syncImage();
    if (m_image.isNull())
        return QFontMetrics(textFont()).height();
    return QFontMetrics(textFont(), &m_image).height();
}

void RetainedCanvas::pset(double x, double y, const QColor &colour)
{
    if (QPainter *p = beginDrawing()) {
        // A cosmetic pen sets one device pixel, whatever the pixel ratio.
        p->setPen(QPen(colour, 0));
        p->drawPoint(toPixel(x, y));
        endDrawing();
    }
    setCurrentPosition(x, y);
}

void RetainedCanvas::line(double x1, double y1, double x2, double y2, const QColor &colour)
{
    if (QPainter *p = beginDrawing()) {
        // Square caps make both end pixels part of the line; a cosmetic pen
        // keeps it one device pixel wide on a high-density screen.
        p->setPen(QPen(colour, 0, Qt::SolidLine, Qt::SquareCap));
        p->drawLine(toPixel(x1, y1), toPixel(x2, y2));
        endDrawing();
    }
    setCurrentPosition(x2, y2);
}

void RetainedCanvas::lineTo(double x2, double y2, const QColor &colour)
{
    line(m_currentX, m_currentY, x2, y2, colour);
}

void RetainedCanvas::print(const QString &text)
{
    const QFont f = textFont();
    int step = 0;
    if (QPainter *p = beginDrawing()) {
        const QFontMetrics metrics(f, p->device());
        step = metrics.height();
        if (!text.isEmpty()) {
            const QPoint topLeft = toPixel(m_currentX, m_currentY);
            p->setFont(f);
            p->setPen(m_foreground);
            p->drawText(topLeft.x(), topLeft.y() + metrics.ascent(), text);
        }
        endDrawing();
    }
    if (m_readable) {
        m_lines.append(text);
        if (!m_caretPlaced && !text.trimmed().isEmpty()) {
            m_caret = lineStart(int(readableText().size()));
            m_caretPlaced = true;
        }
    }
    const int areaHeight = areaSize().height();
    const double userStep = areaHeight > 0 ? step * scaleHeight() / areaHeight : 0.0;
    setCurrentPosition(0.0, m_currentY + userStep);
}

void RetainedCanvas::cls()
{
    if (QPainter *p = beginDrawing()) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(QRect(QPoint(0, 0), areaSize()), m_background);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        endDrawing();
    }
    setCurrentPosition(0.0, 0.0);
    m_lines.clear();
    m_caret = 0;
    m_caretPlaced = false;
}

const QImage &RetainedCanvas::image() const
{
    syncImage();
    return m_image;
}

void RetainedCanvas::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    syncImage();
    QPainter p(this);
    p.drawImage(contentsRect().topLeft(), m_image);
}

// Keeps the image matched to the drawing area. Done lazily because a widget
// that is not shown yet gets no resize event, yet may already be drawn on.
void RetainedCanvas::syncImage() const
{
    if (m_painter)
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = areaSize() * ratio;
    if (m_image.size() == deviceSize && m_image.devicePixelRatio() == ratio)
        return;
    QImage resized(deviceSize, QImage::Format_RGB32);
    resized.setDevicePixelRatio(ratio);
    resized.fill(m_background);
    if (!m_image.isNull() && !resized.isNull()) {
        QPainter p(&resized);
        p.drawImage(QPoint(0, 0), m_image);
    }
    m_image = resized;
}

// Null while there is no drawing area to paint on.
QPainter *RetainedCanvas::beginDrawing()
{
    if (!m_painter) {
        syncImage();
        if (m_image.isNull())
            return nullptr;
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, false);
    }
    return m_painter.get();
}

void RetainedCanvas::endDrawing()
{
    if (m_batchDepth > 0 || !m_painter)
        return;
    m_painter.reset();
    update(contentsRect());
}
