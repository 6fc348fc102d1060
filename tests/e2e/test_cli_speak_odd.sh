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

# Ended by a signal, speak takes its synthesis processes with it, also ones that would
# never end by themselves. The stand-in open_jtalk notes its process and hangs.
mkdir -p "$E2E_TMP/hang-bin"
cat >"$E2E_TMP/hang-bin/open_jtalk" <<STANDIN
#!/bin/sh
echo \$\$ >>"$D/children"
exec sleep 1000
STANDIN
chmod +x "$E2E_TMP/hang-bin/open_jtalk"
write_cp932 twoTp.csv '次は新宿です,1,0' '終点です,0,3'
# Gone, or a zombie left for the system to reap: either way no longer running.
ended() { [[ ! -e /proc/$1 ]] || [[ $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
all_ended() { local pid; for pid in $(cat children); do ended "$pid" || return 1; done; }
children_started() { [[ -s children && $(wc -l <children) -ge $1 ]]; }
for signal in TERM HUP INT; do
  : >children
  # INT, as a terminal's Ctrl+C sends it: a background job of a script would ignore it.
  PATH="$E2E_TMP/hang-bin:$PATH" env --default-signal=INT "$CLI" speak twoTp.csv -o "wav-$signal" \
    >/dev/null 2>err.txt &
  pid=$!
  wait_for 10 children_started 1 || fail "SIG$signal: no synthesis started ($(cat err.txt))"
  kill -"$signal" "$pid"
  RC=0; wait "$pid" || RC=$?
  [[ $RC == $((128 + $(kill -l "$signal"))) ]] || fail "SIG$signal: exit status $RC ($(cat err.txt))"
  wait_for 5 all_ended || fail "SIG$signal left open_jtalk running: $(cat children)"
  pass "SIG$signal ends speak and its $(wc -l <children) open_jtalk run(s)"
done
