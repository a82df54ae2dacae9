#!/usr/bin/env bash
# Regenerates the README's pictures of the window: a real run of
# Quillmark.exe under Wine, its fields filled in with Japanese values through
# the e2e UI driver, once at 96 dpi and once at 144 dpi, each cropped to the
# window and saved as a small PNG:
#   docs/quillmark-96dpi.png  docs/quillmark-144dpi.png
# Each DPI has a Wine prefix and an Xvfb display of its own under
# build/screenshots/, so the tests' prefix keeps its 96 dpi.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"

"$here/install-deps.sh"
cd "$repo"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 -j2 --target Quillmark initial_res quillmark_driver
build="$repo/build/mingw64"
driver="$build/tests/e2e/driver/QuillmarkDriver.exe"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# The driver's scripts write a backslash as two.
escaped() { printf '%s' "${1//\\/\\\\}"; }

# The values a user would type, as control name, index and text.
fields=(
    "txtResHack	-1	C:\\Tools\\ResHacker\\ResHacker.exe"
    "txtExe	-1	C:\\開発\\QuillTool\\QuillTool.exe"
    "txtInfo	0	社内配布用の試用版"
    "txtInfo	1	株式会社クイルマーク"
    "txtInfo	2	バージョン情報を付ける道具"
    "txtInfo	3	(C) 2026 株式会社クイルマーク"
    "txtInfo	4	QuillTool は登録商標です"
    "txtInfo	5	クイルツール"
    "txtFileVer	0	2"
    "txtFileVer	1	1"
    "txtFileVer	2	30"
    "txtProductVer	0	2"
    "txtProductVer	1	1"
    "txtProductVer	2	0"
    "txtInfo	8	QuillTool"
    "txtInfo	9	QuillTool.exe"
)

shoot() (
    local dpi="$1" picture="$2"
    unset DISPLAY
    export QUILLMARK_SESSION_DIR="$repo/build/screenshots/session-$dpi"
    export QUILLMARK_WINEPREFIX="$repo/build/screenshots/prefix-$dpi"
    # shellcheck source=tools/wine-env.sh
    source "$here/wine-env.sh"
    trap '"$here/wine-session.sh" stop >/dev/null' EXIT
    session="$QUILLMARK_SESSION_DIR"

    # The DPI is read when the programs start: set it, then let the server
    # write it out and end before Quillmark starts.
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n' \
        "$dpi" >"$session/dpi.reg"
    "$QUILLMARK_WINE64" regedit "$(windows_path "$session/dpi.reg")" >"$session/regedit-dpi.log" 2>&1 </dev/null
    timeout 60 wineserver -w

    # A first run from a folder of its own, and the two files the path boxes
    # name, so that both action buttons are enabled.
    local app="$session/app"
    rm -rf "$app"
    mkdir -p "$app" "$WINEPREFIX/drive_c/Tools/ResHacker" "$WINEPREFIX/drive_c/開発/QuillTool"
    cp "$build/Quillmark.exe" "$build/initial.res" "$app/"
    : >"$WINEPREFIX/drive_c/Tools/ResHacker/ResHacker.exe"
    cp "$build/Quillmark.exe" "$WINEPREFIX/drive_c/開発/QuillTool/QuillTool.exe"

    {
        printf 'start\t%s\n' "$(escaped "$(windows_path "$app/Quillmark.exe")")"
        printf 'wait-window\t60000\n'
        printf 'wait-idle\t10000\n'
        for field in "${fields[@]}"; do
            printf 'set\t%s\n' "$(escaped "$field")"
        done
        printf 'enabled\tCommand1\t-1\n'
        printf 'sleep\t1000\n'
    } >"$session/fill.txt"
    if ! "$here/wine-run.sh" "$driver" "$(windows_path "$session/fill.txt")" "$(windows_path "$session/fill.out")"; then
        cat "$session/fill.out" >&2
        echo "screenshots: the driver could not fill the window at $dpi dpi" >&2
        return 1
    fi

    import -window root "$session/desktop.png"
    # The virtual desktop is one plain colour around the window.
    convert "$session/desktop.png" -trim +repage -strip -colors 256 -define png:compression-level=9 \
        "PNG8:$picture"

    printf 'close\nwait-exit\t30000\n' >"$session/close.txt"
    "$here/wine-run.sh" "$driver" "$(windows_path "$session/close.txt")" "$(windows_path "$session/close.out")" ||
        true
    echo "screenshots: $picture ($(identify -format '%wx%h' "$picture"), $(stat -c %s "$picture") bytes)"
)

mkdir -p "$repo/docs"
shoot 96 "$repo/docs/quillmark-96dpi.png"
shoot 144 "$repo/docs/quillmark-144dpi.png"
