"""A small model of a Korvo run, written from the program's rules rather than from its code, used
by make_expected.py to write the expected files of end-to-end cases. It works on bytes
throughout, on the POSIX flavour ('/' as the separator).

model_run(cwd, args) runs in the directory cwd (a real path, as bytes) with the arguments args
(bytes) and returns (log bytes or None, exit code, the names of the pages it wrote or tried to
write: the page, then the grid page; standard error bytes); the pages are written into the
directory as the program would write them. A run asked for its help or its version writes no log
(None); model_standard_output(args) is what it writes on standard output (each line end "\n").
"""
import os
import re

import run_e2e

INT_MAX = 2147483647
LINE_LIMIT = 127
NAME_BUFFER = 4096  # a name with its terminating zero, as POSIX file calls take it (PATH_MAX)
WHITESPACE = b"\t\n\v\f\r "
DIGITS = b"0123456789"
DEGREE = 0xB0

USAGE = b"Korvo [-1 | -2] [-a<aspect-names-file>] [<aspects-list-file>]"
VERSION = run_e2e.project_version().encode()
CP = "cp1251"


def ru(text):
    """A fixed Russian text as its Windows-1251 bytes."""
    return text.encode(CP)


def is_space(byte):
    return byte in WHITESPACE


def escaped(text):
    """A text of the files as the page shows it: '&', '<' and '>' as entities, every '&' too."""
    return text.replace(b"&", b"&amp;").replace(b"<", b"&lt;").replace(b">", b"&gt;")


# ---------------------------------------------------------------------------------------------
# Names and files


def absolute_path(cwd, name, capacity=NAME_BUFFER):
    """The POSIX flavour of the absolute-path rule; None when there is no result."""
    return absolute_name(cwd, name, capacity)[0]


def absolute_name(cwd, name, capacity=NAME_BUFFER):
    """(the absolute name or None, whether there is none because it would not fit capacity)."""
    full = unlimited_absolute_path(cwd, name)
    if full is not None and len(full) + 1 > capacity:
        return None, True
    return full, False


def too_long_line(capacity):
    return (b"The name is longer than ", str(capacity - 1).encode(), b" bytes")


def unlimited_absolute_path(cwd, name):
    if not name:
        return None
    if name.startswith(b"/"):
        full = name
    else:
        full = cwd + (b"" if cwd.endswith(b"/") else b"/") + name
    # ".." segments, left to right
    while True:
        index = find_dotdot(full)
        if index < 0:
            break
        start = segment_start(full, index)
        if start is None:
            return None
        rest = full[index + 3:]
        if start == 0 and not rest:
            full = b"/"
        else:
            full = full[:start] + rest
    # "." segments
    while b"/./" in full:
        full = full.replace(b"/./", b"/", 1)
    if full.endswith(b"/."):
        full = full[:-2] or b"/"
    return full


def find_dotdot(full):
    start = 0
    while True:
        index = full.find(b"/..", start)
        if index < 0:
            return -1
        after = full[index + 3:index + 4]
        if after in (b"", b"/"):
            return index
        start = index + 1


def segment_start(full, index):
    """Start of the segment before the "/.." at index, stepping over "/." segments; None when no
    segment is left before it."""
    end = index
    while True:
        if end == 0:
            return None
        start = full.rfind(b"/", 0, end)
        if full[start:end] == b"/.":
            end = start
            continue
        return start


def can_read(name):
    try:
        with open(name, "rb"):
            pass
        return not os.path.isdir(name)
    except OSError:
        return False


CODE_PAGES = {0: "cp1252", 1: "cp1251"}
CODE_PAGE_NAMES = {0: b"Windows-1252", 1: b"Windows-1251"}
UTF8_MARK = b"\xef\xbb\xbf"
UTF16_MARKS = {b"\xff\xfe": "little", b"\xfe\xff": "big"}


def to_code_page(text, language):
    """A Unicode text in the run's code page, each character without a form there written as
    '?', and the number of those characters."""
    out = b""
    missing = 0
    for character in text:
        try:
            out += character.encode(CODE_PAGES[language])
        except UnicodeEncodeError:
            out += b"?"
            missing += 1
    return out, missing


def decode_utf16(data, byteorder):
    """The characters of UTF-16 code units, paired surrogates joined; an unpaired surrogate stays
    as it is (no code page has it) and a last odd byte becomes U+FFFF (nor that)."""
    units = [int.from_bytes(data[i:i + 2], byteorder) for i in range(0, len(data) - 1, 2)]
    if len(data) % 2:
        units.append(0xFFFF)
    characters = []
    i = 0
    while i < len(units):
        unit = units[i]
        if 0xD800 <= unit < 0xDC00 and i + 1 < len(units) and 0xDC00 <= units[i + 1] < 0xE000:
            characters.append(chr(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00)))
            i += 2
            continue
        characters.append(chr(unit))
        i += 1
    return "".join(characters)


def split_lines(data):
    """The lines of a text (bytes or str): split at LF, a CR right before an LF dropped, the last
    line counted when it holds anything."""
    if not data:
        return []
    line_feed, carriage_return = ("\n", "\r") if isinstance(data, str) else (b"\n", b"\r")
    pieces = data.split(line_feed)
    last_has_line_end = len(pieces[-1]) == 0
    if last_has_line_end:
        pieces.pop()
    lines = []
    for number, raw in enumerate(pieces, start=1):
        ended_by_lf = number < len(pieces) or last_has_line_end
        if ended_by_lf and raw.endswith(carriage_return):
            raw = raw[:-1]
        lines.append(raw)
    return lines


def is_utf8_line(raw):
    """A line read as UTF-8: it holds a byte of 0x80 or more and is, as a whole, valid UTF-8."""
    if all(byte < 0x80 for byte in raw):
        return False
    try:
        raw.decode("utf-8")  # Python's strict decoder follows RFC 3629
        return True
    except UnicodeDecodeError:
        return False


