#!/usr/bin/env bash
# A private PulseAudio server with one null sink (bdt_null), for tests that must play
# real sound on machines without a sound card: CI, containers, developers over ssh.
#
#   sound-server.sh start   start it unless it already answers (safe to repeat)
#   sound-server.sh stop    stop it (safe when it is not running)
#   sound-server.sh env     print the exports a client needs: eval "$(sound-server.sh env)"
#
# Everything lives in one folder (BDT_SOUND_DIR, default /tmp/bdt-sound-<uid>): the
# socket, the runtime folder, the log and a home for the daemon, so it neither needs nor
# touches the user's own PulseAudio set-up. Works as root (as CI runs) and as a user.
set -euo pipefail

state_dir="${BDT_SOUND_DIR:-${TMPDIR:-/tmp}/bdt-sound-$(id -u)}"
runtime_dir="$state_dir/runtime"
socket="$state_dir/native"
log="$state_dir/pulseaudio.log"
# The server writes a cookie into its home; clients given it stay quiet about a missing one
# (the socket takes anonymous clients anyway).
cookie="$state_dir/home/.config/pulse/cookie"
sink=bdt_null

client_env() {
    export XDG_RUNTIME_DIR="$runtime_dir"
    export PULSE_SERVER="unix:$socket"
    export PULSE_COOKIE="$cookie"
}

answers() {
    [ -S "$socket" ] || return 1
    (client_env; timeout 5 pactl info >/dev/null 2>&1)
}

pid_of_server() {
    local pid_file="$runtime_dir/pulse/pid"
    [ -f "$pid_file" ] && cat "$pid_file"
}

start() {
    if answers; then
        return 0
    fi
    command -v pulseaudio >/dev/null || { echo "sound-server: pulseaudio is not installed" >&2; exit 1; }
    # A server that died leaves its socket and pid file behind; both would stop a new one.
    rm -rf "$runtime_dir" "$socket"
    mkdir -p "$state_dir" "$runtime_dir" "$state_dir/home"
    chmod 700 "$state_dir" "$runtime_dir"

    # As root PulseAudio warns that it is meant for --system mode but runs; system mode
    # would need a pulse user and D-Bus. auth-anonymous spares the clients a cookie.
    # The daemon gets no terminal and no pipe of the caller's, so a CI runner waiting for
    # the output to close is not held open by it.
    env HOME="$state_dir/home" XDG_CONFIG_HOME="$state_dir/home/.config" \
        XDG_RUNTIME_DIR="$runtime_dir" PULSE_COOKIE="$cookie" \
        pulseaudio --daemonize=yes --system=false --exit-idle-time=-1 -n \
        --disallow-exit=no --use-pid-file=yes --disable-shm=yes \
        --log-target="file:$log" \
        --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
        --load="module-null-sink sink_name=$sink rate=48000" \
        </dev/null >/dev/null 2>&1 || true

    for _ in $(seq 1 100); do
        if answers; then
            (client_env; pactl set-default-sink "$sink" >/dev/null 2>&1) || true
            return 0
        fi
        sleep 0.1
    done
    echo "sound-server: PulseAudio did not come up; its log follows" >&2
    cat "$log" >&2 2>/dev/null || true
    exit 1
}

stop() {
    local pid
    pid="$(pid_of_server || true)"
    if answers; then
        (client_env; timeout 5 pactl exit >/dev/null 2>&1) || true
    fi
    if [ -n "$pid" ]; then
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            sleep 0.5
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -rf "$runtime_dir" "$socket"
}

print_env() {
    printf 'export XDG_RUNTIME_DIR=%q\n' "$runtime_dir"
    printf 'export PULSE_SERVER=%q\n' "unix:$socket"
    printf 'export PULSE_COOKIE=%q\n' "$cookie"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    env) print_env ;;
    *) echo "usage: $0 start|stop|env" >&2; exit 2 ;;
esac
