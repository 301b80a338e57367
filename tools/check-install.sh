#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the upstream install, what no Debian tool looks at (the Debian
# package itself is checked by tools/test-package.sh):
#  - the licence data of the source tree (reuse lint);
#  - the files a DESTDIR install puts under /usr, the desktop entry and the
#    AppStream data;
#  - no installed program searches for libraries outside the system's
#    folders (no empty, relative or $ORIGIN run path);
#  - installs into two unrelated prefixes, each started under Xvfb and strace
#    to show that it opens its sounds from that prefix's share/tavelk, found
#    through XDG_DATA_DIRS, and never the copy in its working directory.
#   check-install.sh [BUILD-DIR]
# installs from BUILD-DIR (a configured and built tree, such as the test
# command's build/), else builds the program alone in a temporary folder.
# Quiet on success; any failure prints why and exits non-zero.
# TAVELK_KEEP_WORK=1 keeps the logs and the strace output.
set -euo pipefail
cd "$(dirname "$0")/.."
# Window titles are Japanese: in any other than a UTF-8 locale xwininfo
# prints them as a conversion failure.
export LC_ALL=C.UTF-8

fail() { echo "check-install: $*" >&2; exit 1; }

bash tools/install-deps.sh test

work=$(mktemp -d)
cleanup() {
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${TAVELK_KEEP_WORK:-}" ]; then echo "check-install: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

log=$work/log
run() { "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }; }

# --- licences
run reuse lint

build=${1:-}
if [ -z "$build" ]; then
  build=$work/build
  run cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  run cmake --build "$build" -j "$(nproc)"
fi

# Libraries are found in the system's folders alone: a run path entry that is
# empty or relative is read against the working directory, and $ORIGIN
# against wherever the program lies.
check_search_path() {
  local paths entry
  readelf -d "$1" | grep -qE '\((RPATH|RUNPATH)\)' || return 0
  paths=$(readelf -d "$1" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
  [ -n "$paths" ] || fail "$1 has an empty run path"
  IFS=: read -ra entries <<<"$paths:"
  for entry in "${entries[@]}"; do
    case "$entry" in
      *'$ORIGIN'* | *'${ORIGIN}'*) fail "$1 searches its own folder for libraries: [$paths]" ;;
      /*) ;;
      *) fail "$1 searches the working directory for libraries: [$paths]" ;;
    esac
  done
}

# --- install into a DESTDIR and validate what lands there
dest=$work/dest
run env DESTDIR="$dest" cmake --install "$build" --prefix /usr
expected=(
  usr/bin/tavelk
  usr/share/tavelk/pinpon.wav
  usr/share/tavelk/endpinpon.wav
  usr/share/applications/io.github.tavelk.Tavelk.desktop
  usr/share/metainfo/io.github.tavelk.Tavelk.metainfo.xml
  usr/share/icons/hicolor/32x32/apps/tavelk.png
  usr/share/icons/hicolor/48x48/apps/tavelk.png
  usr/share/icons/hicolor/64x64/apps/tavelk.png
  usr/share/icons/hicolor/128x128/apps/tavelk.png
  usr/share/icons/hicolor/256x256/apps/tavelk.png
  usr/share/man/man6/tavelk.6
)
actual=$(cd "$dest" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "installed files differ from the expected list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
for size in 32 48 64 128 256; do
  file "$dest/usr/share/icons/hicolor/${size}x${size}/apps/tavelk.png" | grep -q "PNG image data, $size x $size" \
    || fail "icon ${size}x${size} is not a $size px PNG"
done
check_search_path "$dest/usr/bin/tavelk"
run desktop-file-validate "$dest/usr/share/applications/io.github.tavelk.Tavelk.desktop"
run appstreamcli validate --no-net "$dest/usr/share/metainfo/io.github.tavelk.Tavelk.metainfo.xml"
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
# wait until a window with that name is on screen; its id is left in
# $window_id.
wait_for_window() {
  local id
  for _ in $(seq 100); do
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "$1" | awk '{print $1}'); do
      xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { window_id=$id; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# session PROGRAM TRACE [ENV-ARGS...]: starts PROGRAM in $cwd under strace
# with the environment changed by env(1) ENV-ARGS, waits for its window,
# clicks HELP (which plays pinpon.wav), waits for the help window and stops
# the program.
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
    # The sound thread opens the cue on its own time, often after the window.
    for _ in $(seq 100); do grep -qE 'pinpon\.wav", O_RDONLY[^)]*\) = [0-9]' "$trace" && break; sleep 0.1; done
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
  # No match is an answer here, not an error to stop on.
  opened=$(grep -E 'openat\(.*"([^"]*/)?pinpon\.wav", O_RDONLY[^)]*\) = [0-9]' "$1" \
             | grep -oE '"([^"]*/)?pinpon\.wav"' | tr -d '"' | sort -u || true)
  [ "$opened" = "$2" ] || { cat "$1.out" >&2; fail "expected pinpon.wav to be opened from $2 alone, saw: ${opened:-nothing}"; }
}

# --- two prefixes, found through XDG_DATA_DIRS
n=0
for prefix in "$work/prefix-a/usr/local" "$work/prefix-b/opt/tavelk"; do
  n=$((n + 1))
  run cmake --install "$build" --prefix "$prefix"
  trace=$work/trace-prefix$n
  session "$prefix/bin/tavelk" "$trace" XDG_DATA_DIRS="$prefix/share" >"$log" 2>&1 \
    || { cat "$log" "$trace.out" >&2; fail "the program installed in $prefix did not start as expected"; }
  expect_sound "$trace" "$prefix/share/tavelk/pinpon.wav"
done

