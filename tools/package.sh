#!/usr/bin/env bash
# Builds the release packages from the last commit, not from the working tree:
#   build/Hedgeloom-<version>-win64.zip, and -win32 where the i686 compiler exists,
# each holding Hedgeloom.exe, README.md, LICENSE, NOTES.txt (what was done with
# this executable) and the administrative templates (PolicyDefinitions/) in a
# folder of the same name.
#   tools/package.sh --check   packages twice from scratch and fails unless the bytes agree
# Two runs on the same commit give the same bytes: the sources come from
# `git archive`, the linker writes no time stamp, paths are mapped away, and
# every file and zip entry carries the commit's time, in sorted order.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "${1:-}" = --check ]; then
  tools/package.sh
  first=$(sha256sum build/Hedgeloom-*.zip)
  tools/package.sh >/dev/null
  if [ "$(sha256sum build/Hedgeloom-*.zip)" = "$first" ]; then
    echo "package: a second run gave the same bytes"
    exit 0
  fi
  echo "package: a second run gave other bytes" >&2
  exit 1
fi
work=build/package
version=$(sed -n 's/^project(Hedgeloom VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C
umask 022

rm -rf "$work"
mkdir -p "$work/src"
git archive --format=tar HEAD | tar -x -C "$work/src"

notes() {  # arch: how far the executable of that package was tested
  echo "Hedgeloom $version, $1"
  echo
  case $1 in
    win64)
      echo "This Hedgeloom.exe (x86-64) is the build that is tested end to end: its"
      echo "tests drive the real program under Wine and check the registry it leaves." ;;
    win32)
      echo "This Hedgeloom.exe (32-bit x86) is built from the same sources as the"
      echo "64-bit one, with all warnings on and at zero. The end-to-end tests are run"
      echo "against it under Wine on build machines whose kernel runs 32-bit programs;"
      echo "where it does not, it is only compiled, and the 64-bit Hedgeloom.exe, which"
      echo "is tested end to end everywhere, is the one to prefer." ;;
  esac
  echo
  echo "It is one file that needs only the DLLs of Windows itself. See README.md."
}

package() {  # arch, toolchain file
  local arch=$1 toolchain=$2 name="Hedgeloom-$version-$1"
  local build="$root/$work/build-$arch" stage="$root/$work/stage/$name"
  cmake -S "$work/src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/$work/src/$toolchain" \
    -DHEDGELOOM_TESTS=OFF -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root/$work/src=." \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,--no-insert-timestamp" >/dev/null
  cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target Hedgeloom >/dev/null
  mkdir -p "$stage"
  cp "$build/Hedgeloom.exe" "$work/src/README.md" "$work/src/LICENSE" "$stage/"
  # The administrative templates, laid out as the central store holds them.
  mkdir -p "$stage/PolicyDefinitions/en-US"
  cp "$work/src/res/policy/Hedgeloom.admx" "$stage/PolicyDefinitions/"
  cp "$work/src/res/policy/en-US/Hedgeloom.adml" "$stage/PolicyDefinitions/en-US/"
  notes "$arch" >"$stage/NOTES.txt"
  find "$stage" -type f -exec chmod 644 {} + -o -type d -exec chmod 755 {} +
  find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
  rm -f "build/$name.zip"
  (cd "$work/stage" && find "$name" -type f | sort | zip -q -X -D -@ "$root/build/$name.zip")
  echo "package: build/$name.zip ($(stat -c %s "build/$name.zip") bytes, sha256 $(sha256sum "build/$name.zip" | cut -c1-16)...)"
}

package win64 cmake/mingw-w64-x86_64.cmake
if command -v i686-w64-mingw32-g++-posix >/dev/null; then
  package win32 cmake/mingw-w64-i686.cmake
else
  echo "package: no i686 MinGW-w64 compiler; the 32-bit package is skipped" >&2
fi
