#!/usr/bin/env python3
"""Checks the packages that scripts/make-packages.sh built.

The Debian package: lintian reports no error and no warning; its control fields (no dependency
beyond the C and C++ runtime); its binary hardened (relro, bindnow, stack protector) and stripped
(no symbol table, no .comment section); its files after `dpkg -x` into a scratch root (only UTF-8
names; the binary, the manual page, and under /usr/share/doc/korvo the user's part of README.md,
the licence as a machine-readable copyright file, the changelog, and the example trees byte for
byte, their Windows-1251 names turned into the UTF-8 names of the same characters); and the
installed binary converting copies of both installed example trees: exit code 0, the run log as
the program's rules give it, a page with one data row per aspect in each of the three tables
(twice per aspect in the natal planet table), and the same page as the installed binary gives on
a copy of the source tree.

The Windows zip, when given: one top folder holding Korvo.exe, HOW-TO-RUN.txt, LICENSE.txt (CR LF)
and the user's README.md; the example trees with every Windows-1251 name stored as the Unicode
name those bytes stand for and the zip's UTF-8 name flag (0x800); and, when Wine is installed,
Korvo.exe run on both trees of the zip as `unzip` unpacks it (UTF-8 names on disk) in Wine's
default locale, and the Russian one also in a Russian locale (ANSI code page 1251, which
Korvo.exe's own code page, UTF-8, overrides): in both, the Russian aspect-types file must be found
under its UTF-8 spelling and the log must name that spelling. Its pages must equal the Linux
pages.

Expectations come from the example trees and the program's rules, never from the program's
output. Prints one line per failed check and a closing count; exits 1 on any failure.
"""

import argparse
import gzip
import os
import pathlib
import re
import shutil
import subprocess
import sys
import zipfile

USAGE_LINE = b"Korvo [-1 | -2] [-a<aspect-names-file>] [<aspects-list-file>]"
RUNTIME_PACKAGES = {"libc6", "libgcc-s1", "libstdc++6"}
TRANSIT_RU = b"\xd2\xf0\xe0\xed\xe7\xe8\xf2.asp"  # the Russian word for transit, Windows-1251
DOC = "usr/share/doc/korvo"
# The blocks of README.md that the packages leave out: from a begin marker line to its end
# marker line, or to the end of the file.
SOURCE_ONLY_BLOCK = re.compile(
    rb"<!-- source tree only: begin -->\n.*?(?:<!-- source tree only: end -->\n|\Z)", re.S)
# tree, options, Russian?, natal?, aspect-types file; each tree is converted as its README says.
EXAMPLE_RUNS = [
    ("en-natal", [], False, True, b"Natal.asp"),
    ("ru-transit", ["-2"], True, False, TRANSIT_RU),
]


class Checks:
    def __init__(self):
        self.passed, self.failed = 0, 0

    def expect(self, condition, message):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {message}")
        return condition


def user_readme(source_dir):
    """README.md without its source-tree blocks, ending in one line end."""
    text = SOURCE_ONLY_BLOCK.sub(b"", (source_dir / "README.md").read_bytes())
    return text.strip() + b"\n"


def utf8_name(relative):
    """The UTF-8 name of the characters a Windows-1251 name stands for; ASCII stays as it is."""
    return relative.decode("cp1251").encode("utf-8")


def project_version(source_dir):
    text = (source_dir / "CMakeLists.txt").read_text()
    return re.search(r"project\(Korvo VERSION ([0-9.]+)", text).group(1)


def tree_files(root):
    """Every file under root, as relative names in bytes (file names are bytes here)."""
    root = os.fsencode(root)
    found = []
    for directory, _, files in os.walk(root):
        found += [os.path.relpath(os.path.join(directory, name), root) for name in files]
    return sorted(found)


def aspect_count(aspects_list):
    """Lines after the four header lines that hold the degree sign 0xB0."""
    lines = aspects_list.read_bytes().split(b"\n")[4:]
    return sum(1 for line in lines if b"\xb0" in line)


def expected_log(directory, separator, russian, aspect_types, count, version):
    """The log of a complete run, as the run's rules give it, under an absolute directory. The
    examples run clean: their files name every aspect type and planet their lists use, and no
    name of theirs begins or ends with whitespace."""
    def name(*parts):
        return separator.join([directory, *parts])
    language = b"Russian" if russian else b"English"
    types_file = name(b"aspects", aspect_types)
    lines = [
        USAGE_LINE, b"Version: " + version.encode(),
        b"Config (0=EN, 1=RU): " + (b"1" if russian else b"0"),
        b"Using input: " + name(b"Wrk", b"Aspects.txt"), b"Extracted %d aspects" % count,
        b"Using output: " + name(b"Wrk", b"Aspects.html"), b"Output tbl1, state: 0",
        b"Using aspect-type: " + types_file,
        b"Output tbl2, state: 0",
        b"Using planets: " + name(b"Language", language, b"Planets.txt"), b"Output tbl3, state: 0",
    ]
    return b"".join(line + b"\r\n" for line in lines) + b"Korvo completed OK"


