#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hostile input on a real X server: drops from another program carrying whatever it likes, and
# the window closed in the middle of drags. The payload is never read, nothing crashes, only the
# last pressed token moves.
source "$(dirname "$0")/lib.sh"
start_xvfb || exit 1

SUN="255 224 192"
MARS="255 128 128"

start_source() { # start_source MODE
    "$DRAGSOURCE" "$1" &
    SOURCE_PID=$!
    SRC=$(timeout 15 xdotool search --sync --onlyvisible --pid "$SOURCE_PID" --name '^drag source$' | head -1)
    sleep 0.3
}

stop_source() {
    kill "$SOURCE_PID" 2>/dev/null
    wait "$SOURCE_PID" 2>/dev/null
    SOURCE_PID=
}

# Drags from the source window to a point of ours (the window stands at the screen's origin).
foreign_drag() { # foreign_drag X Y
    xdotool mousemove --window "$SRC" 50 50
    sleep 0.05
    xdotool mousedown 1
    sleep 0.2
    local x
    for x in 1000 900 700 $(( ($1 + 700) / 2 )) "$1"; do
        xdotool mousemove "$x" "$2"
        sleep 0.05
    done
    sleep 0.1
    xdotool mouseup 1
}

# Waits (5 s at most) until the pixel has the colour; prints the ms it took.
pixel_after() { # pixel_after X Y COLOUR START_NS
    for _ in $(seq 100); do
        [[ "$(pixel "$1" "$2")" == "$3" ]] && break
        sleep 0.05
    done
    echo $(( ($(date +%s%N) - $4) / 1000000 ))
}

start_app
drag 932 100 250 100 # press (and move) the Sun: the last pressed token
x=120
for mode in huge-text files urls image binary unknown; do
    start_source "$mode"
    start=$(date +%s%N)
    foreign_drag "$x" 600
    took=$(pixel_after $((x + 8)) 606 "$SUN" "$start")
    check "a $mode drop moves the Sun to the drop point (${took} ms)" is_pixel $((x + 8)) 606 "$SUN"
    check "after the $mode drop the program runs on" kill -0 "$APP_PID"
    check "after the $mode drop Mars has not moved" is_pixel 932 388 "$MARS"
    stop_source
    x=$((x + 90))
done

# Presses in one window, drags over ours along y = 400, asks ours to close, then lets go.
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
    sleep 0.3
    xdotool mouseup 1
    wait_app_exit
}

# The window asked to close in the middle of one of its own drags.
close_during_drag "$WIN" 932 388 900 800 700 600
check "closed during its own drag, it ends with status 0" [ "$EXIT_STATUS" = 0 ]

# The window asked to close while another program's drag hovers over it.
start_app
start_source text
close_during_drag "$SRC" 50 50 1000 800 600 500
check "closed under a foreign drag, it ends with status 0" [ "$EXIT_STATUS" = 0 ]
check "and the other program is unharmed" kill -0 "$SOURCE_PID"
stop_source

finish
