#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's own checks of the package, on the Debian release this machine
# runs (tools/test-release.sh runs it on the other one):
#  - the package built with dpkg-buildpackage, its headless tests included,
#    with a verbose log (DH_VERBOSE=1) that blhc reads for hardening flags
#    missing from any compile or link;
#  - reprotest builds it again under every variation it can apply here and
#    compares the packages;
#  - lintian on the source and binary packages;
#  - piuparts installs, removes and purges it in a clean root;
#  - autopkgtest runs debian/tests (the end-to-end scenarios against the
#    installed program) in a throwaway root in a user namespace.
# The base roots are made once with mmdebstrap from the mirror this
# machine's apt sources name and kept under TAVELK_ROOT_CACHE (default
# /var/cache/tavelk-roots). Runs as root (the piuparts root, the user
# namespace's id ranges), through sudo otherwise.
# TAVELK_KEEP_WORK=1 keeps the logs and packages.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=TAVELK_ROOT_CACHE,TAVELK_KEEP_WORK,LC_ALL "$0" "$@"
fi
export LC_ALL=C.UTF-8

fail() { echo "test-package: $*" >&2; exit 1; }

bash tools/install-deps.sh qa

. /etc/os-release
release=$VERSION_ID suite=$VERSION_CODENAME
mirror=$(bash tools/debian-mirror.sh)
cache=${TAVELK_ROOT_CACHE:-/var/cache/tavelk-roots}
mkdir -p "$cache"

work=$(mktemp -d)
cleanup() {
  if [ -n "${TAVELK_KEEP_WORK:-}" ]; then echo "test-package: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
log=$work/log
# Quiet on success; on failure, the whole output and why.
run() { "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }; }

# The tracked files (and new ones not yet committed), at the time of the last
# changelog entry.
copy_source() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do [ -e "$f" ] || [ -L "$f" ] && printf '%s\0' "$f"; done \
    | tar --null -T - -cf - | tar -xf - -C "$1"
}
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp)
export SOURCE_DATE_EPOCH
copy_source "$work/pristine/tavelk"
copy_source "$work/build/tavelk"
(cd "$work/build" && run dpkg-source -b tavelk)

# --- the build, and the hardening flags of every compile and link in its log
echo "test-package: dpkg-buildpackage (DH_VERBOSE=1), then blhc --all"
(cd "$work/build/tavelk" &&
  DH_VERBOSE=1 DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) \
  || { tail -n 60 "$work/build.log" >&2; fail "dpkg-buildpackage failed"; }
blhc --all "$work/build.log" || fail "blhc: hardening flags missing from the build above"
deb=$(ls "$work"/build/tavelk_*.deb)
# reprotest's own builds hold an empty source-root folder beside the packages.
mkdir -p "$work/control/source-root"
cp "$work"/build/*.deb "$work/control/"

# --- reprotest against that build, under every variation it has but one:
# user_group, which it applies through `sudo -h localhost`, which sudo 1.9
# refuses ("a remote host may only be specified when listing privileges").
# Run as root, it changes the host name in a user namespace without sudo.
variations=+all,-user_group
echo "test-package: reprotest --variations=$variations"
reprotest --verbosity 1 --variations="$variations" --control-build "$work/control" \
  --store-dir "$work/reprotest" \
  -c "DEB_BUILD_OPTIONS='nocheck parallel=$(nproc)' dpkg-buildpackage -us -uc -b" \
  "$work/pristine/tavelk" '../*.deb' -- null >"$work/reprotest.log" 2>&1 \
  || { tail -n 80 "$work/reprotest.log" >&2; fail "reprotest: the package is not reproducible"; }
grep -E '^INFO:reprotest.build:[A-Z_]+ variation' "$work/reprotest.log" | sed 's/^INFO:reprotest.build://'
sed -n '/^Reproduction successful/,$p' "$work/reprotest.log"

# --- lintian
run lintian --fail-on error,warning "$work"/build/tavelk_*.dsc "$deb"
echo "test-package: lintian passed"

# --- piuparts, in a clean root of this release
piuparts_base=$cache/piuparts-debian-$release.tar.gz
if [ ! -s "$piuparts_base" ]; then
  echo "test-package: making the piuparts base root $piuparts_base (once)"
  run mmdebstrap --variant=minbase "$suite" "$cache/partial-${piuparts_base##*/}" "$mirror"
  mv "$cache/partial-${piuparts_base##*/}" "$piuparts_base"
fi
piuparts --basetgz "$piuparts_base" -d "$suite" -m "$mirror" --no-upgrade-test "$deb" >"$work/piuparts.log" 2>&1 \
  || { tail -n 60 "$work/piuparts.log" >&2; fail "piuparts failed"; }
grep -E 'INFO: (PASS|FAIL)' "$work/piuparts.log"

# --- autopkgtest, in a root of this release that holds the tests' Depends and
# the package's own already (they change seldom; the root is named after
# them), so that a run installs little more than the package; its package
# lists are brought up to date first (--apt-upgrade).
field_packages() { sed 's/([^)]*)//g; s/[,|]/\n/g' | awk 'NF && $1 != "@" {print $1}'; }
testbed_packages=$( (sed -n '/^Depends:/,/^[^ ]/{s/^Depends://;/^[^ ]/!p;/^ /p}' debian/tests/control | field_packages
  dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*://' | field_packages) | sort -u)
testbed=$cache/autopkgtest-debian-$release-$(sha256sum <<<"$testbed_packages" | cut -c1-12).tar
if [ ! -s "$testbed" ]; then
  echo "test-package: making the autopkgtest root $testbed (once)"
  rm -f "$cache"/autopkgtest-debian-"$release"-*.tar
  run mmdebstrap --variant=apt --include="$(paste -sd, <<<"$testbed_packages")" "$suite" "$cache/partial-${testbed##*/}" "$mirror"
  mv "$cache/partial-${testbed##*/}" "$testbed"
fi
# The namespace maps the testbed's users onto a range of ids of root's own.
grep -q '^root:' /etc/subuid || usermod --add-subuids 1000000-1065535 root
grep -q '^root:' /etc/subgid || usermod --add-subgids 1000000-1065535 root
autopkgtest --apt-upgrade --no-built-binaries "$deb" "$work/pristine/tavelk/" -- unshare --release "$suite" --tarball "$testbed" \
  >"$work/autopkgtest.log" 2>&1 || status=$?
sed -n '/^@@@@@@@@@@@@@@@@@@@@ summary/,$p' "$work/autopkgtest.log"
[ "${status:-0}" -eq 0 ] || { tail -n 100 "$work/autopkgtest.log" >&2; fail "autopkgtest failed (exit $status)"; }
