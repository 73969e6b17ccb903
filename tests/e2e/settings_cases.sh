# The settings window's cases, sourced by run.sh (outside the virtual desktop: every Wine window
# is its own X window there, so clicks land where the control table puts them).
# shellcheck shell=bash

text_exe="$build/tests/e2e/tonvira_window_text.exe"
# Until settings_origin has found the window: a case that never finds it fails on its own
# instead of ending the run.
win_x=0 win_y=0 win_dpi=96

# settings_origin: sets win_x, win_y and win_dpi from the settings window's client area.
settings_origin() {
  local out="$E2E_DIR/origin.txt"
  rm -f "$out"
  e2e_wait_for 20 "$E2E_WINE" "$text_exe" origin - "$(e2e_winpath "$out")" || return 1
  win_x=""
  read -r win_x win_y win_dpi <"$out"  # the line has no LF: read says so, but has read it
  [[ -n $win_x ]]
}

# click_control X Y: a left click at a point of the window given at 96 DPI, scaled as it draws.
click_at() {
  xdotool mousemove $((win_x + $1 * win_dpi / 96)) $((win_y + $2 * win_dpi / 96)) click 1
}

# control_text ID: what the settings window's control shows.
control_text() {
  local out="$E2E_DIR/control.txt"
  rm -f "$out"
  "$E2E_WINE" "$text_exe" control "$1" "$(e2e_winpath "$out")" >/dev/null 2>&1 && cat "$out"
}

# window_texts TITLE: every text of a top-level window (a message box), one per line.
window_texts() {
  local out="$E2E_DIR/window.txt"
  rm -f "$out"
  "$E2E_WINE" "$text_exe" window "$1" "$(e2e_winpath "$out")" >/dev/null 2>&1 && cat "$out"
}

# The selected tab is filled with the selected-tab colour: which of the four it is, read from a
# screenshot of the tab row (the user's view, not the program's belief).
selected_tab() {
  local shot="$E2E_DIR/tabs.png" tab
  import -window root "$shot" 2>/dev/null || return 1
  for tab in 0 1 2 3; do
    local x=$((win_x + (87 + 142 * tab) * win_dpi / 96)) y=$((win_y + 84 * win_dpi / 96))
    if convert "$shot" -crop "1x1+$x+$y" -depth 8 txt:- 2>/dev/null | grep -qi '#E6F2F8'; then
      echo "$tab"
      return 0
    fi
  done
  echo none
}

settings_wait_page() {  # PAGE
  e2e_wait_for 10 bash -c "[[ \$(selected_tab) == $1 ]]" 2>/dev/null
}

page_is() { [[ $(selected_tab) == "$1" ]]; }
settings_gone() { ! "$E2E_WINE" "$text_exe" origin - "$(e2e_winpath "$E2E_DIR/origin.txt")" >/dev/null 2>&1; }
setting_is() { grep -qx "$1" "$prog/data/settings.txt"; }
control_is() { [[ "$(control_text "$1")" == "$2" ]]; }
# Clicks a tab until it shows selected (a window that has just come up may take the first click
# as its activation).
show_tab() {
  local try
  for try in 1 2 3 4 5; do
    click_at $((87 + 142 * $1)) 93
    e2e_wait_for 2 page_is "$1" && return 0
  done
  return 1
}

