#!/bin/sh
# Whole filter runs under valgrind's memcheck, the stand-in program included: a full
# 1500x900 16-bit run, and a failing run (the program leaves a file one row short, the
# host has no handle procs). Every process must end with no error and no leak, except
# the state record of the failing run, which the plug-in made itself and left in the
# host's data slot (state-block.supp says why it stays). In the full run the host makes
# that block and frees it as it quits, so nothing at all may remain.
# The module is unloaded before the leak check: --keep-debuginfo keeps its names.
# usage: check_memcheck.sh BIN_DIR
set -eu
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-memcheck-XXXXXX")
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/profile/Lumetra" "$work/temp"
printf '[General]\r\nApplicationPath=%s\r\n' "$bin" >"$work/profile/Lumetra/plugin.ini"

fail() {
    echo "memcheck: $*" >&2
    exit 1
}

# run NAME EXPECTED_EXIT [filterhost switches...]: one run under memcheck; each
# process writes its own log NAME.<pid>.log.
run() {
    name=$1 expected=$2
    shift 2
    status=0
    HOME="$work/profile" TMPDIR="$work/temp" \
        valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --keep-debuginfo=yes \
        --show-leak-kinds=definite,indirect,possible \
        --errors-for-leak-kinds=definite,indirect,possible \
        --suppressions="$here/state-block.supp" --trace-children=yes \
        --log-file="$work/$name.%p.log" \
        "$bin/filterhost" --plugin "$bin/Lumetra.so" "$@" >"$work/$name.out" 2>&1 || status=$?
    cat "$work/$name.out"
    logs=$(ls "$work/$name".*.log)
    for log in $logs; do
        grep -q "ERROR SUMMARY: 0 errors" "$log" || { cat "$log" >&2; fail "$name: errors in $log"; }
    done
    [ "$(echo "$logs" | wc -l)" -eq 2 ] || fail "$name: expected the host and the program checked"
    [ "$status" -eq "$expected" ] || fail "$name: filterhost ended with $status, not $expected"
}

start=$(date +%s)
run full 0 --make 1500x900 --mode rgb --depth 16 --output "$work/full.ppm"
grep -q "^filterhost: start result 0" "$work/full.out" || fail "full: the run did not succeed"
if grep -h "suppressed: [0-9,]* bytes" "$work"/full.*.log | grep -qv "suppressed: 0 bytes"; then
    fail "full: a block was left that the host should have freed"
fi

LUMETRA_APP_MODE=truncate run failing 1 --make 600x400 --mode rgb --depth 16 \
    --handle-procs none
grep -q "^filterhost: start result -19" "$work/failing.out" || fail "failing: not -19"
# The state record and its handle record stay, in the host process only.
[ "$(grep -h "suppressed: [0-9,]* bytes in 2 blocks" "$work"/failing.*.log | wc -l)" -eq 1 ] ||
    fail "failing: not exactly the state record left"
echo "memcheck: both runs clean in $(($(date +%s) - start)) s"
