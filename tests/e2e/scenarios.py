# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The end-to-end scenarios: each one a pupil's steps with the real program
(run.py starts one by name)."""

import os
import shutil
import subprocess
import time

from harness import Skip, poll

# The main window's buttons by caption, and the sets enabled in each state
# of the experiment.
DRAW, SHUFFLE, EXIT, START, STOP, INIT, GRAPH, HELP = (
    "トランプを引く", "トランプをきる", "終了", "自動 Start", "自動 Stop", "初期化", "グラフ表示", "HELP")
READY = [SHUFFLE, EXIT, START, HELP]
SHUFFLING = [DRAW]
DRAWN = [SHUFFLE, EXIT, START, INIT, HELP]
RUNNING = [STOP, GRAPH]
FINISHED = [EXIT, INIT, GRAPH, HELP]
BOX, YES, NO = "トランプ", "はい", "いいえ"
ZEROS = {3: "0", 4: "0", 6: ""}
RANKS = {"エース": 1, "ジャック": 11, "クイーン": 12, "キング": 13}


def rank(card):
    word = card.rpartition("の")[2]
    return RANKS.get(word) or int(word)


def check_counts(s, seen, draws):
    """The labels show draws, the multiples of 3 among them and their ratio."""
    multiples = int(seen.labels[4])
    ratio = seen.labels[6]
    s.check(seen.labels[3] == str(draws) and 0 <= multiples <= draws, f"{draws} draws counted", seen)
    s.check(len(ratio) == 9 and abs(float(ratio) - multiples / draws) < 6e-8,
            f"the ratio {multiples}/{draws} with seven decimals", seen)


def hand_draw(s):
    before = s.seen()
    s.press(SHUFFLE)
    s.expect(enabled=SHUFFLING)
    s.until("shuffling to change the card on show", lambda seen: seen.card != before.card)
    s.press(DRAW)
    seen = s.expect(enabled=DRAWN)
    draws = int(before.labels[3]) + 1
    check_counts(s, seen, draws)
    counted = int(before.labels[4]) + (rank(seen.card) % 3 == 0)
    s.check(seen.labels[4] == str(counted), f"{counted} multiples of 3 after drawing {seen.card}", seen)
    return seen


def settled(s):
    """Nothing on the main window changes any more: the timer is stopped."""
    before = s.seen()
    time.sleep(0.4)
    after = s.seen()
    s.check((after.card, after.labels) == (before.card, before.labels), f"the window to stay as {before}", after)
    return after


def exit_yes(s):
    s.press(EXIT)
    s.until("the exit box", lambda seen: BOX in seen.windows)
    s.press(YES, BOX)
    s.expect_exit(0)


def help_and_back(s, check_place=lambda window: None, also=frozenset()):
    """Help in place of the main window, which comes back in a fresh
    experiment; other windows (also) stay as they are."""
    s.press(HELP)
    s.expect(windows={s.caption("help")} | also)
    check_place("help")
    s.press(s.layout["close"], s.caption("help"))
    s.expect(windows={s.caption("main")} | also, enabled=READY, labels=ZEROS)
    check_place("main")


def designed_place(s, window):
    _, place = s.x_window(s.caption(window))
    s.check(place == tuple(s.layout[window]["client"]), f"the {window} window's client area at "
            f"{s.layout[window]['client']}, seen at {place}")


def scenario_session(s):
    s.step("start-up")
    s.start_program()
    s.expect(enabled=READY, labels={**ZEROS, 7: "0.3076923"}, card="スペードのエース")
    settled(s)

    s.step("a hand draw")
    hand_draw(s)
    settled(s)

    s.step("a full automatic run")
    s.press(START)
    s.expect(enabled=FINISHED, timeout=30)
    check_counts(s, settled(s), 1000)

    s.step("the graph window")
    s.press(GRAPH)
    s.expect(windows={s.caption("main"), s.caption("graph")})
    designed_place(s, "graph")
    s.press(s.layout["close"], s.caption("graph"))
    s.expect(windows={s.caption("main")})

    s.step("help and back")
    help_and_back(s, lambda window: designed_place(s, window))

    s.step("clicks on the main window while the exit box is open")
    hand_draw(s)
    s.press(EXIT)
    before = s.until("the exit box", lambda seen: BOX in seen.windows)
    for button in (SHUFFLE, START, INIT, HELP):
        s.press(button, s.caption("main"))
    time.sleep(0.5)
    after = s.seen()
    s.check((after.windows, after.enabled, after.card, after.labels) ==
            (before.windows, before.enabled, before.card, before.labels),
            f"the main window not to react behind the exit box: {before}", after)
    s.press(NO, BOX)
    s.expect(windows={s.caption("main")}, enabled=DRAWN)
    s.check(s.proc.poll() is None, "the program still running after No")

    s.step("exit answered Yes")
    exit_yes(s)


def scenario_fonts(s):
    # Only DejaVu: no face has Japanese glyphs.
    os.mkdir(s.path("fc-cache"))
    with open(s.path("fonts.conf"), "w") as conf:
        conf.write(f'<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
                   f'<dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>{s.path("fc-cache")}</cachedir></fontconfig>')
    s.env["FONTCONFIG_FILE"] = s.path("fonts.conf")
    s.check("DejaVu" in s.call(["fc-list"]), "DejaVu in the test's font set")
    s.check(not s.call(["fc-list", ":lang=ja"]).strip(), "no Japanese face in the test's font set")

    s.step("start-up without Japanese fonts")
    s.start_program()
    # Inside the title's box, whose black border is drawn whatever the fonts.
    x, y, w, h = s.extents(s.find("Tavelk", s.caption("main")))
    dark = s.pixels((x + 2, y + 2, w - 4, h - 4), lambda r, g, b: 0.299 * r + 0.587 * g + 0.114 * b < 0.35 * 255)
    s.check(dark > 20, f"the title drawn (dark pixels in its box: {dark})")
    s.step("a hand draw without Japanese fonts")
    hand_draw(s)
    exit_yes(s)


def hostile_waves(s):
    """Wave files in the user's data folder made to cost time or memory: a
    valid 64 MiB wave, and 4 MB of empty chunks before a valid tail. Each
    cue's click is answered at once, and the memory stays that of a cue."""
    import struct
    from cues import cue_then_shuffle, shuffle_and_draw
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, 44100, 88200, 2, 16)
    second = b"\x10\x00" * 44100
    for kind in ("huge", "junk"):
        s.step(f"a {kind} wave file in the data folder")
        folder = s.path(kind)
        os.makedirs(os.path.join(folder, "data", "tavelk"))
        shutil.copy(s.program, folder)
        if kind == "huge":
            # 64 MiB in all.
            size = (64 << 20) - 12 - len(fmt) - 8
            body = fmt + b"data" + struct.pack("<I", size) + b"\x10" * size
        else:
            body = b"JUNK\0\0\0\0" * 500000 + fmt + b"data" + struct.pack("<I", len(second)) + second
        with open(os.path.join(folder, "data", "tavelk", "pinpon.wav"), "wb") as f:
            f.write(b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body)
        s.start_program(os.path.join(folder, os.path.basename(s.program)),
                        env={"XDG_DATA_HOME": os.path.join(folder, "data"), "TAVELK_BENCH_LOG": s.path("bench.log")})
        shuffle_and_draw(s)
        for i in (1, 2, 3):
            cue_then_shuffle(s, f"{kind} wave, cue {i}")
            shuffle_and_draw(s)
        with open(f"/proc/{s.proc.pid}/status") as status:
            memory = {k: int(v.split()[0]) for k, v in (line.split(":") for line in status) if k in ("VmRSS", "VmHWM")}
        s.step(f"{kind} wave: peak resident {memory['VmHWM'] // 1024} MB")
        # A session without sound peaks near 40 MB (AddressSanitizer's own
        # memory makes that figure meaningless).
        if "ASAN_OPTIONS" not in os.environ:
            s.check(memory["VmHWM"] < 60 * 1024, f"the memory of a short cue, not {memory['VmHWM'] // 1024} MB")
        exit_yes(s)


