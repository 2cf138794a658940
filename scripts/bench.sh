#!/bin/sh
# The benchmarks: the conversion alone, the export and the import against their physical
# and segment I/O floors (with the plug-in's peak heap), then whole runs through the test
# host and the stand-in program in copy mode, all in a private temporary folder. The load
# average before and after goes with the figures: the machine may be shared.
# Usage: bench.sh <release bin folder>
set -eu
bin=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bin/convert_bench" --benchmark_min_time=0.2
TMPDIR="$work" "$bin/transfer_bench"

mkdir -p "$work/profile/Lumetra" "$work/temp"
printf '[General]\r\nApplicationPath=%s\r\n' "$bin" >"$work/profile/Lumetra/plugin.ini"
echo
echo "whole runs: filterhost, Lumetra.so and Lumetra.exe (copy mode), RGB 16 bits"
for size in 1224x816 4240x2832 8480x5664; do
    HOME="$work/profile" TMPDIR="$work/temp" LUMETRA_APP_MODE=copy \
        "$bin/filterhost" --plugin "$bin/Lumetra.so" --make "$size" --mode rgb --depth 16 \
        >"$work/run.txt" 2>&1 || { cat "$work/run.txt"; exit 1; }
    echo "  $size: $(sed -n 's/^filterhost: run 1 took //p' "$work/run.txt")"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
