#!/usr/bin/env python3
"""Exported exchange images as real readers see them, and a write that fails.

Runs the test host with the exchange test module on documents made here, then has
netpbm (pamfile, pamtopnm) and ImageMagick (identify) read every exported P6 file and
compares their findings with values computed here. Finally the export runs under a file
size limit (SIGXFSZ ignored, so the write fails instead of killing the host) and must
report -20 and leave on disk exactly what was written.

Usage: check_exported_files.py <bin folder>
"""
import os
import resource
import signal
import struct
import subprocess
import sys
import tempfile

BIN = sys.argv[1]
HOST = os.path.join(BIN, "filterhost")
MODULE = os.path.join(BIN, "LumetraExchangeTest.so")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def host_values(gray, depth, width, height):
    """Host sample values of the test document, top row first."""
    channels = 1 if gray else 3
    count = width * height * channels
    if depth == 8:
        return [(i * 37 + i // 7) % 256 for i in range(count)]
    return [(i * 7919) % 32769 for i in range(count)]


def input_file(gray, depth, width, height, values):
    """PGM/PPM; 16-bit values with maxval 32768 reach the host unchanged."""
    magic = b"P5" if gray else b"P6"
    maxval = b"255" if depth == 8 else b"32768"
    header = magic + b"\n%d %d\n" % (width, height) + maxval + b"\n"
    if depth == 8:
        return header + bytes(values)
    return header + b"".join(struct.pack(">H", v) for v in values)


def exchange_sample(depth, value):
    if depth == 8:
        return value * 257
    product = struct.unpack("f", struct.pack("f", value * (65535 / 32768)))[0]
    return int(min(product, 65535.0))


def expected_samples(gray, depth, values):
    samples = []
    step = 1 if gray else 3
    for i in range(0, len(values), step):
        pixel = values[i:i + step]
        for c in range(3):
            samples.append(exchange_sample(depth, pixel[0 if gray else c]))
    return samples


def run_export(folder, document, limit=None):
    env = dict(os.environ, TMPDIR=folder, LUMETRA_TEST_STEPS="export")

    def limited():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    return subprocess.run([HOST, "--plugin", MODULE, "--input", document], env=env,
                          capture_output=True, text=True,
                          preexec_fn=limited if limit is not None else None)


def readers_agree(folder, name, gray, depth, width, height):
    values = host_values(gray, depth, width, height)
    document = os.path.join(folder, name + ".input")
    with open(document, "wb") as f:
        f.write(input_file(gray, depth, width, height, values))
    run = run_export(folder, document)
    check("filterhost: start result 0" in run.stdout, name + ": export failed: " + run.stdout)
    exported = os.path.join(folder, "lumetrafilter", "Lumetra.ppm")

    described = subprocess.run(["pamfile", exported], capture_output=True, text=True).stdout
    check("PPM raw, %d by %d" % (width, height) in described and "maxval 65535" in described,
          name + ": pamfile says " + described.strip())

    plain = subprocess.run(["pamtopnm", "-plain", exported], capture_output=True,
                           text=True).stdout.split()
    check(plain[:4] == ["P3", str(width), str(height), "65535"],
          name + ": pamtopnm header " + " ".join(plain[:4]))
    check([int(v) for v in plain[4:]] == expected_samples(gray, depth, values),
          name + ": pamtopnm values differ")

    identified = subprocess.run(["identify", "-format", "%m %w %h %z", exported],
                                capture_output=True, text=True).stdout.strip()
    check(identified == "PPM %d %d 16" % (width, height),
          name + ": identify says " + identified)


def failing_write(folder):
    width, height = 1001, 4
    values = host_values(False, 16, width, height)
    document = os.path.join(folder, "full.input")
    with open(document, "wb") as f:
        f.write(input_file(False, 16, width, height, values))
    limit = 10000
    run = run_export(folder, document, limit)
    check("filterhost: start result -20" in run.stdout,
          "a write beyond the size limit: " + run.stdout + run.stderr)
    with open(os.path.join(folder, "lumetrafilter", "Lumetra.ppm"), "rb") as f:
        written = f.read()
    header = b"P6\n%d\n%d\n65535\n" % (width, height)
    raster = b"".join(struct.pack(">H", s) for s in expected_samples(False, 16, values))
    check(len(written) == limit, "%d bytes stayed, expected %d" % (len(written), limit))
    check(written == (header + raster)[:limit], "what was written before the failure changed")


def main():
    with tempfile.TemporaryDirectory(prefix="lumetra-readers-") as folder:
        for name, gray, depth in (("rgb8", False, 8), ("rgb16", False, 16),
                                  ("gray8", True, 8), ("gray16", True, 16)):
            readers_agree(folder, name, gray, depth, 1001, 3)
        failing_write(folder)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