def scenario_sounds(s):
    hostile_waves(s)
    for kind in ("missing", "broken"):
        s.step(f"wave files {kind}")
        folder = s.path(kind)
        os.mkdir(folder)
        shutil.copy(s.program, folder)
        if kind == "broken":
            open(os.path.join(folder, "pinpon.wav"), "w").close()
            with open(os.path.join(folder, "endpinpon.wav"), "w") as f:
                f.write("This is a text file, not sound.\n" * 100)
        s.start_program(os.path.join(folder, os.path.basename(s.program)))
        hand_draw(s)
        s.press(INIT)
        s.expect(enabled=READY, labels=ZEROS)
        help_and_back(s)
        exit_yes(s)


def scenario_close(s):
    if not s.wmclose:
        raise Skip("no close helper")
    s.step("closing the main window by its frame during a run")
    s.start_program()
    s.press(START)
    s.expect(enabled=RUNNING)
    window, _ = s.x_window(s.caption("main"))
    s.call([s.wmclose, window])
    s.expect_exit(0)
    s.check(s.x_window(s.caption("main")) == (None, None), "the main window gone with the program")


def scenario_nodisplay(s):
    """A start-up that cannot open its platform: exit code 1, no core dump,
    one message on stderr (a first line, then Qt's reasons indented) that
    names the reason."""
    display = "tavelk: cannot open a display; "
    cases = {"unset": ({}, display, "could not connect to display"),
             ":nonexistent": ({"DISPLAY": ":nonexistent"}, display, "could not connect to display :nonexistent"),
             ":97": ({"DISPLAY": ":97"}, display, "could not connect to display :97"),
             "nosuchplugin": ({"QT_QPA_PLATFORM": "nosuchplugin"}, "tavelk: Qt's platform plugin cannot start",
                              'Could not find the Qt platform plugin "nosuchplugin"')}
    for case, (env, headline, reason) in cases.items():
        s.step(f"start-up: {case}")
        env = dict({k: v for k, v in s.env.items() if k != "DISPLAY"}, **env)
        done = subprocess.run(["sh", "-c", 'ulimit -c unlimited 2>/dev/null; exec "$0"', s.program], env=env,
                              cwd=s.tmp, capture_output=True, text=True)
        lines = done.stderr.splitlines() or [""]
        seen = f"exit code {done.returncode}, stderr {done.stderr!r}, stdout {done.stdout!r}"
        s.check(done.returncode == 1, "exit code 1", seen)
        s.check(lines[0].startswith(headline), f"a first line starting {headline!r}", seen)
        s.check(all(line.startswith("  ") for line in lines[1:]), "no lines outside the one message", seen)
        s.check("  qt.qpa." in done.stderr and reason in done.stderr, f"the reason {reason!r} named", seen)
        s.check(not done.stdout, "nothing on stdout", seen)
        s.check(not any(f.startswith("core") for f in os.listdir(s.tmp)), "no core file", seen)


