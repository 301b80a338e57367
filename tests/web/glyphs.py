# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every character the page shows must be in the font subset it carries,
or the browser would draw it in some other face."""

import base64
import io
import re

from fontTools.ttLib import TTFont

# The text on screen now: windows, exit box and the closing note, with the
# help lines that the help picture prints, but not the words kept for
# screen readers alone.
SHOWN_TEXT = """
  const out = [];
  for (const root of document.querySelectorAll('#plane, #exitBox, #ended')) {
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    while (walker.nextNode()) {
      const parent = walker.currentNode.parentElement;
      if (parent.closest('.visually-hidden') && !parent.closest('#Form4-Picture1')) continue;
      out.push(walker.currentNode.data);
    }
  }
  return out.join('');"""


class Glyphs:
    def __init__(self):
        self.shown = set()

    def note(self, p):
        self.shown |= set(p.b.js(SHOWN_TEXT))

    def check(self, p):
        style = p.b.js("return document.querySelector('style').textContent")
        data = re.search(r"url\(data:font/woff2;base64,([A-Za-z0-9+/=]+)\)", style)
        p.check(data, "the page should carry its font as a WOFF2 data URL")
        font = TTFont(io.BytesIO(base64.b64decode(data.group(1))))
        cmap = font.getBestCmap()
        missing = sorted(c for c in self.shown if not c.isspace() and ord(c) not in cmap)
        p.check(not missing, f"the font subset lacks {''.join(missing)!r}, which the page shows")
        family = {r.toUnicode() for r in font["name"].names if r.nameID in (1, 4, 6, 16)}
        p.check(not any("IPA" in f for f in family), f"the subset should carry a name of its own, not {family}")
