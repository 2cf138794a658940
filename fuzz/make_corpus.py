#!/usr/bin/env python3
"""Writes the kept seed corpora of the fuzz targets (fuzz/corpus/<target>/<case>) from
the cases the unit tests use. Run it again after changing a case; the files are kept in
the repository, so the fuzz runs need nothing but the build."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def settings_file():
    def basic(folder):
        return b"[General]\r\nApplicationPath=" + folder + b"\r\n"

    def keys(count):
        return b"".join(b"K%d=v\r\n" % i for i in range(count))

    def of_size(size):
        body = basic(b"Tools")
        return body + b"; " + b"c" * (size - len(body) - 4) + b"\r\n"

    cases = {
        "basic": basic(b"Apps"),
        "trailing-separator": basic(b"/opt/Lumetra/"),
        "blanks-in-value": basic(b"C:\\Program Files (x86)\\Lumetra"),
        "last-line-without-line-end": b"[General]\r\nApplicationPath=Apps",
        "line-feeds-only": b"[General]\nApplicationPath=Apps\n",
        "blanks-and-tabs": b"\t[ General ] \r\n  ApplicationPath \t=\t Apps  \t\r\n",
        "key-before-section": b"ApplicationPath=A\r\n[General]\r\n",
        "key-in-later-section": b"[General]\r\nOther=1\r\n[Other]\r\nApplicationPath=Later\r\n",
        "brackets-in-value": basic(b"C:\\Tools [2]"),
        "equals-in-value": basic(b"a=b"),
        "byte-order-mark": b"\xef\xbb\xbf" + basic(b"Apps"),
        "of-1022-bytes": of_size(1022),
        "of-1023-bytes": of_size(1023),
        "sixteenth-entry": b"[General]\r\n\r\n; comment\r\n" + keys(14) + b"\r\n"
                           b"ApplicationPath=Sixteenth\r\n",
        "seventeenth-entry": b"[General]\r\n" + keys(15) + b"ApplicationPath=Seventeenth\r\n",
        "empty-value": b"[General]\r\nApplicationPath=\r\n",
        "key-is-section": b"[General]\r\n[ApplicationPath]\r\n",
        "zero-byte": b"[General]\r\n\0" + basic(b"A"),
        "section-text-around": b"pre[ X ]post\r\n]Y[\r\nk=v\r\n",
    }
    for name, data in cases.items():
        write("fuzz_settings_file", name, data)


FORMATS = ["rgb8", "rgb16", "rgb32", "gray8", "gray16", "gray32"]


def result_import():
    def prefix(fmt, width, height, flags=0, count=0):
        return bytes([FORMATS.index(fmt), (width - 1) & 0xFF, (width - 1) >> 8,
                      height - 1, flags, count])

    def ppm(width, height, header=None, extra=b""):
        head = header or b"P6\n%d\n%d\n65535\n" % (width, height)
        return head + bytes((i * 37) & 0xFF for i in range(width * height * 6)) + extra

    def pfm(width, height, header=None):
        head = header or b"PF\n%d\n%d\n-1\n" % (width, height)
        return head + b"".join(struct.pack("<f", i / 7.0) for i in range(width * height * 3))

    cases = {
        "rgb8-2x2": prefix("rgb8", 2, 2) + ppm(2, 2),
        "rgb16-5x4": prefix("rgb16", 5, 4) + ppm(5, 4),
        "rgb32-2x1": prefix("rgb32", 2, 1) + pfm(2, 1),
        "gray8-3x2": prefix("gray8", 3, 2) + ppm(3, 2),
        "gray16-2x1": prefix("gray16", 2, 1) + ppm(2, 1),
        "gray32-3x3": prefix("gray32", 3, 3) + pfm(3, 3),
        "rgb16-1001x1-two-segments": prefix("rgb16", 1001, 1) + ppm(1001, 1),
        "gray32-1001x1-two-segments": prefix("gray32", 1001, 1) + pfm(1001, 1),
        "one-pixel-narrower": prefix("rgb8", 2, 2) + ppm(1, 2),
        "one-pixel-wider": prefix("rgb8", 2, 2) + ppm(3, 2),
        "maxval-255": prefix("rgb8", 2, 2) + ppm(2, 2, b"P6\n2\n2\n255\n"),
        "pf-for-16-bits": prefix("rgb16", 2, 2) + pfm(2, 2),
        "p6-for-32-bits": prefix("rgb32", 2, 2) + ppm(2, 2),
        "truncated-last-row": prefix("rgb8", 2, 2) + ppm(2, 2)[:-1],
        "longer-than-raster": prefix("rgb16", 2, 2) + ppm(2, 2, extra=b"trailing"),
        "crlf-header": prefix("rgb16", 2, 1) + ppm(2, 1, b"P6\r\n2\r\n1\r\n65535\r\n"),
        "size-on-one-line": prefix("rgb16", 2, 1) + ppm(2, 1, b"P6\n2 1\n65535\n"),
        "comment-line": prefix("rgb16", 2, 1) + ppm(2, 1, b"P6\n# c\n2\n1\n65535\n"),
        "scale-minus-1.0": prefix("rgb32", 2, 1) + pfm(2, 1, b"PF\n2\n1\n-1.0\n"),
        "scale-plus-1.0": prefix("rgb32", 2, 1) + pfm(2, 1, b"PF\n2\n1\n1.0\n"),
        "token-of-32": prefix("rgb16", 2, 1) + ppm(2, 1, b"P6\n" + b"0" * 31 + b"2\n1\n65535\n"),
        "token-of-33": prefix("rgb16", 2, 1) + b"P6\n" + b"0" * 33,
        "negative-width": prefix("rgb16", 2, 1) + ppm(2, 1, b"P6\n-2\n1\n65535\n"),
        "ends-in-header": prefix("rgb16", 2, 1) + b"P6\n2\n1",
        "huge-width": prefix("rgb16", 2, 1) + b"P6\n99999999999\n1\n65535\n",
        "coordinates-16": prefix("rgb16", 3, 2, flags=1) + ppm(3, 2),
        "cancel-after-2": prefix("rgb16", 2, 3, flags=2, count=2) + ppm(2, 3),
        "host-fails-3": prefix("gray16", 2, 3, flags=4, count=3) + ppm(2, 3),
        "alpha-plane": prefix("rgb8", 2, 2, flags=8) + ppm(2, 2),
        "narrow-row": prefix("rgb8", 2, 2, flags=16) + ppm(2, 2),
    }
    for name, data in cases.items():
        write("fuzz_result_import", name, data)


def job_document():
    cases = {
        "plain": b"Temp",
        "blanks": b"Ann Lee/Local Temp",
        "nested": b"a/b/c/",
        "ampersand-and-brackets": b"R&D <new>",
        "quotes": b"it's \"here\"",
        "utf-8": "Zo\u00eb/\u65e5\u672c".encode("utf-8"),
        "latin-1": b"Zo\xeb",
        "tab": b"a\tb",
        "carriage-return": b"a\rb",
        "line-feed": b"a\nb",
        "control-byte": b"a\x01b",
        "long": b"x" * 200,
        "just-too-long": b"y" * 230,
        "brackets-and-equals": b"Tools [2] a=b",
    }
    for name, data in cases.items():
        write("fuzz_job_document", name, data)


if __name__ == "__main__":
    settings_file()
    result_import()
    job_document()
    sys.exit(0)
