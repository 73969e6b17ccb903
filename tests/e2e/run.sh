#!/usr/bin/env bash
# End-to-end tests of tonvira.exe under Wine: real low-level hooks, real SendInput, a real
# EDIT control receiving the text. Types with xdotool and compares what the application got,
# byte for byte. Exits non-zero on any failure; keeps a screenshot and the logs when a case
# fails. Usage: tests/e2e/run.sh [BUILD_DIR]   (default build/windows)
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/windows}
tonvira_exe="$build/program/tonvira.exe"
edit_exe="$build/tests/e2e/tonvira_test_edit.exe"
post_exe="$build/tests/e2e/tonvira_post_command.exe"
helper_exe="$build/tests/e2e/tonvira_tray_helper.exe"
text_exe="$build/tests/e2e/tonvira_window_text.exe"
for f in "$tonvira_exe" "$edit_exe" "$post_exe" "$helper_exe" "$text_exe" "$build/tests/e2e/tonvira_clipboard_tool.exe"; do
  [[ -f "$f" ]] || { echo "e2e: missing $f (build the windows preset first)" >&2; exit 2; }
done

source tests/e2e/lib.sh
trap e2e_stop EXIT
started=$(date +%s)
# The program's banner requests stay on this machine (port 9 refuses them at once).
export TONVIRA_SERVER=127.0.0.1:9
e2e_start || exit 1

passed=0
failed=0
rm -rf build/e2e-failures  # only this run's failures
keep="$E2E_DIR/failures"
mkdir -p "$keep"

pass() { passed=$((passed + 1)); e2e_log "PASS $1"; }
fail() {
  failed=$((failed + 1))
  e2e_log "FAIL $1: $2"
  e2e_screenshot "$keep/$(echo "$1" | tr -c 'a-zA-Z0-9' _).png"
}

# A scratch program folder: the program keeps its data beside itself when not installed, so
# the repository's data/ is never written.
new_program() {
  prog="$E2E_DIR/program-$1"
  rm -rf "$prog"
  mkdir -p "$prog"
  cp "$tonvira_exe" "$prog/tonvira.exe"
  cp -r data "$prog/data"
}

start_tonvira() {
  export TONVIRA_LOG
  tonvira_log="$E2E_DIR/tonvira-$1.log"
  TONVIRA_LOG=$(e2e_winpath "$tonvira_log")
  e2e_run "$E2E_DIR/tonvira-$1.out" "$prog/tonvira.exe"
  tonvira_pid=$E2E_LAST_PID
  # The main window exists once the program is past start-up.
  e2e_wait_for 30 "$E2E_WINE" "$post_exe" 0 >/dev/null 2>&1 || true
}

stop_tonvira() {
  "$E2E_WINE" "$post_exe" 1002 >/dev/null 2>&1
  e2e_wait_for 20 bash -c "! kill -0 $tonvira_pid 2>/dev/null" && return 0
  # One that does not end would hold the single-instance lock and turn every later start into
  # a second start: it is ended here, and its trace kept with the failures.
  e2e_log "tonvira did not exit within 20 s of the exit command: killed (trace kept as $(basename "$tonvira_log"))"
  kill -9 "$tonvira_pid" 2>/dev/null
  wait "$tonvira_pid" 2>/dev/null
  mkdir -p "$keep"
  cp "$tonvira_log" "$keep/" 2>/dev/null
  return 1
}

