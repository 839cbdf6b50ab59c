#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Converts generated QIF files of growing size with the real `qif2ldx convert`, as whole
processes, and prints a table; `cat` of the same input and output sizes is the floor.
Usage: run.py QIF2LDX WORK_FOLDER [RESULTS_MD]"""

import os
import platform
import statistics
import subprocess
import sys
import time

SIZES = [1_000, 10_000, 100_000, 1_000_000]
RUNS = 3
HERE = os.path.dirname(os.path.abspath(__file__))


def timed(argv, stdout=subprocess.DEVNULL):
    """Wall seconds and peak resident kilobytes of one child process."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(argv)}")
    return wall, usage.ru_maxrss


def machine():
    cpu = "unknown processor"
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as info:
            for line in info:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    with open("/proc/meminfo", encoding="utf-8") as info:
        memory = int(info.readline().split()[1]) / 1024 / 1024
    return f"{cpu}, {os.cpu_count()} cores, {memory:.0f} GiB, {platform.platform()}"


def main():
    program, work = sys.argv[1], sys.argv[2]
    results = sys.argv[3] if len(sys.argv) > 3 else None
    os.makedirs(work, exist_ok=True)
    accounts = os.path.join(work, "olacclst.dat")
    with open(accounts, "wb") as handle:
        handle.write(b"Bench,CHECKING,GBP,12345678,401276,1001\r\n")
    rows = []
    previous = None
    for size in SIZES:
        qif = os.path.join(work, f"bank-{size}.qif")
        ldx = os.path.join(work, f"bank-{size}.LDX")
        if not os.path.exists(qif):
            subprocess.run([sys.executable, os.path.join(HERE, "generate_qif.py"), str(size), qif],
                           check=True)
        walls, peaks = [], []
        for _ in range(RUNS):
            wall, peak = timed([program, "convert", qif, "--account", "Bench", "--account-list",
                                accounts, "--output", ldx, "--overwrite"])
            walls.append(wall)
            peaks.append(peak)
        floor = []
        for _ in range(RUNS):
            with open(os.path.join(work, "cat.out"), "wb") as sink:
                wall, _ = timed(["cat", qif, ldx], stdout=sink)
            floor.append(wall)
        wall = statistics.median(walls)
        input_mb = os.path.getsize(qif) / 1e6
        peak_kb = max(peaks)
        growth = f"{wall / previous:.1f}" if previous else ""
        previous = wall
        rows.append([f"{size:,}", f"{input_mb:.1f}", f"{wall:.3f}", f"{size / wall:,.0f}",
                     f"{input_mb / wall:.1f}", f"{peak_kb / 1024:.1f}",
                     f"{peak_kb * 1024 / size:,.0f}", growth,
                     f"{statistics.median(floor):.3f}"])
    header = ["transactions", "input MB", "median wall s", "transactions/s", "input MB/s",
              "peak RSS MiB", "bytes/transaction", "growth (x10 size)", "cat floor s"]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    table = "\n".join(lines)
    print(table)
    if results:
        with open(results, "w", encoding="utf-8") as out:
            out.write("# Benchmark results\n\n")
            out.write(f"`make bench` on {time.strftime('%Y-%m-%d')}: {machine()}.\n")
            out.write(f"Median of {RUNS} whole-process runs of `qif2ldx convert` per size; peak "
                      "RSS from the child's resource usage; `cat` reads the QIF file and the "
                      "statement of the same size.\n\n")
            out.write(table + "\n")


if __name__ == "__main__":
    main()
