#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Statements written by the program must read back right in real OFX readers: libofx's
ofxdump and Python's ofxparse. Usage: real_readers.py WRITE_SAMPLES_PROGRAM"""

import datetime
import os
import re
import subprocess
import sys
import tempfile

from ofxparse import OfxParser

# What write_samples writes, as each reader must see it.
TRANSACTIONS = [
    # fitid, date, amount, name, memo, check number
    ("0", "2026-11-02", "-45.20", "Marks & Spencer <Food>", "", "1024"),
    ("1", "2026-11-03", "1200.00", "Café € Refund", "résumé", ""),
    ("2", "2026-11-04", "-3.99", "memo only > here", "memo only > here", ""),
    ("3", "2026-11-05", "-10.00", "W" * 32, "forty", "123456789012"),
]
ACCOUNTS = {
    "bank.LDX": {"number": "12345678", "bank": "062000", "kind": "CHECKING", "currency": "USD"},
    "card.LDX": {"number": "4000123412341234", "bank": "", "kind": "CREDITCARD",
                 "currency": "GBP"},
}

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check_equal, report  # noqa: E402


def read_with_ofxparse(path, account):
    with open(path, "rb") as handle:
        ofx = OfxParser.parse(handle)
    acct = ofx.account
    check_equal(f"ofxparse {path} account", acct.account_id, account["number"])
    if account["bank"]:
        check_equal(f"ofxparse {path} bank", acct.routing_number, account["bank"])
    check_equal(f"ofxparse {path} currency", acct.statement.currency.upper(), account["currency"])
    seen = acct.statement.transactions
    check_equal(f"ofxparse {path} count", len(seen), len(TRANSACTIONS))
    for txn, (fitid, date, amount, name, memo, checknum) in zip(seen, TRANSACTIONS):
        where = f"ofxparse {path} FITID {fitid}"
        check_equal(f"{where} id", txn.id, fitid)
        check_equal(f"{where} date", txn.date.date().isoformat(), date)
        check_equal(f"{where} amount", str(txn.amount), amount)
        check_equal(f"{where} name", txn.payee, name)
        check_equal(f"{where} memo", txn.memo, memo)
        check_equal(f"{where} check number", txn.checknum, checknum)


def read_with_ofxdump(path, account):
    out = subprocess.run(["ofxdump", path], capture_output=True, check=False).stdout
    text = out.decode("utf-8")

    def field(block, label):
        match = re.search(r"^\s*" + re.escape(label) + r": ?(.*)$", block, re.MULTILINE)
        return match.group(1).rstrip(" ") if match else None

    account_block = text.split("ofx_proc_account():", 1)[-1].split("ofx_proc_statement", 1)[0]
    check_equal(f"ofxdump {path} account", field(account_block, "Account #"), account["number"])
    check_equal(f"ofxdump {path} kind", field(account_block, "Account type"), account["kind"])
    check_equal(f"ofxdump {path} currency", field(account_block, "Default Currency"),
          account["currency"])
    if account["bank"]:
        check_equal(f"ofxdump {path} bank", field(account_block, "Bank ID"), account["bank"])
    blocks = text.split("ofx_proc_transaction():")[1:]
    check_equal(f"ofxdump {path} count", len(blocks), len(TRANSACTIONS))
    for block, (fitid, date, amount, name, memo, checknum) in zip(blocks, TRANSACTIONS):
        where = f"ofxdump {path} FITID {fitid}"
        check_equal(f"{where} id", field(block, "Financial institution's ID for this transaction"),
              fitid)
        month, day, year = re.match(r"\w+ (\w+) +(\d+) \S+ (\d+)",
                                    field(block, "Date posted")).groups()
        posted = datetime.datetime.strptime(f"{month} {day} {year}", "%b %d %Y")
        check_equal(f"{where} date", posted.date().isoformat(), date)
        check_equal(f"{where} amount", field(block, "Total money amount"), amount)
        check_equal(f"{where} name", field(block, "Name of payee or transaction description"), name)
        check_equal(f"{where} memo", field(block, "Extra transaction information (memo)"), memo)
        check_equal(f"{where} check number", field(block, "Check number") or "", checknum)


def main():
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.argv[1], folder], check=True)
        for name, account in ACCOUNTS.items():
            read_with_ofxparse(f"{folder}/{name}", account)
            read_with_ofxdump(f"{folder}/{name}", account)
    return report()


if __name__ == "__main__":
    sys.exit(main())
