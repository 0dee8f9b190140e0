#!/usr/bin/env bash
# Checks that every include under src/ runs one way:
#   app -> compile, shell -> editor, settings -> codepage, platform
# and that a win32/ folder uses the portable code of its own part and below,
# while portable code never includes a win32/ header; that only
# settings/user_settings names the per-user key and only the main window makes
# menus. Prints each line that breaks a rule; exits 1 if there is one.
set -uo pipefail
cd "$(dirname "$0")/../src"

# What each part may include besides itself (and <system> headers).
allowed_for() {
    case "$1" in
        codepage | platform) echo "" ;;
        editor | settings) echo "codepage platform" ;;
        compile) echo "editor settings codepage platform" ;;
        shell) echo "settings codepage platform" ;;
        app) echo "compile shell editor settings codepage platform" ;;
        *) echo "?" ;;
    esac
}

bad=0
while IFS= read -r file; do
    part="${file%%/*}"
    windows=0
    [[ "$file" == */win32/* ]] && windows=1
    while IFS= read -r target; do
        tpart="${target%%/*}"
        ok=0
        if [[ "$target" == */win32/* ]]; then
            # Windows code is seen only by Windows code: its own part's or the platform's.
            [ $windows -eq 1 ] && { [ "$tpart" = "$part" ] || [ "$tpart" = platform ]; } && ok=1
            [ $windows -eq 1 ] && [ "$part" = app ] && ok=1
        elif [ "$tpart" = "$part" ]; then
            ok=1
        else
            for a in $(allowed_for "$part"); do [ "$a" = "$tpart" ] && ok=1; done
        fi
        if [ $ok -eq 0 ]; then
            echo "src/$file includes \"$target\" against the arrows"
            bad=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.cpp' -o -name '*.h' -o -name '*.rc' | sed 's#^\./##' | sort)

# Per-user settings have one owner: no other file names their key.
while IFS= read -r file; do
    echo "src/$file names the per-user key; settings/user_settings owns it"
    bad=1
done < <(grep -rlF 'Software\\Korveline' . | sed 's#^\./##' | grep -vx 'settings/user_settings.cpp')

# The main window's commands come from one table: no other file makes a menu.
while IFS= read -r file; do
    echo "src/$file makes a menu; menus come from app/command_table through app/win32/frm_main"
    bad=1
done < <(grep -rlE '\b(CreatePopupMenu|CreateMenu|CreateAcceleratorTableW)\(' . | sed 's#^\./##' |
    grep -vE '^app/win32/frm_main(_commands)?\.cpp$')

[ $bad -eq 0 ] && echo "layers: every include runs one way; per-user settings and menus have one owner each"
exit $bad
