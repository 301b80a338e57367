#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tavelk needs:
#   install-deps.sh run    to build and run the program (the default);
#   install-deps.sh test   that, and what the tests, the install and package
#                          checks and the benchmarks need;
#   install-deps.sh matrix what tools/test-release.sh needs on the host to
#                          make minimal roots of other releases.
# Packages already present are skipped, so a second run costs nothing.
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build
  qt6-base-dev libxkbcommon-dev libpulse-dev libxcb1-dev libdbus-1-dev
  fonts-ipafont-gothic fonts-dejavu-extra
)

# One group per line: the benchmarks; the real-window tests under Xvfb; the
# accessibility bus they read the program through, and the screen reader
# with its speech server and the pgrep its start calls; the window managers
# they run under; the sound-cue test's private sound server, recorder and
# settings daemon; the wave reader's
# fuzzer (clang's libFuzzer and sanitizer runtimes) and the format check;
# the install check (validators, the licence check, the file-open trace); the
# package checks (the package built by Debian's tooling, lintian, blhc,
# reprotest with what its variations use, piuparts, autopkgtest with the
# roots they run in and the user namespace's id maps).
test_packages=(
  libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick
  python3 python3-pyatspi at-spi2-core dbus-daemon
  orca speech-dispatcher procps
  openbox xfwm4
  pulseaudio pulseaudio-utils xsettingsd
  clang libclang-rt-dev clang-format
  desktop-file-utils appstream file reuse strace
  dpkg-dev debhelper lintian blhc
  reprotest diffoscope-minimal disorderfs faketime
  piuparts eatmydata autopkgtest mmdebstrap uidmap
)

matrix_packages=(mmdebstrap git)

case "${1:-run}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  matrix) packages=("${matrix_packages[@]}") ;;
  *) echo "usage: $0 [run|test|matrix]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
