#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end tests of the real program: it runs on a virtual X server, is
# driven by real pointer events at the controls' designed screen positions,
# and is read back from screenshots and the X window tree.
#
#   run.sh SCENARIO TAVELK [WMCLOSE]
#
# SCENARIO is one of: session, fonts, sounds, cues, close, nodisplay, or
# wm-NAME for the program under a real window manager (NAME as in wm.sh:
# openbox, xfwm4, metacity, mutter, kwin).
set -euo pipefail

scenario=$1
tavelk=$2
wmclose=${3:-}

# shellcheck source=tests/e2e/xserver.sh
. "$(dirname "$0")/xserver.sh"
# shellcheck source=tests/e2e/wm.sh
. "$(dirname "$0")/wm.sh"

tmp=$(mktemp -d)
pid=
recorder_pid=
sound_pid=
cleanup() {
  local p
  for p in "$pid" "$recorder_pid" "$sound_pid"; do
    if [ -n "$p" ] && kill -0 "$p" 2>/dev/null; then
      kill "$p" 2>/dev/null || true
      wait "$p" 2>/dev/null || true
    fi
  done
  wm_stop
  xserver_stop
  rm -rf "$tmp"
}
trap cleanup EXIT
# Everything but the no-display case gets an X server of its own. Under a
# window manager the screen has room below the main window to move the graph
# window to, so that both are in sight at once.
screen=1024x768x24
[[ $scenario == wm-* ]] && screen=1280x1024x24
if [ "$scenario" != nodisplay ]; then
  xserver_start -screen 0 "$screen" || { echo "FAIL [$scenario]: no X server" >&2; exit 1; }
fi
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound server unless a scenario starts its own: named explicitly, so that
# no client library starts one of its own accord.
export PULSE_SERVER="unix:$tmp/no-sound-server"

fail() {
  echo "FAIL [$scenario]: $*" >&2
  if [ -s "$tmp/err" ]; then
    echo "--- program stderr ---" >&2
    cat "$tmp/err" >&2
  fi
  if [ -n "${TAVELK_E2E_KEEP:-}" ] && [ -f "$tmp/shot.ppm" ]; then
    cp "$tmp/shot.ppm" "$TAVELK_E2E_KEEP"
  fi
  exit 1
}
step() { echo "[$scenario] $*"; }

# Polls until the command succeeds or the time (seconds) runs out.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# ---- the screen -----------------------------------------------------------

# Designed geometry and captions, from the tests' expected table
# (tests/expected.h): the windows' captions (MAIN, GRAPH, HELP), client-area
# origins (MX MY, GX GY, HX HY) and sizes, the close buttons' centres, the
# main window's BUTTON rectangles in its client area, and LABELn, TITLE and
# CARD as screen regions.
eval "$("$(dirname "$tavelk")/tavelk-e2e-layout")"

shot() { import -window root "$tmp/shot.ppm"; }
# Region arguments are screen coordinates: X Y W H.
region_hash() { convert "$tmp/shot.ppm" -crop "$3x$4+$1+$2" +repage rgb:- | md5sum | cut -c1-32; }
# Pixels close to pure red (the count labels' text colour).
red_pixels() {
  convert "$tmp/shot.ppm" -crop "$3x$4+$1+$2" +repage -fuzz 25% -fill white +opaque red \
    -fill black -opaque red -format '%[fx:round(w*h*(1-mean))]' info:
}
# Pixels of exactly the graph curve's blue, RGB (0, 0, 255).
blue_pixels() {
  convert "$tmp/shot.ppm" -crop "$3x$4+$1+$2" +repage -fill black +opaque 'rgb(0,0,255)' \
    -fill white -opaque 'rgb(0,0,255)' -format '%[fx:round(w*h*mean)]' info:
}
# Pixels darker than 35% grey: enabled captions are black, disabled ones grey.
dark_pixels() {
  convert "$tmp/shot.ppm" -crop "$3x$4+$1+$2" +repage -colorspace gray -threshold 35% \
    -format '%[fx:round(w*h*(1-mean))]' info:
}

click_at() { xdotool mousemove "$1" "$2" click 1; }
# shellcheck disable=SC2046 # the point is two words
click_button() { click_at $(button_point "$1"); } # the middle of the caption's box
button_dark() {
  local r
  read -r -a r <<<"${BUTTON[$1]}"
  dark_pixels $((MX + r[0] + 3)) $((MY + r[1] + 3)) $((r[2] - 6)) $((r[3] - 6))
}
# A caption in black has dark pixels (dozens in the designed face, a few
# even as the boxes drawn for missing glyphs); a greyed one has none.
enabled_look() { [ "$(button_dark "$1")" -gt 4 ]; }
disabled_look() { [ "$(button_dark "$1")" -lt 3 ]; }

