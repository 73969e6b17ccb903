# A whole update under Wine, sourced by run.sh after the worker's cases (it uses their
# serve_folder and stop_server, the installer cases' msi_* helpers, and run.sh's pass, fail,
# open_editor, expect and close_editor). Tonvira 1.4.12 is installed from its package and started
# from Program Files; the loopback server offers 1.4.13 as a mandatory update with its package.
# The program downloads it and suspends Vietnamese; a second start opens the update window;
# "Cập nhật ngay" runs msiexec, the program exits and starts again. Then a package that fails,
# with the program killed during each installation, three times over: the version is given up.
# shellcheck shell=bash
# shellcheck disable=SC2154  # build, post_exe, text_exe, update_url, update_keys: the callers'

installed_exe='C:\Program Files\Tonvira\tonvira.exe'

# publish FOLDER PACKAGE VERSION SEQ MIN: the package and a signed manifest offering it (no
# minimum when MIN is empty).
publish() {
  local folder=$1 package=$2 version=$3 seq=$4 min=$5 name size sha
  name=$(basename "$package")
  mkdir -p "$folder"
  cp "$package" "$folder/$name"
  size=$(stat -c %s "$folder/$name")
  sha=$(sha256sum "$folder/$name" | cut -d' ' -f1)
  {
    printf '%s\n' "TONVIRA-UPDATE 1" "product=tonvira" "channel=stable" "version=$version"
    [[ -n $min ]] && printf 'min=%s\n' "$min"
    printf '%s\n' "published=2026-12-06" "msi=$update_url/$name" "sha256=$sha" "seq=$seq" "size=$size" \
      "note=Gõ tắt nhanh hơn trong bảng tính" "note=Sửa lỗi bỏ dấu sau dấu gạch ngang"
  } >"$E2E_DIR/manifest.in"
  # The test signer (the release tool's signing, without the release checks); the passphrase is the
  # throw-away one test.sh gave the key in build/e2e-keys.
  TONVIRA_KEY_PASSPHRASE=tonvira-e2e python3 -B tests/update/sign_for_tests.py --private "$update_keys/p1.pem" \
    "$E2E_DIR/manifest.in" "$folder/cap-nhat.txt" >/dev/null
}

# signed_by CERTIFICATE COMMAND...: runs COMMAND with build/signing's CERTIFICATE ("signer", the
# one the e2e build pins, or "other") as the signing certificate; "none" signs nothing.
signed_by() {
  local who=$1
  shift
  if [[ $who == none ]]; then
    env -u TONVIRA_SIGN_CERT -u TONVIRA_SIGN_KEY "$@"
  else
    TONVIRA_SIGN_CERT=build/signing/$who.pem TONVIRA_SIGN_KEY=build/signing/$who.key "$@"
  fi
}

window() { "$E2E_WINE" "$text_exe" "$@" >/dev/null 2>&1; }
# The update window is up with "Cập nhật ngay" enabled.
install_button_ready() { window shown TonviraUpdate 501; }
main_window_up() { "$E2E_WINE" "$post_exe" 0 >/dev/null 2>&1; }

# update_window_shot FILE: the update window alone, as the user sees it.
update_window_shot() {
  local out="$E2E_DIR/update-rect.txt" x="" y w h dpi
  rm -f "$out"
  window rect TonviraUpdate "$(e2e_winpath "$out")" || return 1
  read -r x y w h dpi <"$out"
  [[ -n $x ]] && import -window root -crop "${w}x${h}+$x+$y" +repage "$1" 2>/dev/null
}

# started_versions LOG: the versions that started with this log, in order.
started_versions() { sed -n 's/^tonvira \([0-9.]*\): bat dau.*/\1/p' "$1" | tr '\n' ' '; }

# A second start of the installed program: it hands over to the first and ends.
second_start() { timeout 60 "$E2E_WINE" "$installed_exe" >/dev/null 2>&1; }

