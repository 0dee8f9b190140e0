# Sourced by the scripts that run Windows programs under Wine. Gives each run
# its own X display (unless one is named) and its own throwaway Wine prefix,
# and takes both down again.
#
#   . scripts/wine-env.sh
#   wine_env_start          # exports DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES
#   trap wine_env_cleanup EXIT
#
# Settings (environment):
#   E2E_DISPLAY       a display to use (":93"); an Xvfb is started on it when
#                     nothing answers there. Unset: Xvfb picks a free display.
#   E2E_PREFIX_ROOT   where prefixes are made (default /tmp); each is e2e-*.
#   E2E_KEEP_PREFIX=1 leave the prefix on disk after the run, for a look inside.

# True where Wine runs 32-bit programs beside 64-bit ones: Debian's wine32
# (its 32-bit loader), or KORVELINE_WINE32=1; KORVELINE_WINE32=0 says no.
wine_runs_32bit() {
    case "${KORVELINE_WINE32:-}" in 1) return 0 ;; 0) return 1 ;; esac
    [ -x /usr/lib/wine/wine ]
}

wine_env_xvfb_pid=""
wine_env_prefix=""

wine_env_log() { echo "wine-env: $*" >&2; }

# Polls a command until it succeeds or the seconds run out.
wine_env_wait() {  # seconds, command...
    local deadline=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

wine_env_start_xvfb() {
    local screen="1024x768x24"
    if [ -n "${E2E_DISPLAY:-}" ]; then
        export DISPLAY="$E2E_DISPLAY"
        if xdpyinfo >/dev/null 2>&1; then
            wine_env_log "using the X server already on $DISPLAY"
            return 0
        fi
        Xvfb "$DISPLAY" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
        wine_env_xvfb_pid=$!
    else
        # Xvfb chooses a free display itself and writes its number to fd 3.
        local numfile
        numfile="$(mktemp /tmp/e2e-display.XXXXXX)"
        Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
        wine_env_xvfb_pid=$!
        if ! wine_env_wait 10 grep -q '[0-9]' "$numfile"; then
            rm -f "$numfile"
            wine_env_log "Xvfb did not start"
            return 1
        fi
        export DISPLAY=":$(tr -dc '0-9' <"$numfile")"
        rm -f "$numfile"
    fi
    if ! wine_env_wait 10 xdpyinfo; then
        wine_env_log "no X server answers on $DISPLAY"
        return 1
    fi
    wine_env_log "Xvfb on $DISPLAY (pid $wine_env_xvfb_pid)"
}

wine_env_make_prefix() {
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    wine_env_prefix="$(mktemp -d "${E2E_PREFIX_ROOT:-/tmp}/e2e-prefix.XXXXXX")"
    export WINEPREFIX="$wine_env_prefix"
    local started=$SECONDS
    wineboot -i >/dev/null 2>&1 || { wine_env_log "wineboot failed"; return 1; }
    wineserver -w
    # Debian's Wine does not load its own TrueType fonts (Marlett for the
    # caption buttons, Tahoma) unless they are in the prefix; Windows has them.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wine_env_log "prefix $WINEPREFIX made in $((SECONDS - started)) s"
}

wine_env_start() {
    wine_env_start_xvfb && wine_env_make_prefix
}

wine_env_cleanup() {
    if [ -n "$wine_env_prefix" ]; then
        # Host programs the run started (a DOSBox session waiting for a key)
        # are no Wine processes: they name the prefix's drives, so end them by that.
        pkill -f "$wine_env_prefix/dosdevices" 2>/dev/null || true
        WINEPREFIX="$wine_env_prefix" wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX="$wine_env_prefix" wineserver -w >/dev/null 2>&1 || true
        if [ "${E2E_KEEP_PREFIX:-0}" = 1 ]; then
            wine_env_log "prefix kept at $wine_env_prefix"
        else
            rm -rf "$wine_env_prefix"
        fi
        wine_env_prefix=""
    fi
    if [ -n "$wine_env_xvfb_pid" ]; then
        kill "$wine_env_xvfb_pid" 2>/dev/null || true
        wait "$wine_env_xvfb_pid" 2>/dev/null || true
        wine_env_xvfb_pid=""
    fi
}
