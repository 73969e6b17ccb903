# The notification-area cases, sourced by run.sh after the other cases (it uses their pass, fail,
# new_program, start_tonvira, close_editor and expect). Wine draws a taskbar only inside a
# virtual desktop, so from here on every program of the prefix starts in one named desktop.
# What a user sees is checked on screenshots: the icon's colour in the notification area, the
# balloon above it; the menu's items are read back from the real menu through the trace.
# shellcheck shell=bash

helper() { "$E2E_WINE" "$helper_exe" "$@"; }
shots=build/e2e-shots
mkdir -p "$shots"

# A plain "wine prog.exe" now opens (or joins) the desktop "shell", and its exit code comes back,
# which "wine explorer /desktop=..." would swallow.
"$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1

# The right end of the taskbar at 1024x768, where the notification area draws the icons.
tray_area=128x24+896+744
tray_left=896
tray_top=744
shot="$E2E_DIR/tray.png"
# The icon's square in its three looks, as the user sees them.
colour_on='#1A4FD6'
colour_off='#6B7280'

# tray_pixels COLOUR: pixels of exactly COLOUR in the notification area of the last screenshot.
tray_pixels() {
  convert "$shot" -crop "$tray_area" +repage -fill black +opaque "$1" -fill white -opaque "$1" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# tray_shows on|off|none: a fresh screenshot shows the blue "V", the grey "E", or no icon (a
# 16x16 square holds about 200 pixels of its colour around the letter).
tray_shows() {
  e2e_screenshot "$shot"
  local on off
  on=$(tray_pixels "$colour_on")
  off=$(tray_pixels "$colour_off")
  tray_seen="blue $on, grey $off"
  case $1 in
    on) [[ $on -ge 100 && $off -lt 10 ]] ;;
    off) [[ $off -ge 100 && $on -lt 10 ]] ;;
    any) [[ $on -ge 100 || $off -ge 100 ]] ;;
    none) [[ $on -lt 10 && $off -lt 10 ]] ;;
  esac
}

# tray_click BUTTON: a real click on the icon, wherever the taskbar put it.
tray_click() {
  e2e_screenshot "$shot"
  local colour=$colour_on where
  [[ $(tray_pixels "$colour_on") -ge 100 ]] || colour=$colour_off
  where=$(convert "$shot" -crop "$tray_area" +repage -fill black +opaque "$colour" -fill white -opaque "$colour" \
    -trim -format '%[fx:round(page.x+w/2)] %[fx:round(page.y+h/2)] %w' info: 2>/dev/null)
  local x y width
  read -r x y width <<<"$where"
  [[ ${width:-1} -ge 8 ]] || { e2e_log "no tray icon to click"; return 1; }
  xdotool mousemove $((tray_left + x)) $((tray_top + y)) click "$1"
}

# Starts the test editor in the desktop and gives it the keyboard: the Win32 foreground from
# the helper (X cannot activate a window inside the desktop), and the X focus on the editor's
# own X window, through which X delivers the keys.
tray_open_editor() {
  edit_out="$E2E_DIR/edit-$1.txt"
  rm -f "$edit_out"
  e2e_run "$E2E_DIR/edit-$1.log" "$edit_exe" "$(e2e_winpath "$edit_out")"
  edit_pid=$E2E_LAST_PID
  e2e_wait_for 30 test -f "$edit_out" || { kill "$edit_pid" 2>/dev/null; return 1; }
  tray_focus_editor
}
tray_focus_editor() {
  local window
  window=$(xdotool search --sync --limit 1 --name "Tonvira test edit") || return 1
  e2e_wait_for 20 helper focus-editor || { e2e_log "the editor did not come forward: $(helper foreground)"; return 1; }
  xdotool windowfocus --sync "$window" 2>/dev/null
  e2e_wait_for 10 bash -c "[[ \$(xdotool getwindowfocus) == $window ]]"
}

# Each case starts with Vietnamese on, whatever an earlier failing case left: a Ctrl+Shift tap
# in the editor switches it back.
tray_ensure_on() {
  tray_shows on && return 0
  xdotool key ctrl+shift
  e2e_wait_for 10 tray_shows on
}