# A fresh edit window; its text file appears when the window is up. An editor that does not come
# up is a failure of its own, so that the cases skipped for it can never pass by silence.
open_editor() {
  edit_out="$E2E_DIR/edit-$1.txt"
  rm -f "$edit_out"
  e2e_run "$E2E_DIR/edit-$1.log" "$edit_exe" "$(e2e_winpath "$edit_out")"
  edit_pid=$E2E_LAST_PID
  # An editor that never came up must not stay behind and take later cases' keys.
  if ! e2e_wait_for 30 test -f "$edit_out"; then
    kill "$edit_pid" 2>/dev/null
    fail "editor for $1" "the editor did not start"
    return 1
  fi
  edit_win=$(xdotool search --sync --limit 1 --name "Tonvira test edit")
  xdotool windowactivate --sync "$edit_win" >/dev/null 2>&1 || xdotool windowfocus --sync "$edit_win"
  # Wine's own foreground must be the editor too: the hook decides by it, and under load it
  # can lag behind the X focus (keys then reach the editor but are judged for the old window).
  "$E2E_WINE" "$helper_exe" focus-editor >/dev/null 2>&1 || e2e_log "the editor is not Wine's foreground"
}

close_editor() {
  kill "$edit_pid" 2>/dev/null
  wait "$edit_pid" 2>/dev/null
  e2e_wait_for 10 bash -c "! xdotool search --name 'Tonvira test edit' >/dev/null 2>&1"
}

# expect NAME TEXT [FILE]: waits for the edit control (or the box FILE reports) to hold
# exactly TEXT.
expect() {
  local file=${3:-$edit_out}
  if e2e_wait_for 10 bash -c "[[ \"\$(cat '$file')\" == '$2' ]]"; then
    pass "$1"
  else
    fail "$1" "expected [$2], got [$(cat "$file")]"
  fi
}

# The program logs each classification of the focused field it publishes.
classifications() { grep -c '^truong #' "$1"; }
# classified LOG COUNT FLAG: waits for a classification after the first COUNT whose password
# flag is FLAG, and says so when none comes.
classified() {
  e2e_wait_for 10 bash -c "[[ \$(grep -c '^truong #' '$1') -gt $2 ]] &&
    grep '^truong #' '$1' | tail -n 1 | grep -q 'mat khau $3,'" ||
    e2e_log "no classification with password flag $3 logged"
}

# The installer first, while the prefix is fresh: install, type, upgrade, uninstall.
source tests/e2e/msi_cases.sh
msi_cases

# Case: a logon start with startup=0 ends at once, before any window exists.
new_program autostart
sed -i 's/^startup=1$/startup=0/' "$prog/data/settings.txt"
if timeout 60 "$E2E_WINE" "$prog/tonvira.exe" --autostart >/dev/null 2>&1; then
  pass "autostart off"
else
  fail "autostart off" "exit code $?"
fi

# Case: without its word list the program says so in an error box and ends with code 1.
new_program nolist
rm "$prog/data/en_words.txt"
e2e_run "$E2E_DIR/nolist.out" "$prog/tonvira.exe"
nolist_pid=$E2E_LAST_PID
if box=$(timeout 30 xdotool search --sync --limit 1 --name '^Tonvira$' 2>/dev/null); then
  xdotool windowactivate --sync "$box" >/dev/null 2>&1
  xdotool key --window "$box" Return
  wait "$nolist_pid"
  code=$?
  if [[ $code -eq 1 ]]; then pass "missing word list"; else fail "missing word list" "exit code $code"; fi
else
  fail "missing word list" "no error box"
fi

new_program main
printf 'stale_key=1\n' >>"$prog/data/settings.txt"
start_tonvira main

# Case: a second start hands over to the first and exits 0.
if timeout 60 "$E2E_WINE" "$prog/tonvira.exe" >/dev/null 2>&1; then pass "second start"; else fail "second start" "exit code $?"; fi
# The first instance answers with its settings window, which would take the keys of the cases
# below: closed here once it is up.
if e2e_wait_for 30 "$E2E_WINE" "$helper_exe" close-window TonviraSettings; then
  pass "second start shows the settings"
else
  fail "second start shows the settings" "no settings window to close"
fi

type_case() {  # NAME KEYS EXPECTED [xdotool key names typed after the keys]
  open_editor "$1" || return
  xdotool type --delay 40 "$2"
  [[ -n "${4:-}" ]] && xdotool key --delay 60 $4
  expect "$1" "$3"
  close_editor
}

type_case "vietnamese sentence" "Tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj." \
  "Tiếng Việt là ngôn ngữ của người Việt."
