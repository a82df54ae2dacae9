#!/usr/bin/env bash
# Runs the window check against a freshly copied Quillmark.exe (no settings
# file yet) and keeps a PNG of the window.
#   layout_test.sh <Quillmark.exe> <initial.res> <quillmark_layout_check.exe> <screenshot folder>
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
# shellcheck source=tools/wine-env.sh
source "$repo/tools/wine-env.sh"

exe="$1" initial_res="$2" checker="$3" shots="$4"
work="$(mktemp -d "$QUILLMARK_SESSION_DIR/layout.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$exe" "$initial_res" "$work/"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$repo/tools/wine-run.sh" "$checker" "$(windows_path "$work")" "$(windows_path "$work/window.bmp")"
status=$?
if [[ -f "$work/window.bmp" ]]; then
    mkdir -p "$shots"
    convert "$work/window.bmp" "$shots/quillmark-window.png"
    echo "screenshot: $shots/quillmark-window.png"
fi
exit "$status"
