#!/usr/bin/env bash
# Installs what is missing, builds korveline.exe and starts it under Wine.
# Usage: scripts/run.sh [FILE]   (FILE, a Linux or Windows path, is opened at start-up)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win64

export WINEPREFIX="${WINEPREFIX:-$HOME/.korveline-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${DISPLAY:-}" ]; then
    # No screen: start a virtual one, and say how to look at it.
    export DISPLAY=:77
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
        Xvfb "$DISPLAY" -screen 0 1280x900x24 >/dev/null 2>&1 &
        sleep 1
    fi
    echo "Running on the virtual display $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi
if [ ! -d "$WINEPREFIX" ]; then
    wineboot -i >/dev/null 2>&1
    # Debian's Wine does not load its own TrueType fonts (Marlett for the
    # caption buttons, Tahoma, Fixedsys) unless they are in the prefix.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi

program="$root/build/win64/korveline.exe"
if [ $# -gt 0 ] && [ -f "$1" ]; then
    # The program takes its whole command line as one path, and Wine quotes an
    # argument that holds a blank, so an existing file goes through Wine's own
    # way of opening a file with a program: a class whose open command is the
    # program and %1, which Wine replaces with the path as it is.
    wine reg add 'HKCR\Korveline.Launcher\shell\open\command' /ve \
        /d "\"$(winepath -w "$program")\" %1" /f >/dev/null 2>&1
    exec wine start /wait /progIDOpen Korveline.Launcher "$(realpath -- "$1")"
fi
exec wine "$program" "$@"