def read_lines(path, log, shown_name, language):
    """Yields every line of the file as code-page bytes (line end dropped, CR before LF dropped;
    UTF-16 files and UTF-8 lines converted, with a log line for characters without a form; cut
    at 127 bytes with a log line; text ended at a zero byte, with a log line when more followed),
    and after the last line logs how the file was read when it was not plain code-page bytes."""
    with open(path, "rb") as source:
        data = source.read()
    byteorder = UTF16_MARKS.get(data[:2])
    if byteorder:
        lines = [to_code_page(line, language)
                 for line in split_lines(decode_utf16(data[2:], byteorder))]
    else:
        if data.startswith(UTF8_MARK):
            data = data[3:]
        lines = [to_code_page(raw.decode("utf-8"), language) + (True,) if is_utf8_line(raw)
                 else (raw, 0, False) for raw in split_lines(data)]
    utf8_lines = 0
    for number, converted in enumerate(lines, start=1):
        raw, missing = converted[0], converted[1]
        if not byteorder and converted[2]:
            utf8_lines += 1
        prefix = (b"Line ", str(number).encode(), b" of ", shown_name)
        if missing:
            log.line(*prefix, b": ", str(missing).encode(), b" characters not in ",
                     CODE_PAGE_NAMES[language], b", written as ?")
        whole_length = len(raw)
        if len(raw) > LINE_LIMIT:
            raw = raw[:LINE_LIMIT]
            log.line(*prefix, b" cut at 127 bytes")
        zero = raw.find(b"\0")
        if zero >= 0:
            if whole_length > zero + 1:
                log.line(*prefix, b" cut at a zero byte")
            raw = raw[:zero]
        yield raw
    if byteorder:
        log.line(b"Read ", shown_name, b" as UTF-16")
    elif utf8_lines:
        log.line(b"Read ", str(utf8_lines).encode(), b" lines of ", shown_name, b" as UTF-8")


class Log:
    """The run log: the bytes of Korvo.log, and what standard error shows once the file fails.
    A file that cannot be opened takes nothing (state 4); one that reaches the file-size limit
    `limit` takes the part of the line that fits and nothing more (state 1). From then on every
    line goes to standard error whole, each CR LF as LF, the last line ended too, after one line
    that says so and why: `refusal`, why the file could not be opened (None: it could), or
    `limit_reason`, what the limit is to the system."""

    def __init__(self, cwd, refusal=None, limit=None, limit_reason=b""):
        self.data = b""
        self.console = b""
        self.state = 0
        self.cwd = cwd
        self.limit = limit
        self.limit_reason = limit_reason
        if refusal is not None:
            self.fail(4, refusal)

    def fail(self, state, reason):
        self.state = state
        self.console += (b"Korvo: Korvo.log cannot be written in " + self.cwd + b": " + reason
                         + b"\n")

    def write(self, pieces, line_end):
        text = b"".join(pieces).replace(b"\n", b"\r\n")
        if self.state == 0:
            room = None if self.limit is None else self.limit - len(self.data)
            if room is None or len(text + line_end) <= room:
                self.data += text + line_end
                return
            self.data += (text + line_end)[:room]
            self.fail(1, self.limit_reason)
        self.console += text.replace(b"\r\n", b"\n") + b"\n"

    def line(self, *pieces):
        self.write(pieces, b"\r\n")

    def last(self, *pieces):
        self.write(pieces, b"")


# ---------------------------------------------------------------------------------------------
# Aspect entries


class Entry:
    def __init__(self, aspect, from_planet, to_planet, orb_text, orb_seconds, orb_sign):
        self.aspect = aspect
        self.from_planet = from_planet
        self.to_planet = to_planet
        self.orb_text = orb_text
        self.orb_seconds = orb_seconds
        self.orb_sign = orb_sign

    def mirrored(self):
        return Entry(self.aspect, self.to_planet, self.from_planet, self.orb_text,
                     self.orb_seconds, self.orb_sign)


def orb_seconds(orb_text):
    total = 0
    current = 0
    last_mark = None
    for byte in orb_text:
        if byte in DIGITS:
            current = current * 10 + (byte - 48)
        elif byte in (DEGREE, 0x27):
            total = (total + current) * 60
            current = 0
            last_mark = byte
        elif byte == 0x22:
            total += current
            current = 0
            last_mark = byte
    if last_mark == DEGREE:
        total *= 60
    return min(total, INT_MAX)


def parse_aspect_line(line):
    """The entry of an aspect line, or None when the line breaks one of the three limits."""
    space = next((i for i, b in enumerate(line) if is_space(b)), -1)
    if space < 0:
        return None
    aspect = line[:space]
    from_start = space
    while from_start < len(line) and is_space(line[from_start]):
        from_start += 1
    dash = line.find(b"-", from_start)
    if dash < 0:
        return None
    degree = line.find(bytes([DEGREE]), dash + 1)
    if degree < 0:
        return None
    from_planet = line[from_start:dash]
    to_start = dash + 1
    p = degree - 1
    while p > dash and line[p] in DIGITS:
        p -= 1
    orb_text = line[p + 1:]
    if p == dash:  # the digits follow the '-' at once
        return Entry(aspect, from_planet, b"", orb_text, orb_seconds(orb_text), 32)
    if is_space(line[p]):
        sign = 32
        k = p
    else:
        sign = line[p]
        k = p - 1
    while k >= to_start and is_space(line[k]):
        k -= 1
    to_planet = line[to_start:k + 1] if k >= to_start else b""
    return Entry(aspect, from_planet, to_planet, orb_text, orb_seconds(orb_text), sign)


# An orb written whole: degrees, then optional minutes and seconds, each with its digits and
# its mark, then nothing but whitespace.
WHOLE_ORB = re.compile(rb"[0-9]+\xb0(?:[0-9]+')?(?:[0-9]+\")?[\t\n\v\f\r ]*")


def reads_as_whole_aspect(line):
    entry = parse_aspect_line(line)
    return entry is not None and WHOLE_ORB.fullmatch(entry.orb_text) is not None


