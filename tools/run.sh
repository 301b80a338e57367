#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running need, builds the program alone and
# starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target tavelk
exec ./build/bin/tavelk "$@"
