# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Pixels, only for what only pixels show: the card face on show, the graph's
dashed line and curve."""

import io
from pathlib import Path

from PIL import Image, ImageChops, ImageStat

CARDS = Path(__file__).resolve().parents[2] / "assets" / "cards"


def dark(p):
    return max(p) < 100


def blue(p):
    return p[2] > 150 and p[0] < 100 and p[1] < 100


def dashed_rows(shot):
    """Rows holding a dashed black line across the plot: fifty dashes (the
    curve may cut some) that cover about half of it."""
    rows = []
    for y in range(shot.height):
        line = [dark(shot.getpixel((x, y))) for x in range(shot.width * 100 // 1100, shot.width)]
        runs = sum(1 for x in range(1, len(line)) if line[x] and not line[x - 1])
        if 45 <= runs <= 80 and 0.35 <= sum(line) / len(line) <= 0.65:
            rows.append(y)
    return [sum(rows) / len(rows)] if rows else []


def curve(shot):
    """The blue curve's pixels, by column: (x, mean y)."""
    columns = {}
    for y in range(shot.height):
        for x in range(shot.width):
            if blue(shot.getpixel((x, y))):
                columns.setdefault(x, []).append(y)
    return [(x, sum(ys) / len(ys)) for x, ys in columns.items()]


def closest_face(png):
    """The index (1..52) of the face that the card on show looks most like."""
    shot = Image.open(io.BytesIO(png)).convert("RGB").resize((69, 93), Image.BOX)
    scores = {}
    for i in range(1, 53):
        face = Image.open(CARDS / f"card{i:02d}.bmp").convert("RGB")
        scores[i] = sum(ImageStat.Stat(ImageChops.difference(shot, face)).mean)
    return min(scores, key=scores.get)


def check_card(p, name):
    index = p.layout["cards"].index(name)
    shown = closest_face(p.b.element_png("toranpu"))
    p.check(shown == index, f"the card named {name!r} (index {index}) should show its face, not card {shown}'s")


def tallest_ink(shot):
    """The height of the tallest band of rows with dark pixels: a line of text."""
    best = run = 0
    for y in range(shot.height):
        run = run + 1 if any(dark(shot.getpixel((x, y))) for x in range(0, shot.width, 2)) else 0
        best = max(best, run)
    return best
