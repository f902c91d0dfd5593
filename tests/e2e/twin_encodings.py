#!/usr/bin/env python3
"""Runs Korvo on working trees as they are and on their twins whose text files are written as
people write them today, and checks that the twins give the same result.

A twin has every text file of the tree re-encoded from the run's code page (Windows-1251 with the
Russian marker, Windows-1252 without) as UTF-8, UTF-8 with a byte-order mark, UTF-8 with LF line
ends, UTF-16 little-endian or UTF-16 big-endian (each with its mark), and on Linux also as UTF-8
with the Russian aspect-types files renamed to the UTF-8 spelling of their names. The pages (with
-g the grid page too) must be byte-identical and the logs identical apart from the lines that
tell how a file was read ("Read <N> lines of <file> as UTF-8", "Read <file> as UTF-16"). A file
that cannot be re-encoded without changing its meaning stays as it is: one with a byte the code
page leaves undefined, one that starts like a byte-order mark, or one with a line that is
already valid UTF-8.

The trees are every end-to-end case tree with non-ASCII text (cases that run in a subfolder are
left out) and random trees drawn as compare_with_model.py draws them (a fixed seed). With
--check-trees it instead shows that no code-page text in the repository's trees reads as UTF-8.

  python3 tests/e2e/twin_encodings.py --korvo build/debug/src/korvo tests/e2e/cases/*
"""
import argparse
import json
import os
import random
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare_with_model  # noqa: E402
import run_e2e  # noqa: E402

UTF8_MARK = b"\xef\xbb\xbf"
UTF16_MARKS = (b"\xff\xfe", b"\xfe\xff")
VARIANTS = {
    "UTF-8": lambda text: text.encode("utf-8"),
    "UTF-8 with a mark": lambda text: UTF8_MARK + text.encode("utf-8"),
    "UTF-8 with LF": lambda text: text.replace("\r\n", "\n").encode("utf-8"),
    "UTF-16LE": lambda text: b"\xff\xfe" + text.encode("utf-16-le"),
    "UTF-16BE": lambda text: b"\xfe\xff" + text.encode("utf-16-be"),
}
# On Linux a twin also has the Russian aspect-types files under the UTF-8 spelling of their names,
# as unzip leaves them; the log then names that spelling, which the comparison maps back.
RUSSIAN_TYPES_NAMES = [b"\xec\xe1\xd4\xe1\xbd.asp", "Транзит.asp".encode("cp1251")]
UTF8_NAMES_VARIANT = "UTF-8, Russian aspect-types names in UTF-8"


def utf8_spelling(name):
    return name.decode("cp1251").encode("utf-8")


def code_page_names(log):
    """The log with the Russian aspect-types names in their Windows-1251 spelling."""
    for types_name in RUSSIAN_TYPES_NAMES:
        log = log.replace(utf8_spelling(types_name), types_name)
    return log


HOW_READ = re.compile(rb"^Read (\d+ lines of .* as UTF-8|.* as UTF-16)\r?$")


def lines_read_as_utf8(data):
    """The lines of code-page bytes that a reader would take for UTF-8."""
    found = []
    for line in data.split(b"\n"):
        if any(byte >= 0x80 for byte in line):
            try:
                line.decode("utf-8")
                found.append(line)
            except UnicodeDecodeError:
                pass
    return found


def code_page_text(data, code_page):
    """The text of a code-page file, or None when re-encoding it could change its meaning."""
    if data.startswith(UTF8_MARK) or data[:2] in UTF16_MARKS or lines_read_as_utf8(data):
        return None
    try:
        return data.decode(code_page)
    except UnicodeDecodeError:
        return None


def text_files(directory):
    """The files a run may read as text: not the log, nor an existing grid page, which the run
    only looks at for its title."""
    for root, _, files in os.walk(directory):
        for name in files:
            path = os.path.join(root, name)
            if (os.path.isfile(path) and not os.path.islink(path) and name != b"Korvo.log"
                    and not name.endswith(b"-grid.html")):
                yield path


def code_page_of(directory):
    russian = os.path.isfile(os.path.join(directory, b"Config", b"RUSSIAN.ini"))
    return "cp1251" if russian else "cp1252"


