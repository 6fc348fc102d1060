#!/usr/bin/env bash
# A whole working session, as an operator goes through it, by real input only: open a file
# made by hand, correct rows, refuse a comma, copy, paste both ways, move, delete, save
# under a new name, open it again, listen to a row and stop it, and close with rows.
# Every outcome is checked through the bytes the tool saves.
source "$(dirname "$0")/lib.sh"
e2e_with_sound_server "$0" "$@"
APP=$1

ARRIVING="まもなく到着です"
WITH_COMMA="回送,列車"
FIXED="回送列車"
e2e_start_x "$ARRIVING" "$WITH_COMMA" "$FIXED"
D="$E2E_TMP/files"
mkdir -p "$D"

# A file made by hand: Japanese content, every signal, a row added and never confirmed,
# and signals no control can show.
write_cp932 "$D/routeTp.csv" \
  'ご乗車ありがとうございます,1,2' \
  '次は終点です,0,0' \
  '(新しい行),,' \
  'お忘れ物にご注意ください,1,3' \
  '回送,7,9'

e2e_start_app "$APP"
OPEN_TITLE="放送用データファイルを開く"

set_content() {
  click_ctl text
  xdotool key ctrl+a
  type_text "$1"
}

# --- Open the hand-made file ------------------------------------------------------------
file_menu o
expect_window "$OPEN_TITLE"
type_file_name "$D/routeTp.csv"
wait_main_active "the open dialog"
pass "opened the hand-made file"

# --- Confirm rows: one as loaded, one edited, one refused then corrected --------------------
click_row 5
click_ctl confirm                    # 7 and 9 load as unticked and option 0
click_row 3
set_content "$ARRIVING"
click_ctl fare
click_ctl sound1
click_ctl confirm
set_content "$WITH_COMMA"
click_ctl confirm
expect_window "エラー"
xdotool key Return
wait_main_active "the refusal"
set_content "$FIXED"
click_ctl confirm
pass "rows confirmed, a comma refused and corrected"

# --- Copy, paste both ways, move up and down, delete ---------------------------------------
click_row 1
click_ctl copy
click_row 2
click_ctl insert_paste               # below row 2
click_ctl append_paste               # at the end
click_ctl up                         # the appended row changes places with the one above
click_row 4
click_ctl down
click_row 2
click_ctl delete
pass "copied, pasted, moved and deleted"

# --- Save under a new name and compare ---------------------------------------------------------
save_as "$D/journeyTp"
write_cp932 "$D/expected" \
  'ご乗車ありがとうございます,1,2' \
  'ご乗車ありがとうございます,1,2' \
  'お忘れ物にご注意ください,1,3' \
  '回送列車,1,1' \
  'ご乗車ありがとうございます,1,2' \
  '回送,0,0'
expect_bytes "$D/journeyTp.csv" "$D/expected" "the saved journey differs from the expected table"
pass "saved as journeyTp.csv with exactly the expected bytes"

# --- Open it again (over rows: the question first), and it saves back the same ---------------
file_menu o
expect_window "削除の確認"
xdotool key alt+y
expect_window "$OPEN_TITLE"
type_file_name "$D/journeyTp.csv"
wait_main_active "the open dialog"
save_as "$D/againTp"
expect_bytes "$D/againTp.csv" "$D/expected" "the reopened table saved differently"
pass "reopened; it saves back byte for byte"

# --- Listen to a row, and stop it --------------------------------------------------------------
RATE=16000
click_row 4
parec -d bdt_null.monitor --format=s16le --rate=$RATE --channels=1 --latency-msec=20 --raw \
  >"$E2E_TMP/heard.raw" 2>/dev/null &
rec=$!
E2E_PIDS+=("$rec")
sleep 0.3
click_ctl play
sleep 2.5
click_ctl stop
sleep 1.5
kill "$rec"; wait "$rec" 2>/dev/null || true
rms() {
  sox -t raw -r $RATE -e signed -b 16 -c 1 "$E2E_TMP/heard.raw" -n trim "$1" "$2" stat 2>&1 \
    | awk '/RMS +amplitude/ {print $3}'
}
heard=$(rms 0 2.8)
after=$(rms 3.6 0.5)
awk -v v="$heard" 'BEGIN { exit !(v > 0.01) }' || fail "再生 was not heard (RMS $heard)"
awk -v v="$after" 'BEGIN { exit !(v < 0.001) }' || fail "sound went on after 停止 (RMS $after)"
pass "再生 heard (RMS $heard), silent after 停止 (RMS $after)"

# --- Close from the frame with rows: No keeps the window, Yes closes -------------------------
xdotool key alt+F4
expect_window "破棄の確認"
xdotool key alt+n
wait_main_active "answering No to 破棄の確認"
kill -0 "$APP_PID" 2>/dev/null || fail "answering No ended the program"
xdotool key alt+F4
expect_window "破棄の確認"
xdotool key alt+y
wait_for 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "answering Yes did not end the program"
pass "closing with rows asked; No kept the window, Yes closed it"
