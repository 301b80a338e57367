// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"
#include "core/experiment.h"
#include "core/randomcard.h"
#include "ui/common/effectsounddevice.h"
#include "ui/common/fonts.h"
#include "ui/main/programwindows.h"
#include "ui/main/ticktimer.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt's platform plugin gives up with several lines of
// advice and abort(), which leaves a core dump. While the application object
// is being built, hold Qt's messages back; if that ends fatally, say one
// plain sentence and exit with 1 instead.
QStringList g_heldMessages;
QtMessageHandler g_previousHandler = nullptr;

void holdStartupMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        g_heldMessages << qFormatLogMessage(type, context, message);
        return;
    }
    std::fputs("tavelk: cannot open a display; on a machine without a screen run it under xvfb-run\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    // The event dispatcher and the platform are chosen when the application
    // object is built.
    TickTimer::prepareProcess();
    PlatformChoice::apply();
    g_previousHandler = qInstallMessageHandler(holdStartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    for (const QString &message : std::as_const(g_heldMessages))
        std::fprintf(stderr, "%s\n", qPrintable(message));

    QApplication::setApplicationName(QStringLiteral("tavelk"));
    // Docks and task bars match the windows to the desktop entry by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tavelk"));
    Fonts::installSubstitutions();

    EffectSoundDevice sound;
    SystemClock clock;
    ProgramWindows windows(Module1::instance(), sound, clock);
    windows.showMainWindow();
    return QApplication::exec();
}
