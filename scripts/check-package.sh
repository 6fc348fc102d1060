#!/usr/bin/env bash
# Builds the Debian package, validates the desktop entry and AppStream metadata, installs
# the package with apt as a user would, and starts the installed program in a private X
# server until its window appears.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh" --test
[[ -x "$build/broadcast-data-tool" ]] || BUILD_DIR="$build" "$root/scripts/build.sh"

desktop-file-validate "$root/packaging/net.bdt.broadcastdatatool.desktop"
appstreamcli validate --no-net "$root/packaging/net.bdt.broadcastdatatool.metainfo.xml"
echo "ok: desktop entry and AppStream metadata are valid"

rm -f "$build"/broadcast-data-tool_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/broadcast-data-tool_*.deb)
sudo=()
if (( EUID != 0 )); then sudo=(sudo); fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >/dev/null
dpkg-query -W -f='${Status}\n' broadcast-data-tool | grep -q "install ok installed"
echo "ok: $(basename "$deb") installed"

source "$root/tests/e2e/lib.sh"
e2e_start_x
e2e_start_app /usr/bin/broadcast-data-tool
echo "ok: the installed program opened its window"
