#!/usr/bin/env python3
"""Checks the grid page of a Korvo run as a browser rendered it.

  check_rendered_grid.py probe GRID.html PROBE.html
      writes a copy of the grid page with grid_probe.js inlined: rendered, it measures in the
      browser whether every glyph of the labels is drawn (a glyph that no font holds is drawn as
      the same box as a noncharacter, which no font holds) and whether every drawn symbol has a
      shape, and adds its findings to the page as JSON
  check_rendered_grid.py check --dom DOM.html --tree WORKING_TREE --language en|ru --mode natal|transit
      checks the DOM chromium built from the probe (chromium --dump-dom): the one grid table, its
      header titles and row names, each aspect of the list once, in a cell of its two points
      (natal: on or below the diagonal; transit: the to-planet's row and the from-planet's
      column), no missing glyph, every symbol drawn, and the characters right

  check_rendered_grid.py a4 PRINTED.pdf
      checks that the grid page printed by chromium (--print-to-pdf) is one A4 page

The expectations come from the working tree, not from the page. Exits 0 when every check holds;
otherwise prints each failed check and exits 1.
"""
import argparse
import collections
import html.parser
import json
import pathlib
import re
import sys

import check_rendered_page as page_check

GRID_TITLE = {"en": "VEXA - Aspect Grid", "ru": "VEXA - Сетка аспектов"}
PROBE = pathlib.Path(__file__).with_name("grid_probe.js")


