#!/usr/bin/env bash
# Builds Quillmark.exe (MinGW x86_64) and runs it under Wine from its build
# folder, where initial.res and Quillmark.ini lie beside it.
# With a display of your own, the window opens there and this script returns
# when you close it. Without one, it runs on a private Xvfb: the script
# waits for the window (answering with OK, and printing, any message box a
# start-up check shows), saves a screenshot to build/screenshots/quillmark.png,
# closes the window and ends the Wine session.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"

"$here/install-deps.sh"
cd "$repo"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 -j2 --target Quillmark initial_res quillmark_test_helper

own_display="${DISPLAY:-}"
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"
build="$repo/build/mingw64"
log="$QUILLMARK_SESSION_DIR/quillmark.log"
cd "$build"

if [[ -n "$own_display" ]]; then
    echo "Quillmark runs on $DISPLAY; close its window to end."
    "$QUILLMARK_WINE64" Quillmark.exe >"$log" 2>&1 </dev/null
    exit 0
fi

helper="$build/tests/windows/quillmark_test_helper.exe"
"$QUILLMARK_WINE64" Quillmark.exe >"$log" 2>&1 </dev/null &
quillmark_pid=$!
answers="$QUILLMARK_SESSION_DIR/answers.txt"
if ! "$QUILLMARK_WINE64" "$helper" waitmain QuillmarkMainWindow Quillmark 60000 >"$answers" 2>>"$log" </dev/null; then
    cat "$answers"
    echo "run: Quillmark's window did not appear (see $log)" >&2
    "$here/wine-session.sh" stop >/dev/null
    exit 1
fi
cat "$answers"
mkdir -p "$repo/build/screenshots"
shot="$repo/build/screenshots/quillmark.png"
import -window root "$shot"
echo "Quillmark ran on the virtual display $DISPLAY; screenshot: $shot"
"$QUILLMARK_WINE64" "$helper" closewindow "*" Quillmark 30000 >>"$log" 2>&1 </dev/null || true
wait "$quillmark_pid" || true
"$here/wine-session.sh" stop >/dev/null
