// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IProgramFolder.h"

#include <utility>

namespace qif2ldx::test {

// A program folder given from outside; for tests.
class FixedProgramFolder final : public platform::IProgramFolder
{
public:
    explicit FixedProgramFolder(std::string sFolder) : sFolder_(std::move(sFolder)) {}

    [[nodiscard]] std::string Folder() const override { return sFolder_; }

private:
    std::string sFolder_;
};

} // namespace qif2ldx::test
