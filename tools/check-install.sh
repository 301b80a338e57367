#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installed form of Tavelk end to end: installs into a temporary
# DESTDIR and validates the desktop entry and AppStream data, builds the
# Debian package with CPack, installs it with apt-get, starts the installed
# program under Xvfb, checks that it shows its window and finds its sounds in
# /usr/share/tavelk, and removes the package again.
# Quiet on success; any failure prints why and exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# The package installs under /usr and the program has its data folder
# compiled in, so it gets a build folder of its own, configured for /usr.
build=${TAVELK_INSTALL_BUILD_DIR:-$root/build-install}

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

fail() { echo "check-install: $*" >&2; exit 1; }

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-multimedia-dev fonts-ipafont-gothic
  desktop-file-utils appstream dpkg-dev file
  xvfb xauth xdotool x11-utils strace
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
installed_by_us=0
# TAVELK_KEEP_WORK=1 keeps the logs, the package and the strace output.
cleanup() {
  if [ "$installed_by_us" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tavelk >/dev/null 2>&1 || true
  fi
  if [ -n "${TAVELK_KEEP_WORK:-}" ]; then echo "check-install: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

log=$work/log
run() { "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }; }

run cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DTAVELK_BUILD_BENCH=OFF
run cmake --build "$build" -j "$(nproc)"

# --- install into a DESTDIR and validate what lands there
dest=$work/dest
run env DESTDIR="$dest" cmake --install "$build"
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
)
actual=$(cd "$dest" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "installed files differ from the expected list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
for size in 32 48 64 128 256; do
  file "$dest/usr/share/icons/hicolor/${size}x${size}/apps/tavelk.png" | grep -q "PNG image data, $size x $size" \
    || fail "icon ${size}x${size} is not a $size px PNG"
done
run desktop-file-validate "$dest/usr/share/applications/org.example.tavelk.desktop"
run appstreamcli validate --no-net "$dest/usr/share/metainfo/org.example.tavelk.metainfo.xml"
run appstreamcli validate-tree --no-net "$dest"

# --- the Debian package
debs=$work/debs
mkdir -p "$debs"
run cpack --config "$build/CPackConfig.cmake" -G DEB -B "$debs"
deb=$(ls "$debs"/tavelk_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no tavelk_*.deb"
[ "$(dpkg-deb -f "$deb" Package)" = tavelk ] || fail "package name is not tavelk"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libqt6core6 libqt6multimedia6 qt6-qpa-plugins fonts-ipafont-gothic; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | sort)
[ "$listed" = "$wanted" ] || fail "package contents differ from the DESTDIR install:
$(diff <(echo "$wanted") <(echo "$listed") || true)"

# --- install it, start it, remove it
dpkg-query -W -f='${Status}' tavelk 2>/dev/null | grep -q "install ok installed" \
  && fail "tavelk is already installed; remove it first"
cp "$deb" "$work/"
installed_by_us=1
run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$work/$(basename "$deb")"
for f in /usr/bin/tavelk /usr/share/tavelk/pinpon.wav /usr/share/tavelk/endpinpon.wav; do
  [ -f "$f" ] || fail "$f is not installed"
done

# Runs inside the virtual X server: start the installed program under strace,
# wait for its window, click HELP (which plays pinpon.wav), and stop it.
cat >"$work/session.sh" <<'EOF'
set -u
trace=$1
strace -f -qq -e trace=openat -o "$trace" /usr/bin/tavelk >"$trace.out" 2>&1 &
tracer=$!
wait_for() {
  for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "$1" && return 0
    sleep 0.1
  done
  return 1
}
status=0
if wait_for '" Tavelk"'; then
  # HELP stands at client (456,0), 57 x 25; the client area is at (232,136).
  xdotool mousemove $((232 + 484)) $((136 + 12)) click 1
  wait_for 'ヘルプ' || { echo "the help window did not open"; status=1; }
else
  echo "the main window did not appear"; status=1
fi
# Stop the program itself; strace then ends with it.
for app in $(pgrep -P "$tracer"); do kill "$app"; done
wait "$tracer" 2>/dev/null
exit $status
EOF
trace=$work/trace
bash "$root/tests/e2e/xserver.sh" bash "$work/session.sh" "$trace" >"$log" 2>&1 \
  || { cat "$log" "$trace.out" >&2; fail "the installed program did not start as expected"; }
grep -q 'openat(.*"/usr/share/tavelk/pinpon.wav", O_RDONLY[^)]*) = [0-9]' "$trace" \
  || { cat "$trace.out" >&2; fail "the installed program did not open /usr/share/tavelk/pinpon.wav"; }

run env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tavelk
installed_by_us=0
[ ! -e /usr/bin/tavelk ] || fail "/usr/bin/tavelk is left after removal"
