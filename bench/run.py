#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Converts generated QIF files of growing size with the real `qif2ldx convert`, as whole
processes, side by side with the peer (bench/peer_writer.py, a minimal Python writer of the same
statement) and the floor (`cat` reading the QIF file and writing a statement of the same size),
in one sitting, and prints a table with the goals it is held to.
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

# The goals: at least this many times as fast as the peer at these sizes; at most this growth
# in time from 100,000 to 1,000,000 transactions; at most these bytes of peak memory a
# transaction at 1,000,000; within this many times the floor at 1,000.
PEER_RATIO = 2.0
PEER_SIZES = (100_000, 1_000_000)
MAX_GROWTH = 11.0
MAX_BYTES = 1000
FLOOR_RATIO = 2.0


def timed(argv, stdout=subprocess.DEVNULL):
    """Wall seconds and peak resident kilobytes of one child process. What the runs before it
    wrote is flushed to disk first, so that no run waits for another's writes (qif2ldx flushes
    its own statement to disk before it puts it in place)."""
    os.sync()
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
    load = os.getloadavg()[0]
    return (f"{cpu}, {os.cpu_count()} cores, {memory:.0f} GiB, {platform.platform()}; "
            f"load average {load:.1f} at the start")


def measure(program, work, accounts, size):
    """The medians of RUNS rounds, each running qif2ldx, the peer and the floor in turn."""
    qif = os.path.join(work, f"bank-{size}.qif")
    ldx = os.path.join(work, f"bank-{size}.LDX")
    peer_ldx = os.path.join(work, f"peer-{size}.LDX")
    if not os.path.exists(qif):
        subprocess.run([sys.executable, os.path.join(HERE, "generate_qif.py"), str(size), qif],
                       check=True)
    ours, peer, floor, peaks = [], [], [], []
    for _ in range(RUNS):
        wall, peak = timed([program, "convert", qif, "--account", "Bench", "--account-list",
                            accounts, "--output", ldx, "--overwrite"])
        ours.append(wall)
        peaks.append(peak)
        wall, _ = timed([sys.executable, os.path.join(HERE, "peer_writer.py"), qif, accounts,
                         "Bench", peer_ldx])
        peer.append(wall)
        with open(os.path.join(work, "cat.out"), "wb") as sink:
            wall, _ = timed(["cat", qif, ldx], stdout=sink)
        floor.append(wall)
    with open(ldx, "rb") as mine, open(peer_ldx, "rb") as theirs:
        if mine.read() != theirs.read():
            sys.exit(f"the peer's statement of {size:,} transactions differs from qif2ldx's")
    return {"size": size, "mb": os.path.getsize(qif) / 1e6, "ours": statistics.median(ours),
            "peer": statistics.median(peer), "floor": statistics.median(floor),
            "peak": max(peaks)}


def table(rows):
    header = ["transactions", "input MB", "qif2ldx s", "peer s", "peer / qif2ldx", "cat floor s",
              "qif2ldx / floor", "peak RSS MiB", "bytes/transaction", "growth (x10 size)"]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    previous = None
    for row in rows:
        growth = f"{row['ours'] / previous:.1f}" if previous else ""
        previous = row["ours"]
        lines.append("| " + " | ".join([
            f"{row['size']:,}", f"{row['mb']:.1f}", f"{row['ours']:.3f}", f"{row['peer']:.3f}",
            f"{row['peer'] / row['ours']:.2f}", f"{row['floor']:.4f}",
            f"{row['ours'] / row['floor']:.1f}", f"{row['peak'] / 1024:.1f}",
            f"{row['peak'] * 1024 / row['size']:,.0f}", growth]) + " |")
    return "\n".join(lines)


def goals(rows):
    by_size = {row["size"]: row for row in rows}
    lines = []

    def line(met, text):
        lines.append(f"- {'met' if met else 'NOT met'}: {text}")

    for size in PEER_SIZES:
        ratio = by_size[size]["peer"] / by_size[size]["ours"]
        line(ratio >= PEER_RATIO, f"{ratio:.2f} times as fast as the peer at {size:,} "
                                  f"transactions (goal: at least {PEER_RATIO:g})")
    growth = by_size[1_000_000]["ours"] / by_size[100_000]["ours"]
    line(growth <= MAX_GROWTH, f"time grows {growth:.1f} times from 100,000 to 1,000,000 "
                               f"transactions (goal: at most {MAX_GROWTH:g})")
    per = by_size[1_000_000]["peak"] * 1024 / 1_000_000
    line(per <= MAX_BYTES, f"{per:,.0f} bytes of peak memory a transaction at 1,000,000 "
                           f"(goal: at most {MAX_BYTES:,})")
    floor = by_size[1_000]["ours"] / by_size[1_000]["floor"]
    line(floor <= FLOOR_RATIO, f"{floor:.1f} times the floor at 1,000 transactions "
                               f"(goal: at most {FLOOR_RATIO:g})")
    return "\n".join(lines)


def main():
    program, work = sys.argv[1], sys.argv[2]
    results = sys.argv[3] if len(sys.argv) > 3 else None
    os.makedirs(work, exist_ok=True)
    accounts = os.path.join(work, "olacclst.dat")
    with open(accounts, "wb") as handle:
        handle.write(b"Bench,CHECKING,GBP,12345678,401276,1001\r\n")
    conditions = machine()
    rows = [measure(program, work, accounts, size) for size in SIZES]
    report = table(rows) + "\n\n" + goals(rows)
    print(report)
    if results:
        with open(results, "w", encoding="utf-8") as out:
            out.write("# Benchmark results\n\n")
            out.write(f"`make bench` on {time.strftime('%Y-%m-%d')}: {conditions}.\n")
            out.write(f"Medians of {RUNS} rounds of whole processes per size, each round running "
                      "`qif2ldx convert`, the peer (`bench/peer_writer.py`, a minimal Python "
                      "writer of the same statement, whose output must be byte for byte "
                      "qif2ldx's) and the floor (`cat` of the QIF file and a statement of the "
                      "same size) in turn; peak RSS of qif2ldx from the child's resource "
                      "usage.\n\n")
            out.write(report + "\n")


if __name__ == "__main__":
    main()
