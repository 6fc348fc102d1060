# Helpers for end-to-end tests: a private X server with a window manager, the tool started
# in it, and real input through xdotool. Source it; call e2e_start_x first.
set -euo pipefail
export LC_ALL=C.UTF-8

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_TMP=$(mktemp -d /tmp/bdt-e2e.XXXXXX)
E2E_PIDS=()
# Process groups to end as well, for programs that start helpers of their own (Mozc's
# server outlives the input method that started it). Start such a program through setsid.
E2E_GROUPS=()

# Runs the calling script ("$0" "$@") again under the private sound server, unless it
# already runs under it. Call it right after sourcing this file.
e2e_with_sound_server() {
  [[ -n ${BDT_SOUND_HELD:-} ]] && return 0
  rm -rf "$E2E_TMP"
  exec bash "$E2E_ROOT/scripts/with-sound-server.sh" bash "$@"
}

# Puts a stand-in for open_jtalk first on PATH: it notes each run's arguments in
# $E2E_TMP/open_jtalk.log and hands over to the real program, so a test can tell which
# voice the tool speaks with. Call before e2e_start_app.
e2e_trace_open_jtalk() {
  local real
  real=$(command -v open_jtalk) || fail "open_jtalk is not installed"
  mkdir -p "$E2E_TMP/trace-bin"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\nexec "%s" "$@"\n' \
    "$E2E_TMP/open_jtalk.log" "$real" >"$E2E_TMP/trace-bin/open_jtalk"
  chmod +x "$E2E_TMP/trace-bin/open_jtalk"
  export PATH="$E2E_TMP/trace-bin:$PATH"
}

