#!/usr/bin/env bash
# Runs a command against the private PulseAudio server (see sound-server.sh): starts it
# when it does not answer, exports its environment, runs the command and stops the server
# again if it was started here. The exit status is the command's.
#
# Sound suites on one machine share the null sink, and a recording would pick up another
# suite's sound; runs are therefore taken one at a time under a lock. A nested call (a
# suite run by a script already inside this one) uses the outer call's server and lock.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
server="$here/sound-server.sh"

if [ -n "${BDT_SOUND_HELD:-}" ]; then
    eval "$("$server" env)"
    exec "$@"
fi

state_dir="${BDT_SOUND_DIR:-${TMPDIR:-/tmp}/bdt-sound-$(id -u)}"
mkdir -p "$state_dir"
chmod 700 "$state_dir"
exec 9>"$state_dir/lock"
if ! flock -w 900 9; then
    echo "with-sound-server: another sound run held the lock for 15 minutes" >&2
    exit 1
fi

started=
eval "$("$server" env)"
if ! timeout 5 pactl info >/dev/null 2>&1; then
    "$server" start
    started=1
fi
cleanup() {
    if [ -n "$started" ]; then
        "$server" stop || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

export BDT_SOUND_HELD=1
status=0
"$@" || status=$?
exit "$status"
