// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// The benchmark log, compiled in only when the benchmarks are built
// (TAVELK_BUILD_BENCH, which defines TAVELK_WITH_BENCH_LOG): with
// TAVELK_BENCH_LOG=<file> the program appends one line per window exposure
// and per timer start and stop, with CLOCK_MONOTONIC and process CPU times in
// nanoseconds. The variable is read once when the application object is
// built; unset, the only cost is a null check on timer start and stop, never
// on a tick.
namespace BenchLog {
void timerStarted();
void timerStopped(std::int64_t ticks);
} // namespace BenchLog
