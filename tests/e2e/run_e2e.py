#!/usr/bin/env python3
"""Runs end-to-end cases of Korvo: each case runs the real binary in a fresh directory and
compares the files it leaves with the expected bytes.

A case is a folder under cases/:
  case.json   {"args": [...], "exit": N, "platforms": ["linux", "windows"], "setup": [...]}
              args and the texts and paths of setup steps are read as Latin-1, so "\\u00b0" is
              the byte 0xB0 and Windows-1251 bytes can be written the same way. "{CWD}" in an argument stands
              for the run's current directory as the program sees it.
  tree/       copied into the fresh directory before the run (optional)
  expected/   every file here must exist after the run with exactly these bytes; "{CWD}" stands
              for the current directory, and in Korvo.log each '/' for the platform's separator
  case.json "absent": paths that must not exist after the run

Setup steps, run in order after the tree is copied:
  {"mkdir": "path"}
  {"symlink": {"path": "link", "target": "/dev/full"}}        (POSIX only)
  {"write": {"path": "p", "text": "...", "repeat": N}}         text repeated N times (default 1)
  {"deep_cwd": N}   the run moves to a new directory nested below the run directory whose
                    absolute name, as the program sees it, is exactly N bytes long; what the run
                    directory held moves along, and later steps, the run, expected/ and "absent"
                    all refer to it (for tests of names at the length limit)
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

LATIN1 = "latin-1"


def program_view_of(directory, platform):
    """The current directory as the program under test reports it."""
    real = os.path.realpath(directory)
    if platform == "windows":
        return "Z:" + real.replace("/", "\\")
    return real


def expand(text, cwd_as_seen):
    return text.replace("{CWD}", cwd_as_seen)


def make_deep_directory(run_dir, length, platform):
    """Nests directories below run_dir until the program sees a name of `length` bytes; moves
    run_dir's entries into the deepest one and returns its path relative to run_dir."""
    remaining = length - len(program_view_of(run_dir, platform))
    if remaining < 2:
        raise ValueError(f"the run directory is already longer than {length - 1} bytes")
    segments = []
    while remaining > 201:  # one '/' and at most 200 bytes per segment, below NAME_MAX
        segments.append("d" * 100)
        remaining -= 101
    segments.append("d" * (remaining - 1))
    entries = os.listdir(run_dir)
    relative = os.path.join(*segments)
    deep = os.path.join(run_dir, relative)
    os.makedirs(deep)
    for entry in entries:
        shutil.move(os.path.join(run_dir, entry), os.path.join(deep, entry))
    assert len(program_view_of(deep, platform)) == length
    return relative


def local_path(run_dir, relative):
    """A path below run_dir whose bytes are those of `relative` read as Latin-1."""
    return os.path.join(run_dir.encode(LATIN1), relative.encode(LATIN1))


def run_setup(steps, top_dir, platform="linux"):
    """Runs the setup steps in top_dir; returns the run's directory relative to top_dir (""
    unless a deep_cwd step moved it)."""
    moved_to = ""
    for step in steps:
        run_dir = os.path.join(top_dir, moved_to)
        if "deep_cwd" in step:
            moved_to = os.path.join(moved_to, make_deep_directory(run_dir, step["deep_cwd"],
                                                                  platform))
        elif "mkdir" in step:
            os.makedirs(local_path(run_dir, step["mkdir"]), exist_ok=True)
        elif "symlink" in step:
            link = local_path(run_dir, step["symlink"]["path"])
            os.makedirs(os.path.dirname(link), exist_ok=True)
            os.symlink(step["symlink"]["target"], link)
        elif "write" in step:
            spec = step["write"]
            path = local_path(run_dir, spec["path"])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(spec["text"].encode(LATIN1) * spec.get("repeat", 1))
        else:
            raise ValueError(f"unknown setup step {step}")
    return moved_to


def expected_bytes(path, name, cwd_as_seen, platform):
    with open(path, "rb") as source:
        data = source.read()
    data = data.replace(b"{CWD}", cwd_as_seen.encode(LATIN1))
    if platform == "windows" and os.path.basename(name) == "Korvo.log":
        data = data.replace(b"/", b"\\")
    return data


def describe_difference(expected, actual):
    for index, (want, got) in enumerate(zip(expected, actual)):
        if want != got:
            start = max(0, index - 40)
            return (f"first difference at byte {index}:\n  expected {expected[start:index + 40]!r}\n"
                    f"  actual   {actual[start:index + 40]!r}")
    return f"lengths differ: expected {len(expected)}, actual {len(actual)}"


def run_case(case_dir, korvo, emulator, platform, keep):
    with open(os.path.join(case_dir, "case.json"), encoding="utf-8") as source:
        case = json.load(source)
    if platform not in case.get("platforms", ["linux", "windows"]):
        print(f"skipped on {platform}: {os.path.basename(case_dir)}")
        return True
    top = tempfile.mkdtemp(prefix="korvo-e2e-")
    real_dir = os.path.join(top, "real")
    tree = os.path.join(case_dir, "tree")
    if os.path.isdir(tree):
        shutil.copytree(tree, real_dir, symlinks=True)
    else:
        os.makedirs(real_dir)
    # The run starts through a symbolic link, so that the apparent and the real current
    # directory differ, as they may for a user.
    run_dir = os.path.join(top, "link")
    os.symlink(real_dir, run_dir)
    moved_to = run_setup(case.get("setup", []), real_dir, platform)
    if moved_to:
        real_dir, run_dir = os.path.join(real_dir, moved_to), os.path.join(run_dir, moved_to)
    cwd_as_seen = program_view_of(real_dir, platform)
    arguments = [expand(a, cwd_as_seen).encode(LATIN1) for a in case.get("args", [])]
    command = emulator + [korvo] + arguments
    result = subprocess.run(command, cwd=run_dir, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=case.get("timeout", 120))
    failures = []
    if result.returncode != case.get("exit", 0):
        failures.append(f"exit code {result.returncode}, expected {case.get('exit', 0)}")
    if platform == "linux" and (result.stdout or result.stderr):
        failures.append(f"console output: {result.stdout!r} {result.stderr!r}")
    expected_root = os.path.join(case_dir, "expected")
    for root, _, files in os.walk(expected_root):
        for name in files:
            relative = os.path.relpath(os.path.join(root, name), expected_root)
            want = expected_bytes(os.path.join(root, name), relative, cwd_as_seen, platform)
            actual_path = os.path.join(real_dir, relative)
            if not os.path.isfile(actual_path):
                failures.append(f"{relative}: missing")
                continue
            with open(actual_path, "rb") as source:
                got = source.read()
            if got != want:
                failures.append(f"{relative}: {describe_difference(want, got)}")
    for relative in case.get("absent", []):
        if os.path.lexists(os.path.join(real_dir, relative)):
            failures.append(f"{relative}: exists, expected absent")
    name = os.path.basename(case_dir)
    if failures:
        print(f"FAILED {name} (run directory kept: {top})")
        for failure in failures:
            print("  " + failure)
        return False
    if not keep:
        shutil.rmtree(top, ignore_errors=True)
    print(f"passed {name}")
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the binary under test")
    parser.add_argument("--emulator", default="", help="command in front of the binary (wine)")
    parser.add_argument("--platform", choices=["linux", "windows"], default="linux")
    parser.add_argument("--keep", action="store_true", help="keep the run directories")
    parser.add_argument("cases", nargs="+", help="case folders")
    options = parser.parse_args()
    emulator = options.emulator.split() if options.emulator else []
    results = [run_case(c, os.path.abspath(options.korvo), emulator, options.platform, options.keep)
               for c in options.cases]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
