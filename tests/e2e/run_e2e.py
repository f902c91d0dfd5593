#!/usr/bin/env python3
"""Runs end-to-end cases of Korvo: each case runs the real binary in a fresh directory and
compares the files it leaves with the expected bytes.

A case is a folder under cases/:
  case.json   {"args": [...], "exit": N, "platforms": ["linux", "windows"], "setup": [...]}
              args and the texts of setup steps are read as Latin-1, so "\\u00b0" is the byte 0xB0
              and Windows-1251 bytes can be written the same way. "{CWD}" in an argument stands
              for the run's current directory as the program sees it.
  tree/       copied into the fresh directory before the run (optional)
  expected/   every file here must exist after the run with exactly these bytes; "{CWD}" stands
              for the current directory, and in Korvo.log each '/' for the platform's separator
  case.json "absent": paths that must not exist after the run

Setup steps, run in order after the tree is copied:
  {"mkdir": "path"}
  {"symlink": {"path": "link", "target": "/dev/full"}}        (POSIX only)
  {"write": {"path": "p", "text": "...", "repeat": N}}         text repeated N times (default 1)
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


def run_setup(steps, run_dir):
    for step in steps:
        if "mkdir" in step:
            os.makedirs(os.path.join(run_dir, step["mkdir"]), exist_ok=True)
        elif "symlink" in step:
            link = os.path.join(run_dir, step["symlink"]["path"])
            os.makedirs(os.path.dirname(link), exist_ok=True)
            os.symlink(step["symlink"]["target"], link)
        elif "write" in step:
            spec = step["write"]
            path = os.path.join(run_dir, spec["path"])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(spec["text"].encode(LATIN1) * spec.get("repeat", 1))
        else:
            raise ValueError(f"unknown setup step {step}")


def expected_bytes(path, name, cwd_as_seen, platform):
    with open(path, "rb") as source:
        data = source.read()
    data = data.replace(b"{CWD}", cwd_as_seen.encode(LATIN1))
    if platform == "windows" and os.path.basename(name) == "Korvo.log":
        data = data.replace(b"/", b"\\")
    return data


def also_without_drive(expand_cwd):
    """Lets an expansion also put in "{CWD_NO_DRIVE}": the current directory without its drive
    letter and ':' (on POSIX the directory itself), for names relative to the drive's root."""
    def expand_both(text, cwd_as_seen):
        without_drive = cwd_as_seen[2:] if cwd_as_seen[1:2] == ":" else cwd_as_seen
        return expand_cwd(text.replace("{CWD_NO_DRIVE}", without_drive), cwd_as_seen)
    return expand_both


expand = also_without_drive(expand)


def run_program(command, run_dir, timeout):
    """Runs the program with its console output going to files: a pipe would also be held by
    the helper processes Wine leaves running for a few seconds, and the run would wait for them."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, cwd=run_dir, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=err, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(command, status, out.read(), err.read())


# The Windows runs use a locale whose code page is 1251: Wine's ANSI code page follows the locale,
# and so does the code page of the names it stores on disk. Windows-1251 bytes in names and
# arguments are then Russian letters for the program and reach the disk unchanged, so the Russian
# trees are laid out exactly as for the Linux build.
WINDOWS_LOCALE = "ru_RU.CP1251"


def use_windows_locale():
    """Makes the Windows runs use WINDOWS_LOCALE; fails when the machine lacks it."""
    environment = dict(os.environ, LC_ALL=WINDOWS_LOCALE)
    charmap = subprocess.run(["locale", "charmap"], env=environment, capture_output=True,
                             text=True).stdout.strip()
    if charmap != "CP1251":
        sys.exit(f"locale {WINDOWS_LOCALE} is missing (create it with: localedef -i ru_RU -f "
                 f"CP1251 {WINDOWS_LOCALE})")
    os.environ["LC_ALL"] = WINDOWS_LOCALE


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
    cwd_as_seen = program_view_of(real_dir, platform)
    run_setup(case.get("setup", []), real_dir)
    arguments = [expand(a, cwd_as_seen).encode(LATIN1) for a in case.get("args", [])]
    command = emulator + [korvo] + arguments
    result = run_program(command, run_dir, case.get("timeout", 120))
    failures = []
    if result.returncode != case.get("exit", 0):
        failures.append(f"exit code {result.returncode}, expected {case.get('exit', 0)}")
    if result.stdout or result.stderr:
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
    if options.platform == "windows":
        use_windows_locale()
    results = [run_case(c, os.path.abspath(options.korvo), emulator, options.platform, options.keep)
               for c in options.cases]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
