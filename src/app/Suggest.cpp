// SPDX-License-Identifier: MIT
#include "app/Suggest.h"

#include <algorithm>
#include <cctype>

namespace qif2ldx::app {
namespace {

char Lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The number of single characters added, removed or changed, or of neighbours swapped, that
// turn one text into the other.
std::size_t EditDistance(std::string_view sFirst, std::string_view sSecond)
{
    const std::size_t width = sSecond.size() + 1;
    std::vector<std::size_t> cost((sFirst.size() + 1) * width);
    const auto at = [&cost, width](std::size_t i, std::size_t j) -> std::size_t& {
        return cost[i * width + j];
    };
    for (std::size_t i = 0; i <= sFirst.size(); ++i) {
        for (std::size_t j = 0; j <= sSecond.size(); ++j) {
            if (i == 0 || j == 0) {
                at(i, j) = i + j;
                continue;
            }
            const bool same = Lower(sFirst[i - 1]) == Lower(sSecond[j - 1]);
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + !same});
            if (i > 1 && j > 1 && Lower(sFirst[i - 1]) == Lower(sSecond[j - 2]) &&
                Lower(sFirst[i - 2]) == Lower(sSecond[j - 1])) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(sFirst.size(), sSecond.size());
}

// The fewest characters typed that a candidate beginning with or containing them is worth
// suggesting for: fewer match too much to mean anything.
constexpr std::size_t kMinHeld = 3;

std::string Lowered(std::string_view sText)
{
    std::string sLower(sText);
    std::transform(sLower.begin(), sLower.end(), sLower.begin(), Lower);
    return sLower;
}

// Keeps sCandidate when it ranks as well as those kept (rank: lower is closer), dropping them
// when it ranks better.
void Keep(std::vector<std::string>& best, std::size_t& bestRank, const std::string& sCandidate,
          std::size_t rank)
{
    if (rank < bestRank) {
        best.clear();
        bestRank = rank;
    }
    if (rank == bestRank && std::find(best.begin(), best.end(), sCandidate) == best.end()) {
        best.push_back(sCandidate);
    }
}

// The shortest candidates that hold sLowerTyped (in lower case) at their start, or anywhere.
std::vector<std::string> ShortestHolding(const std::vector<std::string>& candidates,
                                         const std::string& sLowerTyped, bool bolAtStart)
{
    std::vector<std::string> best;
    std::size_t bestLength = std::string::npos;
    for (const std::string& sCandidate : candidates) {
        const std::size_t at = Lowered(sCandidate).find(sLowerTyped);
        if (bolAtStart ? at == 0 : at != std::string::npos) {
            Keep(best, bestLength, sCandidate, sCandidate.size());
        }
    }
    return best;
}

} // namespace

std::optional<std::string> ClosestMatch(const std::vector<std::string>& candidates,
                                        std::string_view sTyped)
{
    std::vector<std::string> matches = ClosestMatches(candidates, sTyped);
    if (matches.empty()) {
        return std::nullopt;
    }
    return std::move(matches.front());
}

std::vector<std::string> ClosestMatches(const std::vector<std::string>& candidates,
                                        std::string_view sTyped)
{
    const std::size_t allowed = std::max<std::size_t>(1, sTyped.size() / 3);
    std::vector<std::string> best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& sCandidate : candidates) {
        if (sCandidate == sTyped) {
            return {};
        }
        const std::size_t distance = EditDistance(sCandidate, sTyped);
        if (distance <= allowed) {
            Keep(best, bestDistance, sCandidate, distance);
        }
    }
    if (!best.empty() || sTyped.size() < kMinHeld) {
        return best;
    }
    const std::string sLowerTyped = Lowered(sTyped);
    if (auto begun = ShortestHolding(candidates, sLowerTyped, true); !begun.empty()) {
        return begun;
    }
    return ShortestHolding(candidates, sLowerTyped, false);
}

} // namespace qif2ldx::app
