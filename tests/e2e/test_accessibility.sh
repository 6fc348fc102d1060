#!/usr/bin/env bash
# What a screen reader finds in the real window over AT-SPI: the list, the content field,
# the sound options and the frames by the names that say what they are, and no control
# that takes the keyboard without a name.
source "$(dirname "$0")/lib.sh"
APP=$1
LAUNCHER=/usr/libexec/at-spi-bus-launcher
[[ -x $LAUNCHER ]] || fail "at-spi2-core is not installed (scripts/install-deps.sh --test)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is not installed"

e2e_start_x
mkdir -p "$E2E_TMP/bus"
e2e_start_session_bus "$E2E_TMP/bus"
# The accessibility bus, on which the tool and the reader below meet.
setsid "$LAUNCHER" --launch-immediately >"$E2E_TMP/at-spi.log" 2>&1 &
E2E_GROUPS+=($!)
wait_for 10 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
  || { cat "$E2E_TMP/at-spi.log" >&2; fail "the accessibility bus did not start"; }

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 e2e_start_app "$APP"

# The reader: finds the window by its caption, walks everything below it and prints one
# line per problem.
/usr/bin/python3 - >"$E2E_TMP/reader.txt" 2>&1 <<'EOF' || { cat "$E2E_TMP/reader.txt" >&2; fail "the reader failed"; }
import sys, time
import pyatspi

def find_window():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            for window in app or []:
                if window and window.name == "放送用データ作成ツール":
                    return window
        time.sleep(0.1)
    sys.exit("the window is not on the accessibility bus")

found = {}
unnamed = []
def walk(node, depth=0):
    role = node.getRoleName()
    name = node.name
    found.setdefault((role, name), 0)
    found[(role, name)] += 1
    states = node.getState()
    if (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)
            and not name.strip() and role not in ("table cell", "column header")):
        unnamed.append(role)
    for child in node:
        if child is not None:
            walk(child, depth + 1)

walk(find_window())
expected = [
    ("table", "放送用データ"),
    ("text", "放送内容："),
    ("panel", "編集"),
    ("panel", "サウンド指定信号"),
    ("panel", "音声の試聴"),
    ("radio button", "サウンド指定信号 0(なし)"),
    ("radio button", "サウンド指定信号 3"),
    ("check box", "運賃表示切替"),
    ("push button", "確定"),
]
for role, name in expected:
    if (role, name) not in found:
        print(f"missing: {role} named {name}")
for role in unnamed:
    print(f"unnamed: a focusable {role}")
print(f"walked {sum(found.values())} objects")
EOF
if grep -qE '^(missing|unnamed):' "$E2E_TMP/reader.txt"; then
  cat "$E2E_TMP/reader.txt" >&2
  fail "the screen reader's view of the window is wrong"
fi
pass "over AT-SPI every control is named ($(tail -n1 "$E2E_TMP/reader.txt"))"
