# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""A sound server's output, recorded and checked against the cues' wave files.

  recording.py record RAW CLOCK -- RECORDER ARGS...
      Runs the recorder (which writes raw s16le mono at RATE to stdout) into
      RAW until stopped by SIGTERM, and writes to CLOCK a line per read: the
      wall-clock time of the read and the samples read so far. CLOCK appears
      with the first samples.

check() takes the recording and the clicks, each (SENT, NOTED, NAME, WAVE,
CUT): the wall-clock times just before the click's release was sent and
just after the sending returned, WAVE "-" for a click that plays nothing
and CUT true when the next cue cuts this one off. It checks that each cue
is heard from close to its click for the wave file's whole length, and that
the other clicks stay silent; it prints one line per click and returns 0 if
all pass, 1 if a cue was missing, short or wrong, 2 if only the onset came
late.

The click reaches the program somewhere between SENT and NOTED: on a loaded
machine the sending process can take tens of milliseconds to start and to
be waited for. So a click's sound is looked for from SENT, and its onset is
given as the range from NOTED to SENT; it counts as late only if it is late
from NOTED.

The recording's clock: each read of N samples so far, at time T, shows that
sample N-1 had been captured by T, so the first sample was captured no later
than T - (N-1)/RATE. The smallest such bound over many reads is the capture
time, free of the delays with which the recorder happened to be scheduled.
The server's clock runs a little off the wall clock (about 0.5 ms a second
for a null sink here), so each click is placed in the recording by the
bound over the reads around it only. The server may pass a period's samples
on before it plays them, so an onset can read up to a few milliseconds
below zero.
"""

import array
import bisect
import os
import signal
import subprocess
import sys
import time
import wave

RATE = 44100
# Louder than this is sound (about -36 dBFS); the recording's silence is 0.
THRESHOLD = 500
ONSET_LIMIT = 0.100
# A click's sound is looked for from this long before the click: the clock
# is known to within the recorder's period.
MARGIN = 0.020
# A cue may end this much sooner than its wave file and still count as whole:
# the last samples above the threshold, give or take one period of the server.
LENGTH_TOLERANCE = 0.010


def record(raw_path, clock_path, command):
    stop = False

    def on_term(_signum, _frame):
        nonlocal stop
        stop = True

    signal.signal(signal.SIGTERM, on_term)
    recorder = subprocess.Popen(command, stdout=subprocess.PIPE, bufsize=0)
    with open(raw_path, "wb") as raw, open(clock_path + ".new", "w") as clock:
        while not stop:
            try:
                chunk = recorder.stdout.read(4096)
            except InterruptedError:
                continue
            now = time.time()
            if not chunk:
                break
            raw.write(chunk)
            clock.write(f"{now:.6f} {raw.tell() // 2}\n")
            if raw.tell() == len(chunk):
                # Named once it holds a read: the scenarios wait for that.
                clock.flush()
                os.replace(clock_path + ".new", clock_path)
    recorder.terminate()
    recorder.wait()


def samples(path):
    with open(path, "rb") as f:
        data = array.array("h")
        data.frombytes(f.read())
    if sys.byteorder != "little":
        data.byteswap()
    return data


def wave_reference(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getframerate() != RATE:
            raise SystemExit(f"{path}: the check needs 16-bit samples at {RATE} Hz")
        channels = w.getnchannels()
        data = array.array("h")
        data.frombytes(w.readframes(w.getnframes()))
    if sys.byteorder != "little":
        data.byteswap()
    mono = data[::channels]
    loud = [i for i, v in enumerate(mono) if abs(v) >= THRESHOLD]
    # Points spread over the sound, where the recording must match the wave.
    probes = list(range(loud[0] + 500, loud[-1] - 500, 997))
    return {"samples": mono, "first": loud[0], "last": loud[-1], "probes": probes,
            "scale": sum(abs(mono[k]) for k in probes)}


def align(window, ref, first_loud):
    """The offset in window at which the wave's first sample plays, and how
    far the recording there is from the wave (0: the same samples), judged
    on the part of the wave that falls inside the window."""
    guess = first_loud - ref["first"]
    best = None
    # The first loud sample may come late if the server swallowed the cue's
    # first period, or belong to the cue before, cut off by this one.
    for lag in range(guess - RATE // 50, guess + RATE // 5):
        probes = [k for k in ref["probes"] if 0 <= lag + k < len(window)]
        if len(probes) < 5:
            continue
        err = sum(abs(window[lag + k] - ref["samples"][k]) for k in probes)
        err /= sum(abs(ref["samples"][k]) for k in probes)
        if best is None or err < best[0]:
            best = (err, lag)
    if best is None:
        return guess, 1.0
    return best[1], best[0]


def placer(clock_path):
    """The sample index that was being captured at a wall-clock time."""
    with open(clock_path) as f:
        # A recorder stopped hard may leave its last line half written.
        reads = [(float(t), int(n)) for t, n in (line.split() for line in f if line.endswith("\n"))]
    times = [t for t, _ in reads]
    bounds = [t - (n - 1) / RATE for t, n in reads]

    def place(when):
        near = bounds[bisect.bisect_left(times, when - 1.0) : bisect.bisect_right(times, when + 2.0)]
        return round((when - min(near or bounds)) * RATE)

    return place


def check(raw_path, clock_path, clicks, wave_dir):
    recording = samples(raw_path)
    place = placer(clock_path)
    references = {}
    status = 0
    # Where the last cue's sound ends, as a sample index of the recording.
    cue_end = 0

    def index(when):
        return max(0, place(when - MARGIN))

    for i, (sent, noted, name, cue, cut) in enumerate(clicks):
        start = index(sent)
        if cue == "-":
            # Until the next click, nothing new may sound; a late cue before
            # it may still be playing.
            end = index(clicks[i + 1][0]) if i + 1 < len(clicks) else len(recording)
            stray = [j for j in range(max(start, cue_end), end) if abs(recording[j]) >= THRESHOLD]
            if stray:
                print(f"{name}: FAIL sound {1000 * (stray[0] - place(noted)) / RATE:.1f} ms after a click"
                      " that plays nothing")
                status = 1
            else:
                print(f"{name}: silent, as it should be")
            continue
        # A cue's sound is looked for up to the next click that plays one.
        following = [c[0] for c in clicks[i + 1 :] if c[3] != "-"]
        end = index(following[0]) if following else len(recording)
        window = recording[start:end]
        loud = [j for j, v in enumerate(window) if abs(v) >= THRESHOLD]
        if cue not in references:
            references[cue] = wave_reference(os.path.join(wave_dir, cue))
        ref = references[cue]
        if not loud:
            print(f"{name}: FAIL {cue} not heard")
            status = 1
            continue
        lag, mismatch = align(window, ref, loud[0])
        cue_end = start + max(loud[-1], lag + ref["last"]) + 1
        # Heard from its first loud sample (or from where it cut the cue
        # before off); the wave's own lead-in taken off.
        first = max(loud[0], lag + ref["first"])
        played = start + first - ref["first"]
        onset, onset_sent = (played - place(noted)) / RATE, (played - place(sent)) / RATE
        # What of the wave's sound the recording holds, from its first loud
        # sample to its last.
        heard = (min(loud[-1], lag + ref["last"]) - first) / RATE
        whole = (ref["last"] - ref["first"]) / RATE
        verdict = []
        if mismatch > 0.1:
            verdict.append(f"does not sound like {cue} (mismatch {mismatch:.2f})")
        if loud[0] > lag + ref["first"] + LENGTH_TOLERANCE * RATE:
            verdict.append(f"its first {1000 * (loud[0] - lag - ref['first']) / RATE:.1f} ms missing")
        if cut:
            # Cut off by the next cue, it must sound until that cue's click.
            if loud[-1] < len(window) - LENGTH_TOLERANCE * RATE:
                verdict.append(f"ended {1000 * (len(window) - loud[-1]) / RATE:.1f} ms before the next cue")
        elif loud[-1] < lag + ref["last"] - LENGTH_TOLERANCE * RATE:
            verdict.append(f"cut off {1000 * (lag + ref['last'] - loud[-1]) / RATE:.1f} ms early")
        if loud[-1] > lag + ref["last"] + LENGTH_TOLERANCE * RATE:
            verdict.append("more sound after it")
        late = onset > ONSET_LIMIT
        if late:
            verdict.append(f"onset later than {1000 * ONSET_LIMIT:.0f} ms")
        print(
            f"{name}: {cue} onset {1000 * onset:.1f} ms ({1000 * onset_sent:.1f} ms from sending), heard {1000 * heard:.1f} ms of {1000 * whole:.1f} ms"
            + (" until the next cue," if cut else ",") +
            f" mismatch {mismatch:.3f}" + (": FAIL " + "; ".join(verdict) if verdict else "")
        )
        if verdict and not (late and len(verdict) == 1):
            status = 1
        elif late and status == 0:
            status = 2
    return status


if __name__ == "__main__":
    if len(sys.argv) < 6 or sys.argv[1] != "record" or sys.argv[4] != "--":
        sys.exit(__doc__)
    record(sys.argv[2], sys.argv[3], sys.argv[5:])
