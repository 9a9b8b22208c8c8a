#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hostile input on a real X server: drops from another program carrying whatever it likes, and
# the window closed in the middle of drags. The payload is never read, nothing crashes, only the
# last pressed token moves.
source "$(dirname "$0")/lib.sh"
start_xvfb || exit 1

SUN="255 224 192"
MARS="255 128 128"

start_app
drag 932 100 250 100 # press (and move) the Sun: the last pressed token
eventually is_pixel 258 106 "$SUN"
x=120
for mode in huge-text files urls image binary unknown; do
    start_source "$mode"
    start=$(now_ms)
    foreign_drag 1000 600 900 600 700 600 $(((x + 700) / 2)) 600 "$x" 600
    eventually is_pixel $((x + 8)) 606 "$SUN"
    took=$(($(now_ms) - start))
    check "a $mode drop moves the Sun to the drop point (${took} ms)" is_pixel $((x + 8)) 606 "$SUN"
    check "after the $mode drop the program runs on" kill -0 "$APP_PID"
    check "after the $mode drop Mars has not moved" is_pixel 932 388 "$MARS"
    stop_source
    x=$((x + 90))
done

# Asks our window to close in the middle of a drag along y = 400 that was pressed in the window
# PRESS, and lets go only once the program has ended: it ended in the middle of the drag.
close_during_drag() { # close_during_drag PRESS_WINDOW X Y  X...
    local press=$1 x=$2 y=$3 p
    shift 3
    xdotool mousemove --window "$press" "$x" "$y"
    sleep 0.05
    xdotool mousedown 1
    for p in "$@"; do
        xdotool mousemove --window "$WIN" "$p" 400
        sleep 0.05
    done
    "$XPROBE" close "$WIN"
    wait_app_exit
    xdotool mouseup 1
}

# The window asked to close in the middle of one of its own drags.
close_during_drag "$WIN" 932 388 900 800 700 600
check "closed during its own drag, it ends with status 0" [ "$EXIT_STATUS" = 0 ]

# The window asked to close while another program's drag hovers over it: the drag goes on over
# our window until we have answered, then our window is asked to close.
start_app
start_source text
foreign_drag_over 1000 400 800 400 600 400 500 400
"$XPROBE" close "$WIN"
wait_app_exit
ended=$(grep -cx ended "$SOURCE_LOG")
xdotool mouseup 1
check "closed under a foreign drag, it ends with status 0" [ "$EXIT_STATUS" = 0 ]
source_unharmed() { said ended $((ended + 1)) && kill -0 "$SOURCE_PID"; }
check "and the other program is unharmed: its drag ends, and it runs on" eventually source_unharmed
stop_source

finish
