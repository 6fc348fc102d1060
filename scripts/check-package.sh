#!/usr/bin/env bash
# Builds the Debian package, validates the desktop entry and AppStream metadata, installs
# the package with apt as a user would, and runs the speech end-to-end test against the
# installed program: for a user with an empty home folder, "再生" is heard, spoken with the
# voice the package installed. It also requires lintian to find nothing in the package,
# checks that both programs' manual pages (English and Japanese) render, and runs the
# companion's speech end-to-end test against the installed program.
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

# lintian has nothing to say about the package: no tag of any kind, info, pedantic and
# experimental ones included. What it says that is intended is overridden, each with its
# reason, in packaging/lintian-overrides.
lintian_levels=error,warning,info,pedantic,experimental
if ! lintian_tags=$(lintian --fail-on "$lintian_levels" --display-info --display-experimental \
    --pedantic "$deb" 2>&1) || grep -qE '^[EWIPX]: ' <<<"$lintian_tags"; then
  echo "lintian has something to say about $(basename "$deb"):" >&2
  echo "$lintian_tags" >&2
  exit 1
fi
echo "ok: lintian has nothing to say about the package"
sudo=()
if (( EUID != 0 )); then sudo=(sudo); fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >/dev/null
dpkg-query -W -f='${Status}\n' broadcast-data-tool | grep -q "install ok installed"
echo "ok: $(basename "$deb") installed"

installed=$(dpkg -L broadcast-data-tool)
for file in /usr/share/broadcast-data-tool/voices/tohoku-f01-neutral.htsvoice \
  /usr/share/broadcast-data-tool/voices/COPYRIGHT.txt /usr/share/doc/broadcast-data-tool/copyright \
  /usr/share/doc/broadcast-data-tool/changelog.gz /usr/bin/broadcast-data; do
  grep -qx "$file" <<<"$installed" || { echo "the package lacks $file" >&2; exit 1; }
done
echo "ok: the package holds its voice, the voice's notice, the copyright file, the change log and the companion"

# Each program's manual page, in English and in Japanese, is installed and renders with
# its name line.
for page in /usr/share/man/man1/broadcast-data-tool.1.gz:'broadcast-data-tool - author the' \
  /usr/share/man/man1/broadcast-data.1.gz:'broadcast-data - check, convert and speak' \
  /usr/share/man/ja/man1/broadcast-data-tool.1.gz:'broadcast-data-tool - 交通機関の放送装置' \
  /usr/share/man/ja/man1/broadcast-data.1.gz:'broadcast-data - 放送用データファイルを検査'; do
  file=${page%%:*} name=${page#*:}
  grep -qx "$file" <<<"$installed" || { echo "the package lacks $file" >&2; exit 1; }
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=120 man -l "$file" 2>&1)
  grep -qF "$name" <<<"$rendered" || { echo "$file does not render: $rendered" >&2; exit 1; }
done
echo "ok: both programs' manual pages are installed, in English and in Japanese, and render"

version=$(/usr/bin/broadcast-data --version)
[[ $version =~ ^broadcast-data\ [0-9] ]] || { echo "broadcast-data --version said: $version" >&2; exit 1; }
BDT_CLI=/usr/bin/broadcast-data bash "$root/tests/e2e/test_cli_speak.sh" /usr/bin/broadcast-data-tool
echo "ok: the installed companion ($version) runs and speaks with the voice the package installed"

bash "$root/tests/e2e/test_speech.sh" /usr/bin/broadcast-data-tool
echo "ok: the installed program speaks with its own voice"
