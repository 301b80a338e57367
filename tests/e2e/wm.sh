#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# A real window manager on the private X server of xserver.sh.
#
# Sourced after xserver_start:
#   . tests/e2e/wm.sh
#   wm_start NAME DIR   # openbox, xfwm4, metacity, mutter or kwin; DIR is a
#                       # scratch folder for its home and XDG folders
#   ...                 # returns once the manager announces itself
#   wm_stop             # call it before xserver_stop
# wm_start returns 77 when the manager is not installed, 1 when it does not
# come up.

WM_PID=

# The manager's name as it announces it: the EWMH check window, named on the
# root, names itself again and carries the manager's name.
wm_announced() {
  local check self
  check=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
  [ -n "$check" ] || return 1
  self=$(xprop -id "$check" -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
  [ "$self" = "$check" ] || return 1
  LC_ALL=C.UTF-8 xprop -id "$check" -notype _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'
}

wm_start() {
  local name=$1 dir=$2 command
  case $name in
    openbox) command=(openbox --sm-disable) ;;
    # Without the compositor the screen shows the windows themselves, so a
    # root screenshot reads what the program drew.
    xfwm4) command=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
    metacity) command=(dbus-run-session -- metacity --replace --no-composite) ;;
    mutter) command=(dbus-run-session -- mutter --x11 --replace) ;;
    kwin) command=(dbus-run-session -- kwin_x11 --replace) ;;
    *) echo "wm: unknown window manager $name" >&2; return 1 ;;
  esac
  local binary=${command[0]}
  [ "$binary" = dbus-run-session ] && binary=${command[2]}
  if ! command -v "$binary" >/dev/null || ! command -v "${command[0]}" >/dev/null; then
    echo "wm: $binary is not installed" >&2
    return 77
  fi
  # Its own home and XDG folders: no desktop settings of the machine's user
  # reach it, and nothing it saves outlives the test. No accessibility bus.
  mkdir -p "$dir/home" "$dir/config" "$dir/cache" "$dir/data" "$dir/run"
  chmod 700 "$dir/run"
  # A session of its own, so that wm_stop ends the manager with the bus and
  # the services the bus started for it.
  HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" XDG_DATA_HOME="$dir/data" \
    XDG_RUNTIME_DIR="$dir/run" NO_AT_BRIDGE=1 GTK_A11Y=none \
    setsid "${command[@]}" >"$dir/log" 2>&1 &
  WM_PID=$!
  local tries
  for ((tries = 0; tries < 200; tries++)); do
    if [ -n "$(wm_announced)" ]; then return 0; fi
    kill -0 "$WM_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "wm: $name did not start managing:" >&2
  cat "$dir/log" >&2
  wm_stop
  return 1
}

wm_stop() {
  if [ -n "${WM_PID:-}" ]; then
    kill -- "-$WM_PID" 2>/dev/null || kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
    WM_PID=
  fi
}
