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

# How long the window is held by PRINT under the scheduler as it is (ms): from PRINT until the
# window has answered a click on CLR RASHIS, less the same with a click on the empty ground in
# place of PRINT, which is what the test's own clicks and looking take on this machine now.
print_hold_ms() {
    local with without
    with=$(answer_after_ms $PRINT)
    without=$(answer_after_ms 1030 730)
    echo $((with - without))
}
answer_after_ms() { # answer_after_ms X Y: clicks there, then CLR RASHIS until the names go
    local start took
    start=$(now_ms)
    click "$1" "$2"
    click $TOGGLE
    eventually names_hidden
    took=$(($(now_ms) - start))
    click $TOGGLE
    eventually names_shown
    echo "$took"
}

colour_count() { # colour_count PDF R G B
    pdftoppm -r 30 -singlefile "$1" "$CUPS_DIR/page" && "$PPMCOUNT" "$CUPS_DIR/page.ppm" "$2" "$3" "$4"
}

start_app
drag 932 388 600 420 # Mar into the Leo box
eventually is_pixel 610 425 "255 128 128"
click $PRINT
check "PRINT sends a job to the default printer" eventually job_done "$CUPS_OUT"
text=$(pdftotext "$CUPS_OUT" - 2>/dev/null)
check "the page has the sign names as text" grep -q "Vrishchika" <<<"$text"
check "the page has the title as text" grep -q "Teaching Tool for a Jyotishi" <<<"$text"
check "the page is in colour: Mars's red" more_than "$(colour_count "$CUPS_OUT" 255 128 128)" 10
check "the page is in colour: Sun's peach" more_than "$(colour_count "$CUPS_OUT" 255 224 192)" 10
check "the page's ground is white, not yellow" [ "$(colour_count "$CUPS_OUT" 255 255 192)" = 0 ]
wait_handled
check "the window is light yellow again" is_pixel 1030 730 "$YELLOW"
check "the window is light yellow behind the names" is_pixel 300 36 "$YELLOW"

# Names hidden: the next page has none.
rm -f "$CUPS_OUT"
click $TOGGLE
eventually names_hidden
click $PRINT
eventually job_done "$CUPS_OUT"
text=$(pdftotext "$CUPS_OUT" - 2>/dev/null)
check "hidden names stay off the page" bash -c '! grep -q "Aries" <<<"$0" && grep -q "SHOW RASHIS" <<<"$0"' "$text"
click $TOGGLE
eventually names_shown

# The user's own default printer comes before the scheduler's, as the print system has it.
add_queue mine
mkdir -p "$HOME/.cups"
echo "Default mine" >"$HOME/.cups/lpoptions"
rm -f "$CUPS_OUT"
click $PRINT
check "with a default of the user's own, PRINT goes there" eventually job_done "$CUPS_DIR/out/mine.pdf"
check "and not to the scheduler's default" [ ! -e "$CUPS_OUT" ]
lpadmin -x vantorel-test # now the scheduler has no default at all
rm -f "$CUPS_DIR/out/mine.pdf"
click $PRINT
check "with no scheduler default, PRINT goes to the user's default" eventually job_done "$CUPS_DIR/out/mine.pdf"
rm -f "$HOME/.cups/lpoptions"

# A scheduler that takes the connection but never answers: the window still answers.
kill -STOP "$CUPSD_PID"
rm -f "$CUPS_OUT"
held_ms=$(print_hold_ms)
check "with a hung scheduler PRINT holds the window only briefly (${held_ms} ms)" [ "$held_ms" -lt 4000 ]
check "with a hung scheduler the window is light yellow again" is_pixel 1030 730 "$YELLOW"

# The print system disappears in the middle of the job: while the program waits for the hung
# scheduler's answer on a connection of its own, the scheduler is killed. PRINT and a click on
# CLR RASHIS are sent; if the program has given up waiting (the names go) before the connection
# was seen, that is tried again.
sockets() {
    local fd n=0
    for fd in "/proc/$APP_PID/fd"/*; do
        [[ $(readlink "$fd") == socket:* ]] && n=$((n + 1))
    done
    echo "$n"
}
seen_first() {
    if [[ $(sockets) -gt $open ]]; then
        seen=connection
    elif names_hidden; then
        seen=answer
    else
        return 1
    fi
}
before=$(dark 0 0 1041 741)
for _ in $(seq 10); do
    open=$(sockets)
    seen=
    click $PRINT
    click $TOGGLE
    eventually seen_first
    [[ $seen == connection ]] && kill -KILL "$CUPSD_PID"
    eventually names_hidden
    click $TOGGLE
    eventually names_shown
    [[ $seen == connection ]] && break
done
wait "$CUPSD_PID" 2>/dev/null
CUPSD_PID=
check "the print system died while PRINT waited for its answer" [ "$seen" = connection ]
check "when the print system dies mid-job the program carries on" kill -0 "$APP_PID"
check "and the window is as before" [ "$(dark 0 0 1041 741)" = "$before" ]
check "and light yellow" is_pixel 1030 730 "$YELLOW"

# No scheduler at all: nothing is shown, nothing changes, and the window answers at once.
stop_cups
before=$(dark 0 0 1041 741)
windows_before=$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)
held_ms=$(print_hold_ms)
check "with no scheduler PRINT does not hold the window (${held_ms} ms)" [ "$held_ms" -lt 2000 ]
check "with no scheduler the window is as before" [ "$(dark 0 0 1041 741)" = "$before" ]
check "with no scheduler no message appears" [ "$(xdotool search --pid "$APP_PID" --onlyvisible 2>/dev/null | wc -l)" = "$windows_before" ]
check "with no scheduler the window is light yellow" is_pixel 1030 730 "$YELLOW"

click 952 620 # EXIT
wait_app_exit
check "EXIT still ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
finish
