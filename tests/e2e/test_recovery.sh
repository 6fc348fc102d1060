#!/usr/bin/env bash
# The recovery journal, the hard way: the real window killed with SIGKILL at several points
# of an operator's session. Each time the restarted tool asks to restore, and after Yes the
# table File > 保存 writes is exactly the one after the last command that had finished.
# Declining keeps the journal in discarded/; a save, and a normal close, leave nothing to
# offer.
source "$(dirname "$0")/lib.sh"
APP=$1

FIRST="次は終点です"
SECOND="乗換案内"
e2e_start_x "$FIRST" "$SECOND"
RECOVERY="$XDG_STATE_HOME/broadcast-data-tool/recovery"

set_content() {
  click_ctl text
  xdotool key ctrl+a
  type_text "$1"
}

# Kills the tool as a crash would, and starts it again; a question may come at once.
kill_and_restart() {
  kill -9 "$APP_PID"
  wait "$APP_PID" 2>/dev/null || true
  e2e_launch_app "$APP"
}

# The restarted tool asks; $1 is the key that answers (Return: Yes, the default).
answer_restore() {
  expect_window "編集内容の復元"
  xdotool key "$1"
  wait_main_active "the restore question"
}

# No question comes: the main window becomes active and stays the only window a while.
expect_no_question() {
  xdotool windowactivate --sync "$APP_WIN" >/dev/null 2>&1 || true
  sleep 1.5
  main_settled || fail "$1: '$(active_name)' came up"
}

journals() { find "$1" -maxdepth 1 -name '*.bdtj' 2>/dev/null | wc -l; }

e2e_start_app "$APP"

# --- 1: killed right after 確定 ------------------------------------------------------------
click_ctl add
set_content "$FIRST"
click_ctl fare
click_ctl sound2
click_ctl confirm
kill_and_restart
answer_restore Return
save_as "$E2E_TMP/one"
write_cp932 "$E2E_TMP/expected" "$FIRST,1,2"
expect_bytes "$E2E_TMP/one.csv" "$E2E_TMP/expected" "the table after the first kill differs"
pass "killed after 確定: restored, and saved exactly"

# --- 2: killed while typing, a second after the last key -----------------------------------
click_ctl add
set_content "$SECOND"
sleep 1
kill_and_restart
answer_restore Return
click_ctl confirm # the restored editor holds the unconfirmed text, on the new row
save_as "$E2E_TMP/two"
write_cp932 "$E2E_TMP/expected" "$FIRST,1,2" "$SECOND,0,0"
expect_bytes "$E2E_TMP/two.csv" "$E2E_TMP/expected" "the unconfirmed text did not come back"
pass "killed while typing: the text not yet confirmed came back in the editor"

# --- 3: killed the moment a row command returned ------------------------------------------
click_row 2
click_ctl up
click_ctl copy
click_ctl append_paste
click_ctl delete
kill_and_restart
answer_restore Return
save_as "$E2E_TMP/three"
write_cp932 "$E2E_TMP/expected" "$SECOND,0,0" "$FIRST,1,2"
expect_bytes "$E2E_TMP/three.csv" "$E2E_TMP/expected" "the row commands did not come back"
pass "killed right after moving, pasting and deleting: restored exactly"

# --- 4: after a save, nothing is offered --------------------------------------------------
kill_and_restart
expect_no_question "a kill after saving"
pass "killed after saving: no question"

# --- 5: declined -------------------------------------------------------------------------
click_ctl add
click_ctl confirm
kill_and_restart
answer_restore Escape
[[ $(journals "$RECOVERY/discarded") -eq 1 ]] || fail "the declined journal is not in discarded/"
kill_and_restart
expect_no_question "a restart after declining"
pass "declined: the journal moved to discarded/, and is not offered again"

# --- 6: a normal close ends the journal ---------------------------------------------------
click_ctl add
xdotool key alt+F4
expect_window "破棄の確認"
xdotool key Return
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "the window did not close"
[[ $(journals "$RECOVERY") -eq 0 ]] || fail "a journal was left after a normal close"
e2e_launch_app "$APP"
expect_no_question "a restart after closing"
pass "a normal close leaves nothing to restore"
