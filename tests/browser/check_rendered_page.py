#!/usr/bin/env python3
"""Checks the DOM of a Korvo page as a browser rendered it (chromium --dump-dom).

The expectations are derived from the working tree the page was made from, not from the page
itself: the aspects list is parsed here on its own, decoded in the character set a browser uses
for the page (windows-1251 for a Russian page, which declares it; windows-1252 for an English page,
which declares none and holds the degree sign as the byte 0xB0). So a page shown with the wrong
character set (mojibake), a lost or doubled aspect, a wrong header row or a wrong grouping fails.

Usage: check_rendered_page.py --dom DOM.html --tree WORKING_TREE --language en|ru --mode natal|transit
Exits 0 when every check holds; otherwise prints each failed check and exits 1.
"""

import argparse
import collections
import html.parser
import os
import pathlib
import re
import sys

PAGE_ENCODING = {"en": "cp1252", "ru": "cp1251"}
PAGE_TITLE = {"en": "VEXA - Aspects List", "ru": "VEXA - Список аспектов"}
TITLES = {
    "en": {"orb": "Orb", "aspect": "Aspect", "from": "From", "to": "To"},
    "ru": {"orb": "Орбис", "aspect": "Аспекта", "from": "От", "to": "До"},
}
# Column order of each table, left to right: orb table, aspect-type table, planet table.
COLUMNS = [
    ["orb", "aspect", "from", "to"],
    ["aspect", "from", "to", "orb"],
    ["from", "aspect", "to", "orb"],
]
ASPECT_TYPES_FILE = {
    ("en", "natal"): b"aspects/Natal.asp",
    ("en", "transit"): b"aspects/Transit.asp",
    ("ru", "natal"): b"aspects/\xec\xe1\xd4\xe1\xbd.asp",
    ("ru", "transit"): b"aspects/\xd2\xf0\xe0\xed\xe7\xe8\xf2.asp",
}
PLANETS_FILE = {"en": "Language/English/Planets.txt", "ru": "Language/Russian/Planets.txt"}
# Characters that only appear when UTF-8 or Windows-1251 bytes are shown in the wrong code page.
MOJIBAKE = re.compile("[\ufffd\u00c2\u00c3\u00d0\u00d1\u0402\u0403\u0452\u0453]")
NBSP = "\u00a0"

Aspect = collections.namedtuple("Aspect", "aspect from_planet to_planet sign orb")
ASPECT_LINE = re.compile(r"^(\S+)\s+([^-]*)-(.*?)\s*([+-]?)(\d+°.*)$")
ORB = re.compile(r"^(\d+)°(?:(\d+)'(?:(\d+)\")?)?")


def orb_seconds(orb):
    """The orb in seconds of arc, or None for a text that is no orb (as in mojibake)."""
    match = ORB.match(orb)
    if match is None:
        return None
    degrees, minutes, seconds = match.groups()
    return int(degrees) * 3600 + int(minutes or 0) * 60 + int(seconds or 0)


def read_lines(path, encoding):
    return path.read_bytes().decode(encoding).replace("\r\n", "\n").split("\n")


def read_aspects_list(path, encoding):
    """The header lines and the aspects of an aspects list, in file order."""
    lines = read_lines(path, encoding)
    aspects = []
    for line in lines[4:]:
        if "°" in line:
            aspect_name, from_planet, to_planet, sign, orb = ASPECT_LINE.match(line).groups()
            aspects.append(Aspect(aspect_name, from_planet, to_planet, sign or NBSP, orb))
    return lines[:4], aspects


def read_names(path, encoding, keep):
    return [name for name in read_lines(path, encoding) if keep(name)] if path.exists() else []


