// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/boxlabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace {

QList<BoxLabel *> present(const QList<QPointer<BoxLabel>> &boxes)
{
    QList<BoxLabel *> result;
    for (const QPointer<BoxLabel> &box : boxes)
        if (box)
            result.append(box);
    return result;
}

class BoxLabelAccessible : public QAccessibleWidget {
public:
    explicit BoxLabelAccessible(BoxLabel *box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    BoxLabel *box() const { return static_cast<BoxLabel *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? box()->text() : QAccessibleWidget::text(t);
    }

    // Each pair names another box and what it is to this one.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        QList<QPair<QAccessibleInterface *, QAccessible::Relation>> result;
        const auto add = [&](const QList<BoxLabel *> &boxes, QAccessible::Relation relation) {
            if (!(match & relation))
                return;
            for (BoxLabel *other : boxes)
                if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(other))
                    result.append({iface, relation});
        };
        add(box()->captions(), QAccessible::Label);
        add(box()->captioned(), QAccessible::Labelled);
        return result;
    }
};

QAccessibleInterface *boxLabelAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("BoxLabel") && object && object->isWidgetType())
        return new BoxLabelAccessible(static_cast<BoxLabel *>(object));
    return nullptr;
}

} // namespace

BoxLabel::BoxLabel(const QString &text, QWidget *parent) : QLabel(text, parent), m_published(text)
{
    setContentsMargins(1, 1, 1, 1);
    setBackgroundRole(QPalette::Window); // not the window's button face
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    static const bool factoryInstalled = (QAccessible::installFactory(boxLabelAccessible), true);
    Q_UNUSED(factoryInstalled);
}

void BoxLabel::publishText()
{
    if (isPublished())
        return;
    m_published = text();
    // QLabel sends a name change on every new text unless the widget has an
    // accessible name of its own; once one is set it stays quiet and the box
    // decides when tools hear of its text. An empty text keeps the last name
    // set, as the interface reads the text itself.
    if (!m_published.isEmpty()) {
        setAccessibleName(m_published);
    } else {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void BoxLabel::addCaption(BoxLabel *caption)
{
    m_captions.append(caption);
    caption->m_captioned.append(this);
}

QList<BoxLabel *> BoxLabel::captions() const
{
    return present(m_captions);
}

QList<BoxLabel *> BoxLabel::captioned() const
{
    return present(m_captioned);
}

void BoxLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black); // on the fixed light ground, whatever the theme
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