# Ends whichever instance runs now (it may not be a child of this script).
stop_installed() {
  "$E2E_WINE" "$post_exe" 1002 >/dev/null 2>&1
  e2e_wait_for 20 bash -c "! '$E2E_WINE' '$post_exe' 0 >/dev/null 2>&1"
  kill "$tonvira_pid" 2>/dev/null
}

update_install_cases() {
  local msi next started
  msi=$(msi_of_build "$build")
  next=$(msi_of_build "$build" next)
  started=$(date +%s)
  if [[ ! -f $msi || ! -f $next || ! -f $update_keys/p1.pem ]]; then
    fail "mandatory update: 1.4.12 installed and started" "missing [$msi], [$next] or the test key"
    return
  fi
  local served="$E2E_DIR/served-install" log="$E2E_DIR/tonvira-mandatory.log" package
  package=$(basename "$next")
  publish "$served" "$next" 1.4.13 10 1.4.13
  if ! msi_run /i "$msi" update-1.4.12; then
    fail "mandatory update: 1.4.12 installed and started" "msiexec exited $? (see msi-update-1.4.12.log)"
    return
  fi
  user_data=$(msi_user_folders | head -n 1)
  if [[ -z $user_data || ! -f $user_data/settings.txt || ! -f $user_data/abbrev.txt ]]; then
    # A prefix where the program never ran: once, so that the user's files exist.
    msi_start_program first-run
    stop_installed
    user_data=$(msi_user_folders | head -n 1)
  fi
  rm -rf "$user_data/cap-nhat" "$user_data/update.txt"
  local before
  before=$(msi_user_digest)
  serve_folder "$served"
  msi_start_program mandatory

  # The package is downloaded, the update is mandatory and ready, and composition is suspended.
  if e2e_wait_for 60 grep -q '^cap nhat: kind 3,.*tam dung 1' "$log"; then
    pass "mandatory update: downloaded, required and Vietnamese suspended"
  else
    fail "mandatory update: downloaded, required and Vietnamese suspended" "$(grep '^cap nhat' "$log" | tail -n 1)"
    stop_installed
    stop_server
    return
  fi
  msi_type_check "mandatory update: typing stays plain while suspended" "Vieetj" "Vieetj"

  # A second start asks for the settings; while suspended the update window answers instead.
  second_start
  if e2e_wait_for 20 install_button_ready; then
    pass "mandatory update: a second start opens the update window"
  else
    fail "mandatory update: a second start opens the update window" "no TonviraUpdate window with button 501"
  fi

  # A package changed on disk after its download is refused, deleted and fetched again.
  local kept="$user_data/cap-nhat/$package"
  printf 'x' >>"$kept"
  window click TonviraUpdate 501
  if e2e_wait_for 20 grep -q 'trang thai: .*không còn nguyên vẹn' "$log"; then
    pass "damaged package: the update window says không còn nguyên vẹn"
  else
    fail "damaged package: the update window says không còn nguyên vẹn" "$(grep '^cap nhat: trang thai' "$log" | tail -n 1)"
  fi
  if e2e_wait_for 60 bash -c "cmp -s '$kept' '$served/$package'"; then
    pass "damaged package: downloaded again"
  else
    fail "damaged package: downloaded again" "cap-nhat holds: $(ls -l "$user_data/cap-nhat" 2>/dev/null | tr '\n' ' ')"
  fi

  # "Cập nhật ngay": msiexec runs, the program ends and starts again (the new instance opens the
  # same log afresh, so what it says is all the log holds then).
  e2e_wait_for 30 install_button_ready
  window click TonviraUpdate 501
  if e2e_wait_for 180 bash -c "! kill -0 $tonvira_pid 2>/dev/null" && e2e_wait_for 60 main_window_up &&
    e2e_wait_for 30 grep -q ': bat dau' "$log"; then
    pass "mandatory update: msiexec ran, the program ended and started again"
    pass "signer: the package signed by the pinned certificate is installed"
  else
    fail "mandatory update: msiexec ran, the program ended and started again" \
      "$(grep -E '^(cai dat|khoi dong|tonvira)' "$log" | tr '\n' ' ')"
  fi

  # Wine's installer cannot replace the running executable: it schedules the new one for the
  # next boot and reports 3010. The program that starts again is still 1.4.12 and says so; a
  # reboot (wineboot -r) puts 1.4.13 in place.
  local versions
  versions=$(started_versions "$log")
  if [[ $versions == "1.4.12 " ]]; then
    if e2e_wait_for 20 grep -q 'trang thai: Đã cài phiên bản 1.4.13 nhưng Tonvira vẫn chạy phiên bản 1.4.12' "$log" &&
      e2e_wait_for 20 grep -q '^cap nhat: kind 2,.*tam dung 0' "$log"; then
      pass "mandatory update: before the reboot, installed but not running, typing back"
    else
      fail "mandatory update: before the reboot, installed but not running, typing back" \
        "$(grep '^cap nhat' "$log" | tail -n 2 | tr '\n' ' ')"
    fi
    stop_installed
    "$E2E_WINE" wineboot -r >"$E2E_DIR/wineboot-r.log" 2>&1
    timeout 60 wineserver -w
    stop_installed  # anything the reboot started from the log-on entry
    msi_start_program updated
    log="$E2E_DIR/tonvira-updated.log"
    e2e_wait_for 30 grep -q ': bat dau' "$log"
    versions=$(started_versions "$log")
  fi
  if [[ $versions == *"1.4.13 " && $(msi_file_version) == 1.4.13* ]]; then
    pass "mandatory update: 1.4.13 runs"
  else
    fail "mandatory update: 1.4.13 runs" "started [$versions], file version [$(msi_file_version)]"
  fi
  if e2e_wait_for 30 grep -qx 'attempt=' "$user_data/update.txt" &&
    e2e_wait_for 30 grep -q '^cap nhat: kind 0,.*tam dung 0' "$log"; then
    pass "mandatory update: nothing left to install, attempt cleared"
  else
    fail "mandatory update: nothing left to install, attempt cleared" \
      "update.txt: $(tr '\n' ' ' <"$user_data/update.txt" 2>/dev/null)"
  fi
  msi_type_check "mandatory update: the new version types Vietnamese" "Vieetj" "Việt"
  if [[ -n $before && $(msi_user_digest) == "$before" ]]; then
    pass "mandatory update: settings.txt and abbrev.txt byte for byte as before"
  else
    fail "mandatory update: settings.txt and abbrev.txt byte for byte as before" \
      "before [$before], after [$(msi_user_digest)]"
  fi
  stop_installed
  stop_server
  e2e_log "mandatory update: $(($(date +%s) - started)) s"
  failing_install_cases
  signer_cases
  main_thread_case
  late_failure_case
  stop_installed
  msi_run /x "$next" update-uninstall
}

