// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"
#include "core/experiment.h"
#include "core/randomcard.h"
#include "ui/common/effectsounddevice.h"
#include "ui/common/fonts.h"
#include "ui/main/programwindows.h"
#include "ui/main/ticktimer.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The event dispatcher and the platform are chosen when the application
    // object is built.
    TickTimer::prepareProcess();
    PlatformChoice::apply();
    Startup::holdMessages();
    QApplication app(argc, argv);
    Startup::releaseMessages();

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
