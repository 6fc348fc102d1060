#!/usr/bin/env bash
# Runs a program and checks which Qt libraries it was linked against.
#   check_links.sh PROGRAM ALLOWED_QT_LIBRARY...
# Fails when the program fails, or when it needs a Qt library not in the list.
set -euo pipefail
program=$1; shift
"$program"
needed=$(readelf -d "$program" | sed -n 's/.*Shared library: \[\(libQt6[A-Za-z]*\)\.so.*/\1/p')
echo "Qt libraries needed: $(echo $needed)"
for library in $needed; do
  allowed=
  for name in "$@"; do [[ $library == "$name" ]] && allowed=1; done
  [[ -n $allowed ]] || { echo "FAIL: $(basename "$program") needs $library" >&2; exit 1; }
done
