# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests: a private X server, the program under test, and checks.
# Expects VANTOREL, XPROBE (and for some tests DRAGSOURCE) in the environment.

set -u
# Every wait is this many times its length: more where the program runs under emulation.
PACE=${PACE:-1}
pause() { sleep "$(awk -v s="$1" -v p="$PACE" 'BEGIN { print s * p }')"; }
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
    for _ in $(seq 100); do
        [[ -s "$said" ]] && break
        sleep 0.05
    done
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

start_app() {
    "$VANTOREL" &
    APP_PID=$!
    WIN=$(timeout 15 xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
    xdotool windowfocus --sync "$WIN" 2>/dev/null
    # Until the first frame is on the screen: "Asc" in its own colour (10 s at most).
    for _ in $(seq 200); do
        [[ "$(pixel 930 58 2>/dev/null)" == "255 255 128" ]] && break
        sleep 0.05
    done
}

# Waits (5 s at most) for the program to end; its exit status goes to EXIT_STATUS, or "running".
wait_app_exit() {
    EXIT_STATUS=running
    for _ in $(seq 50); do
        kill -0 "$APP_PID" 2>/dev/null || break
        pause 0.1
    done
    kill -0 "$APP_PID" 2>/dev/null && return
    EXIT_STATUS=0
    wait "$APP_PID" || EXIT_STATUS=$?
    APP_PID=
}

pixel() { "$XPROBE" pixel "$WIN" "$1" "$2"; }
dark() { "$XPROBE" dark "$WIN" "$@"; }
is_pixel() { [[ "$(pixel "$1" "$2")" == "$3" ]]; }
more_than() { [[ "$1" -gt "$2" ]]; }
not() { ! "$@"; }
# Runs a check until it holds, for five seconds at most (times PACE), so that it waits for the
# program rather than for the clock.
eventually() {
    local _
    for _ in $(seq $((100 * PACE))); do
        "$@" && return 0
        sleep 0.05
    done
    "$@"
}
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

click() { # click X Y
    # Not --sync: it waits in vain when the pointer is already there.
    xdotool mousemove --window "$WIN" "$1" "$2"
    pause 0.05
    xdotool click 1
    pause 0.2
}
