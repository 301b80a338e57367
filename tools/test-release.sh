#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test command on a fresh minimal root of one Debian release:
#   test-release.sh 12|13
# The root is made once with mmdebstrap from the mirror this machine's own
# apt sources name and kept as a tarball under TAVELK_ROOT_CACHE (default
# /var/cache/tavelk-roots), with the packages apt downloads there; each run
# unpacks it afresh, clones the committed HEAD into it and runs
# `bash tools/test.sh` there with an empty environment (of the browser
# scenarios only the lesson, to keep CI's time). The run has mount and
# process namespaces of its own: its mounts and whatever the tests leave
# running end with it. The root is entered with pivot_root, not chroot, so
# that the package checks can make user namespaces inside it. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "usage: $0 12|13" >&2; exit 2 ;;
esac
release=$1
[ "$(id -u)" -eq 0 ] || { echo "test-release: needs root (namespaces, mounts)" >&2; exit 2; }

bash tools/install-deps.sh matrix
mirror=$(bash tools/debian-mirror.sh)

cache=${TAVELK_ROOT_CACHE:-/var/cache/tavelk-roots}
base=$cache/debian-$release.tar
archives=$cache/apt-archives-$release
mkdir -p "$cache" "$archives/partial"
if [ ! -s "$base" ]; then
  echo "== making a minimal Debian $release root from $mirror (once)"
  mmdebstrap --variant=minbase --include=git,ca-certificates,mount "$suite" "$cache/debian-$release.tmp.tar" "$mirror" \
    >"$cache/mmdebstrap-$release.log" 2>&1 || { tail -n 20 "$cache/mmdebstrap-$release.log" >&2; exit 1; }
  mv "$cache/debian-$release.tmp.tar" "$base"
fi

mkdir -p "$cache/runs"
work=$(mktemp -d "$cache/runs/debian-$release.XXXXXX")
# Nothing is ever mounted outside the run's own mount namespace.
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir "$root"
tar -xf "$base" -C "$root"
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
# The cache is shared with the root, where the package checks keep the roots
# they make.
unshare --mount --pid --fork --kill-child --propagation private -- bash -euc '
  root=$1 archives=$2 cache=$3
  mount --bind "$root" "$root"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  mount --bind "$archives" "$root/var/cache/apt/archives"
  mkdir -p "$root$cache"
  mount --bind "$cache" "$root$cache"
  cd "$root"
  mkdir -p .host
  pivot_root . .host
  umount -l /.host
  rmdir /.host
  exec /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin TAVELK_BROWSER_SCENARIOS=lesson bash -c "cd /src/tavelk && bash tools/test.sh"
' test-release "$root" "$archives" "$cache" || status=$?
echo "== Debian $release: test command exit $status after $((SECONDS - start)) s"
exit "$status"
