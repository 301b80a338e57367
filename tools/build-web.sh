#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the browser version, build-web/tavelk.html: one self-contained file
# with the core compiled to WebAssembly, the front's script and style, the
# card faces as one sprite sheet, the icon, the two cues as FLAC and a subset
# of IPAPGothic cut to the characters the program shows. Installs what it
# needs with apt-get, prints each part's size and fails past 500 KB.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh web

out=build-web
mkdir -p "$out/assets"
# Debian's emcc runs its JavaScript tools with node; a node from elsewhere
# lacks Debian's module path.
export NODE_PATH=/usr/share/nodejs

# The core: every core source and the binding, plain exported functions.
core_js=$out/tavelk-core.js
# The stack setting was renamed between emscripten 3.1.6 and 3.1.69.
stack=STACK_SIZE
dpkg --compare-versions "$(emcc -dumpversion)" lt 3.1.25 && stack=TOTAL_STACK
exports=_tavelk_design,_tavelk_start,_tavelk_click,_tavelk_ticks,_tavelk_exit_answer,_tavelk_activate,_tavelk_close,_tavelk_texts,_tavelk_focus
start=$SECONDS
# The history of 100,001 floats lives on the heap, which starts at 2 MiB
# and may grow; the stack stays at 64 KiB on both emscripten versions.
# HEAP8 is for the benchmark, which reads the module's memory under node.
emcc -std=c++20 -Oz -I. -fno-exceptions -fno-rtti \
  -sFILESYSTEM=0 -sMODULARIZE=1 -sEXPORT_NAME=createTavelkCore -sSINGLE_FILE=1 \
  -sENVIRONMENT=web,node -sMALLOC=emmalloc -s"$stack"=65536 -sINITIAL_MEMORY=2097152 -sALLOW_MEMORY_GROWTH=1 \
  -sEXPORTED_FUNCTIONS="$exports" -sEXPORTED_RUNTIME_METHODS=UTF8ToString,HEAP8 \
  core/*.cpp web/bindings.cpp -o "$core_js"
echo "core compiled by $(emcc --version | head -n 1) in $((SECONDS - start)) s"

# The assets the bundler inlines, and the characters the font must hold.
/usr/bin/python3 tools/build-web.py assets "$core_js" "$out"

esbuild web/main.js --bundle --minify --format=iife --target=es2020 --charset=utf8 --legal-comments=none \
  --loader:.png=dataurl --loader:.flac=binary --outfile="$out/tavelk.js" --log-level=warning
esbuild web/style.css --bundle --minify --charset=utf8 --loader:.woff2=dataurl --outfile="$out/tavelk.css" --log-level=warning

/usr/bin/python3 tools/build-web.py page "$core_js" "$out"
