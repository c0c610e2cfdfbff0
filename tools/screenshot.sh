#!/usr/bin/env bash
# Pictures for the documentation: docs/main-window.png, docs/main-window-menu.png
# (the list's context menu on a few selected rows) and docs/about-box.png
# (the About box as "About.." opens it) at the normal scale of 96 DPI, and the
# main window again at 120 and 144 DPI (docs/main-window-120dpi.png, ...-144dpi.png),
# taken under Xvfb on a Wine virtual screen, from the sample typed addresses, on
# the prefix build/wine-shot.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/win64"

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
wine_build_program
HL_FORCE_XVFB=1 wine_env_start shot
trap wine_env_stop EXIT

# The same pictures every time: the sample history and nothing else.
"$WINE" reg delete 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' /f >/dev/null 2>&1 || true
"$WINE" reg delete 'HKCU\Software\Corvanta\Hedgeloom' /f >/dev/null 2>&1 || true
"$WINE" reg import "Z:${root//\//\\}\\tools\\sample-history.reg" >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Hedgeloom /f >/dev/null
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Hedgeloom /d 1024x768 /f >/dev/null

ctl() { "$WINE" "$build/windowctl.exe" "$@" | tr -d '\r'; }
shoot() {  # caption, file: the window's own rectangle of the virtual screen
  sleep 1
  import -window root -crop "$(ctl rect "$1")" +repage "$2"
}

scale() {  # dpi: the scale that programs started from now on see
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

mkdir -p "$root/docs"
for dpi in 120 144; do
  scale "$dpi"
  ctl start "$build/Hedgeloom.exe" >/dev/null &
  program=$!
  ctl wait Hedgeloom 20000
  shoot Hedgeloom "$root/docs/main-window-${dpi}dpi.png"
  ctl command Hedgeloom 2
  wait "$program"
done

scale 96
ctl start "$build/Hedgeloom.exe" >/dev/null &
program=$!
ctl wait Hedgeloom 20000
shoot Hedgeloom "$root/docs/main-window.png"
ctl menu Hedgeloom 1 3
shoot Hedgeloom "$root/docs/main-window-menu.png"
ctl key Hedgeloom 27
ctl command Hedgeloom 1004
ctl wait "About Hedgeloom" 10000
shoot "About Hedgeloom" "$root/docs/about-box.png"
ctl command "About Hedgeloom" 1
ctl gone "About Hedgeloom" 10000
ctl command Hedgeloom 2
wait "$program"
echo "docs/main-window.png, docs/main-window-menu.png, docs/main-window-120dpi.png, docs/main-window-144dpi.png and docs/about-box.png written"
