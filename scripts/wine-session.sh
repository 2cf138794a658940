#!/bin/sh
# Runs a command while a persistent Wine server serves the prefix, and leaves nothing of
# Wine running afterwards. Wine's background services are started first with their output
# on /dev/null: they inherit the first Wine process's standard error and would otherwise
# keep CTest's pipes open.
# Usage: wine-session.sh <prefix> <command> [arguments...]
set -eu
prefix=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$prefix"

stop() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w 2>/dev/null || true
}
trap stop EXIT INT TERM

/usr/lib/wine/wineserver -p
"$here/wine-run.sh" "$prefix" cmd.exe /c exit </dev/null >/dev/null 2>&1
"$@"
