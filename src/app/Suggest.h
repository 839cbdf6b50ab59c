// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::app {

// The candidate the user most likely meant, letter case ignored: the closest one when it is
// close enough to be a slip (at most a third of its characters, and at least one, added,
// removed or changed); otherwise, when at least three characters were typed, the shortest that
// begins with them, else the shortest that contains them. The first of equals in the
// candidates' order. nullopt when none fits or sTyped is one of them.
[[nodiscard]] std::optional<std::string> ClosestMatch(const std::vector<std::string>& candidates,
                                                      std::string_view sTyped);

// Every candidate as close as the one ClosestMatch picks, each once, in the candidates' order:
// one name when it alone is closest; empty when none fits or sTyped is one of them.
[[nodiscard]] std::vector<std::string> ClosestMatches(const std::vector<std::string>& candidates,
                                                      std::string_view sTyped);

} // namespace qif2ldx::app
