# Shared helpers of the end-to-end tests: a private X display (Xvfb), a fresh Wine prefix,
# and clean-up of exactly what the script started. Source it; call e2e_start first.
# shellcheck shell=bash

E2E_PIDS=()
E2E_WINE=/usr/lib/wine/wine64

e2e_log() { printf '[e2e] %s\n' "$*" >&2; }

# Waits until the command succeeds or the deadline (seconds) passes.
e2e_wait_for() {
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [[ $(date +%s) -ge $deadline ]] && return 1
    sleep 0.2
  done
}

e2e_start() {
  E2E_DIR=$(mktemp -d /tmp/tonvira-e2e.XXXXXX)
  # Xvfb picks a free display and tells us its number.
  exec {E2E_DISPLAY_FD}<> <(:)
  Xvfb -displayfd "$E2E_DISPLAY_FD" -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  local number=""
  read -r -t 20 number <&"$E2E_DISPLAY_FD" || true
  [[ -n "$number" ]] || { e2e_log "Xvfb did not start"; return 1; }
  export DISPLAY=":$number"
  export WINEPREFIX="$E2E_DIR/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  e2e_log "display $DISPLAY, prefix $WINEPREFIX"
  "$E2E_WINE" wineboot -i >"$E2E_DIR/wineboot.log" 2>&1
  cat >"$E2E_DIR/headless.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"UseTakeFocus"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="DejaVu Sans"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LowLevelHooksTimeout"=dword:000003e8
REG
  "$E2E_WINE" regedit "$E2E_DIR/headless.reg" >>"$E2E_DIR/wineboot.log" 2>&1
  "$E2E_WINE" winecfg -v win10 >>"$E2E_DIR/wineboot.log" 2>&1
  wineserver -w
}

# Starts a Windows program in the background; its PID is remembered for the clean-up.
e2e_run() {
  local log=$1
  shift
  "$E2E_WINE" "$@" >"$log" 2>&1 &
  E2E_PIDS+=($!)
  E2E_LAST_PID=$!
}

# The Windows name of a file under / (Wine's drive Z:), without starting a Wine process: winepath
# once printed nothing under load, and an editor then wrote into the current folder.
e2e_winpath() { printf 'Z:%s' "${1//\//\\}"; }

e2e_screenshot() { import -window root "$1" 2>/dev/null || true; }

# Ends every Windows program of the prefix (the virtual desktop's explorer too), then what we
# started, then removes the prefix (some 700 MB a run) unless E2E_KEEP is set.
e2e_stop() {
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k 2>/dev/null || true; fi
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  E2E_PIDS=()
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -w 2>/dev/null || true; fi
  if [[ -n "${E2E_DIR:-}" && -z "${E2E_KEEP:-}" ]]; then rm -rf "$E2E_DIR"; fi
}
