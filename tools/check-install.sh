#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installed form of Tavelk end to end:
#  - the licence data of the source tree (reuse lint);
#  - the Debian package built by Debian's own tooling (debian/) from two
#    copies of the source tree, once with its headless tests and once
#    without (so neither Qt Test nor Google Benchmark is looked for), with
#    the same SOURCE_DATE_EPOCH: both give byte-identical packages; lintian
#    on the source and the binary packages; its dependencies cover every
#    library the program links, whatever the release names it;
#  - no program, in the build tree or installed, searches for libraries
#    outside the system's folders (no empty, relative or $ORIGIN run path);
#  - the files a DESTDIR install puts under /usr, the desktop entry and the
#    AppStream data;
#  - installs into two unrelated prefixes, each started under Xvfb and strace
#    to show that it opens its sounds from that prefix's share/tavelk, found
#    through XDG_DATA_DIRS, and never the copy in its working directory;
#  - the Debian package installed with apt-get, started with the default
#    environment (sounds from /usr/share/tavelk) and named on screen as its
#    desktop entry says, removed again.
# Quiet on success but for the package checksums; any failure prints why and
# exits non-zero. TAVELK_KEEP_WORK=1 keeps the logs, the packages and the
# strace output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# Window titles are Japanese: in any other than a UTF-8 locale xwininfo
# prints them as a conversion failure.
export LC_ALL=C.UTF-8

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

fail() { echo "check-install: $*" >&2; exit 1; }

bash tools/install-deps.sh test

