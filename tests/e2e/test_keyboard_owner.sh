#!/usr/bin/env bash
# The keyboard stays with whoever the operator gave it to. After a dialog closes, the tool
# never takes it back from another program the operator has just switched to.
source "$(dirname "$0")/lib.sh"
APP=$1

e2e_start_x
e2e_start_app "$APP"

# Another program's window, beside the tool's.
xmessage -geometry 300x80+700+600 "another program" >"$E2E_TMP/xmessage.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 xdotool search --onlyvisible --class xmessage || fail "xmessage did not appear"
OTHER=$(xdotool search --onlyvisible --class xmessage | head -n1)
xdotool windowactivate --sync "$APP_WIN" >/dev/null 2>&1 || true
wait_main_active "xmessage appearing"

# Fails unless the other program keeps the keyboard for $1 seconds.
other_keeps_keyboard() {
  local deadline=$((SECONDS + $1))
  while (( SECONDS < deadline )); do
    is_active "$OTHER" || fail "$2 took the keyboard from the other program (active: '$(active_name)')"
    sleep 0.05
  done
}

# --- After a dialog -------------------------------------------------------------------------
click_ctl voice
expect_window "音声の調節"
xdotool key Escape
xdotool windowactivate --sync "$OTHER" >/dev/null 2>&1 || true
other_keeps_keyboard 2 "the window, after its dialog closed,"
pass "after the voice dialog closed, the other program the operator switched to keeps the keyboard"
