// SPDX-License-Identifier: MIT
#include "qif/AccountSelection.h"

namespace qif2ldx::qif {
namespace {

AccountSurvey NoSurvey(FailureKind kind, std::string sReason = {})
{
    AccountSurvey surveyed;
    surveyed.failure.kind = kind;
    surveyed.failure.sReason = std::move(sReason);
    return surveyed;
}

} // namespace

AccountSurvey SurveyAccount(const QIFText& text, std::optional<DateOrder> given,
                            const QifAccountQuestion& question, const CollectRecords& objCollect)
{
    AccountSurvey surveyed;
    surveyed.survey.emplace(text.Encoding(), given);
    if (!objCollect(*surveyed.survey)) {
        return NoSurvey(FailureKind::Stopped);
    }
    QifAccountChoice account = ChooseAccount(surveyed.survey->Census(), text.IsUtf8(),
                                             question.sGiven, question.objChoose);
    switch (account.outcome) {
    case QifAccountChoice::Outcome::Chosen:
        break;
    case QifAccountChoice::Outcome::Unknown:
        return NoSurvey(FailureKind::UnknownQifAccount, std::move(account.sReason));
    case QifAccountChoice::Outcome::Cancelled:
        return NoSurvey(FailureKind::Cancelled);
    }
    if (account.filter.TakesAll()) {
        surveyed.survey->TakeAccount(std::move(account)); // its records are surveyed already
        return surveyed;
    }
    surveyed.survey.emplace(text.Encoding(), given, std::move(account));
    if (!objCollect(*surveyed.survey)) {
        return NoSurvey(FailureKind::Stopped);
    }
    return surveyed;
}

} // namespace qif2ldx::qif
