#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the in-process suites under the
# offscreen platform, the sound suites against a PulseAudio null sink, and the end-to-end
# tests that drive the real window in Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh" --test
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
