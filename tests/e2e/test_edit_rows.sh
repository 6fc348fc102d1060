#!/usr/bin/env bash
# Editing rows as an operator does: typing Japanese content, the fare switch and a sound
# option, the refusal of a forbidden character and its correction, then copy, paste, move
# and delete; each outcome checked through the bytes File > 保存 writes; then File > 終了.
source "$(dirname "$0")/lib.sh"
APP=$1

FIRST="次は終点です"
WITH_COMMA="ご乗車,ありがとう"
REPLACEMENT="、"
e2e_start_x "$FIRST" "$WITH_COMMA" "$REPLACEMENT"
e2e_start_app "$APP"

A='次は終点です,1,2'
B='ご乗車、ありがとう,0,0'
N='(新しい行),,'


# Types $1 as the whole content of the editor.
set_content() {
  click_ctl text
  xdotool key ctrl+a
  type_text "$1"
}

# --- A new row, edited and confirmed -----------------------------------------------------
click_ctl add
set_content "$FIRST"
click_ctl fare
click_ctl sound2
click_ctl confirm
pass "first row added, typed, fare switch ticked, sound 2 chosen, 確定 clicked (the save below checks it)"

# --- A forbidden comma is refused and selected, so typing replaces just the comma --------
click_ctl add
set_content "$WITH_COMMA"
click_ctl confirm
expect_window "エラー"
pass "a comma in the content raises the box titled エラー"
xdotool key Return
wait_main_active "the エラー box"
type_text "$REPLACEMENT"
click_ctl confirm
sleep 0.3
is_active "$APP_WIN" || fail "confirming the corrected content raised '$(active_name)'"
[[ -z "$(xdotool search --onlyvisible --name '^エラー' 2>/dev/null)" ]] \
  || fail "confirming the corrected content raised the エラー box again"
pass "after the box, typing replaced the selected comma and the row confirmed"

save_as "$E2E_TMP/edited"
write_cp932 "$E2E_TMP/expected" "$A" "$B"
expect_bytes "$E2E_TMP/edited.csv" "$E2E_TMP/expected" "the saved rows differ"
pass "saved through the dialog as code page 932 with CR LF, \".csv\" added"

# --- Add below the current row, copy and append paste, move up ---------------------------
click_row 1
click_ctl add               # A N B, the new row below row 1
click_row 1
click_ctl copy
click_ctl append_paste      # A N B A
click_row 3
click_ctl up                # A B N A
save_as "$E2E_TMP/pasted"
write_cp932 "$E2E_TMP/expected" "$A" "$B" "$N" "$A"
expect_bytes "$E2E_TMP/pasted.csv" "$E2E_TMP/expected" \
  "add below the current row, copy + append paste or move up went wrong"
pass "a new row went below the current row, the copy was appended whole, a row moved up"

# --- Move down, delete the clicked row --------------------------------------------------
click_ctl down              # B follows its values: A N B A
click_row 2
click_ctl delete            # A B A
save_as "$E2E_TMP/deleted"
write_cp932 "$E2E_TMP/expected" "$A" "$B" "$A"
expect_bytes "$E2E_TMP/deleted.csv" "$E2E_TMP/expected" "move down or delete went wrong"
pass "a row moved down and the clicked row was deleted"

# --- File > 終了 with rows: one question, and Yes ends the program at once ----------------
# Ending through the window's close handling would ask 破棄の確認 a second time and keep
# the program running until it was answered.
file_menu x
expect_window "破棄の確認"
pass "File > 終了 with rows asks 破棄の確認"
xdotool key alt+y
wait_for 10 bash -c "! kill -0 $APP_PID 2>/dev/null" \
  || fail "File > 終了 answered Yes did not end the program (active: '$(active_name)')"
status=0
wait "$APP_PID" || status=$?
(( status == 0 )) || fail "the program ended with status $status"
pass "Yes ended the program at once, with status 0 and no second question"
