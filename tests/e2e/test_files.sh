#!/usr/bin/env bash
# Files as an operator handles them: a hand-made file opened through File > 開く, saved
# under a new name and over an existing one through the real dialogs, byte for byte; the
# question before opening over rows; a row confirmed as loaded; and the question before
# closing with rows.
source "$(dirname "$0")/lib.sh"
APP=$1

e2e_start_x
e2e_start_app "$APP"

D=$E2E_TMP/files
mkdir -p "$D"
# Every sound signal, both fare values, an unconfirmed new row, a row whose signals no
# editor control can show (7, 9), and 表, whose second byte in code page 932 is "\".
ROWS=(
  '次は新宿です,1,0'
  '整理券をお取りください,7,9'
  '運賃表をご覧ください,0,1'
  '(新しい行),,'
  'ご乗車ありがとうございました,0,2'
  '終点です,1,3'
)
write_cp932 "$D/routeTp.csv" "${ROWS[@]}"
od -An -v -tx1 "$D/routeTp.csv" | tr -s ' \n' ' ' | grep -q ' 95 5c ' || fail "the prepared file lacks the byte pair of 表"

OPEN_TITLE="放送用データファイルを開く"
SAVE_TITLE="名前を付けて保存"

# --- Open into an empty table: the dialog comes at once -------------------------------------
file_menu o
expect_window "$OPEN_TITLE"
type_file_name "$D/routeTp.csv"
wait_main_active "the open dialog"
pass "opened through the open dialog, no question with an empty table"

# --- Save under a new name typed without its extension ----------------------------------
file_menu s
expect_window "$SAVE_TITLE"
type_file_name "$D/copyTp"
wait_main_active "the save dialog"
expect_bytes "$D/copyTp.csv" "$D/routeTp.csv" "the file saved under a new name differs from the one opened"
[[ ! -e "$D/copyTp" ]] || fail "a file without the extension was written too"
pass "saved as copyTp.csv (extension added), byte for byte the file opened"

# --- Save over an existing file: the dialog asks first ----------------------------------
# Other bytes in the target first, so only a real rewrite makes the comparison pass.
printf 'old\r\n' >"$D/copyTp.csv"
file_menu s
expect_window "$SAVE_TITLE"
dialog=$DLG_WIN
type_file_name "$D/copyTp"
expect_window "$SAVE_TITLE" "$dialog"
pass "saving onto an existing name asks before replacing it"
xdotool key alt+y
wait_main_active "the replace question and the save dialog"
expect_bytes "$D/copyTp.csv" "$D/routeTp.csv" "the replaced file differs from the one opened"
pass "answering Yes replaced the file, byte for byte the file opened"

# --- Open over rows: the delete question, then the dialog ---------------------------------
file_menu o
expect_window "削除の確認"
pass "opening over rows asks 削除の確認 first"
xdotool key Return
expect_window "$OPEN_TITLE"
type_file_name "$D/copyTp.csv"
wait_main_active "the open dialog"
pass "Yes (the default) led to the open dialog, and the file opened"

# --- A row confirmed as loaded takes the editor's values ---------------------------------
# Row 2 holds signals 7 and 9, which no control shows: the editor loads them as an unticked
# fare switch and sound option 0, and confirming writes those.
click_row 2
click_ctl confirm
file_menu s
expect_window "$SAVE_TITLE"
type_file_name "$D/confirmedTp"
wait_main_active "the save dialog"
CONFIRMED=("${ROWS[@]}")
CONFIRMED[1]='整理券をお取りください,0,0'
write_cp932 "$D/expected" "${CONFIRMED[@]}"
expect_bytes "$D/confirmedTp.csv" "$D/expected" "confirming row 2 unchanged did not write the editor's values"
pass "row 2 confirmed unchanged became 0,0; the other rows kept their bytes"

# --- Closing from the frame with rows asks first -----------------------------------------
xdotool key alt+F4
expect_window "破棄の確認"
pass "closing from the frame with rows asks 破棄の確認"
xdotool key alt+n
wait_main_active "answering No to 破棄の確認"
sleep 0.3
kill -0 "$APP_PID" 2>/dev/null || fail "answering No ended the program"
xdotool search --onlyvisible --name '^放送用データ作成ツール$' >/dev/null \
  || fail "answering No closed the window"
pass "No keeps the window open and the program running"

xdotool key alt+F4
expect_window "破棄の確認"
xdotool key alt+y
wait_for 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "answering Yes did not end the program"
pass "Yes closes the window and ends the program"
