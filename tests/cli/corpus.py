#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Real QIF files written by other programs (tests/data/corpus; SOURCES.md says where each
comes from) convert through `qif2ldx convert` with the dates their authors meant: each file's
transaction count, first and last date and first amount are pinned below. Every statement is
read back by ofxdump and ofxparse, which must see as many transactions as were written, and no
QIF file is changed. Other .qif files in the folders given must convert or fail cleanly.
Usage: corpus.py QIF2LDX ACCOUNT_LIST FOLDER..."""

import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile

from ofxparse import OfxParser

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, check_equal, report  # noqa: E402

# file: (transactions, first date, last date in file order, amount of the first, as written)
TRUTH = {
    "csv2ofx-default_w_splits": (8, "20150324", "20150309", "45000.00"),
    "csv2ofx-ubs-ch-fr": (3, "20190331", "20190427", "-10.00"),
    # A full export: the opening balance of each account is no transaction of a statement.
    "finance-qif-test": (6, "20060110", "20060317", "25,000.00"),
    "jgnash-bank1": (6, "20110222", "20110315", "     30.00"),
    "moneyguru-accountless_with_splits": (2, "20080828", "20080828", "-1,000.00"),
    "moneyguru-autoswitch": (37, "20081201", "20081222", "-28.98"),
    "moneyguru-chr13_line_sep": (1, "20070227", "20070227", "17,036.59"),
    "moneyguru-credit_card": (1, "20070122", "20070122", "42.32"),
    "moneyguru-ddmmyy": (1, "20070122", "20070122", "42.32"),
    "moneyguru-ddmmyyyy_with_dots": (1, "20070122", "20070122", "42.32"),
    "moneyguru-extra_dline": (1, "20100708", "20100708", "42.42"),
    # Nothing in these two tells the order; day first is the default.
    "moneyguru-other_sections": (3, "20070603", "20070503", "-695.00"),
    "moneyguru-same_date_same_amount": (3, "20120401", "20120401", "1.00"),
    "moneyguru-yyyymmdd_with_sep": (1, "20070122", "20070122", "42.32"),
    "nerdbank-qif-QifReaderTestsInput": (1, "20080101", "20080101", "1500"),
    "nerdbank-qif-sample": (29, "20080101", "20081210", "1500"),
    "oca-bank-statement-import-test_qif": (5, "20130812", "20130303", "-1,000.00"),
    "oca-bank-statement-import-test_qif_dmy": (5, "20130812", "20130303", "-1,000.00"),
    "oca-bank-statement-import-test_qif_ymd": (5, "20130812", "20130303", "-1,000.00"),
    # Investment records (share purchases, dividends) are no bank transactions.
    "qif2json-investments": (0, None, None, None),
    "qif2json-memorizedList": (0, None, None, None),
    # Every date reads as a real day day first, so that is how they are read, and the file is
    # reported as reading two ways (--date-order mdy gives the month-first reading the sample's
    # author meant).
    "qif2json-normalTransactions": (3, "19940106", "19940306", "-1,000.00"),
    "qif2json-utf8": (1, "20100303", "20100303", "-379.00"),
    "qif2json-windows-1252": (1, "20100303", "20100303", "-379.00"),
    "qifparse-file": (3, "20131023", "20131011", "-6.50"),
    "qifutil-sample": (58, "20230105", "20230322", "5000.00"),
    # The last record's split carries its own date line, which dates the split alone.
    "quiffen-test": (5, "20200214", "20200210", "67.50"),
    "quiffen-test_FMQifTest2023-10-18": (2, "20231018", "20231018", "0.00"),
    "quiffen-test_category_override": (4, "20171222", "20180102", "1000.00"),
    "quiffen-test_unknown_account_type": (0, None, None, None),
    "ruby-qif-3_records_dmyy": (3, "20100101", "20101229", "-10.00"),
    "ruby-qif-3_records_mmddyy": (3, "20100101", "20101229", "-10.00"),
    "rust-qif-parser-amex": (7, "20231125", "20231123", "150.94"),
    "rust-qif-parser-cic": (12, "20200519", "20200713", "500.00"),
    "rust-qif-parser-monzo": (13, "20180827", "20180830", "1000.00"),
    "rust-qif-parser-nasty": (6, "20180827", "19821101", "10,000.00"),
    "rust-qif-parser-wikipedia_investments": (0, None, None, None),
}

# Files whose every date also reads as another real day in other orders (the JSON says
# "ambiguous" and names them); every other file reads one way only.
AMBIGUOUS = {
    "moneyguru-credit_card": ["year first"],
    "moneyguru-ddmmyy": ["year first"],
    "moneyguru-extra_dline": ["month first"],
    "moneyguru-other_sections": ["month first"],
    "moneyguru-same_date_same_amount": ["month first", "year first"],
    "qif2json-normalTransactions": ["month first"],
    "qif2json-utf8": ["year first"],
    "qif2json-windows-1252": ["year first"],
    "rust-qif-parser-cic": ["year first"],
}

# UTF-8 without a byte-order mark: read as UTF-8, so no name comes out as "CafÃ©".
UNMARKED_UTF8 = {"csv2ofx-default_w_splits", "csv2ofx-ubs-ch-fr", "rust-qif-parser-nasty"}


def check_receipt(qif, receipt):
    """The JSON receipt's dates and encoding."""
    dates = receipt["dates"]
    others = AMBIGUOUS.get(qif.stem, [])
    check_equal(f"{qif.name}: ambiguous", dates["ambiguous"], bool(others))
    check_equal(f"{qif.name}: other orders", dates["other_orders"], others)
    expected = "UTF-8" if qif.stem in UNMARKED_UTF8 else None
    if expected:
        check_equal(f"{qif.name}: encoding", receipt["encoding"], expected)


