#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program opening on the screens classrooms have, under a real window manager (openbox),
# which puts a title bar on the window and keeps a panel's strip out of the work area: the whole
# board and the title bar on the screen, the board at 1 px = 15 twips wherever there is room
# for it and otherwise as large as there is room for; maximising still grows the board.
source "$(dirname "$0")/lib.sh"

WM_PID=
DOCK_PID=
stop_screen() {
    for pid in "$APP_PID" "$DOCK_PID" "$WM_PID" "${XVFB_PID:-}"; do
        [[ -n "$pid" ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    APP_PID= DOCK_PID= WM_PID= XVFB_PID=
}
trap stop_screen EXIT

wait_for() { eventually "$@"; }

# Client area and frame of the window, and the work area: sets CX CY CW CH FL FR FT FB and
# WX WY WW WH.
read_geometry() {
    read -r CX CY CW CH FL FR FT FB <<<"$("$XPROBE" frame "$WIN")"
    read -r WX WY WW WH <<<"$("$XPROBE" workarea)"
    [[ -n "${FB:-}" ]] && [[ -n "${WH:-}" ]]
}
framed_inside() {
    read_geometry && ((FT > 0 && CX - FL >= WX && CY - FT >= WY && CX + CW + FR <= WX + WW
        && CY + CH + FB <= WY + WH))
}
has_work_area() {
    [ -n "$("$XPROBE" workarea)" ]
}
below_panel() {
    [[ "$("$XPROBE" workarea)" == "0 $1 "* ]]
}
taller_than() {
    read_geometry && ((CH > $1))
}
# The window's picture once it is whole (the window manager may just have resized it): the chart
# found in it, and the same picture twice over.
board_drawn() {
    "$XPROBE" ppm "$WIN" "$scratch/before.ppm" && "$GRIDCHECK" "$scratch/before.ppm" >/dev/null \
        && "$XPROBE" ppm "$WIN" "$scratch/board.ppm" && cmp -s "$scratch/before.ppm" "$scratch/board.ppm"
}
# The board's scale in a picture of the window, as found from its frame.
scale_in() { "$GRIDCHECK" "$1" | awk '/board found/ { printf "%.3f", $4 * 15 }'; }

# screen SIZE PANEL DPI: one screen, a panel of PANEL pixels at its top (0: none), the desktop
# set to DPI dots per inch.
screen() {
    local size=$1 panel=$2 dpi=$3
    local what="$size at $dpi dpi"
    [[ $panel != 0 ]] && what+=" below a $panel px panel"
    start_xvfb "${size}x24" || return 1
    "$XPROBE" resources "$(printf 'Xft.dpi:\t%s' "$dpi")"
    openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    wait_for has_work_area || { echo "no window manager"; return 1; }
    if [[ $panel != 0 ]]; then
        "$XPROBE" dock "$panel" &
        DOCK_PID=$!
        wait_for below_panel "$panel"
        check "$what: the panel is out of the work area" [ "$("$XPROBE" workarea)" = "0 $panel ${size%x*} $((${size#*x} - panel))" ]
    fi
    "$VANTOREL" &
    APP_PID=$!
    WIN=$(timeout $((15 * PACE)) xdotool search --sync --onlyvisible --name '^The Vantorel$' | head -1)
    wait_for framed_inside
    read_geometry
    echo "$what: client $CW x $CH at $CX, $CY; frame $FL $FR $FT $FB; work area $WX $WY $WW $WH"
    check "$what: title bar, frame and board inside the work area" framed_inside
    # The board at 1 px = 15 twips (times the desktop's scale) where there is room for it; else
    # one side of the window fills the work area.
    local want_w=$(((1041 * dpi + 48) / 96)) want_h=$(((741 * dpi + 48) / 96))
    if ((want_w + FL + FR <= WW && want_h + FT + FB <= WH)); then
        check "$what: the board at its own size, $want_w x $want_h" [ "$CW x $CH" = "$want_w x $want_h" ]
    else
        local spare_w=$((WW - CW - FL - FR)) spare_h=$((WH - CH - FT - FB))
        check "$what: as large as the work area allows" [ $((spare_w < 2 || spare_h < 2)) = 1 ]
    fi
    wait_for board_drawn
    check "$what: the whole chart is drawn, every line" "$GRIDCHECK" "$scratch/board.ppm"
    SCALE=$(scale_in "$scratch/board.ppm")
    echo "$what: the board opened at scale $SCALE"
}

scratch=${SCRATCH:-$(mktemp -d)}
trap 'stop_screen; rm -rf "$scratch"' EXIT

screen 1024x600 0 96
stop_screen
screen 1280x720 0 96
stop_screen
screen 1920x1080 0 96
stop_screen
screen 1920x1080 0 144
stop_screen
screen 2560x1440 0 144
stop_screen
screen 1366x768 32 96
# Maximised, the window fills the work area and the board grows with it.
before=$CH
opened=$SCALE
"$XPROBE" maximise "$WIN"
wait_for taller_than "$before"
wait_for board_drawn
check "maximised: the window grows and stays inside the work area" framed_inside
check "maximised: the whole chart is drawn, every line" "$GRIDCHECK" "$scratch/board.ppm"
grown=$(scale_in "$scratch/board.ppm")
echo "maximised: client $CW x $CH, the board at scale $grown"
check "maximised: the board grows with the window" awk -v a="$grown" -v b="$opened" 'BEGIN { exit !(a > b) }'
stop_screen
finish
