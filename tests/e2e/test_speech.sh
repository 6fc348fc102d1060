#!/usr/bin/env bash
# The speech buttons in the real window, for a user who installed no voice (an empty home
# folder): "再生" is heard on the sound server's null sink, spoken with the voice that
# comes with the program, "停止" silences it at once, "再生" again starts over, and
# "音声調整" opens the voice dialog owned by the window. The program is the one given: the
# build tree's (ctest) or the installed package's (scripts/check-package.sh).
source "$(dirname "$0")/lib.sh"
e2e_with_sound_server "$0" "$@"
APP=$1
TEXT="次は終点です。ご乗車ありがとうございました。お忘れ物のないよう、ご注意ください。"
VOICE_NAME=tohoku-f01-neutral.htsvoice

# The program's own voice: beside it in the build tree, in its data folder when installed.
program_dir=$(dirname "$(readlink -f "$APP")")
OWN_VOICE=
for candidate in "$program_dir/voices" "$program_dir/../share/broadcast-data-tool/voices"; do
  [[ -r $candidate/$VOICE_NAME ]] && OWN_VOICE=$(readlink -f "$candidate/$VOICE_NAME") && break
done
[[ -n $OWN_VOICE ]] || fail "no voice shipped beside $APP"
for folder in /usr/share/hts-voice /usr/local/share/hts-voice; do
  if [[ -d $folder ]]; then
    echo "note: $folder exists; the program's own voice must still be the one used"
  fi
done

e2e_start_x "$TEXT"
e2e_trace_open_jtalk
e2e_start_app "$APP"

# Records the null sink's monitor into $1 (16 kHz mono, signed 16-bit) in the background.
RATE=16000
record() {
  parec -d bdt_null.monitor --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
    --raw >"$1" 2>/dev/null &
  REC_PID=$!
  E2E_PIDS+=("$REC_PID")
  sleep 0.3
}
stop_recording() { kill "$REC_PID" 2>/dev/null || true; wait "$REC_PID" 2>/dev/null || true; }

# RMS amplitude (0..1) of the recording in $1 from second $2 for $3 seconds.
rms() {
  sox -t raw -r $RATE -e signed -b 16 -c 1 "$1" -n trim "$2" "$3" stat 2>&1 \
    | awk '/RMS +amplitude/ {print $3}'
}
seconds_of() { awk -v b="$(stat -c %s "$1")" -v r=$RATE 'BEGIN { printf "%.2f", b / (2 * r) }'; }
loud() { awk -v v="$1" 'BEGIN { exit !(v > 0.01) }'; }
quiet() { awk -v v="$1" 'BEGIN { exit !(v < 0.001) }'; }

click_ctl add
click_ctl text
xdotool key ctrl+a
type_text "$TEXT"

# --- Play: the sentence is heard ---------------------------------------------------------
record "$E2E_TMP/play.raw"
click_ctl play
sleep 4
stop_recording
level=$(rms "$E2E_TMP/play.raw" 0 "$(seconds_of "$E2E_TMP/play.raw")")
loud "$level" || fail "再生 played nothing on the sink (RMS $level)"
pass "再生 speaks the editor's text (RMS $level over $(seconds_of "$E2E_TMP/play.raw") s)"
voices=$(grep -o -- "-m [^ ]*" "$E2E_TMP/open_jtalk.log" | sort -u | cut -c4-)
[[ -n $voices ]] || fail "open_jtalk was never run"
[[ $(readlink -f "$voices") == "$OWN_VOICE" ]] || fail "spoke with '$voices', not with $OWN_VOICE"
pass "with the program's own voice ($voices)"

# --- Stop: silence right away --------------------------------------------------------------
click_ctl stop
sleep 1
record "$E2E_TMP/stopped.raw"
sleep 1.5
stop_recording
level=$(rms "$E2E_TMP/stopped.raw" 0 1)
quiet "$level" || fail "sound went on after 停止 (RMS $level)"
pass "停止 silences it (RMS $level a second later)"

# --- Play again after stop starts the text anew --------------------------------------------
record "$E2E_TMP/again.raw"
click_ctl play
sleep 2.5
stop_recording
click_ctl stop
level=$(rms "$E2E_TMP/again.raw" 0 "$(seconds_of "$E2E_TMP/again.raw")")
loud "$level" || fail "再生 after 停止 played nothing (RMS $level)"
pass "再生 after 停止 speaks again"

# --- Voice settings dialog -------------------------------------------------------------------
click_ctl voice
expect_window "音声の調節"
xdotool key Escape
wait_main_active "the voice dialog"
pass "音声調整 opens the dialog titled 音声の調節 and gives the window back"

# The table still holds its row: closing asks first (Yes closes).
xdotool key alt+F4
expect_window "破棄の確認"
xdotool key alt+y
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "the window did not close"
pass "closed after the question"
