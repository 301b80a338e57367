#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Release with the benchmarks into
# build-bench/, and runs them: the micro-benchmarks on the offscreen platform,
# then the whole program, the bare-timer baseline and the start-up baselines
# inside a virtual X server with a private session bus, its accessibility bus
# launched and accessibility on, as on a desktop. Sessions run twice: with no
# XSETTINGS daemon (the event-sound switch then reads GSettings) and with
# one. Prints the tables. Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ${1-} != --inside ]]; then
  bash tools/install-deps.sh test
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELK_BUILD_BENCH=ON >/dev/null
  cmake --build build-bench --parallel "$(nproc)"

  runtime_dir=$(mktemp -d)
  trap 'rm -rf "$runtime_dir"' EXIT
  export XDG_RUNTIME_DIR=$runtime_dir

  echo "== tick and graph drawing (offscreen, Google Benchmark)"
  QT_QPA_PLATFORM=offscreen build-bench/bin/tavelk_bench --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null

  xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" --inside
  exit
fi

# Inside the X server and the session bus.
bin=${TAVELK_BENCH_BIN:-build-bench/bin}
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The accessibility bus, launched as a desktop session has it.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null

echo
echo "== start-up, ${TAVELK_BENCH_STARTS:-20} interleaved starts each (session bus, accessibility on)"
"$bin/tavelk_sessionbench" --program "$bin/tavelk-benchlogged" --baretimer "$bin/baretimer" \
  --starts "${TAVELK_BENCH_STARTS:-20}"

echo
echo "== whole program, ${TAVELK_BENCH_SESSIONS:-5} sessions, no XSETTINGS daemon"
"$bin/tavelk_sessionbench" --program "$bin/tavelk-benchlogged" --baretimer "$bin/baretimer" \
  --sessions "${TAVELK_BENCH_SESSIONS:-5}" --runs 3

echo
echo "== whole program, ${TAVELK_BENCH_SESSIONS:-5} sessions, an XSETTINGS daemon with event sounds on"
conf=$(mktemp)
printf 'Net/EnableEventSounds 1\n' >"$conf"
xsettingsd -c "$conf" 2>/dev/null &
xsettings_pid=$!
trap 'kill "$xsettings_pid" 2>/dev/null; rm -f "$conf"' EXIT
sleep 0.5
"$bin/tavelk_sessionbench" --program "$bin/tavelk-benchlogged" --baretimer "$bin/baretimer" \
  --sessions "${TAVELK_BENCH_SESSIONS:-5}" --runs 3
