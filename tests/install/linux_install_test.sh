#!/usr/bin/env bash
# scripts/install-linux.sh in a throwaway HOME with defaults of its own: a valid menu entry,
# .asm files opening in Korveline, --uninstall leaving HOME as it was.
# Usage: linux_install_test.sh [PROGRAM.exe]   (default: build/win64/korveline.exe)
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
program="${1:-$root/build/win64/korveline.exe}"
home="$(mktemp -d /tmp/linux-home.XXXXXX)"
. "$root/scripts/wine-env.sh"
. "$root/tests/install/checks.sh"
HOME="$home.wine" && mkdir "$HOME" && export HOME  # Wine's own: only the script under test writes to $home
trap 'wine_env_cleanup; rm -rf "$home" "$home.wine"' EXIT
unset XDG_DATA_HOME XDG_CONFIG_HOME
as_user() { HOME="$home" "$@"; }
snapshot() { (cd "$home" && find . -printf '%y %m %p\n' | sort && find . -type f -exec md5sum {} + | sort -k2); }

apps="$home/.local/share/applications"
mkdir -p "$home/.config" "$apps" "$home/my sources"
printf '[Default Applications]\ntext/html=browser.desktop\n' >"$home/.config/mimeapps.list"
printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=editor %%f\nMimeType=text/plain;\n' >"$apps/editor.desktop"
update-desktop-database "$apps"
printf 'mov ax, 4C00h\r\n' >"$home/my sources/lab  1.asm"  # two blanks, kept as they are
snapshot >"$home.wine/before"

check "install-linux.sh installs" as_user "$root/scripts/install-linux.sh" "$program"
check "the menu entry is valid" desktop-file-validate "$apps/korveline.desktop"
check "Korveline opens text/x-asm" test "$(as_user xdg-mime query default text/x-asm)" = korveline.desktop
check "the desktop database lists it for text/x-asm" grep -qx 'text/x-asm=korveline.desktop;' "$apps/mimeinfo.cache"
check "*.asm files are text/x-asm" grep -q ':text/x-asm:\*\.asm$' "$home/.local/share/mime/globs2"
check "the menu icon is a 48-pixel PNG" grep -q '48 x 48' <(file "$home/.local/share/icons/hicolor/48x48/apps/korveline.png")
check "the other defaults stay" grep -qx 'text/html=browser.desktop' "$home/.config/mimeapps.list"
if check "Wine starts" wine_env_start; then  # a double-click: the entry's Exec line with the file for %f
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    exec_line="$(sed -n 's/^Exec=//p' "$apps/korveline.desktop")" file="$home/my sources/lab  1.asm"
    eval "${exec_line/\%f/\"\$file\"}" >/dev/null 2>&1 &
    opens "a double-clicked .asm file opens in Korveline" "Z:$(tr / '\\' <<<"$file")"
    wineserver -k
fi
check "--uninstall" as_user "$root/scripts/install-linux.sh" --uninstall
snapshot >"$home.wine/after"
same "--uninstall leaves HOME as it was" "$home.wine/before" "$home.wine/after"
for how in "$program" --uninstall; do  # the data folder's name ends in blanks
    XDG_DATA_HOME="$home/data  " as_user "$root/scripts/install-linux.sh" "$how" >/dev/null 2>&1
done
snapshot >"$home.wine/after"
same "--uninstall leaves HOME as it was, with the data folder's name ending in blanks" "$home.wine/before" "$home.wine/after"
summary
