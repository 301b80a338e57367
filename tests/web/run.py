#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs browser scenarios against the built page:
    run.py PAGE LAYOUT_PRINTER [SCENARIO ...]
PAGE is build-web/tavelk.html, LAYOUT_PRINTER the printer of the tests'
expected table (tavelk-e2e-layout). With no scenario named, runs them all.
A failure prints what was expected and seen and keeps a screenshot as
web-SCENARIO-failure.png in the working folder."""

import json
import subprocess
import sys
import time
import traceback

import browser
import cues
import keyboard
import scenarios
import viewports
from pupil import Pupil

ALL = {name[len("scenario_"):]: f for module in (scenarios, cues, keyboard, viewports)
       for name, f in vars(module).items() if name.startswith("scenario_")}


def main(page, printer, *names):
    layout = json.loads(subprocess.check_output([printer], text=True))
    failed = []
    for name in names or ALL:
        start = time.monotonic()
        print(f"== {name}", flush=True)
        with browser.Browser(page) as b:
            p = Pupil(b, layout, name)
            try:
                ALL[name](p)
                errors = b.console_errors()
                p.check(not errors, f"the console should hold no error; it holds {errors}")
                print(f"{name}: passed in {time.monotonic() - start:.1f} s", flush=True)
            except Exception as e:
                failed.append(name)
                b.screenshot(f"web-{name}-failure.png")
                print(f"{name}: FAILED: {e}", flush=True)
                if not isinstance(e, browser.Failure):
                    traceback.print_exc()
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
