// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The exit box: a modal dialog (the rest of the page is inert while it is
// open) with はい as the default button and Escape answering いいえ. The
// answer comes back later, from the click, and the core's exit handler goes
// on with it.

export function createExitBox(words, onAnswer) {
  const box = document.createElement("dialog");
  box.id = "exitBox";
  box.setAttribute("aria-labelledby", "exitBox-title");
  box.setAttribute("aria-describedby", "exitBox-text");
  const title = Object.assign(document.createElement("div"), { id: "exitBox-title", className: "titlebar", textContent: words.title });
  const text = Object.assign(document.createElement("p"), { id: "exitBox-text", textContent: words.text });
  const yes = Object.assign(document.createElement("button"), { id: "exitBox-yes", type: "button", textContent: words.yes });
  const no = Object.assign(document.createElement("button"), { id: "exitBox-no", type: "button", textContent: words.no });
  const row = Object.assign(document.createElement("div"), { className: "buttons" });
  row.append(yes, no);
  box.append(title, text, row);
  document.body.append(box);

  let waiting = false;
  const answer = (isYes) => {
    if (!waiting) return;
    waiting = false;
    box.close();
    onAnswer(isYes);
  };
  yes.addEventListener("click", () => answer(true));
  no.addEventListener("click", () => answer(false));
  box.addEventListener("cancel", (e) => {
    e.preventDefault();
    answer(words.escape === "yes");
  });
  // However else the box closes, it answers as Escape does.
  box.addEventListener("close", () => answer(words.escape === "yes"));

  return {
    ask() {
      waiting = true;
      box.showModal();
      (words.default === "no" ? no : yes).focus();
    },
  };
}
