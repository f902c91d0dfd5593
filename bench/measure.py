#!/usr/bin/env python3
"""Times whole runs of Korvo on generated aspects lists and prints one table row per size.

    measure.py --korvo PATH [--work DIR] [--runs 5] [--sizes 60,1000,...] [--language en]

For each size N a working tree is generated (generate_aspects.py) and Korvo runs in it in natal
mode, with both the aspect-types file and the planets file present: one warm-up run, then
--runs runs timed from here, then --runs runs through /usr/bin/time -v for the CPU time and the
peak memory (its "Maximum resident set size"). The floor is `cat` copying a file of the page's
size, run and measured the same way. Before each run the page (or the copy) is removed, so no
run pays for emptying the previous one's file.

Columns: N; aspects per second; page MB; median wall ms; median CPU ms (user + system, from
/usr/bin/time, in steps of 10 ms); median peak MB; median cat ms; the ratio of the two wall
times; the ratio of the two CPU times ("-" while cat's rounds to 0). MB are 10^6 bytes. On a
machine busy with other work the wall times grow with the waiting for a processor, and the CPU
times say more.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SIZES = [60, 1_000, 10_000, 100_000, 1_000_000]


def wall_run(command, cwd, stdout=subprocess.DEVNULL):
    """Runs `command` directly; returns its wall time in seconds and its exit code."""
    start = time.perf_counter()
    finished = subprocess.run(command, cwd=cwd, stdout=stdout, check=False)
    return time.perf_counter() - start, finished.returncode


def resource_run(command, cwd, stdout=subprocess.DEVNULL):
    """Runs `command` under /usr/bin/time -v; returns (cpu s, peak bytes, exit code)."""
    finished = subprocess.run(["/usr/bin/time", "-v", *command], cwd=cwd, stdout=stdout,
                              stderr=subprocess.PIPE, text=True, check=False)
    fields = {}
    for line in finished.stderr.splitlines():
        name, _, value = line.strip().rpartition(": ")
        fields[name] = value
    cpu = float(fields["User time (seconds)"]) + float(fields["System time (seconds)"])
    peak = int(fields["Maximum resident set size (kbytes)"]) * 1024
    return cpu, peak, int(fields.get("Exit status", finished.returncode))


def medians(command, cwd, runs, before_each, stdout_path=None):
    """A warm-up run, then `runs` runs timed directly and `runs` runs under /usr/bin/time -v.
    Returns the medians of wall time, CPU time and peak memory. The wall time is taken apart
    from /usr/bin/time so that starting it does not count: on a busy machine that start alone
    takes longer than a small run of Korvo."""
    def once(runner):
        before_each()
        if stdout_path is None:
            return runner(command, cwd)
        with open(stdout_path, "wb") as out:
            return runner(command, cwd, stdout=out)

    walls, cpus, peaks = [], [], []
    for index in range(runs + 1):
        wall, code = once(wall_run)
        if code != 0:
            sys.exit(f"{command[0]} exited with {code} in {cwd}")
        if index > 0:
            walls.append(wall)
    for _ in range(runs):
        cpu, peak, _ = once(resource_run)
        cpus.append(cpu)
        peaks.append(peak)
    return statistics.median(walls), statistics.median(cpus), statistics.median(peaks)


def measure_size(korvo, work, count, language, runs):
    tree = os.path.join(work, f"{language}-{count}")
    subprocess.run([sys.executable, os.path.join(HERE, "generate_aspects.py"), str(count), tree,
                    "--language", language], check=True)
    page = os.path.join(tree, "Wrk", "Aspects.html")

    def remove_page():
        if os.path.exists(page):
            os.remove(page)

    korvo_wall, korvo_cpu, korvo_peak = medians([korvo], tree, runs, remove_page)
    page_bytes = os.path.getsize(page)

    floor_source = os.path.join(work, "floor-source.html")
    floor_copy = os.path.join(work, "floor-copy.html")
    shutil.copyfile(page, floor_source)

    def remove_copy():
        if os.path.exists(floor_copy):
            os.remove(floor_copy)

    cat_wall, cat_cpu, _ = medians(["cat", floor_source], work, runs, remove_copy, floor_copy)
    os.remove(floor_source)
    os.remove(floor_copy)
    return {
        "count": count, "rate": count / korvo_wall, "page_mb": page_bytes / 1e6,
        "ms": korvo_wall * 1e3, "cpu_ms": korvo_cpu * 1e3, "peak_mb": korvo_peak / 1e6,
        "cat_ms": cat_wall * 1e3, "ratio": korvo_wall / cat_wall,
        "cpu_ratio": korvo_cpu / cat_cpu if cat_cpu > 0 else None,
    }


def print_table(rows):
    header = ("N", "aspects/s", "page MB", "ms", "cpu ms", "peak MB", "cat ms", "x floor",
              "cpu x floor")
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---:" for _ in header) + "|")
    for row in rows:
        cells = (f"{row['count']:,}", f"{row['rate']:,.0f}", f"{row['page_mb']:.1f}",
                 f"{row['ms']:.1f}", f"{row['cpu_ms']:.0f}", f"{row['peak_mb']:.1f}",
                 f"{row['cat_ms']:.1f}", f"{row['ratio']:.2f}",
                 "-" if row["cpu_ratio"] is None else f"{row['cpu_ratio']:.2f}")
        print("| " + " | ".join(cells) + " |")


def print_targets(rows):
    """The speed targets, checked where the table holds the sizes they speak of."""
    by_count = {row["count"]: row for row in rows}
    checks = []
    if 100_000 in by_count:
        checks.append(("100,000 aspects within 2x the cat floor", by_count[100_000]["ratio"] <= 2))
    if 1_000_000 in by_count:
        checks.append(("1,000,000 aspects within 2.5x the cat floor",
                       by_count[1_000_000]["ratio"] <= 2.5))
    if 100_000 in by_count and 1_000_000 in by_count:
        growth = by_count[1_000_000]["ms"] / by_count[100_000]["ms"]
        checks.append((f"100,000 -> 1,000,000 grows at most 11-fold ({growth:.1f})", growth <= 11))
    if 1_000_000 in by_count:
        checks.append(("peak memory at 1,000,000 under 120 MB", by_count[1_000_000]["peak_mb"] < 120))
    if 60 in by_count:
        checks.append(("a 60-aspect run under 5 ms", by_count[60]["ms"] < 5))
    for text, met in checks:
        print(f"{'met    ' if met else 'MISSED '} {text}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the korvo executable to time")
    parser.add_argument("--work", default=os.path.join(HERE, "..", "build", "bench-work"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default=",".join(str(size) for size in DEFAULT_SIZES))
    parser.add_argument("--language", choices=["en", "ru"], default="en")
    args = parser.parse_args()
    korvo = os.path.abspath(args.korvo)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    rows = []
    for count in (int(size) for size in args.sizes.split(",")):
        rows.append(measure_size(korvo, work, count, args.language, args.runs))
        print(f"measured N={count:,}", file=sys.stderr)
    print(f"Korvo, natal mode, language {args.language}, median of {args.runs} runs after a "
          f"warm-up, {os.cpu_count()} CPUs, load average {os.getloadavg()[0]:.1f}")
    print_table(rows)
    print_targets(rows)


if __name__ == "__main__":
    main()