def read_aspects_list(lines, log, input_name, language):
    header = b""
    header_reads_as_aspects = True
    whole_aspects = []  # the numbers of the header lines that read as whole aspect lines
    for number in range(1, 5):
        line = next(lines, None)
        header += escaped(line or b"") + b"<br>"
        header_reads_as_aspects = (header_reads_as_aspects and line is not None
                                   and parse_aspect_line(line) is not None)
        if line is not None and reads_as_whole_aspect(line):
            whole_aspects.append(number)
    if header_reads_as_aspects:
        log.line(b"Header of ", input_name, b" reads as aspect lines")
    else:
        for number in whole_aspects:
            log.line(b"Line ", str(number).encode(), b" of ", input_name,
                     b" is in the header but reads as an aspect line")
    entries = []
    for number, line in enumerate(lines, start=5):
        if DEGREE not in line:
            continue
        entry = parse_aspect_line(line)
        if entry is None:
            log.line(b"Line ", str(number).encode(), b" of ", input_name,
                     b" skipped: not an aspect line")
        else:
            if entry.orb_sign not in b" +-":
                log.line(b"Line ", str(number).encode(), b" of ", input_name, b": orb sign '",
                         in_utf8(bytes([entry.orb_sign]), language), b"' is not +, - or a blank")
            entries.append(entry)
    return header, entries


def sort_by_orb(entries):
    return sorted(entries, key=lambda e: e.orb_seconds)  # Python's sort is stable


def group_by(entries, names, key):
    return [e for name in names for e in entries if key(e) == name]


# ---------------------------------------------------------------------------------------------
# The page

HEAD_EN = (b'<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\n<html>\n<head>\n'
           b"  <title>VEXA - Aspects List</title>\n</head>\n"
           b'<body bgcolor="#ffffff" text="#000000">\n')
HEAD_RU = (b'<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\n<html>\n<head>\n'
           b'  <meta http-equiv="Content-Type" content="text/html; charset=windows-1251">\n'
           b"  <title>VEXA - " + ru("Список аспектов") + b"</title>\n</head>\n"
           b'<body bgcolor="#ffffff" text="#000000">\n')
TITLES = {
    0: {"orb": b"Orb", "aspect": b"Aspect", "from": b"From", "to": b"To"},
    1: {"orb": ru("Орбис"), "aspect": ru("Аспекта"), "from": ru("От"), "to": ru("До")},
}
COLUMNS = {1: ["orb", "aspect", "from", "to"], 2: ["from", "aspect", "to", "orb"],
           3: ["aspect", "from", "to", "orb"]}
SPACER = b"<td>&nbsp;&nbsp;</td>"
FONT = b'<font face ="Courier New">'


def header_row(layout, language):
    cells = []
    for index, column in enumerate(COLUMNS[layout]):
        if index:
            cells.append(b"  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\n")
        align = b"center" if column == "orb" else b"left"
        cells.append(b"  <td align=" + align + b" bgcolor=Silver><b>" + TITLES[language][column]
                     + b"</b></td>\n")
    return b"<tr>\n" + b"".join(cells) + b"</tr>\n"


def sign_text(entry):
    return b"&nbsp;" if is_space(entry.orb_sign) else escaped(bytes([entry.orb_sign]))


def data_rows(entries, layout):
    rows = b""
    previous = b""
    for e in entries:
        aspect, from_planet, to_planet, orb_text = (
            escaped(e.aspect), escaped(e.from_planet), escaped(e.to_planet), escaped(e.orb_text))
        if layout == 1:
            rows += (b"<tr><td>" + FONT + sign_text(e) + b"<b>" + orb_text + b"</b></font></td>"
                     + SPACER + b"<td>" + aspect + b"</td>" + SPACER + b"<td>" + from_planet
                     + b"</td>" + SPACER + b"<td>" + to_planet + b"</td>" + SPACER + b"</tr>\n")
            continue
        # Group names are compared as read, and shown escaped.
        group, second = (e.from_planet, aspect) if layout == 2 else (e.aspect, from_planet)
        shown = b"" if group == previous else b"<b>" + escaped(group) + b"</b>"
        rows += (b"<tr><td>" + shown + b"</td>" + SPACER + b"<td>" + second + b"</td>" + SPACER
                 + b"<td>" + to_planet + b"</td>" + SPACER + b"<td>" + FONT + sign_text(e)
                 + orb_text + b"</font></td>" + SPACER + b"</tr>\n")
        previous = group
    return rows


def table_block(entries, layout, language):
    return (b"<table align=left cellspacing=0>\n" + header_row(layout, language)
            + data_rows(entries, layout) + b"</table>\n")


def page_name(name):
    slash = name.rfind(b"/")
    dot = name.rfind(b".")
    if dot > slash:
        return name[:dot] + b".html"
    return name + b".html"


# ---------------------------------------------------------------------------------------------
# The grid page

GRID_TITLE = {0: b"<title>VEXA - Aspect Grid</title>",
              1: b"<title>VEXA - " + ru("Сетка аспектов") + b"</title>"}
