#!/usr/bin/env bash
# Installs what building and testing Hedgeloom needs on a Debian machine.
# Idempotent: when everything is there it only checks, in about a second.
set -euo pipefail
cd "$(dirname "$0")/.."

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

# 32-bit Wine, where this machine's kernel runs 32-bit Linux programs: the 32-bit
# Hedgeloom.exe is then tested end to end as well. A tiny 32-bit Linux program
# (exit(42) through int 0x80, written out byte for byte) tells; where it cannot
# run, nothing 32-bit is installed and set-up goes on.
runs_32_bit() {
  local probe
  probe=$(mktemp) || return 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}
wine32=""
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  # Where it cannot, the 32-bit test run says so itself.
  runs_32_bit && wine32=wine32:i386
fi
[ -z "$required$wanted$wine32" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing" $required $wanted $wine32 >&2
if [ -n "$wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
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
if [ -n "$wine32" ]; then
  echo "setup: this machine runs 32-bit Linux programs; installing $wine32" >&2
  $sudo apt-get install -y -qq --no-install-recommends "$wine32" >/dev/null ||
    echo "setup: $wine32 could not be installed; the 32-bit program is not run" >&2
fi
