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
    # Until the first frame is on the screen: "Asc" and "Mar", the first and a late token, each
    # in its own colour.
    eventually is_pixel 930 58 "255 255 128" && eventually is_pixel 932 388 "$MARS"
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

# What a screen reader finds, asked from another process as it asks: the client area, then the
# painted parts (the twelve boxes from Aries, the centre with its captions, the tray), then the
# push buttons' own objects.
walker="$(dirname "$exe")/accwalk.exe"
walk() { "$wine" "$walker" 2>/dev/null | tr -d '\r'; }
has_part() { walk | grep -qxF -- "$1"; }
finds() { eventually has_part "$1"; }
parts=$(walk)
check "a reader finds the client area named The Vantorel" [ "$(head -1 <<<"$parts")" = "client|The Vantorel||0,0,1041,741" ]
check "then Aries first, empty, where it is drawn" [ "$(sed -n 2p <<<"$parts")" = "  grouping|Aries, Mesha: empty||176,16,184,176" ]
check "the centre holding its title caption" [ "$(sed -n 14,15p <<<"$parts")" = "  grouping|Centre||176,192,368,360
    static text|Vantorel - Teaching Tool for a Jyotishi||192,288,345,25" ]
check "the tray with every planet" [ "$(sed -n 19p <<<"$parts")" = \
    "  grouping|Tray: Ascendant, Sun, Moon, Jupiter, Mercury, Venus, Saturn, Mars, Rahu, Ketu||928,56,49,457" ]
check "then the push buttons' own objects, Asc first" grep -qE '^  [a-z ]+\|Asc\|[^|]*\|928,56,49,33$' <<<"$(sed -n 20p <<<"$parts")"
check "all fifteen of them" [ "$(sed -n '20,$p' <<<"$parts" | wc -l)" = 15 ]
# And a reader that hooks the events from its own process hears what changes, as it changes.
"$wine" "$walker" listen >"$CUPS_DIR/heard" 2>/dev/null &
LISTENER_PID=$!
heard_line() { tr -d '\r' <"$CUPS_DIR/heard" | grep -qxF -- "$1"; }
heard() { eventually heard_line "$1"; }
check "a reader's event hook is in place" heard listening

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
check "a reader finds Mars in the Leo box" finds "  grouping|Leo, Simha: Mars||544,368,173,184"
check "and has heard it go there" heard "Leo, Simha: Mars|"
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

# Clicks alone: a click picks Sun up, the next click puts its corner there, Escape lets go.
SUN="255 224 192"
click 932 100
check "a click on Sun leaves it in place, banded in ink: held" eventually corner_at 928 96 "$SUN" held
"$XPROBE" ppm "$WIN" "$PWD/held-sun-wine.ppm"
echo "the held Sun on screen: $PWD/held-sun-wine.ppm"
xdotool mousemove --window "$WIN" 600 300
check "over the surface the pointer is a crosshair while Sun is held" eventually pointer_is_crosshair
click 250 60
check "a click in Aries puts Sun's top-left corner on the click point" eventually corner_at 250 60 "$SUN"
check "and the pointer is no crosshair any more" eventually not pointer_is_crosshair
click 260 75
xdotool key Escape
click 600 420
wait_handled
check "a click on it and Escape let go: the next click moves nothing" corner_at 250 60 "$SUN"
click 952 556

click 952 588
check "CLR RASHIS hides the names" eventually names_hidden
check "and a reader finds each box by its place" finds "  grouping|top row, second box: empty||176,16,184,176"
check "and has heard Leo's new name" heard "third row, fourth box: empty|"
kill "$LISTENER_PID"
click 952 588
eventually names_shown
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

# Undo and redo with Windows' own keys, each step told in the words a reader speaks: the live
# region's change, which a reader's event hook hears as NVDA does. Names shown, every token home,
# the focus on CLR RASHIS.
"$wine" "$walker" listen >"$CUPS_DIR/told" 2>/dev/null &
TELLER_PID=$!
times_told() { tr -d '\r' <"$CUPS_DIR/told" | grep -cxF -- "announced|$1"; }
told_times() { (($(times_told "$1") >= $2)); }
told() { eventually told_times "$1" "${2:-1}"; }
eventually grep -qx listening "$CUPS_DIR/told"
if "$wine" "$walker" uia; then
    echo "skip - UI Automation's notification event: raised under this Wine, but accwalk hears only WinEvents"
else
    echo "skip - Narrator's paths: this Wine has no UI Automation notification event and keeps no LiveSetting annotation (IAccPropServices is a stub); only the live region's change is read back"
fi
snap() { "$XPROBE" ppm "$WIN" "$CUPS_DIR/$1"; }
# The window's whole picture, taken once it stands still: the same twice over.
snap_steady() { snap "$1" && snap now.ppm && cmp -s "$CUPS_DIR/$1" "$CUPS_DIR/now.ppm"; }
picture_is() { snap now.ppm && cmp -s "$CUPS_DIR/$1" "$CUPS_DIR/now.ppm"; }
toggle_reads() { walk | grep -qE "^  [a-z ]+\|$1\|[^|]*\|880,576,145,25$"; }

click 952 588
check "CLR RASHIS is told: the names hidden" told "Sign names hidden"
check "its caption turns SHOW RASHIS" eventually toggle_reads "SHOW RASHIS"
xdotool key ctrl+z
check "Ctrl+Z shows the names again" eventually names_shown
check "with the caption CLR RASHIS" eventually toggle_reads "CLR RASHIS"
check "and is told as undone" told "Undone: sign names shown"

# Past PRINT (SHOW ARUDHA is hidden) the focus comes round to Asc: its focus frame shows.
xdotool key Tab Tab
check "two Tabs from CLR RASHIS focus Asc" eventually is_pixel 931 70 "0 0 0"
eventually snap_steady home.ppm
asc_moved_five() { is_pixel 932 70 "$YELLOW" && not_pixel 981 70 "$YELLOW" && is_pixel 982 70 "$YELLOW"; }
xdotool key Right Right Right Right Right
check "five Right presses move Asc five pixels" eventually asc_moved_five
xdotool key ctrl+z
check "one Ctrl+Z undoes all five: the same picture as before them" eventually picture_is home.ppm
check "told as one step undone" told "Undone: Ascendant in the tray"

xdotool key Next
check "Page Down takes the focused Asc into Aries" finds "  grouping|Aries, Mesha: Ascendant||176,16,184,176"
check "and is told so" told "Ascendant in Aries"
xdotool key ctrl+z
check "Ctrl+Z brings Asc home exactly" eventually picture_is home.ppm
told "Undone: Ascendant in the tray" 2

drag 932 100 250 60
check "Sun dragged into Aries stands at the drop point" eventually corner_at 250 60 "$SUN"
check "the move is told" told "Sun in Aries"
eventually snap_steady aries.ppm
resets=$(times_told "All planets in the tray")
xdotool type c
check "c sends Sun home" eventually picture_is home.ppm
xdotool key ctrl+z
check "Ctrl+Z puts Sun back exactly: the same picture as after the drag" eventually picture_is aries.ppm
check "and is told: Sun in Aries again" told "Undone: Sun in Aries"
# Told in order: by the undo's words, every word of c is in.
check "c is told once: All planets in the tray" [ "$(times_told "All planets in the tray")" = $((resets + 1)) ]
xdotool key ctrl+shift+z
check "Ctrl+Shift+Z redoes c: the same picture as before the drag" eventually picture_is home.ppm
check "and is told: Sun in the tray" told "Redone: Sun in the tray"
xdotool key alt+BackSpace
check "Alt+Backspace undoes as well" eventually picture_is aries.ppm
xdotool key ctrl+y
check "Ctrl+Y redoes it as well" eventually picture_is home.ppm
check "and is told again" told "Redone: Sun in the tray" 2
kill "$TELLER_PID"

click 952 620
wait_app_exit
check "EXIT ends the program with status 0" [ "$EXIT_STATUS" = 0 ]

# From outside the program: WM_DESTROY sent by another Windows program ends it as if closed.
start_wine_app
start=$(now_ms)
"$wine" "$PROBE" destroy "The Vantorel"
wait_app_exit
echo "the program ended $(($(now_ms) - start)) ms after winprobe was started to send it WM_DESTROY"
check "WM_DESTROY from another program ends it with status 0" [ "$EXIT_STATUS" = 0 ]

# The monitor's scale, set as Windows' own dots per inch (in both places Wine reads it), and
# screens with less room than the board needs.
# The window's picture once it is whole: the chart found in it, and the same picture twice over.
board_drawn() {
    "$XPROBE" ppm "$WIN" "$CUPS_DIR/before.ppm" && "$GRIDCHECK" "$CUPS_DIR/before.ppm" >/dev/null \
        && "$XPROBE" ppm "$WIN" "$CUPS_DIR/screen.ppm" && cmp -s "$CUPS_DIR/before.ppm" "$CUPS_DIR/screen.ppm"
}
open_at() { # open_at SCREEN DPI
    local screen=$1 dpi=$2
    # Wine learns the screen's size when its server starts: a new server for each screen.
    wineserver -k 2>/dev/null
    wineserver -w
    kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null
    start_xvfb "${screen}x24" || return 1
    for key in 'HKCU\Control Panel\Desktop' \
        'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    done
    "$VANTOREL" "$exe" &
    APP_PID=$!
    WIN=$(timeout $((WAIT_LIMIT * PACE)) xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
    eventually board_drawn
    read -r CX CY CW CH _ <<<"$("$XPROBE" frame "$WIN")"
    SCALE=$("$GRIDCHECK" "$CUPS_DIR/screen.ppm" | awk '/board found/ { printf "%.3f", $4 * 15 }')
    echo "$screen at $dpi dpi: client $CW x $CH at $CX, $CY; the board at scale $SCALE"
    check "$screen at $dpi dpi: every grid line and the frame, crisp" "$GRIDCHECK" "$CUPS_DIR/screen.ppm"
}
close_app() {
    "$XPROBE" close "$WIN"
    wait_app_exit
}
# Room for the board at the monitor's scale: exactly that.
for dpi in 120 144; do
    open_at 1920x1200 "$dpi"
    want="$(((1041 * dpi + 48) / 96))x$(((741 * dpi + 48) / 96))"
    check "at $dpi dpi the window opens at the monitor's scale, $want" [ "${CW}x$CH" = "$want" ]
    close_app
done
# Too little room: fitted, the whole window on the screen, one side of it filling the screen.
for room in "1366x768 144" "1280x720 96" "1280x720 144"; do
    open_at $room
    width=${room%x*} height=${room#*x} height=${height% *}
    check "${room/ / at } dpi: the window fits the screen" [ $((CX + CW <= width && CY + CH <= height && CY > 0)) = 1 ]
    spare_w=$((width - CW)) spare_h=$((height - CY - CH))
    check "${room/ / at } dpi: and the board is as large as the screen allows" \
        [ $((spare_w >= 0 && spare_h >= 0 && (spare_w < 40 || spare_h < 20))) = 1 ]
    close_app
done
finish