# A newer package built to fail: each time the program is killed while msiexec runs, and the
# next start tells of an unfinished installation; after the third, the version is given up and
# no longer pressed.
failing_install_cases() {
  local started served="$E2E_DIR/served-failing" bad="$E2E_DIR/tonvira-1.4.14-x64-test.msi" log run
  started=$(date +%s)
  if ! signed_by signer python3 packaging/make_failing_package.py "$(msi_of_build "$build" next)" "$bad" \
    >"$E2E_DIR/failing.out" 2>&1; then
    fail "given up after three failed installs" "no failing package: $(tail -n 1 "$E2E_DIR/failing.out")"
    return
  fi
  publish "$served" "$bad" 1.4.14 11 1.4.14
  serve_folder "$served"
  for run in 1 2 3 4; do
    msi_start_program "failing-$run"
    log="$E2E_DIR/tonvira-failing-$run.log"
    case $run in
      2 | 3)
        if ! e2e_wait_for 60 grep -q 'trang thai: Lần cập nhật trước chưa hoàn tất' "$log"; then
          fail "given up after three failed installs" "start $run: no unfinished-installation text"
          break
        fi
        ;;
      4)
        if e2e_wait_for 60 grep -q 'trang thai: Chưa cài được phiên bản 1.4.14 sau nhiều lần thử' "$log" &&
          e2e_wait_for 30 grep -q '^cap nhat: kind 2,.*tam dung 0' "$log"; then
          pass "given up after three failed installs"
        else
          fail "given up after three failed installs" "$(grep '^cap nhat' "$log" | tail -n 2 | tr '\n' ' ')"
        fi
        break
        ;;
    esac
    if ! e2e_wait_for 60 grep -q '^cap nhat: kind 3,' "$log"; then
      fail "given up after three failed installs" "start $run: the update never became required"
      break
    fi
    second_start
    e2e_wait_for 20 install_button_ready && window click TonviraUpdate 501
    if ! e2e_wait_for 30 grep -q '^cai dat: msiexec da chay' "$log"; then
      fail "given up after three failed installs" "start $run: msiexec did not start"
      break
    fi
    # Killed while the installation runs; the installation then fails on its own.
    kill -9 "$tonvira_pid" 2>/dev/null
    wait "$tonvira_pid" 2>/dev/null
    e2e_wait_for 120 bash -c '! pgrep -f -i "msiexe[c]" >/dev/null'
    e2e_wait_for 20 bash -c "! '$E2E_WINE' '$post_exe' 0 >/dev/null 2>&1"
  done
  stop_installed
  stop_server
  e2e_log "failing installs: $(($(date +%s) - started)) s"
}