def managed(s, window):
    """The window is framed by the manager, at its designed place, captioned."""
    caption = s.caption(window)

    # The manager frames and places a window a while after the program maps
    # it, longer on a busy testbed; what is seen then is checked below.
    def framed_in_place():
        wid, place = s.x_window(caption)
        return (wid is not None and place == tuple(s.layout[window]["client"])
                and " = " in s.xprop("-id", wid, "_NET_FRAME_EXTENTS"))
    start = time.monotonic()
    poll(framed_in_place, 20)
    if time.monotonic() > start + 1:
        s.step(f"{caption!r} framed and placed only after {time.monotonic() - start:.1f} s")
    designed_place(s, window)
    wid, _ = s.x_window(caption)
    s.check(s.parent(wid) != s.root(), f"{caption!r} reparented by the manager")
    titles = s.xprop("-id", wid, "WM_NAME", "_NET_WM_NAME").splitlines()
    s.check(sorted(titles) == [f'WM_NAME = "{caption}"', f'_NET_WM_NAME = "{caption}"'],
            f"{caption!r} in both title properties, seen {titles}")
    return wid


def frame(s, wid):
    """The manager's frame round a window: left, right, top, bottom."""
    return [int(v) for v in s.xprop("-id", wid, "_NET_FRAME_EXTENTS").partition(" = ")[2].split(",")]


def curve(s):
    """Blue pixels of the graph curve on the graph window's canvas, where it is now."""
    children = list(s.windows()[s.caption("graph")])
    canvas = max((s.extents(c) for c in children), key=lambda e: e[2] * e[3])
    return s.pixels(canvas, lambda r, g, b: (r, g, b) == (0, 0, 255))


def curve_settled(s):
    count = curve(s)
    time.sleep(0.3)
    return curve(s) == count


