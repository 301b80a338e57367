// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The lesson's core, compiled to WebAssembly, behind plain methods: each call
// goes into the module and comes back as parsed JSON. The module's returned
// text is only valid until the next call, so it is read at once.

export async function loadCore(factory) {
  const module = await factory();
  const call = (name, ...args) => JSON.parse(module.UTF8ToString(module["_tavelk_" + name](...args)));
  return {
    design: () => call("design"),
    texts: () => call("texts"),
    start: (nowMs) => call("start", nowMs),
    click: (command, nowMs) => call("click", command, nowMs),
    ticks: (nowMs) => call("ticks", nowMs),
    exitAnswer: (yes) => call("exit_answer", yes ? 1 : 0),
    activate: (windowNumber) => call("activate", windowNumber),
    close: (windowNumber, byOwnButton) => call("close", windowNumber, byOwnButton ? 1 : 0),
    // Where the pupil put the focus (Command1..8), so that a step that
    // disables that button hands the focus on from there.
    focus: (command) => module._tavelk_focus(command),
  };
}

// Window names to the numbers the core's functions take.
export const windowNumber = (name) => Number(name.slice(4));