# Buttons as "+" (enabled look) / "-" (greyed) / "?" for Command1..8.
button_looks() {
  local b mask=
  for b in 1 2 3 4 5 6 7 8; do
    if enabled_look "$b"; then mask+="+"; elif disabled_look "$b"; then mask+="-"; else mask+="?"; fi
  done
  echo "$mask"
}
looks_like() { shot && [ "$(button_looks)" = "$1" ]; }

# ---- the window tree ------------------------------------------------------

window_ids() { xwininfo -root -tree | grep -F "\"$1\":" | awk '{print $1}' || true; }
viewable() {
  local id
  for id in $(window_ids "$1"); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}
gone() { ! viewable "$1"; }
window_geometry() { # X Y W H of the first viewable window with that title
  local id
  for id in $(window_ids "$1"); do
    local info
    info=$(xwininfo -id "$id")
    if grep -q 'Map State: IsViewable' <<<"$info"; then
      awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
           END {print x, y, w, h}' <<<"$info"
      return 0
    fi
  done
  return 1
}

BOX="トランプ"

# ---- the program ----------------------------------------------------------

start_program() {
  "$@" >"$tmp/out" 2>"$tmp/err" &
  pid=$!
  wait_for 20 viewable "$MAIN" || fail "the main window did not appear"
  # The first paint follows the map; wait for the designed start-up look.
  wait_for 10 looks_like "-+++---+" || fail "start-up buttons look $(button_looks), want -+++---+"
}

# True once the program has ended (a zombie until it is waited for).
ended() {
  local state
  state=$(ps -o stat= -p "$pid" 2>/dev/null || true)
  [ -z "$state" ] || [[ $state == Z* ]]
}

# Waits for the program to end and checks its exit code.
expect_exit() {
  local want=$1 rc=0
  wait_for 15 ended || fail "the program did not end"
  wait "$pid" || rc=$?
  pid=
  [ "$rc" -eq "$want" ] || fail "exit code $rc, want $want"
}

# The exit box: wait for it, then press one of its two buttons. "はい" is the
# left one of the pair along the bottom, "いいえ" the right one.
answer_box() {
  wait_for 10 viewable "$BOX" || fail "the exit box did not appear"
  # shellcheck disable=SC2046 # the point is two words
  click_at $(box_point "$1")
}

card_differs() { shot && [ "$(region_hash $CARD)" != "$1" ]; }

hand_draw() {
  shot
  local card
  card=$(region_hash $CARD)
  click_button 2
  # Shuffling shows a new card on every tick.
  wait_for 10 card_differs "$card" || fail "shuffling did not change the card on show"
  click_button 1
  wait_for 10 looks_like "-+++-+-+" || fail "after a hand draw the buttons look $(button_looks)"
  [ "$(red_pixels $LABEL6)" -gt 20 ] || fail "no ratio shown after a hand draw"
  [ "$(red_pixels $LABEL3)" -gt 10 ] || fail "no draw count shown after a hand draw"
}

# Nothing on the window changes any more: the timer is stopped.
settled() {
  shot
  local before
  before="$(region_hash $CARD) $(region_hash $LABEL3) $(region_hash $LABEL4) $(region_hash $LABEL6)"
  sleep 0.4
  shot
  [ "$before" = "$(region_hash $CARD) $(region_hash $LABEL3) $(region_hash $LABEL4) $(region_hash $LABEL6)" ]
}

# ---- scenarios ------------------------------------------------------------

