#!/usr/bin/env python3
"""Writes a working tree for Korvo whose aspects list holds many charts and exactly N aspects.

    generate_aspects.py N DIRECTORY [--language en|ru] [--seed S] [--list-encoding utf-8]

The tree holds Wrk/Aspects.txt, the aspect-types files (natal and transit, English and Russian),
Language/English/Planets.txt and Language/Russian/Planets.txt, and Config/RUSSIAN.ini when the
language is Russian. Every file is written with CR LF line ends; Russian texts are Windows-1251.
With --list-encoding utf-8 the aspects list alone is written as UTF-8 (the same text), the twin
of the code-page list for timing the reading of UTF-8.

The list looks like many real chart exports one after the other: each chart has a title line and
a few dozen aspects between the usual planets and the house cusps, with orbs written with and
without seconds, with a '+' or '-' sign or none. A few planets that the planets file does not
name (Chiron, Lilith) show up now and then, so the planet table has groups after the houses too.
The same N and seed always give the same bytes.
"""
import argparse
import os
import random

ENCODING = "cp1251"
LINE_END = "\r\n"
DEGREE = "\u00b0"  # 0xB0 in Windows-1251

# Planets in the order of the planets file, then planets the file leaves out.
PLANETS = {
    "en": ["Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus",
           "Neptune", "Pluto", "North Node"],
    "ru": ["Солнце", "Луна", "Меркурий", "Венера", "Марс", "Юпитер", "Сатурн", "Уран",
           "Нептун", "Плутон", "Сев. узел"],
}
UNLISTED_PLANETS = {"en": ["Chiron", "Lilith"], "ru": ["Хирон", "Лилит"]}
HOUSE_WORD = {"en": " House", "ru": " дом"}
ROMAN = ["I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"]

# (name, exact angle, largest orb in degrees), in the order of the natal aspect-types file.
ASPECTS = {
    "en": [("Conjunction", 0, 9), ("Opposition", 180, 9), ("Trine", 120, 8),
           ("Square", 90, 8), ("Sextile", 60, 6), ("Quincunx", 150, 3),
           ("Sesquiquadrate", 135, 2), ("Semisquare", 45, 2), ("Semisextile", 30, 2),
           ("Quintile", 72, 1)],
    "ru": [("Соединение", 0, 9), ("Оппозиция", 180, 9), ("Трин", 120, 8),
           ("Квадрат", 90, 8), ("Секстиль", 60, 6), ("Квинконс", 150, 3),
           ("Полутораквадрат", 135, 2), ("Полуквадрат", 45, 2), ("Полусекстиль", 30, 2),
           ("Квинтиль", 72, 1)],
}

# The Russian natal aspect-types file has a name of five Windows-1251 bytes before ".asp".
RUSSIAN_NATAL_TYPES_NAME = b"\xEC\xE1\xD4\xE1\xBD.asp"
RUSSIAN_TRANSIT_TYPES_NAME = "Транзит.asp".encode(ENCODING)

CITIES = {
    "en": ["London", "New York", "Paris", "Sydney", "Toronto", "Berlin", "Madrid", "Dublin"],
    "ru": ["Москва", "Санкт-Петербург", "Казань", "Новосибирск", "Самара", "Омск"],
}
CHART_TITLE = {"en": "Natal chart", "ru": "Натальная карта"}


def write_text(path, lines, encoding=ENCODING):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write("".join(line + LINE_END for line in lines).encode(encoding))


def house_names(language):
    return [roman + HOUSE_WORD[language] for roman in ROMAN]


def orb_text(rng, largest_degrees):
    """An orb as a chart program writes it: degrees and minutes, often seconds, maybe a sign."""
    degrees = rng.randrange(largest_degrees + 1)
    text = f"{degrees}{DEGREE}{rng.randrange(60):02d}'"
    if rng.random() < 0.5:
        text += f'{rng.randrange(60):02d}"'
    sign = rng.choice(["+", "-", ""])
    return sign + text


def chart_lines(rng, language, chart_number, aspect_count):
    """A title line and `aspect_count` aspect lines of one chart."""
    city = rng.choice(CITIES[language])
    lines = ["", f"{CHART_TITLE[language]} {chart_number}, {city}"]
    bodies = PLANETS[language] + UNLISTED_PLANETS[language][: rng.randrange(3)]
    partners = bodies + house_names(language)
    for _ in range(aspect_count):
        first = rng.randrange(len(bodies))
        second = rng.randrange(first + 1, len(partners)) if first + 1 < len(partners) else first
        name, _, largest = rng.choice(ASPECTS[language])
        lines.append(f"{name} {bodies[first]}-{partners[second]} {orb_text(rng, largest)}")
    return lines


def aspects_list(count, language, seed):
    rng = random.Random(seed)
    header = {
        "en": ["Aspects of many charts", "Collected for the speed benchmark",
               f"{count} aspects", "Placidus houses"],
        "ru": ["Аспекты многих карт", "Собраны для замера скорости",
               f"{count} аспектов", "Дома: Плацидус"],
    }[language]
    lines = list(header)
    chart_number = 0
    while count > 0:
        chart_number += 1
        in_chart = min(count, rng.randrange(40, 80))
        lines.extend(chart_lines(rng, language, chart_number, in_chart))
        count -= in_chart
    return lines


def aspect_types_lines(language, transit):
    if language == "en":
        title = "Aspect types for transits" if transit else "Aspect types for natal charts"
        orb_word = "orb"
    else:
        title = "Типы аспектов для транзитов" if transit else "Типы аспектов натальной карты"
        orb_word = "орбис"
    lines = [title]
    for name, angle, largest in ASPECTS[language]:
        lines.append(f"{name}; {angle}{DEGREE}  {orb_word} {min(largest, 3) if transit else largest}{DEGREE}")
    return lines


def write_tree(directory, count, language, seed, list_encoding=ENCODING):
    join = os.path.join
    write_text(join(directory, "Wrk", "Aspects.txt"), aspects_list(count, language, seed),
               list_encoding)
    write_text(join(directory, "aspects", "Natal.asp"), aspect_types_lines("en", False))
    write_text(join(directory, "aspects", "Transit.asp"), aspect_types_lines("en", True))
    aspects_dir = os.fsencode(join(directory, "aspects"))
    write_text(os.fsdecode(join(aspects_dir, RUSSIAN_NATAL_TYPES_NAME)),
               aspect_types_lines("ru", False))
    write_text(os.fsdecode(join(aspects_dir, RUSSIAN_TRANSIT_TYPES_NAME)),
               aspect_types_lines("ru", True))
    write_text(join(directory, "Language", "English", "Planets.txt"), PLANETS["en"])
    write_text(join(directory, "Language", "Russian", "Planets.txt"), PLANETS["ru"])
    marker = join(directory, "Config", "RUSSIAN.ini")
    if language == "ru":
        write_text(marker, [])
    elif os.path.exists(marker):
        os.remove(marker)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("count", type=int, help="number of aspect lines")
    parser.add_argument("directory", help="the working tree to write")
    parser.add_argument("--language", choices=["en", "ru"], default="en")
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--list-encoding", choices=[ENCODING, "utf-8"], default=ENCODING)
    args = parser.parse_args()
    write_tree(args.directory, args.count, args.language, args.seed, args.list_encoding)


if __name__ == "__main__":
    main()
