#!/usr/bin/python3
"""Checks that the converters' compiled code does its float arithmetic with SSE
instructions and contains no x87 instruction and no fused multiply-add at all; ARM64 code
(its own instruction set, told by the object's format) likewise has no fused multiply-add.

x87 arithmetic keeps excess precision (the 32-bit compiler's default), so products and sums
would not be rounded to single precision as they are on the other targets; a fused
multiply-add skips the rounding of its product.

Usage: check_single_precision.py <objdump> <object file>..."""
import re
import subprocess
import sys

# objdump's AT&T mnemonics: every x87 instruction, and nothing else, starts with "f"
# (fld, fstp, fmul, fadd, fild, fistp, fisttp, fxch, fucomip, fnstcw, ...).
INSTRUCTION = re.compile(r"^\s*[0-9a-f]+:\s+([a-z][a-z0-9.]*)")
FUNCTION = re.compile(r"^[0-9a-f]+ <(.+)>:$")
# Fused multiply-add and its relatives: vfmadd231ps, vfnmsub132ss, ...
FUSED = re.compile(r"^v?f(n)?m(add|sub|addsub|subadd)\d{3}")
# The arithmetic the converters must contain, proof that the right code was looked at.
REQUIRED_SSE = ("mulss", "addss")
# ARM64: the scalar and vector fused forms, and the plain product and sum required.
ARM64_FORMAT = re.compile(r"file format coff-arm64")
ARM64_FUSED = re.compile(r"^(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)$")
REQUIRED_ARM64 = ("fmul", "fadd")


def main(objdump, objects):
    failures = []
    seen = set()
    for path in objects:
        listing = subprocess.run([objdump, "-d", "-C", "--no-show-raw-insn", path],
                                 check=True, capture_output=True, text=True).stdout
        function = "?"
        arm64 = bool(ARM64_FORMAT.search(listing))
        for line in listing.splitlines():
            header = FUNCTION.match(line)
            if header:
                function = header.group(1)
                continue
            instruction = INSTRUCTION.match(line)
            if not instruction:
                continue
            mnemonic = instruction.group(1)
            seen.add(mnemonic)
            if arm64:
                if ARM64_FUSED.match(mnemonic):
                    failures.append(f"{path}: fused multiply-add {mnemonic} in {function}")
            elif mnemonic.startswith("f"):
                failures.append(f"{path}: x87 instruction {mnemonic} in {function}")
            elif FUSED.match(mnemonic):
                failures.append(f"{path}: fused multiply-add {mnemonic} in {function}")
    for mnemonic in REQUIRED_ARM64 if arm64 else REQUIRED_SSE:
        if mnemonic not in seen:
            failures.append(f"no {mnemonic} found: not the converter code"
                            + ("" if arm64 else ", or not SSE"))
    for failure in failures:
        print(failure)
    if failures:
        return 1
    arithmetic = "ARM64" if arm64 else "SSE single-precision arithmetic, no x87 instruction"
    print(f"{len(objects)} object(s): {arithmetic}, no fused multiply-add")
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__)
        sys.exit(2)
    # CMake hands several objects over as one ;-separated argument.
    sys.exit(main(sys.argv[1], [path for arg in sys.argv[2:] for path in arg.split(";") if path]))
