#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The peer of the benchmark: a minimal writer of the same statement, as a scripting user would
write it with the standard library only. It reads a day-first QIF bank file, looks the account
up in an account list and writes the statement (header and body) in Windows-1252.
Usage: peer_writer.py QIF_FILE ACCOUNT_LIST ACCOUNT_NAME OUTPUT"""

import datetime
import sys
from xml.sax.saxutils import escape

HEADER = ("OFXHEADER: 100\r\nDATA: OFXSGML\r\nVERSION: 102\r\nSECURITY: NONE\r\n"
          "ENCODING: USASCII\r\nCHARSET: 1252\r\nCOMPRESSION: NONE\r\nOLDFILEUID: NONE\r\n"
          "NEWFILEUID: NONE\r\n")


def read_account(path, name):
    with open(path, encoding="cp1252") as handle:
        for line in handle:
            fields = line.rstrip("\r\n").split(",")
            if fields[0].strip() == name:
                return fields
    return [name, "", "", "", "", ""]


def read_transactions(path):
    transactions = []
    current = {}
    with open(path, encoding="cp1252") as handle:
        for line in handle:
            line = line.rstrip("\r\n")
            if not line:
                continue
            code, value = line[0], line[1:]
            if code == "^":
                if "D" in current and "T" in current:
                    transactions.append(current)
                current = {}
            elif code == "D":
                day, month, year = value.split("/")
                current["D"] = f"{int(year):04d}{int(month):02d}{int(day):02d}"
            elif code in "TPMN":
                current[code] = value
    return transactions


def main():
    qif, accounts, account, output = sys.argv[1:5]
    _, kind, currency, number, branch, bank = read_account(accounts, account)[:6]
    transactions = read_transactions(qif)
    dates = [t["D"] for t in transactions]
    start, end = (min(dates), max(dates)) if dates else ("", "")
    today = datetime.date.today().strftime("%Y%m%d")
    out = [HEADER, "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY>"
           f"<MESSAGE>OK</MESSAGE></STATUS><DTSERVER>{today}</DTSERVER><LANGUAGE>ENG</LANGUAGE>"
           f"<VELT.BID>{escape(bank)}</VELT.BID></SONRS></SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS>"
           "<TRNUID>1</TRNUID><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY><MESSAGE>OK</MESSAGE>"
           f"</STATUS><STMTRS><CURDEF>{escape(currency)}</CURDEF><BANKACCTFROM>"
           f"<BANKID>{escape(branch)}</BANKID><ACCTID>{escape(number)}</ACCTID>"
           f"<ACCTTYPE>{escape(kind)}</ACCTTYPE></BANKACCTFROM><BANKTRANLIST>"
           f"<DTSTART>{start}</DTSTART><DTEND>{end}</DTEND>"]
    for fitid, t in enumerate(transactions):
        amount = t["T"]
        memo = t.get("M", "")
        name = (t.get("P") or memo or "Not Provided")[:32]
        kind = "DEBIT" if amount.startswith("-") else "CREDIT"
        number = f"<CHECKNUM>{escape(t['N'][-12:])}</CHECKNUM>" if t.get("N") else ""
        out.append(f"<STMTTRN><TRNTYPE>{kind}</TRNTYPE><DTPOSTED>{t['D']}</DTPOSTED>"
                   f"<TRNAMT>{escape(amount)}</TRNAMT><FITID>{fitid}</FITID>{number}"
                   f"<NAME>{escape(name)}</NAME><MEMO>{escape(memo)}</MEMO></STMTTRN>")
    out.append(f"</BANKTRANLIST><LEDGERBAL><BALAMT>0.00</BALAMT><DTASOF>{end}</DTASOF>"
               "</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n")
    with open(output, "w", encoding="cp1252", errors="xmlcharrefreplace", newline="") as handle:
        handle.write("".join(out))


if __name__ == "__main__":
    main()
