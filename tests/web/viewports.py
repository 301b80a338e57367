# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page on the pupils' devices: an iPad either way round (touch, pixel
ratio 2) and a Chromebook. In each, every window is checked by axe-core's
WCAG 2.1 A and AA rules and kept as a screenshot (web-VIEWPORT-STATE.png)."""

import io
from pathlib import Path

from PIL import Image

import browser
import pixels
import scenarios
from pupil import FINISHED, Pupil

AXE = Path(__file__).resolve().parents[2] / "node_modules" / "axe-core" / "axe.min.js"
VIEWPORTS = [("ipad-landscape", 1024, 768, 2, True), ("ipad-portrait", 768, 1024, 2, True), ("chromebook", 1366, 768, 1, False)]
# The red bold numbers pass the contrast rule only as large text (14 pt bold).
LARGE_BOLD_PX = 14 * 96 / 72


def axe(p, where):
    p.b.js(AXE.read_text(encoding="utf-8"))
    violations = p.b.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa']}})
          .then(r => done(r.violations.map(v => v.id + ' ' + JSON.stringify(v.nodes.map(n => n.target)))))
          .catch(e => done(['axe failed: ' + e]));""")
    p.check(not violations, f"axe finds {violations} with {where}")


def fits(p, viewport):
    size = p.b.js("""const r = document.getElementById('Label3').getBoundingClientRect();
        const d = document.getElementById('desktop').getBoundingClientRect();
        return [r.height / 25 * 21, d.width, document.documentElement.clientWidth];""")
    p.check(size[0] >= LARGE_BOLD_PX, f"the red numbers are drawn at {size[0]:.1f} px in {viewport}, below large text")
    p.check(size[1] <= size[2] + 0.5, f"the windows ({size[1]:.0f} px) should fit across {viewport} ({size[2]} px)")


def shoot(p, viewport, state):
    p.b.screenshot(f"web-{viewport}-{state}.png")


def scenario_viewports(p):
    for viewport, width, height, ratio, touch in VIEWPORTS:
        with browser.Browser(p.b.page, width, height, ratio, touch) as b:
            q = Pupil(b, p.layout, f"{p.name} {viewport}")
            scenarios.start(q)
            fits(q, viewport)
            axe(q, f"the main window in {viewport}")
            shoot(q, viewport, "main")
            q.step("a run and the graph")
            q.press("Command4")
            q.wait_for("the run's end", lambda s: s.enabled == FINISHED, timeout=10)
            q.press("Command7")
            q.wait_for("the graph window", lambda s: q.caption("graph") in s.windows)
            axe(q, f"the graph window in {viewport}")
            shoot(q, viewport, "graph")
            q.press("Form2-Command1")
            q.step("help")
            q.press("Command8")
            q.wait_for("the help window", lambda s: s.windows == [q.caption("help")])
            # The help text is printed at its 15 px, times the page's scale
            # and the device's pixel ratio.
            shot = Image.open(io.BytesIO(b.element_png("Form4-Picture1"))).convert("RGB")
            scale = b.js("return document.getElementById('Form4-Picture1').getBoundingClientRect().width / 549")
            q.check(pixels.tallest_ink(shot) >= 0.6 * 15 * scale * ratio,
                    f"the help text's lines are {pixels.tallest_ink(shot)} px tall in {viewport}, too small for 15 px")
            axe(q, f"the help window in {viewport}")
            shoot(q, viewport, "help")
            q.press("Form4-Command1")
            scenarios.start(q)
            q.step("the exit box")
            q.press("Command3")
            q.wait_for("the exit box", lambda s: s.dialog)
            axe(q, f"the exit box in {viewport}")
            shoot(q, viewport, "exit")
            q.press("exitBox-no")
            q.wait_for("the exit box gone", lambda s: not s.dialog)
            errors = b.console_errors()
            q.check(not errors, f"the console should hold no error; it holds {errors}")
