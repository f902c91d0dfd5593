#!/usr/bin/env python3
"""Runs Korvo and the rules model (korvo_model.py) side by side on random working trees and
compares the log, the exit code and the page byte for byte.

Each run draws a small tree from a seeded generator: an aspects list mixing well-formed, odd and
malformed aspect lines, cut lines and zero bytes, names in code pages and in UTF-8, files behind a
UTF-8 mark and files in UTF-16; texts holding '&', '<', '>' and "<!--"; lines as people write
them ("Sun - Moon", "Semi Square", "1.5°", lower-case names, a one-line title with the aspects
from line 2); aspect-types and planets files with the awkward names their rules allow (blanks at
either end among them); sometimes the Russian marker, the Russian aspect-types files under their
Windows-1251 or UTF-8 names (as an unzip gives them) or both, a '!' folder for the Russian second
attempt, an existing page or grid page or a folder in its place; a working folder named in UTF-8
(Cyrillic, Polish, Japanese) or in Windows-1251; now and then a limit on the size of the files the
run writes (the log then goes on on standard error); and a random command line, often with -g
(the grid page), now and then with --help or --version. The same seed gives the same runs, so a
failure can be repeated; its folder is kept.

  python3 tests/e2e/compare_with_model.py --korvo build/debug/src/korvo --seed 1 --runs 200
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import korvo_model  # noqa: E402
import run_e2e  # noqa: E402

RU_TRANSIT = b"aspects/" + "Транзит".encode("cp1251") + b".asp"
RU_NATAL = b"aspects/\xec\xe1\xd4\xe1\xbd.asp"
TYPE_FILES = [b"aspects/Natal.asp", b"aspects/Transit.asp", RU_TRANSIT, RU_NATAL]
# The same Russian names as an unzip of the Windows package gives them.
UTF8_SPELLING = {name: name.decode("cp1251").encode("utf-8") for name in (RU_TRANSIT, RU_NATAL)}
FOLDERS = [b"", b"", "Иван".encode("utf-8"), "Łukasz".encode("utf-8"), "東京".encode("utf-8"),
           "Карты".encode("cp1251")]
PLANET_FILES = [b"Language/English/Planets.txt", b"Language/Russian/Planets.txt"]
PLANETS = [b"Sun", b"Moon", b"sun", b"Mars", b"Venus ", b"X House", b"I House", b"", b"Sun ",
           b" Moon", b"Moon\t", b"A&B", b"Mars>", b"<!--",
           "Солнце".encode("cp1251"), "I дом".encode("cp1251"),
           "Солнце".encode("utf-8"), "Vénus €".encode("utf-8"), "Mars 😀".encode("utf-8"),
           b"Mars \xd0", b"MOON", b"North Node", b"Lilith", b'Mo"on', "Луна".encode("cp1251")]
ASPECTS = [b"Trine", b"Square", b"trine", b"Conj", b"", b"Semi Square", b"<b>Trine", b"&amp;",
           "Трин".encode("cp1251"),
           "Трин".encode("utf-8"), "Tr\u00efne".encode("utf-8"), b"Sextile", b"OPPOSITION",
           b"Biquintile", b"Semi-square", "Квинтиль".encode("cp1251"), b"Q\"&"]
NOISE = b"ab -\xb0\t'\"0123\x00\r;+"
# What may stand at a page's name before the run: another page, or a grid page under each of the
# titles that let a grid replace it.
OLD_PAGES = [b"an older page\n" * 50] + [b"<html>\n<head>\n  " + title + b"\n"
                                         for title in korvo_model.GRID_TITLES]


class Draw:
    """The random choices of one run."""

    def __init__(self, rng):
        self.rng = rng

    def orb(self):
        pieces = [str(self.rng.choice([0, 1, 2, 5, 30, 59, 99999999999])).encode() + mark
                  for mark in (b"\xb0", b"'", b'"') if self.rng.random() < 0.8]
        if self.rng.random() < 0.2:
            pieces.append(b"15")
        if self.rng.random() < 0.15:
            pieces.append(self.rng.choice([b"&", b"<i>", b" ", b"N"]))
        return b"".join(pieces) or b"\xb0"

    def aspect_line(self):
        r = self.rng.random()
        if r < 0.1:
            return bytes(self.rng.choice(NOISE) for _ in range(self.rng.randint(0, 24)))
        if r < 0.18:
            return (self.rng.choice(ASPECTS) + b" Sun-Moon " + self.orb()
                    + b" " * self.rng.randint(90, 140) + self.rng.choice([b"", b"\xb0"]))
        return (self.rng.choice(ASPECTS) + self.rng.choice([b" ", b"\t", b"  "])
                + self.rng.choice(PLANETS) + self.rng.choice([b"-", b"-", b" - "])
                + self.rng.choice(PLANETS) + self.rng.choice([b" ", b"", b"\t"])
                + self.rng.choice([b"", b"+", b"-", b" ", b" +", b"\t", b".", b" x", b"\xff",
                                   b" 1.", b"<", b"&"])
                + self.orb())

    def name_line(self, with_semicolon):
        name = self.rng.choice(ASPECTS + PLANETS + [b"x" * 130, b" lead", b"\x00hidden"])
        if with_semicolon and self.rng.random() < 0.8:
            name += self.rng.choice([b";", b" ;", b"\t; comment", b";" + b"c" * 130])
        return name

    def text(self, lines):
        """The lines joined; now and then behind a UTF-8 mark, or the whole file as UTF-16 (each
        byte taken for the character of the same number)."""
        end = self.rng.choice([b"\n", b"\r\n"])
        data = end.join(lines) + self.rng.choice([b"", end])
        form = self.rng.random()
        if form < 0.08:
            return b"\xef\xbb\xbf" + data
        if form < 0.16:
            little = self.rng.random() < 0.5
            text = data.decode("latin-1")
            if self.rng.random() < 0.3:
                text += "\ud800"  # an unpaired surrogate at the end
            units = text.encode("utf-16-le" if little else "utf-16-be", "surrogatepass")
            return (b"\xff\xfe" if little else b"\xfe\xff") + units + b"x" * (form < 0.1)
        return data

    def tree(self):
        """File path templates ({CWD} allowed) and their bytes; a value None makes a folder."""
        header = self.header()
        body = [self.aspect_line() for _ in range(self.rng.randint(0, 12))]
        files = {b"Wrk/Aspects.txt": self.text(header + body)}
        russian = self.rng.random() < 0.3
        if russian:
            files[b"Config/RUSSIAN.ini"] = b""
        for name in TYPE_FILES:
            if self.rng.random() < 0.6:
                lines = [self.name_line(True) for _ in range(self.rng.randint(0, 6))]
                if self.rng.random() < 0.3:  # a type listed twice
                    twice = self.rng.choice(ASPECTS) + b";"
                    lines[self.rng.randint(0, len(lines)):0] = [twice]
                    lines.append(twice)
                for spelling in self.spellings(name):
                    target = spelling
                    if russian and name in UTF8_SPELLING and self.rng.random() < 0.4:
                        target = b"!{CWD}/" + spelling
                    files[target] = self.text(lines)
        for name in PLANET_FILES:
            if self.rng.random() < 0.8:
                lines = [self.name_line(False) for _ in range(self.rng.randint(0, 6))]
                if self.rng.random() < 0.1:  # about as many points as a grid may hold
                    lines += [b"Point %d" % n for n in range(self.rng.randint(195, 200))]
                files[name] = self.text(lines)
        if self.rng.random() < 0.3:
            files[b"in.txt"] = self.text(header + body[::-1])
        if self.rng.random() < 0.15:
            files[b"x.html"] = self.text(header + body)
        for page in (b"Wrk/Aspects.html", b"Wrk/Aspects-grid.html"):
            r = self.rng.random()
            if r < 0.2:
                files[page] = self.rng.choice(OLD_PAGES)
            elif r < 0.25:
                files[page] = None
        if self.rng.random() < 0.05:
            files[b"Korvo.log"] = None
        return files

    def spellings(self, name):
        """The names a Russian aspect-types file goes under: mostly its Windows-1251 name, now and
        then its UTF-8 name instead, or both."""
        if name not in UTF8_SPELLING:
            return [name]
        r = self.rng.random()
        return [name] if r < 0.6 else [UTF8_SPELLING[name]] if r < 0.85 else \
            [name, UTF8_SPELLING[name]]

    def folder(self):
        """The working folder's own name (b"": the run's folder itself)."""
        return self.rng.choice(FOLDERS)

    def arguments(self):
        choices = [b"-1", b"-2", b"-12", b"-g", b"-g", b"-gx", b"-x", b"-",
                   b"-aaspects/Natal.asp", b"-amissing.asp", b"-a", b"-aaspects", b"in.txt",
                   b"Wrk/../in.txt", b"x.html", b"Wrk", b"Wrk/Aspects.txt"]
        arguments = [self.rng.choice(choices) for _ in range(self.rng.randint(0, 3))]
        if self.rng.random() < 0.06:
            arguments.insert(self.rng.randint(0, len(arguments)),
                             self.rng.choice([b"--help", b"--version", b"--HELP", b"--help=1"]))
        return arguments

    def file_size_limit(self):
        """Now and then a limit on the size of every file the run writes, which the log or the
        page or both outgrow (None: no limit)."""
        if self.rng.random() < 0.1:
            return self.rng.choice([0, 1, 60, 200, 450, 700, 1200, 4000, 20000])
        return None

    def header(self):
        """Header lines, sometimes only aspect lines (a list that lacks its header), or a one-line
        title with the aspects from line 2."""
        r = self.rng.random()
        if r < 0.15:
            return [self.aspect_line() for _ in range(4)]
        if r < 0.3:
            return [b"Chart <John & Mary>"] + [self.aspect_line() for _ in range(3)]
        return [b"h1 <script>", b"h2 1\xb0 &amp;", b"x" * 130, b"h\x004"][:self.rng.randint(0, 4)]


def lay_out(directory, files):
    for template, content in files.items():
        path = os.path.join(directory, template.replace(b"{CWD}", directory))
        if content is None:
            os.makedirs(path, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(content)


def read(path):
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as source:
        return source.read()


def compare_one(korvo, rng):
    draw = Draw(rng)
    files = draw.tree()
    arguments = draw.arguments()
    top = os.fsencode(os.path.realpath(tempfile.mkdtemp(prefix="korvo-compare-")))
    # Both run in the same folder, one after the other, so that a log cut by the file-size
    # limit is cut at the same byte; each is moved aside afterwards and kept for a failure.
    run_top = os.path.join(top, b"run")
    folder = draw.folder()
    run_dir = os.path.join(run_top, folder) if folder else run_top
    program_dir = os.path.join(top, b"program", os.path.relpath(run_dir, run_top))
    model_dir = os.path.join(top, b"model", os.path.relpath(run_dir, run_top))
    limit = draw.file_size_limit()
    os.makedirs(run_dir)
    lay_out(run_dir, files)
    result = subprocess.run([korvo] + arguments, cwd=run_dir, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=60,
                            preexec_fn=run_e2e.limit_file_size(limit))
    os.rename(run_top, os.path.join(top, b"program"))
    os.makedirs(run_dir)
    lay_out(run_dir, files)
    with run_e2e.Inside(run_dir):
        log, exit_code, pages, console = korvo_model.model_run(run_dir, arguments, limit)
    os.rename(run_top, os.path.join(top, b"model"))
    problems = []
    if read(os.path.join(program_dir, b"Korvo.log")) != log:
        problems.append("Korvo.log differs")
    if result.returncode != exit_code:
        problems.append(f"exit code {result.returncode}, model {exit_code}")
    if result.stdout != korvo_model.model_standard_output(arguments):
        problems.append(f"standard output {result.stdout!r}")
    if result.stderr != console:
        problems.append(f"standard error {result.stderr!r}")
    for page in pages:
        relative = os.path.relpath(page, run_dir)
        if read(os.path.join(program_dir, relative)) != read(os.path.join(model_dir, relative)):
            problems.append(f"{relative!r} differs")
    if problems:
        return f"{problems} with arguments {arguments} (folder kept: {top.decode()})"
    shutil.rmtree(top)
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the binary under test")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--runs", type=int, default=200)
    options = parser.parse_args()
    rng = random.Random(options.seed)
    korvo = os.fsencode(os.path.abspath(options.korvo))
    failures = 0
    for run in range(options.runs):
        problem = compare_one(korvo, rng)
        if problem:
            failures += 1
            print(f"run {run}: {problem}")
    print(f"{options.runs - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
