#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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

# Waits (10 s at most) until the sign names are hidden (0) or shown (1); prints the ms it took.
names_after() { # names_after 0|1 START_NS
    for _ in $(seq 200); do
        local n
        n=$(dark 184 24 160 17)
        if { [[ $1 = 0 ]] && [[ $n = 0 ]]; } || { [[ $1 = 1 ]] && [[ $n -gt 30 ]]; }; then
            break
        fi
        sleep 0.05
    done
    echo $(( ($(date +%s%N) - $2) / 1000000 ))
}

# PRINT, then CLR RASHIS: how long until the window has answered the second click (ms).
print_then_toggle_ms() {
    local start
    start=$(date +%s%N)
    click $PRINT
    click $TOGGLE
    names_after 0 "$start"
    click $TOGGLE
    names_after 1 "$start" >/dev/null
}

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

# The user's own default printer comes before the scheduler's, as the print system has it.
wait_for() { for _ in $(seq 100); do [[ -s "$1" ]] && break; sleep 0.1; done; }
add_queue mine
mkdir -p "$HOME/.cups"
echo "Default mine" >"$HOME/.cups/lpoptions"
rm -f "$CUPS_OUT"
click $PRINT
wait_for "$CUPS_DIR/out/mine.pdf"
check "with a default of the user's own, PRINT goes there" [ -s "$CUPS_DIR/out/mine.pdf" ]
check "and not to the scheduler's default" [ ! -e "$CUPS_OUT" ]
lpadmin -x vantorel-test # now the scheduler has no default at all
rm -f "$CUPS_DIR/out/mine.pdf"
click $PRINT
wait_for "$CUPS_DIR/out/mine.pdf"
check "with no scheduler default, PRINT goes to the user's default" [ -s "$CUPS_DIR/out/mine.pdf" ]
rm -f "$HOME/.cups/lpoptions"

# A scheduler that takes the connection but never answers: the window still answers.
kill -STOP "$CUPSD_PID"
rm -f "$CUPS_OUT"
elapsed_ms=$(print_then_toggle_ms)
check "with a hung scheduler PRINT holds the window only briefly (${elapsed_ms} ms)" [ "$elapsed_ms" -lt 4000 ]
check "with a hung scheduler the window is light yellow again" is_pixel 1030 730 "$YELLOW"
kill -CONT "$CUPSD_PID"
sleep 0.5

# The print system disappears in the middle of the job.
before=$(dark 0 0 1041 741)
xdotool mousemove --window "$WIN" $PRINT click 1
sleep 0.02
kill -KILL "$CUPSD_PID"
wait "$CUPSD_PID" 2>/dev/null
CUPSD_PID=
sleep 1.5
check "when the print system dies mid-job the program carries on" kill -0 "$APP_PID"
check "and the window is as before" [ "$(dark 0 0 1041 741)" = "$before" ]
check "and light yellow" is_pixel 1030 730 "$YELLOW"

# No scheduler at all: nothing is shown, nothing changes, and the window answers at once.
stop_cups
before=$(dark 0 0 1041 741)
windows_before=$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)
elapsed_ms=$(print_then_toggle_ms)
check "with no scheduler PRINT does not hold the window (${elapsed_ms} ms)" [ "$elapsed_ms" -lt 2000 ]
check "with no scheduler the window is as before" [ "$(dark 0 0 1041 741)" = "$before" ]
check "with no scheduler no message appears" [ "$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)" = "$windows_before" ]
check "with no scheduler the window is light yellow" is_pixel 1030 730 "$YELLOW"

click 952 620 # EXIT
wait_app_exit
check "EXIT still ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
finish
