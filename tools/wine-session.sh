#!/usr/bin/env bash
# start: prepares the locale, the Wine prefix and (without a display of the
# user's own) the shared Xvfb, so that later Wine runs only reuse them.
# stop: ends every Wine process of the prefix and the Xvfb that start made.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

case "${1:-}" in
start)
    # shellcheck source=tools/wine-env.sh
    source "$here/wine-env.sh"
    if [[ -z "${DISPLAY:-}" ]]; then
        exit 1
    fi
    # A server (and with it the desktop) that outlives each program: a
    # program started while a timed-out server shuts down may find no
    # desktop to open windows on.
    wineserver -p >"$QUILLMARK_SESSION_DIR/wineserver.log" 2>&1 </dev/null
    echo "wine-session: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
    ;;
stop)
    repo="$(cd "$here/.." && pwd)"
    session_dir="${QUILLMARK_SESSION_DIR:-$repo/build/wine-session}"
    export WINEPREFIX="${QUILLMARK_WINEPREFIX:-$repo/build/wineprefix}"
    if [[ -d "$WINEPREFIX" ]]; then
        wineserver -k >/dev/null 2>&1
        timeout 30 wineserver -w >/dev/null 2>&1
    fi
    rm -f "$session_dir/server.display"
    if [[ -f "$session_dir/xvfb.pid" ]]; then
        pid="$(cat "$session_dir/xvfb.pid")"
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid"
            for _ in $(seq 1 100); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.05
            done
        fi
        rm -f "$session_dir/xvfb.pid" "$session_dir/xvfb.display"
    fi
    echo "wine-session: stopped"
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
