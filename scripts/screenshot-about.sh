#!/bin/sh
# Photographs the 64-bit module's about box under Xvfb for the README: docs/about-box.png.
# Uses its own Wine prefix with the X11 driver (<build root>/wine-x11; the test prefix has
# no display driver) and stops everything it started. Not part of `make test`.
# Usage: scripts/screenshot-about.sh [build root] [output png]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
output=${2:-$root/docs/about-box.png}
bin="$build/win64/bin"
prefix="$build/wine-x11"
[ -f "$bin/about_box_viewer.exe" ] && [ -f "$bin/Lumetra.8bf" ] || {
    echo "Build the win64 preset first: make build-win64 BUILD_ROOT=$build" >&2
    exit 1
}

# A display number nobody uses.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
export DISPLAY=":$display"
export WINEPREFIX="$prefix"
work=$(mktemp -d)
xvfb_pid=""
stop() {
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT INT TERM

Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
done

run() { "$here/wine-run.sh" "$prefix" "$@" </dev/null >/dev/null 2>&1; }
if [ ! -f "$prefix/.lumetra-x11" ]; then
    echo "Creating the Wine prefix $prefix"
    rm -rf "$prefix"
    mkdir -p "$prefix/home"
    run wineboot.exe --init
    # Without a window manager, Wine draws the title bars itself only for unmanaged windows.
    run reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    /usr/lib/wine/wineserver -w
    touch "$prefix/.lumetra-x11"
fi

/usr/lib/wine/wineserver -p
"$here/wine-run.sh" "$prefix" cmd.exe /c exit </dev/null >/dev/null 2>&1
stop_file="$work/close"
(cd "$bin" && "$here/wine-run.sh" "$prefix" about_box_viewer.exe \
    "Z:$(echo "$stop_file" | tr / '\\')") >"$work/viewer.log" 2>&1 &
viewer=$!

window=""
for _ in $(seq 200); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"About..."/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "The about box did not appear." >&2
    touch "$stop_file"
    wait "$viewer" || true
    cat "$work/viewer.log" >&2
    exit 1
fi
sleep 1 # let Wine finish painting
mkdir -p "$(dirname "$output")"
import -window "$window" -define png:exclude-chunks=date,time "$output"
touch "$stop_file"
wait "$viewer"
echo "Wrote $output ($(identify -format '%wx%h' "$output"))"