scenario_session() {
  step "start-up"
  start_program "$tavelk"
  shot
  [ "$(red_pixels $LABEL6)" -eq 0 ] || fail "a ratio is shown before any draw"
  [ "$(red_pixels $LABEL3)" -gt 10 ] || fail "the draw count 0 is not shown"
  settled || fail "the window changes by itself at start-up"

  step "a hand draw"
  hand_draw
  settled || fail "the window keeps changing after a hand draw"

  step "a full automatic run"
  shot
  local label3_before
  label3_before=$(region_hash $LABEL3)
  click_button 4
  # The run ends by itself: exit, initialise, graph and help come back.
  wait_for 30 looks_like "--+--+++" || fail "the run did not end; buttons look $(button_looks)"
  settled || fail "the window keeps changing after the run ended"
  [ "$(region_hash $LABEL3)" != "$label3_before" ] || fail "the draw count did not change in the run"
  [ "$(red_pixels $LABEL6)" -gt 20 ] || fail "no ratio shown after the run"

  step "the graph window"
  click_button 7
  wait_for 10 viewable "$GRAPH" || fail "the graph window did not appear"
  local g
  read -r -a g <<<"$(window_geometry "$GRAPH")"
  [ "${g[*]}" = "$GX $GY $GRAPH_SIZE" ] || fail "graph window at ${g[*]}"
  click_at $GRAPH_CLOSE_AT
  wait_for 10 gone "$GRAPH" || fail "the graph window did not close"
  viewable "$MAIN" || fail "the main window went with the graph"

  step "help and back"
  click_button 8
  wait_for 10 viewable "$HELP" || fail "the help window did not appear"
  wait_for 10 gone "$MAIN" || fail "the main window stayed beside help"
  read -r -a g <<<"$(window_geometry "$HELP")"
  [ "${g[*]}" = "$HX $HY $HELP_SIZE" ] || fail "help window at ${g[*]}"
  click_at $HELP_CLOSE_AT
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  wait_for 10 gone "$HELP" || fail "the help window stayed"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"
  [ "$(red_pixels $LABEL6)" -eq 0 ] || fail "the ratio is still shown after help"

  step "clicks on the main window while the exit box is open"
  hand_draw
  click_button 3
  wait_for 10 viewable "$BOX" || fail "the exit box did not appear"
  shot
  local before
  before="$(button_looks) $(region_hash $CARD) $(region_hash $LABEL3)"
  local b
  for b in 2 4 6 8; do click_button "$b"; done
  sleep 0.5
  shot
  [ "$before" = "$(button_looks) $(region_hash $CARD) $(region_hash $LABEL3)" ] \
    || fail "the main window reacted behind the exit box"
  viewable "$MAIN" && gone "$HELP" || fail "a click behind the box reached help"
  answer_box no
  wait_for 10 gone "$BOX" || fail "the exit box did not close on No"
  ! ended || fail "the program ended on No"
  looks_like "-+++-+-+" || fail "after No the buttons look $(button_looks)"

  step "exit answered Yes"
  click_button 3
  answer_box yes
  expect_exit 0
}

scenario_fonts() {
  # Only DejaVu: no face has Japanese glyphs.
  mkdir -p "$tmp/fc-cache"
  cat >"$tmp/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$tmp/fc-cache</cachedir>
</fontconfig>
EOF
  export FONTCONFIG_FILE="$tmp/fonts.conf"
  fc-list | grep -qi dejavu || fail "the test font set has no DejaVu"
  if fc-list :lang=ja | grep -q .; then fail "a Japanese face is still visible: $(fc-list :lang=ja | head -1)"; fi

  step "start-up without Japanese fonts"
  start_program "$tavelk"
  shot
  [ "$(dark_pixels $TITLE)" -gt 20 ] || fail "the title is not drawn"
  step "a hand draw without Japanese fonts"
  hand_draw
  click_button 3
  answer_box yes
  expect_exit 0
}

# Wave files in the user's data folder made to cost time or memory: a valid
# 64 MiB wave, and 4 MB of empty chunks before a valid tail. Each cue's click
# is answered at once and the memory stays that of a short cue.
hostile_waves() {
  local kind
  for kind in huge junk; do
    step "a $kind wave file in the data folder"
    local dir="$tmp/$kind"
    mkdir -p "$dir/data/tavelk"
    cp "$tavelk" "$dir/tavelk"
    python3 - "$kind" "$dir/data/tavelk/pinpon.wav" <<'PY'
import struct, sys
kind, path = sys.argv[1:]
fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, 44100, 88200, 2, 16)
data = b"\x10\x00" * 44100
if kind == "huge":
    body = fmt + b"data" + struct.pack("<I", 64 * 1024 * 1024) + b"\x10" * (64 * 1024 * 1024)
else:
    body = b"JUNK\0\0\0\0" * 500000 + fmt + b"data" + struct.pack("<I", len(data)) + data
open(path, "wb").write(b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body)
PY
    rm -f "$tmp/bench.log"
    XDG_DATA_HOME="$dir/data" TAVELK_BENCH_LOG="$tmp/bench.log" start_program "$dir/tavelk"
    hand_draw
    local i
    for i in 1 2 3; do
      cue_then_shuffle "$kind wave, cue $i"
      draw_now
    done
    step "$kind wave: $(grep -E '^Vm(RSS|HWM)' "/proc/$pid/status" | tr -s '\t ' ' ' | tr '\n' ' ')"
    click_button 3
    answer_box yes
    expect_exit 0
  done
}

