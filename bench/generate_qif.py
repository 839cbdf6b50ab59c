#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a realistic bank QIF file of N transactions, the same bytes for the same N:
CR LF line ends, day-first dates, U and T amounts, payees, memos, numbers on some,
categories and cleared flags; about 84 bytes a transaction.
With FIRST and PER_DAY, the transactions are those numbered FIRST to FIRST + N - 1 of one
endless account, PER_DAY a day from 1 January 2000: each the same wherever it is written, so
that files cut from that account overlap where their numbers do.
Usage: generate_qif.py N OUTPUT [FIRST PER_DAY]"""

import datetime
import random
import sys

PAYEES = ["CORNER GROCER", "ACME PAYROLL", "Northern Power", "Marks & Spencer",
          "Harbour Lettings", "Riverside Garage", "Streamflix", "City Council",
          "Fibre Broadband", "Chemist Direct", "Pizza Piazza", "Rail Connect"]
CATEGORIES = ["Food", "Salary", "Utilities", "Clothing", "Housing", "Car", "Leisure", "Health"]
MEMOS = ["weekly shop", "monthly", "ref 4471", "card 1234", "online", "standing order"]


def account(first, count, per_day):
    """The dates and the random numbers of transactions first to first + count - 1."""
    start = datetime.date(2000, 1, 1)
    for i in range(first, first + count):
        day = start + datetime.timedelta(days=i // per_day)
        yield f"D{day.day:02d}/{day.month:02d}/{day.year}", random.Random(i)


def numbered(count):
    """The dates of the plain file: 28 days a month, twelve months, 27 years, then again."""
    rng = random.Random(20261208)
    for i in range(count):
        yield f"D{1 + i % 28:02d}/{1 + (i // 28) % 12:02d}/{2000 + (i // 336) % 27}", rng


def main():
    count, output = int(sys.argv[1]), sys.argv[2]
    if len(sys.argv) > 4:
        transactions = account(int(sys.argv[3]), count, int(sys.argv[4]))
    else:
        transactions = numbered(count)
    lines = ["!Type:Bank"]
    for date, rng in transactions:
        amount = f"{'-' if rng.random() < 0.8 else ''}{rng.randint(100, 250000) / 100:.2f}"
        lines.append(date)
        lines.append(f"U{amount}")
        lines.append(f"T{amount}")
        if rng.random() < 0.5:
            lines.append("CX")
        if rng.random() < 0.2:
            lines.append(f"N{rng.randint(100, 9999)}")
        lines.append("P" + rng.choice(PAYEES))
        if rng.random() < 0.4:
            lines.append("M" + rng.choice(MEMOS))
        lines.append("L" + rng.choice(CATEGORIES))
        lines.append("^")
    with open(output, "wb") as handle:
        handle.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
