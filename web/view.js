// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Builds the windows from the core's designed state: each control a real
// element at its designed rectangle in CSS pixels, with the design's name as
// its id (bare in the main window, prefixed elsewhere, as ids are unique).

import { cardSprite, icon } from "./assets.js";

// The frame round each window's client area: its border and its title bar.
export const FRAME = 1;
export const TITLE = 24;
// The dialog face of buttons whose font the design leaves to the platform.
const DIALOG_PX = 12;
// The card faces' grid in the sprite sheet: 13 ranks across, 4 suits down.
const SPRITE_COLUMNS = 13;

// System colour roles of the design as CSS system colours, so that forced
// colours (high contrast) still apply.
const systemColours = { ButtonFace: "ButtonFace", ButtonText: "ButtonText", WindowText: "CanvasText" };
const colour = (c) => systemColours[c] || c;

function make(tag, attributes = {}, text) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

function place(e, [x, y, w, h]) {
  Object.assign(e.style, { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` });
  return e;
}

function setFont(e, font) {
  e.style.fontSize = `${font.px || DIALOG_PX}px`;
  e.style.fontWeight = font.bold ? "bold" : "normal";
}

function button(id, control) {
  const b = place(make("button", { id, type: "button", class: "control" }, control.caption), control.rect);
  setFont(b, control.font);
  return b;
}

function rule([x1, y1, x2]) {
  return place(make("div", { class: "rule", "aria-hidden": "true" }), [Math.min(x1, x2), y1, Math.abs(x2 - x1), 1]);
}

// The window frame: a title bar with the caption and a close control that
// does what the desktop frame's close does, and the client area below it.
function frame(name, designed, onClose) {
  const win = make("section", { id: name, class: "window", "aria-labelledby": `${name}-caption`, hidden: "" });
  const [x, y, w, h] = designed.client;
  win.style.left = `${x - FRAME}px`;
  win.style.top = `${y - TITLE - FRAME}px`;
  const bar = make("div", { class: "titlebar" });
  if (designed.icon) bar.append(make("img", { class: "icon", src: icon, alt: "" }));
  bar.append(make("span", { id: `${name}-caption`, class: "caption" }, designed.caption));
  const close = make("button", { id: `${name}-close`, type: "button", class: "frameclose", tabindex: "-1", "aria-label": `${designed.caption.trim()}を閉じる` }, "×");
  close.addEventListener("click", onClose);
  bar.append(close);
  const client = make("div", { class: "client" });
  Object.assign(client.style, { width: `${w}px`, height: `${h}px`, background: colour(designed.background || "ButtonFace") });
  win.append(bar, client);
  return { win, client };
}

export function buildMainWindow(designed, cardNames, { onCommand, onFocus, onClose }) {
  const { win, client } = frame("Form1", designed, onClose);
  for (const b of designed.buttons) {
    const e = button(b.name, b);
    e.addEventListener("click", () => onCommand(Number(b.name.slice(7))));
    e.addEventListener("focus", () => onFocus(Number(b.name.slice(7))));
    client.append(e);
  }
  const named = new Map();
  // A value named by two captions (16/52's value by both) comes in two links.
  for (const [value, ...captions] of designed.captionLinks) named.set(value, [...(named.get(value) || []), ...captions]);
  for (const l of designed.labels) {
    // A value box is an output named by its captions; the others are text.
    const captions = named.get(l.name);
    const e = place(make(captions ? "output" : "div", { id: l.name, class: "label" }, l.text), l.rect);
    if (captions) {
      e.setAttribute("aria-labelledby", captions.join(" "));
      // Its changes are announced as sentences, not one by one.
      e.setAttribute("aria-live", "off");
    }
    setFont(e, l.font);
    e.style.color = colour(l.colour);
    e.style.background = colour(l.background);
    client.append(e);
  }
  client.append(rule(designed.line));
  const card = place(make("div", { id: "toranpu", role: "img" }), designed.cards);
  const [, , cw, ch] = designed.cards;
  card.style.backgroundImage = `url(${cardSprite})`;
  card.style.backgroundSize = `${SPRITE_COLUMNS * cw}px ${(52 / SPRITE_COLUMNS) * ch}px`;
  client.append(card);

  let shownCard = 0;
  return {
    win,
    // Applies the core's state; the button that is to hold the focus gets it
    // before any button is disabled, so the focus never falls to the page.
    apply(state, focusName, takeFocus) {
      for (const [name, text] of Object.entries(state.labels)) document.getElementById(name).textContent = text;
      if (state.card !== shownCard) {
        shownCard = state.card;
        const i = state.card - 1;
        card.style.backgroundPosition = `${-(i % SPRITE_COLUMNS) * cw}px ${-Math.floor(i / SPRITE_COLUMNS) * ch}px`;
        card.setAttribute("aria-label", cardNames[state.card]);
      }
      const buttons = designed.buttons.map((b) => document.getElementById(b.name));
      buttons.forEach((b, i) => state.enabled[i] && (b.disabled = false));
      if (focusName && takeFocus) document.getElementById(focusName).focus();
      buttons.forEach((b, i) => state.enabled[i] || (b.disabled = true));
    },
    focusables: () => designed.buttons.map((b) => document.getElementById(b.name)).filter((b) => !b.disabled),
  };
}

// The graph and help windows: a close button, a rule and a picture whose
// drawing a canvas replays. The help text is also there as real text.
export function buildPictureWindow(name, designed, { onOwnClose, onClose }) {
  const { win, client } = frame(name, designed, onClose);
  const b = button(`${name}-${designed.closeButton.name}`, designed.closeButton);
  b.addEventListener("click", onOwnClose);
  client.append(b, rule(designed.line));
  const p = designed.picture;
  const box = place(make("div", { class: "picturebox" }), p.rect);
  box.style.borderWidth = `${p.border}px`;
  box.style.background = colour(p.background);
  const canvas = make("canvas", { id: `${name}-${p.name}`, tabindex: "0", "aria-label": p.accessibleName });
  const text = make("div", { id: `${name}-text`, class: "visually-hidden" });
  if (p.readable) {
    canvas.setAttribute("role", "document");
    canvas.append(text);
  } else {
    canvas.setAttribute("role", "img");
    canvas.setAttribute("aria-describedby", text.id);
    box.append(text);
  }
  box.prepend(canvas);
  client.append(box);
  const order = designed.tabOrder.map((n) => (n === p.name ? canvas : b));
  return {
    win,
    canvas,
    picture: p,
    // The words that stand for the picture: its description, or its lines.
    setText(description, lines) {
      if (p.readable) text.replaceChildren(...lines.filter((l) => l.trim()).map((l) => make("p", {}, l)));
      else if (description !== undefined) text.textContent = description;
    },
    focusables: () => order,
  };
}
