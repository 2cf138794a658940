#!/bin/sh
# Installs exactly the Debian packages the build and the tests need that are missing.
# Idempotent: when everything is present it does not touch apt at all. Never adds the
# i386 architecture or wine32 (this kernel runs no 32-bit code, and wine32 breaks
# /usr/bin/wine here).
set -eu

PACKAGES="
cmake ninja-build g++ googletest libbenchmark-dev
g++-mingw-w64-x86-64 g++-mingw-w64-i686
wine64 xvfb xauth
python3 python3-pefile
libstb-dev netpbm imagemagick libxml2-utils x11-utils
"

missing=""
for package in $PACKAGES; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing="$missing $package"
done

if [ -z "$missing" ]; then
    exit 0
fi

echo "Installing:$missing"
run() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
export DEBIAN_FRONTEND=noninteractive
run apt-get update -q
# shellcheck disable=SC2086 # the list is meant to split
run apt-get install -y -q --no-install-recommends $missing
