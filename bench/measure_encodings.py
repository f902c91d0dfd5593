#!/usr/bin/env python3
"""Times Korvo on a Russian aspects list written in Windows-1251 and on its twin written in UTF-8
(the same text, generate_aspects.py --list-encoding utf-8), and prints the ratio.

    measure_encodings.py --korvo PATH [--work DIR] [--runs 7] [--count 1000000]
                         [--korvo-before PATH]

The two runs alternate, so that both meet the same load on a machine shared with other work;
each gets a warm-up run first. For each the median wall time and the median CPU time (user +
system of the child, from the kernel's accounting) are shown. With --korvo-before, an earlier
build runs the Windows-1251 list in the same rotation, to show the code-page reading is no
slower than before. Where `perf` is available, the instructions of one run of each are counted
too: a measure that the load of other processes does not change.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def timed_run(command, cwd):
    """Wall and CPU seconds of one run of `command`, its page removed before."""
    page = os.path.join(cwd, "Wrk", "Aspects.html")
    if os.path.exists(page):
        os.remove(page)
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    finished = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if finished.returncode != 0:
        sys.exit(f"{command[0]} exited with {finished.returncode} in {cwd}")
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def instructions(command, cwd):
    """Instructions of one run counted by perf, or None where perf cannot count them."""
    if not shutil.which("perf"):
        return None
    finished = subprocess.run(["perf", "stat", "-x,", "-e", "instructions:u", *command], cwd=cwd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    for line in finished.stderr.splitlines():
        fields = line.split(",")
        if len(fields) > 2 and fields[2].startswith("instructions") and fields[0].isdigit():
            return int(fields[0])
    return None


def generate(work, count, encoding):
    tree = os.path.join(work, f"ru-{count}-{encoding}")
    subprocess.run([sys.executable, os.path.join(HERE, "generate_aspects.py"), str(count), tree,
                    "--language", "ru", "--list-encoding", encoding], check=True)
    return tree


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--korvo", required=True, help="the korvo executable to time")
    parser.add_argument("--korvo-before", help="an earlier build, timed on the Windows-1251 list")
    parser.add_argument("--work", default=os.path.join(HERE, "..", "build", "bench-work"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--count", type=int, default=1_000_000)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    code_page_tree = generate(work, args.count, "cp1251")
    utf8_tree = generate(work, args.count, "utf-8")
    subjects = [("Windows-1251", [os.path.abspath(args.korvo)], code_page_tree),
                ("UTF-8", [os.path.abspath(args.korvo)], utf8_tree)]
    if args.korvo_before:
        subjects.append(("Windows-1251, before", [os.path.abspath(args.korvo_before)],
                         code_page_tree))
    for _, command, tree in subjects:
        timed_run(command, tree)  # warm-up
    times = {name: [] for name, _, _ in subjects}
    for _ in range(args.runs):
        for name, command, tree in subjects:
            times[name].append(timed_run(command, tree))
    print(f"Korvo, Russian list of {args.count:,} aspects, natal mode, median of {args.runs} "
          f"alternating runs after a warm-up, {os.cpu_count()} CPUs, load average "
          f"{os.getloadavg()[0]:.1f}")
    print("| list | wall ms | cpu ms | instructions |")
    print("|---|---:|---:|---:|")
    medians = {}
    for name, command, tree in subjects:
        wall = statistics.median(t[0] for t in times[name])
        cpu = statistics.median(t[1] for t in times[name])
        counted = instructions(command, tree)
        medians[name] = (wall, cpu, counted)
        print(f"| {name} | {wall * 1e3:.0f} | {cpu * 1e3:.0f} | "
              f"{'-' if counted is None else f'{counted:,}'} |")
    wall_ratio = medians["UTF-8"][0] / medians["Windows-1251"][0]
    cpu_ratio = medians["UTF-8"][1] / medians["Windows-1251"][1]
    print(f"UTF-8 / Windows-1251: wall {wall_ratio:.2f}, cpu {cpu_ratio:.2f}")
    counts = (medians["UTF-8"][2], medians["Windows-1251"][2])
    if None not in counts:
        print(f"UTF-8 / Windows-1251: instructions {counts[0] / counts[1]:.2f}")
    met = cpu_ratio <= 1.25
    print(f"{'met    ' if met else 'MISSED '} a UTF-8 list within 1.25 times its Windows-1251 twin")
    if args.korvo_before:
        before = medians["Windows-1251, before"]
        print(f"Windows-1251 now / before: wall {medians['Windows-1251'][0] / before[0]:.2f}, "
              f"cpu {medians['Windows-1251'][1] / before[1]:.2f}"
              + (f", instructions {medians['Windows-1251'][2] / before[2]:.3f}"
                 if before[2] and medians["Windows-1251"][2] else ""))


if __name__ == "__main__":
    main()
