#!/usr/bin/env python3
"""Tests of expected_files.py: rewriting a case holds no copy and keeps every other case's
expected bytes, and the check finds copies and broken references."""
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expected_files  # noqa: E402


def lay_out(root, cases):
    """cases: {name: ({path: bytes} held, {path: reference})}."""
    for name, (held, references) in cases.items():
        os.makedirs(os.path.join(root, name))
        for relative, data in held.items():
            path = os.path.join(root, name, "expected", relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(data)
        case = {"args": []}
        if references:
            case[expected_files.KEY] = references
        with open(os.path.join(root, name, "case.json"), "w") as out:
            out.write(json.dumps(case) + "\n")


def layout(root):
    """What each case holds and refers to, as lay_out takes it."""
    result = {}
    for name in expected_files.case_names(root):
        case_dir = os.path.join(root, name)
        held = {r: expected_files.read(p) for r, p in expected_files.held_files(case_dir).items()}
        result[name] = (held, expected_files.read_case(case_dir)[0].get(expected_files.KEY, {}))
    return result


ONE, TWO, NEW = b"log one\r\n", b"<html>two</html>\r\n", b"log new\r\n"

# (what, cases before, the case rewritten, its new files, cases after)
REWRITES = [
    ("a file with bytes another case holds is referred to",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {})}, "b", {"Korvo.log": ONE, "x.html": TWO},
     {"a": ({"Korvo.log": ONE}, {}), "b": ({"x.html": TWO}, {"Korvo.log": "a/Korvo.log"})}),
    ("the same bytes twice in one case are held once",
     {"a": ({}, {})}, "a", {"Korvo.log": ONE, "Wrk/copy.log": ONE},
     {"a": ({"Korvo.log": ONE}, {"Wrk/copy.log": "a/Korvo.log"})}),
    ("an unchanged file that others refer to stays where it is",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "a/Korvo.log"})},
     "a", {"Korvo.log": ONE},
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "a/Korvo.log"})}),
    ("a changed file passes to the first referrer, and the others refer to it there",
     {"a": ({"Korvo.log": ONE}, {}), "c": ({}, {"Korvo.log": "a/Korvo.log"}),
      "b": ({"Korvo.log": TWO}, {"Wrk/old.log": "a/Korvo.log"})},
     "a", {"Korvo.log": NEW},
     {"a": ({"Korvo.log": NEW}, {}), "b": ({"Korvo.log": TWO, "Wrk/old.log": ONE}, {}),
      "c": ({}, {"Korvo.log": "b/Wrk/old.log"})}),
    ("a file no longer expected passes to its referrer",
     {"a": ({"Korvo.log": ONE, "x.html": TWO}, {}), "b": ({}, {"y.html": "a/x.html"})},
     "a", {"Korvo.log": ONE},
     {"a": ({"Korvo.log": ONE}, {}), "b": ({"y.html": TWO}, {})}),
    ("new bytes of a referrer are held by it",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "a/Korvo.log"})},
     "b", {"Korvo.log": NEW},
     {"a": ({"Korvo.log": ONE}, {}), "b": ({"Korvo.log": NEW}, {})}),
    ("a referrer whose bytes become those of a third case refers to that one",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "a/Korvo.log"}),
      "c": ({"Korvo.log": NEW}, {})},
     "b", {"Korvo.log": NEW},
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "c/Korvo.log"}),
      "c": ({"Korvo.log": NEW}, {})}),
]

# (what, cases, a line the check must print)
BROKEN = [
    ("a copy", {"a": ({"Korvo.log": ONE}, {}), "b": ({"Wrk/x.log": ONE}, {})},
     "b/expected/Wrk/x.log is a copy of a/expected/Korvo.log"),
    ("a reference to nothing", {"a": ({"Korvo.log": ONE}, {"x.html": "a/y.html"})},
     "a: x.html: refers to a/y.html, which no case holds"),
    ("a reference to a reference",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {"Korvo.log": "a/Korvo.log"}),
      "c": ({}, {"Korvo.log": "b/Korvo.log"})},
     "c: Korvo.log: refers to b/Korvo.log, which no case holds"),
    ("a reference out of the cases", {"a": ({"Korvo.log": ONE}, {"x": "a/../case.json"})},
     "a: x: refers to a/../case.json, which no case holds"),
    ("a file both held and referred to",
     {"a": ({"Korvo.log": ONE}, {}), "b": ({"Korvo.log": NEW}, {"Korvo.log": "a/Korvo.log"})},
     "b: Korvo.log: held in expected/ and also referred to a/Korvo.log"),
]


class ExpectedFilesTest(unittest.TestCase):
    def test_rewrites_hold_no_copy_and_keep_the_other_cases_bytes(self):
        for what, before, name, files, after in REWRITES:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                lay_out(root, before)
                expected_files.replace_expected(os.path.join(root, name), files)
                self.assertEqual(layout(root), after)
                self.assertEqual(expected_files.copies_and_broken_references(root)[0], [])

    def test_case_json_keeps_its_layout(self):
        with tempfile.TemporaryDirectory() as root:
            lay_out(root, {"a": ({"Korvo.log": ONE}, {}), "b": ({}, {})})
            expected_files.replace_expected(os.path.join(root, "b"), {"Korvo.log": ONE})
            with open(os.path.join(root, "b", "case.json")) as source:
                self.assertEqual(source.read(),
                                 '{"args": [], "expected_elsewhere": {"Korvo.log": "a/Korvo.log"}}\n')

    def test_the_check_names_what_is_broken(self):
        for what, cases, line in BROKEN:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                lay_out(root, cases)
                self.assertIn(line, expected_files.copies_and_broken_references(root)[0])


if __name__ == "__main__":
    unittest.main()
