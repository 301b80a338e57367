// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/canvas.h"
#include "ui/common/fromcore.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QStringList>

#include <memory>

class QPainter;

// A sunken drawing surface that keeps everything drawn on it in an image,
// so covering and uncovering the window never loses the picture. Drawing is
// done in a user coordinate system (scale width x height units over the
// drawing area, origin top-left, y down) and follows a current position, the
// way the windows of this program build their pictures step by step.
class RetainedCanvas : public QFrame {
    Q_OBJECT

public:
    // Keeps one painter open over several drawing calls; the widget is
    // refreshed once when the outermost batch ends.
    class Batch {
    public:
        explicit Batch(RetainedCanvas &canvas);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        RetainedCanvas &m_canvas;
    };

    explicit RetainedCanvas(QWidget *parent = nullptr);
    ~RetainedCanvas() override;

    // Size of the drawing area in (logical) pixels: the widget less its frame.
    QSize areaSize() const;

    // Until a scale is set, one unit is one pixel.
    void setScale(double width, double height);
    double scaleWidth() const;
    double scaleHeight() const;

    // User units to area pixels, rounded the same way everywhere.
    QPoint toPixel(double x, double y) const;

    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }
    void setCurrentPosition(double x, double y);

    QColor foreground() const { return m_foreground; }
    void setForeground(const QColor &colour) { m_foreground = colour; }
    QColor background() const { return m_background; }
    // Takes effect at the next cls().
    void setBackground(const QColor &colour) { m_background = colour; }

    // Height of one printed line in pixels, for the widget's font.
    int lineHeight() const;

    void pset(double x, double y, const QColor &colour);
    void line(double x1, double y1, double x2, double y2, const QColor &colour);
    void lineTo(double x2, double y2, const QColor &colour);
    void print(const QString &text);
    void cls();

    // The retained picture of the drawing area, in device pixels.
    const QImage &image() const;

    // A readable canvas is text to assistive tools: the lines print() put on
    // it since the last cls(), with an unseen caret that the arrow keys move,
    // so that a screen reader reads it line by line. Any other canvas is a
    // picture to them, described in words by its owner.
    // The caret and its keys are in canvasaccessible.cpp.
    void setReadable(bool readable) { m_readable = readable; }
    bool isReadable() const { return m_readable; }
    QString readableText() const { return m_lines.join(QLatin1Char('\n')); }
    int caret() const { return m_caret; }
    void setCaret(int offset);
    // Start of the line that holds offset, and the offset just past its end.
    int lineStart(int offset) const;
    int lineEnd(int offset) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void syncImage() const;
    QPainter *beginDrawing();
    void endDrawing();
    QFont textFont() const;

    mutable QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    int m_batchDepth = 0;
    double m_scaleWidth = 0.0;
    double m_scaleHeight = 0.0;
    double m_currentX = 0.0;
    double m_currentY = 0.0;
    QColor m_foreground = Qt::black;
    QColor m_background = Qt::white;
    bool m_readable = false;
    QStringList m_lines;
    int m_caret = 0;
    bool m_caretPlaced = false; // on the first line with text
};

// The core's drawing steps onto a retained canvas, as one batch: the widget
// is refreshed once, when the steps are done.
class CanvasSteps final : public Canvas {
public:
    explicit CanvasSteps(RetainedCanvas &canvas) : m_canvas(canvas), m_batch(canvas) {}

    void setCurrentPosition(double x, double y) override { m_canvas.setCurrentPosition(x, y); }
    void pset(double x, double y, Design::Rgb colour) override { m_canvas.pset(x, y, FromCore::colour(colour)); }
    void line(double x1, double y1, double x2, double y2, Design::Rgb colour) override
    {
        m_canvas.line(x1, y1, x2, y2, FromCore::colour(colour));
    }
    void lineTo(double x, double y, Design::Rgb colour) override { m_canvas.lineTo(x, y, FromCore::colour(colour)); }
    void print(const std::string &text) override { m_canvas.print(FromCore::text(text)); }
    void cls() override { m_canvas.cls(); }

private:
    RetainedCanvas &m_canvas;
    RetainedCanvas::Batch m_batch;
};
