#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the Debian mirror this machine's apt sources name: the first URIs
# line of the deb822 sources, else the first deb line of sources.list. The
# roots that the package checks and tools/test-release.sh make come from it.
set -euo pipefail
mirror=
if [ -r /etc/apt/sources.list.d/debian.sources ]; then
  mirror=$(awk '$1 == "URIs:" {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
fi
if [ -z "$mirror" ] && [ -r /etc/apt/sources.list ]; then
  mirror=$(awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' /etc/apt/sources.list)
fi
[ -n "$mirror" ] || { echo "no Debian mirror found in this machine's apt sources" >&2; exit 1; }
echo "$mirror"
