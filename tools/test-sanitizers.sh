#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tavelk with AddressSanitizer and UndefinedBehaviorSanitizer (the
# "asan" preset in CMakePresets.json, in build-asan) and runs the whole ctest
# suite under them. The sanitizer options, with LeakSanitizer's suppressions
# in tools/lsan.supp, come from the test preset. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test

cmake --preset asan
cmake --build --preset asan
ctest --preset asan "$@"
