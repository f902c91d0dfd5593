#!/usr/bin/env python3
"""Checks the grid page of a Korvo run as a browser rendered it.

  check_rendered_grid.py probe GRID.html PROBE.html
      writes a copy of the grid page with grid_probe.js inlined: rendered, it measures in the
      browser whether every glyph of the labels is drawn (a glyph that no font holds is drawn as
      the same box as a noncharacter, which no font holds) and whether every drawn symbol has a
      shape, and adds its findings to the page as JSON
  check_rendered_grid.py phone PAGE.html [--findings FINDINGS.json] [--screenshot PICTURE.png]
      renders the page in chromium as a phone 390 CSS px wide does (a mobile viewport, set
      through the DevTools protocol on a pipe) and writes the findings of the probe it holds, or
      a picture of the screen with its first aspect touched (focused)
  check_rendered_grid.py check --dom DOM.html --tree WORKING_TREE --language en|ru --mode natal|transit
          [--phone FINDINGS.json]
      checks the DOM chromium built from the probe (chromium --dump-dom): the one grid table, its
      header titles and row names, each aspect of the list once, in a cell of its two points
      (natal: on or below the diagonal; transit: the to-planet's row and the from-planet's
      column), tight aspects (orb under 1 degree) marked, each row's total and each type's count
      in the legend, a transit grid's captions, no missing glyph, every symbol drawn, point
      glyphs of one height, a focused aspect showing its text, the characters right; and on the
      phone no text under 10 CSS px and no page wider than the screen

  check_rendered_grid.py a4 PRINTED.pdf
      checks that the grid page printed by chromium (--print-to-pdf) is one A4 page
  check_rendered_grid.py wide-tree TREE
      writes a working tree whose transit grid has 40 columns and 120 rows
  check_rendered_grid.py paper PRINTED.pdf
      checks that tree's grid printed: more than one page, each with every column label inside
      the page's width (the header row repeated), and the legend on the page of the last row

The expectations come from the working tree, not from the page. Exits 0 when every check holds;
otherwise prints each failed check and exits 1.
"""
import argparse
import base64
import collections
import html.parser
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile

import check_rendered_page as page_check

GRID_TITLE = {"en": "VEXA - Aspect Grid", "ru": "VEXA - Сетка аспектов"}
TRANSIT_CAPTIONS = {"en": ("Transiting", "Natal"), "ru": ("Транзитные", "Натальные")}
PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True}
SMALLEST_TEXT_PX = 10
GLYPH_HEIGHTS_RATIO = 1.5  # the tallest point glyph to the shortest; font glyphs differed by 2
PROBE = pathlib.Path(__file__).with_name("grid_probe.js")


class GridParser(html.parser.HTMLParser):
    """Collects the title, the header block, the grid's rows (each cell with its tag, attributes,
    text and the titles of the aspects in it), the legend's text and the probe's findings."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title, self.header_block, self.legend, self.findings = "", "", "", ""
        self.grids, self.rows, self.metas = 0, [], []
        self.open_elements = []
        self.in_grid = False
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.open_elements.append((tag, attrs))
        if tag == "meta":
            self.metas.append(attrs)
        if tag == "table" and attrs.get("id") == "aspect-grid":
            self.grids += 1
            self.in_grid = True
        elif self.in_grid and tag == "tr":
            self.rows.append([])
        elif self.in_grid and tag in ("td", "th"):
            self.cell = {"tag": tag, "attrs": attrs, "text": "", "aspects": [], "classes": []}
            self.rows[-1].append(self.cell)
        elif self.cell is not None and tag == "span" and "aspect" in attrs.get("class", ""):
            self.cell["aspects"].append(attrs.get("title", ""))
            self.cell["classes"].append(attrs.get("class", "").split())
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


def is_total(cell):
    return "total" in cell["attrs"].get("class", "")


def check_totals(checks, row, name, aspects, mode):
    """The row's last cell is its total: the aspects of its point (natal: its row and column)."""
    expected = sum(1 for a in aspects if (name in (a.from_planet, a.to_planet) if mode == "natal"
                                          else name == a.to_planet))
    checks.expect(is_total(row[-1]) and row[-1]["text"] == str(expected),
                  f"row {name!r} ends in {row[-1]['text']!r}, not its total {expected}")


