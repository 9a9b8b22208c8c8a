# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests: a private X server, the program under test, and checks.
# Expects VANTOREL, XPROBE (and for some tests DRAGSOURCE) in the environment.
#
# Waits are for events, never for the clock: a check of what an action did polls until it shows,
# and gives up only after WAIT_LIMIT seconds, a limit a busy machine stays far below. A check
# that something did NOT happen first waits for a later action's effect (wait_handled).

set -u
# Every wait is this many times its length: more where the program runs under emulation.
PACE=${PACE:-1}
WAIT_LIMIT=${WAIT_LIMIT:-30}
pause() { sleep "$(awk -v s="$1" -v p="$PACE" 'BEGIN { print s * p }')"; }
now_ms() { local t=${EPOCHREALTIME//[!0-9]/}; echo $((t / 1000)); }
failures=0
passes=0

check() { # check "what" command...
    local what=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
        echo "ok   - $what"
    else
        failures=$((failures + 1))
        echo "FAIL - $what"
    fi
}

# True as soon as the command succeeds; false if it has not within WAIT_LIMIT seconds.
eventually() { # eventually command...
    local end=$(($(now_ms) + WAIT_LIMIT * PACE * 1000))
    until "$@" 2>/dev/null; do
        (($(now_ms) < end)) || return 1
        sleep 0.02
    done
}

finish() {
    echo "$passes passed, $failures failed"
    [[ $failures -eq 0 ]]
}

start_xvfb() { # start_xvfb [WIDTHxHEIGHTxDEPTH]
    # A display of our own, never the user's: Xvfb itself takes the first free number and says
    # which, so tests started together cannot end up on one server.
    local said
    said=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -noreset -nolisten tcp 3>"$said" >/dev/null 2>&1 &
    XVFB_PID=$!
    eventually grep -q '[0-9]' "$said"
    local number
    number=$(tr -dc '0-9' <"$said")
    rm -f "$said"
    if [[ -z "$number" ]] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "cannot start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

APP_PID=
cleanup() {
    [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null
    [[ -n "${SOURCE_PID:-}" ]] && kill "$SOURCE_PID" 2>/dev/null
    [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

# Starts the program and waits for its window (WIN) and its first frame: "Asc" in its colour.
start_app() {
    "$VANTOREL" &
    APP_PID=$!
    WIN=$(timeout $((WAIT_LIMIT * PACE)) xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
    xdotool windowfocus --sync "$WIN" 2>/dev/null
    eventually is_pixel 930 58 "255 255 128"
}

# Waits for the program to end; its exit status goes to EXIT_STATUS, or "running".
wait_app_exit() {
    EXIT_STATUS=running
    eventually app_ended || return 0
    EXIT_STATUS=0
    wait "$APP_PID" || EXIT_STATUS=$?
    APP_PID=
}
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

pixel() { "$XPROBE" pixel "$WIN" "$1" "$2"; }
dark() { "$XPROBE" dark "$WIN" "$@"; }
is_pixel() { [[ "$(pixel "$1" "$2")" == "$3" ]]; }
not_pixel() { local p; p=$(pixel "$1" "$2") && [[ "$p" != "$3" ]]; }
more_than() { [[ "$1" -gt "$2" ]]; }
not() { ! "$@"; }
# A token of colour COLOUR has its top-left corner at window point X Y: its colour just inside,
# the light yellow ground just outside; HELD when a band of ink runs round it instead.
corner_at() { # X Y COLOUR [HELD]
    local inside=$3
    [[ -n "${4:-}" ]] && inside="0 0 0"
    is_pixel $(($1 + 1)) $(($2 + 1)) "$inside" && is_pixel $(($1 + 2)) $(($2 + 2)) "$3" &&
        is_pixel $(($1 - 1)) $(($2 + 1)) "255 255 192" && is_pixel $(($1 + 1)) $(($2 - 1)) "255 255 192"
}
# The pointer's shape now has its hot spot in its middle, as a crosshair's is (an arrow's is at
# its tip). Reads xprobe's "WxH X,Y NAME".
pointer_is_crosshair() {
    local size hot
    read -r size hot _ < <("$XPROBE" cursor "$WIN") || return 1
    local w=${size%x*} h=${size#*x} x=${hot%,*} y=${hot#*,}
    (( 3 * x > w && 3 * x < 2 * w && 3 * y > h && 3 * y < 2 * h ))
}

# Aries's sign names at the opening size: dark pixels when shown, none when hidden.
names_shown() { more_than "$(dark 184 24 160 17)" 30; }
names_hidden() { [[ "$(dark 184 24 160 17)" == 0 ]]; }

# Returns once the program has handled all input sent to it before: input reaches it in order,
# so when a later click has visibly taken effect, so has everything that came earlier. It clicks
# CLR RASHIS / SHOW RASHIS twice, at the opening size, and waits for the names to go and come
# back (or the other way round). The keyboard focus moves to that button.
wait_handled() {
    local before=names_shown after=names_hidden
    names_shown || { before=names_hidden; after=names_shown; }
    click 952 588
    if eventually $after && click 952 588 && eventually $before; then
        return 0
    fi
    failures=$((failures + 1))
    echo "FAIL - the program answers clicks on CLR RASHIS / SHOW RASHIS"
    return 1
}

# Presses a mouse button at one window point, moves there in small steps, and lets go.
drag() { # drag X1 Y1 X2 Y2 [button]
    local x1=$1 y1=$2 x2=$3 y2=$4 button=${5:-1} i
    xdotool mousemove --window "$WIN" "$x1" "$y1"
    pause 0.05
    xdotool mousedown "$button"
    pause 0.2
    for i in 1 2 3 4 5 6 7 8; do
        xdotool mousemove --window "$WIN" $((x1 + (x2 - x1) * i / 8)) $((y1 + (y2 - y1) * i / 8))
        pause 0.05
    done
    pause 0.1
    xdotool mouseup "$button"
    pause 0.3
}

# Another program to drag from, with a payload of its kind (the tests' drag source). Its log
# says how far its drag has come.
start_source() { # start_source [MODE]
    SOURCE_LOG=$(mktemp)
    "$DRAGSOURCE" "$@" >"$SOURCE_LOG" &
    SOURCE_PID=$!
    SRC=$(timeout $((WAIT_LIMIT * PACE)) xdotool search --sync --onlyvisible --pid "$SOURCE_PID" --name '^drag source$' | head -1)
}

stop_source() {
    kill "$SOURCE_PID" 2>/dev/null
    wait "$SOURCE_PID" 2>/dev/null
    rm -f "$SOURCE_LOG"
    SOURCE_PID=
}

said() { # said LINE COUNT: the drag source has said LINE at least COUNT times
    [[ $(grep -cx "$1" "$SOURCE_LOG") -ge $2 ]]
}

# Presses in the drag source's window and moves through points of our window, each only after
# our program has answered the last; the button stays down. Returns false if the drag never
# got under way or went unanswered.
foreign_drag_over() { # foreign_drag_over X Y [X Y]...
    local drags answers
    drags=$(grep -cx dragging "$SOURCE_LOG")
    answers=$(grep -cx answered "$SOURCE_LOG")
    xdotool mousemove --window "$SRC" 50 50
    pause 0.05
    xdotool mousedown 1
    eventually said dragging $((drags + 1)) || return 1
    while (($# >= 2)); do
        xdotool mousemove --window "$WIN" "$1" "$2"
        answers=$((answers + 1))
        eventually said answered $answers || return 1
        shift 2
    done
}

# The whole drag from the other program: let go at the last point, where the drop then lands.
foreign_drag() { # foreign_drag X Y [X Y]...
    local ended
    ended=$(grep -cx ended "$SOURCE_LOG")
    foreign_drag_over "$@"
    xdotool mouseup 1
    eventually said ended $((ended + 1))
}

click() { # click X Y
    # Not --sync: it waits in vain when the pointer is already there.
    xdotool mousemove --window "$WIN" "$1" "$2"
    pause 0.05
    xdotool click 1
    pause 0.2
}
