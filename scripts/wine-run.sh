#!/bin/sh
# Runs a 64-bit Windows program in the project's private Wine prefix.
# Usage: wine-run.sh <prefix> <program.exe> [arguments...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export HOME="$prefix/home"
export WINEDEBUG="${WINEDEBUG:--all}"
# No .NET or HTML engine to install, and no crash debugger: a program that crashes under
# test must end at once rather than wait in winedbg for ever.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
exec /usr/lib/wine/wine64 "$@"
