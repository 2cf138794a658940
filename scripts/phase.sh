#!/bin/bash
# Runs one phase of `make test` (an install, a sysroot, a preset's build or tests, the
# fuzzing) with its output in a log of its own, so that phases running side by side do
# not mix their lines: one line when it ends, its time and CPU time kept for the summary,
# and the whole log printed only when it fails. Outside `make test` (LUMETRA_PHASES
# unset) it only runs the command, its output as it comes.
#
# Usage: phase.sh <name> <command> [arguments...]
#        phase.sh --summary   (the table of the phases that ran, in order of their start)
set -eu
folder=${LUMETRA_PHASES:-}

if [ "$1" = --summary ]; then
    [ -n "$folder" ] && [ -f "$folder/times" ] || exit 0
    # The start offset shows which phases overlapped: the longest chain sets the total.
    sort -n -k2 "$folder/times" | awk '
        BEGIN { printf "make test: %-26s %8s %8s %8s\n", "phase", "start", "time", "CPU" }
        { printf "make test: %-26s %6d s %6d s %6d s%s\n", $1, $2, $3, $4, $5 == 0 ? "" : "  FAILED" }
        END { print "make test: (CPU: the step'"'"'s own processes; not Wine'"'"'s server and services)" }'
    exit 0
fi

name=$1
shift
if [ -z "$folder" ]; then
    exec "$@"
fi

log=$folder/$name.log
origin=${LUMETRA_PHASES_ORIGIN:-$(date +%s)}
started=$(date +%s)
status=0
# bash's time gives the CPU time of the command and all its children.
TIMEFORMAT='%U %S'
cpu=$({ time "$@" >"$log" 2>&1 </dev/null; } 2>&1) || status=$?
if [ $status -ne 0 ]; then
    # time printed nothing when the command failed before it ran
    cpu=$(echo "$cpu" | tail -n 1)
fi
ended=$(date +%s)
seconds=$(echo "$cpu" | awk '{ printf "%d", $1 + $2 + 0.5 }')
echo "$name $((started - origin)) $((ended - started)) ${seconds:-0} $status" >>"$folder/times"
if [ $status -eq 0 ]; then
    echo "make test: $name done in $((ended - started)) s"
    # Lines meant for the reader still reach the output: the static-check and skip notes,
    # which archive served each source, and each test suite's count.
    grep -E '^(make test|fetch-debian-source\.sh): |tests passed, [0-9]+ tests failed out of' "$log" || true
else
    echo "make test: $name FAILED after $((ended - started)) s; its log ($log):"
    cat "$log"
fi
exit $status
