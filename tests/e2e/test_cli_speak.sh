#!/usr/bin/env bash
# broadcast-data speak on a real file with the project's voice: one WAV per row, spoken
# rows of plausible length, a short silence for a row with nothing to speak, a row longer
# than one synthesis run joined from its pieces, several open_jtalk processes at once, the
# user's voice settings or --voice, --rows, progress only on a terminal, and a row the
# synthesizer fails on.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/speak
mkdir -p "$D" "$E2E_TMP/home/.config/broadcast-data-tool"
cd "$D"
# A user who chose nothing: the program's own voice speaks.
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share"

# A stand-in for open_jtalk first on PATH: it notes each run's start, arguments and end,
# fails on text holding 失敗, and otherwise hands the text to the real program.
real=$(command -v open_jtalk) || fail "open_jtalk is not installed"
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/open_jtalk" <<STANDIN
#!/bin/bash
text=\$(cat)
echo "start \$(date +%s%N) \$*" >>"$E2E_TMP/runs.log"
if [[ \$text == *失敗* ]]; then echo "no voice for that" >&2; exit 3; fi
printf '%s\n' "\$text" | "$real" "\$@"; rc=\$?
echo "end \$(date +%s%N)" >>"$E2E_TMP/runs.log"
exit \$rc
STANDIN
chmod +x "$E2E_TMP/bin/open_jtalk"
export PATH="$E2E_TMP/bin:$PATH"

LONG='ご乗車ありがとうございました。まもなく終点、東京です。お出口は右側です。新幹線、中央線、山手線、京浜東北線、東海道線、横須賀線、総武快速線、京葉線はお乗り換えです。お忘れ物のないよう、ご注意ください。本日もご利用いただきまして、ありがとうございました。'
write_cp932 routeTp.csv '次は新宿です,1,0' '' ',0,0' '。。。,0,1' "$LONG,0,2" '終点です,0,3'

seconds() { soxi -D "$1"; }
longer() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

cli speak routeTp.csv -o wav
expect_run "speak writes quietly when standard error is no terminal" 0 "" ""
[[ $(ls wav) == $'00001.wav\n00002.wav\n00003.wav\n00004.wav\n00005.wav' ]] \
  || fail "expected one WAV per row, found: $(ls wav | tr '\n' ' ')"
for f in wav/*.wav; do
  [[ $(soxi -r "$f")/$(soxi -c "$f")/$(soxi -b "$f") == 48000/1/16 ]] || fail "$f is not 48 kHz mono 16-bit"
done
for row in 1 4 5; do
  longer "$(seconds wav/0000$row.wav)" 0.3 || fail "row $row lasts only $(seconds wav/0000$row.wav) s"
done
for row in 2 3; do
  [[ $(seconds wav/0000$row.wav) == 0.100000 ]] || fail "row $row, with nothing to speak, lasts $(seconds wav/0000$row.wav) s"
done
longer "$(seconds wav/00004.wav)" 12 || fail "the long row lasts only $(seconds wav/00004.wav) s: pieces lost?"
pass "one WAV per row: spoken rows $(seconds wav/00001.wav) s and up, the long one $(seconds wav/00004.wav) s, silent rows 0.1 s"

# Pieces ran side by side when the machine has two cores.
most=$(awk '$1 == "start" { n++; if (n > m) m = n } $1 == "end" { n-- } END { print m }' \
  <(awk '{ print $2, $1 }' "$E2E_TMP/runs.log" | sort -n | awk '{ print $2 }'))
runs=$(grep -c '^start' "$E2E_TMP/runs.log")
(( runs > 5 )) || fail "only $runs open_jtalk runs for 5 rows with a long one"
if (( $(nproc) >= 2 )); then
  (( most >= 2 )) || fail "open_jtalk ran one at a time on $(nproc) cores"
fi
own_voice=$(readlink -f "$(dirname "$CLI")/voices/tohoku-f01-neutral.htsvoice" 2>/dev/null \
  || readlink -f "$(dirname "$CLI")/../share/broadcast-data-tool/voices/tohoku-f01-neutral.htsvoice")
grep -o -- '-m [^ ]*' "$E2E_TMP/runs.log" | sort -u | cut -c4- | xargs readlink -f | grep -qx "$own_voice" \
  || fail "not spoken with the program's own voice"
pass "$runs open_jtalk runs, up to $most at once, with the program's own voice"

# The user's settings, then --voice over the voice alone.
printf '[speech]\nvoice=%s\nspeed=1.5\nhalfTones=3\nvolumeDb=-6\n' "$own_voice" \
  >"$XDG_CONFIG_HOME/broadcast-data-tool/speech.ini"
cp "$own_voice" "$E2E_TMP/other.htsvoice"
: >"$E2E_TMP/runs.log"
cli speak routeTp.csv -o picked --rows 1,5
expect_run "--rows 1,5" 0 "" ""
[[ $(ls picked) == $'00001.wav\n00005.wav' ]] || fail "--rows 1,5 wrote $(ls picked | tr '\n' ' ')"
grep -q -- "-m $own_voice -r 1.50 -fm 3 -g -6 " "$E2E_TMP/runs.log" || fail "settings not used: $(head -n1 "$E2E_TMP/runs.log")"
: >"$E2E_TMP/runs.log"
cli speak routeTp.csv -o picked --rows 5 --voice "$E2E_TMP/other.htsvoice"
grep -q -- "-m $E2E_TMP/other.htsvoice -r 1.50 -fm 3" "$E2E_TMP/runs.log" || fail "--voice not used: $(head -n1 "$E2E_TMP/runs.log")"
pass "the user's voice settings, --voice over the voice alone"

# Progress in place on a terminal.
script -qec "$(printf '%q ' "$CLI" speak routeTp.csv -o term --rows 2-3)" /dev/null >term.txt
grep -q $'\r.*writing WAV files: 1 of 2 rows\r.*writing WAV files: 2 of 2 rows' term.txt \
  || fail "no progress in place on a terminal: $(cat -v term.txt)"
pass "progress on a terminal"

# A row the synthesizer fails on: reported at its line, its file gone, the others written.
write_cp932 failTp.csv '次は新宿です,1,0' '失敗します,0,0' '終点です,0,3'
mkdir -p fail && echo stale >fail/00002.wav
cli speak failTp.csv -o fail
expect_run "a row the synthesizer fails on" 1 "" \
  'failTp.csv:2: row 2: cannot speak "失敗します": The speech synthesizer open_jtalk could not make speech of this part (exit code 3: no voice for that). Reword it, for example spell out symbols, and try again.'
[[ $(ls fail) == $'00001.wav\n00003.wav' ]] || fail "expected rows 1 and 3 alone, found $(ls fail | tr '\n' ' ')"
pass "its WAV is gone, the other rows are written"

cli speak routeTp.csv -o more --rows 4-7
expect_run "rows past the end" 1 "" "broadcast-data: --rows: routeTp.csv has no row 7 (it has 5 rows)"
cli speak routeTp.csv -o more --rows 7-4
expect_run "a backwards range is a usage error" 2 "" '*'