scenario_sounds() {
  hostile_waves
  local kind
  for kind in missing broken; do
    step "wave files $kind"
    local dir="$tmp/$kind"
    mkdir -p "$dir"
    cp "$tavelk" "$dir/tavelk"
    if [ "$kind" = broken ]; then
      : >"$dir/pinpon.wav"
      for _ in $(seq 100); do echo "This is a text file, not sound."; done >"$dir/endpinpon.wav"
    fi
    start_program "$dir/tavelk"
    hand_draw
    click_button 6 # initialise: the start-over cue
    wait_for 10 looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
    click_button 8 # help: the start-over cue again
    wait_for 10 viewable "$HELP" || fail "help did not appear"
    click_at $HELP_CLOSE_AT
    wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
    wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"
    click_button 3 # exit: the end cue
    answer_box yes
    expect_exit 0
  done
}

# ---- the sound server -------------------------------------------------------

cues_py="$(dirname "$0")/cues.py"
wave_dir=$(dirname "$tavelk")

# A private PulseAudio server with one null sink, whose monitor is what the
# sink plays; no system configuration, never exiting on its own.
sound_server_start() {
  local dir="$tmp/pulse$1"
  # Again with the same name: a new server on the old one's socket.
  mkdir -p -m 700 "$dir" "$dir/runtime" "$dir/state"
  env HOME="$dir" XDG_CONFIG_HOME="$dir" PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" \
    pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no --realtime=no --high-priority=no \
    --log-target=stderr --log-level=error \
    --load="module-null-sink sink_name=cues rate=44100 channels=1" \
    --load="module-native-protocol-unix socket=$dir/socket auth-anonymous=1" \
    >"$tmp/pulse.out" 2>"$tmp/pulse.err" &
  sound_pid=$!
  export PULSE_SERVER="unix:$dir/socket"
  wait_for 10 pactl info >/dev/null 2>&1 || { cat "$tmp/pulse.err" >&2; fail "the sound server did not start"; }
}

sound_server_kill() {
  kill -KILL "$sound_pid"
  wait "$sound_pid" 2>/dev/null || true
  sound_pid=
}

cue_playing() { pactl list short sink-inputs | grep -q .; }

# ---- sound server faults ----------------------------------------------------

# Measuring a program that freezes: every wait is long enough to see it out.
patience=10
[ -n "${TAVELK_E2E_MEASURE:-}" ] && patience=90

# A click on トランプをきる right after the cue's click on 初期化 (from Drawn)
# must be answered: the shuffle's timer starts within 1 s. Where the program
# keeps the benchmark log (a build with the benchmarks, as tools/test.sh
# makes), the answer is the log's timer start, on the clock /proc/uptime
# also reads; otherwise the first screenshot of the shuffling state, whose
# polling adds its own time. TAVELK_E2E_MEASURE=1 waits up to 60 s and only
# reports.
cue_then_shuffle() {
  local limit=1000
  [ -n "${TAVELK_E2E_MEASURE:-}" ] && limit=60000
  local starts=0
  [ -f "$tmp/bench.log" ] && starts=$(grep -c '^start ' "$tmp/bench.log" || true)
  # shellcheck disable=SC2046 # the point is two words
  xdotool mousemove $(button_point 6) mousedown 1 mouseup 1 mousemove $(button_point 2) mousedown 1
  local start=$EPOCHREALTIME
  xdotool mouseup 1
  local clicked
  read -r clicked _ </proc/uptime
  local ms=0
  until looks_like "+-------"; do
    ms=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%d", (b - a) * 1000}')
    if [ "$ms" -gt $((limit + 5000)) ]; then
      [ -n "${TAVELK_E2E_MEASURE:-}" ] && { step "$1: shuffle not answered in $ms ms"; return 0; }
      fail "$1: the shuffle click was not answered; buttons look $(button_looks)"
    fi
  done
  ms=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%d", (b - a) * 1000}')
  local how="seen on screen"
  if [ -f "$tmp/bench.log" ] && [ "$(grep -c '^start ' "$tmp/bench.log")" -gt "$starts" ]; then
    ms=$(awk -v c="$clicked" '$1 == "start" {t = $2} END {printf "%d", t / 1e6 - c * 1000}' "$tmp/bench.log")
    how="timer started"
  fi
  step "$1: shuffle answered in $ms ms ($how)"
  [ "$ms" -le "$limit" ] || fail "$1: the shuffle click took $ms ms"
}

shuffle_and_draw() {
  click_button 2
  wait_for "$patience" looks_like "+-------" || fail "shuffling did not start; buttons look $(button_looks)"
  draw_now
}

draw_now() {
  click_button 1
  wait_for "$patience" looks_like "-+++-+-+" || fail "after a draw the buttons look $(button_looks)"
}

