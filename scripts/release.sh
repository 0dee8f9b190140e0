#!/usr/bin/env bash
# Makes a release in dist/: the stripped 32-bit korveline.exe (its symbols in
# korveline.dbg), a zip of it with a read-me, and two installers (the 32-bit
# program for most Windows users, the 64-bit one for 64-bit Windows and for
# Wine without 32-bit support). The version is the tag's when HEAD is tagged
# vX.Y.Z, else VERSION's.
# Usage: release.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh"

# A tagged release is built afresh in folders of its own; otherwise the
# configurations of scripts/build.sh are reused, with the same version.
builds="$root/build"
if tag="$(git describe --tags --exact-match --match 'v[0-9]*' 2>/dev/null)"; then
    version="${tag#v}"
    builds="$root/build/release-$version"
else
    version="$(head -n 1 VERSION | tr -d '[:space:]')"
fi
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "release: '$version' is not MAJOR.MINOR.PATCH" >&2; exit 1; }
echo "Korveline $version"

build() {  # dir, toolchain, extra cmake arguments...
    local dir="$builds/$1" toolchain="$2"; shift 2
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DKORVELINE_VERSION="$version" "$@" >/dev/null
    cmake --build "$dir" --target korveline -- -j"$(nproc)"
}
build win64 mingw-x86_64.cmake
build win32 mingw-i686.cmake -DKORVELINE_TESTS=OFF

stage="$root/build/release"
rm -rf "$stage" "$root/dist"
mkdir -p "$stage/x64" "$stage/x86" "$stage/zip" "$root/dist"
# The builds strip the programs and keep their symbols beside them.
cp "$builds/win64/korveline.exe" "$stage/x64/"
cp "$builds/win32/korveline.exe" "$builds/win32/korveline.dbg" "$stage/x86/"
cp "$stage/x86/korveline.exe" "$stage/x86/korveline.dbg" dist/

# The read-me travels with Windows line ends.
cp "$stage/x86/korveline.exe" "$stage/zip/"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' installer/readme.txt > "$stage/zip/README.txt"
(cd "$stage/zip" && zip -q -X "$root/dist/korveline-$version-win32.zip" korveline.exe README.txt)

for arch in x86 x64; do
    suffix=""; [ "$arch" = x64 ] && suffix="-x64"
    makensis -V2 -DARCH="$arch" -DVERSION="$version" -DPROGRAM="$stage/$arch/korveline.exe" \
        -DICON="$builds/win32/korveline.ico" -DOUTFILE="$root/dist/korveline-$version-setup$suffix.exe" \
        installer/korveline.nsi
done
(cd dist && sha256sum -- * > SHA256SUMS)
ls -l dist