def re_encode(directory, variant):
    """Re-encodes the tree's files in place; the number of files that changed."""
    code_page = code_page_of(directory)
    changed = 0
    if variant == UTF8_NAMES_VARIANT:
        for path in list(text_files(directory)):
            folder, name = os.path.split(path)
            utf8_path = os.path.join(folder, utf8_spelling(name))
            if name in RUSSIAN_TYPES_NAMES and not os.path.exists(utf8_path):
                os.rename(path, utf8_path)
                changed += 1
        variant = "UTF-8"
    for path in text_files(directory):
        with open(path, "rb") as source:
            data = source.read()
        text = code_page_text(data, code_page)
        if text is None:
            continue
        new = VARIANTS[variant](text)
        if new != data:
            changed += 1
            with open(path, "wb") as out:
                out.write(new)
    return changed


def has_non_ascii(directory):
    for path in text_files(directory):
        with open(path, "rb") as source:
            if any(byte >= 0x80 for byte in source.read()):
                return True
    return False


def pages_of(log):
    """The names of the page and of the grid page that the log says were opened, but for one
    refused as an input file: what stands there is that file, re-encoded in a twin."""
    lines = log.split(b"\r\n")
    prefixes = (b"Using output: ", b"Using grid output: ")
    refused = [line for line in lines if line.endswith(b" is an input file")]
    return [name for name in (line.split(b": ", 1)[1] for line in lines if line.startswith(prefixes))
            if b"Output file: " + name + b" is an input file" not in refused]


class Runner:
    def __init__(self, korvo, emulator, platform):
        self.korvo = korvo
        self.emulator = emulator
        self.platform = platform

    def run(self, lay_out, arguments):
        """Lays out a fresh tree with lay_out(real_dir, cwd_as_seen), runs the program in it and
        returns (folder, real_dir, cwd_as_seen as bytes, exit code, log)."""
        top = tempfile.mkdtemp(prefix="korvo-twin-")
        real_dir = os.path.join(top, "real")
        cwd_as_seen = run_e2e.program_view_of(real_dir, self.platform)
        lay_out(real_dir, cwd_as_seen)
        command = self.emulator + [self.korvo] + arguments(cwd_as_seen)
        result = run_e2e.run_program(command, real_dir, 120)
        log_path = os.path.join(real_dir, "Korvo.log")
        log = b""
        if os.path.isfile(log_path) and not os.path.islink(log_path):  # a link is not the log
            with open(log_path, "rb") as source:
                log = source.read()
        return top, real_dir, cwd_as_seen.encode("latin-1"), result.returncode, log

    def page_bytes(self, real_dir, cwd_as_seen, log):
        """The bytes of each page the log names (None for one that is not there)."""
        pages = []
        for page in pages_of(log):
            relative = page[len(cwd_as_seen) + 1:]
            if self.platform == "windows":
                relative = relative.replace(b"\\", b"/")
            path = os.path.join(os.fsencode(real_dir), relative)
            pages.append(None)
            if os.path.isfile(path):
                with open(path, "rb") as source:
                    pages[-1] = source.read()
        return pages


def compare_twins(runner, name, lay_out, arguments, variants):
    """Runs the tree and its twins; a list of problems, and the number of files re-encoded."""
    problems = []
    re_encoded = []
    logged_reading = 0
    top, real_dir, seen, status, log = runner.run(lay_out, arguments)
    page = runner.page_bytes(real_dir, seen, log)
    log = b"\n".join(line for line in code_page_names(log.replace(seen, b"{CWD}")).split(b"\n")
                     if not HOW_READ.match(line))
    shutil.rmtree(top, ignore_errors=True)
    for variant in variants:
        def lay_out_twin(directory, cwd_as_seen, variant=variant):
            lay_out(directory, cwd_as_seen)
            re_encoded.append(re_encode(os.fsencode(directory), variant))

        twin_top, twin_dir, twin_seen, twin_status, twin_log = runner.run(lay_out_twin, arguments)
        twin_page = runner.page_bytes(twin_dir, twin_seen, twin_log)
        twin_lines = code_page_names(twin_log.replace(twin_seen, b"{CWD}")).split(b"\n")
        logged_reading += any(HOW_READ.match(line) for line in twin_lines)
        kept = b"\n".join(line for line in twin_lines if not HOW_READ.match(line))
        failures = []
        if twin_status != status:
            failures.append(f"exit code {twin_status}, as it is {status}")
        if kept != log:
            failures.append("the logs differ by more than how the files were read:\n    "
                            + run_e2e.describe_difference(log, kept))
        if twin_page != page:
            failures.append("the pages differ")
        if failures:
            problems.append(f"{name}, {variant}: " + "; ".join(failures)
                            + f" (twin folder kept: {twin_top})")
        else:
            shutil.rmtree(twin_top, ignore_errors=True)
    return problems, sum(re_encoded), logged_reading


