// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole desktop, every window at its designed place, scaled to fit the
// browser's viewport: an iPad either way round, a Chromebook, a projector.
// The scale never goes below MIN_SCALE, so that the 21 px bold red numbers
// stay large text (18.66 px bold); a smaller viewport scrolls instead.

import { FRAME, TITLE } from "./view.js";

const MIN_SCALE = 0.9;
const MARGIN = 8;

export function createFit(design, desktop, plane, onScale) {
  const rects = Object.values(design.windows).map(({ client: [x, y, w, h] }) => [x - FRAME, y - TITLE - FRAME, x + w + FRAME, y + h + FRAME]);
  const left = Math.min(...rects.map((r) => r[0])) - MARGIN;
  const top = Math.min(...rects.map((r) => r[1])) - MARGIN;
  const width = Math.max(...rects.map((r) => r[2])) + MARGIN - left;
  const height = Math.max(...rects.map((r) => r[3])) + MARGIN - top;
  let scale = 0;
  let ratio = window.devicePixelRatio;

  function fit() {
    const view = document.documentElement;
    const next = Math.max(MIN_SCALE, Math.min(view.clientWidth / width, window.innerHeight / height));
    // Centred both ways where the viewport leaves room (an iPad upright).
    desktop.style.marginTop = `${Math.max(0, (window.innerHeight - height * next) / 2)}px`;
    if (next === scale && ratio === window.devicePixelRatio) return;
    scale = next;
    ratio = window.devicePixelRatio;
    document.documentElement.style.setProperty("--scale", String(scale));
    Object.assign(desktop.style, { width: `${width * scale}px`, height: `${height * scale}px` });
    plane.style.transform = `scale(${scale}) translate(${-left}px, ${-top}px)`;
    onScale(scale);
  }

  window.addEventListener("resize", fit);
  window.addEventListener("orientationchange", fit);
  fit();
  return { scale: () => scale };
}
