#!/usr/bin/python3
"""Checks a built Windows module: a DLL of the expected architecture exporting exactly
PluginMain, undecorated, importing nothing but system DLLs, and carrying no link time (so
that one commit always gives the same file)."""
import sys

import pefile

# machine, optional-header magic
MACHINES = {"x86": (0x014C, 0x10B), "x64": (0x8664, 0x20B), "arm64": (0xAA64, 0x20B)}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll",
               "advapi32.dll", "msvcrt.dll", "ole32.dll", "shlwapi.dll"}


def main(path, arch):
    pe = pefile.PE(path)
    failures = []
    machine, magic = MACHINES[arch]
    if pe.FILE_HEADER.Machine != machine:
        failures.append(f"machine is {pe.FILE_HEADER.Machine:#x}, expected {machine:#x}")
    if pe.OPTIONAL_HEADER.Magic != magic:
        failures.append(f"optional header magic {pe.OPTIONAL_HEADER.Magic:#x}, expected {magic:#x}")
    if not pe.FILE_HEADER.Characteristics & 0x2000:
        failures.append("not a DLL")
    exports = [e.name.decode() for e in getattr(pe, "DIRECTORY_ENTRY_EXPORT", None).symbols] \
        if hasattr(pe, "DIRECTORY_ENTRY_EXPORT") else []
    if exports != ["PluginMain"]:
        failures.append(f"exports {exports}, expected exactly ['PluginMain']")
    imports = {entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    foreign = sorted(d for d in imports if d not in SYSTEM_DLLS and not d.startswith("api-ms-"))
    if foreign:
        failures.append(f"imports non-system DLLs {foreign}")
    if pe.FILE_HEADER.TimeDateStamp != 0:
        failures.append(f"link time stamp {pe.FILE_HEADER.TimeDateStamp:#x}, expected 0")
    for failure in failures:
        print(f"{path}: {failure}")
    if not failures:
        print(f"{path}: {arch} DLL exporting PluginMain; imports {sorted(imports)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