# An existing file is replaced by the grid page only when its first bytes hold a grid title: the
# English one, or the Russian one in Windows-1251 (as 1.1.0 wrote it) or in UTF-8.
GRID_TITLES = [GRID_TITLE[0], GRID_TITLE[1], "<title>VEXA - Сетка аспектов</title>".encode()]
GRID_TITLE_SEARCH = 1024
MOST_GRID_POINTS = 200
GRID_STYLE_START = (
    b"  <style>\n"
    b"    body { font-family: sans-serif; color: #000; background: #fff; }\n"
    b"    .grid-box { overflow: auto; max-width: 100%; max-height: 100vh; }\n"
    b"    #aspect-grid { border-collapse: collapse; }\n"
    b"    #aspect-grid th { font-weight: normal; padding: 0 0.4em; background: #fff; }\n"
    b"    #aspect-grid thead th, #aspect-grid thead td { position: sticky; top: 0; z-index: 1;"
    b" height: 1.8em; background: #fff; }\n"
    b"    #aspect-grid thead th { font-size: 1.3em; }\n"
    b"    #aspect-grid tbody th { position: sticky; left: 0; z-index: 1; text-align: right;"
    b" white-space: nowrap; }\n"
    b"    #aspect-grid thead td.corner { left: 0; z-index: 2; }\n"
    b"    #aspect-grid td { width: 3.4em; height: 2.6em; padding: 0.1em; text-align: center;"
    b" vertical-align: middle; border: 1px solid #999; }\n"
    b"    #aspect-grid td.corner, #aspect-grid td.above, #aspect-grid td.total { border: none; }\n"
    b"    #aspect-grid td.point { background: #eee; font-size: 1.3em; }\n"
    b"    #aspect-grid td.total { width: auto; padding: 0 0.4em; font-weight: bold; }\n"
    b"    .columns-caption, .rows-caption { display: block; font-size: 0.75em; white-space: nowrap;"
    b" }\n"
    b"    .columns-caption { text-align: right; }\n"
    b"    .rows-caption { text-align: left; }\n"
    b"    svg.glyph { width: 1em; height: 1em; vertical-align: middle; fill: none;"
    b" stroke: currentColor; stroke-width: 1.5; stroke-linecap: round; stroke-linejoin: round; }\n"
    b"    .aspect { display: block; white-space: nowrap; line-height: 1.1; }\n"
    b"    .point .aspect { font-size: 0.77em; }\n"
    b"    .aspect:focus { outline: 2px solid #000; }\n"
    b"    .aspect:focus::after { content: attr(aria-label); position: fixed; left: 0.5em;"
    b" right: 0.5em; bottom: 0.5em; z-index: 3; padding: 0.4em; border: 1px solid #000;"
    b" background: #fff; color: #000; font-size: 1rem; font-weight: normal; white-space: normal; }\n"
    b"    .symbol { display: block; margin: 0 auto; width: 1.3em; height: 1.3em; font-weight: bold;"
    b" }\n"
    b"    svg.symbol { fill: none; stroke: currentColor; stroke-width: 1.7; stroke-linecap: round;"
    b" stroke-linejoin: round; }\n"
    b"    .orb { display: block; font-size: 0.75em; }\n"
    b"    .tight, .tight-legend { font-weight: bold; }\n"
    b"    .tight svg.symbol { stroke-width: 2.8; }\n"
    b"    .legend { margin-top: 1em; }\n"
    b"    .legend .entry { display: inline-block; margin-right: 1.5em; white-space: nowrap; }\n"
    b"    .legend .symbol { display: inline-block; vertical-align: middle; }\n"
    b"    svg.symbols { position: absolute; width: 0; height: 0; }\n"
    b"    @page { size: A4; margin: 12mm; }\n"
    b"    @media print {\n"
    b"      body { font-size: 8pt; }\n"
    b"      .grid-box { overflow: visible; max-height: none; }\n"
    b"      #aspect-grid { table-layout: fixed; }\n"
    b"      #aspect-grid thead th, #aspect-grid thead td, #aspect-grid tbody th { position: static; "
    b"}\n"
    b"      #aspect-grid td { width: auto; }\n"
    b"      #aspect-grid thead td.corner { width: 7em; }\n"
    b"      #aspect-grid thead td.total { width: 3em; }\n"
    b"      #aspect-grid tbody th { white-space: normal; overflow-wrap: anywhere; }\n"
    b"      #aspect-grid td.point { print-color-adjust: exact; -webkit-print-color-adjust: exact; "
    b"}\n"
    b"      #aspect-grid tr, .legend { break-inside: avoid; }\n"
    b"      .legend { break-before: avoid; }\n"
    b"      .aspect:focus::after { display: none; }\n"
    b"    }\n")
# The colour of each tone, and the size of the printed grid: 8 pt, or smaller so that its row
# names (7 em), its columns (3.7 em each) and its totals (3 em) fit the 186 mm of A4 within its
# margins (527.24 pt); the table takes that width.
TONE_COLOURS = [(b"tense", b"#c05010"), (b"harmonious", b"#0018f8"), (b"conjunction", b"#000000"),
                (b"other", b"#c040a8")]


