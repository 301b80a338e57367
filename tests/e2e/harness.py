# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The end-to-end tests' session.

A Session starts a private X server and a private accessibility bus (either
bus can be stopped as a hung daemon is), and on request a window manager and
a PulseAudio server; it starts the program, reads it through the
accessibility bus as a screen reader does (windows, enabled buttons, label
texts, the card on show, focus) and drives it with real pointer and key
events (xdotool) at the places the bus reports. Pixels
are read only where nothing else tells: the curve, glyphs, colours. All it
started is stopped when the session ends. A failed check raises Failure with
what was expected and what was seen, and keeps a screenshot.
"""

import collections
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77
# Imported once the session's buses are in the environment: libatspi
# connects when it is loaded.
pyatspi = Atspi = GLib = None


class Failure(Exception):
    pass


class Skip(Exception):
    pass


class Seen:
    """One reading of the program: its windows on show and the active one,
    the main window's enabled buttons, labels by number and card, the focus."""

    def __init__(self, windows=(), active=None, enabled=(), labels=None, card=None, focus=None, error=None):
        self.windows, self.active, self.enabled = set(windows), active, enabled
        self.labels, self.card, self.focus, self.error = labels or {}, card, focus, error

    def __str__(self):
        if self.error:
            return f"no answer on the accessibility bus ({self.error})"
        labels = ", ".join(f"Label{n} {t!r}" for n, t in sorted(self.labels.items(), key=str))
        return (f"windows {sorted(self.windows)}, active {self.active!r}; enabled {self.enabled}; "
                f"{labels}; card {self.card!r}; focus {self.focus!r}")


