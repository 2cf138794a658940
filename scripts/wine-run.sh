#!/bin/sh
# Runs a 64-bit Windows program in the project's private Wine prefix.
# Usage: wine-run.sh <prefix> <program.exe> [arguments...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export HOME="$prefix/home"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