def scenario_wm(s, manager):
    s.step(f"{s.start_wm(manager)} manages the screen")
    main, graph = s.caption("main"), s.caption("graph")
    s.step("start-up")
    s.start_program()
    s.expect(enabled=READY)
    main_id = managed(s, "main")

    # Start and stop at once, so that the graph's first curve is short.
    s.step("a short automatic run")
    s.call(["xdotool", "mousemove", *map(str, s.centre(START)), "click", "1",
            "mousemove", *map(str, s.centre(STOP)), "click", "1"])
    s.expect(enabled=FINISHED, timeout=30)

    s.step("the graph window")
    s.press(GRAPH)
    s.expect(windows={main, graph}, active=graph)
    graph_id = managed(s, "graph")
    s.wait("the graph drawing a curve when shown", lambda: curve(s) > 0)
    s.wait("the graph to settle", lambda: curve_settled(s))
    shown = curve(s)

    # It covers the main window: move it below by its title bar until its
    # frame clears the main window's.
    top, bottom = frame(s, graph_id)[2], frame(s, main_id)[3]
    gx, gy = s.layout["graph"]["client"][:2]
    s.drag((gx + 200, gy - top // 2), (gx + 200, gy - top // 2 + 440))
    clear = s.layout["main"]["client"][1] + s.layout["main"]["client"][3] + bottom + top
    s.wait("the graph window moved off the main window", lambda: (s.x_window(graph)[1] or (0, 0))[1] >= clear)

    # A click on the main window takes the activation away from the graph;
    # a full run there must not show on the graph until it is active again.
    s.step("a full run in the main window")
    mx, my = s.layout["main"]["client"][:2]
    s.click_at(mx + 150, my + 60)
    s.expect(active=main)
    s.press(INIT)
    s.expect(enabled=READY)
    s.press(START)
    s.expect(enabled=FINISHED, timeout=30)
    before = curve(s)
    s.check(before == shown, f"the inactive graph unchanged: {shown} blue pixels, then {before}")

    s.step("a click on the graph canvas")
    x, y, _, _ = s.x_window(graph)[1]
    s.click_at(x + 400, y + 150)
    s.expect(active=graph)
    s.wait("the graph redrawn on activation", lambda: curve(s) != before)
    s.wait("the graph to settle", lambda: curve_settled(s))
    after = curve(s)
    s.step(f"graph blue pixels: {shown} when shown, {before} before the click, {after} after it")
    s.check(after > before, f"more curve after the activation: {before} then {after} blue pixels")

    s.step("help and back")
    help_and_back(s, lambda window: managed(s, window), also={graph})
    exit_yes(s)


def stalled_bus(s, bus, left_out):
    """With a bus whose daemon hangs from before the start, the main window
    is up within 3 s and a click on トランプをきる answered within 1 s, read
    by X and pixels since the bus that would tell is the one that hangs; one
    line on stderr says what the program goes without."""
    s.freeze_bus(bus)
    s.step(f"start-up with the {bus} bus stopped")
    start = time.monotonic()
    s.start_program(read=False)
    s.wait("the main window on the screen", lambda: s.x_window(s.caption("main"))[0], 3)
    s.step(f"window after {time.monotonic() - start:.2f} s")
    window = s.x_window(s.caption("main"))[1]
    x, y, w, h = s.layout["places"][SHUFFLE]
    # The pointer on the button first, so that only the click changes what is drawn.
    s.call(["xdotool", "mousemove", str(window[0] + x + w // 2), str(window[1] + y + h // 2)])

    def drawn():
        first = s.screen(window)
        return first == s.screen(window) and len(set(b"".join(first))) > 1
    s.wait("the main window drawn and still", drawn, 3)
    before = s.screen(window)
    clicked = time.monotonic()
    s.call(["xdotool", "click", "1"])
    s.wait(f"the click on {SHUFFLE} answered", lambda: s.screen(window) != before, 1)
    s.step(f"click answered after {time.monotonic() - clicked:.2f} s")
    lines = open(s.err).read().splitlines()
    want = f"tavelk: the {bus} bus does not answer; starting without {left_out}"
    s.check(lines == [want], f"stderr to be the one line {want!r}, not {lines}")


def scenario_stalledsession(s):
    stalled_bus(s, "session", "it and without accessibility")


def scenario_stalledaccessibility(s):
    stalled_bus(s, "accessibility", "accessibility")
