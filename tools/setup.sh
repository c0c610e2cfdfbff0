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
  fonts-wine                          # Wine's own fonts, copied into every prefix
  fonts-dejavu-core                   # the face Wine falls back to where no bitmap size fits (144 DPI)
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
# Hedgeloom.exe is then tested end to end as well. Where it cannot, the 32-bit
# test run says so itself.
wine32=""
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  tools/runs-32-bit.sh && wine32=wine32:i386
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
