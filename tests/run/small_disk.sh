#!/bin/sh
# Mounts, or unmounts again, the small disk on which a test lets the working folder fill
# up: a 64 KB tmpfs. Mounting needs root; where it is not allowed the folder stays a
# plain one and the test skips, saying why.
# Usage: small_disk.sh mount|unmount <folder>
set -u
folder=$2
case $1 in
mount)
    mkdir -p "$folder"
    if mountpoint -q "$folder"; then umount "$folder"; fi
    mount -t tmpfs -o size=64k,mode=0700 lumetra-small-disk "$folder" 2>/dev/null ||
        echo "small_disk.sh: no tmpfs could be mounted at $folder; the full-disk test skips"
    ;;
unmount)
    if mountpoint -q "$folder"; then umount "$folder"; fi
    ;;
esac
exit 0
