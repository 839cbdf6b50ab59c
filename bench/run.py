#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Converts generated QIF files of growing size with the real `qif2ldx convert`, as whole
processes, side by side with the peer (bench/peer_writer.py, a minimal Python writer of the same
statement) and the floor (`cat` reading the QIF file and writing a statement of the same size),
in one sitting, and prints a table with the goals it is held to. Those runs neither read nor
record a history (--no-history), as before there was one. Then a file of 100,000 transactions
is converted against a history that already holds 1,000,000 of the same account, beside the
same run with --no-history. Every run has a data folder of its own in WORK_FOLDER: the user's
history is never touched.
Usage: run.py QIF2LDX WORK_FOLDER [RESULTS_MD]"""

import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import time

SIZES = [1_000, 10_000, 100_000, 1_000_000]
DATA = None  # the data folder of the runs that have no history
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

# The history row: statements of HISTORY_STATEMENTS x HISTORY_SIZE transactions, PER_DAY a day,
# then a new file of NEW_SIZE whose first NEW_SIZE // 100 transactions (1%, the last days of the
# history's last month) are the history's last ones. It may cost at most HISTORY_RATIO times the
# same run with --no-history, and its peak memory may not grow with the history's size (at most
# MEMORY_SLACK over the same run against a history of one statement).
HISTORY_STATEMENTS = 10
HISTORY_SIZE = 100_000
NEW_SIZE = 100_000
PER_DAY = 100
HISTORY_RATIO = 2.0
MEMORY_SLACK = 1.05


def timed(argv, stdout=subprocess.DEVNULL, data=None):
    """Wall seconds and peak resident kilobytes of one child process, with the data folder
    given (its history). What the runs before it wrote is flushed to disk first, so that no run
    waits for another's writes (qif2ldx flushes its own statement to disk before it puts it in
    place)."""
    os.sync()
    env = dict(os.environ, XDG_DATA_HOME=data or DATA)
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=stdout, stderr=subprocess.DEVNULL, env=env)
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
                            accounts, "--output", ldx, "--overwrite", "--no-history"])
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


def generated(work, name, first, count):
    """A file cut from the one endless account of bench/generate_qif.py; made once."""
    path = os.path.join(work, name)
    if not os.path.exists(path):
        subprocess.run([sys.executable, os.path.join(HERE, "generate_qif.py"), str(count), path,
                        str(first), str(PER_DAY)], check=True)
    return path


def seeded(program, work, accounts, statements):
    """A history holding the last `statements` statements of HISTORY_SIZE transactions, made by
    the program itself; kept in WORK_FOLDER for later rounds."""
    seed = os.path.join(work, f"history-{statements}")
    if os.path.exists(os.path.join(seed, "done")):
        return seed
    shutil.rmtree(seed, ignore_errors=True)
    for k in range(HISTORY_STATEMENTS - statements, HISTORY_STATEMENTS):
        qif = generated(work, f"history-{k}.qif", k * HISTORY_SIZE, HISTORY_SIZE)
        timed([program, "convert", qif, "--account", "Bench", "--account-list", accounts,
               "--output", os.path.join(work, f"history-{k}.LDX"), "--overwrite"], data=seed)
    open(os.path.join(seed, "done"), "w", encoding="utf-8").close()
    return seed


def against(program, seed, argv, work):
    """One timed run against a fresh copy of the seeded history."""
    data = os.path.join(work, "history-run")
    shutil.rmtree(data, ignore_errors=True)
    shutil.copytree(seed, data)
    return timed(argv, data=data)


def measure_history(program, work, accounts):
    """The new file against the full history, against one statement's, and with --no-history,
    in turn, RUNS rounds."""
    full = seeded(program, work, accounts, HISTORY_STATEMENTS)
    small = seeded(program, work, accounts, 1)
    history = HISTORY_STATEMENTS * HISTORY_SIZE
    new = generated(work, "history-new.qif", history - NEW_SIZE // 100, NEW_SIZE)
    argv = [program, "convert", new, "--account", "Bench", "--account-list", accounts,
            "--output", os.path.join(work, "history-new.LDX"), "--overwrite"]
    data = os.path.join(work, "history-run")
    shutil.rmtree(data, ignore_errors=True)
    shutil.copytree(full, data)
    receipt = json.loads(subprocess.run(argv + ["--json", "--dry-run"], capture_output=True,
                                        env=dict(os.environ, XDG_DATA_HOME=data),
                                        check=True).stdout)
    ours, alone, peaks, small_peaks, alone_peaks = [], [], [], [], []
    for _ in range(RUNS):
        wall, peak = against(program, full, argv, work)
        ours.append(wall)
        peaks.append(peak)
        wall, peak = timed(argv + ["--no-history"])
        alone.append(wall)
        alone_peaks.append(peak)
        small_peaks.append(against(program, small, argv, work)[1])
    return {"history": history, "size": NEW_SIZE, "repeats": receipt["repeats"]["count"],
            "ours": statistics.median(ours), "alone": statistics.median(alone),
            "peak": max(peaks), "small_peak": max(small_peaks), "alone_peak": max(alone_peaks)}


def history_table(row):
    header = ["history transactions", "new file", "repeats found", "with history s",
              "--no-history s", "ratio", "peak RSS MiB (history of 1,000,000)",
              "peak RSS MiB (history of 100,000)", "peak RSS MiB (--no-history)"]
    return "\n".join([
        "| " + " | ".join(header) + " |", "|" + "---|" * len(header),
        "| " + " | ".join([
            f"{row['history']:,}", f"{row['size']:,}", f"{row['repeats']:,}",
            f"{row['ours']:.3f}", f"{row['alone']:.3f}", f"{row['ours'] / row['alone']:.2f}",
            f"{row['peak'] / 1024:.1f}", f"{row['small_peak'] / 1024:.1f}",
            f"{row['alone_peak'] / 1024:.1f}"]) + " |"])


def history_goals(row):
    ratio = row["ours"] / row["alone"]
    growth = row["peak"] / row["small_peak"]
    return "\n".join([
        f"- {'met' if ratio <= HISTORY_RATIO else 'NOT met'}: {ratio:.2f} times the run with "
        f"--no-history (goal: at most {HISTORY_RATIO:g})",
        f"- {'met' if growth <= MEMORY_SLACK else 'NOT met'}: peak memory {growth:.2f} times "
        f"that against a history ten times smaller (goal: at most {MEMORY_SLACK:g})",
        f"- {'met' if row['repeats'] == NEW_SIZE // 100 else 'NOT met'}: {row['repeats']:,} "
        f"repeats found (the file's first {NEW_SIZE // 100:,} transactions are the history's "
        "last)"])


def main():
    global DATA
    program, work = sys.argv[1], os.path.abspath(sys.argv[2])
    results = sys.argv[3] if len(sys.argv) > 3 else None
    os.makedirs(work, exist_ok=True)
    # Absolute: a relative XDG_DATA_HOME counts for none, which would mean the user's own.
    DATA = os.path.join(work, "data")
    accounts = os.path.join(work, "olacclst.dat")
    with open(accounts, "wb") as handle:
        handle.write(b"Bench,CHECKING,GBP,12345678,401276,1001\r\n")
    conditions = machine()
    # The history's row first: a child's peak memory counts from the parent's at the fork, and
    # comparing the large statements below makes this process large.
    history = measure_history(program, work, accounts)
    rows = [measure(program, work, accounts, size) for size in SIZES]
    report = (table(rows) + "\n\n" + goals(rows) + "\n\n" + history_table(history) + "\n\n" +
              history_goals(history))
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
                      "usage. These runs use --no-history, so that they measure what the "
                      "earlier tables measured. The second table converts a file of "
                      f"{NEW_SIZE:,} transactions against a history that already holds "
                      f"{HISTORY_STATEMENTS * HISTORY_SIZE:,} of the same account (the file's "
                      "period overlaps the history's last month, and 1% of its transactions "
                      "repeat), against one of a tenth of that size, and with --no-history, in "
                      "turn; each run against a fresh copy of its history, all in private data "
                      "folders.\n\n")
            out.write(report + "\n")


if __name__ == "__main__":
    main()
