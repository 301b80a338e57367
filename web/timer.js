// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Timer1 in the browser: one call into the core per animation frame while the
// timer runs. The core runs every tick that is due by the clock, so a run
// takes as long as on the desktop although browsers clamp short timers to
// 4 ms; the screen shows the state once a frame.

export function createTimer(onFrame) {
  let frame = 0;
  const loop = (now) => {
    frame = 0;
    onFrame(now);
  };
  return {
    // Keeps the loop going while running is true; called after every update.
    set(running) {
      if (running && !frame) frame = requestAnimationFrame(loop);
      if (!running && frame) {
        cancelAnimationFrame(frame);
        frame = 0;
      }
    },
  };
}
