#!/usr/bin/env bash
# The settings window on a screen of its own: its own display and Wine prefix with LogPixels set.
# Exits non-zero, saying why, when the window could not be shown or a check failed.
# Usage: tests/e2e/settings_shots.sh DPI BUILD_DIR SCREEN [MODE]
#   no MODE        the four pages, build/e2e-shots/settings-pageN-<dpi>dpi.png, for a person to
#                  look at; the whole window must lie inside the monitor's work area
#   short          a work area too short for the window at DPI (_NET_WORKAREA, as a taskbar or
#                  a panel sets it): the window is laid out smaller and lies inside it
#   high-contrast  a dark system colour scheme, high contrast forced on through the program's
#                  seam: settings-page0-high-contrast.png, where none of our own colours remains
set -uo pipefail
cd "$(dirname "$0")/../.."
dpi=${1:?dpi}
build=${2:?build}
screen=${3:?screen}
mode=${4:-}
source tests/e2e/lib.sh
source tests/e2e/settings_cases.sh
trap e2e_stop EXIT
E2E_SCREEN=${screen}x24 e2e_start || exit 1
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >"$E2E_DIR/dpi.reg"
if [[ $mode == high-contrast ]]; then
  # Black and yellow, none of it a colour of ours (white included): whatever of ours is left shows.
  cat >>"$E2E_DIR/dpi.reg" <<'REG'

[HKEY_CURRENT_USER\Control Panel\Colors]
"ActiveBorder"="0 0 0"
"ActiveTitle"="128 0 128"
"AppWorkSpace"="0 0 0"
"Background"="0 0 0"
"ButtonAlternateFace"="0 0 0"
"ButtonDkShadow"="128 128 128"
"ButtonFace"="0 0 0"
"ButtonHilight"="192 192 192"
"ButtonLight"="128 128 128"
"ButtonShadow"="128 128 128"
"ButtonText"="255 255 0"
"GradientActiveTitle"="128 0 128"
"GradientInactiveTitle"="0 128 0"
"GrayText"="63 242 63"
"Hilight"="26 235 255"
"HilightText"="0 0 0"
"HotTrackingColor"="255 255 0"
"InactiveBorder"="0 0 0"
"InactiveTitle"="0 128 0"
"InactiveTitleText"="255 255 0"
"InfoText"="255 255 0"
"InfoWindow"="0 0 0"
"Menu"="0 0 0"
"MenuBar"="0 0 0"
"MenuHilight"="26 235 255"
"MenuText"="255 255 0"
"Scrollbar"="0 0 0"
"TitleText"="255 255 0"
"Window"="0 0 0"
"WindowFrame"="255 255 0"
"WindowText"="255 255 0"
REG
  export TONVIRA_HIGH_CONTRAST=1
fi
"$E2E_WINE" regedit "$E2E_DIR/dpi.reg" >/dev/null 2>&1
wineserver -w
if [[ $mode == short ]]; then
  # Root window properties last only while a client is connected: one stays until the end.
  xprop -root -spy _NET_WORKAREA >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  sleep 0.3
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, ${screen%x*}, 700"
fi

prog="$E2E_DIR/program"
mkdir -p "$prog" build/e2e-shots
cp "$build/program/tonvira.exe" "$prog/"
cp -r data "$prog/data"
log="$E2E_DIR/tonvira.log"
TONVIRA_LOG=$(e2e_winpath "$log") e2e_run "$E2E_DIR/tonvira.out" "$prog/tonvira.exe" --settings
if ! settings_origin; then
  e2e_log "settings at $dpi dpi ($screen${mode:+, $mode}): no settings window"
  exit 1
fi
problems=""
[[ $win_dpi -eq $dpi ]] || problems+=" window dpi $win_dpi;"

# The whole window, frame included, inside the work area of its monitor.
"$E2E_WINE" "$text_exe" rect TonviraSettings "$(e2e_winpath "$E2E_DIR/rect.txt")" >/dev/null 2>&1
"$E2E_WINE" "$text_exe" workarea - "$(e2e_winpath "$E2E_DIR/work.txt")" >/dev/null 2>&1
read -r x y w h _ <"$E2E_DIR/rect.txt"
read -r wx wy ww wh <"$E2E_DIR/work.txt"
e2e_log "settings at $dpi dpi ($screen${mode:+, $mode}): window ${w}x$h at $x,$y, work area ${ww}x$wh at $wx,$wy;" \
  "$(grep -m1 '^cai dat: mo' "$log")"
if [[ -z ${wh:-} || -z ${h:-} ]] || ((x < wx || y < wy || x + w > wx + ww || y + h > wy + wh)); then
  problems+=" the window is not inside the work area;"
fi

case $mode in
  short) ;;
  high-contrast)
    sleep 1
    shot="build/e2e-shots/settings-page0-high-contrast.png"
    width=$((600 * dpi / 96)) height=$((650 * dpi / 96))
    # The client area, the program's icon (a picture, not a colour of the window) painted over.
    import -window root -crop "${width}x${height}+$win_x+$win_y" +repage "$shot" 2>/dev/null
    left=$((22 * dpi / 96)) top=$((18 * dpi / 96)) right=$((62 * dpi / 96)) bottom=$((58 * dpi / 96))
    histogram=$(convert "$shot" -fill black -draw "rectangle $left,$top $right,$bottom" -alpha off -format %c histogram:info:- 2>/dev/null)
    pixels() { grep -Ei "#$1( |$)" <<<"$histogram" | awk -F: '{s += $1} END {print s + 0}'; }
    ours=0
    for colour in F3F4F6 1F2328 6B7280 0076B2 00669A E6F2F8 E5E5EB B45309 2563EB; do
      count=$(pixels "$colour")
      ((count > 0)) && e2e_log "high contrast: $count pixels of #$colour"
      ours=$((ours + count))
    done
    ((ours <= 20)) || problems+=" $ours pixels in our own colours;"
    # Our white is the card's and the buttons' fill; under Wine the inside of a check box and a
    # radio button stays white whatever the scheme says: those few hundred pixels are allowed.
    white=$(pixels FFFFFF)
    ((white * 100 <= width * height)) || problems+=" $white white pixels;"
    black=$(pixels 000000)
    ((black * 2 >= width * height)) || problems+=" the scheme's window colour on only $black pixels;"
    ;;
  *)
    for page in 0 1 2 3; do
      show_tab "$page" || problems+=" tab $page not shown;"
      sleep 0.5
      shot="build/e2e-shots/settings-page$page-${dpi}dpi.png"
      width=$((600 * dpi / 96)) height=$((650 * dpi / 96))
      import -window root -crop "${width}x${height}+$win_x+$win_y" +repage "$shot" 2>/dev/null ||
        problems+=" no screenshot of page $page;"
    done
    ;;
esac
if [[ -n $problems ]]; then
  e2e_log "settings at $dpi dpi ($screen${mode:+, $mode}):$problems"
  exit 1
fi
