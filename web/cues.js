// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The two cues through Web Audio. Browsers let audio start only inside a
// user's gesture (iPadOS also wants the context resumed there), so the
// context is made or resumed in the handler that plays. Each cue is decoded
// once; a new cue cuts off the one still sounding, as on the desktop.
// Anything that fails leaves the program silent and never holds a handler.

import { sounds } from "./assets.js";

let context = null;
const decoded = new Map();
// The latest cue asked for; its source once it sounds.
let current = null;

function decode(name) {
  if (!decoded.has(name)) decoded.set(name, context.decodeAudioData(sounds[name].slice().buffer).catch(() => null));
  return decoded.get(name);
}

// The context, made or resumed; only inside a user's gesture.
function ready() {
  if (!context) {
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!AudioContextClass) return false;
    context = new AudioContextClass();
  }
  if (context.state !== "running") context.resume().catch(() => {});
  return true;
}

// Called at the pupil's first press, so that both cues are decoded before
// the first click that asks for one.
export function prepareCues() {
  try {
    if (ready()) Object.keys(sounds).forEach(decode);
  } catch {
    // Silent, as below.
  }
}

// Must be called from within the click (or key) handler that asks for a cue.
export function playCue(name) {
  try {
    if (!ready()) return;
    if (current && current.source) current.source.stop();
    const cue = {};
    current = cue;
    decode(name)
      .then((buffer) => {
        // A later cue cuts this one off before it starts.
        if (!buffer || current !== cue) return;
        cue.source = context.createBufferSource();
        cue.source.buffer = buffer;
        cue.source.connect(context.destination);
        cue.source.start();
      })
      .catch(() => {});
  } catch {
    // Silent, as the desktop is without a sound device.
  }
}
