#!/usr/bin/env python3
"""Runs Korvo with faults injected and checks that nothing is lost: for each fault the old page
stays byte for byte (or a whole new page stands), no temporary page file is left, the log or
standard error names what happened, and the exit code is the rule's.

  read errors      strace -P FILE -e inject=read:error=EIO:when=K on the list and the names files
  one open         strace shows a normal run opening its temporary page once, never by name again
  full disks       small tmpfs mounts: under the log (full, one page left), under the page, with no
                   inode left for the temporary file, and a read-only tree
  in place         a page with a second hard link, and one in a folder that refuses a new file,
                   under a file-size limit (SIGXFSZ at its default) or an injected ENOSPC: the old
                   bytes under both names, the staged copy gone
  signals          SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGXCPU, SIGSEGV and a
                   real-time signal once the temporary file exists; an ignored SIGHUP stays
                   ignored; SIGTERM while the grid page (-g) is written; standard error a pipe
                   closed early (SIGPIPE at its default): the run goes on
  memory           address-space limits (ulimit -v) below what a run needs
  console          (Wine) a Korvo.log that cannot be opened, standard error a console
  side by side     eight runs at once in one folder leave one whole log (also under Wine)

Mounting needs root; where it is refused those checks are skipped with a message, and so are the
strace checks without strace and the memory checks in a sanitized build (--sanitized), whose
shadow memory no address-space limit allows. Expected logs come from the rules model. With
--emulator (Wine) only Ctrl+C, the console and runs side by side are checked, on the Windows
build.

  python3 tests/e2e/fault_injection.py --korvo build/debug/src/korvo
"""
import argparse
import fcntl
import glob
import os
import pty
import re
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import korvo_model  # noqa: E402
import run_e2e  # noqa: E402
from compare_with_model import read  # noqa: E402

SMALL_TREE = os.path.join(run_e2e.REPOSITORY, "tests/e2e/trees/small-en")
CHUNK = 1 << 16  # the line reader asks for this many bytes a read
OLD_PAGE = b"an older page\r\n" * 3
INTERRUPTS = [signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT]
# Signals that end a run at their default action as the interrupts do; SIGSEGV too but in a
# sanitized build, where AddressSanitizer handles it, and a handled signal stays handled.
OTHER_ENDING_SIGNALS = [signal.SIGALRM, signal.SIGUSR1, signal.SIGXCPU, signal.SIGRTMIN + 2]
NOBODY = 65534


