# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser scenarios, each one function that reads as a pupil's steps.
The words come from the tests' expected table (tests/expected.h, printed by
tests/e2e/layout.cpp), never from the page itself."""

import io
import random
import time

from PIL import Image

import pixels
from glyphs import Glyphs
from pupil import DRAWN, FINISHED, READY, RUNNING, SHUFFLING

THEORY = f"{16 / 52:.7f}"


def ratio_consistent(seen):
    draws, hits, shown = int(seen.values["Label3"]), int(seen.values["Label4"]), seen.values["Label6"]
    return draws > 0 and abs(float(shown) - hits / draws) < 5e-7 and len(shown.split(".")[1]) == 7


def counts(p, seen):
    """The counts as the sentences give them."""
    text = p.layout["speech"]["counts"]
    for n, label in ((1, "Label3"), (2, "Label4"), (3, "Label6")):
        text = text.replace(f"%{n}", seen.values[label])
    return text


def counted(p, card_name):
    """Whether the card's rank (1..13 within its suit) is a multiple of 3."""
    index = p.layout["cards"].index(card_name)
    return ((index - 1) % 13 + 1) % 3 == 0


def start(p):
    p.step("start-up")
    return p.wait_for("the main window in its start-up state", lambda s: s.windows == [p.caption("main")] and s.enabled == READY
                      and s.values == {"Label3": "0", "Label4": "0", "Label6": "", "Label7": THEORY}
                      and s.card == p.layout["cards"][1] and s.focus == "Command2")


def hand_draw(p, draws_before):
    p.step("shuffle")
    p.press("Command2")
    seen = p.wait_for("shuffling, the focus on the draw button", lambda s: s.enabled == SHUFFLING and s.focus == "Command1")
    first = seen.card
    p.wait_for("another card on show while shuffling", lambda s: s.card != first, timeout=3)
    p.step("draw")
    hits_before = int(seen.values["Label4"])
    p.press("Command1")
    seen = p.wait_for("a drawn card", lambda s: s.enabled == DRAWN and s.values["Label3"] == str(draws_before + 1))
    hits = hits_before + counted(p, seen.card)
    p.check(seen.values["Label4"] == str(hits), f"the multiples of 3 should be {hits} after {seen.card}; saw {seen.values}")
    p.check(ratio_consistent(seen), f"the ratio should be {hits}/{draws_before + 1}; saw {seen.values}")
    p.check(seen.focus == "Command2", f"the focus should be on shuffle after a draw, not {seen.focus!r}")
    said = seen.card + p.layout["speech"]["afterCard"] + counts(p, seen)
    p.check(seen.announced == said, f"the draw should be announced as {said!r}; heard {seen.announced!r}")
    return seen


def automatic_run(p):
    p.step("automatic start")
    started = time.monotonic()
    p.press("Command4")
    p.wait_for("a running state", lambda s: s.enabled in RUNNING or s.enabled == FINISHED)
    seen = p.wait_for("the run's end at 1000 draws", lambda s: s.enabled == FINISHED, timeout=10)
    took = time.monotonic() - started
    p.check(seen.values["Label3"] == "1000" and ratio_consistent(seen), f"the run should end at 1000 draws; saw {seen.values}")
    p.check(seen.focus and int(seen.focus[7:]) in FINISHED, f"the focus should be on an enabled button, not {seen.focus!r}")
    p.check(took < 4, f"a 1000-draw run should take about a second, not {took:.1f} s")
    said = p.layout["speech"]["runEnded"] + counts(p, seen)
    p.check(seen.announced == said, f"the run's end should be announced as {said!r}; heard {seen.announced!r}")
    return seen


def graph(p, seen_main):
    p.step("the graph")
    p.press("Command7")
    p.wait_for("the graph window", lambda s: p.caption("graph") in s.windows)
    t = p.b.tree()
    canvas = t.element("Form2-Picture1")
    p.check(canvas is not None and t.name(canvas), "the graph's picture should carry a name")
    # The first ratio is that of one draw: all or nothing.
    speech = p.layout["speech"]
    said = [speech["graph"].replace("%1", "1000").replace("%2", first).replace("%3", seen_main.values["Label6"])
            .replace("%4", speech["theory"].replace("%1", THEORY)).replace("%5", "1") for first in ("0.0000000", "1.0000000")]
    description = canvas.get("description", {}).get("value")
    p.check(description in said, f"the graph should be described as one of {said}; it is {description!r}")
    shot = Image.open(io.BytesIO(p.b.element_png("Form2-Picture1"))).convert("RGB")
    shot.save(f"web-{p.name}-graph.png")
    dashes = pixels.dashed_rows(shot)
    p.check(dashes, "the dashed 0.30 line should be there")
    guide = dashes[0]
    curve = pixels.curve(shot)
    p.check(curve, "the curve should be drawn in blue")
    end_x, end_y = max(curve)
    # The curve ends at the right edge, at the run's last ratio.
    height = shot.height
    ratio = float(seen_main.values["Label6"])
    expected_y = (110 - 100 * ratio) * height / 120
    p.check(end_x >= shot.width * 0.97, f"the curve should reach the right edge; it ends at x {end_x} of {shot.width}")
    p.check(abs(end_y - expected_y) <= height / 120 * 2, f"the curve should end at the ratio {ratio} (y {expected_y:.0f}), not y {end_y}")
    p.check(abs(guide - 80 * height / 120) <= height / 120, f"the dashed line should be at 0.30 (y {80 * height / 120:.0f}), not {guide}")
    return shot


