# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The lesson by keyboard alone, and a run of random clicks checked against
the main window's states after each one."""

import os
import random
import time

from selenium.webdriver.common.keys import Keys

import scenarios
from pupil import DRAWN, FINISHED, READY, RUNNING, SHUFFLING

STATES = [READY, SHUFFLING, DRAWN, FINISHED, *RUNNING]


def key(p, k, what, predicate, timeout=5):
    p.b.keys(k)
    seen = p.wait_for(what, predicate, timeout)
    p.check(seen.focus, f"the focus fell to the page after {k!r}")
    return seen


def tab_to(p, target):
    for _ in range(12):
        if p.see().focus == target:
            return
        p.b.keys(Keys.TAB)
    p.fail(f"Tab never reached {target}")


def scenario_keyboard(p):
    scenarios.start(p)
    p.step("Tab through the main window's enabled buttons in order, round again")
    order = [key(p, Keys.TAB, "a focus move", lambda s: True).focus for _ in range(4)]
    p.check(order == ["Command3", "Command4", "Command8", "Command2"], f"Tab went {order}")
    key(p, Keys.SHIFT + Keys.TAB, "Shift+Tab back", lambda s: s.focus == "Command8")
    key(p, Keys.TAB, "Tab on", lambda s: s.focus == "Command2")
    p.step("shuffle with Space, draw with Enter")
    key(p, Keys.SPACE, "shuffling, the focus on draw", lambda s: s.enabled == SHUFFLING and s.focus == "Command1")
    key(p, Keys.ENTER, "a drawn card, the focus on shuffle", lambda s: s.enabled == DRAWN and s.focus == "Command2")
    p.step("an automatic run")
    tab_to(p, "Command4")
    key(p, Keys.SPACE, "a run, the focus on stop", lambda s: s.focus == "Command5" or s.enabled == FINISHED)
    seen = p.wait_for("the run's end", lambda s: s.enabled == FINISHED, timeout=10)
    p.check(seen.focus in {f"Command{n}" for n in FINISHED}, f"after the run the focus is on {seen.focus!r}")
    p.step("the graph, and Tab on into the main window and back")
    tab_to(p, "Command7")
    key(p, Keys.ENTER, "the graph window with the focus on its picture",
        lambda s: p.caption("graph") in s.windows and s.focus == "Form2-Picture1")
    key(p, Keys.TAB, "its close button", lambda s: s.focus == "Form2-Command1")
    key(p, Keys.TAB, "the main window's first enabled button", lambda s: s.focus == "Command3")
    key(p, Keys.SHIFT + Keys.TAB, "back into the graph", lambda s: s.focus == "Form2-Command1")
    key(p, Keys.ENTER, "the graph closed", lambda s: s.windows == [p.caption("main")] and s.focus.startswith("Command"))
    p.step("exit, answered by Escape")
    tab_to(p, "Command3")
    key(p, Keys.ENTER, "the exit box, はい focused", lambda s: s.dialog and s.focus == "exitBox-yes")
    key(p, Keys.ESCAPE, "the box gone, nothing changed", lambda s: not s.dialog and s.enabled == FINISHED and s.focus == "Command3")
    p.step("help and back")
    tab_to(p, "Command8")
    key(p, Keys.SPACE, "the help window, its button focused", lambda s: s.windows == [p.caption("help")] and s.focus == "Form4-Command1")
    key(p, Keys.ENTER, "the main window afresh", lambda s: s.windows == [p.caption("main")] and s.enabled == READY and s.focus == "Command2")


def check_invariants(p, s):
    if p.caption("main") in s.windows:
        p.check(s.enabled in STATES, f"the buttons enabled are {sorted(s.enabled)}, in no state of the main window")
        p.check(s.card in p.layout["cards"][1:], f"the card on show is named {s.card!r}")
        if s.values["Label6"]:
            p.check(scenarios.ratio_consistent(s), f"the counts and ratio disagree: {s.values}")
        else:
            p.check(s.values["Label3"] == s.values["Label4"] == "0", f"an empty ratio with counts {s.values}")
    if s.windows and not s.dialog:
        p.check(s.focus, "the focus fell to the page")


def scenario_random(p):
    seed = int(os.environ.get("TAVELK_SEED", time.time_ns() % 1_000_000))
    print(f"  seed {seed} (TAVELK_SEED={seed} replays it)")
    rng = random.Random(seed)
    scenarios.start(p)
    controls = [f"Command{n}" for n in range(1, 9)] * 4 + ["Form2-Command1", "Form4-Command1"]
    for i in range(int(os.environ.get("TAVELK_RANDOM_STEPS", 80))):
        s = p.see()
        check_invariants(p, s)
        if s.dialog:
            target = rng.choice(["exitBox-no", "exitBox-no", "escape"])
        else:
            present = [c for c in controls if p.tree.element(c) is not None]
            target = rng.choice(present)
        p.step(f"step {i}: {target}")
        if target == "escape":
            p.b.keys(Keys.ESCAPE)
        else:
            p.press(target)
        time.sleep(rng.choice([0, 0.05, 0.2, 0.5]))
        after = p.see()
        if not after.windows and not after.dialog:
            p.fail("the program ended without はい")