class Checks:
    def __init__(self):
        self.passed = self.failed = self.skipped = 0

    def expect(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAILED {name}")
            for problem in problems:
                print("  " + problem)
        else:
            self.passed += 1
            print(f"passed {name}")

    def skip(self, name, why):
        self.skipped += 1
        print(f"skipped {name}: {why}")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def lay_out(directory, files=None, old_page=True):
    """The small English tree in `directory`, with `files` ({relative: bytes}) over it."""
    shutil.copytree(SMALL_TREE, directory, dirs_exist_ok=True)
    for relative, data in (files or {}).items():
        write(os.path.join(directory, relative), data)
    if old_page:
        write(os.path.join(directory, "Wrk/Aspects.html"), OLD_PAGE)


def default_interrupts(file_size_limit=None, address_space=None, ignored=(), nobody=False):
    """What the child runs first: the interrupts at their default action (or ignored), no core
    file, the limits asked for (SIGXFSZ at its default: the run ignores it itself), and, as root,
    the user nobody when asked."""
    def apply():
        for interrupt in INTERRUPTS:
            signal.signal(interrupt, signal.SIG_IGN if interrupt in ignored else signal.SIG_DFL)
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        if file_size_limit is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
        if nobody and os.geteuid() == 0:
            os.setgroups([])
            os.setgid(NOBODY)
            os.setuid(NOBODY)
    return apply


def run(command, directory, environment=None, **limits):
    # LeakSanitizer cannot work under strace's ptrace; its leak check belongs to the other runs.
    options = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    if command[0] == "strace":
        environment = dict(environment or os.environ, ASAN_OPTIONS=options)
    return subprocess.run(command, cwd=directory, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=300, preexec_fn=default_interrupts(**limits), env=environment)


def model(directory, files=None, args=(), log_room=None):
    """(log, exit code, console) of the rules model in a fresh tree at `directory`."""
    shutil.rmtree(directory, ignore_errors=True)
    lay_out(directory, files)
    with run_e2e.Inside(directory):
        log, exit_code, _, console = korvo_model.model_run(
            os.fsencode(directory), [os.fsencode(a) for a in args], log_room=log_room)
    return log, exit_code, console


def leftovers(directory):
    return glob.glob(os.path.join(directory, "**", ".korvo-*.tmp"), recursive=True)


def outcome_problems(directory, result, exit_code, log=None, console=b"", page=OLD_PAGE):
    """What differs from the expected outcome: exit code, the log and standard error when given,
    the page (the old one by default), and no temporary file."""
    problems = []
    if result.returncode != exit_code:
        problems.append(f"exit code {result.returncode}, expected {exit_code}")
    actual_log = read(os.path.join(directory, "Korvo.log"))
    if log is not None and actual_log != log:
        problems.append(f"Korvo.log {actual_log!r}, expected {log!r}")
    if console is not None and result.stderr != console:
        problems.append(f"standard error {result.stderr!r}, expected {console!r}")
    if page is not None and read(os.path.join(directory, "Wrk/Aspects.html")) != page:
        problems.append("the page is not the one expected")
    if leftovers(directory):
        problems.append(f"temporary files left: {leftovers(directory)}")
    return problems


# ---------------------------------------------------------------------------------------------
# Read errors


def list_of(lines):
    header = [b"List header", b"", b"", b""]
    return b"\n".join(header + [b"Trine Sun-Moon %d\xb0%02d'" % (i % 30, i % 60)
                                for i in range(lines)]) + b"\n"


def lines_before(data, read_number):
    """The lines read whole before read number `read_number` (from 1) of the file fails."""
    return data[:CHUNK * (read_number - 1)].count(b"\n")


def strace_read_error(korvo, directory, failing_file, read_number):
    command = ["strace", "-f", "-o", os.devnull, "-P", os.path.join(directory, failing_file),
               "-e", "trace=read", "-e", f"inject=read:error=EIO:when={read_number}", korvo]
    return run(command, directory)


def read_error_checks(korvo, work, checks):
    if not shutil.which("strace"):
        checks.skip("read errors", "strace is not installed")
        return
    data = list_of(6000)
    for read_number in (1, 2):
        directory = os.path.join(work, f"list-read-{read_number}")
        lay_out(directory, {"Wrk/Aspects.txt": data})
        result = strace_read_error(korvo, directory, "Wrk/Aspects.txt", read_number)
        lines = lines_before(data, read_number)
        # The model reads the lines read whole; the line of the failure takes the place of the
        # count, and the run ends there.
        whole = b"".join(line + b"\n" for line in data.split(b"\n")[:lines])
        log, _, _ = model(directory + ".model", {"Wrk/Aspects.txt": whole})
        log = log[:log.index(b"Extracted ")].replace(os.fsencode(directory + ".model"),
                                                        os.fsencode(directory))
        log += b"Input file: %s/Wrk/Aspects.txt cannot be read after line %d\r\n" % (
            os.fsencode(directory), lines)
        checks.expect(f"a read error in the list (read {read_number}, after line {lines})",
                      outcome_problems(directory, result, 1, log))
    # A names file that fails is passed over after the names read before the failure.
    names = b"".join(b"Name %d;\n" % i for i in range(9000))
    planets = b"Moon\nSun\n"
    for failing, files, read_number in (("aspects/Natal.asp", {"aspects/Natal.asp": names}, 2),
                                        ("Language/English/Planets.txt", {}, 1)):
        directory = os.path.join(work, "names-" + os.path.basename(failing))
        lay_out(directory, files)
        result = strace_read_error(korvo, directory, failing, read_number)
        whole_data = (files.get(failing) or planets)
        lines = lines_before(whole_data, read_number)
        whole = b"".join(line + b"\n" for line in whole_data.split(b"\n")[:lines])
        model_dir = directory + ".model"
        log, _, _ = model(model_dir, {**files, failing: whole})
        table = b"Output tbl2" if failing.startswith("aspects") else b"Output tbl3"
        line = b"File %s/%s cannot be read after line %d\r\n" % (
            os.fsencode(model_dir), failing.encode(), lines)
        log = log.replace(table, line + table, 1)
        # A file not read whole names no names as missing from it: its line says why.
        not_in = b"' is not in %s/%s" % (os.fsencode(model_dir), failing.encode())
        log = b"\r\n".join(kept for kept in log.split(b"\r\n") if not kept.endswith(not_in))
        log = log.replace(os.fsencode(model_dir), os.fsencode(directory))
        checks.expect(f"a read error in {failing} (after line {lines})",
                      outcome_problems(directory, result, 0, log,
                                       page=read(os.path.join(model_dir, "Wrk/Aspects.html"))))


def opened_once_checks(korvo, work, checks):
    if not shutil.which("strace"):
        checks.skip("one open of the temporary page", "strace is not installed")
        return
    directory = os.path.join(work, "opened-once")
    lay_out(directory)
    trace = os.path.join(work, "opened-once.trace")
    result = run(["strace", "-f", "-o", trace, "-e", "trace=%file,%desc", korvo], directory)
    with open(trace, encoding="latin-1") as source:
        calls = source.read().splitlines()
    temporary = [call for call in calls if ".korvo-" in call]
    opens = [call for call in temporary if re.search(r"\bopen(at)?\(", call)]
    problems = outcome_problems(directory, result, 0, page=None)
    if len(opens) != 1 or "O_CREAT|O_EXCL|O_NOFOLLOW" not in opens[0]:
        problems.append(f"the temporary file was opened so: {opens}")
    if len([call for call in temporary if "renameat(" in call]) != 1 or len(temporary) != 2:
        problems.append(f"calls naming the temporary file: {temporary}")
    if [call for call in calls if "Aspects.html" in call and "O_TRUNC" in call]:
        problems.append("the page was opened by name to be emptied")
    checks.expect("a normal run opens its temporary page once", problems)


# ---------------------------------------------------------------------------------------------
# Pages written in place


def in_place_checks(korvo, work, checks):
    """A failure before the copy in place leaves the old page under both its names: a staged copy
    past the file-size limit, a failed write of it, no room past the old end."""
    model(os.path.join(work, "in-place.model"))
    new_page = read(os.path.join(work, "in-place.model", "Wrk/Aspects.html"))
    faults = [("a file-size limit", [korvo], {"file_size_limit": 3000})]
    if shutil.which("strace"):
        faults += [(f"ENOSPC at the first {call}", ["strace", "-f", "-o", os.devnull, "-e",
                                                    f"inject={call}:error=ENOSPC:when=1", korvo],
                    {}) for call in ("writev", "pwrite64")]
    for what, command, limits in faults:
        directory = os.path.join(work, "hard-link-" + what.replace(" ", "-"))
        lay_out(directory)
        os.link(os.path.join(directory, "Wrk/Aspects.html"), os.path.join(directory, "bak.html"))
        checks.expect(f"a hard-linked page under {what}",
                      in_place_problems(directory, run(command, directory, **limits), OLD_PAGE,
                                        ["Wrk/Aspects.html", "bak.html"]))
    # As the user nobody, since root writes in any folder: the page is staged in $TMPDIR.
    os.chmod(work, 0o755)
    for what, limits, page in (("a file-size limit", {"file_size_limit": 3000}, OLD_PAGE),
                               ("no fault", {}, new_page)):
        directory = os.path.join(work, "refusing-folder-" + what.replace(" ", "-"))
        lay_out(directory)
        staging = os.path.join(directory, "staging")
        os.makedirs(staging)
        if os.geteuid() == 0:
            subprocess.run(["chown", "-R", f"{NOBODY}:{NOBODY}", directory], check=True)
        os.chmod(os.path.join(directory, "Wrk"), 0o555)
        result = run([korvo], directory, dict(os.environ, TMPDIR=staging), nobody=True, **limits)
        os.chmod(os.path.join(directory, "Wrk"), 0o755)
        problems = in_place_problems(directory, result, page, ["Wrk/Aspects.html"])
        problems += [f"left in $TMPDIR: {name}" for name in os.listdir(staging)]
        checks.expect(f"a folder that refuses a new file, {what}", problems)


def in_place_problems(directory, result, page, names):
    """What differs from the outcome of a page written in place: the old page under each name and
    the line \"cannot be written\" (exit code 2), or the whole new page (0); no temporary file."""
    exit_code = 2 if page == OLD_PAGE else 0
    problems = outcome_problems(directory, result, exit_code, console=b"", page=None)
    problems += [f"{name} is not the page expected" for name in names
                 if read(os.path.join(directory, name)) != page]
    log = read(os.path.join(directory, "Korvo.log")) or b""
    last = (b"Output file: %s/Wrk/Aspects.html cannot be written" % os.fsencode(directory)
            if exit_code else b"Korvo completed OK")
    if not log.endswith(last):
        problems.append(f"the log ends {log[-100:]!r}")
    return problems


# ---------------------------------------------------------------------------------------------
# Full and read-only file systems


class Mounted:
    """A small tmpfs at `directory`, unmounted at the end."""

    def __init__(self, directory, options):
        self.directory = directory
        self.options = options

    def __enter__(self):
        os.makedirs(self.directory, exist_ok=True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", self.options, "tmpfs", self.directory],
                       check=True, capture_output=True)
        return self

    def __exit__(self, *exception):
        subprocess.run(["umount", self.directory], capture_output=True)


def fill(directory, leave=0):
    """Fills the file system of `directory` but for `leave` bytes (whole pages)."""
    filler = os.path.join(directory, "filler")
    with open(filler, "wb", buffering=0) as out:
        try:
            while True:
                out.write(b"f" * 4096)
        except OSError:
            pass
    os.truncate(filler, max(0, os.path.getsize(filler) - leave))


def fill_inodes(directory):
    for number in range(1 << 20):
        try:
            open(os.path.join(directory, f"i{number}"), "wb").close()
        except OSError:
            return


def can_mount(work):
    probe = os.path.join(work, "mount-probe")
    try:
        with Mounted(probe, "size=64k"):
            return True
    except (subprocess.CalledProcessError, OSError):
        return False


def full_log_checks(korvo, work, checks):
    """The working folder on a tmpfs with `room` bytes left for Korvo.log; the list and the page
    outside it, named ../outside/list.txt."""
    data = list_of(3) + b"".join(b"x%d \xb0 skipped\n" % n for n in range(120))
    for room in (0, 4096):
        top = os.path.join(work, f"full-log-{room}")
        inside = os.path.join(top, "run")
        lay_out(os.path.join(top, "outside"), {"list.txt": data}, old_page=False)
        with Mounted(inside, "size=256k"):
            fill(inside, room)
            result = run([korvo, "../outside/list.txt"], inside)
            log = read(os.path.join(inside, "Korvo.log"))
        expected_log, exit_code, console = model_in(top, inside, data, room)
        problems = outcome_problems(inside, result, exit_code, None, console, page=None)
        if log != expected_log:
            problems.append(f"Korvo.log {log!r}, expected {expected_log!r}")
        if read(os.path.join(top, "outside/list.html")) is None:
            problems.append("no page beside the list")
        checks.expect(f"Korvo.log on a full disk with {room} bytes left", problems)


def model_in(top, inside, data, room):
    """The model's run in `inside` (now an empty folder of the disk) on ../outside/list.txt."""
    lay_out(os.path.join(top, "outside"), {"list.txt": data}, old_page=False)
    for name in os.listdir(inside):
        os.remove(os.path.join(inside, name))
    with run_e2e.Inside(inside):
        log, exit_code, _, console = korvo_model.model_run(
            os.fsencode(inside), [b"../outside/list.txt"], log_room=room)
    return log, exit_code, console


def full_page_checks(korvo, work, checks):
    # The page's folder fills up while the page is written: the old page stays.
    directory = os.path.join(work, "full-page")
    lay_out(directory, old_page=False)
    list_data = read(os.path.join(directory, "Wrk/Aspects.txt"))
    shutil.rmtree(os.path.join(directory, "Wrk"))
    with Mounted(os.path.join(directory, "Wrk"), "size=64k"):
        lay_out(directory, {"Wrk/Aspects.txt": list_data})
        fill(os.path.join(directory, "Wrk"))
        result = run([korvo], directory)
        page = read(os.path.join(directory, "Wrk/Aspects.html"))
        problems = outcome_problems(directory, result, 2, page=None)
    log = read(os.path.join(directory, "Korvo.log")) or b""
    if not log.endswith(b"\r\nOutput file: %s/Wrk/Aspects.html cannot be written"
                        % os.fsencode(directory)):
        problems.append(f"the log ends {log[-120:]!r}")
    if page != OLD_PAGE:
        problems.append("the old page is gone")
    checks.expect("a full disk under the page", problems)

    # No inode for the temporary file: the old page is not emptied and written in place.
    directory = os.path.join(work, "no-inode")
    with Mounted(directory, "size=1m,nr_inodes=64"):
        lay_out(directory)
        write(os.path.join(directory, "Korvo.log"), b"")
        fill_inodes(directory)
        result = run([korvo], directory)
        log = read(os.path.join(directory, "Korvo.log")) or b""
        problems = outcome_problems(directory, result, 2)
    if not log.endswith(b"\r\nOutput file: %s/Wrk/Aspects.html cannot be opened\r\n"
                        % os.fsencode(directory)):
        problems.append(f"the log ends {log[-120:]!r}")
    checks.expect("no room for the temporary page file", problems)

    # A read-only tree: the log cannot be opened, so standard error tells why no page came.
    directory = os.path.join(work, "read-only")
    with Mounted(directory, "size=1m"):
        lay_out(directory)
        subprocess.run(["mount", "-o", "remount,ro", directory], check=True)
        result = run([korvo], directory)
        problems = outcome_problems(directory, result, 2, console=None)
    cwd = os.fsencode(directory)
    if not (result.stderr.startswith(b"Korvo: Korvo.log cannot be written in %s: Read-only file "
                                     b"system\n" % cwd)
            and result.stderr.endswith(b"\nOutput file: %s/Wrk/Aspects.html cannot be opened\n"
                                       % cwd)):
        problems.append(f"standard error {result.stderr!r}")
    checks.expect("a read-only tree", problems)


# ---------------------------------------------------------------------------------------------
# Interrupts


def start_blocked(korvo, directory, ignored=()):
    """Starts a run whose aspect-types file is a pipe nobody writes: once its temporary page
    exists and table 1 is written, it waits in the open of that pipe."""
    lay_out(directory)
    types = os.path.join(directory, "aspects/Natal.asp")
    os.remove(types)
    os.mkfifo(types)
    process = subprocess.Popen([korvo], cwd=directory, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               preexec_fn=default_interrupts(ignored=ignored))
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        log = read(os.path.join(directory, "Korvo.log")) or b""
        if leftovers(directory) and log.endswith(b"Output tbl1, state: 0\r\n"):
            return process
        time.sleep(0.01)
    process.kill()
    raise RuntimeError("the run never reached its aspect-types file")


def interrupt_checks(korvo, work, checks, sanitized):
    for interrupt in INTERRUPTS + OTHER_ENDING_SIGNALS + ([] if sanitized else [signal.SIGSEGV]):
        name = signal.Signals(interrupt).name if interrupt in set(signal.Signals) else "SIGRTMIN+2"
        directory = os.path.join(work, f"interrupt-{name}")
        process = start_blocked(korvo, directory)
        process.send_signal(interrupt)
        _, error = process.communicate(timeout=60)
        result = subprocess.CompletedProcess([], process.returncode, b"", error)
        log = read(os.path.join(directory, "Korvo.log"))
        checks.expect(f"{name} once the temporary page exists",
                      outcome_problems(directory, result, -interrupt, log, b""))
    # A run started with SIGHUP ignored (nohup) keeps ignoring it, and completes.
    directory = os.path.join(work, "interrupt-ignored")
    process = start_blocked(korvo, directory, ignored=(signal.SIGHUP,))
    process.send_signal(signal.SIGHUP)
    time.sleep(0.2)
    with open(os.path.join(directory, "aspects/Natal.asp"), "wb") as types:
        types.write(b"Trine;\n")
    _, error = process.communicate(timeout=60)
    result = subprocess.CompletedProcess([], process.returncode, b"", error)
    log = read(os.path.join(directory, "Korvo.log")) or b""
    problems = outcome_problems(directory, result, 0, console=b"", page=None)
    if not log.endswith(b"Korvo completed OK"):
        problems.append(f"the log ends {log[-60:]!r}")
    checks.expect("an ignored SIGHUP stays ignored", problems)
    # Standard error, which takes the log, a pipe whose reader is gone: the run goes on.
    directory = os.path.join(work, "closed-pipe")
    lay_out(directory, old_page=False)
    os.makedirs(os.path.join(directory, "Korvo.log"))
    reader, writer = os.pipe()
    os.close(reader)
    result = subprocess.run([korvo, "-g"], cwd=directory, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=writer, timeout=60)
    os.close(writer)
    problems = outcome_problems(directory, result, 0, console=None, page=None)
    problems += [f"{name} is not whole" for name in ("Wrk/Aspects.html", "Wrk/Aspects-grid.html")
                 if not (read(os.path.join(directory, name)) or b"").endswith(b"</html>\r\n")]
    checks.expect("standard error a closed pipe", problems)


def grid_interrupt_check(korvo, work, checks):
    """SIGTERM while the grid page is written: a planets file of many names makes the grid large
    and the page small. The page stays complete in place, the old grid page as it was, and no
    temporary file is left. A run that finished before its temporary grid page was seen proves
    nothing and is reported as skipped."""
    directory = os.path.join(work, "interrupt-grid")
    planets = b"".join(b"Planet %d\n" % number for number in range(2500))
    lay_out(directory, {"Language/English/Planets.txt": planets,
                        "Wrk/Aspects-grid.html": OLD_PAGE})
    process = subprocess.Popen([korvo, "-g"], cwd=directory, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               preexec_fn=default_interrupts())
    log_name = os.path.join(directory, "Korvo.log")
    while process.poll() is None and not (leftovers(directory) and
                                          b"\r\nUsing grid output: " in (read(log_name) or b"")):
        time.sleep(0.001)
    if process.poll() is not None:
        process.communicate()
        checks.skip("SIGTERM while the grid page is written",
                    "the run ended before its temporary grid page was seen")
        return
    process.send_signal(signal.SIGTERM)
    _, error = process.communicate(timeout=60)
    result = subprocess.CompletedProcess([], process.returncode, b"", error)
    problems = outcome_problems(directory, result, -signal.SIGTERM, console=b"", page=None)
    if not (read(os.path.join(directory, "Wrk/Aspects.html")) or b"").endswith(b"</html>\r\n"):
        problems.append("the page is not complete")
    if read(os.path.join(directory, "Wrk/Aspects-grid.html")) != OLD_PAGE:
        problems.append("the old grid page is gone")
    checks.expect("SIGTERM while the grid page is written", problems)


def windows_interrupt_checks(command, work, checks):
    """Korvo.exe under Wine, which turns SIGINT into Ctrl+C: a list long enough that the page
    takes a while, interrupted once its temporary file is seen. A run that finished before it was
    seen proves nothing and is reported as skipped."""
    directory = os.path.join(work, "windows-interrupt")
    lay_out(directory, {"Wrk/Aspects.txt": list_of(60000)})
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as error:
        # Files, not pipes: Wine's helper processes would hold a pipe open after the run.
        process = subprocess.Popen(command, cwd=directory, stdin=subprocess.DEVNULL, stdout=out,
                                   stderr=error)
        while process.poll() is None and not leftovers(directory):
            time.sleep(0.005)
        if process.poll() is not None:
            checks.skip("Ctrl+C under Wine", "the run ended before its temporary page was seen")
            return
        process.send_signal(signal.SIGINT)
        process.wait(timeout=120)
    log = read(os.path.join(directory, "Korvo.log")) or b""
    problems = [f"temporary files left: {name}" for name in leftovers(directory)]
    if read(os.path.join(directory, "Wrk/Aspects.html")) != OLD_PAGE:
        problems.append("the old page is gone")
    if log.endswith(b"Korvo completed OK"):
        problems.append("the run was not interrupted")
    checks.expect("Ctrl+C under Wine once the temporary page exists", problems)


def console_output(command, directory):
    """What a run shows on a terminal: Wine gives a program whose standard streams are a terminal
    a console, which turns the program's text into the terminal's UTF-8. The console's cursor
    moves that stand for blanks become blanks; its other escape sequences are dropped."""
    controller, terminal = pty.openpty()
    # Wide enough that no line of the log wraps.
    fcntl.ioctl(terminal, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 1000, 0, 0))
    process = subprocess.Popen(command, cwd=directory, stdin=terminal, stdout=terminal,
                               stderr=terminal, env=dict(os.environ, LC_ALL="C.UTF-8"))
    os.close(terminal)
    shown = b""
    try:
        while True:
            ready, _, _ = select.select([controller], [], [], 0.5 if process.poll() is not None
                                        else 60)
            if not ready:
                break
            try:
                piece = os.read(controller, 1 << 16)
            except OSError:  # the terminal's last holder closed it
                break
            if not piece:
                break
            shown += piece
    finally:
        os.close(controller)
        process.wait(timeout=60)
    shown = re.sub(rb"\x1b\[(\d*)C", lambda m: b" " * int(m.group(1) or 1), shown)
    return re.sub(rb"\x1b\[[?0-9;]*[A-Za-z]", b"", shown).replace(b"\r", b"")


