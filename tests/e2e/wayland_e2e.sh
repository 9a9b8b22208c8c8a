#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program as a native Wayland client of a real compositor: mutter, nested in a private X
# server, with a session bus of its own; the program has no DISPLAY to fall back on. xdotool
# drives the outer X server, whose pointer and keys mutter hands on; what the program did is
# read from mutter's picture of its output, where the board's window is the area of its ground.
source "$(dirname "$0")/lib.sh"

OUTPUT_WIDTH=1280
OUTPUT_HEIGHT=800
# The screen is larger than mutter's output: the pointer has to enter mutter's window from
# outside before mutter follows it.
start_xvfb $((OUTPUT_WIDTH + 40))x$((OUTPUT_HEIGHT + 40))x24 || exit 1

RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
WAYLAND_NAME=vantorel-wl-$$
BUS_PID=
MUTTER_PID=
stop_all() {
    [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null
    [[ -n "$MUTTER_PID" ]] && kill "$MUTTER_PID" 2>/dev/null
    [[ -n "$BUS_PID" ]] && kill "$BUS_PID" 2>/dev/null
    [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$RUNTIME"
}
trap stop_all EXIT

dbus-daemon --session --nofork --address="unix:path=$RUNTIME/bus" --print-address=3 \
    3>"$RUNTIME/bus-address" 2>"$RUNTIME/bus.log" &
BUS_PID=$!
if ! eventually grep -q unix: "$RUNTIME/bus-address"; then
    echo "cannot start a session bus" >&2
    exit 1
fi
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$RUNTIME/bus-address")

XDG_RUNTIME_DIR=$RUNTIME MUTTER_DEBUG_DUMMY_MODE_SPECS=${OUTPUT_WIDTH}x$OUTPUT_HEIGHT \
    LIBGL_ALWAYS_SOFTWARE=1 GSETTINGS_BACKEND=memory \
    mutter --wayland --nested --no-x11 --wayland-display="$WAYLAND_NAME" >"$RUNTIME/mutter.log" 2>&1 &
MUTTER_PID=$!
OUTER=$(timeout $((WAIT_LIMIT * PACE)) xdotool search --sync --onlyvisible --pid "$MUTTER_PID" | head -1)
if [[ -z "$OUTER" ]] || ! eventually test -S "$RUNTIME/$WAYLAND_NAME"; then
    echo "cannot start mutter:" >&2
    cat "$RUNTIME/mutter.log" >&2
    exit 1
fi
xdotool mousemove $((OUTPUT_WIDTH + 20)) $((OUTPUT_HEIGHT + 20))
xdotool mousemove --window "$OUTER" $((OUTPUT_WIDTH / 2)) $((OUTPUT_HEIGHT - 5))
xdotool windowfocus "$OUTER"

YELLOW="255 255 192"
MARS="255 128 128"
SUN="255 224 192"
MAR_HOME="934 390"
SUN_HOME="934 102"
EXIT="952 620"

# Board points (the board's client area at its opening size, 1 px = 15 twips) are read and
# pointed at through mutter's output, where the board's window stands at BX, BY.
BX=0
BY=0
pixel() { "$XPROBE" pixel "$OUTER" $((BX + $1)) $((BY + $2)); }
dark() { "$XPROBE" dark "$OUTER" $((BX + $1)) $((BY + $2)) "$3" "$4"; }
point() { xdotool mousemove --window "$OUTER" $((BX + $1)) $((BY + $2)); }
# mutter draws the pointer into its output: it waits where it hides nothing that is read.
park() { xdotool mousemove --window "$OUTER" $((OUTPUT_WIDTH / 2)) $((OUTPUT_HEIGHT - 5)); }
click() {
    point "$1" "$2"
    pause 0.05
    xdotool click 1
    pause 0.2
}

# The board's window is up and drawn: its ground is one area of the opening size, and "Asc"
# shows its colour. Sets BX, BY.
board_shown() {
    "$XPROBE" ppm "$OUTER" "$RUNTIME/output.ppm" || return 1
    local box
    box=$("$PPMCOUNT" box "$RUNTIME/output.ppm" 255 255 192) || return 1
    local width height
    read -r BX BY width height <<<"$box"
    [[ "$width $height" == "1041 741" ]] && is_pixel 930 58 "255 255 128"
}

start_board() {
    (
        unset DISPLAY
        export XDG_RUNTIME_DIR=$RUNTIME WAYLAND_DISPLAY=$WAYLAND_NAME QT_QPA_PLATFORM=wayland
        exec "$VANTOREL"
    ) 2>>"$RUNTIME/program.log" &
    APP_PID=$!
    eventually board_shown
}

# The picture a token's drag carries rides with its top-left corner at X Y: its colour where
# no token stands at rest. mutter shows it once the pointer moves.
carried_at() { is_pixel $(($1 + 10)) $(($2 + 24)) "$3" && is_pixel $(($1 + 40)) $(($2 + 24)) "$3"; }

# A drag in mutter's hands: pressed at the first point and on to the second, each step once
# mutter shows the token's picture there; the button stays down.
wayland_drag() { # wayland_drag X1 Y1 X2 Y2 COLOUR
    local i x y
    point "$1" "$2"
    xdotool mousedown 1
    for i in 1 2 3 4; do
        x=$(($1 + ($3 - $1) * i / 4))
        y=$(($2 + ($4 - $2) * i / 4))
        point $x $y
        eventually carried_at $x $y "$5" || return 1
    done
}

check "the board opens as a Wayland client, at its opening size" start_board
check "with its names drawn" eventually names_shown

# A drag, and c right after the drop: the keys still reach the board.
check "mutter carries Mar's picture in a drag" wayland_drag $MAR_HOME 600 420 "$MARS"
xdotool mouseup 1
park
check "Mar lands with its corner where it was let go" eventually corner_at 600 420 "$MARS"
check "and has left the tray" eventually is_pixel $MAR_HOME "$YELLOW"
xdotool type c
check "c right after the drop puts Mar back" eventually is_pixel $MAR_HOME "$MARS"

# Click to place: a click as quick as xdotool makes it, and a slow one that trembles a pixel;
# neither is long enough, or goes far enough, to be a drag.
click $SUN_HOME
park
check "a quick click on Sun picks it up: held" eventually corner_at 928 96 "$SUN" held
click 250 60
park
check "the next click in Aries puts Sun's corner there" eventually corner_at 250 60 "$SUN"
point 256 66
xdotool mousedown 1
point 257 67
pause 0.5 # the button held down a while: still a click
xdotool mouseup 1
park
check "a slow click on Sun picks it up again" eventually corner_at 250 60 "$SUN" held
click 600 420
park
check "the next click in Leo puts it there" eventually corner_at 600 420 "$SUN"
check "and Aries is empty again" eventually is_pixel 252 62 "$YELLOW"
xdotool type c
eventually is_pixel $SUN_HOME "$SUN"

# Escape during a drag: mutter's drag ends, and nothing moves when the button goes up.
check "mutter carries Mar's picture again" wayland_drag $MAR_HOME 600 420 "$MARS"
xdotool key Escape
check "Escape ends the drag" eventually not carried_at 600 420 "$MARS"
xdotool mouseup 1
park
wait_handled
check "Escape moved nothing: Mar is home" is_pixel $MAR_HOME "$MARS"
check "and Leo is empty" is_pixel 610 425 "$YELLOW"

# The window closed every way a Wayland desktop closes it: the program ends, with status 0. How
# long it took, from the click or the key to the end, is said, not judged: a busy machine may
# take longer, and a program that hangs never ends.
ended() { # ended HOW START_MS
    wait_app_exit
    echo "ended by $1 in $(($(now_ms) - $2)) ms, status $EXIT_STATUS"
    [[ "$EXIT_STATUS" == 0 ]]
}
click_to_end() { # click_to_end X Y HOW
    point "$1" "$2"
    pause 0.05
    local start
    start=$(now_ms)
    xdotool click 1
    ended "$3" "$start"
}
check "EXIT ends the program with status 0" click_to_end $EXIT EXIT
for i in 2 3 4 5 6 7 8 9 10; do
    check "start $i shows the board" start_board
    check "and EXIT ends it with status 0" click_to_end $EXIT EXIT
done
check "the board shows again" start_board
# The close box Qt draws on the window's frame, at the right of its title bar.
check "the close box ends the program with status 0" click_to_end 1027 -16 "the close box"
check "the board shows once more" start_board
start=$(now_ms)
xdotool key alt+F4
check "mutter closing the window (Alt+F4) ends the program with status 0" ended "Alt+F4" "$start"

if [[ -s "$RUNTIME/program.log" ]]; then
    echo "the program said:"
    cat "$RUNTIME/program.log"
fi
finish