def check_cells(checks, grid, aspects, mode):
    columns = [cell["attrs"].get("title") for cell in grid.rows[0] if cell["tag"] == "th"]
    row_names = [row[0]["text"] for row in grid.rows[1:]]
    checks.expect(all(row[0]["tag"] == "th" for row in grid.rows[1:]),
                  "a row of the grid does not start with its point's name")
    if mode == "natal":
        checks.expect(row_names == columns, f"natal rows {row_names} != columns {columns}")
    by_title = {listed_title(a): a for a in aspects}
    placed = []
    for r, row in enumerate(grid.rows[1:]):
        check_totals(checks, row, row_names[r], aspects, mode)
        for c, cell in enumerate(cell for cell in row[1:] if not is_total(cell)):
            for title, classes in zip(cell["aspects"], cell["classes"]):
                placed.append(title)
                aspect = by_title.get(title)
                if not checks.expect(aspect is not None, f"an aspect {title!r} not in the list"):
                    continue
                tight = page_check.orb_seconds(aspect.orb) < 3600
                checks.expect(("tight" in classes) == tight, f"{title!r} tight: {not tight}")
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


def check_glyphs(checks, report):
    checks.expect(report["control"],
                  "the probe does not see a glyph that no font holds (U+FDD1, a noncharacter)")
    labels = report["labels"]
    checks.expect(labels or report["glyphs"], "no label was measured")
    missing = sorted({label["character"] for label in labels if label["missing"]})
    checks.expect(not missing, f"missing glyph, drawn as a box: {missing}")
    symbols = report["symbols"]
    checks.expect(symbols, "no drawn symbol on the page")
    undrawn = sorted({s["id"] for s in symbols
                      if not s["defined"] or s["width"] <= 0 or s["height"] <= 0})
    checks.expect(not undrawn, f"symbols without a shape: {undrawn}")
    heights = {glyph["id"]: glyph["height"] for glyph in report["glyphs"]}
    checks.expect(heights and max(heights.values()) <= GLYPH_HEIGHTS_RATIO * min(heights.values()),
                  f"point glyphs differ in ink height: {heights}")


def check_focus(checks, focus):
    """A focused aspect shows its text, as CSS writes it, and only while it is focused."""
    shown = '"' + focus["title"].replace("\\", "\\\\").replace('"', '\\"') + '"'
    checks.expect(focus["focused"] and focus["after"] == shown and focus["display"] != "none"
                  and focus["before"] in ("none", "normal"),
                  f"a focused aspect does not show its text: {focus}")


def check_phone(checks, phone):
    checks.expect(phone["viewportWidth"] == PHONE["width"],
                  f"the phone lays the page out {phone['viewportWidth']} px wide (no viewport?)")
    checks.expect(phone["smallestText"] >= SMALLEST_TEXT_PX,
                  f"text of {phone['smallestText']} px on a phone")
    checks.expect(phone["pageWidth"] <= phone["viewportWidth"],
                  f"the page is {phone['pageWidth']} px wide on a phone: the grid's box must scroll")


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
    for name, count in collections.Counter(a.aspect for a in aspects).items():
        checks.expect(f"{name} ({count})" in grid.legend, f"the legend lacks {name!r} ({count})")
    if options.mode == "transit":
        corner = grid.rows[0][0]["text"] if grid.rows else ""
        checks.expect(all(c in corner for c in TRANSIT_CAPTIONS[options.language]),
                      f"the corner {corner!r} does not say what the columns and rows are")
    checks.expect(any(m.get("name") == "viewport" for m in grid.metas), "no viewport")
    all_text = grid.title + grid.header_block + grid.legend + "".join(
        cell["text"] + "".join(cell["aspects"]) + cell["attrs"].get("title", "")
        for row in grid.rows for cell in row)
    checks.expect(not page_check.MOJIBAKE.search(all_text),
                  f"mojibake: {sorted(set(page_check.MOJIBAKE.findall(all_text)))}")
    checks.expect("°" in all_text, "no degree sign U+00B0 on the grid page")
    if checks.expect(grid.findings, "the probe left no findings (did its script run?)"):
        report = json.loads(grid.findings)
        check_glyphs(checks, report)
    if options.phone:
        phone = json.loads(options.phone.read_text())
        check_phone(checks, phone)
        check_focus(checks, phone["focus"])
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


