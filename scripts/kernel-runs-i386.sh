#!/bin/sh
# Succeeds when the kernel runs 32-bit x86 programs, which the 32-bit Wine loader needs.
# Asks no package for it: runs a 91-byte i386 program written here that only exits.
set -eu
probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX")
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then: xor ebx,ebx; xor eax,eax; inc eax;
# int 0x80 (exit with status 0).
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
printf '\000\200\004\010\133\000\000\000\133\000\000\000\005\000\000\000' >>"$probe"
printf '\000\020\000\000\061\333\061\300\100\315\200' >>"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