def check_run(checks, label, tree, result, log, natal, count):
    checks.expect(result.returncode == 0, f"{label}: exit code {result.returncode}, expected 0")
    checks.expect(result.stdout == b"" and result.stderr == b"",
                  f"{label}: wrote to the console: {result.stdout[:200]!r} {result.stderr[:200]!r}")
    checks.expect((tree / "Korvo.log").read_bytes() == log,
                  f"{label}: Korvo.log is\n{(tree / 'Korvo.log').read_bytes()!r}\nexpected\n{log!r}")
    page = tree / "Wrk" / "Aspects.html"
    if checks.expect(page.is_file(), f"{label}: no page"):
        rows = page.read_bytes().count(b"<tr><td>")
        expected = count * (4 if natal else 3)
        checks.expect(rows == expected, f"{label}: {rows} data rows, expected {expected}")


def check_deb_fields(checks, deb, version):
    fields = subprocess.run(["dpkg-deb", "-f", deb, "Package", "Version", "Depends"],
                            capture_output=True, text=True, check=True).stdout
    values = dict(line.split(": ", 1) for line in fields.splitlines())
    checks.expect(values.get("Package") == "korvo", f"deb: Package {values.get('Package')}")
    checks.expect(values.get("Version") == version, f"deb: Version {values.get('Version')}")
    depends = {item.split()[0] for item in values.get("Depends", "").split(", ") if item}
    checks.expect("libstdc++6" in depends and depends <= RUNTIME_PACKAGES,
                  f"deb: Depends {values.get('Depends')}, expected the C and C++ runtime only")


def run_lintian(checks, deb):
    if not checks.expect(shutil.which("lintian"), "deb: lintian is not installed "
                         "(scripts/install-dependencies.sh test installs it)"):
        return
    result = subprocess.run(["lintian", "--info", deb], capture_output=True, text=True)
    findings = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
    checks.expect(result.returncode == 0 and not findings,
                  "deb: lintian reports errors or warnings (exit %d):\n%s"
                  % (result.returncode, result.stdout + result.stderr))


def check_binary(checks, program):
    """Debian's hardening and stripping, read from the ELF file."""
    def readelf(option):
        return subprocess.run(["readelf", "--wide", option, program], capture_output=True,
                              text=True, check=True).stdout
    dynamic, headers, sections = readelf("--dynamic"), readelf("--program-headers"), readelf("-S")
    checks.expect("BIND_NOW" in dynamic, "deb: korvo is not linked with -z now (bindnow)")
    checks.expect("GNU_RELRO" in headers, "deb: korvo is not linked with -z relro")
    checks.expect("__stack_chk_fail" in readelf("--dyn-syms"),
                  "deb: korvo is not built with the stack protector")
    checks.expect(".symtab" not in sections and ".comment" not in sections,
                  "deb: korvo keeps its symbol table or its .comment section")


def check_deb_files(checks, root, source_dir):
    doc = root / DOC
    checks.expect(os.access(root / "usr/bin/korvo", os.X_OK), "deb: no executable usr/bin/korvo")
    if (root / "usr/bin/korvo").is_file():
        check_binary(checks, root / "usr/bin/korvo")
    odd_names = [name for name in tree_files(root) if not is_utf8(name)]
    checks.expect(not odd_names, f"deb: names that are not UTF-8: {odd_names}")
    manual = root / "usr/share/man/man1/korvo.1.gz"
    if checks.expect(manual.is_file(), "deb: no usr/share/man/man1/korvo.1.gz"):
        page = gzip.decompress(manual.read_bytes())
        checks.expect(page == (source_dir / "docs/korvo.1").read_bytes(),
                      "deb: the manual page differs from docs/korvo.1")
        if shutil.which("groff"):
            groff = subprocess.run(["groff", "-man", "-ww", "-z"], input=page, capture_output=True)
            checks.expect(groff.returncode == 0 and groff.stderr == b"",
                          f"deb: groff warns about the manual page: {groff.stderr.decode()}")
    checks.expect(read_or_none(doc / "README.md") == user_readme(source_dir),
                  f"deb: {DOC}/README.md is not the user's part of README.md")
    for picture in readme_pictures(source_dir):
        checks.expect((doc / picture).is_file(),
                      f"deb: {DOC}/{picture}, a picture of the README, is missing")
    changelog = read_or_none(doc / "changelog.gz")
    checks.expect(changelog and gzip.decompress(changelog) ==
                  (source_dir / "packaging/changelog").read_bytes(),
                  f"deb: {DOC}/changelog.gz is not packaging/changelog")
    check_copyright(checks, read_or_none(doc / "copyright"), source_dir)
    for tree, *_ in EXAMPLE_RUNS:
        source, installed = source_dir / "examples" / tree, doc / "examples" / tree
        names = {utf8_name(n): n for n in tree_files(source)}
        checks.expect(tree_files(installed) == sorted(names),
                      f"deb: {tree} holds {tree_files(installed)}, expected {sorted(names)}")
        same = all((installed / os.fsdecode(n)).read_bytes() ==
                   (source / os.fsdecode(names[n])).read_bytes()
                   for n in names if (installed / os.fsdecode(n)).is_file())
        checks.expect(same, f"deb: a file of {tree} differs from the source tree")


