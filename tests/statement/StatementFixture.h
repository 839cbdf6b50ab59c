// SPDX-License-Identifier: MIT
#pragma once

#include "statement/CLDXFile.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

namespace qif2ldx::test {

inline const std::string kHeader = "OFXHEADER: 100\r\nDATA: OFXSGML\r\nVERSION: 102\r\n"
                                   "SECURITY: NONE\r\nENCODING: USASCII\r\nCHARSET: 1252\r\n"
                                   "COMPRESSION: NONE\r\nOLDFILEUID: NONE\r\nNEWFILEUID: NONE\r\n";

inline records::CAcctInfo BankAccount()
{
    return {"Everyday", "CHECKING", "USD", "12345678", "062000", "10001"};
}

inline records::CAcctInfo CardAccount()
{
    records::CAcctInfo account = BankAccount();
    account.AcctType = "CREDIT";
    return account;
}

// Writes statements with the clock at 7 December 2026 into a temporary folder.
class StatementFixture : public ::testing::Test
{
protected:
    // The whole run as the converter drives it, the statement placed at path; returns SaveFile's
    // result.
    bool WriteStatement(const records::CAcctInfo& account, const std::vector<records::CQIFTx>& txns,
                        const std::string& start, const std::string& end)
    {
        statement::CLDXFile file(messages, folder, clock);
        file.SetProfile(*profile);
        if (!file.CreateFile(path)) {
            return false;
        }
        file.WriteOFXStandardInfo(account);
        for (const auto& txn : txns) {
            file.WriteOFXTrans(txn, account);
        }
        file.InsertSTMTStartEndDate(account, start, end);
        file.InsertLEDGERBAL(account, end);
        if (!file.SaveFile()) {
            verified = "not saved";
            return false;
        }
        const statement::CommitResult committed = file.Commit({.bolReplace = true});
        if (committed.status == statement::CommitStatus::NotAsWritten) {
            verified = committed.sReason;
        }
        return committed.status == statement::CommitStatus::Committed;
    }

    // The statement body between the header and the final CR LF.
    std::string Body() const
    {
        const std::string bytes = ReadBytes(path);
        const std::string_view header = profile->sHeader;
        EXPECT_EQ(bytes.substr(0, header.size()), header);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        return bytes.substr(header.size(), bytes.size() - header.size() - 2);
    }

    TempDir dir;
    std::string path = dir.File("statement.LDX");
    test::MessageRecorder messages;
    test::FixedProgramFolder folder{dir.Path().string()};
    test::FixedClock clock{{2026, 12, 7}};
    const statement::StatementProfile* profile = &statement::kLodestrandProfile;
    std::optional<std::string> verified; // the read-back's difference, when WriteStatement failed
};

} // namespace qif2ldx::test
