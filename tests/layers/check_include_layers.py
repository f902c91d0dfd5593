#!/usr/bin/env python3
"""Keeps the folders of src/ in layers: a file may include headers of its own folder and of the
folders below it, never of a folder above it or beside it. Only the folders that own files open
them, and the orders write no log line. Prints each offending line as file:line and fails.

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
    ["base"],  # what every step of a run shares: the run log, its texts, the run settings
    ["aspectlist"],  # the model: entries, their texts and orders, name lists
    ["inputs", "order", "report"],  # the three input files; the orders; the page
    ["driver"],  # the entry point; nothing includes it
]

# Only these folders open files; the rest are handed open streams.
OPENS_FILES = {"platform", "inputs"}
OPENING = re.compile(r"\bOpenForReading\(|\bfopen\(|\.open\(")
# The orders work on the model alone: they neither read files nor write the log.
WRITES_NO_LOG = {"order"}
RUN_LOG_HEADER = "base/run_log.h"

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
            if folder not in OPENS_FILES and OPENING.search(line):
                found.append(f"{relative}:{number}: opens a file, which only "
                             f"{' and '.join(sorted(OPENS_FILES))}/ do")
            match = INCLUDE.match(line)
            if match and folder in WRITES_NO_LOG and match.group(1) == RUN_LOG_HEADER:
                found.append(f"{relative}:{number}: includes the run log, which {folder}/ "
                             f"never writes")
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


# Planted lines, each of which the check must catch, and the start of the report it gives.
PLANTED = [
    ("platform/planted.h", '#include "driver/run.h"', "platform/planted.h:2: includes driver/run.h"),
    ("order/planted.cpp", 'void F(std::ifstream& s) { s.open("x"); }',
     "order/planted.cpp:2: opens a file"),
    ("report/planted.cpp", 'void F() { fopen("x", "r"); }', "report/planted.cpp:2: opens a file"),
    ("order/planted.h", '#include "base/run_log.h"', "order/planted.h:2: includes the run log"),
]


def self_test(src):
    """A copy of the tree with one offending line planted must fail the check, for each kind."""
    failed = 0
    for path, line, expected in PLANTED:
        with tempfile.TemporaryDirectory() as scratch:
            copy = pathlib.Path(scratch) / "src"
            shutil.copytree(src, copy)
            (copy / path).write_text(f"#pragma once\n{line}\n")
            found = violations(copy)
            if any(report.startswith(expected) for report in found):
                print(f"caught, as it must be: {expected}")
            else:
                print(f"FAILED: {path} was not caught; found {found}")
                failed = 1
    return failed


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
    print("every include of src/ points down, and only inputs/ and platform/ open files")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
