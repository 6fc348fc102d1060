# Helpers for end-to-end tests: a private X server with a window manager, the tool started
# in it, and real input through xdotool. Source it; call e2e_start_x first.
set -euo pipefail
export LC_ALL=C.UTF-8

E2E_TMP=$(mktemp -d /tmp/bdt-e2e.XXXXXX)
E2E_PIDS=()

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# Waits until a command succeeds, up to $1 seconds.
wait_for() {
  local timeout=$1; shift
  local deadline=$((SECONDS + timeout))
  until "$@" >/dev/null 2>&1; do
    (( SECONDS < deadline )) || return 1
    sleep 0.1
  done
}

e2e_start_x() {
  # Xvfb picks a free display itself and reports it, so parallel runs never share one.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_TMP/display" \
    >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 test -s "$E2E_TMP/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  wait_for 10 xdpyinfo || fail "Xvfb on $DISPLAY does not answer"
  openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || fail "openbox did not start"
  # Each session starts with its own settings and data folders.
  export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
  export XDG_DATA_HOME="$E2E_TMP/home/.local/share" XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
}

# Starts the tool ($1) and waits for its main window; sets APP_PID and APP_WIN.
e2e_start_app() {
  "$1" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  E2E_PIDS+=("$APP_PID")
  wait_for 20 xdotool search --onlyvisible --name '^放送用データ作成ツール$' \
    || { cat "$E2E_TMP/app.log" >&2; fail "the window did not appear"; }
  APP_WIN=$(xdotool search --onlyvisible --name '^放送用データ作成ツール$' | head -n1)
  xdotool windowactivate --sync "$APP_WIN" >/dev/null 2>&1 || true
  wait_for 10 is_active "$APP_WIN" || fail "the window did not become active"
}

is_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }

active_name() { xdotool getactivewindow getwindowname 2>/dev/null || true; }

# Waits until the active window's title is exactly $1.
wait_active_title() {
  local title=$1
  wait_for "${2:-10}" bash -c '[[ "$(xdotool getactivewindow getwindowname 2>/dev/null)" == "$0" ]]' "$title"
}

# Client-area geometry of a window: "W H".
client_size() { xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}'; }

# Types text, Japanese included: each character is bound to a spare keycode first, since
# xdotool alone types non-ASCII unreliably.
type_text() {
  local text=$1 i ch code
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    if [[ "$ch" =~ [[:alnum:]] && $(printf '%d' "'$ch") -lt 128 ]]; then
      xdotool type --delay 20 -- "$ch"
    else
      code=$(printf 'U%04X' "'$ch")
      xmodmap -e "keycode 254 = $code $code"
      sleep 0.05
      xdotool key --delay 20 "$code"
    fi
  done
}

# Clicks at a point of the window's client area (x y from its top-left corner).
click_at() {
  xdotool mousemove --window "$APP_WIN" "$1" "$2" click 1
  sleep 0.2
}
