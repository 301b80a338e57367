// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Which window is the program's active one. As on the desktop, a window
// becomes active when the pupil clicks into it or moves the keyboard focus
// into it from another window, not on every focus move inside it, and only
// then does the core run its activation. Tab moves through the active
// window's controls in the designed order; past its last control it goes on
// to the next window, which that activates.

// A window is moved by dragging its title bar, with the mouse or a finger,
// as on the desktop, so that a window under another can be reached.
function movable(win) {
  const bar = win.querySelector(".titlebar");
  bar.addEventListener("pointerdown", (e) => {
    if (e.target.closest("button") || e.button !== 0) return;
    const scale = win.getBoundingClientRect().width / win.offsetWidth || 1;
    const [x0, y0, left, top] = [e.clientX, e.clientY, win.offsetLeft, win.offsetTop];
    const move = (m) => {
      win.style.left = `${left + (m.clientX - x0) / scale}px`;
      win.style.top = `${top + (m.clientY - y0) / scale}px`;
    };
    const stop = () => {
      bar.removeEventListener("pointermove", move);
      bar.removeEventListener("pointerup", stop);
      bar.removeEventListener("pointercancel", stop);
    };
    bar.setPointerCapture(e.pointerId);
    bar.addEventListener("pointermove", move);
    bar.addEventListener("pointerup", stop);
    bar.addEventListener("pointercancel", stop);
  });
}

export function createWindows(onActivate) {
  const open = new Map(); // name -> { win, focusables() }
  const lastFocus = new Map();
  let active = null;
  let top = 0;

  function setActive(name) {
    active = name;
    for (const [n, w] of open) w.win.classList.toggle("active", n === name);
    open.get(name).win.style.zIndex = String(++top);
  }

  // The control a window gives the focus to when it is entered.
  function landing(name, backwards) {
    const list = open.get(name).focusables();
    const last = lastFocus.get(name);
    if (backwards === undefined && last && list.includes(last)) return last;
    return backwards ? list[list.length - 1] : list[0];
  }

  function enter(name) {
    if (active === name || !open.has(name)) return;
    setActive(name);
    onActivate(name);
  }

  function tab(event, name) {
    if (event.key !== "Tab" || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    const names = [...open.keys()];
    const list = open.get(name).focusables();
    const step = event.shiftKey ? -1 : 1;
    const next = list.indexOf(document.activeElement) + step;
    if (next >= 0 && next < list.length) return list[next].focus();
    // Past either end: on into the next window, or round this one.
    const other = names[(names.indexOf(name) + step + names.length) % names.length];
    const target = landing(other, event.shiftKey);
    if (target) target.focus();
  }

  return {
    add(name, entry) {
      open.set(name, entry);
      entry.win.hidden = false;
      entry.win.addEventListener("focusin", (e) => {
        lastFocus.set(name, e.target);
        enter(name);
      });
      // A press outside the enabled controls (a label, a disabled button)
      // leaves the focus where it is, as on the desktop, or in a window it
      // activates gives the focus to that window's own control.
      const press = (e) => {
        const control = e.target.closest("button, [tabindex]");
        if (control && !control.disabled) return enter(name);
        e.preventDefault();
        if (active !== name) {
          const target = landing(name);
          if (target) target.focus();
          enter(name);
        }
      };
      entry.win.addEventListener("pointerdown", press);
      entry.win.addEventListener("mousedown", press);
      entry.win.addEventListener("keydown", (e) => tab(e, name));
      movable(entry.win);
    },
    remove(name) {
      const entry = open.get(name);
      if (!entry) return;
      entry.win.remove();
      open.delete(name);
      lastFocus.delete(name);
      if (active === name) active = null;
    },
    // The core has shown the window and run what its activation needs.
    show(name, focusInside) {
      setActive(name);
      if (focusInside) {
        const target = landing(name);
        if (target) target.focus();
      }
    },
    active: () => active,
    // After a window went with none shown in its place, the top one left
    // becomes active, as a window manager would make it.
    activateTopmost() {
      if (active || open.size === 0) return null;
      const [name] = [...open].sort((a, b) => Number(b[1].win.style.zIndex) - Number(a[1].win.style.zIndex))[0];
      setActive(name);
      const target = landing(name);
      if (target) target.focus();
      return name;
    },
    // Keeps the focus inside the active window if a control under it went.
    keepFocus() {
      if (!active) return;
      const el = document.activeElement;
      if (el && el !== document.body && !el.disabled && open.get(active).win.contains(el)) return;
      const target = landing(active);
      if (target) target.focus();
    },
    // The control a window that is not active will give the focus to.
    remember(name, element) {
      if (open.has(name)) lastFocus.set(name, element);
    },
  };
}
