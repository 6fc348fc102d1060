#!/usr/bin/env bash
# broadcast-data reading with the installed synthesizer and dictionary: the readings that
# operators hear misread come out as the synthesizer says them, a row with nothing to
# speak reads empty, the length is that of speak's WAV, rows stay in order when one
# fails, and a file that cannot be read or a wrong command line gives its error and status.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/reading
mkdir -p "$D" "$E2E_TMP/home/.config/broadcast-data-tool"
cd "$D"
# A user who chose nothing: the program's own voice speaks.
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share"

write_cp932 routeTp.csv '三田,1,0' '' '新大阪行き,0,0' '10時05分,0,1' ',0,0' '。。。,0,1'
write_cp932 badTp.csv '三田,1,0' '終点です,0,3,4'
# Spoken rows last some time; the exact figure is the voice's.
spoken() { sed -E 's/^([^:]+:[0-9]+:) [0-9]+\.[0-9]{2} /\1 S /' <<<"$OUT"; }
lasts() { awk -v line="$1" -F': ' '$0 ~ ":" line ": " { split($2, f, " "); print f[1] }' <<<"$OUT"; }

cli reading routeTp.csv
expect_run "the readings of a file" 0 "$OUT" ""
[[ $(spoken) == "routeTp.csv:1: S ミタ
routeTp.csv:3: S シンオーサカ'イキ
routeTp.csv:4: S ジュー'ジ/ゼロ/ゴー'フン
routeTp.csv:5: 0.00
routeTp.csv:6: 0.00" ]] || fail "the readings were"$'\n'"$OUT"
for line in 1 3 4; do
  awk -v s="$(lasts $line)" 'BEGIN { exit !(s > 0.3 && s < 3) }' || fail "line $line lasts $(lasts $line) s"
done
pass "三田 ミタ, 新大阪行き シンオーサカ'イキ, 10時05分 ジュー'ジ/ゼロ/ゴー'フン; empty rows 0.00"

# The length is what speak writes for the row.
seconds=$(lasts 4)
cli speak routeTp.csv -o wav --rows 3
[[ $RC == 0 && $(printf '%.2f' "$(soxi -D wav/00003.wav)") == "$seconds" ]] \
  || fail "reading says $seconds s, speak wrote $(soxi -D wav/00003.wav) s ($RC $ERR)"
pass "10時05分 lasts $seconds s, as speak's WAV"

# A row the synthesizer fails on is reported and prints nothing; the rows after it still
# come, in order. The stand-in fails on text holding 失敗 and hands the rest on.
real=$(command -v open_jtalk) || fail "open_jtalk is not installed"
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/open_jtalk" <<STANDIN
#!/bin/bash
text=\$(cat)
if [[ \$text == *失敗* ]]; then echo "no voice for that" >&2; exit 3; fi
printf '%s\n' "\$text" | exec "$real" "\$@"
STANDIN
chmod +x "$E2E_TMP/bin/open_jtalk"
write_cp932 failTp.csv '失敗します,0,0' '三田,1,0'
PATH="$E2E_TMP/bin:$PATH" cli reading failTp.csv
expect_run "a row the synthesizer fails on" 1 "$OUT" \
  'failTp.csv:1: row 1: cannot speak "失敗します": The speech synthesizer open_jtalk could not make speech of this part (exit code 3: no voice for that). Reword it, for example spell out symbols, and try again.'
[[ $(spoken) == "failTp.csv:2: S ミタ" ]] || fail "after the failed row: $OUT"

while IFS='|' read -r what arguments status out err; do
  # shellcheck disable=SC2086
  cli reading $arguments
  OUT=$(spoken)
  expect_run "$what" "$status" "$out" "$(printf '%b' "$err")"
done <<'CASES'
a file that cannot be read, after one that can|routeTp.csv missingTp.csv --rows 1|1|routeTp.csv:1: S ミタ|missingTp.csv: cannot open the file (no such file or folder)
a line that cannot be read|badTp.csv|1||badTp.csv:2: more than three fields (a line holds at most three)
rows past the end|--rows 4-9 routeTp.csv|1||broadcast-data: --rows: routeTp.csv has no row 9 (it has 5 rows)
no file|--rows 1|2||broadcast-data: no file to read\nTry 'broadcast-data --help' for more information.
no -o for reading|routeTp.csv -o wav|2||*
CASES
