#!/usr/bin/env bash
# Builds the Debian package, validates the desktop entry and AppStream metadata, installs
# the package with apt as a user would, and runs the speech end-to-end test against the
# installed program: for a user with an empty home folder, "再生" is heard, spoken with the
# voice the package installed.
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

installed=$(dpkg -L broadcast-data-tool)
for file in /usr/share/broadcast-data-tool/voices/tohoku-f01-neutral.htsvoice \
  /usr/share/broadcast-data-tool/voices/COPYRIGHT.txt /usr/share/doc/broadcast-data-tool/copyright; do
  grep -qx "$file" <<<"$installed" || { echo "the package lacks $file" >&2; exit 1; }
done
echo "ok: the package holds its voice, the voice's notice and the copyright file"

bash "$root/tests/e2e/test_speech.sh" /usr/bin/broadcast-data-tool
echo "ok: the installed program speaks with its own voice"
