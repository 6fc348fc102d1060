#!/usr/bin/env bash
# Builds the Debian package, validates the desktop entry and AppStream metadata, installs
# the package with apt as a user would, and runs the speech end-to-end test against the
# installed program: for a user with an empty home folder, "再生" is heard, spoken with the
# voice the package installed. It also runs lintian on the command-line companion and its
# man page, and the companion's speech end-to-end test against the installed program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh" --test
[[ -x "$build/broadcast-data-tool" && -x "$build/broadcast-data" ]] || BUILD_DIR="$build" "$root/scripts/build.sh"

desktop-file-validate "$root/packaging/net.bdt.broadcastdatatool.desktop"
appstreamcli validate --no-net "$root/packaging/net.bdt.broadcastdatatool.metainfo.xml"
echo "ok: desktop entry and AppStream metadata are valid"

rm -f "$build"/broadcast-data-tool_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/broadcast-data-tool_*.deb)

# The command-line companion and its man page pass every lintian check, info and pedantic
# ones included; tags about the rest of the package are not this check's.
lintian_tags=$(lintian --display-info --pedantic "$deb" 2>/dev/null || true)
companion_tags=$(grep -E 'usr/bin/broadcast-data([] ]|$)|man1/broadcast-data\.1' <<<"$lintian_tags" || true)
if [[ -n $companion_tags ]]; then
  echo "lintian tags about broadcast-data or its man page:" >&2
  echo "$companion_tags" >&2
  exit 1
fi
echo "ok: lintian has nothing to say about broadcast-data and its man page"
sudo=()
if (( EUID != 0 )); then sudo=(sudo); fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >/dev/null
dpkg-query -W -f='${Status}\n' broadcast-data-tool | grep -q "install ok installed"
echo "ok: $(basename "$deb") installed"

installed=$(dpkg -L broadcast-data-tool)
for file in /usr/share/broadcast-data-tool/voices/tohoku-f01-neutral.htsvoice \
  /usr/share/broadcast-data-tool/voices/COPYRIGHT.txt /usr/share/doc/broadcast-data-tool/copyright \
  /usr/bin/broadcast-data /usr/share/man/man1/broadcast-data.1.gz; do
  grep -qx "$file" <<<"$installed" || { echo "the package lacks $file" >&2; exit 1; }
done
echo "ok: the package holds its voice, the voice's notice, the copyright file, the companion and its man page"

version=$(/usr/bin/broadcast-data --version)
[[ $version =~ ^broadcast-data\ [0-9] ]] || { echo "broadcast-data --version said: $version" >&2; exit 1; }
page=$(man -l /usr/share/man/man1/broadcast-data.1.gz 2>&1)
grep -q 'broadcast-data - check, convert and speak' <<<"$page" \
  || { echo "the installed man page does not render: $page" >&2; exit 1; }
BDT_CLI=/usr/bin/broadcast-data bash "$root/tests/e2e/test_cli_speak.sh" /usr/bin/broadcast-data-tool
echo "ok: the installed companion ($version) runs and speaks with the voice the package installed"

bash "$root/tests/e2e/test_speech.sh" /usr/bin/broadcast-data-tool
echo "ok: the installed program speaks with its own voice"
