#!/usr/bin/env python3
"""Keeps the folders of src/ in layers: a file may include headers of its own folder and of the
folders below it, never of a folder above it or beside it. Prints each offending include as
file:line and fails.

    check_include_layers.py SRC_DIR             checks the tree
    check_include_layers.py --self-test SRC_DIR  checks that a planted upward include is caught
"""
import pathlib
import re
import shutil
import sys
import tempfile

# The folders of src/, bottom first. Folders on one rung stand side by side and use neither
# each other nor anything above them.
LAYERS = [
    ["platform"],  # the thin layer over the operating system
    ["run"],  # what every step of a run shares: the run log, its texts, the run settings
    ["aspectlist"],
    ["order", "report"],
    ["driver"],  # the entry point; nothing includes it
]

RUNG = {folder: rung for rung, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = {".h", ".cpp", ".in"}


def violations(src):
    """Each include that reaches up or sideways, or a folder that no rung names."""
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(src)
        folder = relative.parts[0] if len(relative.parts) > 1 else None
        if folder is None:
            continue
        if folder not in RUNG:
            found.append(f"{relative}: the folder {folder}/ stands on no rung of LAYERS")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), start=1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = match.group(1).split("/")[0]
            if target == folder:
                continue
            if target not in RUNG:
                found.append(f"{relative}:{number}: includes {match.group(1)} from a folder "
                             f"that stands on no rung")
            elif RUNG[target] >= RUNG[folder]:
                where = "beside" if RUNG[target] == RUNG[folder] else "above"
                found.append(f"{relative}:{number}: includes {match.group(1)}, and {target}/ "
                             f"stands {where} {folder}/")
    return found


def self_test(src):
    """A copy of the tree with one upward include planted must fail the check."""
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / "src"
        shutil.copytree(src, copy)
        planted = copy / "platform" / "planted.h"
        planted.write_text('#pragma once\n#include "driver/run.h"\n')
        found = violations(copy)
        expected = "platform/planted.h:2: includes driver/run.h"
        if not any(line.startswith(expected) for line in found):
            print(f"FAILED: the planted include was not caught; found {found}")
            return 1
        print(f"caught, as it must be: {expected}")
        return 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--self-test":
        return self_test(pathlib.Path(argv[2]))
    if len(argv) != 2:
        print(__doc__)
        return 2
    found = violations(pathlib.Path(argv[1]))
    for line in found:
        print(line)
    if found:
        print(f"FAILED: {len(found)} include(s) break the layers")
        return 1
    print("every include of src/ points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