work=$(mktemp -d)
installed_by_us=0
cleanup() {
  if [ "$installed_by_us" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 remove -y -qq tavelk >/dev/null 2>&1 || true
  fi
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${TAVELK_KEEP_WORK:-}" ]; then echo "check-install: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

log=$work/log
run() { "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }; }

# --- licences
run reuse lint

# --- the Debian package, built twice from copies of the tracked files (plus
# new ones not yet committed) in different folders, at the time of the last
# changelog entry.
copy_source() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
    | tar --null -T - -cf - | tar -xf - -C "$1"
}
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp)
export SOURCE_DATE_EPOCH
copy_source "$work/build-a/tavelk"
copy_source "$work/build-b/tavelk"
(cd "$work/build-a" && run dpkg-source -b tavelk)
dsc=$(ls "$work"/build-a/tavelk_*.dsc)
(cd "$work/build-a/tavelk" && run env DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b)
(cd "$work/build-b/tavelk" && run env DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -us -uc -b)
debs=$(cd "$work/build-a" && ls ./*.deb | sed 's|^\./||')
[ "$debs" = "$(cd "$work/build-b" && ls ./*.deb | sed 's|^\./||')" ] || fail "the two builds made different packages"
for f in $debs; do
  sum=$(sha256sum <"$work/build-a/$f" | cut -d' ' -f1)
  [ "$sum" = "$(sha256sum <"$work/build-b/$f" | cut -d' ' -f1)" ] \
    || fail "$f differs between two builds with SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
  echo "check-install: $f sha256 $sum in both builds"
done
deb=$(ls "$work"/build-a/tavelk_*.deb)
lintian --fail-on error,warning "$dsc" "$work"/build-a/*.deb >"$log" 2>&1 || { cat "$log" >&2; fail "lintian rejects the packages"; }
[ "$(dpkg-deb -f "$deb" Package)" = tavelk ] || fail "package name is not tavelk"

# The build trees: with the tests (a), and the program alone (b), which the
# installs below use.
objdir=obj-$(dpkg-architecture -qDEB_HOST_GNU_TYPE)
build=$work/build-b/tavelk/$objdir

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
for program in "$work/build-a/tavelk/$objdir"/bin/* "$build/bin/tavelk"; do
  if [ -f "$program" ] && [ -x "$program" ]; then check_search_path "$program"; fi
done

# Every library the program links must be in Depends under the name of the
# package that holds it here (the library packages carry a t64 suffix on
# some releases); the platform plugins and the font are loaded at run time.
depends=$(dpkg-deb -f "$deb" Depends)
has_dependency() {
  local name
  while read -r name _; do
    [ "$name" = "$1" ] && return 0
  done < <(sed 's/ *[,|] */\n/g' <<<"$depends")
  return 1
}
for lib in $(readelf -d "$build/bin/tavelk" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  owner=$(dpkg -S "*/$lib" 2>/dev/null | sed -n 's/^\([^:]*\):[^ ]*: .*/\1/p' | head -n 1)
  [ -n "$owner" ] || fail "no package holds $lib"
  has_dependency "$owner" || fail "Depends lacks $owner (for $lib): $depends"
done
for d in qt6-qpa-plugins fonts-ipafont-gothic fonts-dejavu-extra; do
  has_dependency "$d" || fail "Depends lacks $d: $depends"
done
# The sound library is loaded when the first cue needs it: recommended.
[ "$(dpkg-deb -f "$deb" Recommends)" = libpulse0 ] || fail "Recommends is not libpulse0: $(dpkg-deb -f "$deb" Recommends)"

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
for pair in man/man6/tavelk.6.gz:packaging/tavelk.6 doc/tavelk/changelog.gz:debian/changelog; do
  gz=$dest/usr/share/${pair%%:*}
  [ "$(od -An -tx1 -j4 -N4 "$gz" | tr -d ' \n')" = 00000000 ] || fail "$gz carries a time stamp"
  zcat "$gz" | cmp -s - "${pair##*:}" || fail "$gz is not ${pair##*:}"
done
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
# with the environment changed by env(1) ENV-ARGS, waits for its window (whose
# properties it writes to TRACE.props), clicks HELP (which plays pinpon.wav),
# waits for the help window and stops the program.
session() {
  local program=$1 trace=$2 status=0 app
  shift 2
  (cd "$cwd" && exec env "$@" XDG_DATA_HOME="$work/data-home" \
     strace -f -qq -e trace=openat -o "$trace" "$program" >"$trace.out" 2>&1) &
  local tracer=$!
  if wait_for_window '" Tavelk"'; then
    xprop -id "$window_id" >"$trace.props" 2>&1 || true
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

# --- the Debian package holds what the DESTDIR install holds
listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | sort)
[ "$listed" = "$wanted" ] || fail "package contents differ from the DESTDIR install:
$(diff <(echo "$wanted") <(echo "$listed") || true)"

# --- install it, start it with the default data folders, remove it
dpkg-query -W -f='${Status}' tavelk 2>/dev/null | grep -q "install ok installed" \
  && fail "tavelk is already installed; remove it first"
[ ! -e /usr/local/share/tavelk ] || fail "/usr/local/share/tavelk exists and would be found first; remove it"
cp "$deb" "$work/"
installed_by_us=1
run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$work/$(basename "$deb")"
for f in /usr/bin/tavelk /usr/share/tavelk/pinpon.wav /usr/share/tavelk/endpinpon.wav; do
  [ -f "$f" ] || fail "$f is not installed"
done
trace=$work/trace-package
session /usr/bin/tavelk "$trace" -u XDG_DATA_DIRS >"$log" 2>&1 \
  || { cat "$log" "$trace.out" >&2; fail "the installed program did not start as expected"; }
expect_sound "$trace" /usr/share/tavelk/pinpon.wav
check_search_path /usr/bin/tavelk
# Task bars match the window to its desktop entry: on X11 by its class, on
# Wayland by the desktop file name the program gives Qt (a UTF-16 literal).
desktop=/usr/share/applications/io.github.tavelk.Tavelk.desktop
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
grep -qE "^WM_CLASS\(STRING\) = \"[^\"]*\", \"$wm_class\"$" "$trace.props" \
  || fail "the main window's class is not StartupWMClass=$wm_class: $(grep WM_CLASS "$trace.props")"
strings -el /usr/bin/tavelk | grep -qxF "$(basename "$desktop" .desktop)" \
  || fail "the program does not name its desktop file $(basename "$desktop")"

run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 remove -y -qq tavelk
installed_by_us=0
[ ! -e /usr/bin/tavelk ] || fail "/usr/bin/tavelk is left after removal"
