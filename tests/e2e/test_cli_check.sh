#!/usr/bin/env bash
# broadcast-data check on real files: nothing and status 0 for good files in every form
# the window opens, one FILE:LINE: line per problem with status 1, warnings for what the
# equipment cannot use (errors with --strict), messages in the locale's language, and
# status 2 for a wrong command line.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
cd "$E2E_TMP"

write_cp932 goodTp.csv '次は新宿です,1,0' '終点です,0,3'
# Also good: LF line ends, blank lines, a quoted field, UTF-8 behind a byte-order mark.
printf '"次は新宿です",1,0\n\n終点です,0,3' | iconv -f UTF-8 -t CP932 >lfTp.csv
write_utf8_bom utf8Tp.csv '次は新宿です,1,0' '終点です,0,3'
# Line 3 is blank: rows do not carry their line, the reader's count must.
write_cp932 warnTp.csv '次は新宿です,1,0' '整理券をお取りください,7,9' '' '(新しい行),,' \
  '次は　渋谷です,0,1' $'\t終点,1,2'
# A warning on a row read before the line that cannot be read.
write_cp932 badTp.csv '次は新宿です,1,0' '' '次は 渋谷,0,1' '終点です,0,3,4' '読まれない,9,9'
printf '\x8e\x9f,1,0\r\n\x81\x20,0,0\r\n' >bytesTp.csv

cli check goodTp.csv lfTp.csv utf8Tp.csv
expect_run "good files in every form the window opens" 0 "" ""

WARNINGS="warnTp.csv:2: warning: fare signal \"7\" cannot be used by the equipment (must be 0 or 1)
warnTp.csv:2: warning: sound signal \"9\" cannot be used by the equipment (must be 0 to 3)
warnTp.csv:4: warning: fare signal is empty, as in a row never confirmed (must be 0 or 1)
warnTp.csv:4: warning: sound signal is empty, as in a row never confirmed (must be 0 to 3)
warnTp.csv:5: warning: content holds a character that confirming a row refuses at character 3 (ideographic space, U+3000)
warnTp.csv:6: warning: content holds a character that confirming a row refuses at character 1 (tab, U+0009)"
cli check warnTp.csv
expect_run "warnings alone leave the status 0" 0 "$WARNINGS" ""
cli check --strict warnTp.csv
expect_run "--strict makes them errors" 1 "${WARNINGS//warning: /}" ""

cli check goodTp.csv badTp.csv bytesTp.csv missingTp.csv /tmp
expect_run "one line per problem, for each file in turn" 1 \
"badTp.csv:3: warning: content holds a character that confirming a row refuses at character 3 (space, U+0020)
badTp.csv:4: more than three fields (a line holds at most three)
bytesTp.csv:2: invalid double-byte character 0x81 0x20
missingTp.csv: cannot open the file (no such file or folder)
/tmp: cannot open the file (it is a folder)" ""

# Japanese as the window words it, for LC_ALL and for LANG; LC_MESSAGES outranks LANG.
for locale in "LC_ALL=ja_JP.UTF-8" "LANG=ja_JP.UTF-8 LC_ALL="; do
  RC=0; OUT=$(env $locale "$CLI" check badTp.csv missingTp.csv 2>&1) || RC=$?; ERR=
  expect_run "Japanese with $locale" 1 \
"badTp.csv:3: 警告: 放送内容の 3 文字目に「確定」で使えない文字（スペース、U+0020）があります
badTp.csv:4: 項目が4つ以上あります（1行は3項目までです）
missingTp.csv: ファイルを開けません（ファイルまたはフォルダーが見つかりません）" ""
done
RC=0; OUT=$(env LC_ALL= LANG=ja_JP.UTF-8 LC_MESSAGES=C "$CLI" check missingTp.csv 2>&1) || RC=$?
expect_run "English when LC_MESSAGES says so over LANG" 1 \
  "missingTp.csv: cannot open the file (no such file or folder)" ""

cli check
expect_run "no file is a usage error" 2 "" "broadcast-data: no file to check
Try 'broadcast-data --help' for more information."
cli check --struct goodTp.csv
expect_run "an unknown option is a usage error" 2 "" '*'
cli check --help
[[ $RC == 0 && $OUT == *"Usage: broadcast-data check"* && -z $ERR ]] || fail "check --help: $RC $OUT $ERR"
cli --version
[[ $RC == 0 && $OUT =~ ^broadcast-data\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version said '$OUT' ($RC)"
pass "--help and --version on standard output, status 0"
