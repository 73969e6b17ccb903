# The windows' thread at work while the user types, sourced by run.sh after the update cases (it
# uses their publish, signed_by, serve_folder, window and stop_installed, the installer cases'
# msi_* helpers, and run.sh's pass, fail, open_editor and close_editor). In one run of the
# installed program at 144 DPI: a 20 MiB clipboard refused and a 2 MiB one converted, the
# settings window opened and drawn again and again, 10,000 abbreviations imported, two settings
# changed, and a 40 MiB package read, hashed and its signature checked. A Telex sentence is typed
# into the test editor during each. The case fails when
# the editor's text is not exactly what was meant, or when any key waited more than 250 ms for the
# hook; it prints the hook's and the messages' maximum and 99th percentile.
# shellcheck shell=bash
# shellcheck disable=SC2154  # build, post_exe, text_exe, clip_exe, helper_exe, update_keys: the callers'

main_thread_sentence="Tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj. "
main_thread_meant="Tiếng Việt là ngôn ngữ của người Việt. "

# The editor takes the keys again after a window of ours came up.
main_thread_refocus() {
  xdotool windowactivate --sync "$edit_win" >/dev/null 2>&1 || xdotool windowfocus --sync "$edit_win"
  "$E2E_WINE" "$helper_exe" focus-editor >/dev/null 2>&1
}

# type_while COMMAND...: the sentence is typed while COMMAND runs (started with the first keys).
main_thread_type_while() {
  xdotool type --delay 40 "$main_thread_sentence" &
  local typist=$!
  sleep 0.2
  "$@"
  wait "$typist"
  main_thread_expected+=$main_thread_meant
}

main_thread_post() { "$E2E_WINE" "$post_exe" "$1" >/dev/null 2>&1; }

# Each step's start in the trace, to read it against the program's log.
main_thread_step() { e2e_log "main thread: $(date +%T.%N | cut -c1-12), log line $(wc -l <"$log"): $*"; }

# clip_set FILE / clip_get FILE: the clipboard's text, through a Win32 helper.
main_thread_clip() { "$E2E_WINE" "$clip_exe" "$1" "$(e2e_winpath "$2")" >/dev/null 2>&1; }

# The texts: 20 MiB and 2 MiB of Vietnamese, the second with what its conversion gives, and a
# 10,000-row CSV file.
main_thread_files() {
  python3 - "$E2E_DIR" <<'PY'
import sys
folder = sys.argv[1]
line, plain = "Tiếng Việt có dấu — ĐƯỜNG phố Hà Nội\r\n", "Tieng Viet co dau — DUONG pho Ha Noi\r\n"
for mib in (20, 2):
    count = mib * 1024 * 1024 // len(line.encode("utf-8")) + 1
    with open(f"{folder}/clip-{mib}mib.txt", "w", encoding="utf-8", newline="") as f:
        f.write(line * count)
    with open(f"{folder}/clip-{mib}mib-plain.txt", "w", encoding="utf-8", newline="") as f:
        f.write(plain * count)
with open(f"{folder}/import-10000.csv", "w", encoding="utf-8", newline="") as f:
    f.write("key,expansion\n")
    for n in range(10000):
        f.write(f"zq{n:05d},Hà Nội {n}\n")
PY
}

