#!/usr/bin/env bash
# Installs what building and testing Hedgeloom needs on a Debian machine.
# Idempotent: when everything is there it only checks, in about a second.
set -euo pipefail

packages=(
  cmake make python3
  g++ clang libclang-rt-14-dev        # the native tier, its sanitizers and the fuzzer
  lld                                 # with clang, the second compiler of the Windows program
  googletest                          # GoogleTest sources, built by both tiers
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 xvfb xauth                   # the Wine tier and its display
  fonts-wine                          # Wine's own fonts: caption buttons and check marks draw right
  imagemagick                         # screenshots
  zip
)
# The 32-bit build is a compile check only; install its compiler where it can be had.
optional=(g++-mingw-w64-i686-posix)

missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
required=$(missing "${packages[@]}")
wanted=$(missing "${optional[@]}")
[ -z "$required$wanted" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing" $required $wanted >&2
$sudo apt-get update -qq
if [ -n "$required" ]; then
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $required >/dev/null
fi
if [ -n "$wanted" ]; then
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $wanted >/dev/null ||
    echo "setup: $wanted not available; the 32-bit build check is skipped" >&2
fi