# Once the server answers again, the next cue is heard, whole and on time.
# The player tries a lost server again at most every 2 s: wait that out.
recovered_cue_heard() {
  sleep 2.5
  recorder_start
  rm -f "$tmp/clicks"
  # shellcheck disable=SC2046
  timed_click $(button_point 6) 初期化 pinpon.wav
  sleep 1.5
  recorder_stop
  local rc=0
  python3 "$cues_py" check "$tmp/rec.raw" "$tmp/rec.clock" "$tmp/clicks" "$wave_dir" >"$tmp/check" || rc=$?
  sed "s/^/[$scenario] $1: /" "$tmp/check"
  # A late onset alone is the machine's as often as the program's; the
  # recorded sessions above judge onsets.
  [ "$rc" -ne 1 ] || [ -n "${TAVELK_E2E_MEASURE:-}" ] || fail "$1: the cue after recovery was not heard whole"
  wait_for "$patience" looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
  shuffle_and_draw
}

# One session through every fault in turn; TAVELK_E2E_FAULT=NAME (before,
# between, mid-cue, killed) runs only that one, on a program of its own.
cue_faults() {
  local only=${TAVELK_E2E_FAULT:-}
  want() { [ -z "$only" ] || [ "$only" = "$1" ]; }
  sound_server_start faults
  if want before; then
    step "the sound server stalled before start-up"
    kill -STOP "$sound_pid"
    TAVELK_BENCH_LOG="$tmp/bench.log" "$tavelk" >"$tmp/out" 2>"$tmp/err" &
    pid=$!
    local begun=$SECONDS limit=10
    [ -n "${TAVELK_E2E_MEASURE:-}" ] && limit=60
    wait_for 20 viewable "$MAIN" || fail "the main window did not appear"
    wait_for "$limit" looks_like "-+++---+" || fail "start-up buttons look $(button_looks), want -+++---+"
    step "stalled before start-up: start-up look after $((SECONDS - begun)) s"
    shuffle_and_draw
    cue_then_shuffle "stalled before start-up"
    draw_now
    kill -CONT "$sound_pid"
    recovered_cue_heard "stalled before start-up"
  elif [ -n "$only" ]; then
    TAVELK_BENCH_LOG="$tmp/bench.log" start_program "$tavelk"
    shuffle_and_draw
  fi

  if want between; then
    step "the sound server stalled between cues"
    kill -STOP "$sound_pid"
    cue_then_shuffle "stalled between cues"
    draw_now
    kill -CONT "$sound_pid"
    recovered_cue_heard "stalled between cues"
  fi

  if want mid-cue; then
    step "the sound server stalled in the middle of a cue"
    click_button 6
    wait_for 2 cue_playing || fail "no cue was playing when the server was to be stalled"
    kill -STOP "$sound_pid"
    wait_for "$patience" looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
    shuffle_and_draw
    cue_then_shuffle "stalled mid-cue"
    draw_now
    kill -CONT "$sound_pid"
    recovered_cue_heard "stalled mid-cue"
  fi

  if want killed; then
    step "the sound server killed and a new one started on its socket"
    sound_server_kill
    cue_then_shuffle "server killed"
    draw_now
    sound_server_start faults
    recovered_cue_heard "server restarted"
  fi

  click_button 3
  answer_box yes
  expect_exit 0
  sound_server_kill
}

recording_started() { [ -s "$tmp/rec.clock" ]; }

recorder_start() {
  rm -f "$tmp/rec.raw" "$tmp/rec.clock" "$tmp/clicks"
  python3 "$cues_py" record "$tmp/rec.raw" "$tmp/rec.clock" -- \
    parec -d cues.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=2 &
  recorder_pid=$!
  wait_for 10 recording_started || fail "the recorder did not start"
}

recorder_stop() {
  kill -TERM "$recorder_pid"
  wait "$recorder_pid" || fail "the recorder failed"
  recorder_pid=
}

# Clicks at a screen point and notes when. The pointer goes there and the
# button down first; the time noted is just after the release is sent, which
# is when a click takes effect. (xdotool click would sleep 100 ms after the
# release.) Arguments: X Y NAME WAVE [cut] (WAVE "-": the click plays
# nothing; cut: the next cue cuts this one off).
timed_click() {
  xdotool mousemove "$1" "$2" mousedown 1
  local before=$EPOCHREALTIME
  xdotool mouseup 1
  local after=$EPOCHREALTIME
  echo "$after $3 $4 ${5:-}" >>"$tmp/clicks"
  echo "$3 $(awk -v a="$before" -v b="$after" 'BEGIN {printf "%.1f", (b - a) * 1000}')" >>"$tmp/click-times"
}
button_point() {
  local r
  read -r -a r <<<"${BUTTON[$1]}"
  echo $((MX + r[0] + r[2] / 2)) $((MY + r[1] + r[3] / 2))
}
box_point() { # yes|no
  local g
  read -r -a g <<<"$(window_geometry "$BOX")"
  local y=$((g[1] + g[3] - 24))
  if [ "$1" = yes ]; then echo $((g[0] + g[2] / 4)) "$y"; else echo $((g[0] + g[2] * 3 / 4)) "$y"; fi
}

