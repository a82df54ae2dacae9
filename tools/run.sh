#!/usr/bin/env bash
# Builds Quillmark.exe (MinGW x86_64) and runs its one job under Wine on a
# sample that ships with the project: build/demo, laid anew on every run,
# holds the program with initial.res, the tests' stand-in editor as
# ResHacker.exe, a small program without version information (sample.exe)
# and a Quillmark.ini that names both and holds Japanese sample values.
# With a display of your own, the window opens there ready to press and this
# script returns when you close it. Without one, it runs on a private Xvfb:
# the script presses the button itself through the e2e UI driver, fails with
# the message a press shows, saves a screenshot to
# build/screenshots/quillmark.png, prints what sample.exe now holds, closes
# the window and ends the Wine session.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
python=(/usr/bin/python3 -B "$here/demo.py")
export PYTHONIOENCODING=utf-8

"$here/install-deps.sh"
cd "$repo"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 -j2 --target Quillmark initial_res standin e2e_target_plain quillmark_driver

build="$repo/build/mingw64"
# A folder of its own: the user's build/mingw64/Quillmark.ini stays as it is.
demo="$repo/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$build/Quillmark.exe" "$build/initial.res" "$demo/"
cp "$build/tests/e2e/ResHacker.exe" "$demo/ResHacker.exe"
cp "$build/tests/e2e/plain.exe" "$demo/sample.exe"
"${python[@]}" ini "$demo"

own_display="${DISPLAY:-}"
# shellcheck source=tools/wine-env.sh
source "$here/wine-env.sh"
session="$QUILLMARK_SESSION_DIR"
log="$session/quillmark.log"

if [[ -n "$own_display" ]]; then
    echo "Quillmark runs on $DISPLAY with the sample in $demo; press バージョン情報の追加/変更を実行, close its window to end."
    cd "$demo"
    "$QUILLMARK_WINE64" Quillmark.exe >"$log" 2>&1 </dev/null
    exit 0
fi

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# The driver's scripts write a backslash as two.
escaped() { printf '%s' "${1//\\/\\\\}"; }
driver="$build/tests/e2e/driver/QuillmarkDriver.exe"
drive() {
    "$QUILLMARK_WINE64" "$driver" "$(windows_path "$session/$1.txt")" "$(windows_path "$session/$1.out")" \
        >>"$log" 2>&1 </dev/null
}

# A good press says nothing: any message box, at start or after the press,
# fails the run with its text.
{
    printf 'start\t%s\n' "$(escaped "$(windows_path "$demo/Quillmark.exe")")"
    printf 'wait-window\t60000\n'
    printf 'no-message-box\t500\n'
    printf 'click\tCommand1\t-1\n'
    printf 'wait-press-end\t120000\n'
    printf 'no-message-box\t500\n'
    printf 'wait-idle\t10000\n'
} >"$session/press.txt"
: >"$log"
if ! drive press; then
    echo "run: the sample press failed:" >&2
    "${python[@]}" failure "$session/press.out" >&2
    "$here/wine-session.sh" stop >/dev/null
    exit 1
fi
echo "Quillmark pressed バージョン情報の追加/変更を実行 on $demo/sample.exe; no message shown."

mkdir -p "$repo/build/screenshots"
shot="$repo/build/screenshots/quillmark.png"
import -window root "$shot"
echo "Screenshot of the virtual display $DISPLAY: $shot"

status=0
"${python[@]}" show "$demo/sample.exe" || status=$?

printf 'close\nwait-exit\t30000\n' >"$session/close.txt"
drive close || echo "run: the window did not close (see $session/close.out)" >&2
"$here/wine-session.sh" stop >/dev/null
exit "$status"
