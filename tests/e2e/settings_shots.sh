#!/usr/bin/env bash
# Screenshots of the settings window's four pages at one DPI, for a person to look at:
# build/e2e-shots/settings-pageN-<dpi>dpi.png. Its own display (large enough for 144 DPI) and
# Wine prefix with LogPixels set. Exits non-zero, saying why, when a page could not be shown.
# Usage: tests/e2e/settings_shots.sh DPI [BUILD_DIR]
set -uo pipefail
cd "$(dirname "$0")/../.."
dpi=${1:?dpi}
build=${2:-build/windows}
source tests/e2e/lib.sh
source tests/e2e/settings_cases.sh
trap e2e_stop EXIT
E2E_SCREEN=1600x1200x24 e2e_start || exit 1
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >"$E2E_DIR/dpi.reg"
"$E2E_WINE" regedit "$E2E_DIR/dpi.reg" >/dev/null 2>&1
wineserver -w

prog="$E2E_DIR/program"
mkdir -p "$prog" build/e2e-shots
cp "$build/app/tonvira.exe" "$prog/"
cp -r data "$prog/data"
TONVIRA_LOG=$(e2e_winpath "$E2E_DIR/tonvira.log") e2e_run "$E2E_DIR/tonvira.out" "$prog/tonvira.exe" --settings
if ! settings_origin; then
  e2e_log "settings shots at $dpi dpi: no settings window"
  exit 1
fi
problems=""
[[ $win_dpi -eq $dpi ]] || problems+=" window dpi $win_dpi;"
for page in 0 1 2 3; do
  show_tab "$page" || problems+=" tab $page not shown;"
  sleep 0.5
  # The window alone: its frame and client area.
  shot="build/e2e-shots/settings-page$page-${dpi}dpi.png"
  width=$((600 * dpi / 96)) height=$((650 * dpi / 96))
  import -window root -crop "${width}x${height}+$win_x+$win_y" +repage "$shot" 2>/dev/null ||
    problems+=" no screenshot of page $page;"
done
if [[ -n $problems ]]; then
  e2e_log "settings shots at $dpi dpi:$problems"
  exit 1
fi
