# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the scenarios see and do, in a pupil's terms: the windows on show,
the main window's enabled buttons, its numbers, the card, the focus and
the last sentence announced; pressing a button by its caption."""

import time
from dataclasses import dataclass, field

from browser import Failure

# The main window's states as the buttons enabled in each (Command numbers).
READY, SHUFFLING, DRAWN, FINISHED = {2, 3, 4, 8}, {1}, {2, 3, 4, 6, 8}, {3, 6, 7, 8}
RUNNING = ({5}, {5, 7})  # the graph from the first counted draw on
VALUES = ("Label3", "Label4", "Label6", "Label7")


@dataclass
class Seen:
    windows: list = field(default_factory=list)
    enabled: set = field(default_factory=set)
    values: dict = field(default_factory=dict)
    card: str = ""
    focus: str = ""  # the focused element's id
    announced: str = ""
    dialog: str = ""  # the exit box's name when it is open


class Pupil:
    def __init__(self, browser, layout, name):
        self.b = browser
        self.layout = layout
        self.name = name
        self.steps = []

    def step(self, what):
        self.steps.append(what)
        print(f"  {self.name}: {what}", flush=True)

    def fail(self, message):
        raise Failure(f"{self.steps[-1] if self.steps else 'start'}: {message}")

    def check(self, condition, message):
        if not condition:
            self.fail(message)

    def caption(self, window):
        return self.layout[window]["caption"].strip()

    def see(self):
        t = self.b.tree()
        seen = Seen(windows=sorted(t.windows()))
        for n, caption in enumerate(self.layout["buttons"], 1):
            node = t.element(f"Command{n}")
            if node is not None:
                self.check(t.name(node) == caption, f"Command{n} named {t.name(node)!r}, expected {caption!r}")
                if not t.prop(node, "disabled"):
                    seen.enabled.add(n)
        for label in VALUES:
            node = t.element(label)
            if node is not None:
                seen.values[label] = t.text(node)
        card = t.element("toranpu")
        seen.card = t.name(card) if card else ""
        focus = t.focused()
        seen.focus = next((i for i, n in t.by_element.items() if n is focus), "") if focus else ""
        live = t.element("announce")
        seen.announced = t.text(live) if live else ""
        box = t.element("exitBox")
        seen.dialog = t.name(box) if box else ""
        self.tree = t
        return seen

    def press(self, element_id):
        """Clicks the control, found by id in the accessibility tree, in its middle."""
        node = self.tree_now().element(element_id)
        if node is None:
            self.fail(f"no {element_id} to press")
        self.b.click_node(node)

    def press_caption(self, caption, window=None):
        t = self.tree_now()
        within = t.windows()[self.caption(window)] if window else None
        self.b.click_node(t.one("button", caption, within))

    def tree_now(self):
        return self.b.tree()

    def wait_for(self, what, predicate, timeout=5):
        deadline = time.monotonic() + timeout
        while True:
            seen = self.see()
            if predicate(seen):
                return seen
            if time.monotonic() > deadline:
                self.fail(f"expected {what} within {timeout} s; saw {seen}")
            time.sleep(0.05)