# state_now LOG PATTERN: the last state the program traced matches PATTERN.
state_now() { grep '^cap nhat: kind' "$1" | tail -n 1 | grep -q "$2"; }

# press_install NAME LOG: the program started from Program Files under NAME; once the offered
# update is required, a second start opens the update window and "Cập nhật ngay" is pressed.
press_install() {
  local try
  msi_start_program "$1"
  e2e_wait_for 60 grep -q '^cap nhat: kind 3,' "$2" && second_start && e2e_wait_for 20 install_button_ready ||
    return 1
  # A click that reaches the window while it is still settling does nothing: pressed again
  # until the program says what became of it.
  for try in 1 2 3; do
    window click TonviraUpdate 501
    e2e_wait_for 10 grep -q '^cai dat: ' "$2" && return 0
  done
  return 1
}

# Packages the pinned certificate did not sign are not installed: an unsigned one, and one signed
# by another certificate of the same authority (Wine's WinVerifyTrust accepts a chain to an
# unknown authority, so there the pin is what refuses it). The program deletes the package,
# says why, starts no installer and no longer suspends typing for that version. The packages
# are built to fail, so one that is installed by mistake cannot pass for refused.
signer_cases() {
  local row name who version seq bad served log title
  for row in "unsigned none 1.4.15 12" "wrongly-signed other 1.4.16 13"; do
    read -r name who version seq <<<"$row"
    title="signer: a package signed by another certificate is refused"
    [[ $who == none ]] && title="signer: an unsigned package is refused"
    bad="$E2E_DIR/tonvira-$version-x64-test.msi"
    served="$E2E_DIR/served-$name"
    log="$E2E_DIR/tonvira-$name.log"
    if ! signed_by "$who" python3 packaging/make_failing_package.py "$(msi_of_build "$build" next)" "$bad" "$version" \
      >"$E2E_DIR/$name.out" 2>&1; then
      fail "$title" "no package: $(tail -n 1 "$E2E_DIR/$name.out")"
      continue
    fi
    publish "$served" "$bad" "$version" "$seq" "$version"
    serve_folder "$served"
    if ! press_install "$name" "$log"; then
      fail "$title" "the update was never required, or no update window: $(grep '^cap nhat' "$log" | tail -n 1)"
    elif e2e_wait_for 30 grep -q 'trang thai: Bản cập nhật không có chữ ký hợp lệ' "$log" &&
      grep -q '^cai dat: khong chay' "$log" && ! grep -q '^cai dat: msiexec da chay' "$log" &&
      [[ ! -e $user_data/cap-nhat/$(basename "$bad") ]] && e2e_wait_for 10 state_now "$log" 'tam dung 0'; then
      pass "$title"
    else
      fail "$title" "$(grep -E '^(cai dat|cap nhat)' "$log" | tail -n 3 | tr '\n' ' ') cap-nhat: $(ls "$user_data/cap-nhat" | tr '\n' ' ')"
    fi
    stop_installed
    stop_server
  done
}

