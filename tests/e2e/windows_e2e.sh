#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The native Windows program under Wine (32-bit) on a private X server, with a private CUPS
# scheduler for PRINT. The test makes and removes its own Wine prefix.
# Usage: windows_e2e.sh Vantorel.exe
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups.sh"
exe=$1
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vantorel-wine.XXXXXX)
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null; stop_cups; cleanup; rm -rf "$WINEPREFIX" "${CUPS_DIR:-/nonexistent}"' EXIT

start_xvfb || exit 1
start_cups || { echo "cannot start a private CUPS scheduler"; exit 1; }
export HOME="$CUPS_DIR/tmp"
wineboot -i >/dev/null 2>&1

YELLOW="255 255 192"
MARS="255 128 128"
start=$(date +%s%N)
VANTOREL="wine"
"$VANTOREL" "$exe" &
APP_PID=$!
WIN=$(timeout 30 xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
for _ in $(seq 200); do
    [[ "$(pixel 930 58 2>/dev/null)" == "255 255 128" ]] && break
    sleep 0.05
done
echo "start to first frame under Wine: $(( ($(date +%s%N) - start) / 1000000 )) ms"

check "the window opens at the board's size" [ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')" = 1041x741 ]
check "background is light yellow" is_pixel 1030 730 "$YELLOW"
check "grid line drawn on the window's surface" is_pixel 175 400 "0 0 0"
check "frame drawn" is_pixel 8 400 "0 0 0"
check "a token shows its own colour" is_pixel 932 388 "$MARS"
check "sign names drawn" more_than "$(dark 184 24 160 17)" 30
check "the reserved button is not shown" is_pixel 952 692 "$YELLOW"

drag 932 388 600 420
sleep 0.5
check "Mars dragged into the Leo box lands at the drop point" is_pixel 610 425 "$MARS"
check "and has left the tray" is_pixel 932 388 "$YELLOW"
click 952 556
check "RESET brings it home" is_pixel 932 388 "$MARS"

drag 932 388 600 420
sleep 0.5
xdotool key ctrl+c
sleep 0.3
check "Ctrl+C leaves it" is_pixel 610 425 "$MARS"
xdotool type c
sleep 0.5
check "typing c brings it home" is_pixel 932 388 "$MARS"

drag 932 388 940 490 # onto another token
check "a drop onto another token is refused" is_pixel 932 388 "$MARS"

click 952 588
check "CLR RASHIS hides the names" [ "$(dark 184 24 160 17)" = 0 ]

click 952 652
for _ in $(seq 100); do
    [[ -s "$CUPS_OUT" ]] && break
    sleep 0.1
done
check "PRINT sends a job to the default printer" [ -s "$CUPS_OUT" ]
check "the job is a page description" grep -qaE '^(%!PS|%PDF)' "$CUPS_OUT"
check "printed in colour: Mars's red" grep -qa "1.00 0.50 0.50 setrgbcolor" "$CUPS_OUT"
check "printed on white, not yellow" bash -c "! grep -qa '1.00 1.00 0.75 setrgbcolor' '$CUPS_OUT'"
check "the window is light yellow again" is_pixel 1030 730 "$YELLOW"
click 952 588
check "SHOW RASHIS brings the names back" more_than "$(dark 184 24 160 17)" 30

click 952 620
wait_app_exit
check "EXIT ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
finish
