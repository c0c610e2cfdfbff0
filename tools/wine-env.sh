# Sourced by the scripts that run Windows programs: a private Wine prefix under
# build/, a display (Xvfb when there is none), and one wineserver kept alive.
#   wine_env_start PREFIX_NAME   sets WINEPREFIX, DISPLAY, WINE; starts what is missing
#   wine_env_stop                ends what wine_env_start started
#   wine_build_program           sets up the machine and builds Hedgeloom.exe and windowctl.exe
# shellcheck shell=bash

HL_ROOT=${HL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
WINE=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko install prompts

hl_started_xvfb=""

wine_build_program() {
  local build="$HL_ROOT/build/win64"
  "$HL_ROOT/tools/setup.sh"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$HL_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$HL_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  fi
  cmake --build "$build" --target Hedgeloom windowctl -j2 >/dev/null
}

wine_env_start() {
  export WINEPREFIX="$HL_ROOT/build/wine-$1"
  if [ -z "${DISPLAY:-}" ] || [ -n "${HL_FORCE_XVFB:-}" ]; then
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      hl_started_xvfb=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      break
    done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: preparing $WINEPREFIX (once, about 10 s)" >&2
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
  fi
  # Wine draws the caption buttons with Marlett, which it does not find in its
  # own font directory here; a copy in the prefix is found.
  local font=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$font" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  "$WINESERVER" -p >/dev/null 2>&1   # stays up between programs: each start is then cheap
}

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$hl_started_xvfb" ]; then
    kill "$hl_started_xvfb" 2>/dev/null || true
    wait "$hl_started_xvfb" 2>/dev/null || true
    hl_started_xvfb=""
  fi
}
