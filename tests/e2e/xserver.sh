#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# A private virtual X server for one test, ready before anything connects.
#
# Sourced:
#   . tests/e2e/xserver.sh
#   xserver_start [XVFB_ARGS...]  # default: -screen 0 1024x768x24
#   ...                           # DISPLAY is exported, XSERVER_PID is set
#   xserver_stop                  # call it from the caller's EXIT trap
# Run as a command, it runs one command on a server of its own:
#   bash tests/e2e/xserver.sh COMMAND [ARGS...]
#
# Why not xvfb-run -a: it picks a display number by looking for free lock
# files, so two tests starting at once can pick the same one; and without
# -noreset the server resets whenever its last client disconnects, racing the
# next client, which then cannot open the display. Here Xvfb picks its own
# number (-displayfd) and never resets; xserver_start returns only once the
# server answers a client. It has no authorization file, so any local client
# may connect without a cookie; -nolisten tcp keeps it local.

# Returns non-zero, with the server's own output, if it does not come up.
# shellcheck disable=SC2120 # the arguments are optional
xserver_start() {
  local args=("$@")
  [ ${#args[@]} -gt 0 ] || args=(-screen 0 1024x768x24)
  XSERVER_DIR=$(mktemp -d)
  : >"$XSERVER_DIR/display"
  Xvfb -displayfd 3 -noreset -nolisten tcp "${args[@]}" 3>"$XSERVER_DIR/display" >"$XSERVER_DIR/log" 2>&1 &
  XSERVER_PID=$!
  local number='' tries
  # -displayfd writes the number once the server listens.
  for ((tries = 0; tries < 200; tries++)); do
    if read -r number <"$XSERVER_DIR/display" && [ -n "$number" ]; then break; fi
    kill -0 "$XSERVER_PID" 2>/dev/null || break
    number=
    sleep 0.05
  done
  if [ -z "$number" ]; then
    echo "xserver: Xvfb did not start:" >&2
    cat "$XSERVER_DIR/log" >&2
    xserver_stop
    return 1
  fi
  export DISPLAY=:$number
  for ((tries = 0; tries < 200; tries++)); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "xserver: $DISPLAY does not accept connections:" >&2
  cat "$XSERVER_DIR/log" >&2
  xserver_stop
  return 1
}

xserver_stop() {
  if [ -n "${XSERVER_PID:-}" ]; then
    kill "$XSERVER_PID" 2>/dev/null || true
    wait "$XSERVER_PID" 2>/dev/null || true
    XSERVER_PID=
  fi
  if [ -n "${XSERVER_DIR:-}" ]; then rm -rf "$XSERVER_DIR"; fi
  XSERVER_DIR=
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -u
  [ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
  trap xserver_stop EXIT
  xserver_start -screen 0 1024x768x24 || exit 1
  rc=0
  "$@" || rc=$?
  exit "$rc"
fi
