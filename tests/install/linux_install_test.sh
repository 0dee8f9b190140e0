#!/usr/bin/env bash
# scripts/install-linux.sh in a throwaway HOME that already has file-type
# defaults and a menu entry of its own: the menu entry is valid, .asm files
# are text/x-asm and open in Korveline (its Exec line run as a file manager
# would, under Wine), and --uninstall leaves that HOME exactly as it was.
# Usage: linux_install_test.sh [PROGRAM.exe]   (default: build/win64/korveline.exe);
# ends with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
program="${1:-$root/build/win64/korveline.exe}"
home="$(mktemp -d /tmp/linux-home.XXXXXX)"
. "$root/scripts/wine-env.sh"
# Wine gets a HOME of its own, so that only the script under test writes here.
HOME="$home.wine" && mkdir "$HOME" && export HOME
trap 'wine_env_cleanup; rm -rf "$home" "$home.wine"' EXIT
unset XDG_DATA_HOME XDG_CONFIG_HOME

. "$root/tests/install/checks.sh"
as_user() { HOME="$home" "$@"; }
snapshot() { (cd "$home" && find . -printf '%y %m %p\n' | sort && find . -type f -exec md5sum {} + | sort -k2); }

mkdir -p "$home/.config" "$home/.local/share/applications" "$home/my sources"
printf '[Default Applications]\ntext/html=browser.desktop\n' >"$home/.config/mimeapps.list"
printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=editor %%f\nMimeType=text/plain;\n' \
    >"$home/.local/share/applications/editor.desktop"
update-desktop-database "$home/.local/share/applications"
printf 'mov ax, 4C00h\r\n' >"$home/my sources/hello.asm"
snapshot >"$home.wine/before"

check "install-linux.sh installs" as_user "$root/scripts/install-linux.sh" "$program"
apps="$home/.local/share/applications"
check "the menu entry is valid" desktop-file-validate "$apps/korveline.desktop"
check "Korveline opens text/x-asm" test "$(as_user xdg-mime query default text/x-asm)" = korveline.desktop
check "the desktop database lists it for text/x-asm" grep -qx 'text/x-asm=korveline.desktop;' "$apps/mimeinfo.cache"
check "*.asm files are text/x-asm" grep -q ':text/x-asm:\*\.asm$' "$home/.local/share/mime/globs2"
check "the menu icon is a 48-pixel PNG" grep -q '48 x 48' <(file "$home/.local/share/icons/hicolor/48x48/apps/korveline.png")
check "the other defaults stay" grep -qx 'text/html=browser.desktop' "$home/.config/mimeapps.list"

# A double-click: the entry's Exec line with the file for %f.
if wine_env_start; then
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    exec_line="$(sed -n 's/^Exec=//p' "$apps/korveline.desktop")"
    file="$home/my sources/hello.asm"
    eval "${exec_line/\%f/\"\$file\"}" >/dev/null 2>&1 &
    opens "a double-clicked .asm file opens in Korveline" "Z:$(tr / '\\' <<<"$file")"
    wineserver -k
else
    failed=$((failed + 1)) && echo "FAIL: no Wine to start the program"
fi

check "--uninstall" as_user "$root/scripts/install-linux.sh" --uninstall
check "--uninstall leaves HOME as it was" diff "$home.wine/before" <(snapshot) || diff "$home.wine/before" <(snapshot)

summary
