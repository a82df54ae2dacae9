#!/usr/bin/env bash
# Runs one Windows program under wine64 and returns its exit code. Wine's
# output goes to files first (its server would keep a pipe open for ever),
# then to this script's own output. Used as CMake's cross-compiling emulator.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"

if [[ $# -lt 1 ]]; then
    echo "usage: $0 program.exe [arguments...]" >&2
    exit 2
fi

log_dir="$QUILLMARK_SESSION_DIR/runs"
mkdir -p "$log_dir"
log="$(mktemp "$log_dir/$(basename "$1").XXXXXX")"
"$QUILLMARK_WINE64" "$@" >"$log.out" 2>"$log.err" </dev/null
status=$?
cat "$log.out"
cat "$log.err" >&2
rm -f "$log" "$log.out" "$log.err"
exit "$status"
