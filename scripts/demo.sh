#!/bin/sh
# The demo: runs the plug-in module in the test host on a sample scene (a bright sky over a
# dark foreground), with the stand-in program doing the HDR tone mapping, and leaves the
# document before and after as PNG pictures in demo/out/.
# Usage: demo.sh <release bin folder> [16|32]
set -eu
bin=$(cd "$1" && pwd)
depth=${2:-16}
case "$depth" in
16) extension=ppm ;;
32) extension=pfm ;;
*) echo "demo: DEPTH must be 16 or 32" >&2; exit 2 ;;
esac

out=$(pwd)/demo/out
rm -rf "$out"
mkdir -p "$out/profile/Lumetra" "$out/temp"

# The program's settings file, where the plug-in looks for it: in a private profile folder
# for this demo, never in your own home folder.
printf '[General]\r\nApplicationPath=%s\r\n' "$bin" >"$out/profile/Lumetra/plugin.ini"

echo "demo: making a $depth-bit RGB sample scene"
"$bin/demo-scene" make --depth "$depth" "$out/scene.$extension"

echo "demo: running Lumetra.so in the test host; Lumetra.exe (the stand-in) tone-maps the scene"
HOME="$out/profile" TMPDIR="$out/temp" LUMETRA_APP_MODE=tonemap \
    "$bin/filterhost" --plugin "$bin/Lumetra.so" --input "$out/scene.$extension" \
    --output "$out/result.$extension" >"$out/filterhost.txt" 2>&1 || true
sed 's/^/    /' "$out/filterhost.txt"

"$bin/demo-scene" preview "$out/scene.$extension" "$out/before.png"
"$bin/demo-scene" preview "$out/result.$extension" "$out/after.png"
"$bin/demo-scene" side-by-side "$out/scene.$extension" "$out/result.$extension" \
    "$out/side-by-side.png"

result=$(sed -n 's/^filterhost: start result //p' "$out/filterhost.txt")
took=$(sed -n 's/^filterhost: run 1 took //p' "$out/filterhost.txt")
echo "demo: start selector result ${result:-none} (0 is success), whole run took ${took:-?}"
echo "demo: exchange files of the run in $out/temp/lumetrafilter/"
echo "demo: pictures in $out/: before.png, after.png, side-by-side.png"
[ "$result" = "0" ]