def read_back(name, ldx, written):
    """ofxdump and ofxparse must both see every transaction written."""
    # ofxparse cannot read the empty statement period of a statement without transactions.
    if written > 0:
        with open(ldx, "rb") as handle:
            statement = OfxParser.parse(handle).account.statement
        check_equal(f"{name}: ofxparse count", len(statement.transactions), written)
    dump = subprocess.run(["ofxdump", str(ldx)], capture_output=True, check=False)
    check_equal(f"{name}: ofxdump count", dump.stdout.count(b"ofx_proc_transaction():"), written)


def convert(program, account_list, qif, ldx):
    """Runs `qif2ldx convert` with the JSON receipt."""
    return subprocess.run(
        [program, "convert", str(qif), "--account", "Everyday Current",
         "--account-list", account_list, "--output", str(ldx), "--overwrite", "--json"],
        capture_output=True, timeout=60, check=False)


def check_blank_line_ends(program, account_list, files, out):
    """A full export with splits whose "^" lines are blank gives the same transactions."""
    qif = next(f for f in files if f.stem == "moneyguru-autoswitch")
    blanked = pathlib.Path(out) / "blanked.qif"
    lines = qif.read_bytes().split(b"\r")
    blanked.write_bytes(b"\r".join(b"" if line == b"^" else line for line in lines))
    ldx = pathlib.Path(out) / "blanked.LDX"
    convert(program, account_list, blanked, ldx)
    pattern = r"<DTPOSTED>(\d*)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>"
    check_equal("autoswitch without ^: transactions",
                re.findall(pattern, ldx.read_bytes().decode("cp1252")),
                re.findall(pattern, (pathlib.Path(out) / (qif.stem + ".LDX")).read_bytes()
                           .decode("cp1252")))


def main():
    program, account_list, *folders = sys.argv[1:]
    files = sorted(p for folder in folders for p in pathlib.Path(folder).glob("*.qif"))
    check("the corpus is there", all(any(f.stem == name for f in files) for name in TRUTH))
    with tempfile.TemporaryDirectory() as out:
        for qif in files:
            before = qif.read_bytes()
            ldx = pathlib.Path(out) / (qif.stem + ".LDX")
            try:
                run = convert(program, account_list, qif, ldx)
            except subprocess.TimeoutExpired:
                check(f"{qif.name}: finishes", False, "hung")
                continue
            check(f"{qif.name}: QIF unchanged", qif.read_bytes() == before)
            truth = TRUTH.get(qif.stem)
            if truth is None:
                check(f"{qif.name}: exit status", run.returncode in (0, 1), str(run.returncode))
                if run.returncode != 0:
                    continue
            elif run.returncode != 0:
                check(f"{qif.name}: converts", False, run.stderr.decode(errors="replace"))
                continue
            if truth is not None:
                check_receipt(qif, json.loads(run.stdout))
            body = ldx.read_bytes().decode("cp1252")
            check(f"{qif.name}: no UTF-8 read as Windows-1252", "\u00c3" not in body)
            found = re.findall(r"<DTPOSTED>(\d*)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>", body)
            if truth is not None:
                count, first, last, amount = truth
                check_equal(f"{qif.name}: transactions", len(found), count)
                if found:
                    check_equal(f"{qif.name}: first date", found[0][0], first)
                    check_equal(f"{qif.name}: last date", found[-1][0], last)
                    check_equal(f"{qif.name}: first amount", found[0][1], amount)
            read_back(qif.name, ldx, len(found))
        check_blank_line_ends(program, account_list, files, out)
    return report(f"{len(files)} files")


if __name__ == "__main__":
    sys.exit(main())