# One session on a fresh server and program, recorded whole; each cue is
# left to play out before the next click.
recorded_session() {
  sound_server_start "$1"
  recorder_start
  : >"$tmp/click-times"
  start_program "$tavelk"
  hand_draw
  # shellcheck disable=SC2046 # the point is two words
  timed_click $(button_point 6) 初期化 pinpon.wav
  wait_for 10 looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
  sleep 1.2
  # shellcheck disable=SC2046
  timed_click $(button_point 8) HELP pinpon.wav
  wait_for 10 viewable "$HELP" || fail "help did not appear"
  wait_for 10 gone "$MAIN" || fail "the main window stayed beside help"
  sleep 1.2
  timed_click $HELP_CLOSE_AT back -
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"
  # Help straight after initialise: the second cue cuts the first off.
  hand_draw
  # shellcheck disable=SC2046
  timed_click $(button_point 6) 初期化 pinpon.wav cut
  sleep 0.3
  # shellcheck disable=SC2046
  timed_click $(button_point 8) HELP pinpon.wav
  wait_for 10 viewable "$HELP" || fail "help did not appear"
  sleep 1.2
  timed_click $HELP_CLOSE_AT back -
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"
  sleep 0.3
  # shellcheck disable=SC2046
  timed_click $(button_point 3) 終了 endpinpon.wav
  wait_for 10 viewable "$BOX" || fail "the exit box did not appear"
  sleep 1.4
  # shellcheck disable=SC2046
  timed_click $(box_point no) No -
  wait_for 10 gone "$BOX" || fail "the exit box did not close on No"
  sleep 0.3
  # shellcheck disable=SC2046
  timed_click $(button_point 3) 終了 endpinpon.wav
  wait_for 10 viewable "$BOX" || fail "the exit box did not appear again"
  sleep 1.4
  # shellcheck disable=SC2046
  timed_click $(box_point yes) Yes -
  expect_exit 0
  sleep 0.3
  recorder_stop
  sound_server_kill
}

scenario_cues() {
  command -v pulseaudio >/dev/null && command -v parec >/dev/null && command -v python3 >/dev/null \
    || fail "needs pulseaudio, parec (pulseaudio-utils) and python3 (tools/install-deps.sh test)"
  # A late onset can be the machine's, not the program's: another session
  # is recorded then, and the scenario fails only if every one was late.
  # Anything else wrong with a cue fails at once.
  local attempt rc
  for attempt in 1 2 3; do
    step "recorded session $attempt"
    recorded_session "$attempt"
    rc=0
    python3 "$cues_py" check "$tmp/rec.raw" "$tmp/rec.clock" "$tmp/clicks" "$wave_dir" || rc=$?
    [ "$rc" -ne 1 ] || fail "a cue was not played as it should be"
    [ "$rc" -eq 0 ] && break
    echo "[cues] an onset came late; load $(cut -d' ' -f1-3 /proc/loadavg);" \
      "xdotool click took (ms): $(tr '\n' ' ' <"$tmp/click-times")" >&2
    [ "$attempt" -lt 3 ] || fail "onsets came late in every session"
  done

  step "exit answered while the end cue plays"
  sound_server_start live
  start_program "$tavelk"
  click_button 3
  wait_for 10 viewable "$BOX" || fail "the exit box did not appear"
  cue_playing || fail "no cue was playing when Yes was to be clicked"
  answer_box yes
  expect_exit 0

  step "the sound server killed during the help cue"
  start_program "$tavelk"
  hand_draw
  click_button 8
  sleep 0.2
  cue_playing || fail "no cue was playing when the server was to be killed"
  sound_server_kill
  wait_for 10 viewable "$HELP" || fail "help did not appear"
  click_at $HELP_CLOSE_AT
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"

  step "cues with the server gone"
  hand_draw
  click_button 6
  wait_for 10 looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
  [ "$(red_pixels $LABEL6)" -eq 0 ] || fail "initialise left the ratio on show"
  click_button 8
  wait_for 10 viewable "$HELP" || fail "help did not appear"
  click_at $HELP_CLOSE_AT
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"
  click_button 3
  answer_box no
  wait_for 10 gone "$BOX" || fail "the exit box did not close on No"
  click_button 3
  answer_box yes
  expect_exit 0
  if [ -s "$tmp/err" ]; then
    echo "[cues] the program said:" && sed 's/^/  /' "$tmp/err"
  fi

  cue_faults
}

