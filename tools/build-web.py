#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser build's two steps around the bundler (tools/build-web.sh):
  build-web.py assets CORE_JS OUT  the sprite sheet, icon, FLAC cues, font
                                   subset and licence text under OUT/assets;
  build-web.py page CORE_JS OUT    OUT/tavelk.html from web/index.html, with
                                   each part's size, failing past the budget.
"""

import base64
import html
import json
import re
import subprocess
import sys
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTFont
from PIL import Image

BUDGET = 500 * 1024
FONT = Path("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf")
FONT_LICENCE = Path("/usr/share/doc/fonts-ipafont-gothic/copyright")
FONT_NAME = "Tavelk Gothic Subset"
# The sprite sheet's grid, as web/view.js reads it.
COLUMNS, ROWS = 13, 4
# Shown by the page itself, beside the core's texts: numbers, and the frame's
# close control.
PAGE_CHARACTERS = "0123456789.×"


def core_call(core_js, function):
    """A JSON text from the built module, run under node."""
    script = (f"require({json.dumps(str(Path(core_js).resolve()))})()"
              f".then(m => process.stdout.write(m.UTF8ToString(m._tavelk_{function}())))")
    return json.loads(subprocess.check_output(["node", "-e", script], text=True))


def paletted(image):
    """The image with an exact palette of its own colours (the faces use a handful)."""
    pixels = list(image.getdata())
    colours = sorted(set(pixels))
    if len(colours) > 256:
        return image
    index = {c: i for i, c in enumerate(colours)}
    out = Image.frombytes("P", image.size, bytes(index[p] for p in pixels))
    out.putpalette([v for c in colours for v in c])
    return out


def optimised_png(image, path):
    paletted(image).save(path, optimize=True)
    subprocess.run(["optipng", "-quiet", "-o5", "-strip", "all", str(path)], check=True)


def sprite(out):
    faces = [Image.open(f"assets/cards/card{i:02d}.bmp").convert("RGB") for i in range(1, 53)]
    w, h = faces[0].size
    sheet = Image.new("RGB", (COLUMNS * w, ROWS * h))
    for i, face in enumerate(faces):
        assert face.size == (w, h), f"card{i + 1:02d}.bmp is {face.size}, not {(w, h)}"
        sheet.paste(face, ((i % COLUMNS) * w, (i // COLUMNS) * h))
    optimised_png(sheet, out / "cards.png")
    optimised_png(Image.open("assets/icons/tavelk32.bmp").convert("RGB"), out / "icon.png")


def cues(out):
    for name in ("pinpon", "endpinpon"):
        subprocess.run(["flac", "--silent", "--best", "--force", "-o", str(out / f"{name}.flac"),
                        f"assets/sounds/{name}.wav"], check=True)


def shown_characters(core_js):
    """Every character the program can show: the core's texts, the designed
    captions and the page's own words."""
    texts = core_call(core_js, "texts")
    design = core_call(core_js, "design")
    for window in design["windows"].values():
        texts.append(window["caption"])
        for control in window.get("buttons", []) + window.get("labels", []) + [window.get("closeButton", {})]:
            texts.append(control.get("caption", "") + control.get("text", ""))
    texts += [design["exitBox"][k] for k in ("title", "text", "yes", "no")]
    page = Path("web/index.html").read_text(encoding="utf-8")
    texts += re.findall(r'<p id="ended"[^>]*>([^<]*)</p>', page)
    texts.append(PAGE_CHARACTERS)
    return "".join(sorted(set("".join(texts)) - set("\n\r\t")))


def font(core_js, out):
    characters = shown_characters(core_js)
    (out / "font-characters.txt").write_text(characters, encoding="utf-8")
    options = subset.Options()
    options.flavor = "woff2"
    options.hinting = False
    options.desubroutinize = True
    options.name_IDs = [0, 13, 14]
    options.notdef_outline = True
    face = TTFont(FONT)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=characters)
    subsetter.subset(face)
    # The IPA Font License wants a derived font under a name of its own.
    names = face["name"]
    for record in list(names.names):
        if record.nameID not in (0, 13, 14):
            names.removeNames(nameID=record.nameID)
    postscript = FONT_NAME.replace(" ", "")
    for name_id, value in ((1, FONT_NAME), (2, "Regular"), (3, f"{postscript}-Tavelk"), (4, FONT_NAME), (6, postscript),
                           (10, f"A subset of IPAPGothic ({FONT.name}) cut to the characters Tavelk shows.")):
        names.setName(value, name_id, 3, 1, 0x409)
    if "CFF " in face:
        face["CFF "].cff.fontNames = [postscript]
    face.flavor = "woff2"
    face.save(out / "font.woff2")
    missing = [c for c in characters if ord(c) not in face.getBestCmap() and not c.isspace()]
    if missing:
        sys.exit(f"build-web: the font has no glyph for {''.join(missing)!r}")


