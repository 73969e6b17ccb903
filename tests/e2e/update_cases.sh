# The background worker against a loopback update server. The end-to-end build asks
# http://127.0.0.1:18093/cap-nhat.txt and trusts the throw-away key in build/e2e-keys (test.sh
# makes both); the server below is the only one the program ever reaches.
# shellcheck shell=bash

update_port=18093
update_keys=build/e2e-keys
update_url="http://127.0.0.1:$update_port"

# A loopback HTTP server over a folder; its PID in update_server_pid.
serve_folder() {
  python3 -m http.server "$update_port" --bind 127.0.0.1 --directory "$1" >"$E2E_DIR/server.log" 2>&1 &
  update_server_pid=$!
  e2e_wait_for 10 python3 -c "import urllib.request; urllib.request.urlopen('$update_url/', timeout=1)" 2>/dev/null
}

# A server that takes every connection and never answers a byte.
serve_nothing() {
  python3 -c '
import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1])))
s.listen(16)
held = []
while True:
    held.append(s.accept()[0])
' "$update_port" >"$E2E_DIR/stalled.log" 2>&1 &
  update_server_pid=$!
  e2e_wait_for 10 python3 -c "import socket; socket.create_connection(('127.0.0.1', $update_port), 1)" 2>/dev/null
}

stop_server() {
  kill "$update_server_pid" 2>/dev/null
  wait "$update_server_pid" 2>/dev/null
}

update_cases() {
  if [[ ! -f $update_keys/p1.pem ]]; then
    fail "update download: update.txt holds the new max_seq and source" "no test key in $update_keys"
    return
  fi
  # Any bytes make a package for the download; the newer build's installer is the real thing.
  local served="$E2E_DIR/served" next package
  next=$(msi_of_build "$build" next)
  package=$(basename "$next")
  mkdir -p "$served"
  if [[ -f $next ]]; then
    cp "$next" "$served/$package"
  else
    cp "$tonvira_exe" "$served/$package"
  fi
  local size sha
  size=$(stat -c %s "$served/$package")
  sha=$(sha256sum "$served/$package" | cut -d' ' -f1)
  printf '%s\n' "TONVIRA-UPDATE 1" "product=tonvira" "channel=stable" "version=1.4.13" \
    "published=2026-12-06" "msi=$update_url/$package" "sha256=$sha" "seq=5" "size=$size" \
    "note=Sửa lỗi nhỏ khi gõ tắt" >"$E2E_DIR/manifest.in"
  # The test signer (the release tool's signing, without the release checks); the passphrase is the
  # throw-away one test.sh gave the key in build/e2e-keys.
  TONVIRA_KEY_PASSPHRASE=tonvira-e2e python3 -B tests/update/sign_for_tests.py --private "$update_keys/p1.pem" \
    "$E2E_DIR/manifest.in" "$served/cap-nhat.txt" >/dev/null

  # Case: after start the worker fetches and verifies the manifest, keeps it, downloads the
  # package it names and checks it, and tells the main window.
  serve_folder "$served"
  new_program update
  start_tonvira update
  local data="$prog/data" log="$E2E_DIR/tonvira-update.log"
  if e2e_wait_for 30 grep -qx "max_seq=5" "$data/update.txt" &&
    grep -qx "source=$update_url/cap-nhat.txt" "$data/update.txt"; then
    pass "update download: update.txt holds the new max_seq and source"
  else
    fail "update download: update.txt holds the new max_seq and source" \
      "update.txt: $(tr '\n' ' ' <"$data/update.txt" 2>/dev/null)"
  fi
  package_ready() {
    cmp -s "$data/cap-nhat/cap-nhat.txt" "$served/cap-nhat.txt" &&
      [[ $(sha256sum "$data/cap-nhat/$package" 2>/dev/null | cut -d' ' -f1) == "$sha" ]] &&
      [[ ! -e "$data/cap-nhat/$package.part" ]]
  }
  if e2e_wait_for 30 package_ready; then
    pass "update download: the verified manifest and the package on disk"
  else
    fail "update download: the verified manifest and the package on disk" "cap-nhat holds: $(ls "$data/cap-nhat" 2>/dev/null | tr '\n' ' ')"
  fi
  # The status the main window heard: an update found and its package ready.
  if e2e_wait_for 30 grep -q '^cap nhat: kind 2,' "$log"; then
    pass "update download: the main window heard the update state"
  else
    fail "update download: the main window heard the update state" "$(grep '^cap nhat' "$log" | tail -n 1)"
  fi
  stop_tonvira
  stop_server

  # Case: a server that accepts and never answers holds the worker for its whole timeout, and
  # typing goes on undelayed meanwhile.
  serve_nothing
  new_program stalled
  start_tonvira stalled
  log="$E2E_DIR/tonvira-stalled.log"
  if ! e2e_wait_for 10 grep -q '^cap nhat: .*dang kiem tra 1' "$log"; then
    fail "stalled server: typing goes on" "the worker never started its check"
  else
    open_editor stalled && {
      started=$(date +%s)
      xdotool type --delay 40 "Vieetj nhes"
      expect "stalled server: typing goes on" "Việt nhé"
      # Still waiting for the server when the text was done: the typing did not wait for it.
      if grep '^cap nhat' "$log" | tail -n 1 | grep -q 'dang kiem tra 1'; then
        pass "stalled server: the check was still waiting"
        e2e_log "typed in $(($(date +%s) - started)) s while the check waited"
      else
        fail "stalled server: the check was still waiting" "$(grep '^cap nhat' "$log" | tail -n 1)"
      fi
      close_editor
    }
  fi
  stop_tonvira
  stop_server
}
