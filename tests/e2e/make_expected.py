#!/usr/bin/env python3
"""Writes the expected files of end-to-end cases from the program's rules (korvo_model.py), not
from the program itself.

For each case folder given, the run directory is laid out as run_e2e.py lays it out, the model
runs there, and expected/ is rewritten: Korvo.log (the current directory written as {CWD}, the
version as {VERSION}, and each {FILL:N} of the arguments and setup written back as such) unless
it could not be opened, the page and the grid page when the model wrote them, "stderr" of
case.json when the run writes to standard error (the same placeholders), and the files named in
case.json "model": {"keep": [...]} as they stand after the run (such as an input that must stay
untouched). A run that answers on standard output writes no log; the output itself stands in
case.json ("stdout"), which must agree with the model. A file with the bytes of one that another case holds is not copied but referred to
(expected_files.py). A case whose "model" is a text is left alone: "by hand", or the script that
writes it ("make_fault_cases.py"); so is a case that does not run on Linux, since the model is
the POSIX flavour.

Review every change of an expected file before committing it: where the program and these
files disagree, the rules decide which one is wrong.

  python3 tests/e2e/make_expected.py tests/e2e/cases/*
"""
import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expected_files  # noqa: E402
import korvo_model  # noqa: E402
import run_e2e  # noqa: E402


def placeholders(log, case, cwd_as_seen):
    """The log with each {FILL:N} of the case's arguments and setup written back as such (also
    used for file names)."""
    texts = " ".join(case.get("args", []) + [json.dumps(case.get("setup", []))])
    for length in sorted({int(n) for n in run_e2e.FILL.findall(texts)}, reverse=True):
        fill = run_e2e.fill_for(length, cwd_as_seen).encode()
        log = log.replace(fill, b"{FILL:%d}" % length)
    return log


def write_expected(case_dir):
    with open(os.path.join(case_dir, "case.json"), encoding="utf-8") as source:
        case = json.load(source)
    model = case.get("model", {})
    if isinstance(model, str):
        return f"{model}: {os.path.basename(case_dir)}"
    if "linux" not in case.get("platforms", ["linux"]):
        return f"not modelled (the model is the POSIX flavour): {os.path.basename(case_dir)}"
    top = tempfile.mkdtemp(prefix="korvo-model-")
    try:
        top_dir = os.path.realpath(os.path.join(top, "real"))
        real_dir = os.path.normpath(
            os.path.join(top_dir, run_e2e.current_subfolder(case, top_dir, "linux")))
        deep_length = run_e2e.split_deep_cwd(case.get("setup", []))[0]
        if deep_length is not None:
            real_dir = os.path.join(real_dir, run_e2e.deep_subfolder(real_dir, deep_length, "linux"))
        cwd_as_seen = real_dir
        run_e2e.lay_out_case(case_dir, case, real_dir, cwd_as_seen)
        arguments = [run_e2e.expand(a, cwd_as_seen).encode(run_e2e.LATIN1)
                     for a in case.get("args", [])]
        cwd = run_e2e.on_disk(real_dir)
        previous = os.getcwd()
        os.chdir(cwd)
        try:
            log, exit_code, pages, console = korvo_model.model_run(
                cwd, arguments, case.get("file_size_limit"))
        finally:
            os.chdir(previous)
        if exit_code != case.get("exit", 0):
            raise SystemExit(f"{case_dir}: the model exits with {exit_code}, case.json says "
                             f"{case.get('exit', 0)}")
        standard_output = korvo_model.model_standard_output(arguments)
        if standard_output != run_e2e.expected_console(case, "stdout", cwd_as_seen):
            raise SystemExit(f"{case_dir}: the model writes {standard_output!r} on standard "
                             f"output, case.json says {case.get('stdout', '')!r}")
        files = {}
        if log is not None:  # else it could not be opened, or the run answered on standard output
            log = log.replace(b"\r\nVersion: " + korvo_model.VERSION + b"\r\n",
                              b"\r\nVersion: {VERSION}\r\n", 1)
            files["Korvo.log"] = placeholders(log.replace(cwd, b"{CWD}"), case, cwd_as_seen)
        case.pop("stderr", None)
        if console:
            console = console.replace(b"\nVersion: " + korvo_model.VERSION + b"\n",
                                      b"\nVersion: {VERSION}\n", 1)
            case["stderr"] = placeholders(console.replace(cwd, b"{CWD}"), case,
                                          cwd_as_seen).decode(run_e2e.LATIN1)
        kept = [k.encode(run_e2e.LATIN1) for k in model.get("keep", [])]
        for page in pages:
            if os.path.isfile(page) and not os.path.islink(page):
                kept.append(os.path.relpath(page, cwd))
        for relative in kept:  # named as the runner reads expected names: as Latin-1
            with open(os.path.join(cwd, relative), "rb") as source:
                files[placeholders(relative, case, cwd_as_seen).decode(run_e2e.LATIN1)] = \
                    source.read()
        expected_files.replace_expected(case_dir, files, case)
        return f"written: {os.path.basename(case_dir)} (exit {exit_code})"
    finally:
        shutil.rmtree(top, ignore_errors=True)


def main():
    for case_dir in sys.argv[1:]:
        print(write_expected(case_dir))


if __name__ == "__main__":
    main()
