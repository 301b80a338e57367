#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows whether the test command can be trusted: runs `bash tools/test.sh` N
# times, each in a fresh `git clone` of this repository's HEAD (so nothing
# left in a build folder can help), prints how many runs passed and, for each
# failure, the failing ctest names with their first error lines. Not part of
# CI: one run takes many minutes.
#
#   tools/repeat-tests.sh N [LOGDIR]
#
# Every run's whole output is kept in LOGDIR (default: a new folder under
# /tmp, named at the start and at the end) as run-K.log.
# If ccache is installed, compiles go through it (CMAKE_CXX_COMPILER_LAUNCHER),
# and every clone lands at the same path under CCACHE_BASEDIR, so the second
# and later runs compile from the cache; CCACHE_DIR is used if set.
# Only committed work is tested: uncommitted changes are not in the clone.
set -euo pipefail

runs=${1:?usage: $0 N [LOGDIR]}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "repeat-tests: N must be a positive number" >&2; exit 2; }
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
head=$(git -C "$repo" rev-parse HEAD)
logs=${2:-$(mktemp -d /tmp/tavelk-repeat.XXXXXX)}
mkdir -p "$logs"
logs=$(cd "$logs" && pwd)

work=$(mktemp -d /tmp/tavelk-repeat-work.XXXXXX)
trap 'rm -rf "$work"' EXIT
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$work
fi

# The failing ctest names and, for each, the first lines of its output that
# say what went wrong; without a failing ctest (a build or install check
# failed), the end of the log.
summarise() {
  local log=$1 names name
  names=$(sed -n '/The following tests FAILED:/,/^Errors while running CTest/p' "$log" \
    | awk '/^[[:space:]]*[0-9]+ - / {print $3}')
  if [ -z "$names" ]; then
    tail -n 12 "$log" | sed 's/^/    /'
    return
  fi
  for name in $names; do
    echo "  $name"
    awk -v name="$name" '
      $0 ~ ("Test +#[0-9]+: " name " ") {inside = 1; next}
      inside && /Test +#[0-9]+: / {inside = 0}
      inside' "$log" \
      | grep -E 'FAIL|ERROR|[Ee]rror|Sanitizer|SUMMARY|runtime error|Segmentation|Timeout|Abort|QWARN|cannot' \
      | head -n 6 | sed 's/^/    /' || true
  done
}

echo "repeat-tests: $runs runs of tools/test.sh at $head; logs in $logs"
passed=0
for ((k = 1; k <= runs; k++)); do
  log=$logs/run-$k.log
  rm -rf "$work/tavelk"
  start=$SECONDS
  if git clone -q "$repo" "$work/tavelk" >"$log" 2>&1 \
    && git -C "$work/tavelk" checkout -q --detach "$head" >>"$log" 2>&1 \
    && (cd "$work/tavelk" && bash tools/test.sh) >>"$log" 2>&1; then
    passed=$((passed + 1))
    echo "run $k: passed ($((SECONDS - start)) s)"
  else
    echo "run $k: FAILED ($((SECONDS - start)) s), $log"
    summarise "$log"
  fi
done
echo "repeat-tests: $passed of $runs runs passed; logs in $logs"
[ "$passed" -eq "$runs" ]
