# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The lesson with a screen reader: Orca on the session's accessibility bus,
its speech written to a file by speech-dispatcher instead of a sound card,
the program worked by keyboard only, and what Orca said checked step by step.
"""

import os
import re
import shutil
import time
import unicodedata

import harness
from scenarios import FINISHED

# What Orca says of a message or a line goes through its own pronunciation
# (full-width digits read as ASCII, closing punctuation dropped); both sides
# are compared in that one form.
def plain(text):
    return re.sub(r"[\s。、.,:：【】()（）]", "", unicodedata.normalize("NFKC", text))


def script(path, body):
    with open(path, "w") as f:
        f.write(f"#!/bin/sh\n{body}\n")
    os.chmod(path, 0o755)


class Speech:
    """Orca with a private home whose speech-dispatcher appends each
    utterance, with the time it was handed over, to a file."""

    def __init__(self, s):
        self.s, home = s, s.path("orca")
        self.file = s.path("spoken.txt")
        config = f"{home}/.config/speech-dispatcher"
        os.makedirs(f"{config}/modules")
        os.makedirs(f"{home}/runtime", 0o700)
        script(f"{home}/log.sh", f"printf '%s\\t%s\\n' \"$(date +%s.%N)\" \"$1\" >> '{self.file}'")
        with open(f"{config}/speechd.conf", "w") as conf:
            # The file module needs an audio output to start: ALSA's null device.
            conf.write('AddModule "file" "sd_generic" "file.conf"\nDefaultModule file\nAudioOutputMethod "alsa"\n')
        with open(f"{config}/modules/file.conf", "w") as conf:
            conf.write(f"GenericExecuteSynth \"{home}/log.sh '$DATA'\"\nGenericStripPunctChars \"\"\n")
            # Orca 48 names the C locale's language "c"; a language missing here
            # is recoded to Latin-1 and the Japanese comes out as question marks.
            for language in ("c", "en", "en-us", "en-US", "ja"):
                conf.write(f'GenericLanguage "{language}" "{language}" "utf-8"\n')
            conf.write('AddVoice "en" "MALE1" "x"\nAddVoice "ja" "MALE1" "x"\n')
        with open(f"{home}/.asoundrc", "w") as asound:
            asound.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
        # Orca's start finds the user's other Orcas with pgrep and kills them
        # (--replace) or refuses to start beside them. Shown only its own
        # session, it spares the user's screen reader and a scenario running
        # beside this one (another release's suite, a chroot on this machine).
        os.makedirs(f"{home}/bin")
        script(f"{home}/bin/pgrep", f"exec {shutil.which('pgrep')} -s 0 \"$@\"")
        open(self.file, "w").close()
        env = dict(s.env, HOME=home, XDG_CONFIG_HOME=f"{home}/.config", XDG_DATA_HOME=f"{home}/.local/share",
                   XDG_RUNTIME_DIR=f"{home}/runtime", PATH=f"{home}/bin:{s.env['PATH']}")
        s.spawn(["speech-dispatcher", "--run-single", "--timeout", "0"], "speechd.log", env=env)
        s.wait("speech-dispatcher listening", lambda: os.path.exists(f"{home}/runtime/speech-dispatcher/speechd.sock"))
        s.spawn(["orca", "--replace", f"--debug-file={s.path('orca.debug')}"], "orca.log", env=env)
        self.expect("Orca speaking", "Screen reader on", time.time(), timeout=30)

    def lines(self, since):
        with open(self.file, errors="replace") as f:
            for line in f:
                stamp, _, text = line.rstrip("\n").partition("\t")
                if float(stamp) >= since:
                    yield float(stamp), text

    def count(self, text, since):
        return sum(plain(text) in plain(line) for _, line in self.lines(since))

    def expect(self, what, text, since, timeout=5.0):
        """Waits until Orca has said text, from the time since on; returns when.
        The timeouts that matter to a pupil are given; the rest only wait."""
        deadline = since + timeout
        while True:
            said = [(t, line) for t, line in self.lines(since)]
            for t, line in said:
                if plain(text) in plain(line):
                    if t > deadline:
                        self.s.fail(f"expected Orca to say {what} within {timeout:g} s; said it after "
                                    f"{t - since:.1f} s")
                    return t
            if time.time() > deadline + 1.0:
                self.s.fail(f"expected Orca to say {what} ({text!r}) within {timeout:g} s; it said: "
                            + " | ".join(line for _, line in said))
            time.sleep(0.05)


def focused(s):
    """Every focused control on show, with whether it is enabled."""
    return [(child.name, child.getState().contains(harness.pyatspi.STATE_ENABLED))
            for window in s.windows().values() for child in harness.descendants(window)
            if child.getState().contains(harness.pyatspi.STATE_FOCUSED)]


def keys(s, *names):
    """Presses keys one by one; returns the time of the last."""
    for name in names:
        at = time.time()
        s.key(name)
        time.sleep(0.3)
    return at


def step(s, what, *names):
    s.step(what)
    at = keys(s, *names)
    deadline = time.monotonic() + 3
    while not ((focus := focused(s)) and all(enabled for _, enabled in focus)):
        if time.monotonic() > deadline:
            s.fail(f"expected the focus on enabled controls, not on {focus} (name, enabled)")
        time.sleep(0.1)
    return at


def said(template, *values):
    """A sentence of the expected table with its %1, %2, ... filled in."""
    for n, value in enumerate(values, 1):
        template = template.replace(f"%{n}", str(value))
    return template


def counts(s, seen):
    return said(s.layout["speech"]["counts"], seen.labels[3], seen.labels[4], seen.labels[6])


def scenario_orca(s):
    if not shutil.which("orca") or not shutil.which("speech-dispatcher"):
        raise harness.Skip("orca or speech-dispatcher is not installed")
    # The window manager gives the input focus back to the main window when
    # the graph window closes, as on a desktop.
    s.start_wm("openbox")
    speech = Speech(s)
    s.step("start-up")
    start = time.time()
    s.start_program()
    speech.expect("the focused button", "トランプをきる", start, timeout=10)

    at = step(s, "shuffle", "space")
    speech.expect("the draw button", "トランプを引く", at)
    at = step(s, "a hand draw", "space")
    seen = s.seen()
    say, box = s.layout["speech"], s.layout["exit"]
    speech.expect("the card and the counts", seen.card + say["afterCard"] + counts(s, seen), at, timeout=2)

    step(s, "to 自動 Start", "Tab", "Tab")
    at = step(s, "an automatic run", "space")
    speech.expect("the run's start", say["runStarted"], at)
    seen = s.expect(enabled=FINISHED, timeout=30)
    ended = time.time()
    # The end is seen a little after it came, so this allows a little more than 3 s.
    speech.expect("the run's summary", say["runEnded"] + counts(s, seen), at, timeout=ended + 3 - at)
    # Not still busy with the run's events: a key is echoed at once.
    speech.expect("the key echo", "shift", keys(s, "Shift_L"), timeout=0.5)

    at = step(s, "the graph", "Tab", "space")
    speech.expect("what the graph shows", said(say["graph"], 1000).split("。")[0], at)
    speech.expect("the theory on the graph", said(say["theory"], "0.3076923"), at)
    step(s, "the graph closed", "Tab", "space")
    s.expect(windows={s.caption("main")})

    at = step(s, "initialise", "shift+Tab", "space")
    speech.expect("the experiment starting over", say["initialised"].split("。")[0], at)

    step(s, "help", "Tab", "Tab", "Tab", "space")
    s.expect(windows={s.caption("help")})
    text = s.find("ヘルプ（設問と操作方法）", s.caption("help")).queryText()
    lines = text.getText(0, -1).split("\n")
    at = step(s, "into the help text", "Tab")
    speech.expect("the help's heading", lines[1], at)
    for line in lines[2:4]:
        at = step(s, "a line down", "Down")
        speech.expect("the next line of the help", line, at)
    step(s, "back from help", "Tab", "space")
    s.expect(windows={s.caption("main")})

    at = step(s, "exit", "Tab", "space")
    question = box["question"].rstrip("？")
    speech.expect("the exit question", question, at)
    speech.expect("the default answer", box["yes"], at)
    if (times := speech.count(question, at)) != 1:
        s.fail(f"expected the exit question said once, not {times} times")
    keys(s, "Return")
    s.expect_exit(0)
