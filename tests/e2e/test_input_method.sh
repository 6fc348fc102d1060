#!/usr/bin/env bash
# The input method in the real window. Fcitx 5 with Mozc: off while the list has the
# keyboard, on as soon as 放送内容 takes it, and what Mozc composes from "toukyou" is
# confirmed and saved as code page 932. IBus: taking 放送内容 switches ibus-daemon to Mozc.
source "$(dirname "$0")/lib.sh"
APP=$(readlink -f "$1")
for program in fcitx5 fcitx5-remote ibus-daemon ibus dbus-daemon; do
  command -v "$program" >/dev/null || fail "$program is not installed (scripts/install-deps.sh --test)"
done

e2e_start_x

# Mozc's server refuses to run as root, so under root the session bus, Fcitx and Mozc run
# as nobody while the tool stays root.
IM_HOME="$E2E_TMP/im"
mkdir -p "$IM_HOME/.config/fcitx5" "$IM_HOME/run"
# One group, US keyboard then Mozc, as Japanese desktops set Fcitx up.
cat >"$IM_HOME/.config/fcitx5/profile" <<EOF
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
chmod 700 "$IM_HOME/run"
as_im_user=(env)
if (( EUID == 0 )); then
  chmod 711 "$E2E_TMP"
  chown -R nobody:nogroup "$IM_HOME"
  as_im_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
fi
as_im_user+=(HOME="$IM_HOME" XDG_CONFIG_HOME="$IM_HOME/.config" XDG_DATA_HOME="$IM_HOME/.local/share"
  XDG_RUNTIME_DIR="$IM_HOME/run")

e2e_start_session_bus "$IM_HOME" "${as_im_user[@]}"

# --- Fcitx 5 with Mozc -----------------------------------------------------------------------
"${as_im_user[@]}" setsid fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,mozc \
  >"$IM_HOME/fcitx5.log" 2>&1 &
FCITX_PID=$!
E2E_GROUPS+=("$FCITX_PID")
# Its input contexts are offered once its D-Bus front end is up, after the controller.
wait_for 15 bash -c 'dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 \
    /org/freedesktop/portal/inputmethod \
    org.freedesktop.DBus.Introspectable.Introspect | grep -q org.fcitx.Fcitx.InputMethod1' \
  || { cat "$IM_HOME/fcitx5.log" >&2; fail "Fcitx 5 did not come up"; }
pass "Fcitx 5 runs with Mozc on a bus of its own"

# Started in an empty folder, where its save dialog opens: the file's bare name is typed
# there, since a path would open the dialog's completion list, and Fcitx passing each key
# through D-Bus lets the list swallow the next key now and then.
mkdir "$E2E_TMP/saved"
cd "$E2E_TMP/saved"
QT_IM_MODULE=fcitx e2e_start_app "$APP"
cd - >/dev/null
sleep 0.5
state=$(fcitx5-remote)
[[ $state != 2 ]] || fail "the input method is on while the list has the keyboard"
pass "with the list focused the input method is off (fcitx5-remote: $state)"

click_ctl add
click_ctl text
wait_for 5 bash -c '[[ $(fcitx5-remote) == 2 ]]' \
  || fail "clicking 放送内容 left the input method off (fcitx5-remote: $(fcitx5-remote))"
pass "clicking 放送内容 switches it on (fcitx5-remote: 2)"

xdotool key ctrl+a
xdotool type --delay 40 toukyou
sleep 0.3
xdotool key Return
click_ctl confirm
file_menu s
expect_window "名前を付けて保存"
type_file_name typed
wait_main_active "the save dialog"
write_cp932 "$E2E_TMP/expected" "とうきょう,0,0"
expect_bytes "$E2E_TMP/saved/typed.csv" "$E2E_TMP/expected" "toukyou typed into 放送内容 was not saved as とうきょう"
pass "toukyou + Return gives とうきょう in hiragana, confirmed and saved in code page 932"

xdotool key alt+F4
expect_window "破棄の確認"
xdotool key alt+y
wait_for 10 bash -c "! kill -0 $APP_PID" || fail "the window did not close"
kill -- "-$FCITX_PID"
wait "$FCITX_PID" 2>/dev/null || true

# --- IBus ---------------------------------------------------------------------------------
# ibus-daemon takes only its own user, so it runs as the tool's; Mozc's server cannot start
# under root, so what is checked is the switch to Mozc, not what it composes.
setsid ibus-daemon --xim=false --panel=disable --emoji-extension=disable --config=disable \
  >"$E2E_TMP/ibus.log" 2>&1 &
E2E_GROUPS+=($!)
wait_for 15 bash -c 'ibus address 2>/dev/null | grep -q ^unix' \
  || { cat "$E2E_TMP/ibus.log" >&2; fail "ibus-daemon did not start"; }
ibus engine xkb:us::eng
QT_IM_MODULE=ibus e2e_start_app "$APP"
click_ctl text
wait_for 5 bash -c '[[ $(ibus engine 2>/dev/null) == mozc-jp ]]' \
  || fail "clicking 放送内容 left IBus on $(ibus engine 2>&1)"
pass "clicking 放送内容 switches IBus to Mozc"
