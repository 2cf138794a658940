#!/bin/sh
# Runs a command in the arm64 root that make-arm64-root.sh makes, with /proc, /sys, /dev
# and a fresh /tmp mounted for it (and unmounted again), as the user "lumetra" whose
# profile the Wine prefix holds, on the processor model that Wine 10 runs on under qemu.
# Needs root.
#
# Usage: arm64-chroot.sh <root> <command> [arguments...]
set -eu
root=$(cd "$1" && pwd)
shift

mounted=""
unmount() {
    for point in $mounted; do umount -l "$root/$point" 2>/dev/null || true; done
}
trap unmount EXIT INT TERM
for point in proc sys dev tmp; do
    mountpoint -q "$root/$point" && continue
    case $point in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sys "$root/sys" ;;
    dev) mount --rbind /dev "$root/dev" ;;
    tmp) mount -t tmpfs tmp "$root/tmp" ;;
    esac
    mounted="$point $mounted"
done
chroot "$root" env QEMU_CPU=cortex-a72 USER=lumetra HOME=/lumetra/wine/home "$@"
