// SPDX-License-Identifier: MIT
#include "app/cli/ShowCommand.h"

#include "app/ConversionRun.h"
#include "app/MainModule.h"
#include "app/Receipt.h"
#include "app/RepeatWording.h"
#include "app/cli/Options.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/Wording.h"
#include "platform/FileSystem.h"
#include "platform/StderrMessages.h"
#include "platform/Utf8.h"
#include "qif/CQIFFile.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <numeric>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// line, date, amount, number, account, payee, memo; the account only for files of several.
constexpr std::size_t kColumns = 7;
using Row = std::array<std::string, kColumns>;
constexpr std::size_t kNumber = 3;
constexpr std::size_t kAccount = 4;
constexpr std::size_t kPayee = 5;
constexpr std::size_t kMemo = 6;
constexpr std::size_t kMaxNumberWidth = 12;
constexpr std::size_t kGap = 2;

// One line of text: tabs and line breaks inside a field would break the table.
std::string OneLine(std::string sText)
{
    std::replace_if(
        sText.begin(), sText.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return sText;
}

std::string Fit(const std::string& sText, std::size_t width)
{
    const std::size_t length = platform::Utf8Length(sText);
    if (length <= width) {
        return sText + std::string(width - length, ' ');
    }
    if (width == 0) {
        return {};
    }
    return platform::Utf8Left(sText, width - 1) + "\u2026";
}

// The widths of the columns: as wide as their widest text (0 for a column not shown), with
// payee and memo narrowed to share what the terminal leaves them.
std::array<std::size_t, kColumns> Widths(const std::vector<Row>& rows, std::size_t columns,
                                         bool bolAccount)
{
    std::array<std::size_t, kColumns> widths{};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < kColumns; ++i) {
            widths.at(i) = std::max(widths.at(i), platform::Utf8Length(row.at(i)));
        }
    }
    widths.at(kNumber) = std::min(widths.at(kNumber), kMaxNumberWidth);
    widths.at(kAccount) = bolAccount ? std::min(widths.at(kAccount), kMaxNumberWidth) : 0;
    const std::size_t shown = bolAccount ? kColumns : kColumns - 1;
    const std::size_t fixed =
        std::accumulate(widths.begin(), widths.begin() + kPayee, std::size_t{0}) +
        kGap * (shown - 1);
    const std::size_t room = columns > fixed + 8 ? columns - fixed : 8;
    if (widths.at(kPayee) + widths.at(kMemo) > room) {
        const std::size_t half = room / 2;
        const std::size_t payee =
            std::min(widths.at(kPayee), std::max(half, room - std::min(widths.at(kMemo), half)));
        widths.at(kMemo) = room - payee;
        widths.at(kPayee) = payee;
    }
    return widths;
}

// bolAccount: the account column is shown (the file holds several accounts).
void PrintTable(const std::vector<Row>& rows, std::size_t columns, bool bolAccount,
                std::ostream& out)
{
    if (columns == 0) {
        for (const Row& row : rows) {
            for (std::size_t i = 0; i < kColumns; ++i) {
                if (i != kAccount || bolAccount) {
                    out << (i == 0 ? "" : "\t") << row.at(i);
                }
            }
            out << "\n";
        }
        return;
    }
    const auto widths = Widths(rows, columns, bolAccount);
    for (const Row& row : rows) {
        std::string sLine;
        for (std::size_t i = 0; i < kColumns; ++i) {
            if (i == kAccount && !bolAccount) {
                continue;
            }
            const bool right = i == 0 || i == 2; // numbers line up on the right
            const std::size_t length = platform::Utf8Length(row.at(i));
            if (right && length < widths.at(i)) {
                sLine += std::string(widths.at(i) - length, ' ') + row.at(i);
            } else {
                sLine += Fit(row.at(i), widths.at(i));
            }
            sLine += i + 1 < kColumns ? std::string(kGap, ' ') : std::string();
        }
        while (!sLine.empty() && sLine.back() == ' ') {
            sLine.pop_back();
        }
        out << sLine << "\n";
    }
}