settings_cases() {
  new_program settings
  start_tonvira settings
  shots=build/e2e-shots

  # Case: a second start with --settings=2 opens the running program's window on page 2.
  timeout 60 "$E2E_WINE" "$prog/tonvira.exe" --settings=2 >/dev/null 2>&1
  if settings_origin && e2e_wait_for 10 page_is 2; then
    pass "settings second start opens page 2"
  else
    fail "settings second start opens page 2" "page $(selected_tab)"
  fi
  # With an unknown page the window comes forward and keeps the page it shows.
  show_tab 0
  timeout 60 "$E2E_WINE" "$prog/tonvira.exe" --settings=9 >/dev/null 2>&1
  sleep 1
  if page_is 0 && [[ $(xdotool search --name '^Tonvira$' | wc -l) -eq 1 ]]; then
    pass "settings --settings=9 keeps the page"
  else
    fail "settings --settings=9 keeps the page" "page $(selected_tab), $(xdotool search --name '^Tonvira$' | wc -l) windows"
  fi

  # Case: clicking VNI writes method=1 at once, and typing follows VNI.
  click_at 190 170
  if e2e_wait_for 10 setting_is "method=1"; then
    open_editor settings_vni && {
      xdotool type --delay 40 "Vie6t5 "
      expect "settings VNI click types VNI" "Việt "
      close_editor
    }
  else
    fail "settings VNI click types VNI" "settings.txt has $(grep '^method=' "$prog/data/settings.txt")"
  fi
  settings_origin
  click_at 50 170  # back to Telex for the cases below
  e2e_wait_for 10 setting_is "method=0" || fail "settings Telex click" "method stayed 1"

  # Case: the threshold slider moved to its right end with the keyboard writes 4.0.
  show_tab 1
  click_at 350 227
  xdotool key End
  if e2e_wait_for 10 setting_is "en_threshold=4.0" && e2e_wait_for 5 control_is 343 "4.0"; then
    pass "settings threshold slider end writes 4.0"
  else
    fail "settings threshold slider end writes 4.0" "$(grep '^en_threshold=' "$prog/data/settings.txt"), shows $(control_text 343)"
  fi

  # Case: every control the keyboard reaches on each page has a name a screen reader can say,
  # read back through AccessibleObjectFromWindow: not empty, and not a symbol or number alone;
  # the four tabs answer as page tabs (role 37), the page's own selected (state 2), the others
  # not. The names are printed, page by page, for a person to read.
  local page unnamed=""
  for page in 0 1 2 3; do
    show_tab "$page"
    rm -f "$E2E_DIR/names.txt"
    "$E2E_WINE" "$text_exe" names - "$(e2e_winpath "$E2E_DIR/names.txt")" >/dev/null 2>&1
    e2e_log "accessible names, page $page: $(cut -f1,4 "$E2E_DIR/names.txt" 2>/dev/null | tr '\t\n' '=|')"
    unnamed+=$(python3 - "$E2E_DIR/names.txt" "$page" <<'PY'
import sys
page = int(sys.argv[2])
try:
    lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
except OSError:
    print(f" page {page}: no names read;")
    sys.exit()
tabs = 0
for line in lines:
    control, role, state, name = (line.split("\t", 3) + ["", "", ""])[:4]
    if not any(c.isalpha() for c in name):
        print(f" page {page}: control {control} is called [{name.strip()}];", end="")
    if 300 <= int(control) <= 303:
        tabs += 1
        selected = int(state) & 2 != 0
        if int(role) != 37 or selected != (int(control) - 300 == page):
            print(f" page {page}: tab {control} has role {role}, state {state};", end="")
if tabs != 4:
    print(f" page {page}: {tabs} tabs the keyboard reaches;", end="")
PY
)
  done
  if [[ -z $unnamed ]]; then
    pass "accessible names: every control the keyboard reaches is named, the tabs are page tabs"
  else
    fail "accessible names: every control the keyboard reaches is named, the tabs are page tabs" "$unnamed"
  fi

  # Case: the hotkey's key box refuses what Windows cannot register with Ctrl+Shift ('.' would
  # be the Delete key), says why, and keeps the key in force; a letter is taken.
  show_tab 3
  click_at 150 262  # the drop-down: Ctrl + Shift + phím
  xdotool key Down Return
  if e2e_wait_for 10 setting_is "hotkey_mode=2"; then
    click_at 304 263
    xdotool type --delay 60 "."
    if e2e_wait_for 10 control_is 325 "“.” không dùng được: chỉ chữ A–Z hoặc số 0–9." &&
      control_is 324 "Z" && setting_is "hotkey_char=Z"; then
      pass "hotkey rules: '.' refused in the key box"
    else
      fail "hotkey rules: '.' refused in the key box" "box [$(control_text 324)], hint [$(control_text 325)]"
    fi
    xdotool type --delay 60 "q"
    if e2e_wait_for 10 setting_is "hotkey_char=Q" && control_is 324 "Q"; then
      pass "hotkey rules: a letter is taken, upper case"
    else
      fail "hotkey rules: a letter is taken, upper case" "$(grep '^hotkey_char=' "$prog/data/settings.txt"), box [$(control_text 324)]"
    fi
  else
    fail "hotkey rules: '.' refused in the key box" "mode 2 not chosen: $(grep '^hotkey_mode=' "$prog/data/settings.txt")"
  fi
  settings_origin
  click_at 150 262  # back to Ctrl + Shift for the cases below
  xdotool key Up Return
  e2e_wait_for 10 setting_is "hotkey_mode=1" || fail "hotkey rules: back to ctrl+shift" "mode stayed 2"

  # Case: on the abbreviation page the expansion box composes, the key box stays plain, Thêm
  # saves the entry and typing its key expands it.
  show_tab 2
  click_at 95 439
  xdotool type --delay 60 "ddc"
  click_at 308 439
  xdotool type --delay 60 "Coongj hoaf"
  if e2e_wait_for 10 control_is 363 "Cộng hòa" && control_is 362 "ddc"; then
    pass "abbrev expansion box composes, key box plain"
  else
    fail "abbrev expansion box composes, key box plain" "key [$(control_text 362)], expansion [$(control_text 363)]"
  fi
  click_at 503 439
  e2e_wait_for 10 grep -q $'^ddc\tCộng hòa$' "$prog/data/abbrev.txt"
  abbrev_saved=$?

  # Case: importing a CSV through the open-file dialog adds its rows and tells the count.
  printf 'key,expansion\nzhn,Hà Nội\nzsg,Sài Gòn\n' >"$E2E_DIR/import.csv"
  settings_origin
  click_at 293 479
  if e2e_wait_for 20 bash -c "xdotool search --name '^Open$' >/dev/null 2>&1"; then
    sleep 1
    xdotool type --delay 30 "$(e2e_winpath "$E2E_DIR/import.csv")"
    xdotool key Return
    if e2e_wait_for 20 bash -c "'$E2E_WINE' '$text_exe' window 'Gõ tắt' '$(e2e_winpath "$E2E_DIR/window.txt")' >/dev/null 2>&1" &&
      grep -q "Đã nhập 2 mục." "$E2E_DIR/window.txt" && grep -q $'^zsg\tSài Gòn$' "$prog/data/abbrev.txt"; then
      pass "abbrev import csv tells the count"
    else
      fail "abbrev import csv tells the count" "message [$(cat "$E2E_DIR/window.txt" 2>/dev/null)]"
    fi
    e2e_screenshot "$shots/settings-import-message.png"
    xdotool key Return
  else
    fail "abbrev import csv tells the count" "no open-file dialog"
  fi

  # Case: "Thu về khay" closes the window; the program keeps running. Then the entry added above
  # expands when its key is typed in another application (typed with the window closed, so no
  # window of ours is still taking the foreground back), and a later tray command opens the
  # window again.
  settings_origin
  click_at 528 614
  if e2e_wait_for 10 settings_gone && "$E2E_WINE" "$post_exe" 0 >/dev/null 2>&1; then
    pass "settings Thu về khay keeps the program running"
  else
    fail "settings Thu về khay keeps the program running" "window still there or program gone"
  fi
  if [[ $abbrev_saved -ne 0 ]]; then
    fail "abbrev added in settings expands when typed" "abbrev.txt has no ddc line"
  else
    open_editor abbrev_typed && {
      xdotool type --delay 40 "ddc "
      expect "abbrev added in settings expands when typed" "Cộng hòa "
      close_editor
    }
  fi
  if "$E2E_WINE" "$post_exe" 1004 >/dev/null 2>&1 && settings_origin; then
    pass "settings reopens from the tray after Thu về khay"
  else
    fail "settings reopens from the tray after Thu về khay" "no window after command 1004"
  fi

  # Case: the keyboard alone, the mouse never used. Alt+letter reaches a box through its label
  # and presses a button or a tab; a page change gives the keyboard to the page's first control,
  # so Space never reaches a control of the page left; Enter in the abbreviation boxes adds the
  # entry; Esc closes the window.
  show_tab 2
  xdotool key alt+o  # "Khoá gõ tắt"
  xdotool type --delay 60 "kbd"
  xdotool key alt+r  # "Bản khai triển"
  xdotool type --delay 60 "ban phim"
  xdotool key Return
  local added=0
  if e2e_wait_for 10 grep -q $'^kbd\tban phim$' "$prog/data/abbrev.txt"; then
    added=1
    pass "keyboard only: Alt+O and Alt+R reach the abbreviation boxes, Enter adds the entry"
  else
    fail "keyboard only: Alt+O and Alt+R reach the abbreviation boxes, Enter adds the entry" "key [$(control_text 362)], expansion [$(control_text 363)]"
  fi
  xdotool key alt+d  # "Danh sách gõ tắt": typing a key selects its row
  xdotool type --delay 60 "kbd"
  xdotool key alt+c  # "Xoá mục đã chọn"
  if ((added)) && e2e_wait_for 10 bash -c "! grep -q '^kbd' '$prog/data/abbrev.txt'" &&
    grep -q $'^ddc\t' "$prog/data/abbrev.txt"; then
    pass "keyboard only: Alt+D, the entry's key, Alt+C deletes that entry"
  else
    fail "keyboard only: Alt+D, the entry's key, Alt+C deletes that entry" "abbrev.txt: $(grep -E '^(kbd|ddc)' "$prog/data/abbrev.txt" | tr '\n\t' '| ')"
  fi
  xdotool key ctrl+Tab
  if e2e_wait_for 10 page_is 3 && xdotool key space && e2e_wait_for 10 setting_is "enabled=0" && setting_is "abbrev=1"; then
    pass "keyboard only: Space after a page change acts on the page shown"
  else
    fail "keyboard only: Space after a page change acts on the page shown" "page $(selected_tab), $(grep -E '^(enabled|abbrev)=' "$prog/data/settings.txt" | tr '\n' ' ')"
  fi
  xdotool key space  # Vietnamese on again
  e2e_wait_for 10 setting_is "enabled=1"
  xdotool key alt+k  # the tab "Kiểu gõ"
  if e2e_wait_for 10 page_is 0 && xdotool key alt+v && e2e_wait_for 10 setting_is "method=1" &&
    xdotool key alt+e && e2e_wait_for 10 setting_is "method=0"; then
    pass "keyboard only: Alt+K shows the first page, Alt+V chooses VNI and Alt+E Telex"
  else
    fail "keyboard only: Alt+K shows the first page, Alt+V chooses VNI and Alt+E Telex" "page $(selected_tab), $(grep '^method=' "$prog/data/settings.txt")"
  fi
  xdotool key Escape
  if e2e_wait_for 10 settings_gone; then
    pass "keyboard only: Esc closes the settings window"
  else
    fail "keyboard only: Esc closes the settings window" "the window is still there"
  fi
  stop_tonvira
}
