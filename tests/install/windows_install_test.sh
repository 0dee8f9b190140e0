#!/usr/bin/env bash
# The 64-bit installer in a fresh Wine prefix, as a user meets it: installed
# silently without and with the .asm association, the installed program
# started by itself and through a double-clicked .asm file, uninstalled once
# keeping the settings and once removing them, nothing of it left behind.
# Usage: windows_install_test.sh [SETUP.exe]   (default: dist/korveline-*-setup-x64.exe);
# ends with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
setup="${1:-$(ls "$root"/dist/korveline-*-setup-x64.exe 2>/dev/null | head -n 1)}"
[ -f "$setup" ] || { echo "FAIL: no installer (run scripts/release.sh)"; echo "0 passed, 1 failed"; exit 1; }
setup="$(cd "$(dirname "$setup")" && pwd)/$(basename "$setup")"

. "$root/scripts/wine-env.sh"
# Wine would put the Start menu entry into the real HOME's application menu.
export HOME && HOME="$(mktemp -d /tmp/install-home.XXXXXX)"
trap 'wine_env_cleanup; rm -rf "$HOME"' EXIT
wine_env_start || { echo "0 passed, 1 failed"; exit 1; }
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

. "$root/tests/install/checks.sh"
c="$WINEPREFIX/drive_c"
dir="$c/Program Files/Korveline"
link="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korveline.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korveline'
program='C:\Program Files\Korveline\korveline.exe'

value() {  # key [name]: the value's data, as reg prints it
    local sel=(/ve); [ $# -gt 1 ] && sel=(/v "$2")
    wine reg query "$1" "${sel[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p'
}
is() { [ "$(value "${@:2}")" = "$1" ]; }  # expected, key [name]
absent() { local key; for key; do ! wine reg query "$key" >/dev/null 2>&1 || return 1; done; }
quietly() { timeout 120 wine "$@" >/dev/null 2>&1; timeout 60 wineserver -w; }
snapshot() {  # name [files]: the prefix's files (not its temp folder) and registry
    (cd "$c" && find . -path './users/*/Temp' -prune -o -print | sort) >"$HOME/$1.files"
    [ $# -gt 1 ] && return
    for hive in HKEY_LOCAL_MACHINE\\Software HKEY_CURRENT_USER\\Software; do
        wine regedit /E "Z:$HOME/reg.tmp" "$hive" 2>/dev/null && wineserver -w
        iconv -f UTF-16LE -t UTF-8 "$HOME/reg.tmp" | tr -d '\r'
    done >"$HOME/$1.reg"
}
close_program() { wine taskkill /f /im korveline.exe >/dev/null 2>&1; timeout 60 wineserver -w; }

mkdir -p "$c/work" && printf 'mov ax, 4C00h\r\nint 21h\r\n' >"$c/work/hello.asm"
snapshot before

# Installed without the association: the entry, the shortcut, the settings.
quietly "$setup" /S /NOASSOC
check "the Start menu entry names the program" grep -qaF 'Korveline\korveline.exe' "$link"
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

# Installed again with the association: a double-click opens the file.
quietly "$setup" /S
check "the association names Korveline" is Korveline.Qorvath 'HKCR\.asm'
check "the association's icon" is "$program,0" 'HKCR\Korveline.Qorvath\DefaultIcon'
check "the association is stored as on" is 0x1 'HKLM\Software\asm' asmfiles
(cd "$c/work" && wine start 'C:\work\hello.asm' >/dev/null 2>&1 &)
opens "an .asm file opens in the installed program" 'C:\work\hello.asm'
close_program

# Uninstalled keeping the settings, then for good.
quietly "$dir/uninstall.exe" /S
check "the uninstaller removes the association and the file type" absent 'HKCR\.asm' 'HKCR\Korveline.Qorvath'
check "the settings stay, with the association off" is 0x0 'HKLM\Software\asm' asmfiles
snapshot kept files
check "nothing else is left behind, the user's source stays" diff "$HOME/before.files" "$HOME/kept.files" || diff "$HOME/before.files" "$HOME/kept.files"
quietly "$setup" /S
quietly "$dir/uninstall.exe" /S /PURGE
snapshot purged
check "uninstalling with the settings leaves the registry as it was" diff "$HOME/before.reg" "$HOME/purged.reg" ||
    diff "$HOME/before.reg" "$HOME/purged.reg" | head -20
check "uninstalling with the settings leaves the files as they were" diff "$HOME/before.files" "$HOME/purged.files"

summary