// What the reading left out, and the sums, after the table.
void PrintSummary(const qif::ReadReport& report, const DateShower& objShowDate, std::ostream& out)
{
    out << "\n" << report.written << " of " << report.records << " records would be written";
    if (!report.sStartDate.empty()) {
        out << ": " << objShowDate(report.sStartDate) << " to " << objShowDate(report.sEndDate)
            << ",";
    } else {
        out << ":";
    }
    out << " credits " << ShowSum(report.amounts.Credits(), true) << ", debits "
        << ShowSum(report.amounts.Debits(), true) << ".\n";
    out << ReceiptDetailLines(report, report.leftOut.size());
}

} // namespace

void ShowCommand::AddOptions(CLI::App& objCommand)
{
    objCommand
        .add_option("QIF_FILE", sQIFFile_, "The QIF file to show; - reads it from standard input")
        ->required();
    AddDateOrderOption(objCommand, sDateOrder_, "How dates are read, as for convert");
    objCommand.add_option("--account,-a", sAccount_,
                          "The account the file is for: its dates are read in the order chosen "
                          "last for it when they read two ways, as convert reads them, and the "
                          "transactions its earlier statements hold are told");
    objCommand.footer("Exit status: 0 shown, 1 failed after reading, 2 refused before anything was "
                      "read, 130 interrupted.\n\n"
                      "Examples:\n"
                      "  qif2ldx show May.qif\n"
                      "  qif2ldx show May.qif --account \"Everyday Current\" | less\n"
                      "  gunzip -c May.qif.gz | qif2ldx show -");
    objQifAccount_ = AddQifAccountOption(objCommand, sQifAccount_);
}

