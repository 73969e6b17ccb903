# A command prompt, sourced by run.sh while the "main" instance runs (it uses run.sh's pass and
# fail). Wine's console drops input injected as Unicode characters (KEYEVENTF_UNICODE) entirely,
# so a separator Tonvira swallowed and typed again would be lost there: "echo a1b> FILE" would
# echo to the screen and write nothing. The console window belongs to conhost.exe, which the
# shipped context rules class as English.
# shellcheck shell=bash
# shellcheck disable=SC2154  # E2E_DIR, E2E_WINE: run.sh's

console_cases() {
  local folder="$E2E_DIR/console" console_pid window
  rm -rf "$folder"
  mkdir -p "$folder"
  # The prompt starts in that folder, so the keys typed name no path.
  (cd "$folder" && exec "$E2E_WINE" wineconsole cmd >"$E2E_DIR/console.out" 2>&1) &
  console_pid=$!
  E2E_PIDS+=("$console_pid")
  if ! window=$(timeout 30 xdotool search --sync --limit 1 --name 'cmd\.exe$' 2>/dev/null); then
    fail "console: echo a1b> FILE writes the file" "no console window"
    kill "$console_pid" 2>/dev/null
    return
  fi
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
  # Keys typed before cmd reads them wait in the console's input buffer.
  xdotool type --delay 60 "echo a1b> out.txt"
  xdotool key Return
  if e2e_wait_for 15 bash -c "[[ \$(tr -d '\\r\\n' <'$folder/out.txt' 2>/dev/null) == a1b ]]"; then
    pass "console: echo a1b> FILE writes the file"
  else
    fail "console: echo a1b> FILE writes the file" \
      "out.txt holds [$(cat "$folder/out.txt" 2>&1)]; folder: $(ls "$folder" | tr '\n' ' ')"
  fi
  xdotool type --delay 60 "exit"
  xdotool key Return
  e2e_wait_for 10 bash -c "! kill -0 $console_pid 2>/dev/null" || kill "$console_pid" 2>/dev/null
}