def phone(page, findings, screenshot):
    """Renders the page as a phone shows it, through the DevTools protocol on a pipe (messages of
    JSON, each ended by a zero byte), and writes the probe's findings or a picture."""
    to_browser, from_browser = os.pipe(), os.pipe()
    profile = tempfile.mkdtemp()

    def on_pipe():
        ours, theirs = os.dup(to_browser[0]), os.dup(from_browser[1])
        os.dup2(ours, 3)
        os.dup2(theirs, 4)

    sandbox = ["--no-sandbox"] if os.geteuid() == 0 else []
    browser = subprocess.Popen(["chromium", "--headless", *sandbox, "--disable-gpu",
                                "--no-first-run", f"--user-data-dir={profile}",
                                "--remote-debugging-pipe", "about:blank"],
                               preexec_fn=on_pipe, pass_fds=(3, 4), stderr=subprocess.DEVNULL)
    incoming = os.fdopen(from_browser[0], "rb")
    os.close(from_browser[1])
    os.close(to_browser[0])
    calls = iter(range(1, 100))

    def call(method, session=None, **params):
        number = next(calls)
        message = {"id": number, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(to_browser[1], json.dumps(message).encode() + b"\0")
        while True:
            answer = json.loads(b"".join(iter(lambda: incoming.read(1), b"\0")))
            if answer.get("id") == number:
                return answer.get("result", {})
            if answer.get("method") == "Page.loadEventFired":
                loaded.append(True)

    loaded = []
    try:
        target = call("Target.createTarget", url="about:blank")["targetId"]
        session = call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        call("Emulation.setDeviceMetricsOverride", session, **PHONE)
        call("Emulation.setFocusEmulationEnabled", session, enabled=True)  # as if in front
        call("Page.enable", session)
        call("Page.navigate", session, url=page.resolve().as_uri())
        while not loaded:
            call("Runtime.evaluate", session, expression="0")
        if findings:
            result = call("Runtime.evaluate", session, returnByValue=True,
                          expression="document.getElementById('grid-check').textContent")
            findings.write_text(result["result"]["value"])
        if screenshot:
            call("Runtime.evaluate", session, expression="document.querySelector('.aspect').focus()")
            picture = call("Page.captureScreenshot", session, format="png")["data"]
            screenshot.write_bytes(base64.b64decode(picture))
        call("Browser.close")
    finally:
        browser.wait(timeout=60)
    return 0


WIDE_COLUMNS, WIDE_ROWS = 40, 120


def wide_tree(tree):
    """A transit chart of 40 transiting and 120 natal points, each column holding aspects."""
    lines = ["Forty transiting points", "", "", ""] + [
        f"Trine T{n % WIDE_COLUMNS + 1:02d}-N{n + 1:03d} {n % 5 + 1}°{n % 60:02d}'"
        for n in range(WIDE_ROWS)]
    (tree / "Wrk").mkdir(parents=True, exist_ok=True)
    (tree / "Wrk" / "Aspects.txt").write_bytes("\r\n".join(lines).encode("cp1252") + b"\r\n")
    return 0


def check_paper(printed):
    """Every printed page holds every column label within its width, and the last row's page
    the legend too."""
    text = subprocess.run(["pdftotext", "-bbox", str(printed), "-"], capture_output=True,
                          text=True, check=True).stdout
    failures = []
    pages = re.findall(r'<page width="([\d.]+)"[^>]*>(.*?)</page>', text, re.DOTALL)
    labels = {f"T{n + 1:02d}" for n in range(WIDE_COLUMNS)}
    for number, (width, body) in enumerate(pages, start=1):
        words = re.findall(r'xMin="([\d.]+)"[^>]*xMax="([\d.]+)"[^>]*>([^<]*)</word>', body)
        inside = {word for x_min, x_max, word in words
                  if float(x_min) >= 0 and float(x_max) <= float(width)}
        if not labels <= inside:
            failures.append(f"page {number}: column labels not inside the page's width: "
                            f"{sorted(labels - inside)}")
        if f"N{WIDE_ROWS:03d}" in inside and "Trine" not in inside:
            failures.append(f"page {number}: the last row without the legend")
    if len(pages) < 2:
        failures.append(f"{len(pages)} printed page: a header row repeated cannot be seen")
    for failure in failures:
        print(f"FAILED: {printed}: {failure}")
    print(f"{printed.name}: {len(pages)} pages, {len(failures)} failures")
    return 1 if failures else 0


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
    checking.add_argument("--phone", type=pathlib.Path, help="the findings of the phone render")
    on_phone = commands.add_parser("phone")
    on_phone.add_argument("page", type=pathlib.Path)
    on_phone.add_argument("--findings", type=pathlib.Path)
    on_phone.add_argument("--screenshot", type=pathlib.Path)
    wide = commands.add_parser("wide-tree")
    wide.add_argument("tree", type=pathlib.Path)
    paper = commands.add_parser("paper")
    paper.add_argument("printed", type=pathlib.Path)
    printing = commands.add_parser("a4")
    printing.add_argument("printed", type=pathlib.Path)
    options = parser.parse_args()
    if options.command == "probe":
        return probe(options.grid_page, options.probe_page)
    if options.command == "a4":
        return check_a4(options.printed)
    if options.command == "phone":
        return phone(options.page, options.findings, options.screenshot)
    if options.command == "wide-tree":
        return wide_tree(options.tree)
    if options.command == "paper":
        return check_paper(options.printed)
    return check(options)


if __name__ == "__main__":
    sys.exit(main())
