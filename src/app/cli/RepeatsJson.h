// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <nlohmann/json.hpp>

namespace qif2ldx::app::cli {

// The receipt's "repeats" object: what the history held of the file (the repeats, whether they
// were left out, the statements they are in, the possible repeats, the same file made before);
// null when the run did not look (--no-history).
[[nodiscard]] nlohmann::json RepeatsJson(const ConversionOutcome& objOutcome);

} // namespace qif2ldx::app::cli
