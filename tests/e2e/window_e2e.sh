#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program on a real X server, driven with a real mouse and keyboard.
source "$(dirname "$0")/lib.sh"
start_xvfb || exit 1

YELLOW="255 255 192"
MARS="255 128 128"
SUN="255 224 192"
# Window points (1 px = 15 twips at the opening size).
MAR_HOME="934 390"    # inside "Mar" at 13920, 5760, clear of its caption and focus ring
SUN_HOME="934 102"    # inside "Sun" at 13920, 1440
RESET="952 556"
TOGGLE="952 588"
EXIT="952 620"

start_app
check "window is the opening size" [ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')" = 1041x741 ]
check "background is light yellow" eventually is_pixel 1030 730 "$YELLOW"
check "a token shows its own colour" eventually is_pixel $MAR_HOME "$MARS"
check "grid line left of the second column is drawn" eventually is_pixel 175 400 "0 0 0"
check "frame's left edge is drawn" eventually is_pixel 8 400 "0 0 0"
check "sign names are drawn" eventually names_shown
check "the window carries the application icon" grep -q "32x32" <<<"$("$XPROBE" icons "$WIN")"

# Lay out a token with the real mouse: "Mar" into the Leo box.
drag $MAR_HOME 600 420
check "Mar lands with its corner where it was let go" eventually is_pixel 610 425 "$MARS"
check "Mar has left the tray" eventually is_pixel $MAR_HOME "$YELLOW"

drag $SUN_HOME 250 100 3
check "a right-button drag moves Sun as well" eventually is_pixel 260 105 "$SUN"

click $RESET
check "RESET brings Mar home" eventually is_pixel $MAR_HOME "$MARS"
check "RESET brings Sun home" eventually is_pixel $SUN_HOME "$SUN"

drag $MAR_HOME 600 420
eventually is_pixel 610 425 "$MARS"
xdotool key --window "$WIN" ctrl+c
wait_handled
check "Ctrl+C does not reset" is_pixel 610 425 "$MARS"
xdotool key --window "$WIN" x
wait_handled
check "x does not reset" is_pixel 610 425 "$MARS"
xdotool type --window "$WIN" c
check "typing c resets" eventually is_pixel $MAR_HOME "$MARS"

drag $MAR_HOME 600 420
eventually is_pixel 610 425 "$MARS"
xdotool type --window "$WIN" C
check "typing C resets" eventually is_pixel $MAR_HOME "$MARS"

# Press and release without moving: the token stays where it stands.
xdotool mousemove --window "$WIN" $MAR_HOME
sleep 0.05
xdotool click 1
wait_handled
check "a plain click leaves the token in place" is_pixel $MAR_HOME "$MARS"
check "the plain click did not shift it" is_pixel 930 386 "$MARS"

# Let go outside the window, where nothing takes drops.
drag $MAR_HOME 1200 900
wait_handled
check "a drop outside the window moves nothing" is_pixel $MAR_HOME "$MARS"

# Over another token: refused.
drag $MAR_HOME 940 490
wait_handled
check "a drop onto another token is refused" is_pixel $MAR_HOME "$MARS"

click $TOGGLE
check "CLR RASHIS hides the names" eventually names_hidden
click $TOGGLE
check "SHOW RASHIS brings them back" eventually names_shown

# Text dragged in from another program moves the token last pressed.
if [[ -n "${DRAGSOURCE:-}" ]]; then
    start_source
    foreign_drag 900 650 700 650 500 650 400 650 300 650
    check "a foreign drop moves the last pressed token (Mar)" eventually is_pixel 310 655 "$MARS"
    stop_source
    click $RESET
    eventually is_pixel $MAR_HOME "$MARS"
fi

# Clicks alone lay out a chart: a click picks Sun up, the next click puts its corner there.
xdotool mousemove --window "$WIN" 600 300
check "over the surface the pointer is no crosshair while nothing is held" not pointer_is_crosshair
click $SUN_HOME
check "a click on Sun leaves it where it stands, banded in ink: held" eventually corner_at 928 96 "$SUN" held
"$XPROBE" ppm "$WIN" "$PWD/held-sun-qt.ppm"
echo "the held Sun on screen: $PWD/held-sun-qt.ppm"
xdotool mousemove --window "$WIN" 600 300
check "over the surface the pointer is a crosshair while Sun is held" eventually pointer_is_crosshair
click 250 60
check "a click in Aries puts Sun's top-left corner on the click point" eventually corner_at 250 60 "$SUN"
check "and the pointer is no crosshair any more" not pointer_is_crosshair
click 260 75
check "a click on Sun in Aries picks it up again" eventually corner_at 250 60 "$SUN" held
xdotool key --window "$WIN" Escape
click 600 420
wait_handled
check "Escape lets go: the next click moves nothing" corner_at 250 60 "$SUN"
check "and puts nothing in Leo" is_pixel 610 425 "$YELLOW"
click $RESET

click $EXIT
wait_app_exit
check "EXIT ends the program with status 0" [ "$EXIT_STATUS" = 0 ]

start_app
"$XPROBE" close "$WIN"
wait_app_exit
check "the close box ends the program with status 0" [ "$EXIT_STATUS" = 0 ]

# Another X client destroys the window outright: no close comes, yet the program ends as if
# closed, and says nothing about the window it lost.
err=$(mktemp)
runtime=$(mktemp -d)
XDG_RUNTIME_DIR=$runtime start_app 2>"$err"
start=$(now_ms)
xdotool windowclose "$WIN"
wait_app_exit
echo "the program ended $(($(now_ms) - start)) ms after its window was destroyed"
check "a window destroyed from outside ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
check "and it writes nothing to stderr" [ ! -s "$err" ]
rm -rf "$err" "$runtime"

out=$(DISPLAY=:nowhere "$VANTOREL" 2>&1)
status=$?
check "without a display it exits with status 1" [ "$status" = 1 ]
check "and says so in one line" [ "$(printf '%s\n' "$out" | wc -l)" = 1 ]

finish
