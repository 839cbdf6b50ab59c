#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Every QIF file of the corpus goes through `qif2ldx convert` without a crash or a hang; where
the conversion succeeds, ofxdump and ofxparse read the statement and see as many transactions
as the program says it wrote. Usage: corpus.py QIF2LDX ACCOUNT_LIST CORPUS_FOLDER..."""

import os
import pathlib
import re
import subprocess
import sys
import tempfile

from ofxparse import OfxParser

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import failures, report  # noqa: E402


def main():
    program, account_list, *folders = sys.argv[1:]
    files = sorted(p for folder in folders for p in pathlib.Path(folder).glob("*.qif"))
    converted = 0
    with tempfile.TemporaryDirectory() as out:
        for qif in files:
            before = qif.read_bytes()
            ldx = pathlib.Path(out) / (qif.stem + ".LDX")
            for account in ("Everyday Current", "Travel Visa"):
                try:
                    run = subprocess.run(
                        [program, "convert", str(qif), "--account", account, "--account-list",
                         account_list, "--output", str(ldx), "--overwrite"],
                        capture_output=True, timeout=60, check=False)
                except subprocess.TimeoutExpired:
                    failures.append(f"{qif.name}: hung")
                    continue
                if run.returncode not in (0, 1):
                    failures.append(f"{qif.name}: exit status {run.returncode} "
                                    f"{run.stderr.decode(errors='replace')}")
                    continue
                if run.returncode == 1:
                    continue
                converted += 1
                written = int(re.match(rb"Wrote (\d+) transaction", run.stdout).group(1))
                # ofxparse cannot read the empty statement period of a statement without
                # transactions; ofxdump can.
                if written > 0:
                    with open(ldx, "rb") as handle:
                        statement = OfxParser.parse(handle).account.statement
                    if len(statement.transactions) != written:
                        failures.append(f"{qif.name}: ofxparse saw "
                                        f"{len(statement.transactions)} of {written}")
                dump = subprocess.run(["ofxdump", str(ldx)], capture_output=True, check=False)
                seen = dump.stdout.count(b"ofx_proc_transaction():")
                if seen != written:
                    failures.append(f"{qif.name}: ofxdump saw {seen} of {written}")
            if qif.read_bytes() != before:
                failures.append(f"{qif.name}: the QIF file changed")
    for failure in failures:
        print(failure)
    print(f"{len(files)} files, {converted} conversions checked by both readers")
    print(f"{len(files) - len({f.split(':')[0] for f in failures})} passed, "
          f"{len({f.split(':')[0] for f in failures})} failed")
    return 1 if failures or not files else 0


if __name__ == "__main__":
    sys.exit(main())
