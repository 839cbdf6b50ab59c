// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::xml {

// A plain element path: names separated by "/", each optionally followed by an index in square
// brackets that counts from 0. Everything else goes to XPath.
struct ElementPath
{
    struct Step
    {
        std::string strName;
        // The wanted position among like-named siblings; nullopt keeps them all.
        std::optional<std::uint64_t> index;
    };

    bool bolAbsolute = false; // starts at the document, not at the root element
    std::vector<Step> steps;
};

// Largest index kept as written; bigger ones are clamped (no document has that many siblings).
inline constexpr std::uint64_t kMaxPathIndex = 1'000'000'000'000ULL;

// The path, or nullopt when the query is not a plain element path.
[[nodiscard]] std::optional<ElementPath> ParseElementPath(std::string_view strQuery);
// The same into path, reusing the room it has (a builder reads a new path for each record);
// false, leaving path of no use, when the query is not a plain element path.
[[nodiscard]] bool ParseElementPath(std::string_view strQuery, ElementPath& path);

// The query with every predicate that is just a whole number n rewritten as n + 1, so that
// XPath, which counts from 1, selects what the program's language (counting from 0) means.
// String literals are left alone.
[[nodiscard]] std::string TranslateIndexesForXPath(std::string_view strQuery);

} // namespace qif2ldx::xml
