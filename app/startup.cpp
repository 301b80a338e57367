// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/startup.h"

#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {

QStringList g_held;
QtMessageHandler g_previousHandler = nullptr;

bool isDisplayProblem()
{
    // xcb: "could not connect to display :0"; wayland: "Failed to create wl_display".
    for (const QString &message : std::as_const(g_held)) {
        if (message.contains(QLatin1String("display"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

[[noreturn]] void failStart(const QString &fatal)
{
    QString text = isDisplayProblem()
        ? QStringLiteral("tavelk: cannot open a display; on a machine without a screen run it under xvfb-run\n")
        : QStringLiteral("tavelk: Qt's platform plugin cannot start\n");
    // Qt's words, indented under the first line so they read as one message.
    QStringList reasons = g_held;
    reasons << fatal.split(QLatin1Char('\n'));
    for (const QString &line : std::as_const(reasons)) {
        if (!line.trimmed().isEmpty())
            text += QLatin1String("  ") + line.trimmed() + QLatin1Char('\n');
    }
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        failStart(message);
    g_held << qFormatLogMessage(type, context, message);
}

} // namespace

void Startup::holdMessages()
{
    g_previousHandler = qInstallMessageHandler(holdMessage);
}

void Startup::releaseMessages()
{
    qInstallMessageHandler(g_previousHandler);
    for (const QString &message : std::as_const(g_held))
        std::fprintf(stderr, "%s\n", qPrintable(message));
    g_held.clear();
}
