#!/usr/bin/env python3
"""Runs end-to-end cases of Korvo: each case runs the real binary in a fresh directory and
compares the files it leaves with the expected bytes.

A case is a folder under cases/:
  case.json   {"args": [...], "exit": N, "platforms": ["linux", "windows"], "from": "...",
               "setup": [...], "absent": [...]}
  tree/       copied into the fresh directory before the run (optional)
  expected/   every file here must exist after the run with exactly these bytes; "{CWD}" stands
              for the current directory, "{VERSION}" for the project version (the x.y.z of
              "project(Korvo VERSION x.y.z" in the top-level CMakeLists.txt), and in Korvo.log
              each '/' for the platform's separator (but in a text of the files that a line
              quotes, as in "Planet '<name>' is not in <file>"); a file name may hold
              "{FILL:N}" (below)

case.json:
  "args"      the arguments; "{CWD}" stands for the run's current directory as the program sees
              it, and '/' for the platform's separator
  "exit"      the expected exit code (default 0)
  "from"      a folder of the repository (such as "examples/en-natal") copied into the fresh
              directory before tree/ (optional)
  "setup"     steps run in order after the trees are copied (below)
  "absent"    paths that must not exist after the run; a path may hold the wildcards of
              glob ("Wrk/.*.tmp")
  "symlinks"  {"path": "target"}: paths that must still be symbolic links to these targets
  "stderr"    the program's whole output on its error stream, where the log's lines go when
              Korvo.log cannot be written ("{CWD}" and "{VERSION}" expanded, each line end "\n";
              on Windows CR LF, and '/' as in Korvo.log); without it the program must write
              nothing there
  "stdout"    the same for its standard output (as --help writes it), where '/' also stands for
              the platform's separator; without it the program must write nothing there
  "stdout_full_exit"  (POSIX only) the exit code of the same run made first with its standard
              output on /dev/full, which takes nothing; the run the case checks comes after it
  "file_size_limit"  the largest file, in bytes, the run may write (POSIX only): a longer write
              fails as on a full disk
  "cwd"       a folder, made under the fresh directory, in which the program runs; the trees,
              the setup steps and expected/ then belong to that folder (optional)
  "platforms" where the case can run (default both); elsewhere it is reported as skipped
  "platforms_note"  why a case runs on one platform only (the runner does not read it)
  "locale"    the locale of a Windows run (default WINDOWS_LOCALE below): Wine reads the names
              on disk and the arguments in its code set. The names of a case that runs under
              "C.UTF-8" are ASCII or UTF-8 bytes, as on a Windows that has Unicode names
  "expected_elsewhere"  {"Wrk/Aspects.html": "sample-en-natal/Wrk/Aspects.html"}: files the
              case expects as if they lay under its expected/ at these paths, with the bytes of
              the named file under another case's expected/ (expanded for this case as usual);
              a case holds no copy of another case's expected file (expected_files.py), and a
              reference to a file that is not there fails the case
  "model"     notes for make_expected.py, which writes most expected files from the program's
              rules; the runner itself only compares

Arguments, setup paths, the texts of setup steps and the names of expected files are read as
Latin-1 (a name under expected/ is that text in UTF-8), so "\\u00b0" is the byte 0xB0 and
Windows-1251 bytes (in texts and in file names) are written the same way; "{CWD}" in a
setup path stands for the current directory too (a path beginning "!{CWD}" lies under a folder
named "!"). "{FILL:N}" in any of these texts, and in expected files, stands for a run of 'f'
that makes "{CWD}/" followed by it exactly N bytes long (in "cwd": the fresh directory instead
of {CWD}), for names at the limit of the name buffers (4096 bytes). "cwd" is read as Latin-1 too,
so a folder named in UTF-8 is written as its bytes ("\\u00d0\\u0098..." for "И...").

Names on Windows. Korvo.exe takes and gives every name in UTF-8 (its manifest sets the code page),
and Wine shows it the names on disk and the arguments as the characters they are in the run's
locale. Under WINDOWS_LOCALE (code set CP1251) the Windows-1251 names of the trees and the
arguments are Russian letters, so in the expected Korvo.log and "stderr" of a Windows run each
name (a line but for the texts of the files it quotes) is the expected Windows-1251 text written
in UTF-8. A Russian default aspect-types file is then found under its UTF-8 spelling, which the
log names; a line that names one as not available names its built-in Windows-1251 spelling, as
on Linux, and keeps it. Under "C.UTF-8" the names are as on Linux.

Setup steps:
  {"mkdir": "path"}
  {"symlink": {"path": "link", "target": "/dev/full"}}        (POSIX only)
  {"write": {"path": "p", "text": "...", "repeat": N}}         text repeated N times (default 1)
  {"move": {"from": "p", "to": "q"}}                          renames a file, making q's folders
  {"remove": "path"}                                          deletes a file
  {"deep_cwd": N}   (first step only) the program runs in a folder nested below the fresh
                    directory whose absolute name, as the program sees it, is exactly N bytes
                    long; the trees, the other steps, expected/ and "absent" belong to it (for
                    names at the length limit)
"""
import argparse
import functools
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expected_files  # noqa: E402

