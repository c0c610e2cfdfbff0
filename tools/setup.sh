#!/usr/bin/env bash
# Installs what building and testing Hedgeloom needs on a Debian machine.
# When everything required is there it only checks, in about a second, and
# reaches for no network. It fails only when a required package cannot be
# installed, and names it. The optional parts are tried once per machine: the
# attempt is remembered in $HL_SETUP_TRIED (default /var/lib/hedgeloom/setup-tried;
# remove it to try them again). HL_SETUP_RUNS_32_BIT replaces the command that
# tells whether the kernel runs 32-bit programs (the set-up tests set it).
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
compiler32=g++-mingw-w64-i686-posix
# 32-bit Wine, where this machine's kernel runs 32-bit Linux programs: the 32-bit
# Hedgeloom.exe is then tested end to end as well. Where it cannot, the 32-bit
# test run says so itself.
wine32=wine32:i386
tried=${HL_SETUP_TRIED:-/var/lib/hedgeloom/setup-tried}
runs_32_bit=${HL_SETUP_RUNS_32_BIT:-tools/runs-32-bit.sh}

missing() {  # packages...: those not installed, in one look at dpkg's database
  local have
  have=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Package}:${Architecture}\n' "$@" 2>/dev/null |
         awk '$1 == "ii" { print $2; print $3 }') || true
  for p in "$@"; do [[ $'\n'$have$'\n' == *$'\n'"$p"$'\n'* ]] || echo "$p"; done
}
untried() {  # the packages read, less those an earlier set-up on this machine tried
  while read -r p; do grep -qxF "$p" "$tried" 2>/dev/null || echo "$p"; done
}

mapfile -t required < <(missing "${packages[@]}")
mapfile -t optional < <(missing "$compiler32" | untried)
if [ -n "$(missing "$wine32" | untried)" ] && $runs_32_bit; then
  optional+=("$wine32")
fi
[ ${#required[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt_install() {  # packages...: apt-get's complaint, if any, goes to $complaint
  complaint=$($sudo apt-get install -y -qq --no-install-recommends "$@" 2>&1 >/dev/null) && return
  complaint=$(grep -m1 '^E:' <<<"$complaint" | cut -c4-) || complaint="apt-get failed"
  return 1
}
echo "setup: installing" "${required[@]}" "${optional[@]}" >&2

# The i386 architecture is added for the 32-bit Wine only, and taken away again
# whenever that did not get installed, however set-up ends.
added_i386=""
drop_i386() {
  if [ -n "$added_i386" ] && [ -n "$(missing "$wine32")" ]; then
    $sudo dpkg --remove-architecture i386 || true
  fi
}
trap drop_i386 EXIT
if [[ " ${optional[*]} " == *" $wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  added_i386=yes
fi

# A mirror in the middle of a sync fails an index now and then: try once more,
# then go on with the indexes there are.
if ! $sudo apt-get update -qq 2>/dev/null; then
  failure=$($sudo apt-get update -qq 2>&1 >/dev/null) ||
    echo "setup: a package index failed to download ($(grep -m1 -E '^[EW]:' <<<"$failure" | cut -c4-));" \
      "going on with the others" >&2
fi

if [ ${#required[@]} -gt 0 ] && ! apt_install "${required[@]}"; then
  # Which of them: apt-get installs all or none.
  refused=""
  for p in "${required[@]}"; do apt_install "$p" || { refused="$refused $p"; why=$complaint; }; done
  if [ -n "$refused" ]; then
    echo "setup: cannot install required package(s):$refused ($why)" >&2
    exit 1
  fi
fi

for p in "${optional[@]}"; do
  if ! apt_install "$p"; then
    case $p in
      "$compiler32") echo "setup: $p not installed ($complaint); the 32-bit build check is skipped" >&2 ;;
      *) echo "setup: $p not installed ($complaint); the 32-bit program is not run" >&2 ;;
    esac
  fi
done
if [ ${#optional[@]} -gt 0 ]; then
  { $sudo mkdir -p "$(dirname "$tried")" && printf '%s\n' "${optional[@]}" | $sudo tee -a "$tried" >/dev/null; } ||
    echo "setup: could not write $tried; the optional packages are tried again next time" >&2
fi