def read_or_none(path):
    return path.read_bytes() if path.is_file() else None


def is_utf8(name):
    try:
        name.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def check_copyright(checks, copyright_file, source_dir):
    """A machine-readable copyright file whose Expat licence text is the one in LICENSE."""
    if not checks.expect(copyright_file, f"deb: no {DOC}/copyright"):
        return
    text = copyright_file.decode("utf-8")
    checks.expect(text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                                  "copyright-format/1.0/\n"),
                  "deb: the copyright file is not in the machine-readable format")
    checks.expect("\nFiles: *\nCopyright: 2026 The Korvo developers\nLicense: Expat\n" in text,
                  "deb: the copyright file lacks the stanza for all files")
    licence = (source_dir / "LICENSE").read_text()
    checks.expect("Copyright (c) 2026 The Korvo developers" in licence,
                  "LICENSE lacks its copyright line")
    permission = licence[licence.index("Permission is hereby granted"):].strip()
    indented = "\n".join(" " + (line or ".") for line in permission.split("\n"))
    checks.expect(text.endswith("\nLicense: Expat\n" + indented + "\n"),
                  "deb: the licence text of the copyright file is not the one in LICENSE")


def run_installed(checks, root, source_dir, work, version):
    """Runs the installed korvo on copies of the installed example trees and of the source trees;
    both must give the same page. Returns the pages."""
    pages = {}
    for tree, options, russian, natal, aspect_types in EXAMPLE_RUNS:
        tree_pages = []
        for origin, origin_dir, types_name in [
                ("installed", root / DOC / "examples", utf8_name(aspect_types)),
                ("source", source_dir / "examples", aspect_types)]:
            copy = work / "linux" / origin / tree
            shutil.copytree(origin_dir / tree, copy)
            result = subprocess.run([root / "usr/bin/korvo", *options], cwd=copy,
                                    capture_output=True)
            directory = os.fsencode(os.path.realpath(copy))
            count = aspect_count(copy / "Wrk/Aspects.txt")
            log = expected_log(directory, b"/", russian, types_name, count, version)
            check_run(checks, f"installed korvo in the {origin} {tree}", copy, result, log, natal,
                      count)
            tree_pages.append(read_or_none(copy / "Wrk/Aspects.html"))
        checks.expect(tree_pages[0] is not None and tree_pages[0] == tree_pages[1],
                      f"installed korvo: the installed {tree} gives another page than the source")
        pages[tree] = tree_pages[1]
    return pages


def readme_pictures(source_dir):
    """The pictures the user's README shows, by their names relative to it."""
    pictures = re.findall(rb"!\[[^]]*\]\((docs/[^)]+\.png)\)", user_readme(source_dir))
    return [picture.decode() for picture in pictures]


def zip_name(relative):
    """The Unicode name a Windows-1251 name stands for; ASCII names stay as they are."""
    return "/".join(part.decode("cp1251") for part in relative.split(b"/"))


def check_zip(checks, archive, source_dir, version):
    top = f"Korvo-{version}-win64/"
    entries = {info.filename: info for info in archive.infolist()}
    checks.expect(all(name.startswith(top) for name in entries), f"zip: a name outside {top}")
    checks.expect(archive.read(top + "Korvo.exe")[:2] == b"MZ", "zip: Korvo.exe is no program")
    how_to = archive.read(top + "HOW-TO-RUN.txt")
    checks.expect(b"Korvo.exe" in how_to and how_to.count(b"\n") == how_to.count(b"\r\n"),
                  "zip: HOW-TO-RUN.txt does not say how to run Korvo.exe in CR LF lines")
    checks.expect(archive.read(top + "README.md") == user_readme(source_dir),
                  "zip: README.md is not the user's part of README.md")
    for picture in readme_pictures(source_dir):
        checks.expect(top + picture in entries, f"zip: {picture}, a picture of the README, is missing")
    licence = (source_dir / "LICENSE").read_bytes().replace(b"\n", b"\r\n")
    checks.expect(archive.read(top + "LICENSE.txt") == licence,
                  "zip: LICENSE.txt is not LICENSE with CR LF line ends")
    expected = {}
    for tree, *_ in EXAMPLE_RUNS:
        for relative in tree_files(source_dir / "examples" / tree):
            name = f"{top}examples/{tree}/{zip_name(relative)}"
            expected[name] = (source_dir / "examples" / tree / os.fsdecode(relative)).read_bytes()
    shown = {n for n, info in entries.items() if n.startswith(top + "examples/") and not info.is_dir()}
    checks.expect(shown == set(expected), f"zip: example files {sorted(shown ^ set(expected))}")
    for name in shown & set(expected):
        checks.expect(archive.read(name) == expected[name], f"zip: {name} differs")
        if not name.isascii():
            checks.expect(entries[name].flag_bits & 0x800, f"zip: {name} lacks the UTF-8 flag")


