#!/usr/bin/env bash
# End to end on a Linux desktop: the .deb unpacked (never installed system-wide), the fcitx5
# daemon loading the addon from it on a private D-Bus session under Xvfb, a GTK 3 application
# with fcitx5's GTK input-method module, and xdotool typing Telex into it. What the application
# received is read back and compared; a screenshot is kept in build/e2e-shots/.
#
#   tests/fcitx5/e2e/run.sh PACKAGE.deb [SHOTS_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
package=$1
shots=${2:-$here/../../../build/e2e-shots}
work=$(mktemp -d /tmp/tonvira-fcitx5-e2e.XXXXXX)
fail() {
  echo "FAIL fcitx5: $*"
  exit 1
}
# No step fails silently: the command that failed is named.
trap 'echo "FAIL fcitx5: \"${BASH_COMMAND%%$'"'"'\n'"'"'*}\" failed (line $LINENO)"' ERR
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root" "$work/config/fcitx5" "$shots"
dpkg-deb -x "$package" "$work/root"
addons=$(dirname "$(find "$work/root" -name libtonvira.so | head -1)")

# The user's group: the keyboard first (off), Tonvira second, switched on by the trigger key.
cat >"$work/config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=tonvira

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=tonvira
Layout=

[GroupOrder]
0=Default
PROFILE

# A display no other server holds: Xvfb picks it and writes its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
display=:$(head -n 1 "$work/display")

export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_DATA_DIRS=$work/root/usr/share:/usr/share
export FCITX_ADDON_DIRS=$addons:/usr/lib/x86_64-linux-gnu/fcitx5 TONVIRA_SHARE_DIR=$work/root/usr/share/tonvira
export WORK=$work SHOTS=$shots
# At 96 and 144 DPI (GTK's text scale 1 and 1.5); the second run finds the user's files made by
# the first.
for dpi in 96 144; do
export DPI=$dpi SCALE=$([[ $dpi == 96 ]] && echo 1 || echo 1.5)
# shellcheck disable=SC2016
dbus-run-session -- bash -euo pipefail -c '
trap "kill \$(jobs -p) 2>/dev/null || true; wait" EXIT  # the daemon and the application end with the run
trap "echo \"FAIL fcitx5 at \$DPI DPI: \\\"\$BASH_COMMAND\\\" failed (line \$LINENO)\"" ERR
fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,tonvira >"$WORK/fcitx5.log" 2>&1 &
for _ in $(seq 50); do grep -q "Found 1 input method(s) in addon tonvira" "$WORK/fcitx5.log" && break; sleep 0.1; done
GTK_IM_MODULE=fcitx NO_AT_BRIDGE=1 GDK_DPI_SCALE=$SCALE /usr/bin/python3 '"$here"'/gtk_field.py "$WORK/out-$DPI.txt" \
  >"$WORK/gtk.log" 2>&1 &
window=
for _ in $(seq 100); do
  window=$(xdotool search --name "Tonvira fcitx5 field" 2>/dev/null | head -1) && [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "FAIL fcitx5: the GTK window did not come"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key ctrl+space  # the trigger key switches Tonvira on
sleep 0.3
type() { xdotool type --delay 40 "$1"; }
type "tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj Nam."
xdotool key Return
type "Anh xem lai cais slide nayf nhes, test file nhes."
xdotool key Return
type "Vawn hoaf "
xdotool key BackSpace  # takes "hòa" back: the tone typed next corrects it in place
sleep 0.3
import -display "$DISPLAY" -window root "$SHOTS/fcitx5-gtk-preedit-$DPI.png"  # the word back as preedit
type "s. "
want=$(printf "tiếng Việt là ngôn ngữ của người Việt Nam.\nAnh xem lai cái slide này nhé, test file nhé.\nVăn hóa. ")
got=
for _ in $(seq 50); do
  got=$(cat "$WORK/out-$DPI.txt" 2>/dev/null || true)
  [[ $got == "$want" ]] && break
  sleep 0.1
done
import -display "$DISPLAY" -window root "$SHOTS/fcitx5-gtk-$DPI.png"
if [[ $got == "$want" ]]; then
  echo "PASS fcitx5 at $DPI DPI: two sentences (one with English words) and a backspace edit typed into a GTK application"
else
  echo "FAIL fcitx5: the GTK application received:"
  printf "%s\n-- wanted:\n%s\n-- fcitx5 log:\n" "$got" "$want"
  tail -n 20 "$WORK/fcitx5.log"
  exit 1
fi
'
done