# The trace lines of the menu opened last.
menu_count() { grep -c '^menu: ' "$tray_log"; }
# Opens the menu with a right click on the icon and collects its trace lines in menu_lines.
tray_open_menu() {
  local mark
  mark=$(menu_count)
  tray_click 3 || return 1
  e2e_wait_for 15 helper menu-open || { e2e_log "no menu on the screen"; return 1; }
  e2e_wait_for 10 bash -c "[[ \$(grep -c '^menu: ' '$tray_log') -ge $((mark + ${1:-10})) ]]"
  menu_lines=$(grep '^menu: ' "$tray_log" | tail -n +$((mark + 1)) | tr -d '\r')
}
# Gives the open menu the keyboard: X delivers keys through the X window that has the X focus,
# and inside the desktop each top-level window, the menu too, has one of its own (found by its
# place and size). The pointer then rests on the menu's last line, "Thoát Tonvira", until it is
# highlighted, so the menu has surely taken its first input and its selection is known.
tray_hover_menu() {
  local rect l t r b id geometry
  rect=$(helper menu-rect) || return 1
  read -r l t r b <<<"$rect"
  for id in $(xdotool search --classname 'tonvira.exe' 2>/dev/null); do
    geometry=$(xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
      /Width/ {w=$NF} /Height/ {h=$NF} /Map State/ {m=$NF} END {print x, y, w, h, m}')
    [[ $geometry == "$l $t $((r - l)) $((b - t)) IsViewable" ]] && xdotool windowfocus "$id" 2>/dev/null
  done
  xdotool mousemove $((l + 40)) $((b - 10))
  e2e_wait_for 10 bash -c "import -window root '$shot' 2>/dev/null &&
    [[ \$(convert '$shot' -crop $((r - l))x$((b - t))+$l+$t +repage -fill black +opaque '#3096FA' \
      -fill white -opaque '#3096FA' -format '%[fx:round(mean*w*h)]' info:) -ge 200 ]]"
}
# tray_choose UPS: chooses an item from the menu with the keyboard, UPS lines up from the last
# one (separators are skipped).
tray_choose() {
  tray_open_menu || return 1
  tray_hover_menu || { e2e_log "the menu line under the pointer was never highlighted"; return 1; }
  local keys=() i
  for ((i = 0; i < $1; ++i)); do keys+=(Up); done
  xdotool key --delay 150 "${keys[@]}" Return
  e2e_wait_for 10 helper menu-closed
}

# The menu for a plain field, Vietnamese on, context and smart on, hotkey mode 1, in its order.
expected_menu="menu: 1003 g Ô nhập này: Tự quyết định
menu: -
menu: 1001 c Bật bộ gõ	Ctrl+Shift
menu: 1005 c Tự nhận biết ngữ cảnh
menu: 1006 c Đoán thông minh
menu: -
menu: 1008 - Bỏ dấu văn bản đã sao chép
menu: 1004 - Mở bảng điều khiển…
menu: -
menu: 1002 - Thoát Tonvira"

new_program tray
start_tonvira tray
tray_log="$E2E_DIR/tonvira-tray.log"

# Case: the icon is there after start with the blue "V", and a Ctrl+Shift tap turns it into
# the grey "E" (the keys typed show the switch took effect).
if ! tray_open_editor icon; then
  fail "tray icon shows V then E" "the editor did not start in the desktop"
else
  if ! e2e_wait_for 20 tray_shows on; then
    fail "tray icon shows V then E" "no blue V after start ($tray_seen)"
  else
    cp "$shot" "$shots/tray-icon-on.png"
    xdotool type --delay 40 "vieetj "
    xdotool key ctrl+shift
    if e2e_wait_for 10 tray_shows off; then
      cp "$shot" "$shots/tray-icon-off.png"
      xdotool type --delay 40 "vieetj"
      expect "tray icon shows V then E" "việt vieetj"
    else
      fail "tray icon shows V then E" "no grey E after Ctrl+Shift ($tray_seen)"
    fi
  fi
  close_editor
fi

# Case: a left click on the icon switches Vietnamese on, and another one off again; the user
# sees the icon change and the keys typed after each click.
if ! tray_open_editor click; then
  fail "tray left click toggles" "the editor did not start"
else
  tray_shows off || xdotool key ctrl+shift  # the case above may have stopped half-way
  e2e_wait_for 10 tray_shows off
  problem=""
  tray_click 1 && e2e_wait_for 10 tray_shows on || problem="no blue V after the first click ($tray_seen)"
  tray_focus_editor && xdotool type --delay 40 "vieetj "
  tray_click 1 && e2e_wait_for 10 tray_shows off || problem=${problem:-"no grey E after the second click ($tray_seen)"}
  tray_focus_editor && xdotool type --delay 40 "vieetj"
  if [[ -n $problem ]]; then fail "tray left click toggles" "$problem"; else expect "tray left click toggles" "việt vieetj"; fi
  tray_click 1 && e2e_wait_for 10 tray_shows on  # back on for the cases below
  close_editor
fi

# Case: a right click opens the menu with the items as Windows holds them, in order, checked
# and greyed as the settings say; the shot shows it open.
if ! tray_open_editor menu; then
  fail "tray menu items" "the editor did not start"
else
  tray_ensure_on
  if ! tray_open_menu; then
    fail "tray menu items" "the menu did not open (${menu_lines:-no trace})"
  else
    tray_hover_menu || e2e_log "the menu line under the pointer was never highlighted"
    e2e_screenshot "$shots/tray-menu.png"
    if [[ "$menu_lines" == "$expected_menu" ]]; then
      pass "tray menu items"
    else
      fail "tray menu items" "got:"$'\n'"$menu_lines"$'\n'"expected:"$'\n'"$expected_menu"
    fi
    xdotool key Escape
    e2e_wait_for 10 helper menu-closed || fail "tray menu closes on Escape" "still open"
  fi
  close_editor
fi

# Case: choosing "Đoán thông minh" from the menu turns smart mode off at once: the same keys
# that stayed an English word compose as Telex, and the setting is saved.
if ! tray_open_editor smart; then
  fail "tray menu smart" "the editor did not start"
else
  tray_ensure_on
  xdotool type --delay 40 "test "
  if ! e2e_wait_for 10 bash -c "[[ \"\$(cat '$edit_out')\" == 'test ' ]]"; then
    fail "tray menu smart" "with smart on: [$(cat "$edit_out")]"
  elif ! tray_choose 3; then
    fail "tray menu smart" "could not choose the item"
  else
    e2e_wait_for 10 grep -q '^smart=0' "$prog/data/settings.txt" || e2e_log "settings.txt does not say smart=0"
    tray_focus_editor
    xdotool type --delay 40 "test "
    if grep -q '^smart=0' "$prog/data/settings.txt"; then
      expect "tray menu smart" "test tét "
    else
      fail "tray menu smart" "settings.txt: $(grep '^smart=' "$prog/data/settings.txt")"
    fi
  fi
  close_editor
fi

# Case: when the shell restarts and broadcasts "TaskbarCreated", the icon comes back at once,
# not by the 3-second timer. The icon is taken away as a restarting shell loses it, and the
# broadcast follows. The timer would first notice the loss (a refresh the shell refuses,
# traced "hien 0") and add the icon at a later tick; the broadcast adds it straight away (its
# trace line, then a refresh the shell accepts). So the icon must be back on the screen, and the
# trace since the removal must read: the broadcast's line, then "hien 1", with no "hien 0"
# before. When a tick happened to fall between removal and broadcast, the round says nothing
# and is tried again; so does a removal the shell refused (seen once in a dozen runs).
taskbar_round() {  # prints why it failed; 0 passed, 1 failed, 2 inconclusive
  local mark trace
  mark=$(wc -l <"$tray_log")
  helper delete-icon || { echo "could not remove the icon"; return 2; }
  helper taskbar-created || { echo "could not broadcast"; return 1; }
  e2e_wait_for 10 tray_shows any || { echo "not back on the screen ($tray_seen)"; return 1; }
  trace=$(tail -n +$((mark + 1)) "$tray_log" | grep -E '^khay: (thanh tac vu|trang thai)' | tr -d '\r')
  if ! grep -q 'thanh tac vu tro lai' <<<"$trace"; then
    echo "the broadcast never reached the program"
    return 1
  fi
  # Before the broadcast's line: any timer refresh that noticed the loss makes the round moot.
  if sed '/thanh tac vu tro lai/q' <<<"$trace" | grep -q 'hien 0'; then
    echo "a timer tick came first"
    return 2
  fi
  if sed -n '/thanh tac vu tro lai/,$p' <<<"$trace" | sed -n 2p | grep -q 'hien 1'; then
    return 0
  fi
  echo "the broadcast did not bring it back: $(tr '\n' ' ' <<<"$trace")"
  return 1
}
taskbar_result=2
for attempt in 1 2 3 4 5; do
  why=$(taskbar_round)
  taskbar_result=$?
  [[ $taskbar_result -ne 2 ]] && break
  e2e_log "TaskbarCreated round $attempt inconclusive: $why"
  e2e_wait_for 10 tray_shows any
done
if [[ $taskbar_result -eq 0 ]]; then
  cp "$shot" "$shots/tray-icon-back.png"
  pass "tray comes back on TaskbarCreated"
else
  fail "tray comes back on TaskbarCreated" "$why"
fi
e2e_wait_for 10 tray_shows any

# Case: "Thoát Tonvira" from the menu ends the program, which writes settings.txt whole at
# exit: a line added by hand is gone, Vietnamese switched off by a click (not saved until then)
# is saved as off, and the smart mode chosen above stays off.
tray_ensure_on
tray_click 1 && e2e_wait_for 10 tray_shows off
printf 'stale_key=1\n' >>"$prog/data/settings.txt"
settings_written() {
  ! grep -q stale_key "$prog/data/settings.txt" && grep -q '^ver=145$' "$prog/data/settings.txt" &&
    grep -q '^enabled=0$' "$prog/data/settings.txt" && grep -q '^smart=0$' "$prog/data/settings.txt"
}
if ! tray_choose 0; then
  fail "tray menu exit writes settings" "could not choose the item"
elif ! e2e_wait_for 20 bash -c "! kill -0 $tonvira_pid 2>/dev/null"; then
  fail "tray menu exit writes settings" "still running"
elif ! settings_written; then
  fail "tray menu exit writes settings" "settings.txt: $(tr '\n' ' ' <"$prog/data/settings.txt")"
elif ! e2e_wait_for 10 tray_shows none; then
  fail "tray menu exit writes settings" "the icon stayed ($tray_seen)"
else
  pass "tray menu exit writes settings"
fi

# Case: in hotkey mode 2 the menu's toggle item carries no shortcut text, and Ctrl+Shift+Z
# (registered with Windows) turns the icon grey and blue again, with the keys typed between.
new_program tray-hotkey
sed -i 's/^hotkey_mode=.*/hotkey_mode=2/; s/^hotkey_char=.*/hotkey_char=Z/' "$prog/data/settings.txt"
start_tonvira tray-hotkey
tray_log="$E2E_DIR/tonvira-tray-hotkey.log"
if ! tray_open_editor tray-hotkey; then
  fail "tray hotkey ctrl+shift+z turns the icon" "the editor did not start"
else
  e2e_wait_for 20 tray_shows on
  if ! tray_open_menu; then
    fail "tray menu hotkey label" "the menu did not open"
  else
    toggle_line=$(sed -n 3p <<<"$menu_lines")
    if [[ $toggle_line == "menu: 1001 c Bật bộ gõ" ]]; then
      pass "tray menu hotkey label"
    else
      fail "tray menu hotkey label" "got [$toggle_line]"
    fi
    tray_hover_menu
    xdotool key Escape
    e2e_wait_for 10 helper menu-closed
  fi
  tray_focus_editor
  xdotool type --delay 40 "vieetj "
  problem=""
  xdotool key ctrl+shift+z
  e2e_wait_for 10 tray_shows off || problem="no grey E after Ctrl+Shift+Z ($tray_seen)"
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift+z
  e2e_wait_for 10 tray_shows on || problem=${problem:-"no blue V after the second Ctrl+Shift+Z ($tray_seen)"}
  xdotool type --delay 40 "vieetj"
  if [[ -n $problem ]]; then
    fail "tray hotkey ctrl+shift+z turns the icon" "$problem"
  else
    expect "tray hotkey ctrl+shift+z turns the icon" "việt vieetj việt"
  fi
  close_editor
fi

# The balloon of a notice above the icon: white where the desktop is blue.
balloon_shown() {
  e2e_screenshot "$shot"
  local white
  white=$(convert "$shot" -crop 424x80+600+664 +repage -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
  [[ ${white:-0} -ge 2000 ]]
}
# Case: "Bỏ dấu văn bản đã sao chép" with nothing on the clipboard tells the user so in a
# balloon. Last of the program's cases: the balloon stays a while over the menu's place.
# A tonvira.exe without the clipboard notices (its text "Bộ nhớ" in UTF-16 is missing) cannot
# pass it yet: then the helper raises a balloon on Tonvira's icon for the shot, and the case
# says it waits.
helper empty-clipboard
if LC_ALL=C grep -qaP 'B\x00\xD9\x1E \x00n\x00h\x00\xDB\x1E' "$prog/tonvira.exe"; then
  if ! tray_choose 2; then
    fail "tray menu clipboard notice balloon" "could not choose the item"
  elif e2e_wait_for 20 balloon_shown; then
    cp "$shot" "$shots/tray-balloon.png"
    pass "tray menu clipboard notice balloon"
  else
    fail "tray menu clipboard notice balloon" "no balloon above the icon"
  fi
else
  e2e_log "WAIT tray menu clipboard notice balloon: this tonvira.exe has no clipboard notices yet"
  helper balloon "Tonvira" "Bộ nhớ tạm chưa có chữ. Hãy sao chép (Ctrl+C) văn bản cần bỏ dấu trước." &&
    e2e_wait_for 20 balloon_shown && cp "$shot" "$shots/tray-balloon.png"
fi
stop_tonvira