LATIN1 = "latin-1"


def on_disk(path):
    """A path of the runner (a text whose characters stand for bytes, as Latin-1) as bytes."""
    return path if isinstance(path, bytes) else path.encode(LATIN1)


def program_view_of(directory, platform):
    """The current directory as the program under test reports it (the bytes of the Linux name
    as a Latin-1 text; on Windows see "Names on Windows" above)."""
    real = os.path.realpath(on_disk(directory)).decode(LATIN1)
    if platform == "windows":
        return "Z:" + real.replace("/", "\\")
    return real


FILL = re.compile(r"\{FILL:(\d+)\}")


def fill_for(length, cwd_as_seen):
    """A run of 'f' that makes "{CWD}/" + itself exactly length bytes long."""
    count = length - len(cwd_as_seen) - 1
    if count < 1:
        raise ValueError(f"{{FILL:{length}}} is too short for {cwd_as_seen}")
    return "f" * count


def expand(text, cwd_as_seen):
    text = FILL.sub(lambda match: fill_for(int(match.group(1)), cwd_as_seen), text)
    return text.replace("{CWD}", cwd_as_seen)


def program_argument(argument, cwd_as_seen, platform):
    if platform == "windows":
        argument = argument.replace("/", "\\")
    return expand(argument, cwd_as_seen).encode(LATIN1)


def setup_path(run_dir, path, cwd_as_seen):
    """A setup path as the bytes of a file name under the run directory."""
    name = expand(path, cwd_as_seen).encode(LATIN1)
    return os.path.join(os.fsencode(run_dir), name)


def run_setup(steps, run_dir, cwd_as_seen):
    def at(path):
        return setup_path(run_dir, path, cwd_as_seen)

    for step in steps:
        if "mkdir" in step:
            os.makedirs(at(step["mkdir"]), exist_ok=True)
        elif "symlink" in step:
            link = at(step["symlink"]["path"])
            os.makedirs(os.path.dirname(link), exist_ok=True)
            os.symlink(step["symlink"]["target"], link)
        elif "write" in step:
            write = step["write"]
            path = at(write["path"])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(write["text"].encode(LATIN1) * write.get("repeat", 1))
        elif "move" in step:
            target = at(step["move"]["to"])
            os.makedirs(os.path.dirname(target), exist_ok=True)
            os.rename(at(step["move"]["from"]), target)
        elif "remove" in step:
            os.remove(at(step["remove"]))
        else:
            raise ValueError(f"unknown setup step {step}")


REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


@functools.cache
def project_version():
    """The project version, x.y.z, as the top-level CMakeLists.txt gives it to the build."""
    with open(os.path.join(REPOSITORY, "CMakeLists.txt"), encoding="utf-8") as source:
        return re.search(r"project\(Korvo VERSION ([0-9.]+)", source.read()).group(1)


def make_writable(directory):
    """A copied tree may be read-only (the shared samples are); the run must write into it."""
    for root, dirs, files in os.walk(os.fsencode(directory)):
        for path in [root] + [os.path.join(root, name) for name in dirs + files]:
            if not os.path.islink(path):
                os.chmod(path, os.stat(path).st_mode | 0o200)


def current_subfolder(case, top_dir, platform):
    """The folder under the case's top directory in which the program runs ("" for the top)."""
    return expand(case.get("cwd", ""), program_view_of(top_dir, platform))


