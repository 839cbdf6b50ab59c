#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Portable statements must read right in real OFX readers (libofx's ofxdump and ofxparse):
amounts, count, types, check and reference numbers, dates, and FITIDs unique within the
statement; and `qif2ldx check` must flag the default statement of the same file and pass the
portable one. Usage: portable_readers.py QIF2LDX ACCOUNT_LIST CORPUS_FOLDER"""

import datetime
import decimal
import os
import re
import subprocess
import sys
import tempfile

from ofxparse import OfxParser

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, check_equal, report  # noqa: E402

# name: (account, QIF text, [(amount, type, check number, reference number)])
GENERATED = {
    "awkward": ("Everyday Current",
                "!Type:Bank\r\nD01/11/2026\r\nT-1,234.56\r\nNATM\r\nPCash\r\n^\r\n"
                "D02/11/2026\r\nT$12.00\r\nN000123\r\nPShop\r\n^\r\n"
                "D02/11/2026\r\nT$12.00\r\nN000123\r\nPShop\r\n^\r\n",
                [("-1234.56", "DEBIT", "", "ATM"), ("12.00", "CREDIT", "000123", ""),
                 ("12.00", "CREDIT", "000123", "")]),
    "comma": ("Everyday Current",
              "D03/11/2026\r\nT1.234,56\r\n^\r\nD04/11/2026\r\nT-7,5\r\n^\r\n",
              [("1234.56", "CREDIT", "", ""), ("-7.5", "DEBIT", "", "")]),
    "card": ("Travel Visa",
             "!Type:CCard\r\nD05/11/2026\r\nT-23.40\r\nPBooks\r\n^\r\n"
             "D06/11/2026\r\nT30.00\r\nPRefund\r\n^\r\n",
             [("-23.40", "DEBIT", "", ""), ("30.00", "CREDIT", "", "")]),
    "empty": ("Everyday Current", "", []),
}
# Real files with thousands separators, numbers and a few dozen transactions.
CORPUS = ["moneyguru-accountless_with_splits", "oca-bank-statement-import-test_qif",
          "qifutil-sample", "nerdbank-qif-sample"]


def convert(program, accounts, qif, ldx, account, profile):
    subprocess.run([program, "convert", qif, "-a", account, "--account-list", accounts,
                    "-o", ldx, "--overwrite", "--profile", profile],
                   check=True, capture_output=True)


def ofxdump(path):
    """Each transaction as a dict of ofxdump's labels, and the statement's dates."""
    text = subprocess.run(["ofxdump", path], capture_output=True, check=False).stdout.decode()
    blocks = []
    for block in text.split("ofx_proc_transaction():")[1:]:
        blocks.append(dict(re.findall(r"^\s*([^:\n]+): ?(.*)$", block, re.MULTILINE)))
    return blocks


def dumped_date(block):
    """ofxdump's "Date posted" (Mon Nov  2 00:00:00 2026 UTC style) as yyyy-mm-dd."""
    month, day, year = re.match(r"\w+ (\w+) +(\d+) \S+ (?:\S+ )?(\d{4})",
                                block.get("Date posted", "")).groups()
    return datetime.datetime.strptime(f"{month} {day} {year}", "%b %d %Y").date().isoformat()


def read_ofxparse(path, where):
    try:
        with open(path, "rb") as handle:
            return OfxParser.parse(handle).account.statement
    except Exception as error:  # noqa: BLE001 - any failure of the reader is the finding
        check(f"{where} ofxparse reads it", False, repr(error))
        return None


def check_statement(path, where, expected_amounts):
    statement = read_ofxparse(path, where)
    dumped = ofxdump(path)
    check_equal(f"{where} ofxdump count", len(dumped), len(expected_amounts))
    check_equal(f"{where} ofxdump amounts",
                [decimal.Decimal(d.get("Total money amount", "NaN")) for d in dumped],
                [decimal.Decimal(a) for a in expected_amounts])
    ids = [d.get("Financial institution's ID for this transaction") for d in dumped]
    check_equal(f"{where} ofxdump FITIDs unique", len(set(ids)), len(ids))
    check(f"{where} FITIDs at most 32", all(i and len(i) <= 32 for i in ids), str(ids))
    if statement is None:
        return None, dumped
    check_equal(f"{where} ofxparse count", len(statement.transactions), len(expected_amounts))
    check_equal(f"{where} ofxparse amounts", [t.amount for t in statement.transactions],
                [decimal.Decimal(a) for a in expected_amounts])
    check_equal(f"{where} ofxparse FITIDs", [t.id for t in statement.transactions], ids)
    return statement, dumped


