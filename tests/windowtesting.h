// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/programwindows.h"
#include "core/experiment.h"
#include "fakes.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <memory>

// The program's windows on a private record, a recording sound player and a
// real clock, for tests that drive the real widgets.
struct ProgramRig {
    ProgramRig() : record(std::make_unique<Module1>()), sound(log), windows(*record, sound, clock) {}

    std::unique_ptr<Module1> record;
    EventLog log;
    RecordingSound sound;
    SystemClock clock;
    ProgramWindows windows;
};

// Runs deleteLater() requests, which a test's own loop would otherwise never reach.
inline void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The main window's buttons as "+" (enabled) and "-" (disabled), Command1 first.
inline QString enabledMask(const Form1 *form)
{
    return maskOf([form](int b) { return form->command(b)->isEnabled(); });
}
