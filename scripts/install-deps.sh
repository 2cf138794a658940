#!/bin/sh
# Installs exactly the Debian packages the build and the tests need that are missing. The
# LLVM 22 packages (for the ARM64 module) come from the security archive, which a Debian
# system lists by default.
# Idempotent: when everything is present it does not touch apt at all. Where the kernel
# runs 32-bit programs, it adds the i386 architecture and the 32-bit Wine loader, so that
# the 32-bit module is tested for real; elsewhere that loader could not start at all.
set -eu
here=$(cd "$(dirname "$0")" && pwd)

PACKAGES="
cmake ninja-build g++ googletest libbenchmark-dev
g++-mingw-w64-x86-64 g++-mingw-w64-i686
wine64 xvfb xauth
python3 python3-pefile
libstb-dev netpbm imagemagick libxml2-utils x11-utils
locales
clang-14 libclang-rt-14-dev libxml2-dev valgrind
clang-22 lld-22 llvm-22 libclang-rt-22-dev-win bzip2 xz-utils
"

add_i386=false
if "$here/kernel-runs-i386.sh"; then
    PACKAGES="$PACKAGES wine32:i386"
    dpkg --print-foreign-architectures | grep -qx i386 || add_i386=true
fi

# One query for all (a query per package costs a second each on a loaded machine). Names
# of packages that may be installed for several architectures come with the native one
# (libxml2-dev:amd64), which the list leaves out.
# shellcheck disable=SC2086 # the list is meant to split
installed=$(dpkg-query -W -f='${binary:Package} ${db:Status-Status}\n' $PACKAGES 2>/dev/null |
    awk -v native=":$(dpkg --print-architecture)" \
        '$2 == "installed" { sub(native "$", "", $1); print $1 }' || true)
# shellcheck disable=SC2086 # the list is meant to split
missing=$(printf ' %s\n' $PACKAGES | grep -vxF -e "$(echo "$installed" | sed 's/^/ /')" |
    tr -d '\n' || true)

if [ -z "$missing" ]; then
    exit 0
fi

echo "Installing:$missing"
run() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
export DEBIAN_FRONTEND=noninteractive
if $add_i386; then
    run dpkg --add-architecture i386
fi
run apt-get update -q
# shellcheck disable=SC2086 # the list is meant to split
run apt-get install -y -q --no-install-recommends $missing
