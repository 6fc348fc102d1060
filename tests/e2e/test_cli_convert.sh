#!/usr/bin/env bash
# broadcast-data convert against the window: a UTF-8 export opened through File > 開く and
# saved through File > 保存 is the file convert writes, byte for byte, from a path or
# through standard input and output; a character that would not read back stops it with
# its line and leaves the target as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
APP=$1
D=$E2E_TMP/convert
mkdir -p "$D"
cd "$D"

# What a spreadsheet may export, LF line ends and all: quoting, a blank line, missing
# fields, odd signals, and characters whose code page 932 form differs from other
# Shift-JIS tables (～ －), NEC and IBM extensions (① 髙), half-width kana and 表 (a
# second byte of "\").
write_utf8_bom exportTp.csv '次は新宿です,1,0' '"運賃表をご覧ください",0,"1"' '' \
  '整理券,7' '①番線～２号車－髙ｱ,1,3' '(新しい行)'

e2e_start_x "$D/exportTp.csv" "$D/windowTp"
e2e_start_app "$APP"
file_menu o
expect_window "放送用データファイルを開く"
type_file_name "$D/exportTp.csv"
wait_main_active "the open dialog"
save_as "$D/windowTp"
wait_for 10 test -s windowTp.csv || fail "the window saved nothing"
pass "the window opened the UTF-8 export and saved it"

cli convert exportTp.csv -o cliTp.csv
expect_run "convert from a path" 0 "" ""
expect_bytes cliTp.csv windowTp.csv "convert wrote other bytes than the window saved"
pass "convert writes what the window saves, byte for byte"
RC=0; "$CLI" convert - -o - <exportTp.csv >piped.csv || RC=$?
[[ $RC == 0 ]] || fail "convert - -o - ended with $RC"
expect_bytes piped.csv windowTp.csv "standard input to standard output differs from the window's file"
pass "- stands for standard input and output"
cli convert windowTp.csv -o again.csv
expect_bytes again.csv windowTp.csv "converting the canonical file changed it"
pass "a canonical file converts to itself"

# The second row cannot be saved: the target keeps its bytes, nothing is left beside it.
write_utf8_bom emojiTp.csv '次は新宿です,1,0' '' '笑顔😀です,0,1'
printf 'old\r\n' >targetTp.csv
cli convert emojiTp.csv -o targetTp.csv
expect_run "a character without a code page 932 form" 1 "" \
  'emojiTp.csv:3: content: the character "😀" (U+1F600) cannot be saved in Shift-JIS'
[[ $(cat targetTp.csv) == $'old\r' ]] || fail "the refused conversion touched the target"
[[ $(ls | grep -c targetTp) == 1 ]] || fail "the refused conversion left a file beside the target: $(ls)"
pass "the target is left as it was"
RC=0; LC_ALL=ja_JP.UTF-8 "$CLI" convert - -o - <emojiTp.csv >/dev/null 2>err || RC=$?
[[ $RC == 1 && $(cat err) == '(標準入力):3: 放送内容: シフトJISで保存できない文字 「😀」(U+1F600) があります' ]] \
  || fail "from standard input in Japanese: $RC $(cat err)"
pass "the same from standard input, in the window's words"

# A file of several pieces, refused on its last line: nothing of the pieces converted
# before reaches the target, and the line is counted over the whole file.
{ printf '\xef\xbb\xbf'; awk 'BEGIN { for (i = 0; i < 100000; i++) print "次は新宿です,1,0" }'; printf '笑顔😀です,0,1\n'; } >longTp.csv
(( $(stat -c %s longTp.csv) > 2 * 1024 * 1024 )) || fail "the long file is not longer than two pieces"
cli convert longTp.csv -o targetTp.csv
expect_run "a refusal after several pieces" 1 "" \
  'longTp.csv:100001: content: the character "😀" (U+1F600) cannot be saved in Shift-JIS'
[[ $(cat targetTp.csv) == $'old\r' && $(ls | grep -c targetTp) == 1 ]] \
  || fail "a refusal after several pieces touched the target or left a file"
pass "a refusal after several converted pieces leaves the target as it was"

# Of a row that cannot be saved and a later line that cannot be read, the first is named,
# wherever the pieces end.
write_utf8_bom firstTp.csv '次は新宿です,1,0' '笑顔😀です,0,1' '終点です,0,3,4'
cli convert firstTp.csv -o targetTp.csv
expect_run "the first problem in the file" 1 "" \
  'firstTp.csv:2: content: the character "😀" (U+1F600) cannot be saved in Shift-JIS'

cli convert missingTp.csv -o outTp.csv
expect_run "a missing input" 1 "" "missingTp.csv: cannot open the file (no such file or folder)"
cli convert exportTp.csv
expect_run "no output is a usage error" 2 "" '*'
