#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a blind user hears: Debian's screen reader, Orca, on a private X server, session bus and
# home, its speech written down by speech-dispatcher, drives the Linux program and then the web
# page in Firefox with keys and clicks, and the test reads what Orca said. Nothing but Orca reads
# the accessibility bus meanwhile: a second reader changes what Firefox sends.
# The page comes from VANTOREL_PAGE and Firefox from FIREFOX, where the build has a page to test;
# without them the program alone is tried.
# Orca takes its time on a busy machine; only a failure waits this long.
WAIT_LIMIT=${WAIT_LIMIT:-90}
source "$(dirname "$0")/lib.sh"
scratch=$(mktemp -d)
SPEECH=$scratch/speech.txt
ORCA_LOG=$scratch/orca-debug.txt

stop() { # stop PID...: by id, then for good if it will not go
    local pid
    for pid in "$@"; do
        [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
    done
    for pid in "$@"; do
        [[ -n "$pid" ]] && { timeout 10 tail --pid="$pid" -f /dev/null || kill -KILL "$pid"; } 2>/dev/null
    done
}
finish_all() {
    stop "${FIREFOX_PID:-}" "$APP_PID" "${ORCA_PID:-}"
    APP_PID=
    [[ -f "$scratch/run/speech-dispatcher/pid/speech-dispatcher.pid" ]] &&
        stop "$(cat "$scratch/run/speech-dispatcher/pid/speech-dispatcher.pid")"
    stop "${OPENBOX_PID:-}"
    # What the session bus started on demand (the accessibility bus, the settings store) goes
    # with it.
    if [[ -n "${BUS_PID:-}" ]]; then
        pkill -P "$BUS_PID" 2>/dev/null
        stop "$BUS_PID"
    fi
    cleanup
    # On failure Orca's own account of the run stays, beside the other tests' leavings.
    [[ $failures -eq 0 ]] || cp "$ORCA_LOG" orca_e2e-debug.txt 2>/dev/null
    rm -rf "$scratch"
}
trap finish_all EXIT

# A home, runtime folder and settings of the test's own: Orca's, Firefox's, speech-dispatcher's.
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON AT_SPI_BUS_ADDRESS NO_AT_BRIDGE
# No sound card: the speech goes to a file, one utterance a line, through a module that runs a
# command per utterance; the audio it would play goes nowhere.
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<EOF
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "transcript" "sd_generic" "transcript.conf"
DefaultModule transcript
LanguageDefaultModule "en" "transcript"
EOF
cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/transcript.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>$SPEECH"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "transcript"
DefaultVoice "transcript"
EOF
: >"$SPEECH"

start_xvfb || exit 1
bus=$scratch/bus
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$bus" 4>"$bus.pid"
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$bus")
BUS_PID=$(head -1 "$bus.pid")
gsettings set org.gnome.desktop.interface toolkit-accessibility true
openbox >/dev/null 2>&1 &
OPENBOX_PID=$!

# Orca as Debian installs it, with Debian's python, started as its own command starts it, but
# without the command's check for another Orca of this user anywhere on the machine (and without
# taking the name that check looks for): the test's Orca has a display and buses of its own, and
# neither keeps nor is kept from another session's. Its debug file is written line by line, so
# the test can follow it. Two of its defaults are off. Keys are not echoed: the echo of Shift is
# stopped by the arrow's press, sometimes before it is written down, and the test times its keys
# by what was written. A page is not read all on loading: reading all waits for each line's end
# of speech, which the module that writes the speech down now and then never reports, leaving
# Orca reading all, and deaf to the focus, for good; where it starts is said all the same.
/usr/bin/python3 -c 'import functools, runpy, sys
import orca.settings
orca.settings.enableKeyEcho = False
orca.settings.sayAllOnLoad = False
sys.argv = ["orca"] + sys.argv[1:]
main = runpy.run_path("/usr/bin/orca", run_name="orca_e2e")["main"]
main.__globals__.update(otherOrcas=lambda: [], setProcessName=lambda name: False,
                        open=functools.partial(open, buffering=1))
sys.exit(main())' --debug-file "$ORCA_LOG" >"$scratch/orca.out" 2>&1 &
ORCA_PID=$!

# What Orca says is checked line by line, each an utterance: said since the last mark, or said
# exactly once in the whole run.
MARK=0
mark() { MARK=$(wc -l <"$SPEECH"); }
said_since() { tail -n +$((MARK + 1)) "$SPEECH" | grep -qxF -- "$1"; }
said_like() { tail -n +$((MARK + 1)) "$SPEECH" | grep -qE -- "$1"; }
hears() { # hears WHAT LINE: Orca says LINE, now or within the wait
    check "$1: \"$2\"" eventually said_since "$2"
}
once() { [[ $(grep -cxF -- "$1" "$SPEECH") -eq 1 ]]; }
# Input goes through the X server's test extension, as a user's would, and each key or click
# waits for Orca to have handled the last one: Orca's own log says when it has. A click is let go
# once Orca has handled its press: a press it handles only after the release interrupts what the
# click made it say (and in a web page throws away what the page told it meanwhile).
handled() { grep -cF "^^^^^ PROCESS $1" "$ORCA_LOG"; }
handled_more() { more_than "$(handled "$1")" "$2"; }
# And it waits for what Orca said meanwhile to be written down: the next key would stop what is
# still on its way, as it stops a voice. Written lines less utterances said: back to GAP.
gap() { echo $(($(wc -l <"$SPEECH") - $(grep -c "SPEECH OUTPUT: " "$ORCA_LOG"))); }
written_down() { (($(gap) >= $1)); }
key() { # key KEYS: one stroke (shift+Left), once Orca has handled each of its keys' release
    local before gap
    before=$(handled ATSPI_KEY_RELEASED_EVENT)
    gap=$(gap)
    xdotool key "$1"
    local keys=${1//[!+]/}
    eventually handled_more ATSPI_KEY_RELEASED_EVENT $((before + ${#keys})) &&
        eventually written_down "$gap"
}
press() { # press: a click where the pointer is, let go once Orca has handled the press
    local before
    before=$(handled "OBJECT EVENT mouse:button:1p")
    xdotool mousedown 1
    eventually handled_more "OBJECT EVENT mouse:button:1p" "$before"
    xdotool mouseup 1
}
click() { # click X Y: at a point of the program's window
    xdotool mousemove --window "$WIN" "$1" "$2"
    pause 0.05
    press
}
tab_to() { # tab_to KEY LINE: presses KEY until Orca says LINE (the focus has got there)
    local i
    for i in $(seq 16); do
        mark
        key "$1"
        eventually said_like ' push button\.$' || return 1
        said_since "$2" && return 0
    done
    return 1
}

hears "Orca starts" "Screen reader on."
[[ $failures -eq 0 ]] || { cat "$scratch/orca.out"; exit 1; }

# --- the Linux program, as a user starts it: Orca turns Qt's accessibility on -----------------
linux_start=$(now_ms)
mark
start_app
hears "the window opens" "The Vantorel frame."
hears "with the focus on Asc" "Asc push button."

# Asc from the tray into Gemini with the keys, 10 pixels a press: told as it leaves the tray,
# and as it enters Gemini, on the 24th press.
mark
for _ in $(seq 24); do
    key shift+Left
done
hears "Shift+Left moves Asc out into Gemini" "notification Ascendant in Gemini."
mark
key Next
hears "Page Down moves it into the next sign" "notification Ascendant in Cancer."
mark
key c
hears "c puts every token back" "notification All planets in the tray."

# Sun and Mars into Aries with clicks: picked up, put down.
mark
click 934 102
hears "a click on Sun picks it up" "notification Sun held: click where to put it."
mark
click 200 40
hears "a click in Aries puts it down" "notification Sun in Aries."
mark
click 934 390
hears "a click on Mars picks it up" "notification Mars held: click where to put it."
mark
click 250 100
hears "a click in Aries puts it there too" "notification Mars in Aries."

# Flat review from the top: the first line runs along the top row of boxes, each with its planets.
mark
key Insert+KP_Home
check "flat review reads Aries with its two planets" \
    eventually said_like '(^| )Aries, Mesha: Sun, Mars( |\.?$)'
check "and the boxes beside it with theirs" eventually said_like '(^| )Taurus, Rishabha: empty( |\.?$)'

mark
click 952 588
hears "CLR RASHIS" "notification Sign names hidden."
hidden=$(wc -l <"$SPEECH")
# A token's place while the names are hidden: by the place of its box.
tab_to Tab "Asc push button." || check "Tab reaches Asc" false
mark
key Next
hears "with the names hidden, Page Down tells Asc's place by its box" \
    "notification Ascendant in the top row, second box."
signs='Aries|Taurus|Gemini|Cancer|Leo|Virgo|Libra|Scorpio|Sagittarius|Capricon|Aquarius|Pisces|Mesha|Simha'
check "and while they are hidden Orca names no sign" \
    not grep -qwE "$signs" <(tail -n +$((hidden + 1)) "$SPEECH")
for line in "notification Ascendant in Gemini." "notification Ascendant in Cancer." \
    "notification All planets in the tray." "notification Sun held: click where to put it." \
    "notification Sun in Aries." "notification Sign names hidden."; do
    check "said once: \"$line\"" once "$line"
done
stop "$APP_PID"
APP_PID=
echo "# the program: $(($(now_ms) - linux_start)) ms"

# --- the web page in Firefox --------------------------------------------------------------------
if [[ -z "${VANTOREL_PAGE:-}" ]] || [[ -z "${FIREFOX:-}" ]]; then
    echo "# no web page given: Firefox not tried; what Orca said:"
    sed 's/^/#   /' "$SPEECH"
    finish
    exit
fi
web_start=$(now_ms)
profile=$scratch/firefox
mkdir -p "$profile"
# A fresh profile that lets a screen reader in and opens nothing of its own.
cat >"$profile/user.js" <<EOF
user_pref("accessibility.force_disabled", 0);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("browser.newtab.preload", false);
EOF
mark
# Full screen: the page's board is fitted to the whole 1280x1024 screen, 1280/1041 times its
# own size, 56 pixels down.
"$FIREFOX" --kiosk --no-remote --profile "$profile" "file://$(realpath "$VANTOREL_PAGE")" \
    >"$scratch/firefox.out" 2>&1 &
FIREFOX_PID=$!
screen_x() { awk -v x="$1" 'BEGIN { printf "%d", x * 1280 / 1041 }'; }
screen_y() { awk -v y="$1" 'BEGIN { printf "%d", 56 + y * 1280 / 1041 }'; }
tap() { # tap X Y: a click at a point of the board
    xdotool mousemove "$(screen_x "$1")" "$(screen_y "$2")"
    pause 0.05
    press
}

# Loaded, Orca starts at the top of the page: the title, not the first button.
hears "Firefox: reading starts at the top of the page" "The Vantorel heading level 1."
check "with nothing before it but the page's summary" [ "$(tail -n +$((MARK + 1)) "$SPEECH" |
    grep -A1 -xF "Page has 1 landmark, 1 heading." | sed -n 2p)" = "The Vantorel heading level 1." ]

mark
key Tab
hears "Tab reaches Asc" "Asc push button."
mark
key Next
hears "Page Down moves Asc into Aries" "Ascendant in Aries"
# Typed letters are the reader's own in browse mode; in focus mode they reach the page.
mark
xdotool key Insert+a Insert+a # twice in a row
hears "focus mode, kept" "Focus mode is sticky."
mark
key c
hears "c puts every token back" "All planets in the tray"

mark
tap 952 112
hears "a click on Sun picks it up" "Sun held: click where to put it"
mark
tap 200 40
hears "a click in Aries puts it down" "Sun in Aries"
mark
tap 952 400
hears "a click on Mars picks it up" "Mars held: click where to put it"
mark
tap 250 100
hears "a click in Aries puts it there too" "Mars in Aries"

# Browse mode, from the top, line by line down to the tray: the title, then every box with its
# planets (a line holds what stands side by side on the screen), the centre and the tray.
mark
key Insert+a
hears "browse mode again" "Browse mode"
mark
key ctrl+Home
hears "the top of the page" "The Vantorel heading level 1."
mark
for _ in $(seq 20); do
    key Down
    said_like '^Tray: ' && break
done
hears "line by line: Aries with its two planets" "Aries, Mesha: Sun, Mars."
boxes="Aries, Mesha: Sun, Mars.
Taurus, Rishabha: empty.
Gemini, Mithuna: empty.
Cancer, Karka: empty.
Leo, Simha: empty.
Virgo, Kanya: empty.
Libra, Tula: empty.
Scorpio, Vrishchika: empty.
Sagittarius, Dhanu: empty.
Capricon, Makara: empty.
Aquarius, Kumbha: empty.
Pisces, Meenam: empty.
Centre.
Tray: Ascendant, Moon, Jupiter, Mercury, Venus, Saturn, Rahu, Ketu."
read_in_order() { [ "$(tail -n +$((MARK + 1)) "$SPEECH" | grep -xF -f <(echo "$1"))" = "$1" ]; }
check "every box in turn, none passed over, then the centre and the tray" \
    eventually read_in_order "$boxes"

mark
tap 952 588
hears "CLR RASHIS" "Sign names hidden"
hidden=$(wc -l <"$SPEECH")
tab_to shift+Tab "Ket push button." || check "Shift+Tab reaches Ket" false
mark
key Next
hears "with the names hidden, Page Down tells Ket's place by its box" \
    "Ketu in the top row, second box"
check "and while they are hidden Orca names no sign" \
    not grep -qwE "$signs" <(tail -n +$((hidden + 1)) "$SPEECH")
for line in "Ascendant in Aries" "All planets in the tray" "Sun held: click where to put it" \
    "Sun in Aries" "Sign names hidden"; do
    check "said once: \"$line\"" once "$line"
done
echo "# the page in Firefox: $(($(now_ms) - web_start)) ms"
echo "# what Orca said:"
sed 's/^/#   /' "$SPEECH"
finish
