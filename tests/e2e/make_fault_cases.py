#!/usr/bin/env python3
"""Writes the fault-* end-to-end case folders under cases/.

The expected logs and pages are written out here from the program's rules, not taken from its
output: the log lines of a run, the name-length limit (a name with its terminating zero must fit
in 4096 bytes; one byte less for the Russian default aspect-types names, which keep a byte free
for '!'), the line rules (LF ends a line, a CR right before it is
dropped, 127 bytes per line, a zero byte ends its text) and the page texts; an aspect line's
fields and a whole orb are read as korvo_model.py reads them. Run it after changing
a rule, then review the diff of cases/fault-*. An expected file with the bytes of one that another
case holds is not copied but referred to (expected_files.py); make_expected.py leaves these cases
alone.
"""
import os
import random
import shutil

import expected_files
import korvo_model

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(HERE, "cases")

USAGE = "Korvo [-1 | -2] [-a<aspect-names-file>] [<aspects-list-file>]"
DEGREE = b"\xb0"
RU_NATAL_TYPES = b"aspects/\xec\xe1\xd4\xe1\xbd.asp"          # 17 bytes
RU_TRANSIT_TYPES = b"aspects/\xd2\xf0\xe0\xed\xe7\xe8\xf2.asp"  # 19 bytes, "Транзит"
EN_PLANETS = b"Language/English/Planets.txt"                   # 28 bytes
RU_PLANETS = b"Language/Russian/Planets.txt"
SMALL_INPUT = b"H1\r\nH2\r\nH3\r\nH4\r\nTrine Sun-Moon +2" + DEGREE + b"15'\r\n"
EN_TYPES = b"Conjunction;\r\nTrine;\r\n"
EN_PLANET_NAMES = b"Sun\r\nMoon\r\n"


def log(*lines, last=None):
    """Log lines, each ending in CR LF; `last` is the final line, which has no line end."""
    data = b"".join((l if isinstance(l, bytes) else l.encode("latin-1")) + b"\r\n" for l in lines)
    if last is not None:
        data += last if isinstance(last, bytes) else last.encode("latin-1")
    return data


def start(language=0):
    return [USAGE, "Version: {VERSION}", f"Config (0=EN, 1=RU): {language}"]


def complete_run_log(aspects, types_lines, planets_lines, language=0, page="Wrk/Aspects.html"):
    return log(*start(language), "Using input: {CWD}/Wrk/Aspects.txt", f"Extracted {aspects} aspects",
               "Using output: {CWD}/" + page, "Output tbl1, state: 0", *types_lines,
               "Output tbl2, state: 0", *planets_lines, "Output tbl3, state: 0",
               last="Korvo completed OK")


TYPES_OK = ["Using aspect-type: {CWD}/aspects/Natal.asp"]
PLANETS_OK = ["Using planets: {CWD}/Language/English/Planets.txt"]
TYPES_MISSING = ["File {CWD}/aspects/Natal.asp not available"]
PLANETS_MISSING = ["File {CWD}/Language/English/Planets.txt not available"]

# The page, from the page texts and row forms of the report.
CELL_SPACER = b"<td>&nbsp;&nbsp;</td>"
FONT = b'<font face ="Courier New">'
EN_HEAD = (b'<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\r\n<html>\r\n<head>\r\n'
           b'  <title>VEXA - Aspects List</title>\r\n</head>\r\n'
           b'<body bgcolor="#ffffff" text="#000000">\r\n')


def header_row(titles):
    cells = []
    for i, title in enumerate(titles):
        if i:
            cells.append(b"  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n")
        align = b"center" if title == b"Orb" else b"left"
        cells.append(b"  <td align=" + align + b" bgcolor=Silver><b>" + title + b"</b></td>\r\n")
    return b"<tr>\r\n" + b"".join(cells) + b"</tr>\r\n"


