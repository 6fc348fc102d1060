#!/usr/bin/env bash
# What broadcast-data says must send the operator to the actual fault: lines ended by lone
# CRs, a voice that does not load, a row the synthesizer cannot say, standard output named
# as a file, and a folder that cannot be made, each with its reason.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/messages
mkdir -p "$D" "$E2E_TMP/home/.config/broadcast-data-tool"
cd "$D"
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share"
e2e_trace_open_jtalk

printf 'a,1,0\rb,0,0\rc,1,3\r' >crTp.csv
head -c 5000 "$BDT_SOURCE_DIR/voices/tohoku-f01-neutral.htsvoice" >broken.htsvoice
write_cp932 eightTp.csv '一,1,0' '二,1,0' '三,1,0' '四,1,0' '五,1,0' '六,1,0' '七,1,0' '八,1,0'
write_cp932 dashTp.csv 'ー,1,0' '終点です,0,3'
write_cp932 goodTp.csv '次は新宿です,1,0'
printf 'not a folder' >plain.txt

# Each case, in fields split at #: the command, its exit status, and what it must say (a
# pattern) on standard output (the check's reports) or standard error.
while IFS='#' read -r command status said; do
  : >"$E2E_TMP/open_jtalk.log"
  RC=0
  (eval "$command") >out.txt 2>err.txt || RC=$?
  told=$(cat out.txt err.txt)
  [[ $RC == "$status" ]] || fail "$command: exit status $RC: $told"
  # shellcheck disable=SC2053
  [[ $told == $said ]] || fail "$command said"$'\n'"$told"$'\n'"expected"$'\n'"$said"
  pass "$command: $(head -c 150 <<<"$told")"
done <<'CASES'
"$CLI" check crTp.csv#1#crTp.csv:1: lines end in a lone CR (as old Mac files do); lines must end in CR LF or LF
"$CLI" speak eightTp.csv -o wav --voice broken.htsvoice#1#broadcast-data: the voice broken.htsvoice cannot be used: The speech synthesizer open_jtalk could not load the voice file (*). Choose another voice.
"$CLI" speak dashTp.csv -o wav#1#dashTp.csv:1: row 1: cannot speak "ー": The speech synthesizer open_jtalk could not make speech of this part (exit code 1: Error: *). Reword it, for example spell out symbols, and try again.
"$CLI" convert goodTp.csv -o /dev/stdout | cat >piped.csv; cmp piped.csv goodTp.csv#0#
"$CLI" speak goodTp.csv -o plain.txt/wav#1#broadcast-data: cannot make the folder plain.txt/wav (a part of the path is not a folder)
CASES

# The voice itself failing stops the run: no row after the first ones that were already
# running is tried.
runs=$("$CLI" speak eightTp.csv -o wav2 --voice broken.htsvoice 2>/dev/null; wc -l <"$E2E_TMP/open_jtalk.log")
(( runs <= $(nproc) && runs < 8 )) || fail "$runs open_jtalk runs for a voice that does not load"
[[ -z $(ls wav2 2>/dev/null) ]] || fail "WAV files written with a voice that does not load: $(ls wav2)"
pass "a voice that does not load is tried $runs time(s), not once per row"