def font_licence(out):
    """The IPA Font License, in Japanese and English, from Debian's copyright file."""
    text = FONT_LICENCE.read_text(encoding="utf-8")
    # The stand-alone licence paragraph, not the Files paragraph naming it.
    start = text.index("\n\nLicense: IPA-1\n") + len("\n\nLicense: IPA-1\n")
    end = text.find("\nLicense:", start)
    lines = text[start:end if end >= 0 else None].rstrip().splitlines()
    body = "\n".join("" if line.strip() == "." else line[1:] for line in lines)
    if "IPA Font License Agreement v1.0" not in body:
        sys.exit(f"build-web: no IPA Font License text found in {FONT_LICENCE}")
    (out / "font-licence.txt").write_text(body + "\n", encoding="utf-8")


def base64_size(path):
    return 4 * ((Path(path).stat().st_size + 2) // 3)


def page(core_js, out):
    template = Path("web/index.html").read_text(encoding="utf-8")
    parts = {
        "STYLE": (out / "tavelk.css").read_text(encoding="utf-8"),
        "CORE": Path(core_js).read_text(encoding="utf-8"),
        "SCRIPT": (out / "tavelk.js").read_text(encoding="utf-8"),
        "LICENCE": html.escape((out / "assets/font-licence.txt").read_text(encoding="utf-8")),
    }
    for key in ("CORE", "SCRIPT"):
        if re.search(r"</script", parts[key], re.IGNORECASE):
            sys.exit(f"build-web: the {key.lower()} script holds '</script', which would end it early")
    document = template
    for key, value in parts.items():
        marker = f"/*{key}*/" if key != "LICENCE" else "<!--LICENCE-->"
        assert document.count(marker) == 1, f"web/index.html needs one {marker}"
        document = document.replace(marker, value.strip())
    target = out / "tavelk.html"
    target.write_bytes(document.encode("utf-8"))

    size = lambda text: len(text.encode("utf-8"))
    assets = out / "assets"
    inlined_script = sum(base64_size(assets / f) for f in ("cards.png", "icon.png", "pinpon.flac", "endpinpon.flac"))
    rows = [
        ("core: WebAssembly module and its glue", size(parts["CORE"])),
        ("front script", size(parts["SCRIPT"]) - inlined_script),
        ("card faces (one PNG sprite sheet)", base64_size(assets / "cards.png")),
        ("icon (PNG)", base64_size(assets / "icon.png")),
        ("cues (FLAC)", base64_size(assets / "pinpon.flac") + base64_size(assets / "endpinpon.flac")),
        (f"font subset (WOFF2, {len((assets / 'font-characters.txt').read_text(encoding='utf-8'))} characters)",
         base64_size(assets / "font.woff2")),
        ("style", size(parts["STYLE"]) - base64_size(assets / "font.woff2")),
        ("font licence", size(parts["LICENCE"])),
    ]
    total = target.stat().st_size
    rows.append(("page shell", total - sum(n for _, n in rows)))
    print(f"{target}, size by part (bytes, as inlined):")
    for label, n in rows:
        print(f"  {n:8d}  {label}")
    print(f"  {total:8d}  total ({total / 1024:.1f} KiB of {BUDGET // 1024} KiB)")
    if total > BUDGET:
        sys.exit(f"build-web: {target} is {total} bytes, over the budget of {BUDGET}")


def main(step, core_js, out):
    out = Path(out)
    if step == "assets":
        assets = out / "assets"
        assets.mkdir(parents=True, exist_ok=True)
        sprite(assets)
        cues(assets)
        font(core_js, assets)
        font_licence(assets)
    elif step == "page":
        page(core_js, out)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
