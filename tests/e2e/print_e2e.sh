#!/usr/bin/env bash
# PRINT on the real program, through a real CUPS scheduler of the test's own, and with none.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups.sh"
trap 'stop_cups; cleanup; rm -rf "${CUPS_DIR:-/nonexistent}"' EXIT

start_xvfb || exit 1
start_cups || { echo "cannot start a private CUPS scheduler"; exit 1; }
# The user's own lpoptions must not pick another default printer.
export HOME="$CUPS_DIR/tmp"

YELLOW="255 255 192"
PRINT="952 652"
TOGGLE="952 588"

colour_count() { # colour_count PDF R G B
    pdftoppm -r 30 -singlefile "$1" "$CUPS_DIR/page" && "$PPMCOUNT" "$CUPS_DIR/page.ppm" "$2" "$3" "$4"
}

start_app
drag 932 388 600 420 # Mar into the Leo box
click $PRINT
for _ in $(seq 100); do
    [[ -s "$CUPS_OUT" ]] && break
    sleep 0.1
done
check "PRINT sends a job to the default printer" [ -s "$CUPS_OUT" ]
text=$(pdftotext "$CUPS_OUT" - 2>/dev/null)
check "the page has the sign names as text" grep -q "Vrishchika" <<<"$text"
check "the page has the title as text" grep -q "Teaching Tool for a Jyotishi" <<<"$text"
check "the page is in colour: Mars's red" more_than "$(colour_count "$CUPS_OUT" 255 128 128)" 10
check "the page is in colour: Sun's peach" more_than "$(colour_count "$CUPS_OUT" 255 224 192)" 10
check "the page's ground is white, not yellow" [ "$(colour_count "$CUPS_OUT" 255 255 192)" = 0 ]
check "the window is light yellow again" is_pixel 1030 730 "$YELLOW"
check "the window is light yellow behind the names" is_pixel 300 36 "$YELLOW"

# Names hidden: the next page has none.
rm -f "$CUPS_OUT"
click $TOGGLE
click $PRINT
for _ in $(seq 100); do
    [[ -s "$CUPS_OUT" ]] && break
    sleep 0.1
done
text=$(pdftotext "$CUPS_OUT" - 2>/dev/null)
check "hidden names stay off the page" bash -c '! grep -q "Aries" <<<"$0" && grep -q "SHOW RASHIS" <<<"$0"' "$text"
click $TOGGLE

# No scheduler at all: nothing is shown, nothing changes, and the window answers at once.
stop_cups
before=$(dark 0 0 1041 741)
windows_before=$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)
start=$(date +%s%N)
click $PRINT
click $TOGGLE
hidden=$(dark 184 24 160 17)
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
check "with no scheduler PRINT does not hold the window (${elapsed_ms} ms)" [ "$hidden" = 0 -a "$elapsed_ms" -lt 3000 ]
click $TOGGLE
check "with no scheduler the window is as before" [ "$(dark 0 0 1041 741)" = "$before" ]
check "with no scheduler no message appears" [ "$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)" = "$windows_before" ]
check "with no scheduler the window is light yellow" is_pixel 1030 730 "$YELLOW"

click 952 620 # EXIT
wait_app_exit
check "EXIT still ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
finish
