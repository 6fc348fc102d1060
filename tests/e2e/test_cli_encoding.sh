#!/usr/bin/env bash
# broadcast-data on UTF-8 without a byte-order mark: the window and the equipment read a
# file without the mark as Shift-JIS, so such a file would reach the equipment as
# mojibake. check warns (an error with --strict), convert refuses it unless told which
# encoding it is, and the two readings given with --from convert as they say.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/encoding
mkdir -p "$D"
cd "$D"

# 東京 in UTF-8 happens to be valid Shift-JIS too (as 譚ｱ莠ｬ): only the guess tells them apart.
printf 'Line-one,1,0\r\n東京,1,0\r\n' >utf8Tp.csv
write_utf8_bom bomTp.csv 'Line-one,1,0' '東京,1,0'
write_cp932 cp932Tp.csv 'Line-one,1,0' '東京,1,0'
"$CLI" convert bomTp.csv -o expectedTp.csv
LOOKS="utf8Tp.csv:2: looks like UTF-8 without a byte-order mark; the window and the equipment read it as Shift-JIS"
while IFS='|' read -r arguments status out err made; do
  rm -f outTp.csv
  # shellcheck disable=SC2086
  cli $arguments
  expect_run "$arguments" "$status" "$out" "$err"
  case $made in
    none) [[ ! -e outTp.csv ]] || fail "$arguments wrote outTp.csv" ;;
    utf8) cmp -s outTp.csv expectedTp.csv || fail "$arguments: not the UTF-8 reading" ;;
    same) cmp -s outTp.csv utf8Tp.csv || fail "$arguments: not the Shift-JIS reading" ;;
    -) ;;
  esac
done <<CASES
check utf8Tp.csv|0|${LOOKS/looks/warning: looks}||-
check --strict utf8Tp.csv|1|$LOOKS||-
check bomTp.csv cp932Tp.csv|0|||-
convert utf8Tp.csv -o outTp.csv|1||$LOOKS: give --from utf-8 or --from cp932|none
convert --from utf-8 utf8Tp.csv -o outTp.csv|0|||utf8
convert utf8Tp.csv --from cp932 -o outTp.csv|0|||same
convert --from latin1 utf8Tp.csv -o outTp.csv|2||*|none
CASES
