#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The documents are held to the program: every command that --help lists, and every option and
every value of an enumerated option that a command's --help shows, appear in the manual page and
in the bash completion; the exit-status table of the manual page gives the status the program
exits with for each condition tried; the manual page renders without a warning and man shows
its sections.
Usage: documents_test.py QIF2LDX MANUAL_PAGE COMPLETION"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, report, run_main  # noqa: E402

SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "JSON RECEIPT", "FILES",
            "EXIT STATUS", "EXAMPLES"]


def help_text(program, *command):
    return subprocess.run([program, *command, "--help"], capture_output=True, text=True,
                          check=True).stdout


def commands(program):
    """The subcommands --help lists."""
    text = help_text(program)
    listed = text.split("Subcommands:", 1)[1] if "Subcommands:" in text else ""
    return re.findall(r"^  ([a-z]+) ", listed, re.MULTILINE)


def options(text):
    """Every long option of a --help text, and the values of its enumerated ones."""
    found = set(re.findall(r"(?<![\w-])(--[a-z][a-z-]+)", text))
    values = set()
    for listed in re.findall(r":\{([^}]*)\}", text):
        values.update(v.strip() for v in listed.split(","))
    return found - {"--help"}, values


DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def exit_rows(source):
    """The manual page's exit-status table: status to the text of its row, as plain words."""
    section = source.split("\n.SH EXIT STATUS\n", 1)[1].split("\n.SH ", 1)[0]
    rows = {}
    for status, text in re.findall(r"^\.TP\n\.B (\d+)\n(.*?)(?=^\.TP|^\.PP|\Z)", section,
                                   re.MULTILINE | re.DOTALL):
        words = re.sub(r"^\.[A-Z]+ ?", "", text, flags=re.MULTILINE).replace("\\-", "-")
        rows[int(status)] = re.sub(r"\s+", " ", words)
    return rows


def check_exit_statuses(program, rows):
    """Runs the program on one case of each condition and checks the table names the condition
    under the status the program exits with."""
    with tempfile.TemporaryDirectory() as tmp:
        def path(name, content=None):
            full = os.path.join(tmp, name)
            if content is not None:
                with open(full, "w", encoding="ascii") as handle:
                    handle.write(content)
            return full
        good = path("good.qif", "!Type:Bank\nD13/05/2026\nT-1\n^\n")
        no_day = path("noday.qif", "D01052026\nT-1\n^\n")
        not_qif = path("bank.csv", "Date,Amount\n2026-05-13,-1.00\n")
        existing = path("old.LDX", "keep")
        accounts = path("accounts.dat", "X,CHECKING,GBP,1,2,3\n")
        portable = path("portable.LDX")
        huge = path("huge.qif", "")
        os.truncate(huge, (1 << 30) + 1)
        convert = ["convert", good, "-a", "X", "--account-list", accounts]
        cases = [
            ("the statement saved", convert + ["-o", portable, "--profile", "portable"]),
            ("all checks passed", convert + ["-o", existing, "--dry-run"]),
            ("accounts alike", ["accounts", "--account-list", path("none.dat")]),
            ("accounts alike", ["convert", good, "-a", "X", "-o", path("x.LDX"),
                                "--account-list", path("none.dat")]),
            ("check found nothing", ["check", portable]),
            ("a date reads in no order", ["convert", no_day, "-a", "X", "-o", path("y.LDX")]),
            ("the text is no QIF", ["convert", not_qif, "-a", "X", "-o", path("c.LDX")]),
            ("an unknown --qif-account", convert + ["-o", path("q.LDX"), "--qif-account", "Y"]),
            ("an unknown --qif-account", ["show", good, "--qif-account", "Y"]),
            ("hazards found", ["check", os.path.join(DATA, "bank.LDX")]),
            ("an unknown command or option", convert + ["--dryrun"]),
            ("an unknown command or option", ["frobnicate"]),
            ("a usage error", ["convert", good]),
            ("a usage error", ["accounts", "--long", "--json"]),
            ("an input that is missing", ["convert", path("missing.qif"), "-a", "X"]),
            ("an input that is missing", ["show", path("missing.qif")]),
            ("a folder", ["convert", tmp, "-a", "X", "-o", path("z.LDX")]),
            ("a folder", [tmp]),
            ("over 1 GiB", ["convert", huge, "-a", "X", "-o", path("h.LDX")]),
            ("over 1 GiB", ["show", huge]),
            ("a statement that exists without", convert + ["-o", existing]),
            ("no OFX statement", ["check", good]),
            # The harness gives the process a history of its own; the second run repeats the first.
            ("the statement saved", convert + ["-o", path("first.LDX")]),
            ("every transaction repeats under",
             convert + ["-o", path("again.LDX"), "--repeats", "skip"]),
            ("history printed", ["history"]),
            ("history forget forgot", ["history", "forget", path("first.LDX")]),
            ("holds no statement to forget as named", ["history", "forget", path("first.LDX")]),
            ("a usage error", ["history", "forget"]),
        ]
        env = dict(os.environ, LC_ALL="C", XDG_CONFIG_HOME=tmp)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        for condition, args in cases:
            status = subprocess.run([program, *args], capture_output=True, env=env,
                                    stdin=subprocess.DEVNULL, check=False).returncode
            check(f"exit status {status} for {condition!r} ({' '.join(args[:1])}) is the table's",
                  condition in rows.get(status, ""), str(sorted(rows)))


