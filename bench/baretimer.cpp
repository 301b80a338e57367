// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The baseline for the automatic run: an application doing nothing but
// counting the ticks of a 1 ms timer. Prints the seconds one run of --ticks
// ticks took, one line per run.
//
//   baretimer [--ticks N] [--runs N] [--timer qtimer|tick] [--default-dispatcher]
//   baretimer --window
//   baretimer --floor
//
// By default the process is set up as the program's main() sets itself up
// (preparePunctualTimers: the Unix event dispatcher, 1 ns timer slack);
// --default-dispatcher leaves Qt's defaults. The two start-up baselines (seen
// through the benchmark log) show a window until they are ended: --window a
// window titled "bare" of the main window's size holding one button, the
// platform's own limit; --floor the main window's controls built from the
// program's table and nothing else of the program (no controller, icon,
// sound or bus check), titled "floor": what the design itself costs.
#include "app/punctualtimers.h"
#include "core/design.h"
#include "ui/common/fonts.h"
#include "ui/common/fromcore.h"
#include "ui/main/cardstack.h"
#include "ui/main/designedcontrols.h"
#include "ui/main/ticktimer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The main window as its table draws it: the same widgets, fonts, colours
// and caption relations, so the same accessible objects.
void buildFloor(QWidget &window)
{
    using namespace Design::Form1;
    Fonts::installSubstitutions();
    window.setWindowTitle(QStringLiteral("floor"));
    window.setBackgroundRole(FromCore::role(kBackground));
    window.setAutoFillBackground(true);
    const QRect client = FromCore::rect(kClient);
    window.setGeometry(client);
    window.setFixedSize(client.size());
    (new CardStack(&window))->move(FromCore::rect(kCards).topLeft());
    DesignedControls::buttons(&window);
    DesignedControls::labels(&window);
}

} // namespace

int main(int argc, char *argv[])
{
    int ticksWanted = 1000;
    int runs = 1;
    std::string timerKind = "qtimer";
    bool defaultDispatcher = false;
    bool window = false;
    bool floorWindow = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc)
            ticksWanted = std::atoi(argv[++i]);
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (arg == "--timer" && i + 1 < argc)
            timerKind = argv[++i];
        else if (arg == "--default-dispatcher")
            defaultDispatcher = true;
        else if (arg == "--window")
            window = true;
        else if (arg == "--floor")
            floorWindow = true;
    }
    if (!defaultDispatcher)
        preparePunctualTimers();
    QApplication app(argc, argv);
    if (window) {
        QWidget bare;
        bare.setWindowTitle(QStringLiteral("bare"));
        bare.setGeometry(232, 136, 568, 351);
        QPushButton button(QStringLiteral("OK"), &bare);
        button.setGeometry(8, 8, 80, 25);
        bare.show();
        return QApplication::exec();
    }
    if (floorWindow) {
        QWidget window;
        buildFloor(window);
        window.show();
        return QApplication::exec();
    }

    QTimer qtimer;
    qtimer.setInterval(1);
    qtimer.setTimerType(Qt::PreciseTimer);
    TickTimer tick;
    tick.setInterval(1);

    int ticks = 0;
    int runsDone = 0;
    QElapsedTimer clock;
    const bool useTick = timerKind == "tick";
    const auto startRun = [&] {
        ticks = 0;
        clock.start();
        if (useTick)
            tick.start();
        else
            qtimer.start();
    };
    const auto onTick = [&] {
        if (++ticks < ticksWanted)
            return;
        const qint64 ns = clock.nsecsElapsed();
        qtimer.stop();
        tick.stop();
        std::printf("%.6f\n", double(ns) / 1e9);
        std::fflush(stdout);
        if (++runsDone < runs)
            QTimer::singleShot(50, startRun);
        else
            QCoreApplication::quit();
    };
    QObject::connect(&qtimer, &QTimer::timeout, onTick);
    QObject::connect(&tick, &TickTimer::timeout, onTick);
    QTimer::singleShot(100, startRun);
    return QApplication::exec();
}