type_case "mixed sentence" "Anh xem lai cais slide nayf nhes, please check the file" \
  "Anh xem lai cái slide này nhé, please check the file"
type_case "tab commits" "test" "test" "Tab"
type_case "enter commits" "Vieetj" "Việt" "Return"

# Case: backspace after a space reopens the word, and a tone key corrects it in place.
open_editor reopen && {
  xdotool type --delay 40 "hoaf "
  xdotool key BackSpace
  xdotool type --delay 40 "s"
  expect "backspace re-edits a tone" "hóa"
  close_editor
}

# Case: an English word kept as typed, edited after its space, comes back as the user typed it.
open_editor english_edit && {
  xdotool type --delay 40 "this "
  xdotool key BackSpace BackSpace
  xdotool type --delay 40 "s boss "
  xdotool key BackSpace BackSpace
  xdotool type --delay 40 "s "
  expect "english word edited after its space" "this boss "
  close_editor
}

# Case: a password box a Tab away in the same window takes the keys exactly as typed, and Tab
# back composes again. Each Tab waits for the program's log of the field's new class.
open_editor password && {
  log="$E2E_DIR/tonvira-main.log"
  xdotool type --delay 40 "Vieetj"
  seen=$(classifications "$log")
  xdotool key Tab
  classified "$log" "$seen" 1
  xdotool type --delay 40 "Vieetj"
  seen=$(classifications "$log")
  xdotool key shift+Tab
  classified "$log" "$seen" 0
  xdotool key End
  xdotool type --delay 40 " Vieetj"
  expect "password box keeps the keys" "Vieetj" "$edit_out.password"
  expect "password box: the other box composes" "Việt Việt"
  mkdir -p build/e2e-shots
  e2e_screenshot build/e2e-shots/password-box.png
  close_editor
}

# Case: a Ctrl+Shift tap switches Vietnamese off (keys pass unchanged) and on again.
open_editor toggle && {
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift
  xdotool type --delay 40 "vieetj"
  expect "ctrl+shift toggles" "việt vieetj việt"
  close_editor
}

# Case: in a command prompt, a separator typed right after a word reaches the console.
source tests/e2e/console_cases.sh
console_cases

# Case: the diagnostic log holds the key, diff and SendInput lines.
log="$E2E_DIR/tonvira-main.log"
if grep -q '^key ' "$log" && grep -q '^  diff' "$log" && grep -q '^    SendInput' "$log"; then
  pass "diagnostic log"
else
  fail "diagnostic log" "missing lines in $log"
fi

# The figures of this run so far (informational): each key's wait for the hook, and the time
# of the messages the main thread dispatched meanwhile.
"$E2E_WINE" "$post_exe" 1020 >/dev/null 2>&1
e2e_wait_for 10 grep -q '^thoi gian:' "$log" && e2e_log "$(grep '^thoi gian:' "$log" | tail -n 1)"

# Case: exit through the tray menu's command writes settings.txt whole.
stop_tonvira
if kill -0 "$tonvira_pid" 2>/dev/null; then
  fail "exit command" "still running"
elif grep -q stale_key "$prog/data/settings.txt" || ! grep -q '^ver=145$' "$prog/data/settings.txt"; then
  fail "exit command" "settings.txt was not rewritten"
else
  pass "exit command"
fi

# Case: the first start read the word lists from their text and kept their compact form in the
# data folder; the next start reads that form. Each start's first log line, written once the
# hooks are in place, gives the milliseconds since Windows created the process.
start_line() { grep -m1 ': bat dau' "$1"; }
first_start=$(start_line "$E2E_DIR/tonvira-main.log")
start_tonvira restart
e2e_wait_for 30 grep -q ': bat dau' "$tonvira_log"
next_start=$(start_line "$tonvira_log")
e2e_log "first start: ${first_start#*: }"
e2e_log "next start: ${next_start#*: }"
if [[ $first_start == *"tu dien van ban (da luu dang gon)"* && -s "$prog/data/word_lists.bin" &&
  $next_start == *"tu dien dang gon"* ]]; then
  pass "word lists: the compact form is made at the first start and read at the next"
