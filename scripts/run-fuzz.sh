#!/usr/bin/env bash
# Builds the file-format fuzzer (tests/fuzz) and the file core it links with clang into
# build-fuzz/ (or $FUZZ_BUILD_DIR) and runs it for the given number of seconds (default 60)
# from a scratch copy of the seed corpus, so that the inputs it grows do not end up in the
# repository.
# Fails if the fuzzer finds a crash, a sanitizer report, a broken property or a hang; the
# input that did it is kept in the build folder's artifacts/ to be turned into a test.
#
#   scripts/run-fuzz.sh [seconds] [extra libFuzzer options...]
#   scripts/run-fuzz.sh --build-only          builds and stops (CI builds it ahead)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
build_only=false
if [[ ${1:-} == --build-only ]]; then
  build_only=true
fi
seconds=${1:-60}
shift || true

"$root/scripts/install-deps.sh" --test
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DBDT_FUZZ=ON -DBUILD_TESTING=OFF -DBDT_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_broadcast_file
fuzzer="$build/tests/fuzz/fuzz_broadcast_file"
if $build_only; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/tests/fuzz/corpus" "$work/corpus"
mkdir -p "$build/artifacts"

# Our own code is small: leaks found there are real, so leak checking stays on.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
"$fuzzer" "$work/corpus" \
  -max_total_time="$seconds" -max_len=4096 -timeout=25 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/" "$@" || status=$?
if (( status != 0 )); then
  echo "run-fuzz: the fuzzer found a problem (exit $status); input kept in $build/artifacts/" >&2
  exit "$status"
fi
echo "run-fuzz: no findings in ${seconds}s; corpus grew to $(ls "$work/corpus" | wc -l) inputs"
