#!/bin/sh
# Creates the private Wine prefix for the tests, once. Windows may be created without a
# display (null graphics driver); the profiles folder lies inside the prefix.
# Usage: wine-prefix.sh <prefix>
set -eu
prefix=$1
[ -f "$prefix/.lumetra-ready" ] && exit 0

rm -rf "$prefix"
mkdir -p "$prefix/home"
here=$(cd "$(dirname "$0")" && pwd)
run() { "$here/wine-run.sh" "$prefix" "$@" </dev/null >/dev/null 2>&1; }

echo "Creating the Wine prefix $prefix"
run wineboot.exe --init
run reg.exe add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w
touch "$prefix/.lumetra-ready"
