#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The board from the keyboard on a real X server, and what a screen reader hears of it through
# the accessibility bus, on a private session bus of the test's own.
source "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
start_xvfb || exit 1

bus=$(mktemp)
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$bus" 4>"$bus.pid"
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$bus")
BUS_PID=$(head -1 "$bus.pid")
# The accessibility bus the session bus starts on demand goes with it.
trap 'cleanup; kill "$BUS_PID" 2>/dev/null; pkill -P "$BUS_PID" 2>/dev/null; rm -f "$bus" "$bus.pid"' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
reader() { "$here/atspi.py" "$@"; }

YELLOW="255 255 192"
ASC="255 255 128"
SUN="255 224 192"
MARS="255 128 128"
ASC_HOME="930 58"
SUN_HOME="932 100"
MAR_HOME="932 388"

start_app
focused_is() { [ "$(reader focused)" = "$1" ]; }
described() { [ "$(reader describe "$1")" = "$2" ]; }
check "focus starts on Asc" eventually focused_is Asc
check "Asc is in the tray" eventually described Asc "in the tray"

xdotool key --window "$WIN" Right Right Right shift+Down shift+Down
wait_handled
check "Right x3, Shift+Down x2 move Asc by (+3, +20) px" is_pixel 933 78 "$ASC"
check "and it has left its place" is_pixel 929 58 "$YELLOW"
xdotool type --window "$WIN" c
check "c brings it home" eventually is_pixel $ASC_HOME "$ASC"

drag $MAR_HOME 600 420
eventually is_pixel 610 425 "$MARS"
xdotool key --window "$WIN" alt+c
wait_handled
check "Alt+C is no typed c: Mars stays" is_pixel 610 425 "$MARS"

drag $SUN_HOME 200 40
check "Sun dragged into the Aries box is there" eventually is_pixel 210 45 "$SUN"
check "and a screen reader hears it is in Aries" eventually described Sun "in Aries"

# Tab on through the tokens to the first command button, RESET, and press it with Enter. Each
# Tab is sent once the reader has heard where the last one put the focus.
focus_moved() { local now; now=$(reader focused) && [[ "$now" != "$focus" ]] && focus=$now; }
focus=$(reader focused)
for _ in $(seq 14); do
    [[ "$focus" == RESET ]] && break
    xdotool key --window "$WIN" Tab
    eventually focus_moved || break
done
check "Tab reaches RESET after the tokens" [ "$focus" = RESET ]
xdotool key --window "$WIN" Return
check "Enter presses the focused RESET" eventually is_pixel $SUN_HOME "$SUN"
check "and Sun is in the tray again" eventually described Sun "in the tray"
finish