def windows_console_checks(command, work, checks):
    """A Russian run without its aspect-types files, in a folder named in Cyrillic whose
    Korvo.log is a folder: each line that is UTF-8 reaches the terminal as its text, and each
    line with a Windows-1251 name as its bytes, which the console reads in its own code page."""
    name = "\u0418\u0432\u0430\u043d".encode("utf-8")  # "Иван", as the folder's bytes
    directory = os.path.join(work, "console", os.fsdecode(name))
    lay_out(directory, {"Config/RUSSIAN.ini": b""}, old_page=False)
    os.makedirs(os.path.join(directory, "Korvo.log"))
    shown = console_output(command + ["-2"], directory).split(b"\n")
    folder = b"\\" + name
    as_text = [line for line in shown if folder in line]
    problems = []
    if not any(line.startswith(b"Korvo: Korvo.log cannot be written in Z:") and
               line.endswith(folder + b": Access denied.") for line in as_text):
        problems.append(f"no line names the folder in its letters: {shown!r}")
    russian_spelling = [line for line in shown if line.endswith(b".asp not available")]
    if len(russian_spelling) != 2 or any(folder in line for line in russian_spelling):
        problems.append(f"the lines of the Windows-1251 spellings are not their bytes: "
                        f"{russian_spelling!r}")
    checks.expect("a console shows UTF-8 lines as text, others as their bytes", problems)


