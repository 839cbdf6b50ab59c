// SPDX-License-Identifier: MIT
#pragma once

#include "qif/CQIFFile.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace qif2ldx::test {

inline const records::CAcctInfo kAccount{"Everyday", "CHECKING", "USD",
                                         "12345678", "062000",   "10001"};

// Converts QIF text with CQIFFile into a statement in a folder of its own, with the options
// given (a statement at the path is replaced) and the dates' question answered yes and counted.
class ConversionFixture : public ::testing::Test
{
protected:
    ConversionFixture() { options.bolReplace = true; }

    // Converts the QIF bytes; the statement, if saved, is at ldx.
    bool Convert(const std::string& bytes)
    {
        WriteBytes(qifPath, bytes);
        qif::CQIFFile file(messages, folder, clock);
        if (!file.OpenFile(qifPath)) {
            return false;
        }
        file.SetOptions(options);
        file.SetChooseDateOrder([this](const qif::DateDecision& decision) {
            // The order is a guess where the file alone decided it against day first, or it
            // reads two ways: that is what a person would be asked about.
            if (decision.source == qif::DateSource::File &&
                (decision.bolAmbiguous || decision.order != qif::DateOrder::DayFirst)) {
                ++asked;
            }
            return answerOrder ? qif::DateChoice{*answerOrder, qif::DateSource::Asked}
                               : qif::DateChoice{decision.order, decision.source};
        });
        file.SetChooseQifAccount(chooseAccount);
        const bool ok = file.ConvertQIFtoLDX(ldx, kAccount);
        report = file.Report();
        failure = file.Failure();
        return ok;
    }

    // The statement's transactions, each as the groups of the pattern joined by blanks.
    std::vector<std::string> Matches(const std::string& sPattern) const
    {
        const std::string body = ReadBytes(ldx);
        const std::regex pattern(sPattern);
        std::vector<std::string> found;
        for (auto it = std::sregex_iterator(body.begin(), body.end(), pattern);
             it != std::sregex_iterator(); ++it) {
            std::string joined;
            for (std::size_t i = 1; i < it->size(); ++i) {
                joined += (i == 1 ? "" : " ") + (*it)[i].str();
            }
            found.push_back(joined);
        }
        return found;
    }

    TempDir dir;
    std::string qifPath = dir.File("in.qif");
    std::string ldx = dir.File("out.LDX");
    test::MessageRecorder messages;
    test::FixedProgramFolder folder{dir.Path().string()};
    test::FixedClock clock{{2026, 12, 7}};
    qif::ConversionOptions options;
    qif::ReadReport report;
    qif::ConversionFailure failure;
    int asked = 0; // how often the dates' order was a guess a person would be asked about
    qif::ChooseQifAccount chooseAccount;       // which QIF account to read; none: all
    std::optional<qif::DateOrder> answerOrder; // the order chosen for the dates; none: as decided
};

} // namespace qif2ldx::test
