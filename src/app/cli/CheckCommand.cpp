// SPDX-License-Identifier: MIT
#include "app/cli/CheckCommand.h"

#include "app/cli/StandardStreams.h"
#include "app/cli/Wording.h"
#include "platform/File.h"
#include "statement/StatementCheck.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// The largest statement read, as for QIF files.
constexpr std::uint64_t kMaxStatementBytes = std::uint64_t{1} << 30;

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

nlohmann::json ToJson(const std::string& sFile, const statement::CheckResult& result)
{
    nlohmann::json object = {{"file", sFile}, {"readable", result.bolReadable}};
    if (!result.bolReadable) {
        object["error"] = result.sError;
        return object;
    }
    object["form"] = result.sForm;
    object["transactions"] = result.transactions;
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
    return object;
}

void PrintLines(const std::string& sFile, const statement::CheckResult& result, std::ostream& out)
{
    out << sFile << ": " << result.transactions
        << (result.transactions == 1 ? " transaction, " : " transactions, ");
    if (result.hazards.empty()) {
        out << "no hazards found\n";
        return;
    }
    out << result.hazards.size() << (result.hazards.size() == 1 ? " hazard" : " hazards")
        << " that other OFX readers trip over\n";
    for (const statement::Hazard& hazard : result.hazards) {
        out << "  " << Where(hazard) << " \"" << hazard.sValue << "\": " << hazard.sMessage << "\n";
    }
}

} // namespace

void CheckCommand::AddOptions(CLI::App& objCommand)
{
    objCommand
        .add_option("FILE", options_.sFile,
                    "The statement to check (.LDX, .ofx, .qfx); - reads it from standard input")
        ->required();
    objCommand.add_flag("--json", options_.bolJson, "Print one JSON object instead of lines");
    objCommand.footer("Exit status: 0 nothing found, 1 hazards found, 2 unreadable or not OFX, 130 "
                      "interrupted.");
}

int RunCheck(const CheckOptions& objOptions, const CommandLineContext& objContext)
{
    statement::CheckResult result;
    const CommandInput input =
        ReadInput(objOptions.sFile, TemporaryBeside(), "the file", objContext);
    const platform::UniqueFd file =
        input.sError.empty() ? platform::OpenRegularFile(input.sPath) : platform::UniqueFd();
    std::optional<std::string> bytes;
    if (file) {
        bytes = platform::ReadAll(file.Get(), kMaxStatementBytes);
    }
    if (!input.sError.empty()) {
        result.sError = input.sError;
    } else if (!bytes) {
        result.sError = "the file does not exist, cannot be read, is larger than 1 GiB or is "
                        "neither a file nor a pipe";
    } else {
        result = statement::CheckStatement(*bytes);
    }
    if (objOptions.bolJson) {
        objContext.objOut << ToJson(objOptions.sFile, result)
                                 .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                          << "\n";
    }
    if (input.bolInterrupted) {
        objContext.objErr << kProgram << ": " << input.sError << "\n";
        return kExitInterrupted;
    }
    if (!result.bolReadable) {
        objContext.objErr << kProgram << ": error: " << input.sName
                          << " is no OFX statement that can be checked: " << result.sError << "\n";
        return kExitRefused;
    }
    if (!objOptions.bolJson) {
        PrintLines(input.sName, result, objContext.objOut);
    }
    return result.hazards.empty() ? kExitSaved : kExitFailed;
}

} // namespace qif2ldx::app::cli
