#!/usr/bin/env python3
"""Checks the release archive: exactly the five members in their order, the modules the
tests ran against, checksums that match, an install text for Windows, and an archive that
comes out byte for byte the same when it is made again from the same files.

Usage: check_package.py ZIP X86_MODULE X64_MODULE ARM64_MODULE VERSION
"""
import calendar
import hashlib
import os
import subprocess
import sys
import tempfile
import zipfile

MODULES = ["x86/Lumetra.8bf", "x64/Lumetra.8bf", "arm64/Lumetra.8bf"]
EXPECTED = MODULES + ["INSTALL.txt", "SHA256SUMS"]
HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_PACKAGE = os.path.join(HERE, "..", "..", "packaging", "make_package.py")
INSTALL_TEXT = os.path.join(HERE, "..", "..", "packaging", "INSTALL.txt")


def check(path, x86_module, x64_module, arm64_module, version):
    built_modules = [x86_module, x64_module, arm64_module]
    failures = []
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        if names != EXPECTED:
            return [f"members {names}, expected {EXPECTED}"]
        data = {name: archive.read(name) for name in names}
        times = {info.date_time for info in archive.infolist()}
    for name, built in zip(MODULES, built_modules):
        with open(built, "rb") as f:
            if data[name] != f.read():
                failures.append(f"{name} is not {built}")
    sums = {}
    for line in data["SHA256SUMS"].decode("ascii").splitlines():
        digest, name = line.split(" *", 1)
        sums[name] = digest
    if sorted(sums) != sorted(EXPECTED[:-1]):
        failures.append(f"SHA256SUMS lists {sorted(sums)}")
    for name, digest in sums.items():
        if name in data and hashlib.sha256(data[name]).hexdigest() != digest:
            failures.append(f"SHA256SUMS does not match {name}")
    install = data["INSTALL.txt"]
    if b"\n" in install.replace(b"\r\n", b""):
        failures.append("INSTALL.txt has line ends other than CR LF")
    for needed in (version.encode(), b"plugin.ini", b"ApplicationPath=", b"x86\\Lumetra.8bf",
                   b"x64\\Lumetra.8bf", b"arm64\\Lumetra.8bf", b"Windows on ARM", b"Plug-ins"):
        if needed not in install:
            failures.append(f"INSTALL.txt does not mention {needed.decode()}")
    if len(times) != 1:
        failures.append(f"members carry different times {sorted(times)}")

    with tempfile.TemporaryDirectory() as scratch:
        again = os.path.join(scratch, "again.zip")
        environment = dict(os.environ, SOURCE_DATE_EPOCH=str(calendar.timegm(min(times))))
        subprocess.run([sys.executable, MAKE_PACKAGE, version, *built_modules, INSTALL_TEXT,
                        again], check=True, stdout=subprocess.DEVNULL,
                       env=environment)
        with open(path, "rb") as first, open(again, "rb") as second:
            if first.read() != second.read():
                failures.append("the archive made again from the same files differs")
    return failures


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    failures = check(*sys.argv[1:])
    for failure in failures:
        print(f"{sys.argv[1]}: {failure}", file=sys.stderr)
    if not failures:
        print(f"{sys.argv[1]}: {', '.join(EXPECTED)}; the modules are the tested ones")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
