// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Tells a screen reader of a result in a window, politely, after what it is
// saying.
class Announcer : public QObject {
    Q_OBJECT
public:
    explicit Announcer(QWidget *window);

    void announce(const QString &message);
    // The last message told, whatever the screen reader made of it.
    const QString &last() const { return m_last; }

private:
    void focusChanged(QWidget *old);

    QWidget *m_window;
    QString m_last;
    QPointer<QWidget> m_carrier; // carries the last message as its description
};
