// SPDX-License-Identifier: MIT
// Writes a bank and a credit-card statement with awkward texts into the folder given, for the
// real OFX readers to check: write_samples FOLDER
#include "platform/StderrMessages.h"
#include "statement/CLDXFile.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"

#include <iostream>
#include <vector>

using namespace qif2ldx;

namespace {

const std::vector<records::CQIFTx> kTransactions = {
    {"20261102", "-45.20", "1024", "", "Marks & Spencer <Food>", "", ""},
    {"20261103", "1200.00", "", "", "Caf\xC3\xA9 \xE2\x82\xAC Refund", "r\xC3\xA9sum\xC3\xA9", ""},
    {"20261104", "-3.99", "", "", "", "memo only > here", ""},
    {"20261105", "-10.00", "ABCD123456789012", "", std::string(40, 'W'), "forty", ""},
};

bool Write(const std::string& path, const records::CAcctInfo& account)
{
    platform::StderrMessages messages;
    test::FixedProgramFolder folder("/tmp");
    test::FixedClock clock({2026, 12, 7});
    statement::CLDXFile file(messages, folder, clock);
    if (!file.CreateFile(path)) {
        return false;
    }
    file.WriteOFXStandardInfo(account);
    for (const auto& txn : kTransactions) {
        file.WriteOFXTrans(txn, account);
    }
    file.InsertSTMTStartEndDate(account, "20261102", "20261105");
    file.InsertLEDGERBAL(account, "20261105");
    return file.SaveFile() &&
           file.Commit({.bolReplace = true}).status == statement::CommitStatus::Committed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: write_samples FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok =
        Write(folder + "/bank.LDX",
              {"Everyday", "CHECKING", "USD", "12345678", "062000", "10001"}) &&
        Write(folder + "/card.LDX", {"Visa", "CREDIT", "GBP", "4000123412341234", "", "20002"});
    return ok ? 0 : 1;
}
