#!/usr/bin/env bash
# Installs Korveline for the current user, to run under Wine: the program, a
# launcher (~/.local/bin/korveline), an application menu entry with the
# program's icon, and the type text/x-asm for *.asm files, opened by Korveline.
# Everything it creates is listed in ~/.local/share/korveline/installed, and
# --uninstall removes exactly that, putting back the file-type defaults.
# Usage: install-linux.sh [PROGRAM.exe]   (default: build/win64/korveline.exe, built when missing)
#        install-linux.sh --uninstall
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
state="$data/korveline"
mimeapps="$config/mimeapps.list"

note() { printf '%s %s %s\n' "$1" "$2" "$3" >>"$state/installed"; }  # kind, flag, path
newdir() {  # dir: makes it and its missing parents, noting each one made
    local d="$1" todo=()
    while [ ! -d "$d" ]; do todo=("$d" "${todo[@]}"); d="$(dirname "$d")"; done
    for d in "${todo[@]}"; do mkdir "$d"; [ -d "$state" ] && note dir - "$d"; done
    return 0
}
newfile() {  # path: its folder made, noted as created when it is new
    newdir "$(dirname "$1")"
    [ -e "$1" ] || note file - "$1"
}

uninstall() {
    [ -f "$state/installed" ] || { echo "Korveline is not installed here."; return 0; }
    # The .asm default as it was, unless it was changed since.
    if [ -f "$state/mimeapps.after" ] && cmp -s "$mimeapps" "$state/mimeapps.after"; then
        if [ -f "$state/mimeapps.before" ]; then cp "$state/mimeapps.before" "$mimeapps"; else rm -f "$mimeapps"; fi
    elif [ -f "$mimeapps" ]; then
        sed -i '/^text\/x-asm=korveline\.desktop;\?$/d' "$mimeapps"
    fi
    local line kind path was
    tac "$state/installed" | while IFS= read -r line; do
        kind="${line%% *}" && line="${line#* }" && was="${line%% *}" && path="${line#* }"  # blanks kept
        case "$kind" in
            file) rm -f -- "$path" ;;
            dir) rmdir -- "$path" 2>/dev/null || true ;;
            mime-cache)  # the user's type database: rebuilt, or gone if it was not there
                if [ "$was" = new ] && [ -z "$(ls -A "$path/packages" 2>/dev/null)" ]; then find "$path" -mindepth 1 -maxdepth 1 ! -name packages -exec rm -rf {} +
                else update-mime-database "$path" || true; fi ;;
            desktop-cache)
                if [ "$was" = new ]; then rm -f "$path/mimeinfo.cache"
                else update-desktop-database "$path" || true; fi ;;
        esac
    done
    echo "Korveline is uninstalled."
}

if [ "${1:-}" = --uninstall ]; then uninstall; exit 0; fi

program="${1:-$root/build/win64/korveline.exe}"
if [ $# -eq 0 ] && [ ! -f "$program" ]; then "$root/scripts/build.sh" win64; fi
[ -f "$program" ] || { echo "No program at $program" >&2; exit 1; }
command -v wine >/dev/null || echo "Korveline runs under Wine; install it (Debian: apt install wine wine64)." >&2
uninstall >/dev/null  # a second install replaces the first

# The folder of the record first, so that the record lists it too.
todo=() && d="$state"
while [ ! -d "$d" ]; do todo=("$d" "${todo[@]}"); d="$(dirname "$d")"; done
mkdir -p "$state" && : >"$state/installed"
for d in "${todo[@]}"; do note dir - "$d"; done
note file - "$state/installed"

newfile "$state/korveline.exe" && cp "$program" "$state/korveline.exe"
launcher="$HOME/.local/bin/korveline"
newfile "$launcher"
quoted() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }  # for sh, whatever it holds
cat >"$launcher" <<EOF
#!/bin/sh
# Starts Korveline under Wine; a file named on the command line is opened.
# The program takes its whole command line as one path, and Wine quotes an
# argument that holds a blank, so an existing file goes through Wine's own way
# of opening a file with a program: a class of this launcher's, whose open
# command is the program and %1, which Wine replaces with the path as it is.
program=$(quoted "$state/korveline.exe")
[ \$# -eq 0 ] && exec wine "\$program"
[ -f "\$1" ] || exec wine "\$program" "\$1"
command="\"Z:\$(printf '%s' "\$program" | tr / '\\\\')\" %1"
wine reg add 'HKCR\\Korveline.Launcher\\shell\\open\\command' /ve /d "\$command" /f >/dev/null 2>&1
exec wine start /progIDOpen Korveline.Launcher "\$(realpath -- "\$1")"
EOF
chmod +x "$launcher"

for size in 16 32 48 64 128; do
    icon="$data/icons/hicolor/${size}x$size/apps/korveline.png"
    newfile "$icon" && python3 "$root/scripts/make_icon.py" --png "$size" "$icon"
done

mime="$data/mime"
was=new && [ -d "$mime" ] && was=old
newdir "$mime/packages"
note mime-cache "$was" "$mime"
newfile "$mime/packages/korveline.xml"
cat >"$mime/packages/korveline.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/x-asm">
    <comment>Assembly source</comment>
    <sub-class-of type="text/plain"/>
    <glob pattern="*.asm"/>
  </mime-type>
</mime-info>
EOF
update-mime-database "$mime" || echo "update-mime-database failed: .asm files may not be recognised" >&2

apps="$data/applications"
newdir "$apps"
if [ -f "$apps/mimeinfo.cache" ]; then note desktop-cache old "$apps"; else note desktop-cache new "$apps"; fi
newfile "$apps/korveline.desktop"
cat >"$apps/korveline.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Korveline
GenericName=Assembly Editor
Comment=Edit x86 assembly source and build it with TASM and TLINK
Exec="$launcher" %f
Icon=korveline
Terminal=false
Categories=Development;IDE;
MimeType=text/x-asm;
StartupWMClass=korveline.exe
EOF
command -v update-desktop-database >/dev/null && update-desktop-database "$apps"

newdir "$config"
[ -f "$mimeapps" ] && cp "$mimeapps" "$state/mimeapps.before" && note file - "$state/mimeapps.before"
note file - "$state/mimeapps.after"
xdg-mime default korveline.desktop text/x-asm
cp "$mimeapps" "$state/mimeapps.after"
echo "Korveline is installed: the application menu lists it, and .asm files open in it."
echo "Remove it with: $0 --uninstall"
