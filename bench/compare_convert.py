#!/usr/bin/env python3
"""Times builds of quellmar-convert against each other on the same generated
export, interleaved: each round runs every build once, in turn, so that the
noise of a shared machine hits them alike; prints the median wall time of
each, its spread and the median CPU time, as a Markdown table.

    bench/compare_convert.py --make-export PATH [--dives N] [--rounds R]
        [--scratch DIR] NAME=CONVERT[,ARG...] ...

Each build gets a program directory of its own under the scratch directory,
with the bundled templates and icons, and converts the export into its own
Output folder (laid out once before the rounds, so that every timed run
replaces the files of the one before, as a diver's second export does).
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def timed(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"failed: {' '.join(command)}")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--make-export", type=Path, required=True)
    parser.add_argument("--dives", type=int, default=10000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--scratch", type=Path, default=Path("/dev/shm"))
    parser.add_argument("builds", nargs="+", help="NAME=CONVERT[,ARG...]")
    args = parser.parse_args()

    work = args.scratch / f"quellmar-compare-{os.getpid()}"
    work.mkdir(parents=True)
    try:
        main_file = work / "data" / "logbook.csv"
        main_file.parent.mkdir()
        subprocess.run([args.make_export, "--dives", str(args.dives), "--seed", "1", main_file],
                       check=True, stdout=subprocess.DEVNULL)
        builds = []
        for build in args.builds:
            name, command = build.split("=", 1)
            program = work / name
            for folder in ("html", "pict"):
                shutil.copytree(ROOT / "resources" / folder, program / folder)
            convert, *extra = command.split(",")
            line = [convert, "--quiet", "--base", str(program), *extra, str(main_file)]
            timed(line)
            builds.append((name, line, [], []))
        for _ in range(args.rounds):
            for _, line, walls, cpus in builds:
                wall, cpu = timed(line)
                walls.append(wall)
                cpus.append(cpu)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    first = statistics.median(builds[0][2])
    print(f"| Build | Median | Fastest / slowest | CPU (median) | / {builds[0][0]} |")
    print("|---|---|---|---|---|")
    for name, _, walls, cpus in builds:
        median = statistics.median(walls)
        print(f"| {name} | {median * 1e3:.0f} ms | {min(walls) * 1e3:.0f} / "
              f"{max(walls) * 1e3:.0f} ms | {statistics.median(cpus) * 1e3:.0f} ms | "
              f"{median / first:.2f}x |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
