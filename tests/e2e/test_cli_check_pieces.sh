#!/usr/bin/env bash
# broadcast-data check reads a file a piece at a time and keeps no row: the reports must
# not depend on where the pieces end. Files of a megabyte and more, with the rows that
# matter where a piece ends (64 KB and 1 MB): a warning on either side, the guess about
# UTF-8 without a byte-order mark made only in the next piece while warnings after its
# line wait for it, and a line that cannot be read before or after that line.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/pieces
mkdir -p "$D"
cd "$D"

# N good rows of 18 bytes each: line L ends at byte 18 * L.
filler() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "abcdefghijkl,1,0\r\n" }'; }
# Lines 3636 to 3642 straddle the end of the first 64 KB; the first character beyond
# ASCII (line 3637) leaves fewer bytes in that piece than the guess looks at.
# $1 is line 3641.
around_64k() {
  filler 3635
  printf '%s\r\n' 'before,9,9' '東京,1,0' 'abcdefghijkl,1,0' $'after\tit,1,0' \
    'abcdefghijkl,1,0' "$1" '東京,1,5'
  filler 100
  printf 'x,,\r\n'
}
{ around_64k abcdefghijkl,1,0; filler 70000; } >heldTp.csv
{ filler 3629; printf 'a,b,c,d\r\n'; filler 5; around_64k abcdefghijkl,1,0; } >stopsBeforeTp.csv
{ around_64k a,b,c,d; filler 70000; } >stopsAfterTp.csv
# Line 58254 ends 4 bytes before the first megabyte; 58255 crosses it.
{ filler 58253; printf '%s\r\n' 'ab cdefghijk,1,0' 'abcdefghijk,1,7'; filler 1000; } >megabyteTp.csv
{ filler 70000; printf '%s\r\n' '次は新宿です,1,0' '終点です,0,3'; } | iconv -f UTF-8 -t CP932 >goodTp.csv

LOOKS="looks like UTF-8 without a byte-order mark; the window and the equipment read it as Shift-JIS"
HELD="heldTp.csv:3636: warning: fare signal \"9\" cannot be used by the equipment (must be 0 or 1)
heldTp.csv:3636: warning: sound signal \"9\" cannot be used by the equipment (must be 0 to 3)
heldTp.csv:3637: warning: $LOOKS
heldTp.csv:3639: warning: content holds a character that confirming a row refuses at character 6 (tab, U+0009)
heldTp.csv:3642: warning: sound signal \"5\" cannot be used by the equipment (must be 0 to 3)
heldTp.csv:3743: warning: fare signal is empty, as in a row never confirmed (must be 0 or 1)
heldTp.csv:3743: warning: sound signal is empty, as in a row never confirmed (must be 0 to 3)"
AFTER=$(sed -n '1,4p' <<<"${HELD//heldTp/stopsAfterTp}")
while IFS='|' read -r what file status out; do
  cli check "$file"
  expect_run "$what" "$status" "$(printf '%b' "$out")" ""
done <<CASES
warnings around a piece's end, UTF-8 told at its line|heldTp.csv|0|${HELD//$'\n'/\\n}
a line that cannot be read before the UTF-8 line: no word of UTF-8|stopsBeforeTp.csv|1|stopsBeforeTp.csv:3630: more than three fields (a line holds at most three)
one after it, before the guess is made: UTF-8 and the warnings before the line, then it|stopsAfterTp.csv|1|${AFTER//$'\n'/\\n}\nstopsAfterTp.csv:3641: more than three fields (a line holds at most three)
warnings on either side of the first megabyte's end|megabyteTp.csv|0|megabyteTp.csv:58254: warning: content holds a character that confirming a row refuses at character 3 (space, U+0020)\nmegabyteTp.csv:58255: warning: sound signal "7" cannot be used by the equipment (must be 0 to 3)
a good file of more than a megabyte|goodTp.csv|0|
CASES
