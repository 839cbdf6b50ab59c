// SPDX-License-Identifier: MIT
#include "app/cli/CheckCommand.h"

#include "app/ReasonWords.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/Wording.h"
#include "platform/File.h"
#include "platform/Utf8.h"
#include "statement/StatementCheck.h"

#include <CLI/CLI.hpp>
#include <new>
#include <nlohmann/json.hpp>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// The largest statement read, as for QIF files.
constexpr std::uint64_t kMaxStatementBytes = std::uint64_t{1} << 30;

constexpr const char* kNoMemory = "there is not enough memory to check the file";

// Where a hazard is: "transaction 2, TRNAMT", "header line 1, OFXHEADER", "FITID".
std::string Where(const statement::Hazard& hazard)
{
    if (hazard.transaction > 0) {
        return "transaction " + std::to_string(hazard.transaction) + ", " + hazard.sElement;
    }
    if (hazard.line > 0) {
        return "header line " + std::to_string(hazard.line) + ", " + hazard.sElement;
    }
    return hazard.sElement;
}

// A count with thousands separators: 9,999,000.
std::string Grouped(std::int64_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

// "1 byte outside the charset", "9,999,000 bytes outside the charset".
std::string CountOf(statement::HazardKind kind, std::int64_t count)
{
    using statement::HazardKind;
    const auto [one, many] = [kind]() -> std::pair<const char*, const char*> {
        switch (kind) {
        case HazardKind::AmountNotPlain:
            return {"amount that is not a plain decimal", "amounts that are not plain decimals"};
        case HazardKind::EmptyElement:
            return {"empty element", "empty elements"};
        case HazardKind::SelfClosedElement:
            return {"self-closed element", "self-closed elements"};
        case HazardKind::EmptyDate:
            return {"empty date", "empty dates"};
        case HazardKind::RepeatedFitId:
            return {"repeated FITID", "repeated FITIDs"};
        case HazardKind::PositionalFitIds:
            return {"run of FITIDs that count positions", "runs of FITIDs that count positions"};
        case HazardKind::CheckNumNotNumeric:
            return {"check number that is not a number", "check numbers that are not numbers"};
        case HazardKind::HeaderBlank:
            return {"header value with a blank", "header values with a blank"};
        case HazardKind::ReferenceAbove255:
            return {"character reference above 255", "character references above 255"};
        case HazardKind::ByteOutsideCharset:
            break;
        }
        return {"byte outside the charset", "bytes outside the charset"};
    }();
    return Grouped(count) + " " + (count == 1 ? one : many);
}

nlohmann::json ToJson(const std::string& sFile, const statement::CheckResult& result)
{
    nlohmann::json object = {{"file", sFile},
                             {"readable", result.status == statement::OfxReadStatus::Read}};
    if (result.status != statement::OfxReadStatus::Read) {
        object["error"] = result.sReason;
        return object;
    }
    object["form"] = result.sForm;
    object["transactions"] = result.transactions;
    object["hazard_count"] = result.hazardCount;
    nlohmann::json hazards = nlohmann::json::array();
    for (const statement::Hazard& hazard : result.hazards) {
        hazards.push_back(
            {{"kind", statement::HazardName(hazard.kind)},
             {"transaction", hazard.transaction > 0 ? nlohmann::json(hazard.transaction) : nullptr},
             {"line", hazard.line > 0 ? nlohmann::json(hazard.line) : nullptr},
             {"element", hazard.sElement},
             {"value", hazard.sValue},
             {"message", hazard.sMessage}});
    }
    object["hazards"] = std::move(hazards);
    nlohmann::json unlisted = nlohmann::json::object();
    for (const auto& [kind, count] : result.unlisted) {
        unlisted[statement::HazardName(kind)] = count;
    }
    object["unlisted"] = std::move(unlisted);
    return object;
}

void PrintLines(const std::string& sFile, const statement::CheckResult& result, std::ostream& out)
{
    out << platform::EscapeControls(sFile) << ": " << Grouped(result.transactions)
        << (result.transactions == 1 ? " transaction, " : " transactions, ");
    if (result.hazardCount == 0) {
        out << "no hazards found\n";
        return;
    }
    out << Grouped(result.hazardCount) << (result.hazardCount == 1 ? " hazard" : " hazards")
        << " that other OFX readers trip over\n";
    for (const statement::Hazard& hazard : result.hazards) {
        out << "  " << Where(hazard) << " \"" << hazard.sValue << "\": " << hazard.sMessage << "\n";
    }
    if (result.unlisted.empty()) {
        return;
    }
    std::string sKinds;
    for (const auto& [kind, count] : result.unlisted) {
        sKinds += (sKinds.empty() ? "" : ", ") + CountOf(kind, count);
    }
    out << "  and "
        << Grouped(result.hazardCount - static_cast<std::int64_t>(result.hazards.size()))
        << " more: " << sKinds << "\n";
}

// The bytes of the file made ready by OpenCommandInput; why not, in words, when it cannot be
// read whole.
platform::Result<std::string> ReadInput(const std::string& sPath)
{
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sPath);
    if (!file) {
        return platform::Failed<std::string>(file.reason);
    }
    return platform::ReadAll(file.value.Get(), kMaxStatementBytes);
}

