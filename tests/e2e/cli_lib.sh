# Helpers for the companion's end-to-end tests; source after lib.sh. The companion is
# $BDT_CLI (ctest gives the build tree's, scripts/check-package.sh the installed one).
CLI=$(readlink -f "${BDT_CLI:?BDT_CLI names the broadcast-data program}")
[[ -x $CLI ]] || fail "$BDT_CLI is not a program"

# Runs the companion; sets RC, OUT and ERR (standard error is not a terminal here).
cli() {
  RC=0
  "$CLI" "$@" >"$E2E_TMP/cli.out" 2>"$E2E_TMP/cli.err" || RC=$?
  OUT=$(cat "$E2E_TMP/cli.out")
  ERR=$(cat "$E2E_TMP/cli.err")
}

# expect_run WHAT STATUS EXPECTED_STDOUT EXPECTED_STDERR: the last run, exactly; a stderr
# of '*' only has to be there.
expect_run() {
  local what=$1 status=$2 out=$3 err=$4
  [[ $RC == "$status" ]] || fail "$what: exit status $RC, expected $status (stderr: $ERR)"
  [[ $OUT == "$out" ]] || fail "$what: standard output was"$'\n'"$OUT"$'\n'"expected"$'\n'"$out"
  if [[ $err == '*' ]]; then
    [[ -n $ERR ]] || fail "$what: nothing on standard error"
  else
    [[ $ERR == "$err" ]] || fail "$what: standard error was"$'\n'"$ERR"$'\n'"expected"$'\n'"$err"
  fi
  pass "$what"
}

# Writes UTF-8 lines (each ended by LF) to $1 behind a byte-order mark.
write_utf8_bom() {
  local out=$1; shift
  { printf '\xEF\xBB\xBF'; printf '%s\n' "$@"; } >"$out"
}
