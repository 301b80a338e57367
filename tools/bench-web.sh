#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the browser version (printing its size by part) and runs its
# benchmarks in headless Chromium (bench/web.py). Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-web.sh
echo
/usr/bin/python3 bench/web.py build-web/tavelk.html "${TAVELK_BENCH_SESSIONS:-5}"
