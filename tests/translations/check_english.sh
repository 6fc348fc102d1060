#!/usr/bin/env bash
# Every text marked for translation has finished English, and the English translation is
# up to date with the sources: lupdate brings a copy of it up to date, which adds a new
# text, or one whose English was taken out, as unfinished, and drops what no source holds.
#
#   check_english.sh LUPDATE TS_FILE INCLUDE_DIR SOURCE...
set -euo pipefail
lupdate=$1 ts=$2 include=$3
shift 3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/copy.ts"
"$lupdate" -silent -no-obsolete -locations none -source-language ja -target-language en \
  -I "$include" "$@" -ts "$tmp/copy.ts"
if grep -q 'type="unfinished"' "$tmp/copy.ts"; then
  echo "FAIL: texts without a finished English translation in ${ts##*/}:" >&2
  grep -B2 'type="unfinished"' "$tmp/copy.ts" | grep '<source>' >&2
  exit 1
fi
if ! cmp -s "$ts" "$tmp/copy.ts"; then
  echo "FAIL: ${ts##*/} is not up to date with the sources" \
    "(cmake --build build --target update_translations):" >&2
  diff "$ts" "$tmp/copy.ts" >&2 || true
  exit 1
fi
echo "ok: every marked text has its English ($(grep -c '<message>' "$ts") texts)"
