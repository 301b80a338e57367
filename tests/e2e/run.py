# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs one end-to-end scenario against the built program.

  run.py SCENARIO TAVELK LAYOUT [WMCLOSE]

SCENARIO is session, fonts, sounds, cues, switch, close, nodisplay,
stalledsession, stalledaccessibility or orca, or wm-NAME for the program
under a real window manager (openbox, xfwm4, metacity, mutter, kwin). LAYOUT
is the printer of the designed windows (tavelk-e2e-layout);
WMCLOSE the helper that asks a window to close as a window manager does.
Exit status 0: passed; 77: skipped; 1: failed, with what was seen.
"""

import os
import signal
import sys

import cues
import harness
import orca
import scenarios


def main(name, program, layout, wmclose=None):
    program = os.path.abspath(program)
    kind, _, manager = name.partition("-")
    run = next(filter(None, (getattr(m, f"scenario_{kind}", None) for m in (scenarios, cues, orca))), None)
    if run is None or bool(manager) != (kind == "wm"):
        sys.exit(f"unknown scenario {name}\n{__doc__}")
    screen = "1280x1024x24" if manager else "1024x768x24"
    try:
        with harness.Session(name, program, layout, screen, display=name != "nodisplay") as s:
            s.wmclose = wmclose
            run(s, manager) if manager else run(s)
    except harness.Skip as e:
        print(f"[{name}] skipped: {e}")
        return harness.SKIP
    except harness.Failure as e:
        print(f"FAIL [{name}]: {e}", file=sys.stderr)
        return 1
    print(f"[{name}] passed")
    return 0


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    # Stopped from outside (a test timeout), the session still stops all it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    sys.exit(main(*sys.argv[1:]))
