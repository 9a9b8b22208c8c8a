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
trap 'kill ${LISTENER_PID:-} 2>/dev/null; cleanup; kill "$BUS_PID" 2>/dev/null; pkill -P "$BUS_PID" 2>/dev/null; rm -f "$bus" "$bus.pid" "$bus.heard"' EXIT
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

# A click picks Sun up: the reader hears it held, and where it stands again once let go.
click $SUN_HOME
check "a click on Sun: a screen reader hears it held" \
    eventually described Sun "held: click where to put it"
xdotool key --window "$WIN" Escape
check "Escape lets go: it hears Sun is in the tray" eventually described Sun "in the tray"

# Undo and redo: a stray c never costs the layout.
SUN_CORNER="928 96"
drag $SUN_HOME 200 40
eventually corner_at 200 40 "$SUN"
xdotool type --window "$WIN" c
eventually corner_at $SUN_CORNER "$SUN"
xdotool key --window "$WIN" ctrl+z
check "Ctrl+Z after c puts Sun back exactly where it was dropped" eventually corner_at 200 40 "$SUN"
xdotool key --window "$WIN" ctrl+shift+z
check "Ctrl+Shift+Z redoes the reset" eventually corner_at $SUN_CORNER "$SUN"
xdotool key --window "$WIN" ctrl+z
eventually corner_at 200 40 "$SUN"
xdotool key --window "$WIN" ctrl+y
check "and so does Ctrl+Y" eventually corner_at $SUN_CORNER "$SUN"
click 952 588
eventually names_hidden
xdotool key --window "$WIN" ctrl+z
check "CLR RASHIS then Ctrl+Z: the names are back" eventually names_shown
check "and the button reads CLR RASHIS again" eventually focused_is "CLR RASHIS"
# A click on a token leaves the focus where it was; Tab takes it on to Sun. Page Down takes the
# focused Sun into Aries; five arrows then go as one step.
click $SUN_HOME
xdotool key --window "$WIN" Escape
check "a click on Sun leaves the focus on CLR RASHIS" eventually focused_is "CLR RASHIS"
focus=$(reader focused)
for _ in $(seq 14); do
    [[ "$focus" == Sun ]] && break
    xdotool key --window "$WIN" Tab
    eventually focus_moved || break
done
xdotool key --window "$WIN" Next
check "Page Down on Sun: into the Aries box, below its names" eventually corner_at 185 54 "$SUN"
check "where a reader hears it" eventually described Sun "in Aries"
xdotool key --window "$WIN" Right Right Down Right Down
eventually corner_at 188 56 "$SUN"
xdotool key --window "$WIN" ctrl+z
check "one Ctrl+Z undoes five arrow presses" eventually corner_at 185 54 "$SUN"
xdotool key --window "$WIN" ctrl+z
check "and the next the jump" eventually corner_at $SUN_CORNER "$SUN"

# The painted board as a screen reader finds it: the window, then the twelve boxes from Aries,
# the centre with its captions and the tray, each where it is drawn, then the push buttons.
drag $SUN_HOME 200 40
holds() { tree=$(reader tree) && grep -qxF -- "$1" <<<"$tree"; }
reads() { eventually holds "$1"; } # and keeps the tree that held it in $tree
check "a reader finds the Sun in the Aries box" reads "  panel|Aries, Mesha: Sun||176,16,184,176"
check "the window reads as a frame called The Vantorel" [ "$(head -1 <<<"$tree")" = "frame|The Vantorel" ]
check "the boxes come first, from Aries" \
    [ "$(sed -n 2p <<<"$tree")" = "  panel|Aries, Mesha: Sun||176,16,184,176" ]
check "Pisces is the last box" [ "$(sed -n 13p <<<"$tree")" = "  panel|Pisces, Meenam: empty||8,16,168,176" ]
check "then the centre, its title caption inside it" [ "$(sed -n 14,15p <<<"$tree")" = "  panel|Centre||176,192,368,360
    label|Vantorel - Teaching Tool for a Jyotishi||192,288,345,25" ]
check "then the tray, without the Sun" [ "$(sed -n 19p <<<"$tree")" = \
    "  panel|Tray: Ascendant, Moon, Jupiter, Mercury, Venus, Saturn, Mars, Rahu, Ketu||928,56,49,457" ]
check "then every push button" [ "$(grep -c '^  push button|' <<<"$tree")" = 15 ]

# A screen reader that listens from the board's start hears a move and a toggle as they happen.
kill "$APP_PID" && wait "$APP_PID" 2>/dev/null
APP_PID=
"$here/atspi.py" listen >"$bus.heard" &
LISTENER_PID=$!
heard() { eventually grep -qxF "$1" "$bus.heard"; }
heard listening
start_app
drag $MAR_HOME 600 420
click 952 588 # CLR RASHIS
check "it hears that Mars is in Leo now" heard "Leo, Simha: Mars|"
check "and that the tray has lost it" \
    heard "Tray: Ascendant, Sun, Moon, Jupiter, Mercury, Venus, Saturn, Rahu, Ketu|"
check "and the boxes' names going: Leo by its place, with Mars" heard "third row, fourth box: Mars|"
check "Aries by its place" heard "top row, second box: empty|"
finish
