# Sourced by the scripts that run Windows programs under Wine (also under
# `set -e`: every step that may fail says so). Sets up (once)
# and exports: a Japanese locale (GetACP() = 932), a Wine prefix with a
# virtual desktop and 96 DPI, quiet Wine, and an X display (Xvfb when there
# is none). Safe to source repeatedly and from several shells.

quillmark_repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export QUILLMARK_REPO="$quillmark_repo"
export QUILLMARK_WINE64="${QUILLMARK_WINE64:-/usr/lib/wine/wine64}"
export QUILLMARK_SESSION_DIR="${QUILLMARK_SESSION_DIR:-$quillmark_repo/build/wine-session}"
export WINEPREFIX="${QUILLMARK_WINEPREFIX:-$quillmark_repo/build/wineprefix}"
export WINEDEBUG=-all
# QUILLMARK_DLLOVERRIDES: more overrides for one run, e.g. "version=n,b".
export WINEDLLOVERRIDES="mscoree,mshtml=${QUILLMARK_DLLOVERRIDES:+;$QUILLMARK_DLLOVERRIDES}"
mkdir -p "$QUILLMARK_SESSION_DIR"

# Wine takes its code page from the Unix locale; the image has no ja_JP.
quillmark_locale_dir="$quillmark_repo/build/locale"
if [[ ! -f "$quillmark_locale_dir/ja_JP.UTF-8/LC_CTYPE" ]]; then
    mkdir -p "$quillmark_locale_dir"
    localedef -i ja_JP -f UTF-8 "$quillmark_locale_dir/ja_JP.UTF-8" >"$QUILLMARK_SESSION_DIR/localedef.log" 2>&1 || {
        echo "wine-env: localedef failed, see $QUILLMARK_SESSION_DIR/localedef.log" >&2
    }
fi
# This shell cannot load the locale itself (it never sees LOCPATH): keep its
# complaint out of the output; the programs it starts can.
{
    export LOCPATH="$quillmark_locale_dir"
    unset LC_ALL LC_CTYPE LC_MESSAGES
    export LANG=ja_JP.UTF-8
} 2>/dev/null

quillmark_display_free() {
    [[ ! -e "/tmp/.X$1-lock" && ! -e "/tmp/.X11-unix/X$1" ]]
}

# An X server for Wine: the user's own, else the session's shared Xvfb,
# else a new one recorded for `wine-session.sh stop`.
if [[ -z "${DISPLAY:-}" ]]; then
    quillmark_xvfb_pid_file="$QUILLMARK_SESSION_DIR/xvfb.pid"
    quillmark_xvfb_display_file="$QUILLMARK_SESSION_DIR/xvfb.display"
    exec {quillmark_lock_fd}>"$QUILLMARK_SESSION_DIR/xvfb.lock"
    flock "$quillmark_lock_fd"
    if [[ -f "$quillmark_xvfb_pid_file" ]] && kill -0 "$(cat "$quillmark_xvfb_pid_file")" 2>/dev/null &&
        [[ -e "/tmp/.X11-unix/X$(cat "$quillmark_xvfb_display_file")" ]]; then
        export DISPLAY=":$(cat "$quillmark_xvfb_display_file")"
    else
        for quillmark_n in $(seq 90 140); do
            if quillmark_display_free "$quillmark_n"; then
                # Without the lock: a lock held open by the server would never
                # be released.
                setsid Xvfb ":$quillmark_n" -screen 0 1024x768x24 -nolisten tcp \
                    >"$QUILLMARK_SESSION_DIR/xvfb.log" 2>&1 </dev/null {quillmark_lock_fd}>&- &
                echo $! >"$quillmark_xvfb_pid_file"
                echo "$quillmark_n" >"$quillmark_xvfb_display_file"
                for _ in $(seq 1 200); do
                    [[ -e "/tmp/.X11-unix/X$quillmark_n" ]] && break
                    kill -0 "$(cat "$quillmark_xvfb_pid_file")" 2>/dev/null || break
                    sleep 0.05
                done
                if [[ -e "/tmp/.X11-unix/X$quillmark_n" ]]; then
                    export DISPLAY=":$quillmark_n"
                    break
                fi
            fi
        done
    fi
    flock -u "$quillmark_lock_fd"
    exec {quillmark_lock_fd}>&-
    if [[ -z "${DISPLAY:-}" ]]; then
        echo "wine-env: could not start Xvfb, see $QUILLMARK_SESSION_DIR/xvfb.log" >&2
    else
        export QUILLMARK_XVFB=1
    fi
fi

# A server still running from an earlier session holds a desktop on an X
# display that may be gone: end it before using another display.
if [[ -n "${DISPLAY:-}" && -d "$WINEPREFIX" ]]; then
    quillmark_server_display_file="$QUILLMARK_SESSION_DIR/server.display"
    if [[ "$(cat "$quillmark_server_display_file" 2>/dev/null)" != "$DISPLAY" ]]; then
        wineserver -k >/dev/null 2>&1 || true
        timeout 30 wineserver -w >/dev/null 2>&1 || true
        echo "$DISPLAY" >"$quillmark_server_display_file"
    fi
fi

# The prefix: created once, with the settings that make runs repeatable.
# The marker holds the settings' version, so that a changed list is loaded
# into existing prefixes too.
quillmark_settings_version=3
if [[ "$(cat "$WINEPREFIX/.quillmark-ready" 2>/dev/null)" != "$quillmark_settings_version" ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {quillmark_lock_fd}>"$QUILLMARK_SESSION_DIR/prefix.lock"
    flock "$quillmark_lock_fd"
    if [[ "$(cat "$WINEPREFIX/.quillmark-ready" 2>/dev/null)" != "$quillmark_settings_version" ]]; then
        if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
            echo "wine-env: creating the Wine prefix $WINEPREFIX (takes a while the first time)" >&2
            "$QUILLMARK_WINE64" wineboot -i >"$QUILLMARK_SESSION_DIR/wineboot.log" 2>&1 </dev/null \
                {quillmark_lock_fd}>&- || true
        fi
        # Windows draws the caption buttons with the Marlett face; Debian's
        # Wine looks for its own fonts under a path it cannot open, so
        # without a copy in the prefix's Fonts folder they show as "0 1 r".
        if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
            mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
            cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
        else
            echo "wine-env: /usr/share/wine/fonts/marlett.ttf is missing (package fonts-wine)" >&2
        fi
        # Virtual desktop (reliable focus and keys without a window manager),
        # 96 DPI, no crash dialog, and the Japanese UI font names mapped to
        # the IPA fonts. UTF-16, as the font names are not ASCII.
        iconv -f UTF-8 -t UTF-16 >"$QUILLMARK_SESSION_DIR/settings.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
REG
        "$QUILLMARK_WINE64" regedit "Z:${QUILLMARK_SESSION_DIR//\//\\}\\settings.reg" \
            >"$QUILLMARK_SESSION_DIR/regedit.log" 2>&1 </dev/null {quillmark_lock_fd}>&- || true
        # The server writes the registry to disk when it ends.
        timeout 60 wineserver -w >/dev/null 2>&1 </dev/null {quillmark_lock_fd}>&- ||
            wineserver -k >/dev/null 2>&1 </dev/null || true
        echo "$quillmark_settings_version" >"$WINEPREFIX/.quillmark-ready"
    fi
    flock -u "$quillmark_lock_fd"
    exec {quillmark_lock_fd}>&-
fi
