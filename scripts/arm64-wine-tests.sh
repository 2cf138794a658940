#!/bin/sh
# Runs every ARM64 test program of a build under arm64 Wine in the root that
# make-arm64-root.sh made, one after the other, with a persistent Wine server, and says
# which failed. The programs are copied into the root, beside the module and the tools,
# and this script runs them from inside it, in a wine-session.sh session. Needs root.
#
# Usage: arm64-wine-tests.sh <root> <bin folder>
set -eu
if [ "$1" != --inside ]; then
    root=$(cd "$1" && pwd)
    here=$(cd "$(dirname "$0")" && pwd)
    rm -rf "$root/lumetra/bin"
    cp -r "$2" "$root/lumetra/bin"
    cp "$0" "$here/wine-session.sh" "$here/wine-run.sh" "$root/lumetra/"
    exec "$here/arm64-chroot.sh" "$root" /lumetra/wine-session.sh /lumetra/wine \
        /lumetra/arm64-wine-tests.sh --inside
fi

export WINEPREFIX=/lumetra/wine
cd /lumetra/bin
started=$(date +%s)
failed=""
count=0
for program in *_tests.exe; do
    count=$((count + 1))
    if timeout 900 /lumetra/wine-run.sh "$WINEPREFIX" "./$program" --gtest_brief=1 \
        >"/lumetra/$program.log" 2>&1; then
        echo "arm64-wine-tests.sh: $program passed"
    else
        echo "arm64-wine-tests.sh: $program FAILED; its output:"
        cat "/lumetra/$program.log"
        failed="$failed $program"
    fi
done
echo "arm64-wine-tests.sh: $count programs in $(($(date +%s) - started)) s"
if [ -n "$failed" ]; then
    echo "arm64-wine-tests.sh: failed:$failed"
    exit 1
fi