def main():
    program, manual_path, completion_path = sys.argv[1:4]
    with open(manual_path, encoding="utf-8") as handle:
        source = handle.read()
    manual = re.sub(r"\\f[BIRP]", "", source).replace("\\-", "-")
    with open(completion_path, encoding="utf-8") as handle:
        completion = handle.read()

    names = commands(program)
    check("--help lists the commands", len(names) >= 4, str(names))
    for command in [None, *names]:
        where = f"qif2ldx {command}" if command else "qif2ldx"
        if command:
            check(f"the manual page names {where}", re.search(rf"\b{command}\b", manual))
            check(f"the completion names {where}", re.search(rf"\b{command}\b", completion))
        found, values = options(help_text(program, *([command] if command else [])))
        for option in sorted(found):
            check(f"{where} {option} is in the manual page", option in manual)
            check(f"{where} {option} is in the completion", option in completion)
        for value in sorted(values):
            check(f"{where}: the value {value} is in the manual page",
                  re.search(rf"\b{re.escape(value)}\b", manual))
            check(f"{where}: the value {value} is in the completion",
                  re.search(rf"\b{re.escape(value)}\b", completion))

    check_exit_statuses(program, exit_rows(source))
    for section in SECTIONS:
        check(f"the manual page has its {section} section", f"\n.SH {section}\n" in source
              or f'\n.SH "{section}"\n' in source)
    # Synopsis lines ("[ --option ]") belong to the SYNOPSIS alone: a piece of it anywhere else
    # is what a bad merge leaves.
    sections = re.split(r"\n\.SH ", source)
    for section in sections[1:]:
        name = section.split("\n", 1)[0].strip('"')
        check(f"the {name} section holds no piece of the synopsis",
              name == "SYNOPSIS" or not re.search(r"^\.RB \[", section, re.MULTILINE))
    if shutil.which("man"):
        shown = subprocess.run(["man", "-l", manual_path], capture_output=True, text=True,
                               env=dict(os.environ, MANWIDTH="100", MANPAGER="cat")).stdout
        for section in SECTIONS:
            check(f"man -l shows the {section} section",
                  re.search(rf"^{section}$", shown, re.MULTILINE))
    if shutil.which("groff"):
        rendered = subprocess.run(["groff", "-man", "-ww", "-z", manual_path],
                                  capture_output=True, text=True)
        check("groff renders the manual page without a warning", rendered.stderr == "",
              rendered.stderr.strip())
    return report()


if __name__ == "__main__":
    run_main(main)