else
  fail "word lists: the compact form is made at the first start and read at the next" \
    "[$first_start] then [$next_start]"
fi
stop_tonvira

# Case: a context.txt rule makes the test application an English field; without the rule
# (the runs above) the same keys compose.
new_program context
printf 'process  tonvira_test_edit.exe   en\n' >>"$prog/data/context.txt"
start_tonvira context
type_case "context rule en" "Vieetj nhes" "Vieetj nhes"
stop_tonvira

# Case: in hotkey mode 2 the registered Ctrl+Shift+Z switches Vietnamese off and on (the
# Ctrl+Shift chord alone does nothing there). The key is written in lower case, as a hand edit
# might: it still means Z (unconverted, "z" would be F11's code).
new_program hotkey
sed -i 's/^hotkey_mode=.*/hotkey_mode=2/; s/^hotkey_char=.*/hotkey_char=z/' "$prog/data/settings.txt"
start_tonvira hotkey
open_editor hotkey && {
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift+z
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift
  xdotool type --delay 40 "vieetj "
  xdotool key ctrl+shift+z
  xdotool type --delay 40 "vieetj"
  expect "hotkey rules: hotkey_char=z registers ctrl+shift+z and toggles" "việt vieetj vieetj việt"
  close_editor
}
stop_tonvira

# Case: another program holds Ctrl+Shift+Z first. The user is told, and the Ctrl+Shift chord
# toggles instead, so a keyboard toggle remains.
e2e_run "$E2E_DIR/hold-hotkey.out" "$helper_exe" hold-hotkey
holder_pid=$E2E_LAST_PID
new_program hotkey_held
sed -i 's/^hotkey_mode=.*/hotkey_mode=2/; s/^hotkey_char=.*/hotkey_char=Z/' "$prog/data/settings.txt"
if e2e_wait_for 20 grep -q held "$E2E_DIR/hold-hotkey.out"; then
  start_tonvira hotkey_held
  if e2e_wait_for 10 grep -q '^thong bao canh bao.*: Tonvira: Không đăng ký được phím tắt Ctrl+Shift+Z' "$tonvira_log"; then
    pass "hotkey rules: a combination another program holds is told"
  else
    fail "hotkey rules: a combination another program holds is told" "$(grep '^phim tat\|^thong bao' "$tonvira_log")"
  fi
  open_editor hotkey_held && {
    xdotool type --delay 40 "vieetj "
    xdotool key ctrl+shift
    xdotool type --delay 40 "vieetj "
    xdotool key ctrl+shift
    xdotool type --delay 40 "vieetj"
    expect "hotkey rules: ctrl+shift still toggles while the combination is held" "việt vieetj việt"
    close_editor
  }
  stop_tonvira
else
  fail "hotkey rules: a combination another program holds is told" "the helper could not hold Ctrl+Shift+Z"
fi
kill "$holder_pid" 2>/dev/null
wait "$holder_pid" 2>/dev/null

# Case: the tray's clipboard item takes the marks off the copied text, and an empty clipboard
# gets its notice. The clipboard is set and read by a Win32 helper, not through X.
clip_exe="$build/tests/e2e/tonvira_clipboard_tool.exe"
clipboard_is() {
  "$E2E_WINE" "$clip_exe" get "$(e2e_winpath "$E2E_DIR/clip-out.txt")" >/dev/null 2>&1 &&
    [[ "$(cat "$E2E_DIR/clip-out.txt")" == "$1" ]]
}
new_program clipboard
start_tonvira clipboard
log="$E2E_DIR/tonvira-clipboard.log"
printf '%s' "Tiếng Việt có dấu — ĐƯỜNG" >"$E2E_DIR/clip-in.txt"
if "$E2E_WINE" "$clip_exe" set "$(e2e_winpath "$E2E_DIR/clip-in.txt")" >/dev/null 2>&1 &&
  "$E2E_WINE" "$post_exe" 1008 >/dev/null 2>&1 && e2e_wait_for 10 clipboard_is "Tieng Viet co dau — DUONG"; then
  pass "clipboard marks removed"
