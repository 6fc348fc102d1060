#!/usr/bin/env bash
# broadcast-data with names and places that are not a plain file in a plain folder: names
# that are not UTF-8 (Shift-JIS names from Windows archives and disks), chains of
# symbolic links, and runs ended by a signal on file systems without unnamed temporary
# files.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/paths
mkdir -p "$D"
cd "$D"

# Names are passed through as the bytes they are: 次は新宿Tp.csv and 放送 in Shift-JIS.
printf -v sjis '\x8e\x9f\x82\xcd\x90\x56\x8f\x68Tp.csv'
printf -v sjis_out '\x95\xfa\x91\x97Tp.csv'
printf -v sjis_dir '\x95\xfa\x91\x97'
write_cp932 "$sjis" '次は新宿です,1,0'
while IFS='|' read -r what status made; do
  rm -rf out && mkdir out
  RC=0
  case $what in
    check) "$CLI" check "$sjis" >out.txt 2>err.txt || RC=$? ;;
    convert) "$CLI" convert "$sjis" -o "out/$sjis_out" >out.txt 2>err.txt || RC=$? ;;
    speak) "$CLI" speak "$sjis" -o "out/$sjis_dir" >out.txt 2>err.txt || RC=$? ;;
    missing) "$CLI" convert "x$sjis" -o "out/$sjis_out" >out.txt 2>err.txt || RC=$? ;;
  esac
  [[ $RC == "$status" ]] || fail "$what: exit status $RC: $(cat out.txt err.txt)"
  found=$(cd out && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
  case $made in
    nothing) expected="" ;;
    file) expected="./$sjis_out " ;;
    folder) expected="./$sjis_dir ./$sjis_dir/00001.wav " ;;
  esac
  [[ $found == "$expected" ]] || fail "$what: made '$found', expected '$expected'"
  if [[ $what == missing ]]; then
    [[ $(cat err.txt) == "x$sjis: cannot open the file (no such file or folder)" ]] \
      || fail "the missing file is not named as its bytes: $(cat -v err.txt)"
  else
    [[ ! -s out.txt && ! -s err.txt ]] || fail "$what said: $(cat out.txt err.txt)"
  fi
  pass "$what with Shift-JIS names"
done <<'CASES'
check|0|nothing
convert|0|file
speak|0|folder
missing|1|nothing
CASES
cmp -s <(iconv -f CP932 -t UTF-8 "$sjis") <(printf '次は新宿です,1,0\r\n') || fail "the Shift-JIS-named input was changed"

# A run ended by a signal where the folder's file system has no unnamed temporary files:
# the named temporary file beside the target goes with it, and the target stays as it was.
NO_TMPFILE=${BDT_NO_TMPFILE:?BDT_NO_TMPFILE names the library that hides O_TMPFILE}
# A sanitizer's runtime wants to come first among the libraries; the stand-in library may
# come before it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
leftovers() { find . -maxdepth 1 -name '.targetTp.csv.*' | tr '\n' ' '; }
has_leftovers() { [[ -n $(leftovers) ]]; }
for signal in TERM HUP INT; do
  printf 'old\r\n' >targetTp.csv
  rm -f in.fifo && mkfifo in.fifo
  # INT, as a terminal's Ctrl+C sends it: a background job of a script would ignore it.
  env --default-signal=INT LD_PRELOAD="$NO_TMPFILE" "$CLI" convert - -o targetTp.csv \
    <in.fifo >/dev/null 2>err.txt &
  pid=$!
  exec 7>in.fifo
  printf 'next,1,0\r\n' >&7
  wait_for 10 has_leftovers || fail "SIG$signal: no named temporary file appeared ($(ls -a; cat err.txt))"
  kill -"$signal" "$pid"
  RC=0; wait "$pid" || RC=$?
  exec 7>&-
  [[ $RC == $((128 + $(kill -l "$signal"))) ]] || fail "SIG$signal: exit status $RC ($(cat err.txt))"
  [[ -z $(leftovers) ]] || fail "SIG$signal left $(leftovers)"
  [[ $(cat targetTp.csv) == $'old\r' ]] || fail "SIG$signal changed the target"
  pass "SIG$signal during convert leaves nothing beside the target"
done