def table(titles, rows=b""):
    return b"<table align=left cellspacing=0>\r\n" + header_row(titles) + rows + b"</table>\r\n"


def sign_piece(sign):
    return b"&nbsp;" if sign in b" \t\n\v\f\r" else sign


def orb_row(aspect, frm, to, sign, orb):
    return (b"<tr><td>" + FONT + sign_piece(sign) + b"<b>" + orb + b"</b></font></td>" +
            CELL_SPACER + b"<td>" + aspect + b"</td>" + CELL_SPACER + b"<td>" + frm + b"</td>" +
            CELL_SPACER + b"<td>" + to + b"</td>" + CELL_SPACER + b"</tr>\r\n")


def grouped_row(group, second, third, sign, orb):
    shown = b"<b>" + group + b"</b>" if group else b""
    return (b"<tr><td>" + shown + b"</td>" + CELL_SPACER + b"<td>" + second + b"</td>" +
            CELL_SPACER + b"<td>" + third + b"</td>" + CELL_SPACER + b"<td>" + FONT +
            sign_piece(sign) + orb + b"</font></td>" + CELL_SPACER + b"</tr>\r\n")


def english_page(header_lines, rows1=b"", rows2=b"", rows3=b""):
    header = b"".join(line + b"<br>" for line in (header_lines + [b""] * 4)[:4])
    return (EN_HEAD + b"<h3>" + header + b"</h3>\r\n" +
            table([b"Orb", b"Aspect", b"From", b"To"], rows1) +
            table([b"Aspect", b"From", b"To", b"Orb"], rows2) +
            table([b"From", b"Aspect", b"To", b"Orb"], rows3) + b"</body>\r\n</html>\r\n")


# Line rules, for the inputs whose log depends on each line.
def lines_of(data):
    """(text, was_cut, zero_ended) for each line: LF ends a line, a CR right before it is
    dropped, a last line without LF counts, 127 bytes are kept, a zero byte among them ends the
    text (zero_ended when anything followed it in the line)."""
    result = []
    pieces = data.split(b"\n")
    for index, raw in enumerate(pieces):
        ended = index < len(pieces) - 1
        if not ended and raw == b"":
            break
        if ended and raw.endswith(b"\r"):
            raw = raw[:-1]
        zero = raw[:127].find(b"\0")
        result.append((raw[:127].split(b"\0")[0], len(raw) > 127, 0 <= zero < len(raw) - 1))
    return result


def is_aspect_line(text):
    space = [i for i, c in enumerate(text) if c in b" \t\n\v\f\r"]
    if not space:
        return False
    i = space[0]
    while i < len(text) and text[i] in b" \t\n\v\f\r":
        i += 1
    dash = text.find(b"-", i)
    return dash >= 0 and text.find(DEGREE, dash + 1) >= 0


def odd_orb_sign(text):
    """The byte in front of the orb digits of an aspect line when it is not '+', '-' or
    whitespace; None otherwise (also when the digits follow the '-' at once)."""
    first_blank = min(i for i, c in enumerate(text) if c in b" \t\n\v\f\r")
    dash = text.find(b"-", first_blank)
    before = text.find(DEGREE, dash + 1) - 1
    while before > dash and text[before:before + 1].isdigit():
        before -= 1
    sign = text[before:before + 1]
    if before == dash or sign in (b"+", b"-") or sign in b" \t\n\v\f\r":
        return None
    return sign


def header_aspect_lines(numbered, name):
    """The lines that tell of header lines which read as aspect lines (an aspect line with a
    whole orb is the model's rule)."""
    header = [text for _, (text, _, _) in numbered[:4]]
    if len(header) == 4 and all(is_aspect_line(t) for t in header):
        return [f"Header of {name} reads as aspect lines"]
    return [f"Line {number} of {name} is in the header but reads as an aspect line"
            for number, text in enumerate(header, start=1)
            if korvo_model.reads_as_whole_aspect(text)]