def print_scale(columns):
    deci_ems = 70 + 37 * columns + 30
    font = min(800, 52724 * 10 // deci_ems)
    width = deci_ems * font // 10
    return b"    @media print { #aspect-grid { font-size: %d.%02dpt; width: %d.%02dpt; } }\n" % (
        font // 100, font % 100, width // 100, width % 100)


def grid_style(columns):
    return (GRID_STYLE_START
            + b"".join(b"    ." + tone + b" { color: " + colour + b"; }\n"
                       for tone, colour in TONE_COLOURS)
            + print_scale(columns) + b"  </style>\n</head>\n<body>\n")


# The aspect types by their names (compared without case), with their drawn symbol (its id) or
# text symbol, and the tone of their colour.
DRAWINGS = {
    b"conjunction": b'<circle cx="8" cy="12" r="4.5"/><path d="M11.2 8.8L16 4"/>',
    b"opposition": b'<circle cx="5" cy="15" r="3"/><circle cx="15" cy="5" r="3"/>'
                   b'<path d="M7.1 12.9L12.9 7.1"/>',
    b"trine": b'<path d="M10 3L17.5 16.5H2.5Z"/>',
    b"square": b'<path d="M4 4H16V16H4Z"/>',
    b"sextile": b'<path d="M10 3V17M3.9 6.5L16.1 13.5M3.9 13.5L16.1 6.5"/>',
    b"semisextile": b'<path d="M4 4L10 13L16 4M4 16.5H16"/>',
    b"quincunx": b'<path d="M4 3.5H16M4 16L10 7L16 16"/>',
    b"semisquare": b'<path d="M16 5L4 15H16"/>',
    b"sesquiquadrate": b'<path d="M3 8H12V17H3ZM12 8L17 3"/>',
}
ASPECT_TYPES = [  # (names, drawing or None, text, tone)
    (["conjunction", "соединение"], b"conjunction", None, b"conjunction"),
    (["opposition", "оппозиция"], b"opposition", None, b"tense"),
    (["trine", "трин", "тригон"], b"trine", None, b"harmonious"),
    (["square", "квадрат", "квадратура"], b"square", None, b"tense"),
    (["sextile", "секстиль"], b"sextile", None, b"harmonious"),
    (["semisextile", "semi-sextile", "полусекстиль"], b"semisextile", None, b"other"),
    (["quincunx", "inconjunct", "квинконс"], b"quincunx", None, b"other"),
    (["semisquare", "semi-square", "octile", "полуквадрат"], b"semisquare", None, b"tense"),
    (["sesquiquadrate", "sesquisquare", "полутораквадрат", "сесквиквадрат"], b"sesquiquadrate",
     None, b"tense"),
    (["quintile", "квинтиль"], None, b"Q", b"other"),
    (["biquintile", "биквинтиль"], None, b"bQ", b"other"),
]
GLYPHS = [  # (English, Russian, the id of its drawn glyph, its shapes)
    ("sun", "солнце", b"sun",
     b'<circle cx="10" cy="10" r="7"/><circle cx="10" cy="10" r="1.3" fill="currentColor"/>'),
    ("moon", "луна", b"moon", b'<path d="M8 3A7 7 0 0 1 8 17A5.2 7 0 0 0 8 3Z"/>'),
    ("mercury", "меркурий", b"mercury",
     b'<circle cx="10" cy="9" r="3.5"/><path d="M6.5 2.5A3.5 3 0 0 0 13.5 2.5M10 12.5V18.5'
     b'M7.5 15.5H12.5"/>'),
    ("venus", "венера", b"venus",
     b'<circle cx="10" cy="7" r="4.5"/><path d="M10 11.5V18.5M7 15H13"/>'),
    ("mars", "марс", b"mars",
     b'<circle cx="8" cy="12" r="4.5"/><path d="M11.2 8.8L16.5 3.5M12.5 3.5H16.5V7.5"/>'),
    ("jupiter", "юпитер", b"jupiter", b'<path d="M4.5 6.5A3 3 0 1 1 9.5 9L4 14H16.5M13.5 3V18"/>'),
    ("saturn", "сатурн", b"saturn",
     b'<path d="M5 4.5H10M7.5 2V14Q7.5 9.5 11 9.5Q14.5 9.5 13 13.5Q11.5 16.5 14 18"/>'),
    ("uranus", "уран", b"uranus",
     b'<path d="M5 3V12M15 3V12M5 7.5H15M10 3V13"/><circle cx="10" cy="15.5" r="2.2"/>'),
    ("neptune", "нептун", b"neptune",
     b'<path d="M4 4.5Q4 11.5 10 11.5Q16 11.5 16 4.5M10 3V18.5M7 15.5H13"/>'),
    ("pluto", "плутон", b"pluto", b'<path d="M6 2.5V17.5H13.5M6 2.5H10A3.5 3.5 0 0 1 10 9.5H6"/>'),
    ("north node", "сев. узел", b"north-node",
     b'<path d="M7.3 14.2A5 5 0 1 1 12.7 14.2"/><circle cx="6" cy="15.5" r="2"/>'
     b'<circle cx="14" cy="15.5" r="2"/>'),
    ("south node", "юж. узел", b"south-node",
     b'<path d="M7.3 5.8A5 5 0 1 0 12.7 5.8"/><circle cx="6" cy="4.5" r="2"/>'
     b'<circle cx="14" cy="4.5" r="2"/>'),
    ("chiron", "хирон", b"chiron",
     b'<path d="M9 2.5V12.5M9 8L14 3M9 8L14 12"/><circle cx="9" cy="15.5" r="2.6"/>'),
    ("lilith", "лилит", b"lilith",
     b'<path d="M9 1.5A5 5 0 1 0 9 11.5A3.8 5 0 0 1 9 1.5Z"/><path d="M10 11.5V18.5M7 15.5H13"/>'),
]
# The grid's own texts in each language: the captions of a transit grid's columns and rows, the
# header over the totals, and what bold means.
GRID_TEXTS = {
    0: (b"Transiting", b"Natal", b"Total", b"bold: orb under 1\xb0"),
    1: (ru("Транзитные"), ru("Натальные"), ru("Всего"), ru("жирным: орбис меньше 1°")),
}
TIGHT_SECONDS = 3600  # an orb under 1 degree
# Lower case in the run's code page: of ASCII letters, and in Russian runs of the Windows-1251
# Cyrillic capitals.
LOWER = {language: bytes(b + 32 if 65 <= b <= 90 or (language == 1 and 0xC0 <= b <= 0xDF)
                         else 0xB8 if language == 1 and b == 0xA8 else b for b in range(256))
         for language in (0, 1)}


def known_name(name, names, language):
    """Whether the name is one of the names, without case; Russian names only in Russian runs."""
    return name.translate(LOWER[language]) in [
        ru(known) for known in names if language == 1 or known.isascii()]


def aspect_symbol(aspect, language):
    """(drawing id or None, text, tone) of an aspect name."""
    for names, drawing, text, tone in ASPECT_TYPES:
        if known_name(aspect, names, language):
            return drawing, text, tone
    return None, aspect[:3], b"other"


def symbol_markup(drawing, text):
    if drawing is not None:
        return b'<svg class="symbol"><use href="#' + drawing + b'"/></svg>'
    return b'<span class="symbol">' + escaped(text) + b"</span>"


def point_glyph(name, is_house, language):
    """(id, shapes) of a point's drawn glyph, or None."""
    for english, russian, glyph_id, shapes in GLYPHS:
        if not is_house and known_name(name, [english, russian], language):
            return glyph_id, shapes
    return None


def point_label(name, is_house, language):
    if is_house:
        return name.split(b" ")[0]
    glyph = point_glyph(name, is_house, language)
    if glyph:
        return b'<svg class="glyph"><use href="#' + glyph[0] + b'"/></svg>'
    return escaped(name[:3])


def attribute(text):
    return escaped(text).replace(b'"', b"&quot;")


def grid_axis(file_names, orb_entries, language, sides):
    """The points of an axis: (name, whether a house of the language)."""
    points, placed = [], set()

    def place(name, is_house):
        if name not in placed:
            placed.add(name)
            points.append((name, is_house))

    for name in file_names:
        place(name, name in HOUSES[language])
    occurring = [getattr(e, side) for e in orb_entries for side in sides]
    for house in HOUSES[language]:
        if house in occurring:
            place(house, True)
    for name in occurring:
        place(name, False)
    return points


def orb_to_minutes(orb_text):
    match = re.match(rb"[0-9]*\xb0(?:[0-9]+')?", orb_text)
    return match.group(0)


def aspect_markup(e, language):
    drawing, text, tone = aspect_symbol(e.aspect, language)
    sign = b"" if is_space(e.orb_sign) else bytes([e.orb_sign])
    title = attribute(e.aspect + b" " + e.from_planet + b"-" + e.to_planet + b" " + sign
                      + e.orb_text)
    tight = b" tight" if e.orb_seconds < TIGHT_SECONDS else b""
    return (b'<span class="aspect ' + tone + tight + b'" tabindex="0" role="img" title="' + title
            + b'" aria-label="' + title + b'">' + symbol_markup(drawing, text)
            + b'<span class="orb">' + escaped(sign) + escaped(orb_to_minutes(e.orb_text))
            + b"</span></span>")


def grid_axes(orb_entries, file_planets, language, mode):
    """(rows, columns) of the grid."""
    if mode == 1:
        axis = grid_axis(file_planets, orb_entries, language, ["from_planet", "to_planet"])
        return axis, axis
    return (grid_axis(file_planets, orb_entries, language, ["to_planet"]),
            grid_axis(file_planets, orb_entries, language, ["from_planet"]))


def in_utf8(text, language):
    """A text of the run's code page in UTF-8, a byte with no character there as '?' (neither
    code page has U+FFFD)."""
    return text.decode(CODE_PAGES[language], errors="replace").replace("\ufffd", "?").encode()


def symbol_definitions(types, rows, columns, language):
    """Each drawn symbol the grid shows, then each glyph of its points (columns first), once."""
    shown = [(drawing, DRAWINGS[drawing]) for drawing, _, _ in
             (aspect_symbol(aspect, language) for aspect in types) if drawing is not None]
    shown += [glyph for name, house in columns + rows
              for glyph in [point_glyph(name, house, language)] if glyph]
    text, defined = b'<svg class="symbols" aria-hidden="true">\n', set()
    for symbol_id, shapes in shown:
        if symbol_id not in defined:
            defined.add(symbol_id)
            text += b'<symbol id="' + symbol_id + b'" viewBox="0 0 20 20">' + shapes + b"</symbol>\n"
    return text + b"</svg>\n"


def grid_page(header, type_entries, rows, columns, language, mode):
    """The grid page, in UTF-8: each aspect once, at its first place in the aspect-type table, in
    its cell; each row's total, each type's count."""
    natal = mode == 1
    row_of = {name: i for i, (name, _) in enumerate(rows)}
    column_of = {name: i for i, (name, _) in enumerate(columns)}
    cells, totals = {}, [0] * len(rows)
    shown, seen = [], set()  # each entry once, in the aspect-type table's order
    for e in type_entries:
        if id(e) not in seen:
            seen.add(id(e))
            shown.append(e)
    for e in shown:
        if natal:
            points = {row_of[e.from_planet], row_of[e.to_planet]}  # a point with itself once
            cell = (max(points), min(points))
        else:
            points = {row_of[e.to_planet]}
            cell = (row_of[e.to_planet], column_of[e.from_planet])
        cells.setdefault(cell, []).append(e)
        for point in points:
            totals[point] += 1
    types = list(dict.fromkeys(e.aspect for e in shown))
    columns_caption, rows_caption, total_header, tight_legend = GRID_TEXTS[language]

    text = (b'<!DOCTYPE html>\n<html lang="' + (b"ru" if language == 1 else b"en")
            + b'">\n<head>\n  <meta charset="utf-8">\n  ' + GRID_TITLE[language]
            + b'\n  <meta name="viewport" content="width=device-width, initial-scale=1">\n')
    text += grid_style(len(columns)) + symbol_definitions(types, rows, columns, language)
    text += b"<h3>" + header + b"</h3>\n"
    text += b'<div class="grid-box">\n<table id="aspect-grid">\n<thead>\n<tr><td class="corner">'
    if not natal:
        text += (b'<span class="columns-caption">' + columns_caption + b'</span>'
                 b'<span class="rows-caption">' + rows_caption + b"</span>")
    text += b"</td>" + b"".join(
        b'<th title="' + attribute(name) + b'">' + point_label(name, house, language) + b"</th>"
        for name, house in columns)
    text += b'<td class="total">' + total_header + b"</td></tr>\n</thead>\n<tbody>\n"
    for r, (name, house) in enumerate(rows):
        text += b"<tr><th>" + escaped(name) + b"</th>"
        for c in range(len(columns)):
            content = b"".join(aspect_markup(e, language) for e in cells.get((r, c), []))
            if natal and c > r:
                text += b'<td class="above"></td>'
            elif natal and c == r:
                text += (b'<td class="point">' + point_label(name, house, language) + content
                         + b"</td>")
            else:
                text += b"<td>" + content + b"</td>"
        text += b'<td class="total">%d</td></tr>\n' % totals[r]
    text += b"</tbody>\n</table>\n</div>\n" + b'<p class="legend">'
    for aspect in types:
        drawing, symbol_text, tone = aspect_symbol(aspect, language)
        count = sum(1 for e in shown if e.aspect == aspect)
        text += (b'<span class="entry"><span class="' + tone + b'">'
                 + symbol_markup(drawing, symbol_text) + b"</span> " + escaped(aspect)
                 + b' <span class="count">(%d)</span></span>' % count)
    if any(e.orb_seconds < TIGHT_SECONDS for e in shown):
        text += b'<span class="entry tight-legend">' + tight_legend + b"</span>"
    return in_utf8(text + b"</p>\n</body>\n</html>\n", language)


def is_grid_page(name):
    """Whether the grid page may replace what is at name: no plain file is there (nothing, a
    folder, a device, a link to a missing file), or a plain file whose start holds a grid title."""
    if not os.path.isfile(name):
        return True
    try:
        with open(name, "rb") as existing:
            start = existing.read(GRID_TITLE_SEARCH)
    except OSError:
        return False
    return any(title in start for title in GRID_TITLES)


# ---------------------------------------------------------------------------------------------
# The run

HOUSES = {
    0: [numeral + b" House" for numeral in
        b"I II III IV V VI VII VIII IX X XI XII".split()],
    1: [numeral + b" " + ru("дом") for numeral in
        b"I II III IV V VI VII VIII IX X XI XII".split()],
}
DEFAULT_TYPES = {
    (0, 1): b"aspects/Natal.asp",
    (0, 2): b"aspects/Transit.asp",
    (1, 1): b"aspects/" + bytes([0xEC, 0xE1, 0xD4, 0xE1, 0xBD]) + b".asp",
    (1, 2): b"aspects/" + ru("Транзит") + b".asp",
}
PLANETS = {0: b"Language/English/Planets.txt", 1: b"Language/Russian/Planets.txt"}


def parse_command_line(cwd, args, log):
    """(mode, aspect-types name or None, input name, whether -g asks for the grid page); the
    arguments not used are logged."""
    mode = 1
    grid = False
    types_name = None
    counter = len(args) + 1
    position = 0
    ignored = []  # (argument, whether its name is too long)
    while position < len(args) and args[position][:1] == b"-":
        option = args[position][1:2]
        if option in (b"1", b"2"):
            mode = int(option)
        elif option == b"g":
            grid = True
        elif option == b"a":
            name, too_long = absolute_name(cwd, args[position][2:])
            if name is not None:
                types_name = name
            else:
                ignored.append((args[position], too_long))
        else:
            ignored.append((args[position], False))
            position += 1
            continue
        counter -= 1
        position += 1
    if counter == 2 and position < len(args):
        input_name = args[position]
    else:
        input_name = b"Wrk/Aspects.txt"
        ignored += [(argument, False) for argument in args[position:]]
    for argument, too_long in ignored:
        log.line(b"Argument ignored: ", argument)
        if too_long:
            log.line(*too_long_line(NAME_BUFFER))
    return mode, types_name, input_name, grid


def open_aspect_types(cwd, types_name, language, mode, log):
    """The name of the opened aspect-types file (as logged), or None."""
    if types_name is not None:
        if can_read(types_name):
            log.line(b"Using aspect-types: ", types_name)
            return types_name
        log.line(b"File ", types_name, b" not available")
        return None
    relative = DEFAULT_TYPES[(language, mode)]
    capacity = NAME_BUFFER if language == 0 else NAME_BUFFER - 1
    name, too_long = absolute_name(cwd, relative, capacity)
    if name is None:
        log.line(b"File ", relative, b" not available")
        if too_long:
            log.line(*too_long_line(capacity))
        if language == 1:
            log.line(b"File !", relative, b" not available")
            if too_long:
                log.line(*too_long_line(capacity))
        return None
    # A Russian try also looks for the UTF-8 spelling of the same characters; the log names the
    # spelling that opened, else the Windows-1251 one.
    utf8_name = absolute_path(cwd, relative.decode("cp1251").encode("utf-8"), NAME_BUFFER - 1)
    spellings = [name] + ([utf8_name] if language == 1 and utf8_name is not None else [])
    for spelling in spellings:
        if can_read(spelling):
            log.line(b"Using aspect-type: ", spelling)
            return spelling
    log.line(b"File ", name, b" not available")
    if language != 1:
        return None
    for spelling in spellings:
        if can_read(b"!" + spelling):
            log.line(b"Using aspect-types: ", b"!" + spelling)
            return b"!" + spelling
    log.line(b"File !", name, b" not available")
    return None


def log_whitespace_edge(log, number, file_name, name, language):
    if name and (is_space(name[0]) or is_space(name[-1])):
        log.line(b"Line ", str(number).encode(), b" of ", file_name, b": the name '",
                 in_utf8(name, language), b"' begins or ends with whitespace")


def read_aspect_types(name, log, language):
    names = []
    for number, line in enumerate(read_lines(name, log, name, language), start=1):
        semicolon = line.find(b";")
        if semicolon < 0:
            continue
        end = semicolon
        while end > 0 and is_space(line[end - 1]):
            end -= 1
        log_whitespace_edge(log, number, name, line[:end], language)
        names.append(line[:end])
    return names


def read_planets(cwd, language, log):
    """(the planet names of the file, its name as logged or None when it was not opened)."""
    relative = PLANETS[language]
    name, too_long = absolute_name(cwd, relative)
    if name is None:
        log.line(b"File ", relative, b" not available")
        if too_long:
            log.line(*too_long_line(NAME_BUFFER))
        return [], None
    if not can_read(name):
        log.line(b"File ", name, b" not available")
        return [], None
    log.line(b"Using planets: ", name)
    names = []
    for number, line in enumerate(read_lines(name, log, name, language), start=1):
        if line and is_space(line[0]):
            continue
        log_whitespace_edge(log, number, name, line, language)
        names.append(line)
    return names, name


def append_unseen(names, values):
    """Appends each value not among the names yet, once; returns the values appended."""
    seen = set(names)
    appended = []
    for value in values:
        if value not in seen:
            names.append(value)
            appended.append(value)
            seen.add(value)
    return appended


def log_not_in_file(log, what, names, file_name, language):
    """The names a list uses that its names file does not list, when that file was opened."""
    if file_name is not None:
        for name in names:
            log.line(what, b" '", in_utf8(name, language), b"' is not in ", file_name)


HELP = (b"Korvo [-1 | -2] [-g] [-a<aspect-names-file>] [<aspects-list-file>]\n"
        b"  -1                   natal mode, the default: each aspect under both its planets\n"
        b"  -2                   transit mode: each aspect under its first planet only\n"
        b"  -g                   also write the aspect grid, named with -grid.html next to the page\n"
        b"  -a<file>             the aspect-types file, written right after -a\n"
        b"  <aspects-list-file>  the aspects list to convert (default: Wrk/Aspects.txt)\n"
        b"  --help               write this help, and nothing else\n"
        b"  --version            write the version, and nothing else\n"
        b"The page goes next to the list, named with .html; the log is Korvo.log in the current "
        b"directory.\n")


def model_standard_output(args):
    """What a run writes on standard output: the help or the version for the first argument that
    is exactly --help or --version, else nothing."""
    for argument in args:
        if argument == b"--help":
            return HELP
        if argument == b"--version":
            return b"Korvo " + VERSION + b"\n"
    return b""


def log_refusal(cwd):
    """Why Korvo.log cannot be opened, as standard error gives it (a link is not followed), or
    None when it can be."""
    log_name = os.path.join(cwd, b"Korvo.log")
    if os.path.islink(log_name):
        return b"it is a symbolic link"
    if os.path.isdir(log_name):
        return b"Is a directory"
    if not os.access(log_name if os.path.exists(log_name) else cwd, os.W_OK):
        return b"Permission denied"
    return None


def model_run(cwd, args, file_size_limit=None, log_room=None):
    """Runs the model in cwd, every file it writes limited to file_size_limit bytes and the log
    to log_room bytes (a full disk under it; None: no limit); returns (the bytes of Korvo.log or
    None when it cannot be opened or the run answers on standard output, exit code, page name or
    None, what standard error shows)."""
    if model_standard_output(args):
        return None, 0, [], b""  # answered on standard output: no log, no page
    limits = [(limit, reason) for limit, reason in ((file_size_limit, b"File too large"),
                                                    (log_room, b"No space left on device"))
              if limit is not None]
    log = Log(cwd, log_refusal(cwd), *(min(limits) if limits else (None, b"")))
    exit_code, pages = run_steps(cwd, args, log, file_size_limit)
    return log.data if log.state != 4 else None, exit_code, pages, log.console


def run_steps(cwd, args, log, file_size_limit):
    """The steps of a run, logged into `log`; returns (exit code, the names of the pages written
    or tried)."""
    log.line(USAGE)
    log.line(b"Version: ", VERSION)
    marker = absolute_path(cwd, b"Config/RUSSIAN.ini")
    language = 1 if marker is not None and can_read(marker) else 0
    log.line(b"Config (0=EN, 1=RU): ", str(language).encode())
    mode, types_name, input_name, grid = parse_command_line(cwd, args, log)
    absolute_input, too_long = absolute_name(cwd, input_name)
    if absolute_input is None or not can_read(absolute_input):
        log.line(b"Input file: ", absolute_input or input_name, b" cannot be opened")
        if too_long:
            log.line(*too_long_line(NAME_BUFFER))
        return 1, []
    log.line(b"Using input: ", absolute_input)
    header, entries = read_aspects_list(
        read_lines(absolute_input, log, absolute_input, language), log, absolute_input, language)
    log.line(b"Extracted ", str(len(entries)).encode(), b" aspects")
    entries = sort_by_orb(entries)
    orb_entries = entries

    page = page_name(absolute_input)
    if page == absolute_input:
        log.line(b"Output file: ", page, b" is the input file")
        return 2, []
    if len(page) + 1 > NAME_BUFFER or os.path.isdir(page):
        log.line(b"Output file: ", page, b" cannot be opened")
        if len(page) + 1 > NAME_BUFFER:
            log.line(*too_long_line(NAME_BUFFER))
        return 2, []
    log.line(b"Using output: ", page)
    text = HEAD_RU if language == 1 else HEAD_EN
    text += b"<h3>" + header + b"</h3>\n"
    text += table_block(entries, 1, language)
    log.line(b"Output tbl1, state: ", str(log.state).encode())

    types_file = open_aspect_types(cwd, types_name, language, mode, log)
    types = read_aspect_types(types_file, log, language) if types_file is not None else []
    log_not_in_file(log, b"Aspect type", append_unseen(types, [e.aspect for e in entries]),
                    types_file, language)
    entries = group_by(entries, types, lambda e: e.aspect)
    type_entries = entries
    text += table_block(entries, 3, language)
    log.line(b"Output tbl2, state: ", str(log.state).encode())

    if mode == 1:
        entries = entries + [e.mirrored() for e in entries]
    planets, planets_file = read_planets(cwd, language, log)
    file_planet_count = len(planets)
    planets += HOUSES[language]
    log_not_in_file(log, b"Planet", append_unseen(planets, [e.from_planet for e in entries]),
                    planets_file, language)
    entries = sort_by_orb(entries)
    entries = group_by(entries, planets, lambda e: e.from_planet)
    text += table_block(entries, 2, language)
    text += b"</body>\n</html>\n"
    log.line(b"Output tbl3, state: ", str(log.state).encode())

    files_read = [types_file, planets_file]
    if reaches_a_file_read(page, files_read):
        log.last(b"Output file: ", page, b" is an input file")
        return 2, []
    if not write_whole(page, text, file_size_limit):
        log.last(b"Output file: ", page, b" cannot be written")
        return 2, [page]
    if not grid:
        log.last(b"Korvo completed OK")
        return 0, [page]

    # The grid page, only once the page is in place, under the same rules, and only over a grid
    # page; a grid too large to draw is not written.
    grid_name = page[:-len(b".html")] + b"-grid.html"
    if reaches_a_file_read(grid_name, files_read):
        log.line(b"Output file: ", grid_name, b" is an input file")
        return 2, [page]
    if not is_grid_page(grid_name):
        log.line(b"Output file: ", grid_name, b" is not a grid page")
        return 2, [page]
    rows, columns = grid_axes(orb_entries, planets[:file_planet_count], language, mode)
    points = max(len(rows), len(columns))
    if points > MOST_GRID_POINTS:
        log.line(b"Output file: ", grid_name, b" not written: ", str(points).encode(),
                 b" points, at most ", str(MOST_GRID_POINTS).encode())
        return 2, [page]
    if len(grid_name) + 1 > NAME_BUFFER or os.path.isdir(grid_name):
        log.line(b"Output file: ", grid_name, b" cannot be opened")
        if len(grid_name) + 1 > NAME_BUFFER:
            log.line(*too_long_line(NAME_BUFFER))
        return 2, [page]
    log.line(b"Using grid output: ", grid_name)
    grid_text = grid_page(header, type_entries, rows, columns, language, mode)
    if not write_whole(grid_name, grid_text, file_size_limit):
        log.last(b"Output file: ", grid_name, b" cannot be written")
        return 2, [page, grid_name]
    log.line(b"Output grid, state: ", str(log.state).encode())
    log.last(b"Korvo completed OK")
    return 0, [page, grid_name]


def reaches_a_file_read(name, files_read):
    """Whether a page at `name` would replace the aspect-types or planets file the run read (the
    same file, also through a link)."""
    return any(read is not None and os.path.exists(name) and os.path.samefile(name, read)
               for read in files_read)


def write_whole(name, text, file_size_limit):
    """Writes a page that appears whole or not at all: one that cannot be written leaves the old
    one. The temporary file is named within the page's folder, so a page name of any length has
    one. False when the page could not be written."""
    data = text.replace(b"\n", b"\r\n")
    temporary = os.path.join(os.path.dirname(name), b".korvo-model.tmp")
    try:
        if file_size_limit is not None and len(data) > file_size_limit:
            raise OSError("the file-size limit")
        with run_e2e.Inside(os.path.dirname(name)):
            with open(os.path.basename(temporary), "wb") as out:
                out.write(data)
            os.replace(os.path.basename(temporary), os.path.basename(name))
    except OSError:
        return False
    return True
