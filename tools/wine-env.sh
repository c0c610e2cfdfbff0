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
HL_WINE_FONTS=/usr/share/wine/fonts          # Debian's fonts-wine
HL_WINE32_LOADER=/usr/lib/wine/wine          # there once wine32:i386 is installed

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
    # Xvfb picks a free display itself and writes its number: runs started side
    # by side never share a screen (their clicks and keys would cross).
    local number i
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    hl_started_xvfb=$!
    for i in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
    export DISPLAY=":$(tr -dc 0-9 <"$number")"
    rm -f "$number"
  fi
  # A prefix made before the 32-bit Wine was installed never runs 32-bit programs,
  # and the 32-bit launcher cannot even start 64-bit ones in it: make it again.
  local kind=64
  [ -x "$HL_WINE32_LOADER" ] && kind=64+32
  if [ "$kind" = 64+32 ] && [ -f "$WINEPREFIX/system.reg" ] &&
     [ "$(cat "$WINEPREFIX/.hedgeloom-kind" 2>/dev/null)" != "$kind" ]; then
    echo "wine: remaking $WINEPREFIX for this machine's Wine ($kind-bit)" >&2
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: preparing $WINEPREFIX (once, about 10 s)" >&2
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
    echo "$kind" >"$WINEPREFIX/.hedgeloom-kind"
  fi
  # The same faces in every prefix, whatever else the machine has: where Wine
  # does not find these itself it falls back to some TrueType face of the
  # machine's, and the dialogs come out another size. MS Sans Serif is the
  # templates' face, Tahoma that of menus and message boxes, Marlett draws the
  # caption buttons and check marks.
  local font
  for font in sserife.fon tahoma.ttf tahomabd.ttf marlett.ttf; do
    if [ -f "$HL_WINE_FONTS/$font" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/$font" ]; then
      cp "$HL_WINE_FONTS/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
  done
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
