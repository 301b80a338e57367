// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/busprobe.h"
#include "app/platformchoice.h"
#include "app/programwindows.h"
#include "app/punctualtimers.h"
#include "app/startup.h"
#include "core/experiment.h"
#include "core/randomcard.h"
#include "sound/effectsounddevice.h"
#include "ui/common/fonts.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Runs an action once, after the program's first window expose has been
// painted. A zero-time timer started with the window would fire before the
// window system's expose arrives, and what the action starts would share the
// cores with the first frame.
class AfterFirstFrame : public QObject {
public:
    AfterFirstFrame(QCoreApplication &app, std::function<void()> action) : QObject(&app), m_action(std::move(action))
    {
        app.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the expose is painted when this filter returns.
            QTimer::singleShot(0, this, [this] {
                m_action();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

int runProgram(int argc, char *argv[])
{
    // The event dispatcher and the platform are chosen when the application
    // object is built.
    preparePunctualTimers();
    PlatformChoice::apply();
    // Qt's platform integration waits without end on a bus that is stuck.
    // The font configuration, which needs no bus, is read while the buses
    // answer.
    BusProbe::Check buses;
    Fonts::readConfiguration();
    buses.finish();
    Startup::holdMessages();
    QApplication app(argc, argv);
    Startup::releaseMessages();

    QApplication::setApplicationName(QStringLiteral("tavelk"));
    // Docks and task bars match the windows to the desktop entry by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavelk.Tavelk"));
    Fonts::installSubstitutions();

    // The shared half of the experiment record lives as long as the process
    // and outlives every window that reads it.
    const auto record = std::make_unique<Module1>();
    EffectSoundDevice sound;
    SystemClock clock;
    ProgramWindows windows(*record, sound, clock);
    windows.showMainWindow();
    // Reach the sound server once the window's first frame is on screen, not
    // before, and not only at the first cue, which would then start late.
    new AfterFirstFrame(app, [&sound] { sound.prepare(); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    const int code = runProgram(argc, argv);
    // Everything the program made is gone by now. What is left are library
    // globals and the sound thread, which may still be letting go of its
    // connection or be stuck in a read; the process ends without waiting for
    // it and without running the globals' destructors.
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
    std::_Exit(code);
}