class PageParser(html.parser.HTMLParser):
    """Collects the title, the header block text and every table as rows of cell texts."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title, self.header_block, self.tables = "", "", []
        self.open_elements = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        self.open_elements.append(tag)
        if tag == "table":
            self.tables.append([])
        elif tag == "tr":
            self.tables[-1].append([])
        elif tag == "td":
            self.cell = ""
        elif tag == "br" and "h3" in self.open_elements:
            self.header_block += "\n"

    def handle_endtag(self, tag):
        if tag == "td":
            self.tables[-1][-1].append(self.cell)
            self.cell = None
        while self.open_elements and self.open_elements.pop() != tag:
            pass

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        self.handle_endtag(tag)

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data
        elif "title" in self.open_elements:
            self.title += data
        elif "h3" in self.open_elements:
            self.header_block += data


class Checks:
    def __init__(self):
        self.failures = []
        self.count = 0

    def expect(self, condition, message):
        self.count += 1
        if not condition:
            self.failures.append(message)
        return condition


def data_rows_as_aspects(table, columns):
    """Turns the data rows of a table into Aspects; a group name left out repeats the last one."""
    aspects, last_group = [], ""
    for row in table[1:]:
        cells = dict(zip(columns, row[0::2]))  # every second cell is a spacer
        group_column = columns[0] if columns[0] != "orb" else None
        if group_column is not None:
            last_group = cells[group_column] or last_group
            cells[group_column] = last_group
        orb_cell = cells["orb"]
        aspects.append(Aspect(cells["aspect"], cells["from"], cells["to"], orb_cell[0], orb_cell[1:]))
    return aspects


def group_order(names):
    """The names in the order their groups appear, each run of equal names once."""
    return [name for index, name in enumerate(names) if index == 0 or names[index - 1] != name]


def check_header_rows(checks, tables, language):
    for number, (table, columns) in enumerate(zip(tables, COLUMNS), start=1):
        expected = []
        for column in columns:
            expected += [TITLES[language][column], NBSP * 2]
        checks.expect(table and table[0] == expected[:-1],
                      f"table {number}: header row {table[0] if table else None} != {expected[:-1]}")


def check_rows(checks, tables, aspects, mode):
    mirrored = [Aspect(a.aspect, a.to_planet, a.from_planet, a.sign, a.orb) for a in aspects]
    expected_rows = [aspects, aspects, aspects + mirrored if mode == "natal" else aspects]
    for number, (table, columns, expected) in enumerate(zip(tables, COLUMNS, expected_rows), 1):
        checks.expect(len(table) == 1 + len(expected),
                      f"table {number}: {len(table)} rows, expected {1 + len(expected)}")
        checks.expect(all(len(row) == 8 for row in table[1:]),
                      f"table {number}: a data row without its eight cells")
        shown = data_rows_as_aspects(table, columns)
        checks.expect(collections.Counter(shown) == collections.Counter(expected),
                      f"table {number}: rows differ from the aspects list: "
                      f"{collections.Counter(shown) - collections.Counter(expected)} shown, "
                      f"{collections.Counter(expected) - collections.Counter(shown)} missing")
    return [data_rows_as_aspects(table, columns) for table, columns in zip(tables, COLUMNS)]


def check_orders(checks, shown, tree, language, mode):
    orb_table, type_table, planet_table = shown
    orbs = [orb_seconds(a.orb) for a in orb_table + type_table + planet_table]
    if not checks.expect(None not in orbs, "an orb cell does not read as degrees and minutes"):
        return
    orbs = [orb_seconds(a.orb) for a in orb_table]
    checks.expect(orbs == sorted(orbs), "table 1 is not in ascending orb order")
    type_names = read_names(tree / os.fsdecode(ASPECT_TYPES_FILE[(language, mode)]),
                            PAGE_ENCODING[language], lambda line: ";" in line)
    type_names = [line.split(";")[0].rstrip() for line in type_names]
    plain_names = read_names(tree / PLANETS_FILE[language], PAGE_ENCODING[language],
                             lambda line: line != "" and not line[0].isspace())
    for number, table, key, file_order in ((2, type_table, "aspect", type_names),
                                           (3, planet_table, "from_planet", plain_names)):
        groups = group_order([getattr(a, key) for a in table])
        checks.expect(len(groups) == len(set(groups)), f"table {number}: a group is split")
        listed = [name for name in groups if name in file_order]
        checks.expect(listed == [name for name in file_order if name in listed],
                      f"table {number}: groups {listed} are not in the file's order")
        for name in groups:
            group_orbs = [orb_seconds(a.orb) for a in table if getattr(a, key) == name]
            checks.expect(group_orbs == sorted(group_orbs),
                          f"table {number}: group {name} is not in orb order")


def check_characters(checks, page, aspects, language):
    all_text = page.title + page.header_block + "".join(
        cell for table in page.tables for row in table for cell in row)
    checks.expect(not MOJIBAKE.search(all_text),
                  f"mojibake on the page: {sorted(set(MOJIBAKE.findall(all_text)))}")
    orb_cells = [row[0] for row in page.tables[0][1:]] if page.tables else []
    checks.expect(orb_cells and all("°" in cell for cell in orb_cells),
                  "an orb cell of table 1 lacks the degree sign U+00B0")
    if language == "ru":
        names = {a.from_planet for a in aspects} | {a.to_planet for a in aspects}
        cyrillic = {name for name in names if re.search("[\u0410-\u044f]", name)}
        checks.expect(cyrillic, "the aspects list of a Russian tree holds no Cyrillic names")
        shown_names = {cell for row in page.tables[0][1:] for cell in (row[4], row[6])}
        checks.expect(cyrillic <= shown_names,
                      f"Cyrillic names not shown as themselves: {sorted(cyrillic - shown_names)}")


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--dom", type=pathlib.Path, required=True)
    arguments.add_argument("--tree", type=pathlib.Path, required=True)
    arguments.add_argument("--language", choices=("en", "ru"), required=True)
    arguments.add_argument("--mode", choices=("natal", "transit"), required=True)
    options = arguments.parse_args()

    header_lines, aspects = read_aspects_list(options.tree / "Wrk" / "Aspects.txt",
                                              PAGE_ENCODING[options.language])
    page = PageParser()
    page.feed(options.dom.read_text(encoding="utf-8"))
    checks = Checks()
    checks.expect(page.title.strip() == PAGE_TITLE[options.language],
                  f"title {page.title.strip()!r}")
    checks.expect(page.header_block == "".join(line + "\n" for line in header_lines),
                  f"header block {page.header_block!r}")
    if checks.expect(len(page.tables) == 3, f"{len(page.tables)} tables, expected 3"):
        check_header_rows(checks, page.tables, options.language)
        shown = check_rows(checks, page.tables, aspects, options.mode)
        check_orders(checks, shown, options.tree, options.language, options.mode)
        check_characters(checks, page, aspects, options.language)
    for failure in checks.failures:
        print(f"FAILED: {options.dom}: {failure}")
    print(f"{options.dom.name}: {checks.count - len(checks.failures)} of {checks.count} checks "
          f"hold ({len(aspects)} aspects, {options.language}, {options.mode})")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
