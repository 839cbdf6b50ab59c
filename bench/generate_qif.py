#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a realistic bank QIF file of N transactions, the same bytes for the same N:
CR LF line ends, day-first dates, U and T amounts, payees, memos, numbers on some,
categories and cleared flags; about 84 bytes a transaction.
Usage: generate_qif.py N OUTPUT"""

import random
import sys

PAYEES = ["CORNER GROCER", "ACME PAYROLL", "Northern Power", "Marks & Spencer",
          "Harbour Lettings", "Riverside Garage", "Streamflix", "City Council",
          "Fibre Broadband", "Chemist Direct", "Pizza Piazza", "Rail Connect"]
CATEGORIES = ["Food", "Salary", "Utilities", "Clothing", "Housing", "Car", "Leisure", "Health"]
MEMOS = ["weekly shop", "monthly", "ref 4471", "card 1234", "online", "standing order"]


def main():
    count, output = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(20261208)
    lines = ["!Type:Bank"]
    for i in range(count):
        day = 1 + i % 28
        month = 1 + (i // 28) % 12
        year = 2000 + (i // 336) % 27
        amount = f"{'-' if rng.random() < 0.8 else ''}{rng.randint(100, 250000) / 100:.2f}"
        lines.append(f"D{day:02d}/{month:02d}/{year}")
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