def deep_subfolder(directory, length, platform):
    """A nest of folders below `directory` whose absolute name, as the program sees it, is
    exactly `length` bytes long."""
    remaining = length - len(program_view_of(directory, platform))
    if remaining < 2:
        raise ValueError(f"the run directory is already longer than {length - 1} bytes")
    segments = []
    while remaining > 201:  # one separator and at most 200 bytes per segment, below NAME_MAX
        segments.append("d" * 100)
        remaining -= 101
    segments.append("d" * (remaining - 1))
    return os.path.join(*segments)


def split_deep_cwd(steps):
    """The length asked by a leading deep_cwd step, and the steps after it."""
    if steps and "deep_cwd" in steps[0]:
        return steps[0]["deep_cwd"], steps[1:]
    return None, steps


class Inside:
    """Works inside a directory by relative names: in a deep run directory an absolute name
    would pass the longest name the system takes, though the relative one is short."""

    def __init__(self, directory):
        self.directory = directory

    def __enter__(self):
        self.previous = os.getcwd()
        os.chdir(on_disk(self.directory))

    def __exit__(self, *exception):
        os.chdir(self.previous)


def lay_out_case(case_dir, case, real_dir, cwd_as_seen):
    """Builds the run directory of a case: the "from" folder, tree/, then the setup steps."""
    os.makedirs(on_disk(real_dir))
    sources = [os.path.join(REPOSITORY, case["from"]) if "from" in case else None,
               os.path.abspath(os.path.join(case_dir, "tree"))]
    with Inside(real_dir):
        for source in sources:
            if source and os.path.isdir(source):
                shutil.copytree(source, ".", symlinks=True, dirs_exist_ok=True)
                make_writable(".")
        run_setup(split_deep_cwd(case.get("setup", []))[1], ".", cwd_as_seen)


def expected_bytes(path, name, cwd_as_seen, platform, locale=None):
    with open(path, "rb") as source:
        data = source.read()
    data = data.replace(b"{VERSION}", project_version().encode())
    data = expand(data.decode(LATIN1), cwd_as_seen).encode(LATIN1)
    if platform == "windows" and os.path.basename(name) == "Korvo.log":
        data = b"\r\n".join(windows_line(line, locale) for line in data.split(b"\r\n"))
    return data


# Log lines that quote a text of the files: its '/' are its own, not separators.
QUOTING_LINES = [re.compile(pattern, re.DOTALL) for pattern in (
    rb"^()(?:Aspect type|Planet) '.*' is not in (.*)$",
    rb"^(Line \d+ of )(.*?): (?:the name '.*' begins or ends with whitespace|orb sign '.+' is not "
    rb"\+, - or a blank)$")]


# The built-in Windows-1251 spellings of the Russian default aspect-types names.
RUSSIAN_DEFAULT_TYPES = (b"aspects/\xec\xe1\xd4\xe1\xbd.asp", b"aspects/\xd2\xf0\xe0\xed\xe7\xe8\xf2.asp")
NOT_AVAILABLE = b" not available"


def names_as_seen(text, locale):
    """A log text outside the quoted texts of the files as Korvo.exe writes it under `locale`
    (see "Names on Windows"): under WINDOWS_LOCALE its Windows-1251 read as UTF-8, but for a
    built-in spelling that was not available."""
    if locale != WINDOWS_LOCALE:
        return text
    kept = b""
    for spelling in RUSSIAN_DEFAULT_TYPES:
        if text.endswith(spelling + NOT_AVAILABLE):
            text, kept = text[:-len(spelling + NOT_AVAILABLE)], spelling + NOT_AVAILABLE
    return text.decode("cp1251").encode("utf-8") + kept


def windows_line(line, locale=None):
    """A line of an expected log as Windows writes it: every '/' but those of a quoted text of
    the files becomes '\\', and the names are as Korvo.exe sees them under `locale`."""
    for pattern in QUOTING_LINES:
        match = pattern.match(line)
        if match:
            start, end = match.span(2)
            return (line[:start] + names_as_seen(line[start:end], locale).replace(b"/", b"\\") +
                    line[end:])
    return names_as_seen(line, locale).replace(b"/", b"\\")