def reading_log(data, name):
    """The log lines written while an aspects list is read, and the number of entries."""
    lines, entries = [], 0
    numbered = list(enumerate(lines_of(data), start=1))
    for number, (text, was_cut, zero_ended) in numbered:
        if was_cut:
            lines.append(f"Line {number} of {name} cut at 127 bytes")
        if zero_ended:
            lines.append(f"Line {number} of {name} cut at a zero byte")
        if number == 4:
            lines += header_aspect_lines(numbered, name)
        if number <= 4 or DEGREE not in text:
            continue
        if is_aspect_line(text):
            entries += 1
            sign = odd_orb_sign(text)
            if sign is not None:
                sign = korvo_model.in_utf8(sign, 0).decode("latin-1")
                lines.append(f"Line {number} of {name}: orb sign '{sign}' is not +, - or a blank")
        else:
            lines.append(f"Line {number} of {name} skipped: not an aspect line")
    if len(numbered) < 4:
        lines += header_aspect_lines(numbered, name)
    return lines, entries


def aspect_entries(data):
    """The entries of the aspect lines (parsed as the model parses them), in reading order."""
    return [korvo_model.parse_aspect_line(text)
            for number, (text, _, _) in enumerate(lines_of(data), start=1)
            if number > 4 and DEGREE in text and is_aspect_line(text)]


def unlisted_names(data, types, planets):
    """The "not in" lines of a natal run whose aspect types and planets files name `types` and
    `planets`: the aspect names by orb, then the from-planets of the entries grouped by type,
    then of their mirrored copies, each name once and only when the file does not name it."""
    by_orb = sorted(aspect_entries(data), key=lambda entry: entry.orb_seconds)
    type_lines, all_types = [], list(types)
    for aspect in [entry.aspect for entry in by_orb]:
        if aspect not in all_types:
            all_types.append(aspect)
            type_lines.append(b"Aspect type '" + korvo_model.in_utf8(aspect, 0) +
                              b"' is not in {CWD}/aspects/Natal.asp")
    grouped = [entry for name in all_types for entry in by_orb if entry.aspect == name]
    planet_lines, all_planets = [], list(planets) + korvo_model.HOUSES[0]
    for planet in [e.from_planet for e in grouped] + [e.to_planet for e in grouped]:
        if planet not in all_planets:
            all_planets.append(planet)
            planet_lines.append(b"Planet '" + korvo_model.in_utf8(planet, 0) +
                                b"' is not in {CWD}/" + EN_PLANETS)
    return type_lines, planet_lines


