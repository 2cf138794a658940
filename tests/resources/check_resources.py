#!/usr/bin/python3
"""Reads the resources back from a built Windows module and compares them with the
expected bytes and values written out here by hand: the plug-in property list, the about
dialog, the string table and the manifest.

Usage: check_resources.py <module> <x86|x64|arm64>
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

ENGLISH_US = 0x409
RT_DIALOG, RT_STRING, RT_MANIFEST = 5, 6, 24

# The property list as it must sit in the file. Keys and codes are little-endian, so each
# reads backwards ('kind' is "dnik"); every data block is padded to four bytes and the
# stated length includes the padding.
PIPL_HEADER = bytes.fromhex("0100" "00000000" "0a000000")  # reserved 1, version 0, 10 properties
ENABLING = b"in (PSHOP_ImageMode,GrayScaleMode,Gray16Mode,Gray32Mode,RGBMode,RGB48Mode,RGB96Mode)"
ENTRY_KEYS = {"x86": b"68xw", "x64": b"4668", "arm64": b"46aw"}  # 'wx86', '8664', 'wa64'


def pipl_properties(arch):
    return [
        (b"dnik", b"MFB8"),                                  # kind: '8BFM'
        (b"eman", b"\x0aLumetra...\x00"),                    # name: 1 + 10 + NUL = 12
        (b"gtac", b"\x07Corvane\x00\x00\x00\x00"),           # catg: 1 + 7 + NUL, padded to 12
        (b"srev", bytes.fromhex("00000400")),               # vers 4.0
        (ENTRY_KEYS[arch], b"PluginMain\x00\x00"),           # 10 + NUL, padded to 12
        (b"edom", bytes.fromhex("50000000")),               # gray 0x40 + RGB 0x10
        (b"lbne", ENABLING + b"\x00\x00\x00\x00"),           # 84 + NUL, padded to 88
        (b"23sm", bytes.fromhex("80841e00" "80841e00")),    # 2000000, 2000000
        (b"yllf", bytes.fromhex("80000000")),
        (b"icif", bytes.fromhex("04040600" "04040e00" "04040e00" "04040600"
                                "04040e00" "04040600" "04040e00")),
    ]


def expected_pipl(arch):
    blob = PIPL_HEADER
    for key, data in pipl_properties(arch):
        blob += b"MIB8" + key + struct.pack("<ii", 0, len(data)) + data
    return blob


# style, x, y, cx, cy of the dialog, then its controls: id, class atom, text, x, y, cx, cy, style.
DIALOG_STYLE = 0x80000000 | 0x00C00000 | 0x80 | 0x40  # popup, caption, modal frame, font
BUTTON, STATIC = 0x80, 0x82
DIALOG_ITEMS = [
    (1, BUTTON, "OK", 50, 78, 100, 16, 0x50010001),      # child visible tabstop defpushbutton
    (2, BUTTON, "Cancel", 176, 78, 10, 16, 0x48000000),  # child disabled, hidden
    (3, STATIC, "Static", 16, 8, 168, 64, 0x50020000),   # child visible group, left text
]

STRINGS = {
    16990: "An integer is required between ^1 and ^2.",
    16991: "A decimal number is required between ^1 and ^2.",
    16992: "This plug-in requires Adobe Photoshop\u00ae ^1 or later functionality.",
    16993: "This plug-in is incompatible with this version of the host program.",
    16994: "the required suite '^0' is unavailable",
    16995: ('Lumetra found no settings file at ^1. Create it there with two lines, each ended '
           'by CR LF: [General] and ApplicationPath= followed by the folder that holds '
           'Lumetra.exe.'),
    16996: ('The settings file ^1 names no program folder: its lines must end with CR LF '
           '(carriage return and line feed), the last line too. Save it again with Windows '
           'line ends.'),
    16997: ('The settings file ^1 names no program folder: it starts with a byte-order mark. '
           'Save it again as ANSI text, without a byte-order mark.'),
    16998: ('The settings file ^1 names no program folder: it has no line ApplicationPath= '
           'after the line [General]. Add both lines, each ended by CR LF.'),
    16999: ('The settings file ^1 names no program folder: its line ApplicationPath= is '
           'empty. Write the folder that holds Lumetra.exe after the equals sign.'),
    17000: ('The settings file ^1 names no program folder: the folder in its ApplicationPath '
           'line has square brackets, which the file cannot hold in a value. Put Lumetra.exe '
           'in a folder without [ or ] and name that one.'),
    17001: ('The settings file ^1 names no program folder: it is longer than 1022 bytes. It '
           'needs only the lines [General] and ApplicationPath= with the folder that holds '
           'Lumetra.exe.'),
    17002: ('The settings file ^1 cannot be read. Make sure it is a plain file that you may '
           'read.'),
    17003: ('Lumetra could not start the program ^1: ^2 Make sure the ApplicationPath line of '
           'the settings file names the folder that holds Lumetra.exe.'),
    17004: ('Another run of the filter is using the working folder ^1. Finish that run first '
           '(close the program it started), then run the filter again.'),
    17005: ('Lumetra cannot use the folder ^1 for the files it exchanges with the program: '
           "its name has characters outside the system's code page and no short name, its "
           'path is too long, or it cannot be created or written. Set ^2 to a plain '
           'temporary folder (ASCII letters only) and run the filter again.'),
    17006: ('Lumetra cannot use your profile folder ^1, where it looks for its settings file: '
           "its name has characters outside the system's code page and no short name, or the "
           'system names no such folder.'),
    17007: ("Lumetra cannot remove ^1, which an earlier run left in its working folder, and "
            "could not tell it from the program's new result. Close the program that has it "
            'open (an image viewer, a virus scanner, a backup tool, or Lumetra.exe), or remove '
            'it by hand, then run the filter again.'),
}


class Resources:
    """The module's resources as {(type, name): {language: bytes}}."""

    def __init__(self, path):
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(
            directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
        self.entries = {}
        directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
        for type_entry in directory.entries if directory else []:
            type_key = str(type_entry.name) if type_entry.name is not None else type_entry.id
            for name_entry in type_entry.directory.entries:
                name_key = str(name_entry.name) if name_entry.name is not None else name_entry.id
                for language in name_entry.directory.entries:
                    rva, size = language.data.struct.OffsetToData, language.data.struct.Size
                    self.entries.setdefault((type_key, name_key), {})[language.id] = \
                        pe.get_data(rva, size)


def read_wide(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def read_name_or_ordinal(data, offset):
    if data[offset:offset + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    return read_wide(data, offset)


def decode_dialog(data):
    style, _exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    menu, offset = read_name_or_ordinal(data, 18)
    window_class, offset = read_name_or_ordinal(data, offset)
    caption, offset = read_wide(data, offset)
    font = None
    if style & 0x40:
        point_size = struct.unpack_from("<H", data, offset)[0]
        face, offset = read_wide(data, offset + 2)
        font = (point_size, face)
    items = []
    for _ in range(count):
        offset = (offset + 3) & ~3
        item_style, _item_exstyle, ix, iy, icx, icy, item_id = \
            struct.unpack_from("<IIhhhhH", data, offset)
        item_class, offset = read_name_or_ordinal(data, offset + 18)
        text, offset = read_name_or_ordinal(data, offset)
        extra = struct.unpack_from("<H", data, offset)[0]
        offset += 2 + extra
        items.append((item_id, item_class, text, ix, iy, icx, icy, item_style))
    return {"style": style, "rect": (x, y, cx, cy), "menu": menu, "class": window_class,
            "caption": caption, "font": font, "items": items}


def decode_string_block(block_id, data):
    strings, offset = {}, 0
    for index in range(16):
        length = struct.unpack_from("<H", data, offset)[0]
        text = data[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
        offset += 2 + 2 * length
        if length:
            strings[(block_id - 1) * 16 + index] = text
    return strings


def check(module, arch):
    failures = []
    resources = Resources(module)

    def single(type_key, name_key):
        languages = resources.entries.get((type_key, name_key), {})
        if list(languages) != [ENGLISH_US]:
            failures.append(f"{type_key}/{name_key}: languages {[hex(l) for l in languages]}, "
                            f"expected exactly [0x409]")
        return languages.get(ENGLISH_US, b"")

    expected_entries = {("PIPL", 16000), (RT_DIALOG, 16000), (RT_STRING, 1062),
                        (RT_STRING, 1063), (RT_MANIFEST, 2)}
    if set(resources.entries) != expected_entries:
        failures.append(f"resources {sorted(map(str, resources.entries))}, "
                        f"expected {sorted(map(str, expected_entries))}")

    pipl = single("PIPL", 16000)
    expected = expected_pipl(arch)
    if pipl != expected:
        failures.append("PiPL differs:\n  got      " + pipl.hex() + "\n  expected " + expected.hex())

    dialog = decode_dialog(single(RT_DIALOG, 16000))
    want = {"style": DIALOG_STYLE, "rect": (0, 0, 200, 100), "menu": "", "class": "",
            "caption": "About...", "font": (8, "MS Sans Serif"), "items": DIALOG_ITEMS}
    for field, value in want.items():
        if dialog[field] != value:
            failures.append(f"dialog {field}: {dialog[field]!r}, expected {value!r}")

    strings = {}
    for block in (1062, 1063):
        strings.update(decode_string_block(block, single(RT_STRING, block)))
    if strings != STRINGS:
        failures.append(f"strings {strings!r}, expected {STRINGS!r}")

    manifest = single(RT_MANIFEST, 2)
    try:
        root = ElementTree.fromstring(manifest)
        level = root.find(".//{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel")
        if level is None or level.get("level") != "asInvoker" or level.get("uiAccess") != "false":
            failures.append(f"manifest execution level {None if level is None else level.attrib}")
    except ElementTree.ParseError as error:
        failures.append(f"manifest is not XML: {error}")

    for failure in failures:
        print(f"{module}: {failure}")
    if not failures:
        print(f"{module}: PiPL ({len(pipl)} bytes, {arch}), dialog, {len(strings)} strings "
              f"and manifest as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in ENTRY_KEYS:
        sys.exit(__doc__)
    sys.exit(check(sys.argv[1], sys.argv[2]))
