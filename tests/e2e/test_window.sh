#!/usr/bin/env bash
# The real window in a real X server: caption, fixed client size, no resizing, no taskbar
# entry, the File menu by keyboard, and closing from the frame.
source "$(dirname "$0")/lib.sh"
APP=$1

e2e_start_x
e2e_start_app "$APP"
pass "window found by its caption"

read -r w h < <(client_size "$APP_WIN")
menubar=$((h - 427))
[[ $w -eq 668 ]] || fail "client width $w, expected 668"
(( menubar >= 15 && menubar <= 40 )) || fail "client height $h: no room for a menu bar above 427"
pass "client area 668 x 427 below a ${menubar}-pixel menu bar"

xdotool windowsize "$APP_WIN" 900 700
sleep 0.5
read -r w2 h2 < <(client_size "$APP_WIN")
[[ "$w2 $h2" == "$w $h" ]] || fail "the window was resized to $w2 x $h2"
hints=$(xprop -id "$APP_WIN" WM_NORMAL_HINTS)
grep -q "minimum size: 668 by $h" <<<"$hints" && grep -q "maximum size: 668 by $h" <<<"$hints" \
  || fail "size hints do not fix the size: $hints"
pass "the window cannot be resized"

motif=$(xprop -id "$APP_WIN" _MOTIF_WM_HINTS | sed 's/.*= //')
IFS=', ' read -r mflags mfunctions mdecor _ <<<"$motif"
(( (mdecor & 0x30) == 0x10 || (mdecor & 0x60) == 0 )) || fail "decorations $motif offer minimize or maximize"
(( (mfunctions & 0x18) == 0 )) || fail "functions $motif allow minimize or maximize"
(( (mfunctions & 0x20) != 0 )) || fail "functions $motif do not allow closing"
pass "no minimize or maximize, close kept"

wait_for 5 bash -c "xprop -id $APP_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR" \
  || fail "the window is listed in the taskbar: $(xprop -id "$APP_WIN" _NET_WM_STATE)"
pass "not listed in the taskbar"

xdotool key alt+f
wait_for 10 menu_is_up || fail "Alt+F opened no menu"
xdotool key Escape
sleep 0.3
pass "Alt+F opens the File menu"

# Closing from the frame (the window manager's close, Alt+F4 in openbox) with an empty
# table ends the program without a question.
xdotool windowactivate --sync "$APP_WIN" >/dev/null 2>&1 || true
xdotool key alt+F4
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "the window did not close"
pass "closed from the frame"
