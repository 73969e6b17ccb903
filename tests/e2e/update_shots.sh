#!/usr/bin/env bash
# Screenshots of the update window at one DPI, for a person to look at:
# build/e2e-shots/update-window-mandatory-<dpi>dpi.png (opened by itself at a hand start, a
# mandatory update ready) and update-window-optional-<dpi>dpi.png (opened from the tray menu's
# item, an optional update ready); at 96 DPI also update-balloon.png, the required-update notice
# above the icon in a desktop with a taskbar. Its own display, Wine prefix with LogPixels set, and
# a loopback update server. The program is copied under Program Files, so it counts as installed.
# Exits non-zero, saying why, when a window could not be shown.
# Usage: tests/e2e/update_shots.sh DPI [BUILD_DIR]
set -uo pipefail
cd "$(dirname "$0")/../.."
dpi=${1:?dpi}
build=${2:-build/windows}
post_exe="$build/tests/e2e/tonvira_post_command.exe"
text_exe="$build/tests/e2e/tonvira_window_text.exe"
source tests/e2e/lib.sh
source tests/e2e/update_cases.sh
source tests/e2e/update_install_cases.sh
trap 'stop_server; e2e_stop' EXIT
export TONVIRA_SERVER=127.0.0.1:9
E2E_SCREEN=1600x1200x24 e2e_start || exit 1
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >"$E2E_DIR/dpi.reg"
"$E2E_WINE" regedit "$E2E_DIR/dpi.reg" >/dev/null 2>&1
wineserver -w

installed="$WINEPREFIX/drive_c/Program Files/Tonvira"
mkdir -p "$installed" build/e2e-shots
cp "$build/program/tonvira.exe" "$installed/"
cp -r data "$installed/data"
served="$E2E_DIR/served"
package="$E2E_DIR/tonvira-1.4.13-x64.msi"
cp "$build/program/tonvira.exe" "$package"  # any bytes: nothing is installed here
problems=""

# start NAME [--autostart]: the program from Program Files, its trace in tonvira-NAME.log.
start() {
  log="$E2E_DIR/tonvira-$1.log"
  TONVIRA_LOG=$(e2e_winpath "$log") e2e_run "$E2E_DIR/tonvira-$1.out" "$installed_exe" "${@:2}"
  e2e_wait_for 30 "$E2E_WINE" "$post_exe" 0 >/dev/null 2>&1
}
stop() {
  "$E2E_WINE" "$post_exe" 1002 >/dev/null 2>&1
  e2e_wait_for 20 bash -c "! '$E2E_WINE' '$post_exe' 0 >/dev/null 2>&1"
}
# shot NAME: the update window once it is up with button 501.
shot() {
  if e2e_wait_for 30 "$E2E_WINE" "$text_exe" shown TonviraUpdate 501 >/dev/null 2>&1; then
    sleep 1
    update_window_shot "build/e2e-shots/update-window-$1-${dpi}dpi.png" || problems+=" no screenshot of $1;"
  else
    problems+=" no $1 update window;"
  fi
}

# Mandatory: a hand start opens the window by itself once the package is ready.
publish "$served" "$package" 1.4.13 20 1.4.13
serve_folder "$served"
start mandatory
shot mandatory
stop

# Optional: no minimum; the tray menu's item opens the window.
publish "$served" "$package" 1.4.13 21 ""
start optional --autostart
if e2e_wait_for 30 grep -q '^cap nhat: kind 2,' "$log"; then
  "$E2E_WINE" "$post_exe" 1007 >/dev/null 2>&1
  shot optional
else
  problems+=" the optional update was never ready;"
fi
stop

# The required notice above the icon, in a desktop with a taskbar: it waits for the user to be
# there, so a key is pressed once the update is known.
if [[ $dpi -eq 96 ]]; then
  "$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  "$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
  publish "$served" "$package" 1.4.13 22 1.4.13
  start balloon --autostart
  if e2e_wait_for 30 grep -q '^cap nhat: kind 3,' "$log"; then
    xdotool key shift
    if e2e_wait_for 15 grep -q '^thong bao.*: Tonvira cần được cập nhật' "$log"; then
      sleep 2
      import -window root -crop 1024x768+0+0 +repage build/e2e-shots/update-balloon.png 2>/dev/null ||
        problems+=" no screenshot of the notice;"
    else
      problems+=" no required-update notice;"
    fi
  else
    problems+=" the mandatory update was never ready in the desktop;"
  fi
  stop
fi
stop_server
if [[ -n $problems ]]; then
  e2e_log "update shots at $dpi dpi:$problems"
  exit 1
fi
