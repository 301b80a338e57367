#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the wave reader: builds tests/fuzz/wavefile_fuzzer.cpp with clang's
# libFuzzer, AddressSanitizer and UBSan into build-fuzz/, and runs it from the
# seed corpus in tests/fuzz/wavefile-seeds for TAVELK_FUZZ_SECONDS (60 by
# default). A crash, a sanitizer report or an input slower than 5 s fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test

seconds=${TAVELK_FUZZ_SECONDS:-60}
out=build-fuzz
mkdir -p "$out"
clang++ -std=c++20 -g -O1 -Wall -Wextra -Wpedantic -I. \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  tests/fuzz/wavefile_fuzzer.cpp sound/wavefile.cpp -o "$out/wavefile_fuzzer"

# The corpus grows in build-fuzz; the seeds in the repository stay as they are.
corpus="$out/wavefile-corpus"
mkdir -p "$corpus"
# Small inputs reach every chunk path; the size limit has its unit test.
"$out/wavefile_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=8192 \
  -print_final_stats=1 -artifact_prefix="$out/" \
  "$corpus" tests/fuzz/wavefile-seeds 2>"$out/fuzz.log" || {
  tail -n 40 "$out/fuzz.log" >&2
  echo "wave reader fuzzing failed; the input is in $out/ (crash-*, timeout-*)" >&2
  exit 1
}
grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/fuzz.log" || true
