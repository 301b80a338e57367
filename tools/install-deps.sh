#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tavelk needs:
#   install-deps.sh run    to build and run the program (the default);
#   install-deps.sh test   that, and what the tests, the install and package
#                          checks and the benchmarks need;
#   install-deps.sh web    what tools/build-web.sh needs to build the browser
#                          version, and its tests in a real browser;
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

# The browser version: the compiler and bundler, what makes its assets
# (the font subset, the lossless cues, the sprite sheet), and the real
# browser with its driver that the browser tests run; Node.js runs the
# compiler's tools, and npm installs the pinned accessibility checker.
web_packages=(
  emscripten esbuild nodejs
  python3 python3-fonttools python3-brotli python3-pil flac optipng fonts-ipafont-gothic
  chromium chromium-driver python3-selenium
)
# A Node.js from elsewhere brings its own npm, which Debian's npm package
# would conflict with.
command -v npm >/dev/null 2>&1 || web_packages+=(npm)

matrix_packages=(mmdebstrap git)

case "${1:-run}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}" "${web_packages[@]}") ;;
  web) packages=("${web_packages[@]}") ;;
  matrix) packages=("${matrix_packages[@]}") ;;
  *) echo "usage: $0 [run|test|web|matrix]" >&2; exit 2 ;;
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
