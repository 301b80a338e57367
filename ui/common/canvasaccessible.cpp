// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/canvasaccessible.h"

#include "ui/common/retainedcanvas.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QKeyEvent>

#include <algorithm>

namespace {

// The canvas as assistive tools see it: read-only text when it is readable,
// else an image. Its text is read from the canvas on each request.
class CanvasAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CanvasAccessible(RetainedCanvas *canvas) : QAccessibleWidget(canvas) {}

    RetainedCanvas *canvas() const { return static_cast<RetainedCanvas *>(widget()); }

    QAccessible::Role role() const override
    {
        return canvas()->isReadable() ? QAccessible::EditableText : QAccessible::Graphic;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (canvas()->isReadable()) {
            s.readOnly = true;
            s.multiLine = true;
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && canvas()->isReadable())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // No selection.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}

    int cursorPosition() const override { return canvas()->caret(); }
    void setCursorPosition(int position) override { canvas()->setCaret(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return canvas()->readableText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(canvas()->readableText().size()); }

    // Where a character stands: its line's row, and across by the width of
    // the text before it on that line.
    QRect characterRect(int offset) const override
    {
        const QString all = canvas()->readableText();
        if (offset < 0 || offset >= all.size())
            return {};
        const int start = canvas()->lineStart(offset);
        const int row = int(all.left(start).count(QLatin1Char('\n')));
        const QFontMetrics metrics(canvas()->font());
        const QPoint origin = canvas()->mapToGlobal(canvas()->contentsRect().topLeft());
        const int x = metrics.horizontalAdvance(all.mid(start, offset - start));
        return {origin.x() + x, origin.y() + row * canvas()->lineHeight(), metrics.horizontalAdvance(all.at(offset)),
                canvas()->lineHeight()};
    }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }
};

QAccessibleInterface *canvasAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("RetainedCanvas") && object && object->isWidgetType())
        return new CanvasAccessible(static_cast<RetainedCanvas *>(object));
    return nullptr;
}

} // namespace

void installCanvasAccessibleFactory()
{
    static const bool factoryInstalled = (QAccessible::installFactory(canvasAccessible), true);
    Q_UNUSED(factoryInstalled);
}

// The canvas's caret and its keys serve only the text assistive tools read,
// so they live with the interface rather than with the drawing.

int RetainedCanvas::lineStart(int offset) const
{
    const QString all = readableText();
    offset = std::clamp(offset, 0, int(all.size()));
    return offset == 0 ? 0 : int(all.lastIndexOf(QLatin1Char('\n'), offset - 1)) + 1;
}

int RetainedCanvas::lineEnd(int offset) const
{
    const QString all = readableText();
    const int end = int(all.indexOf(QLatin1Char('\n'), std::clamp(offset, 0, int(all.size()))));
    return end < 0 ? int(all.size()) : end;
}

void RetainedCanvas::setCaret(int offset)
{
    offset = std::clamp(offset, 0, int(readableText().size()));
    if (offset == m_caret)
        return;
    m_caret = offset;
    QAccessibleTextCursorEvent event(this, m_caret);
    QAccessible::updateAccessibility(&event);
}

// The caret keys of a read-only text box; nothing on the canvas shows the
// caret, so the picture stays as printed.
void RetainedCanvas::keyPressEvent(QKeyEvent *event)
{
    if (!m_readable) {
        QFrame::keyPressEvent(event);
        return;
    }
    const int size = int(readableText().size());
    const bool wholeText = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    // Up and Down go to the start of the line before or after.
    case Qt::Key_Up:
        if (lineStart(m_caret) > 0)
            setCaret(lineStart(lineStart(m_caret) - 1));
        break;
    case Qt::Key_Down:
        if (lineEnd(m_caret) < size)
            setCaret(lineEnd(m_caret) + 1);
        break;
    case Qt::Key_Left:
        setCaret(m_caret - 1);
        break;
    case Qt::Key_Right:
        setCaret(m_caret + 1);
        break;
    case Qt::Key_Home:
        setCaret(wholeText ? 0 : lineStart(m_caret));
        break;
    case Qt::Key_End:
        setCaret(wholeText ? size : lineEnd(m_caret));
        break;
    case Qt::Key_PageUp:
        setCaret(0);
        break;
    case Qt::Key_PageDown:
        setCaret(lineStart(size));
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}
