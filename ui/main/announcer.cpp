// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/announcer.h"

#include <QAccessible>
#include <QApplication>
#include <QWidget>

Announcer::Announcer(QWidget *window) : m_window(window)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // This object is the watch's context, so the watch goes with it, before
    // the window's children (and with them the focus) go.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) { focusChanged(old); });
#endif
}

void Announcer::announce(const QString &message)
{
    m_last = message;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(m_window, message);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    // Before announcements, Orca speaks a new description of the object
    // that has the focus. The description goes when the focus does, so the
    // button is not announced with an old result when it is met again.
    QWidget *focus = m_window->focusWidget();
    if (!focus)
        return;
    if (m_carrier && m_carrier != focus)
        m_carrier->setAccessibleDescription(QString());
    m_carrier = focus;
    focus->setAccessibleDescription(message);
#endif
}

void Announcer::focusChanged(QWidget *old)
{
    if (old && old == m_carrier) {
        m_carrier->setAccessibleDescription(QString());
        m_carrier = nullptr;
    }
}
