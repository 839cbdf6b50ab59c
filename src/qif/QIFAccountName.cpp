// SPDX-License-Identifier: MIT
#include "qif/QIFAccountName.h"

#include "platform/File.h"
#include "qif/CQIFFile.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "qif/QIFText.h"
#include "qif/QifAccounts.h"
#include "qif/RecordCollector.h"

namespace qif2ldx::qif {
namespace {

// Counts the accounts of the records told, as a conversion's survey does.
class AccountsSeen final : public RecordSink
{
public:
    explicit AccountsSeen(bool bolUtf8) : census_(bolUtf8) {}

    void Date(const DateLine&, const RawRecord&) override {}
    void Record(const RawRecord& record) override { census_.Note(record); }
    [[nodiscard]] const std::vector<QifAccount>& Accounts() const { return census_.Accounts(); }

private:
    QifAccountCensus census_;
};

} // namespace

std::optional<std::string> FirstAccountName(const std::string& sPath)
{
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sPath);
    if (!file) {
        return std::nullopt;
    }
    platform::Result<std::string> bytes = platform::ReadAll(file.value.Get(), kMaxQIFBytes);
    if (!bytes) {
        return std::nullopt;
    }
    try {
        const QIFText text(std::move(bytes.value));
        AccountsSeen objSeen(text.IsUtf8());
        RecordCollector objCollector(objSeen, text.Ends(), text.IsUtf8());
        QIFLines lines(text.Text(), text.EndsLinesWithCr());
        QIFLine line;
        // The first account is named by the end of its block: no need to read on.
        while (objSeen.Accounts().empty() && lines.Next(line)) {
            objCollector.HandleLine(line);
        }
        if (objSeen.Accounts().empty()) {
            objCollector.Finish();
        }
        if (!objSeen.Accounts().empty() && !objSeen.Accounts().front().sName.empty()) {
            return objSeen.Accounts().front().sName;
        }
    } catch (const QIFError&) {
        // No text, or no QIF: no account either way.
    }
    return std::nullopt;
}

} // namespace qif2ldx::qif