// Checks the bytes; stops when the user interrupts.
statement::CheckResult Check(std::string_view bytes, const std::atomic<int>* interrupt)
{
    const auto keepReading = [interrupt] { return interrupt == nullptr || interrupt->load() == 0; };
    if (!keepReading()) {
        statement::CheckResult result;
        result.status = statement::OfxReadStatus::Stopped;
        return result;
    }
    return statement::CheckStatement(bytes, keepReading);
}

void PrintJson(const nlohmann::json& object, std::ostream& out)
{
    out << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

// sName: the file in messages ("standard input" for "-").
int Report(const CheckOptions& objOptions, const std::string& sName,
           const statement::CheckResult& result, const CommandLineContext& objContext)
{
    if (result.status == statement::OfxReadStatus::Stopped) {
        objContext.objErr << kProgram << ": error: interrupted; " << platform::EscapeControls(sName)
                          << " was not checked\n";
        return kCheckInterrupted;
    }
    if (objOptions.bolJson) {
        PrintJson(ToJson(objOptions.sFile, result), objContext.objOut);
    }
    if (result.status == statement::OfxReadStatus::NotOfx) {
        objContext.objErr << kProgram << ": error: " << platform::EscapeControls(sName)
                          << " is no OFX statement that can be checked: " << result.sReason << "\n";
        return kCheckUnreadable;
    }
    if (!objOptions.bolJson) {
        PrintLines(sName, result, objContext.objOut);
    }
    return result.hazardCount == 0 ? kCheckFoundNothing : kCheckFoundHazards;
}

} // namespace

void CheckCommand::AddOptions(CLI::App& objCommand)
{
    objCommand
        .add_option("FILE", options_.sFile,
                    "The statement to check (.LDX, .ofx, .qfx); - reads it from standard input")
        ->required();
    objCommand.add_flag("--json", options_.bolJson, "Print one JSON object instead of lines");
    objCommand.footer("Exit status: 0 nothing found, 1 hazards found, 2 unreadable, not OFX or "
                      "not enough memory, 130 interrupted.");
}

int RunCheck(const CheckOptions& objOptions, const CommandLineContext& objContext)
{
    const CommandInput input = OpenCommandInput(objOptions.sFile, {}, "the file", objContext);
    if (input.bolInterrupted) {
        objContext.objErr << kProgram << ": error: " << input.sReason << "\n";
        return kCheckInterrupted;
    }
    try {
        std::string sUnreadable = input.sReason;
        platform::Result<std::string> bytes;
        if (sUnreadable.empty()) {
            bytes = ReadInput(input.sPath);
            if (!bytes) {
                sUnreadable = "cannot read " + platform::EscapeControls(input.sName) + ": " +
                              (bytes.reason.kind == platform::ReasonKind::TooLarge
                                   ? std::string("it is larger than 1 GiB")
                                   : ReasonWords(bytes.reason));
            }
        }
        if (!sUnreadable.empty()) {
            if (objOptions.bolJson) {
                PrintJson({{"file", objOptions.sFile}, {"readable", false}, {"error", sUnreadable}},
                          objContext.objOut);
            }
            objContext.objErr << kProgram << ": error: " << sUnreadable << "\n";
            return kCheckUnreadable;
        }
        return Report(objOptions, input.sName, Check(bytes.value, objContext.objInterrupt),
                      objContext);
    } catch (const std::bad_alloc&) {
        // The file and what was found are released by now: the message fits.
        if (objOptions.bolJson) {
            PrintJson({{"file", objOptions.sFile}, {"readable", false}, {"error", kNoMemory}},
                      objContext.objOut);
        }
        objContext.objErr << kProgram << ": error: " << kNoMemory << "\n";
        return kCheckUnreadable;
    }
}

} // namespace qif2ldx::app::cli
