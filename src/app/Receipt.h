// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::app {

// Shows a yyyymmdd date to the user: ISO (2026-11-01) unless the user's time locale says
// otherwise.
using DateShower = std::function<std::string(std::string_view sDate)>;

// 2026-11-01 for 20261101; the text as it is when it is no yyyymmdd date.
[[nodiscard]] std::string IsoDate(std::string_view sDate);

// Dates as the user's time locale writes them ("1 Nov 2026"), when sLocale names one the system
// has (see platform::UserTimeLocale); ISO otherwise.
[[nodiscard]] DateShower LocaleDateShower(std::optional<std::string> sLocale);

// A period as the user reads it, the parts both days share said once: "12 Jan – 12 Aug 2026",
// "1 – 8 Dec 2026", "2026-12-01 – 2026-12-08"; one day alone when start and end are the same.
[[nodiscard]] std::string PeriodText(const std::string& sStart, const std::string& sEnd,
                                     const DateShower& objShowDate);

// The period each way a file's dates read: "day first: 12 Jan – 12 Aug 2026; month first:
// 1 – 8 Dec 2026". Empty when the survey found no dates.
[[nodiscard]] std::string PeriodsEachWay(const qif::DateDecision& dates,
                                         const DateShower& objShowDate);

// The warnings a finished run gives, worded for a terminal without the program's prefix: the
// account look-up (sList is the account list read) and what the QIF file held.
[[nodiscard]] std::vector<std::string> RunWarnings(const ConversionOutcome& objOutcome,
                                                   const std::string& sAccountName,
                                                   const std::string& sList,
                                                   const DateShower& objShowDate = IsoDate);

// A card file (!Type:CCard) written for an account whose type is not CREDIT, or a bank file
// (!Type:Bank) for a CREDIT account, among the records written: the statement's kind follows
// the account, which may not be what was meant. Empty otherwise, and for an account the list
// does not describe.
[[nodiscard]] std::string AccountTypeWarning(const ConversionOutcome& objOutcome,
                                             const std::string& sAccountName);

// What the reading of a QIF file found that is worth a warning, whether or not a statement is
// written: amounts that read two ways or in forms OFX readers do not take, records that ran
// into others or kept the last of several values, several accounts, bytes that are not UTF-8.
[[nodiscard]] std::vector<std::string> ReadingWarnings(const qif::ReadReport& report);

// What the QIF file of a saved run held that is worth a warning: ReadingWarnings, then the
// records not written and an empty statement; worded as RunWarnings.
[[nodiscard]] std::vector<std::string> ReportWarnings(const qif::ReadReport& report);

// For a run that read one QIF account of several: "QIF account: Checking (Bank) of the file's
// 5; 57 records of the others were not read." Empty otherwise.
[[nodiscard]] std::string QifAccountLine(const qif::ReadReport& report);

// For a file whose dates read two ways and whose order nobody stated (or the account's kept
// order, or the locale's, read): the orders and the period each way, one line read every way,
// the order taken and how to read them otherwise: "the dates in this file read both day first
// and month first (day first: 2007-02-01 – 2007-02-09; month first: 2007-01-02 – 2007-09-02):
// line 3 reads D01/02/07 as 1 February 2007 day first, 2 January 2007 month first; they were
// read day first (--date-order mdy reads them month first)". Empty for any other file.
[[nodiscard]] std::string DatesWarning(const qif::DateDecision& dates,
                                       const std::string& sAccountName,
                                       const DateShower& objShowDate = IsoDate);

// For a file whose amounts read both with a decimal point and with a decimal comma, and that
// nothing decided: "the amounts in this file read both with a decimal point and with a decimal
// comma: line 4 reads T1,234 as 1234 with a decimal point, 1.234 with a decimal comma; they
// were read with a decimal point". Empty for any other file.
[[nodiscard]] std::string SeparatorWarning(const qif::ReadReport& report);

// "Wrote 28 of 30 records to bank.LDX: 2026-11-01 to 2026-11-30, credits 2,310.00, debits
// -1,904.12, account Everyday Current (CHECKING)." bolDryRun: "Would write …". An account the
// list does not hold is named as typed (sAccountName).
[[nodiscard]] std::string SummaryLine(const ConversionOutcome& objOutcome,
                                      const std::string& sStatement,
                                      const std::string& sAccountName, bool bolDryRun,
                                      const DateShower& objShowDate);

// The transaction records not written, at most maxListed of them, as
// "line 41 (no amount), line 77 (no date)", followed by ", and 3 more" when there are more.
// Empty when every transaction record was written.
[[nodiscard]] std::string LeftOutList(const qif::ReadReport& report, std::size_t maxListed);

// The records left out for the reason given (not a transaction: accounts, categories and the
// like; investment transactions), one group per run of records in the same section: "14 of
// !Type:Cat from line 3, 1 of !Account on line 1". Empty when there are none.
[[nodiscard]] std::string ListRecords(const qif::ReadReport& report, qif::LeftOutReason reason);

// The amounts written that read as no number: "line 12 (ABC), line 40 (n/a)". Empty when all
// read as numbers.
[[nodiscard]] std::string NotNumbersList(const qif::ReadReport& report);

// The lines after a receipt's summary, each ending in a line break: "Read as UTF-8: …." for UTF-8
// text without a byte-order mark, "Records end at blank lines: …." for a file without "^",
// QifAccountLine, "Left out: …." with at most
// maxListed records, "Not transactions: ….", "Investment transactions: …." and "Amounts that are
// not numbers: …."; only those that have something to say.
[[nodiscard]] std::string ReceiptDetailLines(const qif::ReadReport& report, std::size_t maxListed);

// The sums as the receipt shows them: 2,310.00 (grouped) or 2310.00 (plain).
[[nodiscard]] std::string ShowSum(const qif::Decimal& sum, bool bolGrouped);

// For the dialog, after a conversion that left transaction records out: "2 of the 30 records
// in the QIF file were left out of the statement: line 41 (no amount), line 77 (no date)."
// with the first maxListed of them. Empty when none was left out.
[[nodiscard]] std::string LeftOutMessage(const qif::ReadReport& report, std::size_t maxListed);

} // namespace qif2ldx::app
