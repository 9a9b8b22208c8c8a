# SPDX-License-Identifier: MIT
# A private CUPS scheduler for the print tests: its own configuration, spool and socket in a
# scratch folder, one colour PDF queue writing to a file, set as its default. The machine's own
# printers and configuration are never touched. Stop it with stop_cups (by PID). Needs lib.sh.

start_cups() {
    CUPS_DIR=$(mktemp -d /tmp/vantorel-cups.XXXXXX)
    chmod 755 "$CUPS_DIR"
    mkdir -p "$CUPS_DIR"/{spool,tmp,cache,state,log,ppd,out}
    chmod 1777 "$CUPS_DIR/out" "$CUPS_DIR/tmp"
    CUPS_OUT="$CUPS_DIR/out/board.pdf"
    cat >"$CUPS_DIR/cups-files.conf" <<CONF
ServerRoot $CUPS_DIR
RequestRoot $CUPS_DIR/spool
TempDir $CUPS_DIR/tmp
CacheDir $CUPS_DIR/cache
StateDir $CUPS_DIR/state
AccessLog $CUPS_DIR/log/access_log
ErrorLog $CUPS_DIR/log/error_log
PageLog $CUPS_DIR/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
    cat >"$CUPS_DIR/cupsd.conf" <<CONF
Listen $CUPS_DIR/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cupsd -f -c "$CUPS_DIR/cupsd.conf" -s "$CUPS_DIR/cups-files.conf" &
    CUPSD_PID=$!
    eventually test -S "$CUPS_DIR/cups.sock"
    export CUPS_SERVER="$CUPS_DIR/cups.sock"
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    # The scheduler runs filters as its own user, who may not reach into the checkout.
    install -m 755 "$here/cups/passthrough" "$CUPS_DIR/passthrough"
    sed "s|@PASSTHROUGH@|$CUPS_DIR/passthrough|" "$here/cups/colour-file.ppd" >"$CUPS_DIR/queue.ppd"
    lpadmin -p vantorel-test -E -v "file://$CUPS_OUT" -P "$CUPS_DIR/queue.ppd" 2>/dev/null &&
        lpadmin -d vantorel-test
}

# Another queue like the first, writing to $CUPS_DIR/out/NAME.pdf; not the default.
add_queue() { # add_queue NAME
    lpadmin -p "$1" -E -v "file://$CUPS_DIR/out/$1.pdf" -P "$CUPS_DIR/queue.ppd"
}

# True once FILE holds a whole job: written, and the scheduler has no job left to do.
job_done() { # job_done FILE
    [[ -s "$1" ]] && [[ -z "$(lpstat -o 2>/dev/null)" ]]
}

stop_cups() {
    [[ -n "${CUPSD_PID:-}" ]] && kill "$CUPSD_PID" 2>/dev/null && wait "$CUPSD_PID" 2>/dev/null
    CUPSD_PID=
}
