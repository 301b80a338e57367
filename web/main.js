// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up and the one place where the core's answers reach the page: every
// handler calls into the core and hands its update to apply(), which builds
// and removes windows, shows the main window's state, replays pictures,
// announces, plays cues, opens the exit box and runs the timer.

import { icon } from "./assets.js";
import { FONT_FAMILY, createPicture } from "./canvas.js";
import { loadCore, windowNumber } from "./core.js";
import { playCue, prepareCues } from "./cues.js";
import { createExitBox } from "./dialog.js";
import { createFit } from "./scale.js";
import { createTimer } from "./timer.js";
import { buildMainWindow, buildPictureWindow } from "./view.js";
import { createWindows } from "./windows.js";

async function start() {
  // The picture's line height comes from the font, so it must be there first.
  await document.fonts.load(`15px "${FONT_FAMILY}"`).catch(() => {});
  const core = await loadCore(globalThis.createTavelkCore);
  const design = core.design();
  const plane = document.getElementById("plane");
  const live = document.getElementById("announce");
  document.querySelector("link[rel=icon]").href = icon;

  const views = new Map(); // window name -> its view
  const pictures = new Map(); // window name -> its retained picture
  let scale = 1;
  const renderPicture = (name) => pictures.get(name).render(scale);

  const windows = createWindows((name) => apply(core.activate(windowNumber(name))));
  const timer = createTimer((now) => core.ticks(now), (update) => apply(update), (update) => {
    if (views.has("Form1")) views.get("Form1").apply(update.main, null, false);
  });
  const exitBox = createExitBox(design.exitBox, (yes) => apply(core.exitAnswer(yes)));

  function create(name) {
    const designed = design.windows[name];
    const close = () => apply(core.close(windowNumber(name), false));
    let view;
    if (name === "Form1") {
      view = buildMainWindow(designed, design.cardNames, {
        onCommand: (n) => apply(core.click(n, performance.now())),
        onFocus: (n) => core.focus(n),
        onClose: close,
      });
    } else {
      view = buildPictureWindow(name, designed, { onOwnClose: () => apply(core.close(windowNumber(name), true)), onClose: close });
      pictures.set(name, createPicture(view.canvas, view.picture));
    }
    plane.append(view.win);
    views.set(name, view);
    windows.add(name, view);
  }

  function destroy(name) {
    windows.remove(name);
    views.delete(name);
    pictures.delete(name);
  }

  function apply(update) {
    for (const name of update.destroyed) destroy(name);
    for (const name of update.created) create(name);
    if (update.show) windows.show(update.show, update.show !== "Form1");
    if (update.main && views.has("Form1")) {
      const focusHere = windows.active() === "Form1";
      views.get("Form1").apply(update.main, update.focus, focusHere);
      if (update.focus && !focusHere) windows.remember("Form1", document.getElementById(update.focus));
    }
    for (const [name, picture] of Object.entries(update.pictures || {})) {
      if (!pictures.has(name)) continue;
      pictures.get(name).append(picture.steps);
      views.get(name).setText(picture.description, pictures.get(name).lines());
      renderPicture(name);
    }
    if (update.destroyed.length && !update.show && !update.ended) {
      const name = windows.activateTopmost();
      if (name) apply(core.activate(windowNumber(name)));
    }
    windows.keepFocus();
    // Announced after the focus step, so that the sentence is not lost to it.
    if (update.announce) live.textContent = update.announce;
    if (update.cue) playCue(update.cue);
    timer.set(Boolean(update.main && update.main.timer));
    if (update.ended) end();
    if (update.ask) exitBox.ask();
  }

  function end() {
    for (const name of [...views.keys()]) destroy(name);
    timer.set(false);
    const note = document.getElementById("ended");
    note.hidden = false;
    note.focus();
  }

  for (const type of ["pointerdown", "keydown"]) document.addEventListener(type, prepareCues, { once: true, capture: true });
  createFit(design, document.getElementById("desktop"), plane, (s) => {
    scale = s;
    for (const name of pictures.keys()) renderPicture(name);
  });
  apply(core.start(performance.now()));
}

start();