def write_case(name, files, case, expected):
    folder = os.path.join(CASES, name)
    shutil.rmtree(os.path.join(folder, "tree"), ignore_errors=True)
    for relative, data in files.items():
        path = os.path.join(folder.encode(), b"tree", relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
    expected_files.replace_expected(folder, expected, {**case, "model": "make_fault_cases.py"})


def english_tree(input_data=SMALL_INPUT, types=True, planets=True):
    files = {b"Wrk/Aspects.txt": input_data}
    if types:
        files[b"aspects/Natal.asp"] = EN_TYPES
    if planets:
        files[EN_PLANETS] = EN_PLANET_NAMES
    return files


def file_system_faults():
    write_case("fault-input-directory", {}, {"setup": [{"mkdir": "Wrk/Aspects.txt"}], "exit": 1,
                                             "absent": ["Wrk/Aspects.html"]},
               {"Korvo.log": log(*start(), "Input file: {CWD}/Wrk/Aspects.txt cannot be opened")})
    write_case("fault-page-directory", english_tree(),
               {"setup": [{"mkdir": "Wrk/Aspects.html"}], "exit": 2},
               {"Korvo.log": log(*start(), "Using input: {CWD}/Wrk/Aspects.txt", "Extracted 1 aspects",
                                 "Output file: {CWD}/Wrk/Aspects.html cannot be opened")})
    # Every write to /dev/full fails: the run goes through all its steps, then reports the page
    # as not written instead of completed.
    write_case("fault-page-device-full", english_tree(),
               {"setup": [{"symlink": {"path": "Wrk/Aspects.html", "target": "/dev/full"}}],
                "exit": 2, "platforms": ["linux"]},
               {"Korvo.log": log(*start(), "Using input: {CWD}/Wrk/Aspects.txt", "Extracted 1 aspects",
                                 "Using output: {CWD}/Wrk/Aspects.html", "Output tbl1, state: 0",
                                 *TYPES_OK, "Output tbl2, state: 0", *PLANETS_OK,
                                 "Output tbl3, state: 0",
                                 last="Output file: {CWD}/Wrk/Aspects.html cannot be written")})
    # No log can be opened, but the page is complete: standard error says so and then takes every
    # line of the log, each ended by LF, the table states showing the log's fail flag (4).
    console = [*start(), "Using input: {CWD}/Wrk/Aspects.txt", "Extracted 0 aspects",
               "Using output: {CWD}/Wrk/Aspects.html", "Output tbl1, state: 4", *TYPES_MISSING,
               "Output tbl2, state: 4", *PLANETS_MISSING, "Output tbl3, state: 4",
               "Korvo completed OK"]
    write_case("fault-log-directory", {b"Wrk/Aspects.txt": b"Header one\r\nHeader two\r\n"},
               {"setup": [{"mkdir": "Korvo.log"}], "exit": 0,
                "stderr": "".join(line + "\n" for line in
                                  ["Korvo: Korvo.log cannot be written in {CWD}: Is a directory"] +
                                  console)},
               {"Wrk/Aspects.html": english_page([b"Header one", b"Header two"])})
    write_case("fault-name-files-directories", english_tree(types=False, planets=False),
               {"setup": [{"mkdir": "aspects/Natal.asp"}, {"mkdir": EN_PLANETS.decode()}]},
               {"Korvo.log": complete_run_log(1, TYPES_MISSING, PLANETS_MISSING)})
    write_case("fault-option-types-directory", english_tree(),
               {"args": ["-atypes.asp"], "setup": [{"mkdir": "types.asp"}]},
               {"Korvo.log": complete_run_log(1, ["File {CWD}/types.asp not available"],
                                              PLANETS_OK)})
    write_case("fault-name-files-missing", english_tree(types=False, planets=False), {},
               {"Korvo.log": complete_run_log(1, TYPES_MISSING, PLANETS_MISSING)})
    # Russian: the default file is a directory and the '!' name is missing; the Russian planets
    # file is a directory.
    ru_types = b"{CWD}/" + RU_TRANSIT_TYPES
    write_case("fault-ru-name-files-directories",
               {b"Wrk/Aspects.txt": SMALL_INPUT, b"Config/RUSSIAN.ini": b""},
               {"args": ["-2"], "setup": [{"mkdir": RU_TRANSIT_TYPES.decode("latin-1")},
                                          {"mkdir": RU_PLANETS.decode()}]},
               {"Korvo.log": complete_run_log(
                   1, [b"File " + ru_types + b" not available", b"File !" + ru_types + b" not available"],
                   ["File {CWD}/Language/Russian/Planets.txt not available"], language=1)})


# Each name-length case runs in a current directory nearly as long as a name may be, which Wine 8
# cannot start a program in (longer than 259 characters, it starts it in the Windows folder), and
# its ANSI file calls take no name that long either.
LONG_CWD_NOTE = ("Linux only: Wine 8 starts no program in a current directory over 259 characters "
                 "and its ANSI file calls take no longer name")


def name_length_faults(capacity, platform):
    """Names of capacity - 1 bytes fit their buffer; names of capacity bytes do not, and the line
    that refuses one is followed by the longest length the buffer holds. The current directory is
    made as long as each case needs; a name that does not fit is logged as given. The lengths below
    are written for a capacity of 256 bytes, and the lengths and the names of the cases follow the
    capacity given."""
    extra = capacity - 256

    def title(name):  # every length in a case name follows the capacity
        return "-".join(str(int(part) + extra) if part.isdigit() else part
                        for part in name.split("-"))

    def case(name, cwd_length, expected_log, files=None, args=(), exit_code=0):
        settings = {"args": list(args), "setup": [{"deep_cwd": cwd_length + extra}],
                    "exit": exit_code, "platforms": [platform],
                    "platforms_note": LONG_CWD_NOTE}
        write_case(title(name), english_tree() if files is None else files, settings,
                   {"Korvo.log": expected_log})

    too_long = f"The name is longer than {capacity - 1} bytes"
    ru_too_long = f"The name is longer than {capacity - 2} bytes"
    # Wrk/Aspects.txt adds 16 bytes, the page name 17, aspects/Natal.asp 18, the planets file 29.
    case("fault-name-input-255-page-256", 239,
         log(*start(), "Using input: {CWD}/Wrk/Aspects.txt", "Extracted 1 aspects",
             "Output file: {CWD}/Wrk/Aspects.html cannot be opened", too_long), exit_code=2)
    case("fault-name-input-256", 240,
         log(*start(), "Input file: Wrk/Aspects.txt cannot be opened", too_long), exit_code=1)
    case("fault-name-page-255-types-256", 238,
         complete_run_log(1, ["File aspects/Natal.asp not available", too_long],
                          ["File Language/English/Planets.txt not available", too_long]))
    # Config/RUSSIAN.ini would be 256 bytes: the marker cannot be named, so the run is English.
    case("fault-name-types-255-marker-256", 237,
         complete_run_log(1, TYPES_OK, ["File Language/English/Planets.txt not available",
                                        too_long]),
         files={**english_tree(), b"Config/RUSSIAN.ini": b""})
    # An -a name of 256 bytes is not used: the default aspect-types file is.
    # (Names on the command line are used as typed, so these have no separator in them.)
    option_256 = "T" * (256 - 226 - 1 - len(".asp")) + ".asp"
    assert 226 + 1 + len(option_256) == 256
    case("fault-name-planets-255-option-256", 226,
         complete_run_log(1, TYPES_OK, PLANETS_OK).replace(
             b"\r\nUsing input", ("\r\nArgument ignored: -a" + option_256 + "\r\n" + too_long
                                  + "\r\nUsing input").encode(), 1),
         files={**english_tree(), option_256.encode(): EN_TYPES}, args=["-a" + option_256])
    option_255 = "T" * (255 - 227 - 1 - len(".asp")) + ".asp"
    assert 227 + 1 + len(option_255) == 255
    case("fault-name-planets-256-option-255", 227,
         complete_run_log(1, ["Using aspect-types: {CWD}/" + option_255],
                          ["File Language/English/Planets.txt not available", too_long]),
         files={**english_tree(), option_255.encode(): EN_TYPES}, args=["-a" + option_255])
    # Russian default aspect-types names have a byte less room, so that '!' fits in front.
    russian_tree = {b"Wrk/Aspects.txt": SMALL_INPUT, b"Config/RUSSIAN.ini": b"",
                    RU_NATAL_TYPES: EN_TYPES, RU_TRANSIT_TYPES: EN_TYPES, RU_PLANETS: EN_PLANET_NAMES}
    ru_planets_too_long = ["File Language/Russian/Planets.txt not available", too_long]
    case("fault-name-ru-natal-types-254", 236,
         complete_run_log(1, [b"Using aspect-type: {CWD}/" + RU_NATAL_TYPES], ru_planets_too_long,
                          language=1), files=russian_tree)
    case("fault-name-ru-transit-types-255", 235,
         complete_run_log(1, [b"File " + RU_TRANSIT_TYPES + b" not available", ru_too_long,
                              b"File !" + RU_TRANSIT_TYPES + b" not available", ru_too_long],
                          ru_planets_too_long, language=1), files=russian_tree, args=["-2"])
    missing = {k: v for k, v in russian_tree.items() if k != RU_TRANSIT_TYPES}
    case("fault-name-ru-second-try-255", 234,
         complete_run_log(1, [b"File {CWD}/" + RU_TRANSIT_TYPES + b" not available",
                              b"File !{CWD}/" + RU_TRANSIT_TYPES + b" not available"],
                          ru_planets_too_long, language=1), files=missing, args=["-2"])


def input_content_faults():
    input_name = "{CWD}/Wrk/Aspects.txt"

    def case(name, data, repeated=None):
        reading, entries = reading_log(data, input_name)
        types, planets = unlisted_names(data, [b"Conjunction", b"Trine"], [b"Sun", b"Moon"])
        expected = complete_run_log(entries, TYPES_OK + types, PLANETS_OK + planets)
        marker = b"\r\nExtracted"
        expected = expected.replace(marker, b"".join(b"\r\n" + l.encode("latin-1") for l in reading)
                                    + marker, 1)
        files = english_tree(input_data=data)
        setup = {}
        if repeated:  # too big to keep in the repository: written as `repeated` text N times
            unit, count = repeated
            assert unit * count == data
            del files[b"Wrk/Aspects.txt"]
            setup = {"setup": [{"write": {"path": "Wrk/Aspects.txt", "text": unit.decode("latin-1"),
                                          "repeat": count}}]}
        write_case(name, files, setup, {"Korvo.log": expected})
        return entries

    assert case("fault-input-empty", b"") == 0
    assert case("fault-input-only-line-ends", b"\r\n" * 5000 + b"\n" * 5000 + b"\r\r\n") == 0
    unit = b"Conj Sun-Moon 1" + DEGREE + b" "  # 16 bytes: the line is 1 MiB, with no line end
    assert case("fault-input-one-megabyte-line", unit * (1 << 16), (unit, 1 << 16)) == 0
    # 16 KiB of random bytes; the seed is one whose lines include a few aspect lines, so that
    # entries, skipped lines and cut lines all occur.
    generator = random.Random(20261216)
    binary = bytes(generator.randrange(256) for _ in range(1 << 14))
    assert case("fault-input-binary", binary) == 4

    # A last line that ends with CR alone keeps the CR: it is part of the orb text in the input,
    # and of the planet name "Sun\r" in the planets file, which therefore does not name Sun (the
    # log says both).
    data = b"H1\nH2\nH3\nH4\nTrine Mars-Sun -2" + DEGREE + b"15'\r"
    orb = b"2" + DEGREE + b"15'\r"
    files = {b"Wrk/Aspects.txt": data, b"aspects/Natal.asp": b"Trine;\r",
             EN_PLANETS: b"Sun\r"}
    page = english_page([b"H1", b"H2", b"H3", b"H4"],
                        orb_row(b"Trine", b"Mars", b"Sun", b"-", orb),
                        grouped_row(b"Trine", b"Mars", b"Sun", b"-", orb),
                        grouped_row(b"Mars", b"Trine", b"Sun", b"-", orb) +
                        grouped_row(b"Sun", b"Trine", b"Mars", b"-", orb))
    write_case("fault-last-line-cr-only", files, {},
               {"Korvo.log": complete_run_log(1, TYPES_OK, PLANETS_OK + [
                   b"Line 1 of {CWD}/" + EN_PLANETS + b": the name 'Sun\r' begins or ends with "
                   b"whitespace",
                   b"Planet 'Mars' is not in {CWD}/" + EN_PLANETS,
                   b"Planet 'Sun' is not in {CWD}/" + EN_PLANETS]),
                "Wrk/Aspects.html": page})


if __name__ == "__main__":
    file_system_faults()
    name_length_faults(4096, "linux")
    input_content_faults()
