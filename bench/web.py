#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Benchmarks of the browser version in headless Chromium (not tests):
    bench/web.py build-web/tavelk.html [SESSIONS]
the time from navigation to the first answered click, a 1000-draw run's
time, and the page's memory (JavaScript heap and WebAssembly memory) after
ten runs, as median, min and max over the sessions."""

import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "web"))
import browser  # noqa: E402

# Times in ms since navigation start, taken in the page on the clicked
# button's own events, so that polling from here adds nothing.
WATCH = """
  window.benchTimes = {};
  const watch = (id, attribute, key) => new MutationObserver((records, observer) => {
    const e = document.getElementById(id);
    if (e && e.disabled === (attribute === 'disabled')) { window.benchTimes[key] = performance.now(); observer.disconnect(); }
  }).observe(document.getElementById(id), {attributes: true});
  document.addEventListener('pointerdown', () => { window.benchTimes.pressed = window.benchTimes.pressed || performance.now(); }, true);
  window.benchWatch = watch;
"""


def wait(b, script, timeout=15):
    deadline = time.monotonic() + timeout
    while not b.js(script):
        if time.monotonic() > deadline:
            raise TimeoutError(script)
        time.sleep(0.002)


def press(b, element_id):
    b.click_node(b.tree().element(element_id))


def session(page):
    with browser.Browser(page) as b:
        # First answered click: shuffle pressed as soon as it is there, answered
        # when the draw button becomes enabled.
        wait(b, "const e = document.getElementById('Command2'); return e && !e.disabled")
        b.js(WATCH + "watch('Command1', 'enabled', 'answered');")
        press(b, "Command2")
        wait(b, "return window.benchTimes.answered")
        first = b.js("return window.benchTimes.answered")
        press(b, "Command1")
        runs = []
        for n in range(10):
            wait(b, "return !document.getElementById('Command4').disabled")
            b.js("window.benchTimes = {}; benchWatch('Command5', 'disabled', 'ended');"
                 "document.getElementById('Command4').addEventListener('click', () => benchTimes.start = performance.now(), {once: true});")
            press(b, "Command4")
            wait(b, "return window.benchTimes.ended")
            runs.append(b.js("return benchTimes.ended - benchTimes.start"))
            wait(b, "return !document.getElementById('Command6').disabled")
            press(b, "Command6")
        b.cdp("HeapProfiler.collectGarbage")
        heap = b.cdp("Runtime.getHeapUsage")["usedSize"]
        return first, runs, heap


def wasm_memory(core_js):
    """The module's memory after ten runs, the same module driven the same
    way under node: the page keeps it out of reach, and DevTools' object
    query crashes the tab on it."""
    script = """
      require(process.argv[1])().then((m) => {
        const call = (f, ...a) => JSON.parse(m.UTF8ToString(m['_tavelk_' + f](...a)));
        const { performance } = require('perf_hooks');
        call('start', performance.now());
        for (let run = 0; run < 10; run++) {
          call('click', 4, performance.now());
          const t0 = performance.now();
          while (call('ticks', performance.now()).main.timer) { const t = performance.now(); while (performance.now() - t < 1); }
          call('click', 6, performance.now());
        }
        console.log(m.HEAP8.buffer.byteLength);
      });"""
    return int(subprocess.check_output(["node", "-e", script, str(Path(core_js).resolve())], text=True))


def row(label, values, unit):
    print(f"  {label:44s} median {statistics.median(values):8.1f} {unit}  min {min(values):8.1f}  max {max(values):8.1f}")


def main(page, sessions=5):
    firsts, runs, heaps = [], [], []
    for _ in range(int(sessions)):
        first, run, heap = session(page)
        firsts.append(first)
        runs += run
        heaps.append(heap / 1024)
    wasms = [wasm_memory(Path(page).parent / "tavelk-core.js") / 1024]
    print(f"== {page} in headless Chromium, {sessions} sessions")
    row("navigation to the first answered click", firsts, "ms")
    row(f"a 1000-draw run ({len(runs)} runs)", runs, "ms")
    row("JavaScript heap after ten runs", heaps, "KiB")
    row("WebAssembly memory after ten runs (node)", wasms, "KiB")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(*sys.argv[1:])