# The reasons standard error gives on POSIX for a log that cannot be written, as Korvo.exe gives
# them under Wine (the system's English text, which there lacks the "is" of Windows itself).
WINDOWS_REASONS = {b": Is a directory\n": b": Access denied.\n"}


def expected_console(case, stream, cwd_as_seen, platform="linux"):
    """What the case expects on "stdout" or "stderr": placeholders expanded, and on Windows CR LF
    line ends and '\\' separators (on standard error, which carries the log's lines when the log
    cannot be written, as in Korvo.log, names too)."""
    text = case.get(stream, "").replace("{VERSION}", project_version())
    data = expand(text, cwd_as_seen).encode(LATIN1)
    if platform == "windows":
        if stream == "stdout":
            data = data.replace(b"/", b"\\")
        else:
            locale = case_locale(case)
            data = b"\n".join(windows_line(line, locale) for line in data.split(b"\n"))
            for posix, windows in WINDOWS_REASONS.items():
                data = data.replace(posix, windows)
        data = data.replace(b"\n", b"\r\n")
    return data


def also_without_drive(expand_cwd):
    """Lets an expansion also put in "{CWD_NO_DRIVE}": the current directory without its drive
    letter and ':' (on POSIX the directory itself), for names relative to the drive's root."""
    def expand_both(text, cwd_as_seen):
        without_drive = cwd_as_seen[2:] if cwd_as_seen[1:2] == ":" else cwd_as_seen
        return expand_cwd(text.replace("{CWD_NO_DRIVE}", without_drive), cwd_as_seen)
    return expand_both


expand = also_without_drive(expand)


def limit_file_size(limit):
    """What the child runs before the program: writes beyond `limit` bytes fail with an error
    (the signal that would otherwise end the program is ignored, as the program inherits)."""
    if limit is None:
        return None

    def apply():
        import resource
        import signal
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return apply


def run_program(command, run_dir, timeout, file_size_limit=None, locale=None):
    """Runs the program with its console output going to files: a pipe would also be held by
    the helper processes Wine leaves running for a few seconds, and the run would wait for them.
    Under a file-size limit (POSIX only) the output goes to pipes, which the limit leaves alone.
    `locale`, when given, is the run's LC_ALL."""
    run_dir = on_disk(run_dir)
    environment = dict(os.environ, LC_ALL=locale) if locale else None
    if file_size_limit is not None:
        return subprocess.run(command, cwd=run_dir, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout, env=environment,
                              preexec_fn=limit_file_size(file_size_limit))
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, cwd=run_dir, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=err, timeout=timeout, env=environment,
                                preexec_fn=limit_file_size(file_size_limit)).returncode
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(command, status, out.read(), err.read())


# The Windows runs use a locale whose code set is CP1251 unless a case names another: Wine reads
# the names on disk in the locale's code set, so the Windows-1251 names of the Russian trees are
# Russian letters for the program, as the names of the zip are on Windows, and the trees are laid
# out exactly as for the Linux build.
WINDOWS_LOCALE = "ru_RU.CP1251"


def case_locale(case):
    return case.get("locale", WINDOWS_LOCALE)


def use_windows_locale():
    """Makes the Windows runs use WINDOWS_LOCALE where a case names no other; fails when the
    machine lacks it."""
    environment = dict(os.environ, LC_ALL=WINDOWS_LOCALE)
    charmap = subprocess.run(["locale", "charmap"], env=environment, capture_output=True,
                             text=True).stdout.strip()
    if charmap != "CP1251":
        sys.exit(f"locale {WINDOWS_LOCALE} is missing (create it with: localedef -i ru_RU -f "
                 f"CP1251 {WINDOWS_LOCALE})")
    os.environ["LC_ALL"] = WINDOWS_LOCALE


def describe_difference(expected, actual):
    for index, (want, got) in enumerate(zip(expected, actual)):
        if want != got:
            start = max(0, index - 40)
            return (f"first difference at byte {index}:\n  expected {expected[start:index + 40]!r}\n"
                    f"  actual   {actual[start:index + 40]!r}")
    return f"lengths differ: expected {len(expected)}, actual {len(actual)}"


