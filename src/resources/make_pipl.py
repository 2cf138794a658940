#!/usr/bin/python3
"""Writes the module's plug-in property list, the PiPL resource through which the host
finds the entry point and lists the filter in its menu.

Usage: make_pipl.py <x86|x64|arm64> <output file>

The list is written in the Windows form: a 16-bit word 1, the list version and the
property count, then one record per property (vendor, key, id 0, length, data). Every
integer and four-character code is little-endian, so the code 'kind' lands in the file as
"dnik". Data is zero-padded to a multiple of four bytes and the padded length is what the
record states: some hosts crash on the unpadded one. Strings always keep at least one NUL
after their text, so hosts that read them as C strings stop in time.
"""
import struct
import sys

VENDOR = "8BIM"

# The key under which each architecture's host looks for the entry point's name.
ENTRY_POINT_KEYS = {"x86": "wx86", "x64": "8664", "arm64": "wa64"}


def four_cc(code):
    assert len(code) == 4
    return struct.pack("<I", int.from_bytes(code.encode("ascii"), "big"))


def int32(*values):
    return struct.pack(f"<{len(values)}i", *values)


def c_string(text):
    return text.encode("ascii") + b"\0"


def pascal_string(text):
    data = text.encode("ascii")
    assert len(data) <= 255
    return bytes([len(data)]) + data + b"\0"


def flag_bytes(*values):
    return bytes(values)


def filter_case(input_handling, output_handling, flags):
    return bytes([input_handling, output_handling, flags, 0])


WHITE_MATTE = 4
# Works with blank data and filters layer masks; with a selection it also writes outside it.
WITHOUT_SELECTION = 0x06
WITH_SELECTION = 0x0E

# Image modes are the FlagSet bits 0x80 >> (mode % 8) of byte mode / 8.
GRAY_AND_RGB = 0x40 | 0x10


def properties(entry_point_key):
    """The filter's properties, in the order the host reads them."""
    return [
        ("kind", four_cc("8BFM")),
        ("name", pascal_string("Lumetra...")),
        ("catg", pascal_string("Corvane")),
        ("vers", int32(0x00040000)),  # filter interface 4.0
        (entry_point_key, c_string("PluginMain")),
        ("mode", flag_bytes(GRAY_AND_RGB, 0, 0, 0)),
        ("enbl", c_string("in (PSHOP_ImageMode,GrayScaleMode,Gray16Mode,Gray32Mode,"
                          "RGBMode,RGB48Mode,RGB96Mode)")),
        ("ms32", int32(2000000, 2000000)),  # largest height, then largest width
        ("flly", flag_bytes(0x80, 0, 0, 0)),  # supports filter layers
        ("fici", b"".join(filter_case(WHITE_MATTE, WHITE_MATTE, flags) for flags in (
            WITHOUT_SELECTION,  # 1 flat image
            WITH_SELECTION,     # 2 flat image with selection
            WITH_SELECTION,     # 3 floating selection
            WITHOUT_SELECTION,  # 4 editable transparency
            WITH_SELECTION,     # 5 editable transparency with selection
            WITHOUT_SELECTION,  # 6 protected transparency
            WITH_SELECTION,     # 7 protected transparency with selection
        ))),
    ]


def property_record(key, data):
    padded = data + b"\0" * (-len(data) % 4)
    return four_cc(VENDOR) + four_cc(key) + int32(0, len(padded)) + padded


def property_list(arch):
    items = properties(ENTRY_POINT_KEYS[arch])
    header = struct.pack("<hii", 1, 0, len(items))
    return header + b"".join(property_record(key, data) for key, data in items)


def main(arch, output):
    data = property_list(arch)
    with open(output, "wb") as file:
        file.write(data)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ENTRY_POINT_KEYS:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
