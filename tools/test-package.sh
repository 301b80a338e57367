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
# machine's apt sources name, from this machine's package cache where it
# holds what they need, and kept under TAVELK_ROOT_CACHE (default
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

bash tools/install-deps.sh test

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

# --- the build, with a log that names every compile and link for blhc
start=$SECONDS
(cd "$work/build/tavelk" &&
  DH_VERBOSE=1 DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) \
  || { tail -n 60 "$work/build.log" >&2; fail "dpkg-buildpackage failed"; }
echo "test-package: built with DH_VERBOSE=1 in $((SECONDS - start)) s"
deb=$(ls "$work"/build/tavelk_*.deb)

# Each gate below runs even when one before it failed; its own lines are
# printed on success, its log's tail on failure.
failed=()
gate() {
  local name=$1 start=$SECONDS
  shift
  if "$@"; then
    echo "test-package: $name passed in $((SECONDS - start)) s"
  else
    echo "test-package: $name FAILED after $((SECONDS - start)) s" >&2
    failed+=("$name")
  fi
}
# show LOG LINES STATUS: LOG's tail when STATUS is not 0; returns STATUS.
show() { [ "$3" -eq 0 ] || tail -n "$2" "$1" >&2; return "$3"; }

gate_blhc() { blhc --all "$work/build.log"; }

# reprotest against that build, under every variation it has but one:
# user_group, which it applies through `sudo -h localhost`, which sudo 1.9
# refuses ("a remote host may only be specified when listing privileges").
# Run as root, it changes the host name in a user namespace without sudo.
gate_reprotest() {
  local variations=+all,-user_group status=0
  # reprotest's own builds hold an empty source-root folder beside the packages.
  mkdir -p "$work/control/source-root"
  cp "$work"/build/*.deb "$work/control/"
  echo "test-package: reprotest --variations=$variations"
  reprotest --verbosity 1 --variations="$variations" --control-build "$work/control" \
    --store-dir "$work/reprotest" \
    -c "DEB_BUILD_OPTIONS='nocheck parallel=$(nproc)' dpkg-buildpackage -us -uc -b" \
    "$work/pristine/tavelk" '../*.deb' -- null >"$work/reprotest.log" 2>&1 || status=$?
  grep -E '^INFO:reprotest.build:[A-Z_]+ variation' "$work/reprotest.log" | sed 's/^INFO:reprotest.build://'
  sed -n '/^Reproduction successful/,$p' "$work/reprotest.log"
  show "$work/reprotest.log" 80 "$status"
}

gate_lintian() { lintian --allow-root --fail-on error,warning "$work"/build/tavelk_*.dsc "$deb"; }

# make_root TARBALL VARIANT [PACKAGES]: a root of this release, made once.
# The packages come from this machine's cache where it has them (the same
# release: a release root binds its own there), and what is downloaded is
# left in it for the next time.
archives=/var/cache/apt/archives
make_root() {
  local partial=$cache/partial-${1##*/}
  [ ! -s "$1" ] || return 0
  echo "test-package: making $1 (once)"
  rm -f "$partial"
  mmdebstrap --variant="$2" ${3:+--include="$3"} --skip=essential/unlink \
    --setup-hook='mkdir -p "$1"/var/cache/apt/archives/' \
    --setup-hook="sync-in $archives /var/cache/apt/archives/" \
    --customize-hook="sync-out /var/cache/apt/archives $archives" \
    "$suite" "$partial" "$mirror" >"$work/mmdebstrap.log" 2>&1 || { show "$work/mmdebstrap.log" 30 1; return 1; }
  mv "$partial" "$1"
}

# piuparts, in a clean root of this release.
gate_piuparts() {
  local base=$cache/piuparts-debian-$release.tar.gz status=0
  make_root "$base" minbase || return 1
  piuparts --basetgz "$base" -d "$suite" -m "$mirror" --no-upgrade-test "$deb" >"$work/piuparts.log" 2>&1 || status=$?
  grep -E 'INFO: (PASS|FAIL)' "$work/piuparts.log"
  show "$work/piuparts.log" 60 "$status"
}

# autopkgtest, in a root of this release that holds the tests' Depends and
# the package's own already (they change seldom; the root is named after
# them), so that a run installs little more than the package; its package
# lists are brought up to date first (--apt-upgrade).
field_packages() { sed 's/([^)]*)//g; s/[,|]/\n/g' | awk 'NF && $1 != "@" && $1 !~ /^\$/ {print $1}'; }
gate_autopkgtest() {
  local packages testbed status=0
  packages=$(awk '/^[A-Za-z-]+:/ {keep = $1 == "Depends:" || $1 == "Recommends:"}
      keep && !/^#/ {sub(/^[A-Za-z-]+:/, ""); print}' debian/tests/control debian/control | field_packages | sort -u)
  testbed=$cache/autopkgtest-debian-$release-$(sha256sum <<<"$packages" | cut -c1-12).tar
  if [ ! -s "$testbed" ]; then
    rm -f "$cache"/autopkgtest-debian-"$release"-*.tar
    make_root "$testbed" apt "$(paste -sd, <<<"$packages")" || return 1
  fi
  # The namespace maps the testbed's users onto a range of ids of root's own.
  grep -q '^root:' /etc/subuid || usermod --add-subuids 1000000-1065535 root
  grep -q '^root:' /etc/subgid || usermod --add-subgids 1000000-1065535 root
  autopkgtest --apt-upgrade --no-built-binaries "$deb" "$work/pristine/tavelk/" \
    -- unshare --release "$suite" --tarball "$testbed" >"$work/autopkgtest.log" 2>&1 || status=$?
  grep -a '^e2e [a-z0-9-]*: ' "$work/autopkgtest.log"
  sed -n '/@@@@@@@@@@@@@@@@@@@@ summary/,$p' "$work/autopkgtest.log"
  show "$work/autopkgtest.log" 100 "$status"
}

gate blhc gate_blhc
gate reprotest gate_reprotest
gate lintian gate_lintian
gate piuparts gate_piuparts
gate autopkgtest gate_autopkgtest
[ ${#failed[@]} -eq 0 ] || fail "failed: ${failed[*]}"