def generated(program, accounts, folder):
    for name, (account, text, expected) in GENERATED.items():
        qif, ldx = f"{folder}/{name}.qif", f"{folder}/{name}.LDX"
        with open(qif, "w", encoding="cp1252", newline="") as handle:
            handle.write(text)
        convert(program, accounts, qif, ldx, account, "portable")
        statement, dumped = check_statement(ldx, name, [e[0] for e in expected])
        check_equal(f"{name} ofxdump types", [d.get("Transaction type", "").split(":")[0]
                                              for d in dumped], [e[1] for e in expected])
        check_equal(f"{name} ofxdump check numbers", [d.get("Check number", "") for d in dumped],
                    [e[2] for e in expected])
        check_equal(f"{name} ofxdump reference numbers",
                    [d.get("Reference number", "") for d in dumped], [e[3] for e in expected])
        posted = [re.search(r"D(\d\d)/(\d\d)/(\d{4})", r).groups()
                  for r in text.split("^")[:len(expected)]]
        check_equal(f"{name} ofxdump dates", [dumped_date(d) for d in dumped],
                    [f"{y}-{m}-{d}" for d, m, y in posted])
        if statement is not None:
            check_equal(f"{name} ofxparse dates",
                        [t.date.date().isoformat() for t in statement.transactions],
                        [f"{y}-{m}-{d}" for d, m, y in posted])
            check_equal(f"{name} ofxparse types", [t.type for t in statement.transactions],
                        [e[1].lower() for e in expected])
            check_equal(f"{name} ofxparse check numbers",
                        [t.checknum for t in statement.transactions], [e[2] for e in expected])
            if not expected:
                today = datetime.date.today()
                check_equal(f"{name} ofxparse start", statement.start_date.date(), today)
                check_equal(f"{name} ofxparse end", statement.end_date.date(), today)
        again = f"{folder}/{name}-again.LDX"
        convert(program, accounts, qif, again, account, "portable")
        check(f"{name} converts to the same bytes again",
              open(again, "rb").read() == open(ldx, "rb").read())


# Payees beyond Windows-1252 (UTF-8 file) and bytes it leaves undefined (Windows-1252 file), as
# the portable statement writes them: (file bytes, [names as both readers must read them]).
BEYOND = {
    "scripts": ("D01/11/2026\r\nT-1.00\r\nP\u0141\u00f3d\u017a\r\n^\r\n"
                "D02/11/2026\r\nT-2.00\r\nP\u041c\u043e\u0441\u043a\u0432\u0430\r\n^\r\n"
                "D03/11/2026\r\nT-3.00\r\nPCaf\u00e9 \u20ac\r\n^\r\n".encode("utf-8"),
                ["L\u00f3dz", "Moskva", "Caf\u00e9 \u20ac"]),
    "undefined": (b"D01/11/2026\r\nT-1.00\r\nPRef\x81nd\r\n^\r\nD02/11/2026\r\nT-2.00\r\n"
                  b"PShop\r\n^\r\nD03/11/2026\r\nT-3.00\r\nPBar\x9d\r\n^\r\n",
                  ["Ref?nd", "Shop", "Bar?"]),
}


def beyond_the_code_page(program, accounts, folder):
    for name, (data, names) in BEYOND.items():
        qif, ldx = f"{folder}/{name}.qif", f"{folder}/{name}.LDX"
        default = f"{folder}/{name}-default.LDX"
        with open(qif, "wb") as handle:
            handle.write(data)
        convert(program, accounts, qif, ldx, "Everyday Current", "portable")
        convert(program, accounts, qif, default, "Everyday Current", "lodestrand")
        statement, dumped = check_statement(ldx, name, [f"-{n}.00" for n in (1, 2, 3)])
        check_equal(f"{name} ofxdump names",
                    [d.get("Name of payee or transaction description") for d in dumped], names)
        if statement is not None:
            check_equal(f"{name} ofxparse names", [t.payee for t in statement.transactions],
                        names)
        checked = subprocess.run([program, "check", default], capture_output=True, check=False)
        check_equal(f"{name} check of the default statement", checked.returncode, 1)
        checked = subprocess.run([program, "check", ldx], capture_output=True, check=False)
        check(f"{name} check of the portable statement", checked.returncode == 0,
              checked.stdout.decode())


def corpus(program, accounts, folder, source):
    for name in CORPUS:
        qif = f"{source}/{name}.qif"
        default, portable = f"{folder}/{name}-default.LDX", f"{folder}/{name}.LDX"
        convert(program, accounts, qif, default, "Everyday Current", "lodestrand")
        convert(program, accounts, qif, portable, "Everyday Current", "portable")
        written = re.findall(rb"<TRNAMT>(.*?)</TRNAMT>", open(default, "rb").read())
        plain = [str(decimal.Decimal(a.decode().replace(",", "").strip())) for a in written]
        check_statement(portable, name, plain)
        checked = subprocess.run([program, "check", default], capture_output=True, check=False)
        check_equal(f"{name} check of the default statement", checked.returncode, 1)
        checked = subprocess.run([program, "check", portable], capture_output=True, check=False)
        check(f"{name} check of the portable statement", checked.returncode == 0,
              checked.stdout.decode())


def main():
    program, accounts, source = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as folder:
        generated(program, accounts, folder)
        beyond_the_code_page(program, accounts, folder)
        corpus(program, accounts, folder, source)
    return report()


if __name__ == "__main__":
    sys.exit(main())
