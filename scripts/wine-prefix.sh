#!/bin/sh
# Creates the private Wine prefix for the tests, once. Windows may be created without a
# display (null graphics driver). User profiles live in <prefix>/profiles/<Unix user>,
# so that a test can give a started program another profile through the Unix USER.
# A win32 prefix holds only 32-bit Windows and runs under the 32-bit loader.
# Usage: wine-prefix.sh <prefix> [win64|win32]
set -eu
prefix=$1
arch=${2:-win64}
version=2 # raise when the prefix's setup changes
[ "$(cat "$prefix/.lumetra-ready" 2>/dev/null)" = "$version" ] &&
    [ "$(cat "$prefix/.lumetra-arch" 2>/dev/null || echo win64)" = "$arch" ] && exit 0

rm -rf "$prefix"
mkdir -p "$prefix/home"
echo "$arch" >"$prefix/.lumetra-arch"
here=$(cd "$(dirname "$0")" && pwd)
run() { "$here/wine-run.sh" "$prefix" "$@" </dev/null >/dev/null 2>&1; }

echo "Creating the $arch Wine prefix $prefix"
run wineboot.exe --init
run reg.exe add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
mkdir -p "$prefix/profiles/${USER:-$(id -un)}"
profiles="Z:$(cd "$prefix/profiles" && pwd | tr / '\\')"
run reg.exe add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList' \
    /v ProfilesDirectory /d "$profiles" /f
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w
echo "$version" >"$prefix/.lumetra-ready"
