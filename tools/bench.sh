#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Release with the benchmarks into
# build-bench/, and runs them: the micro-benchmarks on the offscreen platform,
# then the whole program and the bare-timer baseline inside a virtual X server.
# Prints the tables. Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELK_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)"

bin=build-bench/bin
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR=$runtime_dir

echo "== tick and graph drawing (offscreen, Google Benchmark)"
QT_QPA_PLATFORM=offscreen "$bin/tavelk_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null

echo
echo "== whole program under Xvfb (${TAVELK_BENCH_SESSIONS:-5} sessions)"
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$bin/tavelk_sessionbench" --program "$bin/tavelk-benchlogged" --baretimer "$bin/baretimer" \
  --sessions "${TAVELK_BENCH_SESSIONS:-5}" --runs 3
