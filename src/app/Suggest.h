// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::app {

// The candidate closest to what the user typed, when it is close enough to be a slip: at
// most a third of its characters (and at least one) added, removed or changed, letter case
// ignored. nullopt when none is that close or sTyped is one of them.
[[nodiscard]] std::optional<std::string> ClosestMatch(const std::vector<std::string>& candidates,
                                                      std::string_view sTyped);

} // namespace qif2ldx::app
