#!/usr/bin/env python3
"""The expected files of the end-to-end cases, each set of bytes held once.

A case that expects a file with the same bytes as a file held under another case's expected/
holds no copy: its case.json refers to that file,
  "expected_elsewhere": {"Wrk/Aspects.html": "sample-en-natal/Wrk/Aspects.html"}
(the path in this case's expected tree -> "<case>/<path in that case's expected/>"), and the run
is compared with those bytes. A reference names a file that is held, never another reference.

make_expected.py and make_fault_cases.py write expected files through replace_expected(), which
keeps it so. Run as a script, this checks the case folders under the given folder: no two expected
files hold the same bytes, and every reference names a file that is held.

  python3 tests/e2e/expected_files.py tests/e2e/cases
"""
import json
import os
import shutil
import sys

KEY = "expected_elsewhere"
JSON_STYLES = [{"indent": 1}, {}, {"indent": 1, "ensure_ascii": False}, {"ensure_ascii": False}]


def read_case(case_dir):
    """(case.json as a dict, its text); ({}, None) when there is none yet."""
    path = os.path.join(case_dir, "case.json")
    if not os.path.exists(path):
        return {}, None
    with open(path, encoding="utf-8") as source:
        text = source.read()
    return json.loads(text), text


def write_case(case_dir, case, old_text):
    """Writes case.json in the layout its old text had (one line, or one key a line)."""
    old = json.loads(old_text) if old_text is not None else None
    style = next((s for s in JSON_STYLES if json.dumps(old, **s) + "\n" == old_text),
                 JSON_STYLES[0])
    text = json.dumps(case, **style) + "\n"
    if text != old_text:
        os.makedirs(case_dir, exist_ok=True)
        with open(os.path.join(case_dir, "case.json"), "w", encoding="utf-8") as out:
            out.write(text)


def held_files(case_dir):
    """{path in expected/ ('/' between folders): full path} of the files the case holds."""
    root = os.path.join(case_dir, "expected")
    found = {}
    for directory, _, names in os.walk(root):
        for name in names:
            path = os.path.join(directory, name)
            found[os.path.relpath(path, root).replace(os.sep, "/")] = path
    return found


def referenced_file(case_dir, reference):
    """The full path a reference "<case>/<path>" names (None when it is not of that form)."""
    other, _, relative = reference.partition("/")
    if not other or not relative or ".." in reference.split("/"):
        return None
    return os.path.join(os.path.dirname(os.path.abspath(case_dir)), other, "expected",
                        *relative.split("/"))


def expected_files(case_dir, case):
    """({path in the expected tree: the file with its bytes}, problems) for every file the case
    expects, those it holds and those it refers to."""
    files = held_files(case_dir)
    problems = []
    for relative, reference in case.get(KEY, {}).items():
        path = referenced_file(case_dir, reference)
        if relative in files:
            problems.append(f"{relative}: held in expected/ and also referred to {reference}")
        elif path is None or not os.path.isfile(path):
            problems.append(f"{relative}: refers to {reference}, which no case holds")
        else:
            files[relative] = path
    return files, problems


def read(path):
    with open(path, "rb") as source:
        return source.read()


def case_names(cases_root):
    return sorted(n for n in os.listdir(cases_root) if os.path.isdir(os.path.join(cases_root, n)))


def hand_over(cases_root, owner, relative, data):
    """The file `relative` of case `owner` is going: the first case (by name) that refers to it
    holds its bytes instead, and the others refer to that one."""
    old_reference = f"{owner}/{relative}"
    referrers = []
    for name in case_names(cases_root):
        case, _ = read_case(os.path.join(cases_root, name))
        referrers += [(name, path) for path, reference in sorted(case.get(KEY, {}).items())
                      if reference == old_reference and name != owner]
    if not referrers:
        return
    new_owner, new_path = referrers[0]
    target = os.path.join(cases_root, new_owner, "expected", *new_path.split("/"))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as out:
        out.write(data)
    for name, path in referrers:
        case_dir = os.path.join(cases_root, name)
        case, text = read_case(case_dir)
        if (name, path) == (new_owner, new_path):
            del case[KEY][path]
            if not case[KEY]:
                del case[KEY]
        else:
            case[KEY][path] = f"{new_owner}/{new_path}"
        write_case(case_dir, case, text)


def replace_expected(case_dir, files, settings=None):
    """Makes `files` ({path in the expected tree: bytes}) all that the case expects, holding no
    copy: a file with the bytes of one held under another case's expected/ (or an earlier one of
    this case) becomes a reference to it. A file of the case that others refer to and that changes
    or goes first passes to them (hand_over). `settings` replaces the rest of case.json (by
    default it stays as it is)."""
    case_dir = os.path.abspath(case_dir)
    cases_root, name = os.path.split(case_dir)
    case, text = read_case(case_dir)
    for relative, path in held_files(case_dir).items():
        data = read(path)
        if files.get(relative) != data:
            hand_over(cases_root, name, relative, data)
    shutil.rmtree(os.path.join(case_dir, "expected"), ignore_errors=True)
    holder = {}
    for other in case_names(cases_root):
        for relative, path in sorted(held_files(os.path.join(cases_root, other)).items()):
            holder.setdefault(read(path), f"{other}/{relative}")
    references = {}
    for relative, data in sorted(files.items()):
        if data in holder:
            references[relative] = holder[data]
            continue
        target = os.path.join(case_dir, "expected", *relative.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            out.write(data)
        holder[data] = f"{name}/{relative}"
    case = dict(case if settings is None else settings)
    case.pop(KEY, None)
    if references:
        case[KEY] = references
    write_case(case_dir, case, text)


def copies_and_broken_references(cases_root):
    """(what breaks the rule of the module docstring, one line each; files held; references)."""
    problems = []
    first_holder = {}
    references = 0
    for name in case_names(cases_root):
        case_dir = os.path.join(cases_root, name)
        case = read_case(case_dir)[0]
        references += len(case.get(KEY, {}))
        problems += [f"{name}: {p}" for p in expected_files(case_dir, case)[1]]
        for relative, path in sorted(held_files(case_dir).items()):
            here = f"{name}/expected/{relative}"
            other = first_holder.setdefault(read(path), here)
            if other != here:
                problems.append(f"{here} is a copy of {other}")
    return problems, len(first_holder), references


if __name__ == "__main__":
    problems, held, references = copies_and_broken_references(sys.argv[1])
    print("\n".join(problems + [f"{held} files held, {references} references"]))
    sys.exit(1 if problems or not held else 0)
