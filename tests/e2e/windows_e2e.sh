#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The native Windows program under Wine (32-bit) on a private X server, with a private CUPS
# scheduler for PRINT. The test makes and removes its own Wine prefix, a copy of one kept in the
# user's cache.
# Usage: windows_e2e.sh Vantorel.exe
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups.sh"
exe=$1
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vantorel-wine.XXXXXX)
# The shipped program is 32-bit; a 64-bit build of it runs under 64-bit Wine.
if [[ "$(file -b "$exe")" == PE32+* ]]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    wine=$WINELOADER
else
    export WINEARCH=win32
    wine=wine
    # Where this kernel runs no 32-bit programs, qemu emulates them (scripts/enable-i386).
    [[ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]] && PACE=10
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null; stop_cups; cleanup; rm -rf "$WINEPREFIX" "${CUPS_DIR:-/nonexistent}"' EXIT

CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/vantorel
mkdir -p "$CACHE"
PREFIX_TEMPLATE="$CACHE/$WINEARCH-prefix-$("$wine" --version | tr -c 'A-Za-z0-9.\n' _)"

start_xvfb 1600x1200x24 || exit 1 # room for the window at 1353 x 963
start_cups || { echo "cannot start a private CUPS scheduler"; exit 1; }
export HOME="$CUPS_DIR/tmp"
# Wine's set-up of a new prefix takes seconds natively and many minutes under emulation: it runs
# once per Wine version into the cache, and each run starts from a copy of that.
(
    flock 9
    if [[ ! -f "$PREFIX_TEMPLATE/.complete" ]]; then
        rm -rf "$PREFIX_TEMPLATE"
        WINEPREFIX="$PREFIX_TEMPLATE" "$wine" wineboot -i >/dev/null 2>&1
        WINEPREFIX="$PREFIX_TEMPLATE" wineserver -w
        touch "$PREFIX_TEMPLATE/.complete"
    fi
) 9>"$PREFIX_TEMPLATE.lock"
cp -a "$PREFIX_TEMPLATE/." "$WINEPREFIX/"

YELLOW="255 255 192"
MARS="255 128 128"
VANTOREL="$wine"
# Another Windows program, beside the board's: sends its window messages from outside.
PROBE=$(dirname "$exe")/winprobe.exe

