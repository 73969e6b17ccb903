# The installer's cases, sourced by run.sh while the prefix is still fresh (it uses run.sh's pass,
# fail, open_editor, close_editor, expect and stop_tonvira): the package installs under Program
# Files with its log-on entry, the installed program types and keeps its data per user, a newer
# package replaces it in place without touching the user's files, and removal takes everything
# of the package away but the user's data.
#
# The packages: E2E_MSI (default: BUILD/packaging/tonvira-VERSION-x64-test.msi, VERSION from BUILD's
# cache) and E2E_MSI_NEXT, the same program under a newer version (default: the package of
# TONVIRA_NEXT_VERSION from the same build, which ./test.sh configures with 1.4.13).
# shellcheck shell=bash
# shellcheck disable=SC2154  # build, post_exe, tonvira_pid: run.sh's

# The package of a build folder, named by the version the build was configured with (and "-test"
# unless it is a release build); with "next", the package of the newer version built beside it.
msi_of_build() {
  local version variable=TONVIRA_VERSION suffix=-test
  [[ ${2:-} == next ]] && variable=TONVIRA_NEXT_VERSION
  version=$(sed -n "s/^$variable:STRING=//p" "$1/CMakeCache.txt" 2>/dev/null)
  grep -qx 'TONVIRA_RELEASE:BOOL=ON' "$1/CMakeCache.txt" 2>/dev/null && suffix=""
  [[ -n $version ]] && printf '%s/packaging/tonvira-%s-x64%s.msi' "$1" "$version" "$suffix"
}

# msi_version PACKAGE: the version its file name carries.
msi_version() { basename "$1" | sed -n 's/^tonvira-\(.*\)-x64\(-test\)\{0,1\}\.msi$/\1/p'; }

# msiexec OPTION PACKAGE NAME: runs Windows Installer without a user interface, logging to
# msi-NAME.log; its exit code is msiexec's.
msi_run() {
  timeout 180 "$E2E_WINE" msiexec "$1" "$(e2e_winpath "$(realpath "$2")")" /qn /l*v "$(e2e_winpath "$E2E_DIR/msi-$3.log")" \
    >"$E2E_DIR/msi-$3.out" 2>&1
}

msi_query() { "$E2E_WINE" "$build/tests/e2e/tonvira_msi_query.exe" "$@" >/dev/null 2>&1; }
# The installed products named Tonvira, one "code<TAB>version" line each.
msi_products() {
  rm -f "$E2E_DIR/products.txt"
  msi_query products "$(e2e_winpath "$E2E_DIR/products.txt")" && cat "$E2E_DIR/products.txt"
}
msi_run_value() {
  rm -f "$E2E_DIR/run-value.txt"
  msi_query run-value "$(e2e_winpath "$E2E_DIR/run-value.txt")" && cat "$E2E_DIR/run-value.txt"
}
msi_file_version() {
  rm -f "$E2E_DIR/file-version.txt"
  msi_query file-version 'C:\Program Files\Tonvira\tonvira.exe' "$(e2e_winpath "$E2E_DIR/file-version.txt")" &&
    cat "$E2E_DIR/file-version.txt"
}

# The program as the log-on entry starts it (so the first run does not open the settings window).
msi_start_program() {
  export TONVIRA_LOG
  TONVIRA_LOG=$(e2e_winpath "$E2E_DIR/tonvira-$1.log")
  e2e_run "$E2E_DIR/tonvira-$1.out" 'C:\Program Files\Tonvira\tonvira.exe' --autostart
  tonvira_pid=$E2E_LAST_PID
  e2e_wait_for 30 "$E2E_WINE" "$post_exe" 0 >/dev/null 2>&1
}

# Start-menu shortcuts of the prefix named Tonvira (Wine puts a per-machine one in the user's
# menu, Windows in the all-users menu).
msi_shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Tonvira.lnk' 2>/dev/null; }

# The per-user data folders of the prefix (AppData\Local\Tonvira of each user).
msi_user_folders() { find "$WINEPREFIX/drive_c/users" -mindepth 4 -maxdepth 4 -path '*/AppData/Local/Tonvira' 2>/dev/null; }

