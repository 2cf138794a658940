#!/bin/sh
# Runs a Windows program in the project's private Wine prefix, with the loader of the
# prefix's architecture (recorded by wine-prefix.sh): wine64 for 64-bit programs, the
# 32-bit loader for a 32-bit prefix.
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
if [ "$(cat "$prefix/.lumetra-arch" 2>/dev/null || true)" = win32 ]; then
    export WINEARCH=win32
    exec /usr/lib/wine/wine "$@"
fi
exec /usr/lib/wine/wine64 "$@"