class Session:
    def __init__(self, name, program, layout, screen="1024x768x24", display=True):
        self.name, self.program, self.proc, self.started, self.frozen = name, program, None, [], []
        self.layout = json.loads(subprocess.check_output([layout], text=True)) if layout else {}
        self.tmp = tempfile.mkdtemp(prefix=f"tavelk-e2e-{name}-")
        os.mkdir(self.path("xdg"), 0o700)
        env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WAYLAND", "DBUS_", "PULSE"))}
        # No sound server unless a scenario starts one: named, so that no
        # client library starts one of its own accord.
        self.env = dict(env, LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=self.path("xdg"),
                        PULSE_SERVER=f"unix:{self.path('no-sound-server')}", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if display:
            self.start_x(screen)
            self.start_bus()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        for pid in self.frozen:
            os.kill(pid, signal.SIGCONT)
        for proc in [self.proc] * bool(self.proc) + self.started[::-1]:
            stop(proc)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.tmp, name)

    def step(self, text):
        print(f"[{self.name}] {text}", flush=True)

    def spawn(self, args, log, env=None, **kw):
        """Starts a helper process in a group of its own, stopped at the end."""
        with open(self.path(log), "ab") as out:
            proc = subprocess.Popen(args, env=env or self.env, stdout=kw.pop("stdout", out), stderr=out,
                                    start_new_session=True, **kw)
        self.started.append(proc)
        return proc

    def wait(self, what, ready, timeout=10.0):
        if not poll(ready, timeout):
            self.fail(f"expected {what} within {timeout:g} s")

    def call(self, args, check=True, env=None):
        done = subprocess.run(args, env=env or self.env, capture_output=True, text=True)
        if done.returncode != 0 and check:
            self.fail(f"{' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout if done.returncode == 0 else None

    # ---- the private X server, buses and window manager

    def start_x(self, screen):
        # Xvfb picks a free display itself and writes it once it listens; it
        # never resets, so no client's departure races the next one.
        with open(self.path("display"), "w") as number:
            self.spawn(["Xvfb", "-displayfd", str(number.fileno()), "-noreset", "-nolisten", "tcp", "-screen", "0",
                        screen], "xvfb.log", pass_fds=(number.fileno(),))
        self.wait("Xvfb to start", lambda: open(self.path("display")).read().endswith("\n"))
        self.env["DISPLAY"] = ":" + open(self.path("display")).read().strip()
        self.wait("the X server answering", lambda: self.call(["xdpyinfo"], check=False) is not None)

    def start_bus(self):
        # The accessibility bus and its registry are started on this session
        # bus on demand, in its process group.
        self.bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"], "bus.log",
                              stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().decode().strip()
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        global pyatspi, Atspi, GLib
        import pyatspi
        from gi.repository import Atspi, GLib
        # A program that does not answer is given up on after a while, from
        # its first moment on.
        Atspi.set_timeout(3000, -1)

    def freeze_bus(self, bus):
        """Stops the daemon of the session bus or of the accessibility bus
        (launched first if it is not yet), as one that hangs: connections
        are taken, nothing is answered. Woken when the session ends."""
        if bus == "session":
            pid = self.bus.pid
        else:
            self.call(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                       "org.a11y.Bus.GetAddress"])
            # The launcher's daemon, in the session bus's process group.
            pid = int(self.call(["pgrep", "-g", str(self.bus.pid), "-f", "at-spi2/accessibility.conf"]).split()[0])
        os.kill(pid, signal.SIGSTOP)
        self.frozen.append(pid)

    WM = {"openbox": ["openbox", "--sm-disable"],
          # Without the compositor a root screenshot shows what the program drew.
          "xfwm4": ["dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"],
          "metacity": ["dbus-run-session", "--", "metacity", "--replace", "--no-composite"],
          "mutter": ["dbus-run-session", "--", "mutter", "--x11", "--replace"],
          "kwin": ["dbus-run-session", "--", "kwin_x11", "--replace"]}

    def start_wm(self, name):
        """Starts a window manager with folders of its own, off the
        accessibility bus; returns the name it announces itself by."""
        command = self.WM[name]
        if not shutil.which(command[2] if command[0] == "dbus-run-session" else command[0]):
            raise Skip(f"{name} is not installed")
        home = {d: self.path(f"wm/{d}") for d in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                                                 "XDG_RUNTIME_DIR")}
        for d in home.values():
            os.makedirs(d, 0o700)
        env = {k: v for k, v in self.env.items() if k != "DBUS_SESSION_BUS_ADDRESS"}
        self.spawn(command, "wm.log", env=dict(env, **home, NO_AT_BRIDGE="1", GTK_A11Y="none"))
        self.wait(f"{name} managing the screen", self.wm_announced)
        self.wait(f"{name} framing a window", self.wm_frames, 20)
        return self.wm_announced()

    def wm_frames(self):
        # A manager announces itself before it has finished starting, and may
        # drop what is mapped meanwhile (openbox on a cold testbed): a probe
        # window of our own, mapped again until the manager frames it.
        title = "tavelk-e2e-probe"
        probe = subprocess.Popen(["xmessage", "-title", title, "-geometry", "+0+0", "probe"], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return poll(lambda: (wid := self.x_window(title)[0]) and self.parent(wid) != self.root(), 1)
        finally:
            stop(probe)

    def root(self):
        return self.call(["xwininfo", "-root"]).split("Window id: ")[1].split()[0]

    def parent(self, wid):
        return self.call(["xwininfo", "-children", "-id", wid]).split("Parent window id: ")[1].split()[0]

    def wm_announced(self):
        # The EWMH check window names itself again and carries the manager's name.
        check = self.xprop("-root", "_NET_SUPPORTING_WM_CHECK").split()[-1:]
        if not check or self.xprop("-id", check[0], "_NET_SUPPORTING_WM_CHECK").split()[-1:] != check:
            return None
        return self.xprop("-id", check[0], "_NET_WM_NAME").partition(" = ")[2].strip('"') or None

    # ---- the X tools

    def xprop(self, *args):
        return (self.call(["xprop", "-notype", *args], check=False) or "").strip()

    def x_window(self, title):
        """The id and the client area (x, y, w, h) on the screen of the
        viewable X window with that title, or (None, None)."""
        for line in self.call(["xwininfo", "-root", "-tree"]).splitlines():
            if f' "{title}": ' in line:
                info = self.call(["xwininfo", "-id", line.split()[0]], check=False) or ""
                value = dict(map(str.strip, l.partition(":")[::2]) for l in info.splitlines())
                if "IsViewable" in info:
                    return line.split()[0], tuple(int(value[f"Absolute upper-left {k}"]) for k in "XY") + (
                        int(value["Width"]), int(value["Height"]))
        return None, None

    def click_at(self, x, y):
        self.call(["xdotool", "mousemove", str(x), str(y), "click", "1"])

    def key(self, *keys):
        self.call(["xdotool", "key", "--delay", "60", *keys])

    def drag(self, start, end, steps=10):
        self.call(["xdotool", "mousemove", *map(str, start), "mousedown", "1"])
        for i in range(1, steps + 1):
            self.call(["xdotool", "mousemove", *(str(a + (b - a) * i // steps) for a, b in zip(start, end))])
            time.sleep(0.03)
        self.call(["xdotool", "mouseup", "1"])

    def screen(self, rect):
        """The rows of RGB bytes of the screen rectangle (x, y, w, h)."""
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                             capture_output=True, check=True).stdout
        _, width, _, _, data = ppm.split(maxsplit=4)
        x, y, w, h = rect
        start = [3 * (row * int(width) + x) for row in range(y, y + h)]
        return [data[i:i + 3 * w] for i in start]

    def pixels(self, rect, test):
        """How many pixels of the screen rectangle (x, y, w, h) pass test(r, g, b)."""
        return sum(test(*p) for line in self.screen(rect) for p in zip(line[0::3], line[1::3], line[2::3]))

    # ---- the program

    def start_program(self, program=None, env=None, cwd=None, read=True):
        if self.proc:
            stop(self.proc)
        self.err = self.path("program.err")
        with open(self.err, "wb") as err:
            self.proc = subprocess.Popen([program or self.program], env=dict(self.env, **(env or {})), cwd=cwd,
                                         stdout=subprocess.DEVNULL, stderr=err)
        if not read:
            return None
        return self.until("the main window on the accessibility bus", lambda s: self.caption("main") in s.windows, 20)

    def expect_exit(self, code=0):
        try:
            rc = self.proc.wait(15)
        except subprocess.TimeoutExpired:
            self.fail("expected the program to end")
        self.proc = None
        self.check(rc == code, f"exit code {code}, not {rc}")

    def caption(self, window):
        return self.layout[window]["caption"]

    # ---- reading the program through the accessibility bus

    def windows(self):
        for app in pyatspi.Registry.getDesktop(0) if self.proc else ():
            if app is not None and app.get_process_id() == self.proc.pid:
                # Read every value afresh: names change without events.
                app.set_cache_mask(Atspi.Cache.NONE)
                return {w.name: w for w in app if w.getState().contains(pyatspi.STATE_SHOWING)}
        return {}

    def seen(self):
        try:
            windows = self.windows()
            main = windows.get(self.caption("main"))
            seen = Seen(windows, enabled=[])
            for name, window in windows.items():
                if window.getState().contains(pyatspi.STATE_ACTIVE):
                    seen.active = name
                for child in descendants(window):
                    state, role = child.getState(), child.getRole()
                    if state.contains(pyatspi.STATE_FOCUSED):
                        seen.focus = f"{child.getRoleName()} {child.name!r}"
                    if window != main or child.parent != main:
                        continue
                    if role == pyatspi.ROLE_PUSH_BUTTON and state.contains(pyatspi.STATE_ENABLED):
                        seen.enabled.append(child.name)
                    elif role == pyatspi.ROLE_IMAGE:
                        seen.card = child.name
                    elif role == pyatspi.ROLE_LABEL:
                        # Labels are told apart by their designed place in the window.
                        (x, y, w, h), (wx, wy, _, _) = self.extents(child), self.extents(window)
                        number = [int(n) for n, r in self.layout["labels"].items() if r == [x - wx, y - wy, w, h]]
                        seen.labels[number[0] if number else (x - wx, y - wy)] = child.name
            seen.enabled.sort(key=self.layout["buttons"].index)
            return seen
        except GLib.Error as e:
            return Seen(error=e.message)

    def find(self, name, window=None):
        """The control with that name, in the window with that caption or in
        any window of the program on show."""
        try:
            for caption, w in self.windows().items():
                for child in descendants(w) if window in (None, caption) else ():
                    if child.name == name:
                        return child
        except GLib.Error as e:
            self.fail(f"no answer on the accessibility bus looking for {name!r}: {e.message}")
        self.fail(f"expected a control {name!r} on show" + (f" in {window!r}" if window else ""), self.seen())

    def extents(self, accessible):
        e = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    def centre(self, name, window=None):
        x, y, w, h = self.extents(self.find(name, window))
        return x + w // 2, y + h // 2

    def press(self, name, window=None):
        """A click with the mouse in the middle of the named control."""
        self.click_at(*self.centre(name, window))

    def until(self, what, test, timeout=10.0):
        """Reads the program until test(seen) holds; fails with the last reading."""
        deadline = time.monotonic() + timeout
        while True:
            seen = self.seen()
            if not seen.error and test(seen):
                return seen
            if time.monotonic() > deadline:
                self.fail(f"expected {what} within {timeout:g} s", seen)
            time.sleep(0.1)

    def expect(self, timeout=10.0, **want):
        """Waits until each given field of the reading has the given value,
        labels only for the numbers given."""
        def holds(seen):
            return all(v == (getattr(seen, k) if k != "labels" else {n: seen.labels.get(n) for n in v})
                       for k, v in want.items())
        return self.until(", ".join(f"{k} {v}" for k, v in want.items()), holds, timeout)

    def check(self, condition, what, seen=None):
        if not condition:
            self.fail(f"expected {what}", seen or self.seen())

    def fail(self, message, seen=None):
        detail = [message] + [f"  seen: {seen}"] * (seen is not None)
        shot = os.path.abspath(f"e2e-{self.name}-failure.png")
        if "DISPLAY" in self.env and subprocess.run(["import", "-window", "root", shot], env=self.env).returncode == 0:
            detail.append(f"  screenshot: {shot}")
        for what, log in (("program stderr", getattr(self, "err", None)), ("window manager", self.path("wm.log"))):
            if log and os.path.exists(log) and os.path.getsize(log):
                # Each line once, in the order first written: lines repeated
                # thousands of times (Qt's accessibility bridge on some
                # releases) would bury the rest.
                lines = collections.Counter(open(log, errors="replace").read().strip().split("\n"))
                detail.append(f"  {what}:" + "".join(f"\n    {line}" + f" (×{n})" * (n > 1) for line, n in lines.items()))
        raise Failure("\n".join(detail))

    # ---- a private PulseAudio server

    def start_sound(self, name="pulse"):
        """A private server with one null sink "cues", never exiting on its
        own; again with the same name, a new server on the old one's socket."""
        d = self.path(name)
        for sub in ("runtime", "state"):
            os.makedirs(f"{d}/{sub}", 0o700, exist_ok=True)
        env = dict(self.env, HOME=d, XDG_CONFIG_HOME=d, PULSE_RUNTIME_PATH=f"{d}/runtime", PULSE_STATE_PATH=f"{d}/state")
        self.sound = self.spawn(
            ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no", "--realtime=no",
             "--high-priority=no", "--log-target=stderr", "--log-level=error",
             "--load=module-null-sink sink_name=cues rate=44100 channels=1",
             f"--load=module-native-protocol-unix socket={d}/socket auth-anonymous=1"], f"{name}.log", env=env)
        self.env["PULSE_SERVER"] = f"unix:{d}/socket"
        self.wait("the sound server answering", lambda: self.call(["pactl", "info"], check=False) is not None)

    def kill_sound(self):
        stop(self.sound, signal.SIGKILL)

    def cue_playing(self):
        return bool((self.call(["pactl", "list", "short", "sink-inputs"], check=False) or "").strip())


def descendants(accessible):
    for child in accessible:
        yield child
        yield from descendants(child)


def poll(ready, timeout):
    """ready() asked until it holds or timeout seconds have passed; its last answer."""
    deadline = time.monotonic() + timeout
    while not (answer := ready()) and time.monotonic() < deadline:
        time.sleep(0.05)
    return answer


def stop(proc, sig=signal.SIGTERM):
    """Ends a process, and the group it leads if it has one."""
    try:
        os.killpg(proc.pid, sig) if os.getpgid(proc.pid) == proc.pid else proc.send_signal(sig)
    except ProcessLookupError:
        pass
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


if __name__ == "__main__":
    # harness.py COMMAND [ARGS...]: one command on a private X server, in the
    # caller's environment otherwise.
    import sys
    with Session("x11", None, None, display=False) as session:
        session.start_x("1024x768x24")
        sys.exit(subprocess.call(sys.argv[1:], env=dict(os.environ, DISPLAY=session.env["DISPLAY"])))