main_thread_case() {
  local name="main thread: typing exact while the windows' thread works"
  local bad="$E2E_DIR/tonvira-1.4.18-x64-test.msi" served="$E2E_DIR/served-padded"
  local log="$E2E_DIR/tonvira-main-thread.log" problems="" started timings hook_max
  started=$(date +%s)
  clip_exe="$build/tests/e2e/tonvira_clipboard_tool.exe"
  if ! signed_by other python3 packaging/make_failing_package.py --pad 40 "$(msi_of_build "$build" next)" "$bad" \
    1.4.18 >"$E2E_DIR/padded.out" 2>&1; then
    fail "$name" "no padded package: $(tail -n 1 "$E2E_DIR/padded.out")"
    return
  fi
  main_thread_files
  publish "$served" "$bad" 1.4.18 14 ""  # offered, not required: typing is never suspended for it
  rm -rf "$user_data/cap-nhat" "$user_data/update.txt"
  serve_folder "$served"
  main_thread_dpi 144
  msi_start_program main-thread
  if ! e2e_wait_for 120 grep -q '^cap nhat: kind 2,' "$log" || ! open_editor main-thread; then
    fail "$name" "the package was never ready, or no editor: $(grep '^cap nhat' "$log" | tail -n 1)"
    main_thread_end
    return
  fi
  main_thread_expected=""

  main_thread_step clipboard
  # The clipboard: 20 MiB refused with its notice and left as it was, 2 MiB converted.
  main_thread_clip set "$E2E_DIR/clip-20mib.txt"
  main_thread_type_while main_thread_post 1008
  e2e_wait_for 30 grep -q 'Văn bản đã sao chép quá dài để bỏ dấu.' "$log" || problems+=" no notice for 20 MiB;"
  main_thread_clip get "$E2E_DIR/clip-out.txt"
  cmp -s "$E2E_DIR/clip-out.txt" "$E2E_DIR/clip-20mib.txt" || problems+=" the 20 MiB clipboard changed;"
  main_thread_clip set "$E2E_DIR/clip-2mib.txt"
  main_thread_type_while main_thread_post 1008
  e2e_wait_for 30 bash -c "'$E2E_WINE' '$clip_exe' get '$(e2e_winpath "$E2E_DIR/clip-out.txt")' >/dev/null 2>&1 &&
    cmp -s '$E2E_DIR/clip-out.txt' '$E2E_DIR/clip-2mib-plain.txt'" || problems+=" the 2 MiB clipboard not converted;"

  main_thread_step settings window
  # The settings window at 144 DPI, opened and then drawn again twenty times while typing.
  main_thread_post 1004
  # Once it is shown and has taken the foreground, the editor takes the keys back.
  if e2e_wait_for 20 grep -q '^cai dat: mo' "$log" && settings_origin && [[ $win_dpi -eq 144 ]]; then
    main_thread_refocus
    main_thread_type_while window repaint TonviraSettings 20
  else
    problems+=" no settings window at 144 dpi (dpi $win_dpi);"
  fi

  main_thread_step import
  # 10,000 rows imported through the open-file dialog. Under Wine the message box that tells the
  # count takes the keys whenever it comes up, so the sentence is typed once it is up, with the
  # windows' thread inside its modal loop.
  window click TonviraSettings 366
  if e2e_wait_for 20 bash -c "xdotool search --name '^Open$' >/dev/null 2>&1"; then
    sleep 1
    xdotool type --delay 20 "$(e2e_winpath "$E2E_DIR/import-10000.csv")"
    xdotool key Return
    main_thread_step "import: file chosen"
    e2e_wait_for 60 bash -c "'$E2E_WINE' '$text_exe' window 'Gõ tắt' '$(e2e_winpath "$E2E_DIR/window.txt")' >/dev/null 2>&1"
    main_thread_step "import: told"
    grep -q "Đã nhập 10000 mục." "$E2E_DIR/window.txt" || problems+=" import: [$(cat "$E2E_DIR/window.txt")];"
    [[ $(grep -c '^zq' "$user_data/abbrev.txt") -eq 10000 ]] || problems+=" abbrev.txt lacks the imported rows;"
    main_thread_refocus
    main_thread_type_while true
    window notify 'Gõ tắt' 1  # its OK button
    e2e_wait_for 10 bash -c "! '$E2E_WINE' '$text_exe' window 'Gõ tắt' '$(e2e_winpath "$E2E_DIR/window.txt")' >/dev/null 2>&1" ||
      problems+=" the import's message box did not close;"
  else
    problems+=" no open-file dialog;"
  fi
  main_thread_refocus

  main_thread_step settings change
  # Two settings changes from the tray menu's items, each applied and saved between two words
  # of the sentence (a change of typing options starts the word in progress afresh).
  xdotool type --delay 40 "${main_thread_sentence%% laf *} "
  main_thread_post 1006
  e2e_wait_for 10 grep -qx 'smart=0' "$user_data/settings.txt" || problems+=" smart=0 not saved;"
  xdotool type --delay 40 "laf ${main_thread_sentence#* laf }"
  main_thread_expected+=$main_thread_meant
  main_thread_post 1006
  e2e_wait_for 10 grep -qx 'smart=1' "$user_data/settings.txt" || problems+=" smart=1 not saved;"

  main_thread_step package
  # "Cập nhật ngay" with the 40 MiB package: read, hashed and its signature checked, and refused
  # (another certificate signed it), so that no installer window takes the keys under Wine.
  main_thread_post 1007
  if e2e_wait_for 20 install_button_ready && e2e_wait_for 10 grep -q '^cap nhat: mo' "$log"; then
    main_thread_refocus
    main_thread_type_while window notify TonviraUpdate 501
    e2e_wait_for 60 grep -q 'trang thai: Bản cập nhật không có chữ ký hợp lệ' "$log" && grep -q '^cai dat: khong chay' "$log" ||
      problems+=" the package was not checked and refused: $(grep '^cai dat' "$log" | tail -n 1);"
  else
    problems+=" no update window;"
  fi

  if ! e2e_wait_for 10 bash -c "[[ \"\$(cat '$edit_out')\" == '$main_thread_expected' ]]"; then
    problems+=" the editor holds [$(cat "$edit_out")];"
  fi
  main_thread_post 1020
  e2e_wait_for 10 grep -q '^thoi gian:' "$log"
  timings=$(grep '^thoi gian:' "$log" | tail -n 1)
  e2e_log "main thread: $timings"
  hook_max=$(sed -n 's/.*phim, toi da \([0-9]*\) ms.*/\1/p' <<<"$timings")
  [[ -n $hook_max && $hook_max -le 250 ]] || problems+=" a key waited ${hook_max:-?} ms for the hook;"
  if [[ -z $problems ]]; then pass "$name"; else fail "$name" "$problems"; fi
  main_thread_end
  e2e_log "main thread: $(($(date +%s) - started)) s"
}

# main_thread_dpi DPI: the DPI programs started from now on run at.
main_thread_dpi() {
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$1" >"$E2E_DIR/dpi.reg"
  "$E2E_WINE" regedit "$E2E_DIR/dpi.reg" >/dev/null 2>&1
  # Wine reads it when its server starts: every program of the prefix ends first.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

main_thread_end() {
  close_editor
  stop_installed
  stop_server
  main_thread_dpi 96
  # The next cases start from no update state of their own.
  rm -rf "$user_data/cap-nhat" "$user_data/update.txt"
}
