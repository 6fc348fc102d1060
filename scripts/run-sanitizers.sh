#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# (or $BUILD_DIR) and runs the whole test suite there: unit, sound and end-to-end tests.
# Any sanitizer report fails the run, leaks included, except leaks inside the third-party
# libraries named in tests/sanitizers/lsan.supp.
#
# AddressSanitizer's reports (leaks included) go to files rather than to the tests' output:
# the end-to-end tests run the tool in the background and throw its output away, so a
# report printed there would be lost. They are printed at the end. GCC's UBSan runtime is a
# library of its own that ignores log_path next to ASan: its reports go to the process's
# standard error, and halt_on_error stops the process, which fails its test.
#
#   scripts/run-sanitizers.sh [ctest options...]
#   scripts/run-sanitizers.sh --build-only     builds and stops (CI builds it ahead)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-asan}
start=$SECONDS

"$root/scripts/install-deps.sh" --test
# -O1 and line tables only, as sanitizer builds usually are: about half the compile time
# of the normal build's flags, and reports still name file and line. Benchmarks are not run.
BUILD_DIR="$build" "$root/scripts/build.sh" -DBDT_SANITIZE=ON -DBDT_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1"
if [[ ${1:-} == --build-only ]]; then
  exit 0
fi

reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
asan_options=(
  halt_on_error=1 detect_leaks=1 detect_stack_use_after_return=1
  check_initialization_order=1 strict_init_order=1
  # Whole allocation stacks: the fast unwinder stops at the first library built without
  # frame pointers (glibc, most of Debian), which leaves leaks in them nameless and
  # impossible to suppress by function. It makes allocation slower, not the tests wrong.
  fast_unwind_on_malloc=0
  # libspeechd (speech-dispatcher's client, behind Qt's speechd engine) splits the list of
  # every voice with repeated strstr calls; ASan's checked strstr measures the whole
  # remaining list on each call, which turns a second into many minutes. Our code makes no
  # strstr calls of its own.
  intercept_strstr=0
  log_exe_name=1 "log_path=$reports/asan"
)
ASAN_OPTIONS=$(IFS=:; echo "${asan_options[*]}")
export ASAN_OPTIONS
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

set +e
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@") 2>&1 \
  | tee "$build/ctest-output.txt"
status=${PIPESTATUS[0]}
set -e

found=0
for report in "$reports"/*; do
  [[ -e "$report" ]] || continue
  # Files without an error hold only warnings or the list of suppressions used.
  if grep -q "ERROR: " "$report"; then
    found=$((found + 1))
  fi
  echo "==== sanitizer output: $(basename "$report")" >&2
  cat "$report" >&2
done
ubsan=$(grep -c "runtime error:" "$build/ctest-output.txt" || true)
found=$((found + ubsan))
echo "run-sanitizers: $found sanitizer report(s) ($ubsan from UBSan), ctest exit $status," \
  "$((SECONDS - start)) s in all"
if (( found > 0 )); then
  exit 1
fi
exit "$status"
