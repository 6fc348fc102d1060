#!/usr/bin/env bash
# broadcast-data speak where the input or the synthesizer is not what a route file and a
# working open_jtalk would give: files without a row, a voice that does not load, a row
# with nothing the synthesizer can say, and the program ended by a signal while its
# open_jtalk children run.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/speak-odd
mkdir -p "$D" "$E2E_TMP/home/.config/broadcast-data-tool"
cd "$D"
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_DATA_HOME="$E2E_TMP/home/.local/share"

# A file that gives no row ends at once, says so, and writes nothing (a batch over many
# files must not stop at an empty one).
while IFS='|' read -r name bytes; do
  printf "$bytes" >"$name"
  RC=0
  timeout 20 "$CLI" speak "$name" -o "wav-$name" >out.txt 2>err.txt || RC=$?
  [[ $RC == 0 ]] || fail "$name: exit status $RC (124: it never ended)"
  [[ $(cat out.txt) == "" && $(cat err.txt) == "$name: no rows to speak; no WAV file written" ]] \
    || fail "$name: said '$(cat out.txt)' and '$(cat err.txt)'"
  [[ -z $(ls "wav-$name" 2>/dev/null) ]] || fail "$name: wrote $(ls "wav-$name")"
  pass "speak on $name ends at once"
done <<'CASES'
empty.csv|
blank-lines.csv|\r\n\n\r\r\n
bom-only.csv|\xEF\xBB\xBF
CASES