# A package that fails late, from the installation script once the older version was removed and
# its own files copied: msiexec ends with 1603, the update window says so, and the user's data is
# untouched. Windows rolls the removal back, because it runs inside the transaction; Wine's
# installer may not, so whether the installed version survived is reported, and asserted (files,
# log-on entry and version together) only when Wine kept the product.
late_failure_case() {
  local bad="$E2E_DIR/tonvira-1.4.17-x64-test.msi" served="$E2E_DIR/served-late" log="$E2E_DIR/tonvira-late.log"
  local before products installed="$WINEPREFIX/drive_c/Program Files/Tonvira" running
  if ! signed_by signer python3 packaging/make_failing_package.py --late "$(msi_of_build "$build" next)" "$bad" 1.4.17 \
    >"$E2E_DIR/late.out" 2>&1; then
    fail "late failure: msiexec exits 1603 and the update window says so" "no package: $(tail -n 1 "$E2E_DIR/late.out")"
    return
  fi
  running=$(msi_file_version)
  before=$(msi_user_digest)
  publish "$served" "$bad" 1.4.17 15 1.4.17
  serve_folder "$served"
  if ! press_install late "$log"; then
    fail "late failure: msiexec exits 1603 and the update window says so" "the update was never required"
  elif e2e_wait_for 180 grep -q 'trang thai: Chưa cập nhật được (mã lỗi 1603)' "$log" &&
    grep -qx 'attempt_rc=1603' "$user_data/update.txt"; then
    pass "late failure: msiexec exits 1603 and the update window says so"
  else
    fail "late failure: msiexec exits 1603 and the update window says so" \
      "$(grep -E '^(cai dat|cap nhat)' "$log" | tail -n 3 | tr '\n' ' ') update.txt: $(grep attempt "$user_data/update.txt" | tr '\n' ' ')"
  fi
  # The installer's own log (/l*v, beside the package) shows the failure came after the new
  # files were copied: an action that failed before would leave nothing to roll back.
  if awk '/Action ended .*: InstallFiles\. Return value 1/ && !failed {files = NR}
    /Action ended .*: TonviraFailOnPurpose\. Return value [03]/ && !failed {failed = NR}
    END {exit !(files && failed)}' "$user_data/cap-nhat/cai-dat-1.4.17.log" 2>/dev/null; then
    pass "late failure: the installer failed after copying the new files"
  else
    fail "late failure: the installer failed after copying the new files" \
      "$(grep -E 'Action ended .*(InstallFiles|TonviraFailOnPurpose)' "$user_data/cap-nhat/cai-dat-1.4.17.log" 2>&1 | tr '\n' ' ')"
  fi
  if [[ -n $before && $(msi_user_digest) == "$before" ]]; then
    pass "late failure: the user's settings.txt and abbrev.txt untouched"
  else
    fail "late failure: the user's settings.txt and abbrev.txt untouched" "before [$before], after [$(msi_user_digest)]"
  fi
  stop_installed
  stop_server
  products=$(msi_products)
  if [[ $products == *$'\t'"${running%.0}" ]]; then
    if [[ -f $installed/tonvira.exe && $(msi_file_version) == "$running" && $(msi_run_value) == *tonvira.exe*--autostart ]]; then
      pass "late failure: the installed version rolled back whole"
    else
      fail "late failure: the installed version rolled back whole" \
        "product [$products], file version [$(msi_file_version)], Run [$(msi_run_value)]"
    fi
  else
    e2e_log "late failure: Wine did not roll back the removal of ${running%.0}: products [${products//$'\n'/; }]," \
      "program folder [$(ls "$installed" 2>&1 | tr '\n' ' ')], Run [$(msi_run_value)]"
  fi
}
