// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"
#include "core/randomcard.h"
#include "ui/common/effectsounddevice.h"
#include "ui/common/fonts.h"
#include "app/programwindows.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <memory>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

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

// Sets up the process for punctual timers: the Unix event dispatcher (whose
// waits are not cut to whole milliseconds a second time by glib) and a 1 ns
// timer slack (so the kernel wakes us when asked, not up to 50 us later).
// Must run before the application object is built; a QT_NO_GLIB already set
// by the user is respected.
void preparePunctualTimers()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    preparePunctualTimers();
    g_previousHandler = qInstallMessageHandler(holdStartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    for (const QString &message : std::as_const(g_heldMessages))
        std::fprintf(stderr, "%s\n", qPrintable(message));

    QApplication::setApplicationName(QStringLiteral("tavelk"));
    Fonts::installSubstitutions();

    // The shared half of the experiment record lives as long as the process
    // and outlives every window that reads it.
    const auto record = std::make_unique<Module1>();
    EffectSoundDevice sound;
    SystemClock clock;
    ProgramWindows windows(*record, sound, clock);
    windows.showMainWindow();
    return QApplication::exec();
}
