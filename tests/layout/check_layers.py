#!/usr/bin/env python3
"""Fails when a source file includes from a layer above its own.

The module's folders are floors of one house: a file may include its own folder and the
floors below it, never a floor above, and never a neighbour on its own floor (bridge and
exchange stand side by side and know nothing of each other).

Usage: check_layers.py SRC_DIR
"""
import pathlib
import re
import sys

# Top floor first. Folders on one line share a floor.
FLOORS = [
    ["entry"],
    ["bridge", "exchange"],
    ["convert"],
    ["core"],
    ["host"],
    ["platform"],
    ["ui"],
    ["resources"],
]
RANK = {folder: len(FLOORS) - i for i, floor in enumerate(FLOORS) for folder in floor}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.MULTILINE)


def violations(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".rc"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in RANK:
            yield f"{path}: folder '{folder}' has no floor in check_layers.py"
            continue
        for line, target in ((m.string.count("\n", 0, m.start()) + 1, m.group(1))
                             for m in INCLUDE.finditer(path.read_text(errors="replace"))):
            if target == folder:
                continue
            if target not in RANK:
                yield f"{path}:{line}: includes from '{target}', which has no floor"
            elif RANK[target] > RANK[folder]:
                yield f"{path}:{line}: '{folder}' includes from '{target}', a floor above"
            elif RANK[target] == RANK[folder]:
                yield f"{path}:{line}: '{folder}' includes from '{target}', beside it"


def main():
    src = pathlib.Path(sys.argv[1])
    found = list(violations(src))
    for problem in found:
        print(problem, file=sys.stderr)
    if found:
        return 1
    print(f"includes in {src} only go down: " + " > ".join("/".join(f) for f in FLOORS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
