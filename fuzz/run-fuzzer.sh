#!/bin/sh
# Runs one fuzz target for a set time from its kept corpus (fuzz/corpus/<target>, only
# read) and the inputs earlier runs found (<build>/corpus/<target>, where new ones go).
# A finding lands in <build>/findings/ and fails the run.
# usage: run-fuzzer.sh BUILD_DIR TARGET SECONDS MAX_LEN
set -eu
build=$1 target=$2 seconds=$3 max_len=$4
kept="$(cd "$(dirname "$0")" && pwd)/corpus/$target"
found="$build/corpus/$target"
mkdir -p "$found" "$build/findings"
# The targets make their private folders under TMPDIR: in memory where that can be had
# (files written again and again are far slower on disk), else in the build tree.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
else
    mkdir -p "$build/tmp" && export TMPDIR="$build/tmp"
fi
# Stack traces name their lines where LLVM's symbolizer is installed.
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
[ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"
exec "$build/bin/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$found" "$kept"
