#!/usr/bin/env bash
# The 64-bit installer in a fresh Wine prefix, silently without and with the .asm
# association, its program started by itself and through an .asm file, uninstalled
# keeping the settings and removing them. Usage: windows_install_test.sh [SETUP.exe]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
setup="${1:-$(ls "$root"/dist/korveline-*-setup-x64.exe 2>/dev/null | head -n 1)}"
[ -f "$setup" ] || { echo "FAIL: no installer (run scripts/release.sh)"; echo "0 passed, 1 failed"; exit 1; }
setup="$(cd "$(dirname "$setup")" && pwd)/$(basename "$setup")"
. "$root/scripts/wine-env.sh"
. "$root/tests/install/checks.sh"
export HOME && HOME="$(mktemp -d /tmp/install-home.XXXXXX)"  # for Wine's Start menu entries
trap 'wine_env_cleanup; rm -rf "$HOME"' EXIT
wine_env_start || { echo "0 passed, 1 failed"; exit 1; }
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
c="$WINEPREFIX/drive_c" && dir="$c/Program Files/Korveline"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korveline'
program='C:\Program Files\Korveline\korveline.exe'

value() {  # key [name]: the value's data (the 64-bit view, which wine32's reg.exe does not read by itself)
    local sel=(/ve); [ $# -gt 1 ] && sel=(/v "$2")
    wine reg query "$1" "${sel[@]}" /reg:64 2>/dev/null | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p'
}
is() { [ "$(value "${@:2}")" = "$1" ]; }  # expected, key [name]
absent() { local key; for key; do ! wine reg query "$key" /reg:64 >/dev/null 2>&1 || return 1; done; }
quietly() { timeout 120 wine "$@" >/dev/null 2>&1; timeout 60 wineserver -w; }
snapshot() {  # name [files]: the prefix's files (not its temp folder) and registry
    (cd "$c" && find . -path './users/*/Temp' -prune -o -print | sort) >"$HOME/$1.files"
    [ $# -gt 1 ] && return
    for hive in HKEY_LOCAL_MACHINE\\Software HKEY_CURRENT_USER\\Software; do
        wine reg export "$hive" "Z:$HOME/reg.tmp" /y /reg:64 >/dev/null 2>&1 && wineserver -w
        iconv -f UTF-16LE -t UTF-8 "$HOME/reg.tmp" | tr -d '\r'
    done >"$HOME/$1.reg"
}
close_program() { wineserver -k; timeout 60 wineserver -w; }  # wine32's taskkill finds no 64-bit program

mkdir -p "$c/work" && printf 'mov ax, 4C00h\r\nint 21h\r\n' >"$c/work/hello.asm"
snapshot before
quietly "$setup" /S /NOASSOC  # without the association: the entry, the shortcut, the settings
check "the Start menu entry names the program" grep -qaF 'Korveline\korveline.exe' \
    "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korveline.lnk"
version="$(strings -el "$dir/korveline.exe" | grep -A1 -x FileVersion | tail -n 1)"
for entry in "DisplayName=Korveline" "DisplayVersion=$version" "Publisher=The Korveline developers" "DisplayIcon=$program,0"; do
    check "Add/Remove Programs: $entry" is "${entry#*=}" "$uninstall_key" "${entry%%=*}"
done
check "Add/Remove Programs: size" test "$(($(value "$uninstall_key" EstimatedSize)))" -gt 100
check "an unticked association writes no .asm key" absent 'HKCR\.asm'
check "an unticked association is stored as off" is 0x0 'HKLM\Software\asm' asmfiles
(cd "$dir" && wine korveline.exe >/dev/null 2>&1 &)
opens "the installed program shows its main window" 'C:\Program Files\Korveline\asm1.asm'
check "its first start keeps the association off" absent 'HKCR\.asm'
close_program

quietly "$setup" /S  # again, with the association: a double-click opens the file
check "the association names Korveline" is Korveline.Qorvath 'HKCR\.asm'
check "the association's icon" is "$program,0" 'HKCR\Korveline.Qorvath\DefaultIcon'
check "the association is stored as on" is 0x1 'HKLM\Software\asm' asmfiles
(cd "$c/work" && wine start 'C:\work\hello.asm' >/dev/null 2>&1 &)
opens "an .asm file opens in the installed program" 'C:\work\hello.asm'
close_program

quietly "$dir/uninstall.exe" /S  # keeping the settings, then for good
check "the uninstaller removes the association and the file type" absent 'HKCR\.asm' 'HKCR\Korveline.Qorvath'
check "the settings stay, with the association off" is 0x0 'HKLM\Software\asm' asmfiles
snapshot kept files
same "nothing else is left behind, the user's source stays" "$HOME/before.files" "$HOME/kept.files"
quietly "$setup" /S
quietly "$dir/uninstall.exe" /S /PURGE
snapshot purged
same "uninstalling with the settings leaves the registry as it was" "$HOME/before.reg" "$HOME/purged.reg"
same "uninstalling with the settings leaves the files as they were" "$HOME/before.files" "$HOME/purged.files"
summary