scenario_close() {
  [ -x "$wmclose" ] || { echo "no close helper; skipped"; exit 77; }
  step "closing the main window by its frame during a run"
  start_program "$tavelk"
  click_button 4
  wait_for 10 looks_like "----+-+-" || fail "the run did not start; buttons look $(button_looks)"
  local id
  id=$(window_ids "$MAIN" | head -1)
  "$wmclose" "$id" || fail "could not send the close request"
  expect_exit 0
  [ -z "$(window_ids "$MAIN")" ] || fail "the main window outlived the program"
}

# A start-up that cannot open its platform: exit code 1, no core dump, one
# message on stderr (a first line, then Qt's reasons indented under it) that
# names the reason.
scenario_nodisplay() {
  local case
  local -A headline=(
    [unset]="tavelk: cannot open a display; " [:nonexistent]="tavelk: cannot open a display; "
    [:97]="tavelk: cannot open a display; " [nosuchplugin]="tavelk: Qt's platform plugin cannot start"
  )
  local -A reason=(
    [unset]="could not connect to display" [:nonexistent]="could not connect to display :nonexistent"
    [:97]="could not connect to display :97" [nosuchplugin]='Could not find the Qt platform plugin "nosuchplugin"'
  )
  for case in unset :nonexistent :97 nosuchplugin; do
    step "start-up: $case"
    local rc=0
    (
      cd "$tmp"
      ulimit -c unlimited 2>/dev/null || true
      case $case in
        unset) env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tavelk" ;;
        nosuchplugin) env QT_QPA_PLATFORM=nosuchplugin "$tavelk" ;;
        *) env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$case" "$tavelk" ;;
      esac >"$tmp/out" 2>"$tmp/err"
    ) || rc=$?
    [ "$rc" -eq 1 ] || fail "exit code $rc, want 1"
    [[ $(head -n 1 "$tmp/err") == "${headline[$case]}"* ]] || fail "unexpected first line: $(head -n 1 "$tmp/err")"
    if tail -n +2 "$tmp/err" | grep -qv '^  '; then fail "stderr has lines outside the one message"; fi
    if ! grep -qF "  qt.qpa." "$tmp/err" || ! grep -qF "${reason[$case]}" "$tmp/err"; then
      fail "the message does not name the reason \"${reason[$case]}\""
    fi
    [ ! -s "$tmp/out" ] || fail "unexpected output on stdout"
    if compgen -G "$tmp/core*" >/dev/null; then fail "a core file was left"; fi
  done
}

# ---- under a window manager -----------------------------------------------

# The caption a window shows its manager, in both of its title properties.
window_titles() {
  LC_ALL=C.UTF-8 xprop -id "$1" -notype _NET_WM_NAME WM_NAME | sed -n 's/^\([A-Z_]*\) = \(".*"\)$/\1=\2/p' | sort | paste -sd' '
}
# The manager's frame round a window, as LEFT RIGHT TOP BOTTOM.
frame_extents() { xprop -id "$1" -notype _NET_FRAME_EXTENTS | sed -n 's/^_NET_FRAME_EXTENTS = //p' | tr -d ,; }
# Some managers write a second, empty window after the active one.
active_window() {
  local id
  id=$(xprop -root -notype _NET_ACTIVE_WINDOW | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p')
  printf '%d\n' "${id:-0}"
}
is_active() { [ "$(active_window)" = "$(printf '%d' "$1")" ]; }

# Checks that the window with that title is framed by the manager, sits with
# its client area at X Y W H and shows its caption; prints what it measured.
check_managed_window() {
  local title=$1 want=$2 id g
  id=$(window_ids "$title" | head -1)
  [ -n "$id" ] || fail "no window \"$title\""
  local parent root
  parent=$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4}')
  root=$(xwininfo -root | awk '/Window id/ {print $4}')
  [ "$parent" != "$root" ] || fail "\"$title\" was not reparented: the manager does not manage it"
  g=$(window_geometry "$title") || fail "\"$title\" is not viewable"
  local titles
  titles=$(window_titles "$id")
  step "\"$title\": client area $g, frame $(frame_extents "$id"), titles $titles"
  [ "$g" = "$want" ] || fail "\"$title\" client area at $g, want $want"
  [ "$titles" = "WM_NAME=\"$title\" _NET_WM_NAME=\"$title\"" ] || fail "\"$title\" has the titles $titles"
}

# Drags with the left button in small steps, as a hand does.
drag() {
  xdotool mousemove "$1" "$2" mousedown 1
  local i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10))
    sleep 0.03
  done
  xdotool mouseup 1
}