else
  fail "clipboard marks removed" "clipboard holds [$(cat "$E2E_DIR/clip-out.txt" 2>/dev/null)]"
fi
"$E2E_WINE" "$clip_exe" empty >/dev/null 2>&1
"$E2E_WINE" "$post_exe" 1008 >/dev/null 2>&1
if e2e_wait_for 10 grep -q "^thong bao.*: Tonvira: Bộ nhớ tạm chưa có chữ. Hãy sao chép" "$log"; then
  pass "clipboard empty tells chưa có chữ"
else
  fail "clipboard empty tells chưa có chữ" "no such notice in the log"
fi

# Case: while a program named UniKey.exe runs, every plain letter is typed by us as a synthetic
# character (a SendInput each); once it has ended, the next timer tick lets letters through.
sends() { grep -c '^    SendInput' "$log"; }
cp "$edit_exe" "$E2E_DIR/UniKey.exe"
e2e_run "$E2E_DIR/unikey.out" "$E2E_DIR/UniKey.exe" "$(e2e_winpath "$E2E_DIR/unikey.txt")" "UniKey"
unikey_pid=$E2E_LAST_PID
if e2e_wait_for 10 grep -q '^bo go khac: 1' "$log" && open_editor unikey; then
  before=$(sends)
  xdotool type --delay 60 "ban"
  expect "unikey running: letters arrive" "ban"
  if (($(sends) - before >= 3)); then
    pass "unikey running: each letter synthesised"
  else
    fail "unikey running: each letter synthesised" "$(($(sends) - before)) SendInput for 3 letters"
  fi
  kill "$unikey_pid" 2>/dev/null
  wait "$unikey_pid" 2>/dev/null
  # One timer period after the process is gone, with a second for Wine to end it.
  if e2e_wait_for 4 grep -q '^bo go khac: 0' "$log"; then
    before=$(sends)
    xdotool type --delay 60 " ban"
    expect "unikey stopped: letters arrive" "ban ban"
    if (($(sends) == before)); then
      pass "unikey stopped: letters let through"
    else
      fail "unikey stopped: letters let through" "$(($(sends) - before)) SendInput"
    fi
  else
    fail "unikey stopped: letters let through" "the flag was not cleared within a timer period"
  fi
  close_editor
else
  fail "unikey running: each letter synthesised" "the flag was never set (or no editor)"
  kill "$unikey_pid" 2>/dev/null
fi
stop_tonvira

# The background worker: a download from a loopback server, and a server that never answers.
source tests/e2e/update_cases.sh
update_cases
# The whole update: installed 1.4.12, a mandatory 1.4.13, the update window, msiexec, the restart;
# then, with the program installed, the windows' thread at work while the user types.
source tests/e2e/settings_cases.sh
source tests/e2e/main_thread_case.sh
source tests/e2e/update_install_cases.sh
update_install_cases

# The settings window: its own cases, then its pages and the update window at 96 and 144 DPI on
# displays of their own.
settings_cases
# The settings window's pages on screens of their own, each whole inside the work area: 144 DPI
# on 1920x1080 is 150 % on the most common screen.
for shots in "96 1600x1200" "144 1920x1080" "192 2560x1600"; do
  read -r dpi screen <<<"$shots"
  if tests/e2e/settings_shots.sh "$dpi" "$build" "$screen"; then
    pass "settings pages at $dpi dpi on $screen, inside the work area"
  else
    fail "settings pages at $dpi dpi on $screen, inside the work area" "see the line above"
  fi
done
if tests/e2e/settings_shots.sh 144 "$build" 1920x1080 short; then
  pass "settings laid out smaller for a work area 700 pixels high at 144 dpi"
