#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the two cue sounds into assets/sounds. Deterministic (no dither),
# so rerunning it reproduces the committed files.
set -euo pipefail
command -v sox >/dev/null || { echo "make-sounds: needs sox (apt-get install sox)" >&2; exit 1; }
out="${1:-$(dirname "$0")/../assets/sounds}"
mkdir -p "$out"

# A bell-like tone: a sine with a softer octave above it, fading out.
tone() { # file freq seconds
  sox -D -n -r 44100 -b 16 -c 1 "$1" synth "$3" sine "$2" sine "$(( $2 * 2 ))" \
      remix 1v0.75,2v0.25 fade q 0.005 "$3" "$3" gain -n -6
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# "pinpon": a rising-then-falling two-tone chime, E6 then C6.
tone "$tmp/p1.wav" 1319 0.28
tone "$tmp/p2.wav" 1047 0.55
sox -D "$tmp/p1.wav" "$tmp/p2.wav" "$out/pinpon.wav"

# "endpinpon": a falling chime, G5 E5 C5, the last held longer.
tone "$tmp/e1.wav" 784 0.22
tone "$tmp/e2.wav" 659 0.22
tone "$tmp/e3.wav" 523 0.60
sox -D "$tmp/e1.wav" "$tmp/e2.wav" "$tmp/e3.wav" "$out/endpinpon.wav"
