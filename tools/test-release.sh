#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test command on a fresh minimal root of one Debian release:
#   test-release.sh 12|13
# The root is made once with debootstrap from the mirror this machine's own
# apt sources name and kept under TAVELK_ROOT_CACHE (default
# /var/cache/tavelk-roots), with the packages apt downloads there; each run
# copies it afresh, clones the committed HEAD into it and runs
# `bash tools/test.sh` there with an empty environment. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

case "${1:-}" in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "usage: $0 12|13" >&2; exit 2 ;;
esac
release=$1
[ "$(id -u)" -eq 0 ] || { echo "test-release: needs root (chroot, mount)" >&2; exit 2; }

bash tools/install-deps.sh matrix

# The first URIs line of the deb822 sources, else the first deb line.
mirror=
if [ -r /etc/apt/sources.list.d/debian.sources ]; then
  mirror=$(awk '$1 == "URIs:" {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
fi
if [ -z "$mirror" ] && [ -r /etc/apt/sources.list ]; then
  mirror=$(awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' /etc/apt/sources.list)
fi
[ -n "$mirror" ] || { echo "test-release: no mirror found in this machine's apt sources" >&2; exit 1; }

cache=${TAVELK_ROOT_CACHE:-/var/cache/tavelk-roots}
base=$cache/debian-$release
archives=$cache/apt-archives-$release
mkdir -p "$cache" "$archives/partial"
if [ ! -d "$base" ]; then
  echo "== making a minimal Debian $release root from $mirror (once)"
  rm -rf "$base.tmp"
  debootstrap --variant=minbase --include=git,ca-certificates "$suite" "$base.tmp" "$mirror" >"$cache/debootstrap-$release.log" 2>&1 \
    || { tail -n 20 "$cache/debootstrap-$release.log" >&2; exit 1; }
  # debootstrap leaves its downloads in the root; they belong in the shared cache.
  mv "$base.tmp"/var/cache/apt/archives/*.deb "$archives/" 2>/dev/null || true
  mv "$base.tmp" "$base"
fi

mkdir -p "$cache/runs"
work=$(mktemp -d "$cache/runs/debian-$release.XXXXXX")
root=$work/root
mounted=()
cleanup() {
  local i ok=1 p
  # Whatever the tests left running inside the root would keep its mounts busy.
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || ok=0
  done
  # Never delete through a mount that is still there.
  if [ "$ok" -eq 1 ] && ! grep -qF " $root/" /proc/mounts; then
    rm -rf "$work"
  else
    echo "test-release: $root still has mounts; left in place" >&2
  fi
}
trap cleanup EXIT

cp -a "$base" "$root"
mnt() { mount "$@"; mounted+=("${!#}"); }
mnt --bind /proc "$root/proc"
mnt --bind /sys "$root/sys"
mnt --bind /dev "$root/dev"
mnt --bind /dev/pts "$root/dev/pts"
mnt -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
mnt -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mnt --bind "$archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Packages must not start their services inside the root.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

# A bundle carries HEAD even when no branch points at it.
head=$(git rev-parse HEAD)
git bundle create -q "$work/head.bundle" HEAD
git clone -q --no-checkout "$work/head.bundle" "$root/src/tavelk"
git -C "$root/src/tavelk" checkout -q --detach "$head"

echo "== Debian $release ($suite) root at $root, HEAD $head"
start=$SECONDS
status=0
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /src/tavelk && bash tools/test.sh' || status=$?
echo "== Debian $release: test command exit $status after $((SECONDS - start)) s"
exit "$status"
