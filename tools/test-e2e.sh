#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tavelk and runs only the real-window end-to-end tests (ctest label
# e2e): the program on a virtual X server, driven by pointer events.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test

build=${TAVELK_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" -L e2e --output-on-failure "$@"
