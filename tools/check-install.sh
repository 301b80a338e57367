#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installed form of Tavelk end to end:
#  - the licence data of the source tree (reuse lint);
#  - a build of the program alone, configured as a user or a distribution
#    would, with neither Qt Test nor Google Benchmark looked for;
#  - the files a DESTDIR install puts under /usr, the desktop entry and the
#    AppStream data;
#  - installs into two unrelated prefixes, each started under Xvfb and strace
#    to show that it opens its sounds from that prefix's share/tavelk, found
#    through XDG_DATA_DIRS, and never the copy in its working directory;
#  - the Debian package: lintian, its file list, installed with apt-get,
#    started with the default environment (sounds from /usr/share/tavelk),
#    removed again.
# Quiet on success; any failure prints why and exits non-zero.
# TAVELK_KEEP_WORK=1 keeps the logs, the package and the strace output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TAVELK_INSTALL_BUILD_DIR:-$root/build-install}

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

fail() { echo "check-install: $*" >&2; exit 1; }

bash tools/install-deps.sh test

work=$(mktemp -d)
installed_by_us=0
cleanup() {
  if [ "$installed_by_us" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tavelk >/dev/null 2>&1 || true
  fi
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${TAVELK_KEEP_WORK:-}" ]; then echo "check-install: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

log=$work/log
run() { "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }; }

# --- licences
run reuse lint

# --- build as a distribution does: its hardening flags, no test or benchmark
# packages (the configure fails if either is looked for).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
run cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=OFF -DTAVELK_BUILD_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
run cmake --build "$build" -j "$(nproc)"

# --- install into a DESTDIR and validate what lands there
dest=$work/dest
run env DESTDIR="$dest" cmake --install "$build" --prefix /usr
expected=(
  usr/bin/tavelk
  usr/share/tavelk/pinpon.wav
  usr/share/tavelk/endpinpon.wav
  usr/share/applications/org.example.tavelk.desktop
  usr/share/metainfo/org.example.tavelk.metainfo.xml
  usr/share/icons/hicolor/32x32/apps/tavelk.png
  usr/share/icons/hicolor/48x48/apps/tavelk.png
  usr/share/icons/hicolor/64x64/apps/tavelk.png
  usr/share/icons/hicolor/128x128/apps/tavelk.png
  usr/share/icons/hicolor/256x256/apps/tavelk.png
  usr/share/man/man6/tavelk.6.gz
  usr/share/doc/tavelk/copyright
  usr/share/doc/tavelk/changelog.gz
)
actual=$(cd "$dest" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "installed files differ from the expected list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
for size in 32 48 64 128 256; do
  file "$dest/usr/share/icons/hicolor/${size}x${size}/apps/tavelk.png" | grep -q "PNG image data, $size x $size" \
    || fail "icon ${size}x${size} is not a $size px PNG"
done
# Reproducible: no time stamp in the gzip header, and the committed text inside.
for pair in man/man6/tavelk.6.gz:tavelk.6 doc/tavelk/changelog.gz:changelog; do
  gz=$dest/usr/share/${pair%%:*}
  [ "$(od -An -tx1 -j4 -N4 "$gz" | tr -d ' \n')" = 00000000 ] || fail "$gz carries a time stamp"
  zcat "$gz" | cmp -s - "packaging/${pair##*:}" || fail "$gz is not packaging/${pair##*:}"
done
run desktop-file-validate "$dest/usr/share/applications/org.example.tavelk.desktop"
run appstreamcli validate --no-net "$dest/usr/share/metainfo/org.example.tavelk.metainfo.xml"
run appstreamcli validate-tree --no-net "$dest"

# --- start installed programs under one virtual X server
# It picks a free display itself, says which once it listens, and never resets.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export XDG_RUNTIME_DIR=$work/xdg-runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound server, named explicitly so that none is started on demand.
export PULSE_SERVER="unix:$work/no-sound-server"
# The working directory holds a playable decoy that must never be opened;
# XDG_DATA_HOME is empty so that the user's own data folder plays no part.
cwd=$work/cwd
mkdir -p "$cwd" "$work/data-home"
cp assets/sounds/pinpon.wav "$cwd/"

# A window is named before it is mapped, and a click before the map is lost:
# wait until a window with that name is on screen.
wait_for_window() {
  local id
  for _ in $(seq 100); do
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "$1" | awk '{print $1}'); do
      xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    done
    sleep 0.1
  done
  return 1
}

# session PROGRAM TRACE [ENV-ARGS...]: starts PROGRAM in $cwd under strace
# with the environment changed by env(1) ENV-ARGS, waits for its window, clicks HELP (which plays
# pinpon.wav), waits for the help window and stops the program.
session() {
  local program=$1 trace=$2 status=0 app
  shift 2
  (cd "$cwd" && exec env "$@" XDG_DATA_HOME="$work/data-home" \
     strace -f -qq -e trace=openat -o "$trace" "$program" >"$trace.out" 2>&1) &
  local tracer=$!
  if wait_for_window '" Tavelk"'; then
    # HELP stands at client (456,0), 57 x 25; the client area is at (232,136).
    xdotool mousemove $((232 + 484)) $((136 + 12)) click 1
    wait_for_window 'ヘルプ' || { echo "the help window did not open"; status=1; }
  else
    echo "the main window did not appear"; status=1
  fi
  # Stop the program itself; strace then ends with it.
  for app in $(pgrep -P "$tracer"); do kill "$app"; done
  wait "$tracer" 2>/dev/null || true
  return $status
}

# expect_sound TRACE PATH: pinpon.wav was opened from PATH and nowhere else.
expect_sound() {
  local opened
  opened=$(grep -E 'openat\(.*"([^"]*/)?pinpon\.wav", O_RDONLY[^)]*\) = [0-9]' "$1" \
             | grep -oE '"([^"]*/)?pinpon\.wav"' | tr -d '"' | sort -u)
  [ "$opened" = "$2" ] || { cat "$1.out" >&2; fail "expected pinpon.wav to be opened from $2 alone, saw: ${opened:-nothing}"; }
}

# --- two prefixes, found through XDG_DATA_DIRS
n=0
for prefix in "$work/a/usr/local" "$work/b/opt/tavelk"; do
  n=$((n + 1))
  run cmake --install "$build" --prefix "$prefix"
  trace=$work/trace-prefix$n
  session "$prefix/bin/tavelk" "$trace" XDG_DATA_DIRS="$prefix/share" >"$log" 2>&1 \
    || { cat "$log" "$trace.out" >&2; fail "the program installed in $prefix did not start as expected"; }
  expect_sound "$trace" "$prefix/share/tavelk/pinpon.wav"
done

# --- the Debian package
debs=$work/debs
mkdir -p "$debs"
run cpack --config "$build/CPackConfig.cmake" -G DEB -B "$debs"
deb=$(ls "$debs"/tavelk_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no tavelk_*.deb"
[ "$(dpkg-deb -f "$deb" Package)" = tavelk ] || fail "package name is not tavelk"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-ipafont-gothic; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
# The sound library is loaded when the first cue needs it: recommended.
[ "$(dpkg-deb -f "$deb" Recommends)" = libpulse0 ] || fail "Recommends is not libpulse0: $(dpkg-deb -f "$deb" Recommends)"
listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | sort)
[ "$listed" = "$wanted" ] || fail "package contents differ from the DESTDIR install:
$(diff <(echo "$wanted") <(echo "$listed") || true)"
lintian --fail-on error,warning "$deb" >"$log" 2>&1 || { cat "$log" >&2; fail "lintian rejects $deb"; }

# --- install it, start it with the default data folders, remove it
dpkg-query -W -f='${Status}' tavelk 2>/dev/null | grep -q "install ok installed" \
  && fail "tavelk is already installed; remove it first"
[ ! -e /usr/local/share/tavelk ] || fail "/usr/local/share/tavelk exists and would be found first; remove it"
cp "$deb" "$work/"
installed_by_us=1
run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$work/$(basename "$deb")"
for f in /usr/bin/tavelk /usr/share/tavelk/pinpon.wav /usr/share/tavelk/endpinpon.wav; do
  [ -f "$f" ] || fail "$f is not installed"
done
trace=$work/trace-package
session /usr/bin/tavelk "$trace" -u XDG_DATA_DIRS >"$log" 2>&1 \
  || { cat "$log" "$trace.out" >&2; fail "the installed program did not start as expected"; }
expect_sound "$trace" /usr/share/tavelk/pinpon.wav

run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tavelk
installed_by_us=0
[ ! -e /usr/bin/tavelk ] || fail "/usr/bin/tavelk is left after removal"
