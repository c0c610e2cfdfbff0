#!/usr/bin/env bash
# Builds Hedgeloom if needed and runs it under Wine on the prefix build/wine-run,
# which gets a few sample typed addresses the first time.
# With a display the window simply opens. Without one the program runs on a
# virtual screen: the script saves build/screenshot.png, closes the window as
# "Exit" does, and prints the typed-address key and the profile as left behind.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/win64"

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
wine_build_program
interactive=${DISPLAY:-}
wine_env_start run
trap wine_env_stop EXIT

typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
profile='HKCU\Software\Corvanta\Hedgeloom\TypedUrls'
explorer='HKCU\Software\Wine\Explorer'
if [ ! -f "$WINEPREFIX/.hedgeloom-sample" ]; then
  sample="Z:${root//\//\\}\\tools\\sample-history.reg"
  "$WINE" reg import "$sample" >/dev/null 2>&1
  touch "$WINEPREFIX/.hedgeloom-sample"
fi

ctl() { "$WINE" "$build/windowctl.exe" "$@"; }

if [ -n "$interactive" ]; then
  if "$WINE" reg query "$explorer" /v Desktop >/dev/null 2>&1; then
    "$WINE" reg delete "$explorer" /v Desktop /f >/dev/null
    # The virtual screen of a run without display lives on in the session: start a fresh one.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p >/dev/null 2>&1
  fi
  "$WINE" "$build/Hedgeloom.exe"
  exit 0
fi

# A virtual screen, so that Wine draws the window's frame and caption itself.
"$WINE" reg add "$explorer" /v Desktop /d Hedgeloom /f >/dev/null
"$WINE" reg add "$explorer\\Desktops" /v Hedgeloom /d 680x410 /f >/dev/null
started="$root/build/run-start-ms.txt"
ctl start "$build/Hedgeloom.exe" >"$started" &
program=$!
ctl wait Hedgeloom 20000
sleep 1   # let the list draw its rows
import -window root -crop 680x410+0+0 +repage "$root/build/screenshot.png"
ctl command Hedgeloom 2
wait "$program"
echo "Main window shown $(tr -d '\r' <"$started") ms after start; screenshot in build/screenshot.png"
echo
"$WINE" reg query "$typed" | tr -d '\r'
"$WINE" reg query "$profile" | tr -d '\r' || echo "(no profile)"