def exit_answer(p, answer_id, answer, glyphs=None):
    p.step(f"exit, answered {answer}")
    before = p.see()
    p.press("Command3")
    box = p.wait_for("the exit box", lambda s: s.dialog)
    p.check(box.dialog == p.layout["exit"]["title"], f"the exit box's title should be {p.layout['exit']['title']!r}, not {box.dialog!r}")
    p.check(box.focus == "exitBox-yes", f"はい should be the default, the focus is on {box.focus!r}")
    t = p.b.tree()
    words = (t.element("exitBox").get("description", {}).get("value"), t.name(t.element("exitBox-yes")), t.name(t.element("exitBox-no")))
    expected = tuple(p.layout["exit"][k] for k in ("question", "yes", "no"))
    p.check(words == expected, f"the exit box should ask {expected}; it asks {words}")
    if glyphs:
        glyphs.note(p)
    p.press(answer_id)
    return before


def scenario_lesson(p):
    glyphs = Glyphs()
    seen = start(p)
    glyphs.note(p)
    pixels.check_card(p, seen.card)
    for n in range(3):
        seen = hand_draw(p, n)
    pixels.check_card(p, seen.card)
    glyphs.note(p)
    seen = automatic_run(p)
    graph(p, seen)
    p.step("close the graph with its own button")
    p.press("Form2-Command1")
    seen = p.wait_for("the graph gone, the main window as it was", lambda s: s.windows == [p.caption("main")] and s.enabled == FINISHED)

    p.step("initialise")
    p.press("Command6")
    seen = p.wait_for("a fresh experiment", lambda s: s.enabled == READY and s.values["Label3"] == "0" and s.values["Label6"] == "")
    p.check(seen.announced == p.layout["speech"]["initialised"], f"initialising should be announced; heard {seen.announced!r}")

    p.step("start and stop an automatic run")
    p.press("Command4")
    p.wait_for("some draws counted", lambda s: s.values["Label3"] not in ("0", ""))
    p.press("Command5")
    seen = p.wait_for("a stopped run", lambda s: s.enabled == FINISHED)
    p.check(0 < int(seen.values["Label3"]) < 1000 and ratio_consistent(seen), f"the stopped run's counts: {seen.values}")

    p.step("help")
    p.press("Command8")
    seen = p.wait_for("the help window in place of the main window", lambda s: s.windows == [p.caption("help")])
    glyphs.note(p)
    t = p.b.tree()
    text = [t.text(n) for n in t.find("paragraph", within=t.element("Form4-Picture1"))]
    if "helpLines" in p.layout:
        expected = [line for line in p.layout["helpLines"] if line.strip()]
        p.check(text == expected, f"the help text should read as its lines; read {text}")
    else:
        # The 23 lines but the two empty ones, each indented by ideographic spaces.
        p.check(len(text) == 21 and all(line.startswith("\u3000") for line in text), f"the help text should read as its 21 lines; read {text}")
    p.step("close help")
    p.press("Form4-Command1")
    start(p)

    before = exit_answer(p, "exitBox-no", "いいえ", glyphs)
    after = p.wait_for("the exit box gone", lambda s: not s.dialog)
    p.check((after.enabled, after.values, after.windows) == (before.enabled, before.values, before.windows), "いいえ should change nothing")
    exit_answer(p, "exitBox-yes", "はい")
    p.wait_for("the program ended", lambda s: not s.windows and not s.dialog)
    p.check(p.b.js("return !document.getElementById('ended').hidden"), "the page should say that the program has ended")
    glyphs.note(p)
    glyphs.check(p)
    # Opened from file:// with the network refused, the page asked for nothing.
    p.check(p.b.js("return performance.getEntriesByType('resource').length") == 0, "the page should fetch nothing")


def scenario_frames(p):
    """The title bars' close controls do what the desktop frame's close does."""
    start(p)
    p.step("a run and the graph, closed by its title bar")
    p.press("Command4")
    p.wait_for("the run's end", lambda s: s.enabled == FINISHED, timeout=10)
    p.press("Command7")
    p.wait_for("the graph window", lambda s: p.caption("graph") in s.windows)
    p.press("Form2-close")
    p.wait_for("the graph gone, the main window as it was", lambda s: s.windows == [p.caption("main")] and s.enabled == FINISHED)
    p.step("the main window closed by its title bar while the graph is open")
    p.press("Command7")
    p.wait_for("the graph window", lambda s: p.caption("graph") in s.windows)
    # The graph covers the main window: the pupil drags it aside by its title bar.
    before = p.b.js("return document.getElementById('Form2').getBoundingClientRect().top")
    p.b.drag("Form2-caption", 0, 450)
    after = p.b.js("return document.getElementById('Form2').getBoundingClientRect().top")
    p.check(after - before > 300, f"the graph window should have moved down with the drag: from {before} to {after}")
    p.press("Form1-close")
    seen = p.wait_for("the graph alone, active with the focus in it", lambda s: s.windows == [p.caption("graph")] and s.focus.startswith("Form2"))
    p.check(p.b.js("return document.getElementById('Form2').classList.contains('active')"), "the graph window should be the active one")
    p.step("the graph closed too: no window is left and the program ends")
    p.press("Form2-Command1")
    p.wait_for("the program ended", lambda s: not s.windows and not s.dialog)
    p.check(p.b.js("return !document.getElementById('ended').hidden"), "the page should say that the program has ended")


def scenario_helpframe(p):
    """Help closed by its title bar does not bring the main window back."""
    start(p)
    p.step("help, closed by its title bar")
    p.press("Command8")
    p.wait_for("the help window", lambda s: s.windows == [p.caption("help")])
    p.press("Form4-close")
    p.wait_for("the program ended", lambda s: not s.windows and not s.dialog)
    p.check(p.b.js("return !document.getElementById('ended').hidden"), "the page should say that the program has ended")