e2e_cleanup() {
  local pid
  for pid in "${E2E_GROUPS[@]}"; do kill -- "-$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
# A command failing outside the test's own checks ends the script (set -e) without a word;
# name it, so that such a failure can be told from the others. -E: in functions too.
set -E
trap 'e2e_status=$?; echo "FAIL: ${BASH_SOURCE[0]##*/}:$LINENO: \"$BASH_COMMAND\" ended with status $e2e_status" >&2' ERR
pass() { echo "ok: $*"; }

# Tells whether process $1 (named $2...) still runs, or how it ended, to tell a slow start
# from a process that went away.
e2e_alive() {
  local pid=$1 rc=0; shift
  if kill -0 "$pid" 2>/dev/null; then echo "$* is running" >&2; return 0; fi
  wait "$pid" 2>/dev/null || rc=$?
  echo "$* ended with status $rc" >&2
}

# Waits until a command succeeds, up to $1 seconds.
wait_for() {
  local timeout=$1; shift
  local deadline=$((SECONDS + timeout))
  until "$@" >/dev/null 2>&1; do
    (( SECONDS < deadline )) || return 1
    sleep 0.1
  done
}

# Starts a private X server and openbox in it. Arguments: the texts the test will type (see
# type_text).
e2e_start_x() {
  # A display number drawn at random from a high range, not the lowest free one: on a
  # shared machine someone's tools may well assume :0 or :1, and their input or their
  # server must not land on ours. Xvfb reports through -displayfd once it is ready, and
  # ends at once if the number is taken, so a few draws find a free one. -noreset: by
  # default the server resets whenever its last client leaves, as xdpyinfo and xmodmap do
  # here before openbox connects; a reset drops the keycodes bound for typing, and openbox,
  # connecting during one, was now and then refused.
  local attempt xvfb
  for attempt in 1 2 3 4 5; do
    : >"$E2E_TMP/display"
    Xvfb ":$((200 + RANDOM % 800))" -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp \
      3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    xvfb=$!
    wait_for 10 bash -c "test -s '$E2E_TMP/display' || ! kill -0 $xvfb 2>/dev/null"
    [[ -s "$E2E_TMP/display" ]] && kill -0 "$xvfb" 2>/dev/null && break
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=
  done
  [[ -n $xvfb ]] || { cat "$E2E_TMP/xvfb.log" >&2; fail "Xvfb did not start"; }
  E2E_PIDS+=("$xvfb")
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  wait_for 10 xdpyinfo || fail "Xvfb on $DISPLAY does not answer"
  e2e_bind_chars "$@"
  openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || { cat "$E2E_TMP/openbox.log" >&2; e2e_alive "$xvfb" Xvfb; fail "openbox did not start"; }
  # Each session starts with its own settings and data folders.
  export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
  export XDG_DATA_HOME="$E2E_TMP/home/.local/share" XDG_RUNTIME_DIR="$E2E_TMP/run"
  export XDG_STATE_HOME="$E2E_TMP/home/.local/state"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
}

# Starts a session bus of the test's own, with its socket and settings in folder $1, run
# through the command given after $1 if any (to run it as another user), and points
# DBUS_SESSION_BUS_ADDRESS at it. It holds no service files, so that nothing is started
# behind the test's back, and every user may join it.
e2e_start_session_bus() {
  local dir=$1; shift
  cat >"$dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$dir</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  "$@" dbus-daemon --config-file="$dir/bus.conf" --nofork --print-address=3 \
    3>"$dir/bus.address" 2>"$dir/bus.log" &
  E2E_PIDS+=($!)
  wait_for 10 test -s "$dir/bus.address" || { cat "$dir/bus.log" >&2; fail "the session bus did not start"; }
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/bus.address")
  export DBUS_SESSION_BUS_ADDRESS
}

# Starts the tool ($1) and waits for its main window to show; sets APP_PID, APP_WIN and
# MENU_H. A box the tool opens at start-up may take the keyboard at once.
e2e_launch_app() {
  "$1" >>"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  E2E_PIDS+=("$APP_PID")
  wait_for 20 xdotool search --all --onlyvisible --pid "$APP_PID" --name '^放送用データ作成ツール$' \
    || { cat "$E2E_TMP/app.log" >&2; e2e_alive "$APP_PID" the tool; fail "the window did not appear"; }
  APP_WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^放送用データ作成ツール$' | head -n1)
  local w h
  read -r w h < <(client_size "$APP_WIN")
  MENU_H=$((h - E2E_CLIENT_H))
}

# Starts the tool ($1) and waits for its main window to be active.
e2e_start_app() {
  e2e_launch_app "$1"
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

# Characters outside printable ASCII get a keycode of their own, since xdotool alone types
# them unreliably. All are bound at once before the window manager starts: every keymap
# change makes openbox rebind, and clicks that come while it does are lost, so binding a
# character just before typing it made the next click or two vanish now and then. Spare
# keycodes are the empty ones and those holding only XF86 media keys, which no test sends.
declare -A E2E_KEYSYM=()
e2e_bind_chars() {
  local text ch i n=0 free=() binds=()
  mapfile -t free < <(xmodmap -pke | awk '$1 == "keycode" && $2 > 8 {
      ok = 1; for (i = 4; i <= NF; i++) if ($i !~ /^(XF86|NoSymbol)/) ok = 0
      if (ok) print $2 }')
  for text in "$@"; do
    for ((i = 0; i < ${#text}; i++)); do
      ch=${text:i:1}
      [[ -n ${E2E_KEYSYM[$ch]:-} ]] && continue
      (( $(printf '%d' "'$ch") >= 32 && $(printf '%d' "'$ch") < 127 )) && continue
      (( n < ${#free[@]} )) || fail "more characters to type than spare keycodes (${#free[@]})"
      E2E_KEYSYM[$ch]=$(printf 'U%04X' "'$ch")
      binds+=(-e "keycode ${free[n]} = ${E2E_KEYSYM[$ch]} ${E2E_KEYSYM[$ch]}")
      n=$((n + 1))
    done
  done
  (( ${#binds[@]} == 0 )) || xmodmap "${binds[@]}" || fail "xmodmap could not bind the characters"
}

# Types text, Japanese included: runs of printable ASCII through xdotool type (all of it is
# on the US keymap), other characters through the keycodes e2e_start_x bound for them.
type_text() {
  local text=$1 i ch run= keys=()
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    if (( $(printf '%d' "'$ch") >= 32 && $(printf '%d' "'$ch") < 127 )); then
      (( ${#keys[@]} == 0 )) || { xdotool key --delay 20 "${keys[@]}"; keys=(); }
      run+=$ch
    else
      [[ -n ${E2E_KEYSYM[$ch]:-} ]] || fail "type_text: '$ch' was not given to e2e_start_x"
      [[ -z $run ]] || { xdotool type --delay 20 -- "$run"; run=; }
      keys+=("${E2E_KEYSYM[$ch]}")
    fi
  done
  (( ${#keys[@]} == 0 )) || xdotool key --delay 20 "${keys[@]}"
  [[ -z $run ]] || xdotool type --delay 20 -- "$run"
}

# Clicks at a point of the window's client area (x y from its top-left corner).
click_at() {
  xdotool mousemove --window "$APP_WIN" "$1" "$2" click 1
  sleep 0.2
}

# ---- The main window's controls ------------------------------------------------------------
# The client area below the menu bar is 668 x 427; the menu bar's height (MENU_H) is what the
# window's client height has beyond that, measured once the window is up.
E2E_CLIENT_H=427
MENU_H=0

# Controls as "left top width height" in client pixels. The editor's controls sit in the
# "編集" frame and the sound options in the "サウンド指定信号" frame inside it, so their
# places are the frames' offsets plus the offsets inside them.
EDIT_X=14 EDIT_Y=312
OPT_X=$((EDIT_X + 171)) OPT_Y=$((EDIT_Y + 62))
SPEECH_X=$((EDIT_X + 471)) SPEECH_Y=$((EDIT_Y + 60))
declare -A E2E_CTL=(
  [add]="7 287 70 23"          [delete]="82 287 70 23"
  [copy]="181 287 70 23"       [append_paste]="254 287 70 23"
  [insert_paste]="331 287 68 23"
  [up]="443 288 74 23"         [down]="520 288 74 23"
  [text]="$((EDIT_X + 66)) $((EDIT_Y + 22)) 499 23"
  [confirm]="$((EDIT_X + 572)) $((EDIT_Y + 17)) 65 37"
  [fare]="$((EDIT_X + 67)) $((EDIT_Y + 73)) 98 17"
  [sound0]="$((OPT_X + 8)) $((OPT_Y + 13)) 61 17"
  [sound1]="$((OPT_X + 76)) $((OPT_Y + 12)) 61 17"
  [sound2]="$((OPT_X + 143)) $((OPT_Y + 12)) 61 17"
  [sound3]="$((OPT_X + 209)) $((OPT_Y + 12)) 61 17"
  [play]="$((SPEECH_X + 10)) $((SPEECH_Y + 13)) 42 22"
  [stop]="$((SPEECH_X + 52)) $((SPEECH_Y + 13)) 42 22"
  [voice]="$((SPEECH_X + 97)) $((SPEECH_Y + 13)) 65 22"
)
# The list: its top edge, the header's height and a row's height (12-point rows).
LIST_X=2 LIST_Y=0 LIST_HEADER_H=18 LIST_ROW_H=20

# Clicks a point of the client area (below the menu bar).
click_client() { click_at "$1" $(($2 + MENU_H)); }

# Clicks a control by its name in E2E_CTL: buttons and the text box in their middle, the
# check box and the options on their indicator, which is what takes the click.
click_ctl() {
  local l t w h
  read -r l t w h <<<"${E2E_CTL[$1]:?unknown control $1}"
  case $1 in
    fare | sound*) click_client $((l + 6)) $((t + h / 2)) ;;
    *) click_client $((l + w / 2)) $((t + h / 2)) ;;
  esac
}

# Clicks the list's row $1 (from 1), on its content column.
click_row() {
  click_client $((LIST_X + 100)) $((LIST_Y + 2 + LIST_HEADER_H + ($1 - 1) * LIST_ROW_H + LIST_ROW_H / 2))
}

# ---- Boxes, dialogs and the File menu --------------------------------------------------------
# Succeeds when the main window is active and is the tool's only window on screen. A box
# or dialog may still be on its way out, and the file name field's completion list can pop
# up just as its dialog closes; while such a window is up, a click goes to it, not to the
# main window. A listing that does not hold the main window was cut short: not yet.
main_settled() {
  is_active "$APP_WIN" || return 1
  local id seen=
  for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null || true); do
    [[ $id == "$APP_WIN" ]] || return 1
    seen=1
  done
  [[ -n $seen ]]
}

# Fails unless the main window becomes active again, alone on screen (after a box or
# dialog closed).
wait_main_active() {
  wait_for "${2:-10}" main_settled \
    || fail "the main window did not become active again after $1 (active: '$(active_name)')"
}

# Waits until a window other than the main window and $2 is active and titled exactly $1;
# sets DLG_WIN to it. A box raised by a dialog may carry the dialog's title, hence $2.
wait_window() {
  local title=$1 except=${2:-} deadline=$((SECONDS + ${3:-15})) id
  while :; do
    id=$(xdotool getactivewindow 2>/dev/null || true)
    if [[ -n $id && $id != "$APP_WIN" && $id != "$except" ]] \
      && [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$title" ]]; then
      DLG_WIN=$id
      # Active is not yet ready: a slow start (a sanitizer build, a busy machine) can
      # still be giving the dialog's field its focus, and keys sent now are lost.
      sleep 0.3
      return 0
    fi
    (( SECONDS < deadline )) || return 1
    sleep 0.1
  done
}

# Like wait_window, failing with the title that is active instead.
expect_window() {
  wait_window "$@" || fail "no window titled '$1' became active (active: '$(active_name)')"
}

# Opens the File menu from the active main window and picks the item by its access key.
# The menu must be up before the key goes out, or the key would land in the editor.
file_menu() {
  wait_main_active "the last step"
  xdotool key alt+f
  wait_for 10 menu_is_up || fail "Alt+F opened no menu"
  xdotool key "$1"
}

# Succeeds while one of the tool's windows on screen is a popup (override-redirect, as Qt
# maps menus; no other popup shows while the main window is active). Windows may vanish
# while they are listed, so errors on the way count as "not yet".
menu_is_up() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null || true); do
    [[ $id == "$APP_WIN" ]] && continue
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# Types a full path into the file dialog's name field, which has the focus, and accepts it.
type_file_name() {
  xdotool key ctrl+a
  type_text "$1"
  sleep 0.2
  xdotool key Return
}

# Saves the table through File > 保存 and the real save dialog into $1.
save_as() {
  file_menu s
  expect_window "名前を付けて保存"
  type_file_name "$1"
  wait_main_active "the save dialog"
}

# Waits until file $1 holds exactly the bytes of file $2; shows both on failure.
expect_bytes() {
  if ! wait_for "${4:-10}" cmp -s "$1" "$2"; then
    echo "--- expected ($2):" >&2; od -An -c "$2" >&2 || true
    echo "--- actual ($1):" >&2; od -An -c "$1" >&2 || true
    echo "--- its folder:" >&2; ls -la "$(dirname "$1")" >&2 || true
    fail "$3"
  fi
}

# Writes UTF-8 text (lines joined with CR LF, each ended by one) to $1 in code page 932.
write_cp932() {
  local out=$1; shift
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$out"
}
