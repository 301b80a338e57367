# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The two cues through Web Audio: which sound each click starts, whole and
at once, a new cue cutting off the one still sounding; and, where the
browser has no audio at all, the same lesson in silence."""

import time
import wave
from pathlib import Path

import scenarios
from pupil import READY

SOUNDS = Path(__file__).resolve().parents[2] / "assets" / "sounds"

# Records every sound the page starts or stops: its length, and when.
LISTEN = """
  window.heard = [];
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...a) {
    this.heardAt = heard.length;
    heard.push({seconds: this.buffer.duration, rate: this.buffer.sampleRate, length: this.buffer.length,
                at: performance.now(), clicked: window.clickedAt, stopped: false});
    return start.apply(this, a);
  };
  const stop = AudioBufferSourceNode.prototype.stop;
  AudioBufferSourceNode.prototype.stop = function (...a) {
    if (this.heardAt !== undefined) heard[this.heardAt].stopped = true;
    return stop.apply(this, a);
  };
  document.addEventListener('click', () => { window.clickedAt = performance.now(); }, true);
"""


def seconds(name):
    with wave.open(str(SOUNDS / f"{name}.wav")) as w:
        return w.getnframes() / w.getframerate()


def heard(p, count):
    deadline = time.monotonic() + 3
    while time.monotonic() < deadline:
        sounds = p.b.js("return window.heard")
        if len(sounds) >= count:
            return sounds
        time.sleep(0.05)
    p.fail(f"expected {count} sounds started; heard {p.b.js('return window.heard')}")


def check_cue(p, sound, name):
    p.check(abs(sound["seconds"] - seconds(name)) < 0.001, f"expected {name} ({seconds(name):.3f} s) whole; heard {sound}")
    p.check(sound["at"] - sound["clicked"] < 100, f"{name} should start within 100 ms of its click; it took {sound['at'] - sound['clicked']:.0f} ms")


def scenario_cues(p):
    p.b.js(LISTEN)
    scenarios.start(p)
    p.step("initialise: the start-over cue")
    p.press("Command2")
    p.press("Command1")
    p.press("Command6")
    check_cue(p, heard(p, 1)[0], "pinpon")
    p.step("help right after: the start-over cue again, cutting the first off")
    p.press("Command8")
    sounds = heard(p, 2)
    check_cue(p, sounds[1], "pinpon")
    p.check(sounds[0]["stopped"], "the second cue should cut the first off")
    p.press("Form4-Command1")
    scenarios.start(p)
    p.step("exit: the end cue, then the box")
    p.press("Command3")
    check_cue(p, heard(p, 3)[2], "endpinpon")
    p.press("exitBox-no")

    p.step("a browser without audio: the same steps, silently")
    p.b.before_load("delete window.AudioContext; delete window.webkitAudioContext;")
    scenarios.start(p)
    for command in ("Command4", "Command5", "Command6", "Command8"):
        p.press(command)
        time.sleep(0.3)
    p.wait_for("help in place of the main window", lambda s: s.windows == [p.caption("help")])
    p.press("Form4-Command1")
    p.wait_for("the main window afresh", lambda s: s.enabled == READY)
