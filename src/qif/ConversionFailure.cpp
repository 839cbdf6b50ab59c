// SPDX-License-Identifier: MIT
#include "qif/ConversionFailure.h"

namespace qif2ldx::qif {

ConversionFailure FailureOfCommit(const statement::CommitResult& committed)
{
    using statement::CommitStatus;
    switch (committed.status) {
    case CommitStatus::Committed:
        return {};
    case CommitStatus::NotCreated:
        return {FailureKind::CannotCreateStatement, 0, {}, committed.reason};
    case CommitStatus::NotSaved:
        return {FailureKind::CannotSave, 0, {}, committed.reason};
    case CommitStatus::NotAsWritten:
        return {FailureKind::NotAsWritten, 0, committed.sReason, {}};
    case CommitStatus::NotDelivered:
        return {FailureKind::CannotDeliver, 0, {}, {}};
    case CommitStatus::Exists:
        return {FailureKind::StatementExists, 0, {}, {}};
    case CommitStatus::NotPlaced:
        return {FailureKind::CannotPlace, 0, {}, committed.reason};
    case CommitStatus::Stopped:
        break;
    }
    return {FailureKind::Stopped, 0, {}, {}};
}

} // namespace qif2ldx::qif