# Starts the program under Wine and waits for its window (WIN) and first frame.
start_wine_app() {
    "$VANTOREL" "$exe" &
    APP_PID=$!
    WIN=$(timeout $((WAIT_LIMIT * PACE)) xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
    eventually is_pixel 930 58 "255 255 128"
}

start=$(now_ms)
start_wine_app
echo "start to first frame under Wine: $(($(now_ms) - start)) ms"

check "the window opens at the board's size" [ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')" = 1041x741 ]
check "background is light yellow" eventually is_pixel 1030 730 "$YELLOW"
check "grid line drawn on the window's surface" eventually is_pixel 175 400 "0 0 0"
check "frame drawn" eventually is_pixel 8 400 "0 0 0"
check "a token shows its own colour" eventually is_pixel 932 388 "$MARS"
check "sign names drawn" eventually names_shown
exit_i_has_serifs() {
    "$XPROBE" ppm "$WIN" "$CUPS_DIR/start.ppm" &&
        [ "$("$GRIDCHECK" "$CUPS_DIR/start.ppm" --serif 880 608 145 25 3)" = serif ]
}
check "captions are serif where the layout's face is missing: EXIT's I has serifs" \
    eventually exit_i_has_serifs

# The keyboard: focus is on Asc from the start, and an arrow moves it by one pixel.
xdotool key Right
check "Right moves the focused Asc one pixel right" eventually is_pixel 928 70 "$YELLOW"
check "and Asc stands there" eventually not_pixel 977 70 "$YELLOW"
drag 932 388 600 420
eventually is_pixel 610 425 "$MARS"
for _ in $(seq 10); do xdotool key Tab; done # past the tokens to RESET
xdotool key Return
check "Enter presses the focused RESET" eventually is_pixel 932 388 "$MARS"
check "and Asc is home again" eventually not_pixel 928 70 "$YELLOW"

drag 932 388 600 420
check "Mars dragged into the Leo box lands at the drop point" eventually is_pixel 610 425 "$MARS"
check "and has left the tray" eventually is_pixel 932 388 "$YELLOW"
click 952 556
check "RESET brings it home" eventually is_pixel 932 388 "$MARS"

drag 932 388 600 420
eventually is_pixel 610 425 "$MARS"
xdotool key ctrl+c
wait_handled
check "Ctrl+C leaves it" is_pixel 610 425 "$MARS"
check "the reserved button is not shown" is_pixel 952 692 "$YELLOW"
xdotool key alt+c
wait_handled
check "Alt+C leaves it" is_pixel 610 425 "$MARS"
xdotool type c
check "typing c brings it home" eventually is_pixel 932 388 "$MARS"

drag 932 388 940 490 # onto another token
wait_handled
check "a drop onto another token is refused" is_pixel 932 388 "$MARS"

# Three quick clicks: the second comes as a double click, which is a click too.
xdotool mousemove --window "$WIN" 952 588 click --repeat 3 --delay 80 1
check "three quick clicks on CLR RASHIS leave the names hidden" eventually names_hidden
wait_handled
check "and hidden they stay" names_hidden

click 952 652
check "PRINT sends a job to the default printer" eventually job_done "$CUPS_OUT"
check "the job is a page description" grep -qaE '^(%!PS|%PDF)' "$CUPS_OUT"
check "printed in colour: Mars's red" grep -qa "1.00 0.50 0.50 setrgbcolor" "$CUPS_OUT"
check "printed on white, not yellow" bash -c "! grep -qa '1.00 1.00 0.75 setrgbcolor' '$CUPS_OUT'"
wait_handled
check "the window is light yellow again" is_pixel 1030 730 "$YELLOW"
# The page is PostScript on portrait paper with the board turned a quarter.
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r100 -sOutputFile="$CUPS_DIR/page.ppm" \
    "$CUPS_OUT" >/dev/null 2>&1
check "every grid line and the frame are on paper" "$GRIDCHECK" "$CUPS_DIR/page.ppm" --turned

# A size that is no whole multiple of the board's: the scale is not a whole number.
# The grid is checked on a picture at the new scale (1.3): the board found at 1.3 px per 15 twips.
grid_shows() {
    "$XPROBE" ppm "$WIN" "$CUPS_DIR/resized.ppm" &&
        "$GRIDCHECK" "$CUPS_DIR/resized.ppm" | awk '{ print } /board found at/ { big = $4 > 0.08 } END { exit !big }' >"$CUPS_DIR/grid.txt"
}
geometry_is() { [ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')" = "$1" ]; }
xdotool windowsize "$WIN" 1353 963
check "resized to 1353 x 963" eventually geometry_is 1353x963
check "Mars stands where the new scale puts it" eventually is_pixel 1212 505 "$MARS"
check "every grid line and the frame show at 1353 x 963" eventually grid_shows
cat "$CUPS_DIR/grid.txt"
xdotool windowsize "$WIN" 1041 741
eventually geometry_is 1041x741
click 952 588
check "SHOW RASHIS brings the names back" eventually names_shown

click 952 620
wait_app_exit
check "EXIT ends the program with status 0" [ "$EXIT_STATUS" = 0 ]

# From outside the program: WM_DESTROY sent by another Windows program, and the X window
# destroyed by another X client. Either way it ends as if closed.
start_wine_app
start=$(now_ms)
"$wine" "$PROBE" destroy "The Vantorel"
wait_app_exit
echo "the program ended $(($(now_ms) - start)) ms after winprobe was started to send it WM_DESTROY"
check "WM_DESTROY from another program ends it with status 0" [ "$EXIT_STATUS" = 0 ]

start_wine_app
start=$(now_ms)
xdotool windowclose "$WIN"
wait_app_exit
echo "the program ended $(($(now_ms) - start)) ms after its X window was destroyed"
check "its X window destroyed from outside ends it with status 0" [ "$EXIT_STATUS" = 0 ]
finish
