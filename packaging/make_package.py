#!/usr/bin/env python3
"""Writes the release archive a user installs from.

Usage: make_package.py VERSION X86_MODULE X64_MODULE ARM64_MODULE INSTALL_TEXT OUTPUT_ZIP

The archive holds x86/Lumetra.8bf, x64/Lumetra.8bf, arm64/Lumetra.8bf, INSTALL.txt and
SHA256SUMS. It is the
same, byte for byte, whenever the same modules go in: members in a fixed order, each with
the same time (the commit's, from SOURCE_DATE_EPOCH when set), permissions and compression.
"""
import hashlib
import os
import sys
import time
import zipfile

# 1980-01-01, the earliest time a zip entry can carry: for a tree that is not a checkout.
EARLIEST_ZIP_TIME = 315532800


def entry_time():
    seconds = int(os.environ.get("SOURCE_DATE_EPOCH", EARLIEST_ZIP_TIME))
    return time.gmtime(max(seconds, EARLIEST_ZIP_TIME))[:6]


def windows_text(text):
    """Notepad of older Windows shows LF-only text on one line."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def main(version, x86_module, x64_module, arm64_module, install_text, output):
    members = []
    for arch, module in (("x86", x86_module), ("x64", x64_module), ("arm64", arm64_module)):
        with open(module, "rb") as f:
            members.append((f"{arch}/Lumetra.8bf", f.read()))
    with open(install_text, encoding="ascii") as f:
        members.append(("INSTALL.txt", windows_text(f.read().replace("@VERSION@", version))))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()} *{name}\n" for name, data in members)
    members.append(("SHA256SUMS", sums.encode("ascii")))

    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=entry_time())
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below are read as such
            info.external_attr = 0o100644 << 16
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, output)
    print(f"{output}: {', '.join(name for name, _ in members)}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
