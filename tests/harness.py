# SPDX-License-Identifier: MIT
"""What the whole-process checks share: failures are collected as they are found, and reported
at the end with the exit status that CTest reads."""

import atexit
import os
import shutil
import sys
import tempfile

failures = []

# Every check begins with a history of its own, so that what one converted is no repeat to the
# next, and none ever reads or records in the user's.
_history = tempfile.mkdtemp(prefix="qif2ldx-history-")
os.environ["XDG_DATA_HOME"] = _history
atexit.register(shutil.rmtree, _history, True)


def check(what, condition, detail=""):
    """Records a failure named what (with detail) unless condition holds."""
    if not condition:
        failures.append(f"{what} {detail}".strip())


def check_equal(what, actual, expected):
    """Records a failure unless actual equals expected."""
    if actual != expected:
        failures.append(f"{what}: got {actual!r}, expected {expected!r}")


def report(summary=""):
    """Prints every failure and the summary; returns the exit status (1 when anything failed)."""
    for failure in failures:
        print(failure)
    if summary:
        print(summary)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


def run_main(main):
    """Runs main() and exits with its status."""
    sys.exit(main())
