// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A retained picture: the core's drawing steps are kept and the whole list is
// replayed on a canvas at the device's pixel ratio whenever it changes or the
// scale does. Each distinct point, line and text is painted once per replay,
// since antialiased text painted twice darkens and the desktop's picture
// stays unchanged when the same graph is drawn again over it. Points and
// lines are laid on the design's own pixel grid, square pixel by pixel, as
// the desktop draws them unsmoothed.

export const FONT_FAMILY = "Tavelk Gothic Subset";
// The graph's text, whose font the design leaves to the platform: small
// enough that "1.00" stays left of the ratio ticks.
const DEFAULT_PICTURE_PX = 10;

export function createPicture(canvas, picture) {
  const [ux, uy] = picture.scale;
  const width = picture.rect[2] - 2 * picture.border;
  const height = picture.rect[3] - 2 * picture.border;
  const font = (px) => `${picture.font.bold ? "bold " : ""}${px}px "${FONT_FAMILY}"`;
  const fontPx = picture.font.px || DEFAULT_PICTURE_PX;
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  let steps = [];

  // The design's pixel for a point in user units.
  const toPixel = (x, y) => [Math.round((x * width) / ux), Math.round((y * height) / uy)];

  function lineHeightUnits() {
    // Measured on a canvas of its own, so as not to touch the picture's.
    const ctx = document.createElement("canvas").getContext("2d");
    ctx.font = font(fontPx);
    const m = ctx.measureText("国");
    const px = m.fontBoundingBoxAscent !== undefined ? Math.ceil(m.fontBoundingBoxAscent) + Math.ceil(m.fontBoundingBoxDescent) : Math.ceil(fontPx * 1.2);
    return (px * uy) / height;
  }

  // Steps to what they paint, with the current position followed through.
  function resolve() {
    const advance = lineHeightUnits();
    const out = [];
    let x = 0, y = 0;
    for (const s of steps) {
      switch (s[0]) {
        case "move": [, x, y] = s; break;
        case "pset": out.push(["p", ...toPixel(s[1], s[2]), s[3]]); [, x, y] = s; break;
        case "line": out.push(["l", ...toPixel(s[1], s[2]), ...toPixel(s[3], s[4]), s[5]]); [x, y] = [s[3], s[4]]; break;
        case "lineTo": out.push(["l", ...toPixel(x, y), ...toPixel(s[1], s[2]), s[3]]); [, x, y] = s; break;
        case "print": out.push(["t", ...toPixel(x, y), s[1]]); x = 0; y += advance; break;
      }
    }
    // Each distinct primitive once, at its last place in the order.
    const seen = new Set();
    const unique = [];
    for (let i = out.length - 1; i >= 0; i--) {
      const key = out[i].join("\u0001");
      if (seen.has(key)) continue;
      seen.add(key);
      unique.push(out[i]);
    }
    return unique.reverse();
  }

  return {
    append(newSteps) {
      for (const s of newSteps) {
        if (s[0] === "cls") steps = [];
        else steps.push(s);
      }
    },
    lines: () => steps.filter((s) => s[0] === "print").map((s) => s[1]),
    // scale: the CSS scale of the page's windows.
    render(scale) {
      const k = scale * (window.devicePixelRatio || 1);
      canvas.width = Math.max(1, Math.round(width * k));
      canvas.height = Math.max(1, Math.round(height * k));
      const ctx = canvas.getContext("2d");
      ctx.fillStyle = picture.background;
      ctx.fillRect(0, 0, canvas.width, canvas.height);
      const edge = (v) => Math.round(v * k);
      const block = (path, px, py) => {
        if (px >= 0 && py >= 0 && px < width && py < height) path.rect(edge(px), edge(py), edge(px + 1) - edge(px), edge(py + 1) - edge(py));
      };
      const painted = resolve();
      ctx.textBaseline = "top";
      ctx.font = font(fontPx * k);
      for (const p of painted) {
        if (p[0] === "t") {
          ctx.fillStyle = "#000000";
          ctx.fillText(p[3], edge(p[1]), edge(p[2]));
          continue;
        }
        const path = new Path2D();
        if (p[0] === "p") block(path, p[1], p[2]);
        else bresenham(p[1], p[2], p[3], p[4], (px, py) => block(path, px, py));
        ctx.fillStyle = p[p.length - 1];
        ctx.fill(path);
      }
    },
  };
}

function bresenham(x0, y0, x1, y1, plot) {
  const dx = Math.abs(x1 - x0), dy = -Math.abs(y1 - y0);
  const sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  let err = dx + dy;
  for (;;) {
    plot(x0, y0);
    if (x0 === x1 && y0 === y1) return;
    const e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}
