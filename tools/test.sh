#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tavelk and runs every test:
#  1. the installed form: install rules, desktop and AppStream validation,
#     the Debian package installed and started under Xvfb;
#  2. the whole ctest suite built with AddressSanitizer and UBSan;
#  3. the wave reader fuzzed for a minute (tools/test-fuzz.sh);
#  4. the whole ctest suite in the normal Release build, the real-window
#     end-to-end tests (label e2e) included.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test

echo "== installed form"
bash tools/check-install.sh
echo "install check passed"

echo "== sanitizer suite"
bash tools/test-sanitizers.sh

echo "== wave reader fuzzing"
bash tools/test-fuzz.sh

echo "== normal suite"
jobs=$(nproc)
# The benchmarks are built (not run) so that they keep compiling.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTAVELK_BUILD_BENCH=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
