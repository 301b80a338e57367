#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tavelk and runs every test:
#  1. every C++ file checked against .clang-format;
#  2. the Debian package checked by Debian's own tools
#     (tools/test-package.sh: blhc, reprotest, lintian, piuparts, and
#     autopkgtest running the end-to-end scenarios on the installed program);
#  3. the whole ctest suite built with AddressSanitizer and UBSan;
#  4. the wave reader fuzzed for a minute (tools/test-fuzz.sh);
#  5. the ctest suite in the normal Release build, but for the end-to-end
#     scenarios, which stage 2 has run on the installed program of the same
#     build type;
#  6. the upstream install from that build (tools/check-install.sh);
#  7. the browser version built (tools/build-web.sh) and its scenarios run in
#     headless Chromium (tests/web; TAVELK_BROWSER_SCENARIOS names a few).
# Every stage runs even when an earlier one failed; the last lines say how
# each one ended, and the exit status is non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
# The tests set what they depend on themselves, so that they pass in an empty
# environment (env -i) as in a desktop session: a UTF-8 locale for the
# Japanese window titles, and a home for the tools that want one.
export LC_ALL=C.UTF-8
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
export PATH=${PATH:-/usr/sbin:/usr/bin:/sbin:/bin}

bash tools/install-deps.sh test || { echo "test: installing the packages failed" >&2; exit 1; }

# Every C++ file of the tree in the style of .clang-format.
format_check() {
  git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
}

normal_suite() {
  local jobs
  jobs=$(nproc)
  # The benchmarks are built (not run) so that they keep compiling.
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTAVELK_BUILD_BENCH=ON &&
    cmake --build build -j "$jobs" &&
    ctest --test-dir build --output-on-failure -j "$jobs" -E '^e2e_'
}

# The browser version, and its scenarios against the tests' expected table.
browser_suite() {
  local scenarios=${TAVELK_BROWSER_SCENARIOS:-}
  bash tools/build-web.sh || return
  # The accessibility checker, from the npm registry, only where it is used.
  if [ -z "$scenarios" ] || [[ " $scenarios " == *" viewports "* ]]; then
    npm ci --ignore-scripts --no-audit --no-fund --loglevel=error || return
  fi
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTAVELK_BUILD_BENCH=ON >/dev/null &&
    cmake --build build --target tavelk-e2e-layout &&
    (cd build-web && /usr/bin/python3 ../tests/web/run.py tavelk.html ../build/bin/tavelk-e2e-layout $scenarios)
}

names=() results=()
stage() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== $name"
  "$@" || status=$?
  names+=("$name")
  if [ "$status" -eq 0 ]; then
    results+=("passed in $((SECONDS - start)) s")
  else
    results+=("FAILED (exit $status) after $((SECONDS - start)) s")
  fi
}

stage "format" format_check
stage "Debian package" bash tools/test-package.sh
stage "sanitizer suite" bash tools/test-sanitizers.sh
stage "wave reader fuzzing" bash tools/test-fuzz.sh
stage "normal suite" normal_suite
stage "upstream install" bash tools/check-install.sh build
stage "browser" browser_suite

echo "== summary"
failed=0
for i in "${!names[@]}"; do
  printf '%-20s %s\n' "${names[i]}:" "${results[i]}"
  [[ ${results[i]} == passed* ]] || failed=1
done
exit "$failed"