def wine_environment(work, locale, locales=None):
    """Wine's default locale (C.UTF-8: ANSI code page 1252), or a locale under `locales`; the names
    on disk are UTF-8 in both."""
    environment = dict(os.environ, WINEPREFIX=str(work / "wineprefix"), WINEDEBUG="-all",
                       LC_ALL=locale)
    if locales:
        environment["LOCPATH"] = str(locales)
    return environment


def zip_runs(locales):
    """(tree, its options, Russian?, natal?, aspect-types file, locale, LOCPATH) of each run."""
    runs = [(*run, "C.UTF-8", None) for run in EXAMPLE_RUNS]
    if locales:
        runs += [(*run, "ru_RU.UTF-8", locales) for run in EXAMPLE_RUNS if run[2]]
    return runs


def run_zip_under_wine(checks, archive, work, locales, version, linux_pages):
    unpacked = work / "zip"
    subprocess.run(["unzip", "-q", archive.filename, "-d", unpacked], check=True,
                   env=dict(os.environ, LC_ALL="C.UTF-8"))
    program = unpacked / f"Korvo-{version}-win64" / "Korvo.exe"
    quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
             "stderr": subprocess.DEVNULL, "env": wine_environment(work, "C.UTF-8")}
    subprocess.run(["wineboot", "-i"], **quiet)
    server = subprocess.Popen(["wineserver", "-p"], **quiet)
    try:
        for tree, options, russian, natal, aspect_types, locale, path in zip_runs(locales):
            label = f"Korvo.exe from the zip in {tree} under {locale}"
            copy = work / "zip-runs" / locale / tree
            shutil.copytree(program.parent / "examples" / tree, copy)
            result = subprocess.run(["wine", program, *options], cwd=copy,
                                    env=wine_environment(work, locale, path),
                                    stdin=subprocess.DEVNULL, capture_output=True)
            directory = b"Z:" + os.fsencode(os.path.realpath(copy)).replace(b"/", b"\\")
            count = aspect_count(copy / "Wrk/Aspects.txt")
            # Korvo.exe gives and takes names in UTF-8: its Windows-1251 spelling of the Russian
            # name opens nothing, its UTF-8 spelling opens the file the zip named so.
            types_name = utf8_name(aspect_types)
            log = expected_log(directory, b"\\", russian, types_name, count, version)
            check_run(checks, label, copy, result, log, natal, count)
            page = copy / "Wrk/Aspects.html"
            checks.expect(page.is_file() and page.read_bytes() == linux_pages.get(tree),
                          f"{label}: the page differs from the Linux page")
    finally:
        subprocess.run(["wineserver", "-k"], **quiet)
        server.wait()


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--deb", type=pathlib.Path, required=True)
    arguments.add_argument("--zip", type=pathlib.Path)
    arguments.add_argument("--source", type=pathlib.Path, required=True)
    arguments.add_argument("--work", type=pathlib.Path, required=True)
    arguments.add_argument("--locales", type=pathlib.Path,
                           help="holds ru_RU.UTF-8, for Wine (the Russian tree also runs in it)")
    options = arguments.parse_args()

    source, work = options.source.resolve(), options.work.resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    version = project_version(source)
    checks = Checks()

    root = work / "root"
    subprocess.run(["dpkg", "-x", options.deb, root], check=True)
    run_lintian(checks, options.deb)
    check_deb_fields(checks, options.deb, version)
    check_deb_files(checks, root, source)
    linux_pages = run_installed(checks, root, source, work, version)

    if options.zip:
        with zipfile.ZipFile(options.zip) as archive:
            check_zip(checks, archive, source, version)
            if shutil.which("wine"):
                locales = options.locales.resolve() if options.locales else None
                run_zip_under_wine(checks, archive, work, locales, version, linux_pages)
            else:
                print("Korvo.exe from the zip not run: Wine is not installed")
    print(f"packages: {checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