int ShowCommand::Run(const CommandLineContext& objContext)
{
    std::ostream& err = objContext.objErr;
    const CommandInput input = OpenCommandInput(sQIFFile_, {}, "the QIF file", objContext);
    if (!input.sReason.empty()) {
        err << kProgram << ": error: " << input.sReason << "\n";
        return input.bolInterrupted ? kExitInterrupted
               : input.bolUnkept    ? kExitFailed
                                    : kExitRefused;
    }
    if (!platform::IsRegularFile(input.sPath)) {
        err << kProgram << ": error: " << QifNotAFileReason(sQIFFile_) << "\n";
        return kExitRefused;
    }
    // Refused before it is read, as convert refuses it.
    std::error_code sizeError;
    if (std::filesystem::file_size(input.sPath, sizeError) > qif::kMaxQIFBytes && !sizeError) {
        err << kProgram << ": error: " << QifTooLargeReason(input.sName) << "\n";
        return kExitRefused;
    }
    platform::StderrMessages objMessages(err, kProgram);
    qif::CQIFFile objFile(objMessages, objContext.objProgramFolder, objContext.objClock);
    qif::ConversionOptions objConversion;
    objConversion.dateOrder = DateOrderOption(sDateOrder_);
    objConversion.sQifAccount = QifAccountOption(objQifAccount_, sQifAccount_);
    objFile.SetOptions(objConversion);
    // Read only: show never makes or changes the history.
    KeptHistory objHistory = UserHistory(
        objContext.objEnvironment, Trim(sAccount_).empty() ? HistoryUse::Off : HistoryUse::Read);
    const DateOrderMemory objMemory(&objHistory);
    std::optional<HistoryReview> objReview;
    if (objHistory.Use() != HistoryUse::Off) {
        objReview.emplace(objHistory,
                          HistoryReview::Subject{Trim(sAccount_), input.sPath, {}, {}, {}},
                          RepeatPolicy::Warn, nullptr);
        objFile.SetReview([&objReview, &objFile](const std::vector<qif::ReviewedTx>& txns) {
            return objReview->Review(txns, objFile.Report());
        });
    }
    objFile.SetChooseDateOrder(
        [&, objChoose = ChooseUnasked(err, LocaleDateOrder(objContext.objEnvironment))](
            const qif::DateDecision& decision) {
            return objChoose(decision, RememberedOrder(&objMemory, decision, sAccount_));
        });
    const std::atomic<int>* objInterrupt = objContext.objInterrupt;
    objFile.SetProgress([objInterrupt](std::uint64_t, std::uint64_t) {
        return objInterrupt == nullptr || objInterrupt->load() == 0;
    });
    const DateShower objShowDate = objContext.objShowDate ? objContext.objShowDate : IsoDate;
    std::vector<Row> rows{{"Line", "Date", "Amount", "Number", "Account", "Payee", "Memo"}};
    const bool ok =
        objFile.OpenFile(input.sPath) &&
        objFile.Preview(
            [&](const records::CQIFTx& txn, std::int64_t line, const std::string& sAccount) {
                rows.push_back({std::to_string(line), objShowDate(txn.sDate), OneLine(txn.sAmount),
                                OneLine(txn.sNum), OneLine(platform::EscapeControls(sAccount)),
                                OneLine(txn.sPayee), OneLine(txn.sMemo)});
            });
    if (objFile.Failure().kind == qif::FailureKind::Stopped) {
        err << kProgram << ": error: interrupted; " << platform::EscapeControls(sQIFFile_)
            << " was not shown\n";
        return kExitInterrupted;
    }
    if (objFile.Failure().kind == qif::FailureKind::TooLarge) { // it grew after the look above
        err << kProgram << ": error: " << QifTooLargeReason(input.sName) << "\n";
        return kExitRefused;
    }
    if (objFile.Failure().kind == qif::FailureKind::UnknownQifAccount) {
        err << kProgram << ": error: " << objFile.Failure().sReason << "\n";
        return kExitRefused;
    }
    if (!ok) {
        const std::string sReason =
            FailureReason(objFile.Failure(), input.sName, {}, Start::Inside);
        err << kProgram << ": error: "
            << (sReason.empty()
                    ? "the QIF file cannot be read: " + platform::EscapeControls(input.sName)
                    : sReason)
            << "\n";
        // A file that cannot be read is refused as one that cannot be opened is.
        const qif::FailureKind kind = objFile.Failure().kind;
        return kind == qif::FailureKind::CannotRead || kind == qif::FailureKind::TooLarge
                   ? kExitRefused
                   : kExitFailed;
    }
    const qif::ReadReport& report = objFile.Report();
    if (const std::string sWarning = DatesWarning(report.dates, Trim(sAccount_), objShowDate);
        !sWarning.empty()) {
        err << kProgram << ": warning: " << sWarning << "\n";
    }
    for (const std::string& sWarning : ReadingWarnings(report)) {
        err << kProgram << ": warning: " << sWarning << "\n";
    }
    std::vector<std::string> warnings = objHistory.TakeTroubles();
    std::vector<std::string> notes;
    if (objReview) {
        HistoryTidings tidings = TellRepeats(objReview->Report(), input.sName, false, objShowDate,
                                             false); // show writes nothing
        warnings.insert(warnings.end(), tidings.warnings.begin(), tidings.warnings.end());
        notes = std::move(tidings.notes);
    }
    for (const std::string& sWarning : warnings) {
        err << kProgram << ": warning: " << sWarning << "\n";
    }
    for (const std::string& sNote : notes) {
        err << kProgram << ": note: " << sNote << "\n";
    }
    PrintTable(rows, static_cast<std::size_t>(std::max(objContext.outColumns, 0)),
               report.accounts.size() > 1, objContext.objOut);
    PrintSummary(objFile.Report(), objShowDate, objContext.objOut);
    return kExitDone;
}

} // namespace qif2ldx::app::cli
