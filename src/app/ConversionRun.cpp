// SPDX-License-Identifier: MIT
#include "app/ConversionRun.h"

#include "app/AccountList.h"
#include "app/MainModule.h"
#include "app/ReasonWords.h"
#include "app/RepeatWording.h"
#include "platform/LocaleDates.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>

namespace qif2ldx::app {

bool IsFaultOfQif(const qif::ConversionFailure& failure)
{
    switch (failure.kind) {
    case qif::FailureKind::NotText:
    case qif::FailureKind::OfxStatement: // no QIF text, whatever else it is
    case qif::FailureKind::BadText:
    case qif::FailureKind::Unexpected:
    case qif::FailureKind::None:
    case qif::FailureKind::NotOpen:
        return true;
    case qif::FailureKind::UnknownQifAccount: // the caller's slip, refused
    case qif::FailureKind::NothingNew:        // the history's finding, not the file's
    default:
        return false;
    }
}

std::string ConversionFailedMessage(const std::string& sQIFFilePath,
                                    const qif::ConversionFailure& failure,
                                    const std::string& sCause)
{
    std::string sText = "Errors were encountered whilst attempting to convert: " +
                        platform::EscapeControls(sQIFFilePath) + ".";
    // A disk, a permission or memory is no fault of the QIF file: the cause is named instead.
    if (IsFaultOfQif(failure) || sCause.empty()) {
        return sText + " Please ensure that this file is a valid QIF file.";
    }
    return sText + " " + platform::CapitalisedAscii(sCause) + ".";
}

namespace {

// The text as it starts a sentence, or as it stands inside one.
std::string Begun(std::string sText, Start start)
{
    if (start == Start::Sentence) {
        return platform::CapitalisedAscii(std::move(sText));
    }
    return sText;
}

// ": " and the system's reason in words; empty without one.
std::string Cause(const platform::Reason& reason)
{
    const std::string sWords = ReasonWords(reason);
    return sWords.empty() ? std::string() : ": " + sWords;
}

std::string Reason(const qif::ConversionFailure& failure, const std::string& sQIFName,
                   const std::string& sStatement)
{
    using qif::FailureKind;
    switch (failure.kind) {
    case FailureKind::None:
    case FailureKind::Stopped:
    case FailureKind::Cancelled:
        return {};
    case FailureKind::NotOpen:
        return "no QIF file is open";
    case FailureKind::CannotCreateStatement:
        return "the statement file cannot be created: " + platform::EscapeControls(sStatement) +
               Cause(failure.reason);
    case FailureKind::CannotRead:
        return "cannot read " + platform::EscapeControls(sQIFName) + Cause(failure.reason);
    case FailureKind::TooLarge:
        return "the QIF file is larger than 1 GiB: " + platform::EscapeControls(sQIFName);
    case FailureKind::NotText:
        return platform::EscapeControls(sQIFName) +
               " does not look like a QIF file: " + failure.sReason;
    case FailureKind::UnknownQifAccount:
        return failure.sReason;
    case FailureKind::OfxStatement:
        return platform::EscapeControls(sQIFName) +
               ": this is already an OFX statement: import it from Lodestrand's File menu, or run "
               "qif2ldx check on it";
    case FailureKind::BadText:
        return failure.line > 0 ? "line " + std::to_string(failure.line) + ": " + failure.sReason
                                : failure.sReason;
    case FailureKind::CannotSave:
        return "the statement could not be written in full to " +
               platform::EscapeControls(sStatement) + Cause(failure.reason);
    case FailureKind::NotAsWritten:
        return "the statement did not read back as written: " + failure.sReason;
    case FailureKind::CannotDeliver:
        return "the statement could not be written out";
    case FailureKind::StatementExists:
        return "the statement file already exists: " + platform::EscapeControls(sStatement);
    case FailureKind::CannotPlace:
        return "the statement could not be put at " + platform::EscapeControls(sStatement) +
               Cause(failure.reason);
    case FailureKind::OutOfMemory:
        return "there is not enough memory to convert the file";
    case FailureKind::NothingNew:
        return "nothing is new: every transaction is in an earlier statement";
    case FailureKind::Unexpected:
        break;
    }
    return failure.sReason;
}

// Why a conversion failed, as the dialog tells it below the conversion-failure message: a
// sentence of its own. An OFX download is sent to Lodestrand's File menu alone: the person at
// the dialog has no terminal at hand for qif2ldx check.
std::string ExplainedReason(const qif::ConversionFailure& failure, const std::string& sQIFName,
                            const std::string& sStatement)
{
    std::string sText = failure.kind == qif::FailureKind::OfxStatement
                            ? platform::EscapeControls(sQIFName) +
                                  " is already an OFX statement: import it from Lodestrand's File "
                                  "menu"
                            : Begun(Reason(failure, sQIFName, sStatement), Start::Sentence);
    if (!sText.empty() && sText.back() != '.' && sText.back() != '?') {
        sText += '.';
    }
    return sText;
}

} // namespace

std::string DescribeDateDecision(const qif::DateDecision& decision, Start start)
{
    std::string sText = std::string("the dates in this file are ") +
                        qif::DateOrderName(decision.order) + ": line " +
                        std::to_string(decision.line);
    if (decision.source == qif::DateSource::Option) {
        sText += " says " + decision.sLine + ".";
    } else {
        sText += " reads " + decision.sLine + " (" + qif::DescribeDate(decision.sDate) + ").";
    }
    return Begun(sText, start);
}

std::vector<qif::DateOrder> ReadingOrders(const qif::DateDecision& decision)
{
    std::vector<qif::DateOrder> orders;
    for (const qif::DateOrder order : qif::kDateOrders) {
        const auto& others = decision.otherOrders;
        if (order == decision.order ||
            std::find(others.begin(), others.end(), order) != others.end()) {
            orders.push_back(order);
        }
    }
    return orders;
}

qif::DateChoice UnaskedDateChoice(const qif::DateDecision& decision,
                                  std::optional<qif::DateOrder> remembered,
                                  qif::DateOrder localeOrder)
{
    if (remembered) {
        return {*remembered, qif::DateSource::Account};
    }
    const std::vector<qif::DateOrder> orders = ReadingOrders(decision);
    if (decision.bolAmbiguous && decision.source == qif::DateSource::File &&
        localeOrder != decision.order &&
        std::find(orders.begin(), orders.end(), localeOrder) != orders.end()) {
        return {localeOrder, qif::DateSource::Locale};
    }
    return {decision.order, decision.source};
}

qif::DateOrder LocaleDateOrder(const platform::IEnvironment& objEnvironment)
{
    return platform::WritesMonthFirst(platform::TimeLocaleName(objEnvironment))
               ? qif::DateOrder::MonthFirst
               : qif::DateOrder::DayFirst;
}

std::string FailureReason(const qif::ConversionFailure& failure, const std::string& sQIFName,
                          const std::string& sStatement, Start start)
{
    return Begun(Reason(failure, sQIFName, sStatement), start);
}

ConversionRun::ConversionRun(platform::IMessages& objMessages,
                             const platform::IProgramFolder& objProgramFolder,
                             const platform::IClock& objClock)
    : objMessages_(objMessages), objProgramFolder_(objProgramFolder), objClock_(objClock)
{}

ConversionOutcome ConversionRun::Run(const ConversionInput& objInput)
{
    ConversionOutcome objOutcome;
    try {
        objOutcome.account =
            LookUpAccount(objInput.sOLAccntListFile, objInput.sAcctName, objOutcome.cAcctInf);
        if (objPause_) {
            objPause_();
        }
        RunConversion(objInput, objOutcome);
    } catch (const std::exception& error) {
        objOutcome.result = RunResult::Aborted;
        objOutcome.sReason = error.what();
        static_cast<void>(objMessages_.Show(kMessageTitle, "Conversion aborted due to error.",
                                            platform::MessageKind::Information));
    }
    return objOutcome;
}

std::optional<qif::DateOrder> RememberedOrder(const DateOrderMemory* objMemory,
                                              const qif::DateDecision& decision,
                                              const std::string& sAccount)
{
    if (objMemory == nullptr || !decision.bolAmbiguous ||
        decision.source != qif::DateSource::File) {
        return std::nullopt;
    }
    const std::optional<qif::DateOrder> order = objMemory->Recall(sAccount);
    const std::vector<qif::DateOrder> orders = ReadingOrders(decision);
    if (!order || std::find(orders.begin(), orders.end(), *order) == orders.end()) {
        return std::nullopt; // an order that does not read this file is no choice for it
    }
    return order;
}

std::optional<HistoryReview> ConversionRun::Review(const ConversionInput& objInput) const
{
    if (objHistory_ == nullptr || objHistory_->Use() == HistoryUse::Off) {
        return std::nullopt;
    }
    return HistoryReview(*objHistory_,
                         {Trim(objInput.sAcctName), objInput.sQIFFilePath,
                          objInput.sQIFName.empty() ? AbsolutePath(objInput.sQIFFilePath)
                                                    : std::string(kStandardInput),
                          objOptions_.objDeliver ? std::string(kStandardOutput)
                                                 : AbsolutePath(objInput.sLDXFilePath),
                          std::string(objOptions_.objProfile->sName)},
                         policy_, objQuestions_);
}

void ConversionRun::RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome)
{
    qif::CQIFFile objQIF(objMessages_, objProgramFolder_, objClock_);
    objQIF.SetProgress(objProgress_);
    objQIF.SetOptions(objOptions_);
    objQIF.SetChooseQifAccount(objChooseAccount_);
    if (objChoose_) {
        objQIF.SetChooseDateOrder([this, &objInput](const qif::DateDecision& decision) {
            return objChoose_(decision, RememberedOrder(objMemory_, decision, objInput.sAcctName));
        });
    }
    std::optional<HistoryReview> objReview = Review(objInput);
    if (objReview) {
        objQIF.SetReview([&objReview, &objQIF](const std::vector<qif::ReviewedTx>& transactions) {
            return objReview->Review(transactions, objQIF.Report());
        });
    }
    const bool ok = objQIF.OpenFile(objInput.sQIFFilePath) &&
                    objQIF.ConvertQIFtoLDX(objInput.sLDXFilePath, objOutcome.cAcctInf);
    objOutcome.report = objQIF.Report();
    objOutcome.failure = objQIF.Failure();
    const std::string& sQIFName =
        objInput.sQIFName.empty() ? objInput.sQIFFilePath : objInput.sQIFName;
    objOutcome.sReason =
        FailureReason(objOutcome.failure, sQIFName, objInput.sLDXFilePath, Start::Inside);
    if (objReview) {
        // Once the statement is in its place, and only then, it is remembered.
        if (ok && objOptions_.bolPlace && objHistory_->Use() == HistoryUse::Record) {
            objReview->Record(objQIF.Reviewed(), objOutcome.report, objClock_.Now());
        }
        objOutcome.repeats = objReview->Report();
    }
    if (objHistory_ != nullptr) {
        objOutcome.historyTroubles = objHistory_->TakeTroubles();
    }
    if (ok) {
        objOutcome.result = RunResult::Saved;
        return;
    }
    if (objOutcome.repeats && objOutcome.repeats->bolNothingNew) {
        // Nothing was written: the receipt counts none, and lists what was left out.
        objOutcome.failure.kind = qif::FailureKind::NothingNew;
        objOutcome.report.written = 0;
        objOutcome.report.leftOut.insert(objOutcome.report.leftOut.end(),
                                         objReview->LeftOut().begin(), objReview->LeftOut().end());
        std::stable_sort(objOutcome.report.leftOut.begin(), objOutcome.report.leftOut.end(),
                         [](const qif::LeftOut& first, const qif::LeftOut& second) {
                             return first.line < second.line;
                         });
        objOutcome.result = RunResult::NothingNew;
        objOutcome.sReason = NothingNewReason(*objOutcome.repeats, sQIFName);
        return;
    }
    if (objOutcome.failure.kind == qif::FailureKind::Stopped) {
        objOutcome.result = RunResult::Interrupted;
        return;
    }
    if (objOutcome.failure.kind == qif::FailureKind::StatementExists) {
        objOutcome.result = RunResult::Refused;
        return;
    }
    if (objOutcome.failure.kind == qif::FailureKind::Cancelled) {
        objOutcome.result = RunResult::Cancelled;
        return;
    }
    // A file that cannot be read at all was never converted: the input is at fault, as when it
    // cannot be opened.
    const bool bolUnreadable = objOutcome.failure.kind == qif::FailureKind::CannotRead ||
                               objOutcome.failure.kind == qif::FailureKind::TooLarge;
    objOutcome.result = bolUnreadable ? RunResult::Unreadable : RunResult::Failed;
    // A QIF account the file does not hold is the caller's slip, not the file's fault.
    if (!objInput.sQIFFilePath.empty() &&
        objOutcome.failure.kind != qif::FailureKind::UnknownQifAccount) {
        std::string sText =
            ConversionFailedMessage(sQIFName, objOutcome.failure, objOutcome.sReason);
        if (bolExplain_ && !objOutcome.sReason.empty() && IsFaultOfQif(objOutcome.failure)) {
            sText +=
                "\r\n\r\n" + ExplainedReason(objOutcome.failure, sQIFName, objInput.sLDXFilePath);
        }
        static_cast<void>(
            objMessages_.Show(kMessageTitle, sText, platform::MessageKind::Information));
    }
}

} // namespace qif2ldx::app