graph_blue() { # blue pixels on the graph window's canvas, at its place now
  local g
  read -r -a g <<<"$(window_geometry "$GRAPH")"
  shot
  blue_pixels $((g[0] + 10)) $((g[1] + 42)) 629 317
}
blue_differs() { [ "$(graph_blue)" != "$1" ]; }
blue_settled() {
  local count
  count=$(graph_blue)
  sleep 0.3
  [ "$(graph_blue)" = "$count" ]
}
graph_top_from() { [ "$(window_geometry "$GRAPH" | cut -d' ' -f2)" -ge "$1" ]; }

scenario_wm() {
  local manager=${scenario#wm-} rc=0
  wm_start "$manager" "$tmp/wm" || rc=$?
  [ "$rc" -ne 77 ] || { echo "$manager is not installed; skipped"; exit 77; }
  [ "$rc" -eq 0 ] || fail "$manager did not start"
  step "$(wm_announced) manages the screen"

  step "start-up"
  start_program "$tavelk"
  check_managed_window "$MAIN" "$MX $MY $MAIN_SIZE"
  local main_id
  main_id=$(window_ids "$MAIN" | head -1)

  # A short run: start and stop at once, so the graph's first curve is short.
  step "a short automatic run"
  # shellcheck disable=SC2046 # each point is two words
  xdotool mousemove $(button_point 4) click 1 mousemove $(button_point 5) click 1
  wait_for 30 looks_like "--+--+++" || fail "the run did not stop; buttons look $(button_looks)"

  step "the graph window"
  click_button 7
  wait_for 10 viewable "$GRAPH" || fail "the graph window did not appear"
  check_managed_window "$GRAPH" "$GX $GY $GRAPH_SIZE"
  local graph_id shown
  graph_id=$(window_ids "$GRAPH" | head -1)
  wait_for 10 is_active "$graph_id" || fail "the graph window was not made active when shown"
  wait_for 5 blue_differs 0 || fail "the graph drew no curve when shown"
  wait_for 10 blue_settled || fail "the graph keeps changing"
  shown=$(graph_blue)

  # It covers the main window whole; move it below by its title bar, until
  # its frame clears the main window's.
  local e m
  read -r -a e <<<"$(frame_extents "$graph_id")"
  read -r -a m <<<"$(frame_extents "$main_id")"
  drag $((GX + 200)) $((GY - e[2] / 2)) $((GX + 200)) $((GY - e[2] / 2 + 440))
  wait_for 10 graph_top_from $((MY + 351 + m[3] + e[2])) \
    || fail "the graph window could not be moved off the main window: at $(window_geometry "$GRAPH")"
  step "graph moved to $(window_geometry "$GRAPH")"

  # A click on the main window takes the activation away from the graph;
  # then a full run there, which the graph must not show before it is
  # activated again.
  step "a full run in the main window"
  click_at $((MX + 150)) $((MY + 60))
  wait_for 10 is_active "$main_id" || fail "a click on the main window did not make it active"
  click_button 6
  wait_for 10 looks_like "-+++---+" || fail "after initialise the buttons look $(button_looks)"
  click_button 4
  wait_for 30 looks_like "--+--+++" || fail "the run did not end; buttons look $(button_looks)"
  local before after
  before=$(graph_blue)
  [ "$before" = "$shown" ] || fail "the graph changed while it was not active: $shown then $before blue pixels"

  step "a click on the graph canvas"
  read -r -a e <<<"$(window_geometry "$GRAPH")"
  click_at $((e[0] + 400)) $((e[1] + 150))
  wait_for 10 is_active "$graph_id" || fail "a click on the graph did not make it active"
  wait_for 10 blue_differs "$before" || fail "the graph did not redraw on activation: $before blue pixels"
  wait_for 10 blue_settled || fail "the graph keeps changing"
  after=$(graph_blue)
  step "graph blue pixels: $shown when shown, $before before the click, $after after it"
  [ "$after" -gt "$before" ] || fail "the activation drew no more curve: $before then $after blue pixels"

  step "help and back"
  click_button 8
  wait_for 10 viewable "$HELP" || fail "the help window did not appear"
  wait_for 10 gone "$MAIN" || fail "the main window stayed beside help"
  check_managed_window "$HELP" "$HX $HY $HELP_SIZE"
  click_at $HELP_CLOSE_AT
  wait_for 10 viewable "$MAIN" || fail "the main window did not come back"
  check_managed_window "$MAIN" "$MX $MY $MAIN_SIZE"
  wait_for 10 looks_like "-+++---+" || fail "back from help the buttons look $(button_looks)"

  step "exit answered Yes"
  click_button 3
  answer_box yes
  expect_exit 0
}

case "$scenario" in
  session | fonts | sounds | cues | close | nodisplay) "scenario_$scenario" ;;
  cue-faults) cue_faults ;; # the faults part of cues alone
  wm-*) scenario_wm ;;
  *) fail "unknown scenario" ;;
esac
echo "[$scenario] passed"