else
  fail "settings laid out smaller for a work area 700 pixels high at 144 dpi" "see the line above"
fi
if tests/e2e/settings_shots.sh 96 "$build" 1600x1200 high-contrast; then
  pass "high contrast: the settings window in the system's colours, none of ours"
else
  fail "high contrast: the settings window in the system's colours, none of ours" "see the line above"
fi
for dpi in 96 144; do
  if tests/e2e/update_shots.sh "$dpi" "$build"; then
    pass "update window shots at $dpi dpi"
  else
    fail "update window shots at $dpi dpi" "see the line above"
  fi
done

# Case: settings that cannot be written are told once. A folder stands where settings.txt was
# (the tests run as root, whom read-only files do not stop), two Ctrl+Shift toggles a few seconds apart are each written a second later and both fail: two
# failures logged, one notice.
new_program savefail
start_tonvira savefail
log="$E2E_DIR/tonvira-savefail.log"
mv "$prog/data/settings.txt" "$prog/data/settings.keep" && mkdir "$prog/data/settings.txt"
if open_editor savefail; then
  xdotool key ctrl+shift
  e2e_wait_for 10 grep -q '^luu thiet lap: khong ghi duoc' "$log"
  xdotool key ctrl+shift
  e2e_wait_for 10 bash -c "[[ \$(grep -c '^luu thiet lap: khong ghi duoc' '$log') -ge 2 ]]"
  failures=$(grep -c '^luu thiet lap: khong ghi duoc' "$log")
  notices=$(grep -cE '^thong bao [a-z ]+: Tonvira: Không lưu được thiết lập vào file:' "$log")
  if [[ $failures -eq 2 && $notices -eq 1 ]]; then
    pass "settings that cannot be saved: told once"
  else
    fail "settings that cannot be saved: told once" "$failures failed saves logged, $notices notices"
  fi
  close_editor
else
  fail "settings that cannot be saved: told once" "the editor did not start"
fi
rmdir "$prog/data/settings.txt" && mv "$prog/data/settings.keep" "$prog/data/settings.txt"
stop_tonvira

# Case: the session ends as at log-off (wineboot --end-session sends WM_QUERYENDSESSION and
# WM_ENDSESSION to every top-level window): the on/off state just changed with Ctrl+Shift is in
# settings.txt, and the program is gone. The message-only main window never hears of it.
new_program logoff
start_tonvira logoff
log="$E2E_DIR/tonvira-logoff.log"
# Keys reach Wine's hooks only while one of its windows has the X focus.
open_editor logoff && xdotool key ctrl+shift
if ! e2e_wait_for 10 grep -q '^khay: trang thai 0' "$log"; then
  fail "log-off keeps the on/off state" "Ctrl+Shift did not switch Vietnamese off"
else
  timeout 60 "$E2E_WINE" wineboot --end-session >"$E2E_DIR/end-session.log" 2>&1
  if e2e_wait_for 30 bash -c "! kill -0 $tonvira_pid 2>/dev/null" && grep -qx 'enabled=0' "$prog/data/settings.txt"; then
    pass "log-off keeps the on/off state"
  else
    fail "log-off keeps the on/off state" "running: $(kill -0 "$tonvira_pid" 2>/dev/null && echo yes || echo no),\
 settings.txt: $(grep '^enabled=' "$prog/data/settings.txt"); $(grep '^ket thuc phien' "$log")"
  fi
fi
kill "$tonvira_pid" "$edit_pid" 2>/dev/null

# Last: from here on the programs run inside a virtual desktop with a taskbar.
source tests/e2e/tray_cases.sh

if [[ $failed -gt 0 ]]; then
  mkdir -p build/e2e-failures
  cp "$E2E_DIR"/*.log "$E2E_DIR"/*.out "$keep"/* build/e2e-failures/ 2>/dev/null
  e2e_log "logs and screenshots kept in build/e2e-failures"
fi
echo "e2e: $passed passed, $failed failed ($(($(date +%s) - started)) s)"
[[ $failed -eq 0 ]]
