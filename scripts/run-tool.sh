#!/usr/bin/env bash
# Installs what is missing, builds, and opens the tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/broadcast-data-tool"