class GridParser(html.parser.HTMLParser):
    """Collects the title, the header block, the grid's rows (each cell with its tag, attributes,
    text and the titles of the aspects in it), the legend's text and the probe's findings."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title, self.header_block, self.legend, self.findings = "", "", "", ""
        self.grids, self.rows = 0, []
        self.open_elements = []
        self.in_grid = False
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.open_elements.append((tag, attrs))
        if tag == "table" and attrs.get("id") == "aspect-grid":
            self.grids += 1
            self.in_grid = True
        elif self.in_grid and tag == "tr":
            self.rows.append([])
        elif self.in_grid and tag in ("td", "th"):
            self.cell = {"tag": tag, "attrs": attrs, "text": "", "aspects": []}
            self.rows[-1].append(self.cell)
        elif self.cell is not None and tag == "span" and "aspect" in attrs.get("class", ""):
            self.cell["aspects"].append(attrs.get("title", ""))
        elif tag == "br" and self.inside("h3"):
            self.header_block += "\n"

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.cell = None
        elif tag == "table":
            self.in_grid = False
        while self.open_elements and self.open_elements.pop()[0] != tag:
            pass

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        self.handle_endtag(tag)

    def inside(self, tag, class_name=None, element_id=None):
        return any(t == tag and (class_name is None or class_name in a.get("class", ""))
                   and (element_id is None or a.get("id") == element_id)
                   for t, a in self.open_elements)

    def handle_data(self, data):
        if self.cell is not None:
            self.cell["text"] += data
        elif self.inside("title"):
            self.title += data
        elif self.inside("h3"):
            self.header_block += data
        elif self.inside("p", class_name="legend"):
            self.legend += data
        elif self.inside("pre", element_id="grid-check"):
            self.findings += data


def listed_title(aspect):
    """The title the grid gives an aspect: as the list writes it, the sign only when it has one."""
    sign = "" if aspect.sign == page_check.NBSP else aspect.sign
    return f"{aspect.aspect} {aspect.from_planet}-{aspect.to_planet} {sign}{aspect.orb}"


def check_cells(checks, grid, aspects, mode):
    columns = [cell["attrs"].get("title") for cell in grid.rows[0][1:]]
    row_names = [row[0]["text"] for row in grid.rows[1:]]
    checks.expect(all(row[0]["tag"] == "th" for row in grid.rows[1:]),
                  "a row of the grid does not start with its point's name")
    if mode == "natal":
        checks.expect(row_names == columns, f"natal rows {row_names} != columns {columns}")
    by_title = {listed_title(a): a for a in aspects}
    placed = []
    for r, row in enumerate(grid.rows[1:]):
        for c, cell in enumerate(row[1:]):
            for title in cell["aspects"]:
                placed.append(title)
                aspect = by_title.get(title)
                if not checks.expect(aspect is not None, f"an aspect {title!r} not in the list"):
                    continue
                if mode == "natal":
                    right = ({row_names[r], columns[c]} == {aspect.from_planet, aspect.to_planet}
                             and c <= r)
                else:
                    right = (row_names[r], columns[c]) == (aspect.to_planet, aspect.from_planet)
                checks.expect(right, f"{title!r} stands in row {row_names[r]!r}, column "
                                     f"{columns[c]!r}")
    expected = collections.Counter(listed_title(a) for a in aspects)
    checks.expect(collections.Counter(placed) == expected,
                  f"the grid's aspects differ from the list: "
                  f"{collections.Counter(placed) - expected} shown, "
                  f"{expected - collections.Counter(placed)} missing")
    return columns


def check_glyphs(checks, findings):
    if not checks.expect(findings, "the probe left no findings (did its script run?)"):
        return
    report = json.loads(findings)
    checks.expect(report["control"],
                  "the probe does not see a glyph that no font holds (U+FDD1, a noncharacter)")
    labels = report["labels"]
    checks.expect(labels, "no label glyph was measured")
    missing = sorted({label["character"] for label in labels if label["missing"]})
    checks.expect(not missing, f"missing glyph, drawn as a box: {missing}")
    symbols = report["symbols"]
    checks.expect(symbols, "no drawn symbol on the page")
    undrawn = sorted({s["id"] for s in symbols
                      if not s["defined"] or s["width"] <= 0 or s["height"] <= 0})
    checks.expect(not undrawn, f"symbols without a shape: {undrawn}")


def check(options):
    encoding = page_check.PAGE_ENCODING[options.language]
    header_lines, aspects = page_check.read_aspects_list(options.tree / "Wrk" / "Aspects.txt",
                                                         encoding)
    planets = page_check.read_names(options.tree / page_check.PLANETS_FILE[options.language],
                                    encoding, lambda line: line != "" and not line[0].isspace())
    grid = GridParser()
    grid.feed(options.dom.read_text(encoding="utf-8"))
    checks = page_check.Checks()
    checks.expect(grid.title.strip() == GRID_TITLE[options.language], f"title {grid.title!r}")
    checks.expect(grid.header_block == "".join(line + "\n" for line in header_lines),
                  f"header block {grid.header_block!r}")
    if checks.expect(grid.grids == 1 and grid.rows, f"{grid.grids} grid tables, expected one"):
        columns = check_cells(checks, grid, aspects, options.mode)
        file_order = list(dict.fromkeys(planets))
        checks.expect(columns[:len(file_order)] == file_order,
                      f"columns {columns} do not start with the planets file's {file_order}")
    for name in {a.aspect for a in aspects}:
        checks.expect(name in grid.legend, f"the legend lacks {name!r}")
    all_text = grid.title + grid.header_block + grid.legend + "".join(
        cell["text"] + "".join(cell["aspects"]) + cell["attrs"].get("title", "")
        for row in grid.rows for cell in row)
    checks.expect(not page_check.MOJIBAKE.search(all_text),
                  f"mojibake: {sorted(set(page_check.MOJIBAKE.findall(all_text)))}")
    checks.expect("°" in all_text, "no degree sign U+00B0 on the grid page")
    check_glyphs(checks, grid.findings)
    for failure in checks.failures:
        print(f"FAILED: {options.dom}: {failure}")
    print(f"{options.dom.name}: {checks.count - len(checks.failures)} of {checks.count} checks "
          f"hold ({len(aspects)} aspects, {options.language}, {options.mode})")
    return 1 if checks.failures else 0


A4_POINTS = (595, 842)  # 210 by 297 mm, in points of 1/72 inch


def check_a4(printed):
    """The printed grid is one page of A4: Chromium writes each page as an object of its own."""
    data = printed.read_bytes()
    pages = re.findall(rb"/Type\s*/Page\b(?!s)", data)
    boxes = [tuple(round(float(n)) for n in box.split()[2:])
             for box in re.findall(rb"/MediaBox\s*\[([^\]]*)\]", data)]
    if len(pages) == 1 and boxes and all(box == A4_POINTS for box in boxes):
        print(f"{printed.name}: one A4 page")
        return 0
    print(f"FAILED: {printed}: {len(pages)} pages, media boxes {boxes}, expected one A4 page")
    return 1


def probe(grid_page, probe_page):
    page = grid_page.read_bytes()
    script = b"<script>\n" + PROBE.read_bytes() + b"</script>\n</body>"
    probe_page.write_bytes(page.replace(b"</body>", script, 1))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    make_probe = commands.add_parser("probe")
    make_probe.add_argument("grid_page", type=pathlib.Path)
    make_probe.add_argument("probe_page", type=pathlib.Path)
    checking = commands.add_parser("check")
    checking.add_argument("--dom", type=pathlib.Path, required=True)
    checking.add_argument("--tree", type=pathlib.Path, required=True)
    checking.add_argument("--language", choices=("en", "ru"), required=True)
    checking.add_argument("--mode", choices=("natal", "transit"), required=True)
    printing = commands.add_parser("a4")
    printing.add_argument("printed", type=pathlib.Path)
    options = parser.parse_args()
    if options.command == "probe":
        return probe(options.grid_page, options.probe_page)
    if options.command == "a4":
        return check_a4(options.printed)
    return check(options)


if __name__ == "__main__":
    sys.exit(main())