def run_case(case_dir, korvo, emulator, platform, keep):
    with open(os.path.join(case_dir, "case.json"), encoding="utf-8") as source:
        case = json.load(source)
    if platform not in case.get("platforms", ["linux", "windows"]):
        print(f"skipped on {platform}: {os.path.basename(case_dir)}")
        return True
    top = tempfile.mkdtemp(prefix="korvo-e2e-")
    subfolder = current_subfolder(case, os.path.join(top, "real"), platform)
    deep_length = split_deep_cwd(case.get("setup", []))[0]
    if deep_length is not None:
        subfolder = os.path.join(subfolder, deep_subfolder(
            os.path.normpath(os.path.join(top, "real", subfolder)), deep_length, platform))
    real_dir = os.path.normpath(os.path.join(top, "real", subfolder))
    cwd_as_seen = program_view_of(real_dir, platform)
    lay_out_case(case_dir, case, real_dir, cwd_as_seen)
    # The run starts through a symbolic link, so that the apparent and the real current
    # directory differ, as they may for a user.
    os.symlink(os.path.join(top, "real"), os.path.join(top, "link"))
    run_dir = os.path.normpath(os.path.join(top, "link", subfolder))
    arguments = [program_argument(a, cwd_as_seen, platform) for a in case.get("args", [])]
    command = emulator + [korvo] + arguments
    locale = case_locale(case) if platform == "windows" else None
    failures = []
    if "stdout_full_exit" in case and platform == "linux":
        with open("/dev/full", "wb") as full:
            status = subprocess.run(command, cwd=on_disk(run_dir), stdin=subprocess.DEVNULL,
                                    stdout=full, stderr=subprocess.DEVNULL).returncode
        if status != case["stdout_full_exit"]:
            failures.append(f"exit code {status} with standard output full, expected "
                            f"{case['stdout_full_exit']}")
    result = run_program(command, run_dir, case.get("timeout", 120), case.get("file_size_limit"),
                         locale)
    if result.returncode != case.get("exit", 0):
        failures.append(f"exit code {result.returncode}, expected {case.get('exit', 0)}")
    for stream, got in (("stderr", result.stderr), ("stdout", result.stdout)):
        want = expected_console(case, stream, cwd_as_seen, platform)
        if got != want:
            failures.append(f"{stream}: {got!r}, expected {want!r}")
    expected, reference_problems = expected_files.expected_files(os.path.abspath(case_dir), case)
    failures += reference_problems
    with Inside(real_dir):
        for relative, path in sorted(expected.items()):
            want = expected_bytes(path, relative, cwd_as_seen, platform, locale)
            actual_path = setup_path(".", relative, cwd_as_seen)
            if not os.path.isfile(actual_path):
                failures.append(f"{relative}: missing")
                continue
            with open(actual_path, "rb") as source:
                got = source.read()
            if got != want:
                failures.append(f"{relative}: {describe_difference(want, got)}")
        for relative in case.get("absent", []):
            pattern = setup_path(".", relative, cwd_as_seen)
            if os.path.lexists(pattern) or glob.glob(pattern):
                failures.append(f"{relative}: exists, expected absent")
        for relative, target in case.get("symlinks", {}).items():
            path = setup_path(".", relative, cwd_as_seen)
            if not os.path.islink(path) or os.readlink(path) != os.fsencode(target):
                failures.append(f"{relative}: no longer a link to {target}")
    name = os.path.basename(case_dir)
    if failures:
        print(f"FAILED {name} (run directory kept: {top})")
        for failure in failures:
            print("  " + failure)
        return False
    if not keep:
        shutil.rmtree(top, ignore_errors=True)
    print(f"passed {name}")
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the binary under test")
    parser.add_argument("--emulator", default="", help="command in front of the binary (wine)")
    parser.add_argument("--platform", choices=["linux", "windows"], default="linux")
    parser.add_argument("--keep", action="store_true", help="keep the run directories")
    parser.add_argument("cases", nargs="+", help="case folders")
    options = parser.parse_args()
    emulator = options.emulator.split() if options.emulator else []
    if options.platform == "windows":
        use_windows_locale()
    results = [run_case(c, os.path.abspath(options.korvo), emulator, options.platform, options.keep)
               for c in options.cases]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
