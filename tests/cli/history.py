#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The history from outside, as the real program keeps it: overlapping downloads cut from a
real file, two runs at once, a busy, a damaged, another program's and an unwritable history, and
none at all (each converts and warns), the runs that never make one, a failed run, and history forget.
Usage: history.py QIF2LDX ACCOUNT_LIST CORPUS_FOLDER"""

import json
import os
import pathlib
import sqlite3
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, check_equal, report, run_main  # noqa: E402

ACCOUNT = "Everyday Current"


class History:
    def __init__(self, program, accounts, folder):
        self.program, self.accounts, self.folder = program, accounts, pathlib.Path(folder)
        self.data = self.folder / "data"
        self.file = self.data / "qif2ldx" / "history.sqlite3"

    def run(self, *args, data=None):
        env = dict(os.environ, XDG_DATA_HOME=str(data or self.data))
        return subprocess.run([self.program, *args], capture_output=True, env=env, timeout=120,
                              check=False)

    def convert(self, qif, *args, data=None):
        return self.run("convert", str(qif), "-a", ACCOUNT, "--account-list", self.accounts,
                        *args, data=data)

    def statements(self):
        listed = self.run("history", "--json")
        return [entry["statement"] for entry in json.loads(listed.stdout)["statements"]]


def cut(corpus, folder):
    """Two downloads of one account that overlap: the first nine and the last eight records
    of a real bank file of thirteen."""
    text = (pathlib.Path(corpus) / "rust-qif-parser-monzo.qif").read_bytes()
    header, body = text.split(b"\n", 1)
    records = [r + b"^\n" for r in body.split(b"^\n") if r.strip()]
    check_equal("the corpus file's records", len(records), 13)
    first, second = folder / "first.qif", folder / "second.qif"
    first.write_bytes(header + b"\n" + b"".join(records[:9]))
    second.write_bytes(header + b"\n" + b"".join(records[5:]))
    return first, second


def main():
    program, accounts, corpus = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as temp:
        folder = pathlib.Path(temp)
        h = History(program, accounts, folder)
        first, second = cut(corpus, folder)

        # Runs that only read make no history.
        for args in (["convert", str(first), "-a", ACCOUNT, "--account-list", accounts,
                      "--dry-run"],
                     ["convert", str(first), "-a", ACCOUNT, "--account-list", accounts,
                      "--no-history", "-o", str(folder / "none.LDX")],
                     ["show", str(first), "-a", ACCOUNT], ["history"]):
            done = h.run(*args)
            check(f"{args[0]} {args[-1]}: exit 0", done.returncode == 0, done.stderr.decode())
        check("read-only runs make no history", not h.data.exists())

        ran = h.convert(first)
        check_equal("the first download: exit", ran.returncode, 0)
        check("the history is private", (h.file.stat().st_mode & 0o777) == 0o600 and
              (h.file.parent.stat().st_mode & 0o777) == 0o700)
        receipt = json.loads(h.convert(second, "--json").stdout)
        check_equal("the overlap repeats", receipt["repeats"]["count"], 4)
        check_equal("in the first statement", [s["statement"] for s in
                                                receipt["repeats"]["statements"]],
                    [str(folder / "first.LDX")])
        check_equal("written whole under warn", receipt["written"], 8)

        # A failed run is not recorded.
        bad = folder / "bad.qif"
        bad.write_bytes(b"!Type:Bank\nD31/02/2026\nT-1\n^\n")
        check_equal("a failed run: exit", h.convert(bad).returncode, 1)
        check_equal("a failed run records nothing", len(h.statements()), 2)

        # Two runs at once both record.
        pair = []
        for name, day in (("left", "21"), ("right", "22")):
            path = folder / f"{name}.qif"
            path.write_bytes(f"!Type:Bank\nD{day}/03/2026\nT-{day}\nP{name}\n^\n".encode())
            env = dict(os.environ, XDG_DATA_HOME=str(h.data))
            pair.append(subprocess.Popen([program, "convert", str(path), "-a", ACCOUNT,
                                          "--account-list", accounts], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE))
        for child in pair:
            check_equal("a run beside another: exit", child.wait(timeout=120), 0)
            check_equal("and no warning", child.stderr.read(), b"")
        check_equal("both are recorded", len(h.statements()), 4)

        # Busy: another program holds the history; the run converts and says so.
        holder = sqlite3.connect(h.file, isolation_level=None)
        holder.execute("BEGIN EXCLUSIVE")
        busy = h.convert(folder / "left.qif", "-o", str(folder / "busy.LDX"))
        holder.execute("ROLLBACK")
        holder.close()
        check_equal("busy: exit", busy.returncode, 0)
        check("busy: converted", (folder / "busy.LDX").exists())
        check("busy: told", b"is in use by another program" in busy.stderr, busy.stderr.decode())
        check_equal("busy: nothing recorded", len(h.statements()), 4)

        # history forget
        forget = h.run("history", "forget", str(folder / "first.LDX"))
        check_equal("forget: exit", forget.returncode, 0)
        check(f"forget: {first.name} is gone", str(folder / "first.LDX") not in h.statements())
        check_equal("forget again: exit", h.run("history", "forget",
                                                str(folder / "first.LDX")).returncode, 1)
        # "-" names the statements written to standard output; --all under forget's own
        # --account every statement of an account.
        check_equal("to standard output: exit", h.convert(first, "-o", "-").returncode, 0)
        check("standard output is recorded", "standard output" in h.statements())
        forget = h.run("history", "forget", "-")
        check("forget -: exit 0", forget.returncode == 0, forget.stderr.decode())
        check("forget -: gone", "standard output" not in h.statements())
        forget = h.run("history", "forget", "--account", ACCOUNT, "--all")
        check("forget --all: exit 0", forget.returncode == 0, forget.stderr.decode())
        check_equal("forget --all: none left", h.statements(), [])

        # Damaged: set aside, begun afresh, and the run records in the new one.
        h.file.write_bytes(b"this is no database " * 500)
        damaged = h.convert(first, "-o", str(folder / "damaged.LDX"), "--json")
        check_equal("damaged: exit", damaged.returncode, 0)
        told = json.loads(damaged.stdout)
        check("damaged: told", any(w.startswith("repeats were not checked: ") and
                                   "was set aside as" in w for w in told["warnings"]),
              str(told["warnings"]))
        check_equal("damaged: not checked", told["repeats"]["checked"], False)
        # (with the -wal and -shm files a reader may have left beside it)
        aside = [p.name for p in h.file.parent.iterdir()
                 if ".damaged-" in p.name and not p.name.endswith(("-wal", "-shm"))]
        check_equal("damaged: kept aside", len(aside), 1)
        check_equal("damaged: a fresh history", h.statements(), [str(folder / "damaged.LDX")])

        # Another program's database where the history would be: never written; the reading
        # runs say it is no history, a recording one sets it aside and begins afresh.
        for path in h.file.parent.iterdir():
            path.unlink()
        foreign = sqlite3.connect(h.file)
        foreign.execute("CREATE TABLE statements (name TEXT)")
        foreign.commit()
        foreign.close()
        bytes_before = h.file.read_bytes()
        for args in (["show", str(first), "-a", ACCOUNT],
                     ["convert", str(first), "-a", ACCOUNT, "--account-list", accounts,
                      "--dry-run"]):
            done = h.run(*args)
            check(f"foreign, {args[-1]}: exit 0 and told", done.returncode == 0 and
                  b"repeats were not checked: " in done.stderr and
                  b"is not a history of qif2ldx" in done.stderr, done.stderr.decode())
        listed = h.run("history")
        check("foreign, history: exit 1 and told", listed.returncode == 1 and
              b"is not a history of qif2ldx" in listed.stderr, listed.stderr.decode())
        check_equal("foreign: left alone by reading", h.file.read_bytes(), bytes_before)
        taken = h.convert(first, "-o", str(folder / "foreign.LDX"), "--json")
        told = json.loads(taken.stdout)
        check("foreign: converted and told", taken.returncode == 0 and any(
            "is not a history of qif2ldx" in w and "was set aside as" in w
            for w in told["warnings"]), str(told["warnings"]))
        check_equal("foreign: not checked", told["repeats"]["checked"], False)
        aside = [p for p in h.file.parent.iterdir() if ".foreign-" in p.name]
        check("foreign: set aside unchanged", len(aside) == 1 and
              aside[0].read_bytes() == bytes_before, str(aside))
        check_equal("foreign: a fresh history", h.statements(), [str(folder / "foreign.LDX")])

        # No folder for a history (neither XDG_DATA_HOME nor HOME names one): converts, says
        # nothing was checked or recorded; history fails.
        bare = {k: v for k, v in os.environ.items() if k not in ("HOME", "XDG_DATA_HOME")}
        for name, home in (("unset", None), ("relative", "home")):
            env = dict(bare, **({"HOME": home} if home else {}))
            ran = subprocess.run([program, "convert", str(first), "-a", ACCOUNT, "--account-list",
                                  accounts, "-o", str(folder / f"{name}.LDX"), "--json"],
                                 capture_output=True, env=env, cwd=folder, timeout=120,
                                 check=False)
            told = json.loads(ran.stdout)
            check(f"no folder, HOME {name}: converted and told", ran.returncode == 0 and any(
                w == "repeats were not checked and nothing is recorded: neither XDG_DATA_HOME "
                     "nor HOME names a folder for the history" for w in told["warnings"]),
                  ran.stderr.decode())
            check_equal(f"no folder, HOME {name}: checked, recorded",
                        (told["repeats"]["checked"], told["repeats"]["recorded"]), (False, False))
            check(f"no folder, HOME {name}: nothing made", not (folder / "home").exists())
        shown = subprocess.run([program, "show", str(first), "-a", ACCOUNT], capture_output=True,
                               env=bare, timeout=120, check=False)
        check("no folder, show: told", shown.returncode == 0 and
              b"repeats were not checked: neither XDG_DATA_HOME" in shown.stderr,
              shown.stderr.decode())
        listed = subprocess.run([program, "history"], capture_output=True, env=bare,
                                timeout=120, check=False)
        check("no folder, history: exit 1", listed.returncode == 1 and
              b"neither XDG_DATA_HOME nor HOME" in listed.stderr, listed.stderr.decode())

        # A history that cannot be written, in a folder that cannot be either: converts,
        # checks, and records nothing.
        if os.geteuid() != 0:
            for path in h.file.parent.iterdir():
                path.chmod(0o400)
            h.file.parent.chmod(0o500)
            locked = h.convert(second, "-o", str(folder / "locked.LDX"), "--json")
            h.file.parent.chmod(0o700)
            check_equal("unwritable: exit", locked.returncode, 0)
            told = json.loads(locked.stdout)
            check("unwritable: told", any("was not recorded" in w for w in told["warnings"]),
                  str(told["warnings"]))
            check_equal("unwritable: still checked", told["repeats"]["count"], 4)

        # A history file that cannot be written, in a folder that can: read and checked, not
        # recorded, and nothing left beside it that would keep later runs from recording. Root
        # writes whatever the modes say, so root runs it as nobody.
        own = folder / "own"
        own.mkdir()
        for qif in (first, second):
            (own / qif.name).write_bytes(qif.read_bytes())
        own_data = own / "data"
        check_equal("own history: exit", h.convert(own / first.name, data=own_data).returncode, 0)
        as_user = []
        if os.geteuid() == 0:
            as_user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
            folder.chmod(0o711)
            for path in [own, *own.rglob("*")]:
                os.chown(path, 65534, 65534)
        own_file = own_data / "qif2ldx" / "history.sqlite3"
        own_file.chmod(0o400)
        env = dict(os.environ, XDG_DATA_HOME=str(own_data), HOME=str(own),
                   XDG_CONFIG_HOME=str(own / "config"))
        convert = [*as_user, program, "convert", str(own / second.name), "-a", ACCOUNT,
                   "--account-list", accounts, "--json"]
        ran = subprocess.run(convert, capture_output=True, env=env, timeout=120, check=False)
        check_equal("read-only history: exit", ran.returncode, 0)
        told = json.loads(ran.stdout)
        check("read-only history: told why", any("was not recorded" in w and "cannot be written"
                                                  in w for w in told["warnings"]),
              str(told["warnings"]))
        check_equal("read-only history: still checked", told["repeats"]["count"], 4)
        check_equal("read-only history: nothing left beside it",
                    sorted(p.name for p in own_file.parent.iterdir()), [own_file.name])
        own_file.chmod(0o600)
        ran = subprocess.run([*convert, "--overwrite"], capture_output=True, env=env,
                             timeout=120, check=False)
        check("writable again: recorded", ran.returncode == 0 and
              not any("not recorded" in w for w in json.loads(ran.stdout)["warnings"]),
              ran.stderr.decode())

        # The QIF account recorded is the one taken from a full export, as the file names it.
        export, other = folder / "export.qif", folder / "export-data"
        export.write_bytes(b"!Account\nNChecking\nTBank\n^\n!Type:Bank\nD01/03/2026\nT-1\n^\n"
                           b"!Account\nNEveryday Card\nTCCard\n^\n!Type:CCard\nD02/03/2026\nT-2\n^\n")
        taken = h.convert(export, "--qif-account", " everyday card ", data=other)
        check_equal("one account of an export: exit", taken.returncode, 0)
        listed = json.loads(h.run("history", "--json", data=other).stdout)["statements"]
        check_equal("its QIF account is recorded", [s["qif_account"] for s in listed],
                    ["Everyday Card"])
    return report()


if __name__ == "__main__":
    run_main(main)
