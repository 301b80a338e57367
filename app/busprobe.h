// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <memory>

// Qt's platform integration talks to the session bus, and to the
// accessibility bus it finds through it, with calls that wait without end
// (or for libdbus's 25 s) on a bus daemon that is stuck: the window then never
// opens, or opens and never answers. Before the application object is built,
// both buses are asked for an answer on a thread of their own, for a bounded
// time. A bus that stays silent is left out: Qt is given an address for it
// that fails at once, and one line on stderr says what the program goes
// without. A bus that answers, or that fails at once by itself, is left to Qt.
namespace BusProbe {

// The accessibility bus is checked whenever it is named (AT_SPI_BUS_ADDRESS)
// or its launcher answers on the session bus. That covers every way of
// asking for accessibility (QT_LINUX_ACCESSIBILITY_ALWAYS_ON and the
// launcher's org.a11y.Status need the launcher), and more: on X11, Qt
// connects to the bus the launcher publishes on the root window whatever
// the status says.
void leaveOutStalledBuses(std::chrono::milliseconds budget = std::chrono::milliseconds(200));

// The same check in two halves, so that the caller can do work of its own
// (nothing that needs a bus) while the buses answer: the constructor starts
// it, finish() waits for the verdict and applies it, as leaveOutStalledBuses.
struct Probe;
class Check {
public:
    explicit Check(std::chrono::milliseconds budget = std::chrono::milliseconds(200));
    void finish();

private:
    std::shared_ptr<Probe> m_probe;
};

} // namespace BusProbe
