#!/usr/bin/env bash
# broadcast-data with standard streams that are not a terminal or a plain file: standard
# output closed or on a full disk, standard input that does not block, and input that is
# larger than memory allows.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cli_lib.sh"
D=$E2E_TMP/streams
mkdir -p "$D"
cd "$D"
write_cp932 goodTp.csv '次は新宿です,1,0'
write_cp932 warnTp.csv '次は新宿です,7,0'

# Output that cannot be written is a failure, said on standard error, whatever printed it;
# the reason is told as the file errors tell it, in the locale's language.
while IFS='|' read -r command said; do
  RC=0
  (eval "$command") 2>err.txt || RC=$?
  [[ $RC == 1 && $(cat err.txt) == "broadcast-data: $said" ]] \
    || fail "$command: exit status $RC, said '$(cat err.txt)'"
  pass "$command: $said"
done <<'CASES'
"$CLI" convert goodTp.csv -o - >&-|cannot write standard output (it is closed)
"$CLI" convert goodTp.csv -o - >/dev/full|cannot write standard output (no space left on the disk)
LC_ALL=ja_JP.UTF-8 "$CLI" convert goodTp.csv -o - >/dev/full|標準出力に書き込めません（ディスクの空き容量が足りません）
"$CLI" check warnTp.csv >/dev/full|cannot write standard output (no space left on the disk)
"$CLI" --help >/dev/full|cannot write standard output (no space left on the disk)
"$CLI" --version >&-|cannot write standard output (it is closed)
CASES

# A line longer than memory allows ends convert with a message and status 1, leaving the
# target as it was; endless input without a line end ends the same way. Run in 900 MB of
# address space, as a small machine or a limited account has. (AddressSanitizer reserves
# terabytes of address space up front and cannot run under such a limit.)
if ldd "$CLI" | grep -q libasan; then
  pass "long lines: not run under AddressSanitizer"
else
  printf 'old\r\n' >targetTp.csv
  while IFS='|' read -r what input; do
    RC=0
    # The input ends with SIGPIPE once convert stops reading: not a failure of the script.
    (trap - ERR; ulimit -v 900000; eval "$input" | "$CLI" convert - -o targetTp.csv) >/dev/null 2>err.txt || RC=$?
    [[ $RC == 1 ]] || fail "$what: exit status $RC ($(cat err.txt))"
    [[ $(cat err.txt) == "(standard input):1: the line is too long to read (memory allows lines of about "*" MB)" ]] \
      || fail "$what: said '$(cat err.txt)'"
    [[ $(cat targetTp.csv) == $'old\r' && $(ls -A | grep -c targetTp) == 1 ]] \
      || fail "$what: the target was touched or a file left beside it"
    pass "$what: $(cat err.txt)"
  done <<'CASES'
a 200 MB line|head -c 200000000 /dev/zero | tr '\0' 'a'
endless input without a line end|cat /dev/zero
CASES
fi
