#!/bin/sh
# Makes an arm64 Debian root with Wine in which the ARM64 test programs run on an x86
# machine, through qemu-user and binfmt_misc, and a Wine prefix in it set up as
# wine-prefix.sh sets up the others. Needs root. Installs the packages it needs.
#
# The root is Debian 13's: Debian 12's arm64 Wine 8.0 has a stub ucrtbase.dll over the Unix
# C library, which reads a Windows ARM64 va_list wrongly, so every printf of a Windows
# program crashes. Wine 10 runs them, on an ARMv8.0 processor model (QEMU_CPU, set by
# arm64-chroot.sh): under qemu's default model its system-call entry faults.
#
# Usage: make-arm64-root.sh <folder>
# The root is kept while this script is unchanged.
set -eu
mkdir -p "$1"
root=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

missing=""
for package in qemu-user-static binfmt-support mmdebstrap arch-test; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing="$missing $package"
done
if [ -n "$missing" ]; then
    # shellcheck disable=SC2086 # the list is meant to split
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
update-binfmts --enable qemu-aarch64

stamp=$(sha256sum "$0" "$here/wine-prefix.sh" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$root/.lumetra-root" 2>/dev/null)" = "$stamp" ]; then
    exit 0
fi
# Debian 13 comes from the archive this machine's apt sources name for its own release.
archive=$("$here/apt-archive.sh" "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")")
echo "make-arm64-root.sh: making the arm64 root in $root from ${archive% *} trixie" \
    "(apt source ${archive#* })"
started=$(date +%s)
rm -rf "$root"
mmdebstrap --quiet --variant=apt --arch=arm64 --include=wine64,libwine trixie "$root" \
    "deb ${archive% *} trixie main"
mkdir -p "$root/lumetra"
# The prefix's setup, run inside the root.
cp "$here/wine-prefix.sh" "$here/wine-run.sh" "$root/lumetra/"
"$here/arm64-chroot.sh" "$root" /lumetra/wine-prefix.sh /lumetra/wine
echo "$stamp" >"$root/.lumetra-root"
echo "make-arm64-root.sh: the arm64 root took $(($(date +%s) - started)) s"