# ---------------------------------------------------------------------------------------------
# Runs side by side


def side_by_side_check(command, work, checks, separator):
    """Eight runs at once in one folder, each on a list of another size, so that they overlap:
    each exits 0, and the Korvo.log left is one of the logs the same runs leave one after
    another, byte for byte."""
    directory = os.path.join(work, "side-by-side")
    lay_out(directory, {f"Wrk/list-{n}.txt": list_of(10000 * (n + 1)) for n in range(8)})
    commands = [command + [f"Wrk{separator}list-{n}.txt"] for n in range(8)]
    logs_alone = []
    for each in commands:
        subprocess.run(each, cwd=directory, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        logs_alone.append(read(os.path.join(directory, "Korvo.log")))
    runs = [subprocess.Popen(each, cwd=directory, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for each in reversed(commands)]  # the longest first, still writing as the rest start
    exit_codes = [run.wait(timeout=300) for run in runs]
    log = read(os.path.join(directory, "Korvo.log"))
    problems = [] if exit_codes == [0] * 8 else [f"exit codes {exit_codes}"]
    if log not in logs_alone:
        problems.append(f"Korvo.log is the log of no run alone: {log!r}")
    checks.expect("eight runs at once in one folder leave one run's whole log", problems)


# ---------------------------------------------------------------------------------------------
# Memory


def memory_outcome(korvo, directory, limit):
    """'completed', 'stopped after the page was opened', 'stopped before', or 'did not start';
    with the problems found in the run's outcome."""
    if os.path.exists(os.path.join(directory, "Korvo.log")):
        os.remove(os.path.join(directory, "Korvo.log"))
    write(os.path.join(directory, "Wrk/Aspects.html"), OLD_PAGE)
    result = run([korvo], directory, address_space=limit)
    log = read(os.path.join(directory, "Korvo.log"))
    if log is None:
        return "did not start", ([] if result.returncode != 0 and not leftovers(directory)
                                 else [f"no log, exit code {result.returncode}"])
    if result.returncode == 0 and log.endswith(b"Korvo completed OK"):
        return "completed", []
    problems = outcome_problems(directory, result, 2, console=b"")
    if not log.endswith(b"\r\nKorvo stopped: out of memory"):
        problems.append(f"the log ends {log[-80:]!r}")
    return ("stopped after the page was opened" if b"\r\nUsing output: " in log
            else "stopped before"), problems


def memory_checks(korvo, work, checks, sanitized):
    if sanitized:
        checks.skip("out of memory", "a sanitized build reserves more memory than any limit")
        return
    directory = os.path.join(work, "memory")
    lay_out(directory, {"Wrk/Aspects.txt": list_of(20000)})
    low, high = 1 << 20, 1 << 32  # the smallest limit a run completes under lies in between
    while high - low > (1 << 16):
        middle = (low + high) // 2
        outcome, _ = memory_outcome(korvo, directory, middle)
        low, high = (low, middle) if outcome == "completed" else (middle, high)
    seen = {}
    for step in range(1, 25):
        outcome, problems = memory_outcome(korvo, directory, high - step * (1 << 15))
        seen.setdefault(outcome, problems)
        if problems:
            seen[outcome] = problems
    problems = [f"{outcome}: {p}" for outcome, found in seen.items() for p in found]
    if "stopped after the page was opened" not in seen:
        problems.append(f"no limit stopped the run with its temporary page open: {sorted(seen)}")
    checks.expect(f"out of memory (a run needs {high >> 10} KiB of address space)", problems)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the binary under test")
    parser.add_argument("--sanitized", action="store_true", help="a sanitized build")
    parser.add_argument("--emulator", default="",
                        help="wine: the Windows build, of which only Ctrl+C is checked")
    options = parser.parse_args()
    korvo = os.path.abspath(options.korvo)
    checks = Checks()
    work = os.path.realpath(tempfile.mkdtemp(prefix="korvo-faults-"))
    try:
        if options.emulator:
            windows_interrupt_checks(options.emulator.split() + [korvo], work, checks)
            windows_console_checks(options.emulator.split() + [korvo], work, checks)
            side_by_side_check(options.emulator.split() + [korvo], work, checks, "\\")
        else:
            posix_checks(korvo, work, checks, options.sanitized)
    finally:
        if not checks.failed:
            shutil.rmtree(work, ignore_errors=True)
    print(f"{checks.passed} passed, {checks.failed} failed, {checks.skipped} skipped")
    return 1 if checks.failed else 0


def posix_checks(korvo, work, checks, sanitized):
    read_error_checks(korvo, work, checks)
    opened_once_checks(korvo, work, checks)
    in_place_checks(korvo, work, checks)
    interrupt_checks(korvo, work, checks, sanitized)
    grid_interrupt_check(korvo, work, checks)
    side_by_side_check([korvo], work, checks, "/")
    memory_checks(korvo, work, checks, sanitized)
    if os.geteuid() != 0 or not can_mount(work):
        checks.skip("full and read-only file systems", "mounting a tmpfs is not allowed here")
    else:
        full_log_checks(korvo, work, checks)
        full_page_checks(korvo, work, checks)


if __name__ == "__main__":
    sys.exit(main())
