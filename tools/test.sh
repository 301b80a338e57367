#!/usr/bin/env bash
# Installs what is missing, builds Tavelk and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