def case_trees(case_dirs, platform):
    """(name, lay_out, arguments) of each case tree that holds non-ASCII text."""
    for case_dir in case_dirs:
        with open(os.path.join(case_dir, "case.json"), encoding="utf-8") as source:
            case = json.load(source)
        if platform not in case.get("platforms", ["linux", "windows"]) or "cwd" in case:
            continue
        if run_e2e.split_deep_cwd(case.get("setup", []))[0] is not None:
            continue

        def lay_out(directory, cwd_as_seen, case_dir=case_dir, case=case):
            run_e2e.lay_out_case(case_dir, case, directory, cwd_as_seen)

        def arguments(cwd_as_seen, case=case):
            return [run_e2e.program_argument(a, cwd_as_seen, platform)
                    for a in case.get("args", [])]

        probe = tempfile.mkdtemp(prefix="korvo-twin-probe-")
        try:
            lay_out(os.path.join(probe, "real"), run_e2e.program_view_of(probe, platform))
            if not has_non_ascii(os.fsencode(os.path.join(probe, "real"))):
                continue
        finally:
            shutil.rmtree(probe, ignore_errors=True)
        yield os.path.basename(case_dir), lay_out, arguments


def random_trees(seed, count):
    rng = random.Random(seed)
    for number in range(count):
        draw = compare_with_model.Draw(rng)
        files = draw.tree()
        drawn_arguments = draw.arguments()

        def lay_out(directory, cwd_as_seen, files=files):
            os.makedirs(directory)
            compare_with_model.lay_out(os.fsencode(directory), files)

        yield f"random tree {number}", lay_out, lambda _, a=drawn_arguments: list(a)


def check_trees(roots):
    """Every line of every file below the roots that holds a byte of 0x80 or more is invalid
    UTF-8, so no text written in a code page changes its meaning."""
    lines = 0
    found = []
    for root in roots:
        for path in text_files(os.fsencode(root)):
            with open(path, "rb") as source:
                data = source.read()
            lines += sum(1 for line in data.split(b"\n") if any(b >= 0x80 for b in line))
            found += [(path, line) for line in lines_read_as_utf8(data)]
    for path, line in found:
        print(f"{path!r}: {line!r} reads as UTF-8")
    print(f"{lines} code-page lines with bytes of 0x80 or more, {len(found)} of them valid UTF-8")
    return not found and lines > 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", help="the binary under test")
    parser.add_argument("--emulator", default="", help="command in front of the binary (wine)")
    parser.add_argument("--platform", choices=["linux", "windows"], default="linux")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--random-trees", type=int, default=40)
    parser.add_argument("--one-variant-each", action="store_true",
                        help="run each tree with one twin only, taking the variants in turn")
    parser.add_argument("--check-trees", action="store_true",
                        help="only check that the given trees hold no line that reads as UTF-8")
    parser.add_argument("trees", nargs="*", help="case folders (or, with --check-trees, trees)")
    options = parser.parse_args()
    if options.check_trees:
        return 0 if check_trees(options.trees) else 1
    if options.platform == "windows":
        run_e2e.use_windows_locale()
    emulator = options.emulator.split() if options.emulator else []
    runner = Runner(os.path.abspath(options.korvo), emulator, options.platform)
    trees = list(case_trees(sorted(options.trees), options.platform))
    trees += list(random_trees(options.seed, options.random_trees))
    names = list(VARIANTS) + ([UTF8_NAMES_VARIANT] if options.platform == "linux" else [])
    problems = []
    re_encoded = 0
    logged_reading = 0
    for index, (name, lay_out, arguments) in enumerate(trees):
        variants = [names[index % len(names)]] if options.one_variant_each else names
        tree_problems, tree_files, tree_logged = compare_twins(runner, name, lay_out, arguments,
                                                               variants)
        problems += tree_problems
        re_encoded += tree_files
        logged_reading += tree_logged
    for problem in problems:
        print(problem)
    print(f"{len(trees)} trees, {re_encoded} files re-encoded in their twins, {logged_reading} "
          f"twins logged how a file was read, {len(problems)} twins differ")
    # A run where no twin differs from its tree, or none logged a reading, has tested nothing.
    return 1 if problems or not re_encoded or not logged_reading else 0


if __name__ == "__main__":
    sys.exit(main())
