// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Timer1 in the browser. Browsers clamp chained timeouts to about 4 ms, and
// the core runs every tick due by the clock at each call, so a run takes as
// long as on the desktop; the core reads a gap of more than 10 ms as a stall
// and skips it, so the calls cannot wait for animation frames (16.7 ms).
// What a tick only changes on screen is shown once a frame; anything else
// an update carries (the run's end with its focus and sentence) at once.

export function createTimer(tick, applyNow, applyState) {
  let timeout = 0;
  let frame = 0;
  let pending = null;

  const loop = () => {
    timeout = 0;
    const update = tick(performance.now());
    const quiet = update.main && update.main.timer && !update.focus && !update.announce && !update.cue &&
      !update.ask && !update.ended && !update.show && !update.created.length && !update.destroyed.length &&
      !Object.keys(update.pictures || {}).length;
    if (!quiet) {
      pending = null;
      return applyNow(update);
    }
    timeout = setTimeout(loop, 0);
    pending = update;
    if (!frame) frame = requestAnimationFrame(() => {
      frame = 0;
      if (pending) applyState(pending);
      pending = null;
    });
  };

  return {
    // Keeps the loop going while running is true; called after every
    // update, whose state is newer than any tick's still waiting for a frame.
    set(running) {
      pending = null;
      if (running && !timeout) timeout = setTimeout(loop, 0);
      if (!running) {
        clearTimeout(timeout);
        timeout = 0;
      }
    },
  };
}
