#!/bin/sh
# Two filter runs on the same temporary folder, started together or the second up to a
# second into the first, many times over; counts what each run reported and whether its
# document came back as its own result (code 0) or unchanged (code -50). Any other
# outcome, above all a document holding the other run's pixels, is a failure.
#
#   tests/stress/overlap-stress.sh BIN_FOLDER [TRIALS]     (e.g. build/release/bin 50)
set -eu

bin=$(cd "$1" && pwd)
trials=${2:-50}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/temp" "$work/home/Lumetra"
printf '[General]\r\nApplicationPath=%s\r\n' "$bin" >"$work/home/Lumetra/plugin.ini"
export TMPDIR="$work/temp" HOME="$work/home"

host() { # document output mode: prints the start result
    LUMETRA_APP_MODE=$3 "$bin/filterhost" --plugin "$bin/Lumetra.so" --input "$1" \
        --output "$2" >"$2.log" 2>&1 || true
    sed -n 's/^filterhost: start result //p' "$2.log"
}

# Two documents of one size with different pixels (the second is the first inverted), so
# that a document holding the other run's result shows; and what a run alone makes of
# each: the first goes through sleep=1000 (a copy after a second), the second through
# the tone curve.
"$bin/filterhost" --plugin "$bin/Lumetra.so" --make 1000x400 --mode rgb --depth 16 \
    --output "$work/a.ppm" --no-advance-state >/dev/null 2>&1 || true
[ "$(host "$work/a.ppm" "$work/b.ppm" invert)" = 0 ] || { echo "no second document"; exit 1; }
[ "$(host "$work/a.ppm" "$work/a.ref.ppm" copy)" = 0 ] || { echo "no reference"; exit 1; }
[ "$(host "$work/b.ppm" "$work/b.ref.ppm" tonemap)" = 0 ] || { echo "no reference"; exit 1; }

failures=0
for spread in 0 1000; do
    both=0; first_only=0; bad=0
    i=0
    while [ "$i" -lt "$trials" ]; do
        i=$((i + 1))
        delay=$(awk -v s="$spread" -v r="$(od -An -N2 -tu2 /dev/urandom)" \
            'BEGIN { printf "%.3f", s * r / 65535 / 1000 }')
        ( host "$work/a.ppm" "$work/a.out.ppm" sleep=1000 >"$work/a.code" ) &
        sleep "$delay"
        ( host "$work/b.ppm" "$work/b.out.ppm" tonemap >"$work/b.code" ) &
        wait
        ok=0
        for d in a b; do
            code=$(cat "$work/$d.code")
            if [ "$code" = 0 ] && cmp -s "$work/$d.out.ppm" "$work/$d.ref.ppm"; then
                ok=$((ok + 1))
            elif [ "$code" = -50 ] && cmp -s "$work/$d.out.ppm" "$work/$d.ppm"; then
                :
            else
                echo "trial $i (delay $delay s): run $d reported '$code' with a wrong document"
                bad=$((bad + 1))
            fi
        done
        if [ "$ok" = 2 ]; then both=$((both + 1)); else first_only=$((first_only + 1)); fi
    done
    echo "second run 0-$spread ms into the first: $trials trials, both processed $both," \
        "one refused with -50 and its document unchanged $first_only, wrong $bad"
    failures=$((failures + bad))
done
[ "$failures" = 0 ]