# The user's files, with their digests, in one line per file.
msi_user_digest() { (cd "$user_data" 2>/dev/null && sha256sum settings.txt abbrev.txt 2>/dev/null); }

# msi_type_check NAME KEYS EXPECTED: the running program composes in the test editor.
msi_type_check() {
  open_editor "$1" || return
  xdotool type --delay 40 "$2"
  expect "$1" "$3"
  close_editor
}

msi_cases() {
  local msi=${E2E_MSI:-$(msi_of_build "$build")}
  local next=${E2E_MSI_NEXT:-$(msi_of_build "$build" next)}
  local installed="$WINEPREFIX/drive_c/Program Files/Tonvira"
  local msi_started products run_line files
  user_data=""
  msi_started=$(date +%s)
  if [[ ! -f $msi || ! -f $next || ! -f $build/tests/e2e/tonvira_msi_query.exe ]]; then
    fail "msi install" "missing package [$msi] or [$next], or tonvira_msi_query.exe (./test.sh builds them)"
    return
  fi
  local old new
  old=$(msi_version "$msi")
  new=$(msi_version "$next")
  local expected_run='"C:\Program Files\Tonvira\tonvira.exe" --autostart'

  # Install.
  local code
  msi_run /i "$msi" install
  code=$?
  if [[ $code -ne 0 ]]; then
    fail "msi install: exit code 0" "msiexec exited $code (see msi-install.log)"
    return
  fi
  products=$(msi_products)
  if [[ $(grep -c . <<<"$products") -eq 1 && $products == *$'\t'"$old" ]]; then
    pass "msi install: exit code 0, one product $old"
  else
    fail "msi install: exit code 0, one product $old" "installed products: [$products]"
  fi
  # Exactly the package's files: the program and the shipped data folder, as the repository has it.
  files=$(cd "$installed" 2>/dev/null && find . -type f | sort | tr '\n' ' ')
  # Every file of data/ but the notes.
  local shipped expected_files differs="" f
  mapfile -t shipped < <(cd data && find . -maxdepth 1 -type f ! -name '*.md' -printf '%f\n' | sort)
  expected_files=$({ printf './data/%s\n' "${shipped[@]}"; echo ./tonvira.exe; } | sort | tr '\n' ' ')
  for f in "${shipped[@]}"; do
    cmp -s "data/$f" "$installed/data/$f" || differs+=" $f"
  done
  if [[ $files == "$expected_files" && -z $differs && $(msi_file_version) == "$old.0" ]]; then
    pass "msi install: tonvira.exe $old and data\\ under Program Files"
  else
    fail "msi install: tonvira.exe $old and data\\ under Program Files" \
      "files [$files], differing [$differs], version [$(msi_file_version)]"
  fi
  if [[ $(msi_shortcuts | grep -c .) -eq 1 ]]; then
    pass "msi install: start-menu shortcut"
  else
    fail "msi install: start-menu shortcut" "shortcuts: [$(msi_shortcuts)]"
  fi
  run_line=$(msi_run_value)
  if [[ $run_line == "$expected_run" ]]; then
    pass "msi install: log-on entry with --autostart"
  else
    fail "msi install: log-on entry with --autostart" "HKLM Run Tonvira holds [$run_line]"
  fi

  # The installed program types, and keeps its data in the per-user folder, which the package
  # did not make: the program copies the shipped files there and its exit rewrites settings.txt,
  # while nothing under Program Files changes.
  local before_start
  before_start=$(msi_user_folders)
  msi_start_program installed
  msi_type_check "msi install: the installed program types" "Tieengs Vieetj" "Tiếng Việt"
  stop_tonvira
  user_data=$(msi_user_folders | head -n 1)
  if [[ -z $before_start && -n $user_data ]] && grep -q '^ver=145$' "$user_data/settings.txt" &&
    [[ -f $user_data/abbrev.txt && -f $user_data/context.txt ]] &&
    [[ $(cd "$installed" && find . -type f | sort | tr '\n' ' ') == "$expected_files" ]] &&
    cmp -s data/settings.txt "$installed/data/settings.txt"; then
    pass "msi install: data kept in the per-user folder"
  else
    fail "msi install: data kept in the per-user folder" \
      "before the start [$before_start], after [$user_data]: $(find "$user_data" -type f 2>&1 | tr '\n' ' ')"
  fi

  # The user's own choices, which no package may touch.
  printf 'tvr\tTonvira thử nghiệm\n' >>"$user_data/abbrev.txt"
  sed -i 's/^en_threshold=.*/en_threshold=2.5/' "$user_data/settings.txt"
  local before
  before=$(msi_user_digest)

  # Upgrade in place, with the program stopped.
  msi_run /i "$next" upgrade
  code=$?
  [[ $code -eq 0 ]] || fail "msi upgrade: exit code 0" "msiexec exited $code (see msi-upgrade.log)"
  products=$(msi_products)
  if [[ $(grep -c . <<<"$products") -eq 1 && $products == *$'\t'"$new" ]]; then
    pass "msi upgrade: one product $new in place of $old"
  else
    fail "msi upgrade: one product $new in place of $old" "installed products: [${products//$'\n'/; }]"
  fi
  if [[ $(msi_file_version) == "$new.0" ]]; then
    pass "msi upgrade: tonvira.exe is $new"
  else
    fail "msi upgrade: tonvira.exe is $new" "file version [$(msi_file_version)]"
  fi
  if [[ -n $before && $(msi_user_digest) == "$before" ]]; then
    pass "msi upgrade: the user's settings.txt and abbrev.txt untouched"
  else
    fail "msi upgrade: the user's settings.txt and abbrev.txt untouched" "before [$before], after [$(msi_user_digest)]"
  fi
  run_line=$(msi_run_value)
  if [[ $run_line == "$expected_run" && $(msi_shortcuts | grep -c .) -eq 1 ]]; then
    pass "msi upgrade: one log-on entry and one shortcut"
  else
    fail "msi upgrade: one log-on entry and one shortcut" "Run [$run_line], shortcuts [$(msi_shortcuts)]"
  fi
  # An older package never takes the newer one's place.
  msi_run /i "$msi" downgrade
  code=$?
  products=$(msi_products)
  if [[ $code -ne 0 && $(grep -c . <<<"$products") -eq 1 && $products == *$'\t'"$new" ]]; then
    pass "msi upgrade: the $old package refuses to downgrade"
  else
    fail "msi upgrade: the $old package refuses to downgrade" "exit code $code, products [${products//$'\n'/; }]"
  fi
  msi_start_program upgraded
  msi_type_check "msi upgrade: the new program types" "Vieetj" "Việt"
  stop_tonvira
  kill "$tonvira_pid" 2>/dev/null  # never left holding the single-instance mutex for later cases
  before=$(msi_user_digest)

  # Removal: the package's files, shortcut and log-on entry go; the user's data stays.
  msi_run /x "$next" uninstall
  code=$?
  products=$(msi_products)
  if [[ $code -eq 0 && -z $products ]]; then
    pass "msi uninstall: exit code 0, no product left"
  else
    fail "msi uninstall: exit code 0, no product left" "exit code $code, products [${products//$'\n'/; }]"
  fi
  if [[ ! -e $installed && -z $(msi_shortcuts) ]] && ! msi_run_value >/dev/null; then
    pass "msi uninstall: program files, shortcut and log-on entry removed"
  else
    fail "msi uninstall: program files, shortcut and log-on entry removed" \
      "left: [$(ls "$installed" 2>&1)], shortcuts [$(msi_shortcuts)], Run [$(msi_run_value)]"
  fi
  if [[ -n $before && $(msi_user_digest) == "$before" ]]; then
    pass "msi uninstall: the user's data left as it was"
  else
    fail "msi uninstall: the user's data left as it was" "before [$before], after [$(msi_user_digest)]"
  fi
  e2e_log "msi install, upgrade and uninstall: $(($(date +%s) - msi_started)) s"
}
