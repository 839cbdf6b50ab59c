#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Faults met by the real program: a device given as the QIF file, a disk that fills up while
the statement is saved (a file-size limit), and interrupts during a long conversion.
Usage: faults.py QIF2LDX ACCOUNT_LIST GENERATOR"""

import os
import resource
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, report  # noqa: E402


def main():
    program, accounts, generator = sys.argv[1:4]
    base = [program, "convert", "--account", "Everyday Current", "--account-list", accounts]
    with tempfile.TemporaryDirectory() as folder:
        # A device must be refused at once, not read for ever.
        run = subprocess.run(base + ["/dev/zero", "-o", f"{folder}/zero.LDX"],
                             capture_output=True, timeout=20, check=False)
        check("/dev/zero: exit status", run.returncode == 2, str(run.returncode))

        # A statement larger than the file-size limit: a failure, never success.
        small = f"{folder}/small.qif"
        subprocess.run([sys.executable, generator, "20000", small], check=True)
        before = open(small, "rb").read()
        limit = 256 * 1024

        def limited():
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        run = subprocess.run(base + [small, "-o", f"{folder}/full.LDX"], capture_output=True,
                             timeout=120, preexec_fn=limited, check=False)
        check("disk full: exit status", run.returncode == 1, str(run.returncode))
        check("disk full: message", b"could not be written in full" in run.stderr,
              run.stderr.decode(errors="replace"))
        check("disk full: QIF unchanged", open(small, "rb").read() == before)

        # Interrupted runs stop promptly and leave no statement that looks finished.
        large = f"{folder}/large.qif"
        subprocess.run([sys.executable, generator, "400000", large], check=True)
        for signum in (signal.SIGINT, signal.SIGTERM):
            ldx = f"{folder}/large-{signum}.LDX"
            child = subprocess.Popen(base + [large, "-o", ldx], stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
            time.sleep(0.3)
            sent = time.monotonic()
            child.send_signal(signum)
            _, err = child.communicate(timeout=60)
            waited = time.monotonic() - sent
            name = signal.Signals(signum).name
            check(f"{name}: exit status", child.returncode == 130, str(child.returncode))
            check(f"{name}: message", b"interrupted" in err, err.decode(errors="replace"))
            check(f"{name}: prompt", waited < 5, f"{waited:.1f} s")
            with open(ldx, "rb") as statement:
                check(f"{name}: no finished statement",
                      not statement.read(9).startswith(b"OFXHEADER"))
    return report()


if __name__ == "__main__":
    sys.exit(main())
