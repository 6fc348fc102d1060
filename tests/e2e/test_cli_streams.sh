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
