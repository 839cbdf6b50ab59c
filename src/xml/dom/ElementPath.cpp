// SPDX-License-Identifier: MIT
#include "xml/dom/ElementPath.h"

#include <algorithm>

namespace qif2ldx::xml {
namespace {

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Adds one to a string of decimal digits.
std::string PlusOne(std::string_view digits)
{
    std::string result(digits);
    for (auto it = result.rbegin(); it != result.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return result;
        }
        *it = '0';
    }
    return "1" + result;
}

} // namespace

std::optional<ElementPath> ParseElementPath(std::string_view strQuery)
{
    ElementPath path;
    if (!ParseElementPath(strQuery, path)) {
        return std::nullopt;
    }
    return path;
}

bool ParseElementPath(std::string_view strQuery, ElementPath& path)
{
    std::size_t used = 0;
    std::size_t pos = 0;
    path.bolAbsolute = !strQuery.empty() && strQuery[0] == '/';
    if (path.bolAbsolute) {
        pos = 1;
    }
    while (true) {
        if (pos >= strQuery.size() || !IsNameStart(strQuery[pos])) {
            return false;
        }
        const std::size_t start = pos;
        while (pos < strQuery.size() && IsNameChar(strQuery[pos])) {
            ++pos;
        }
        if (used == path.steps.size()) {
            path.steps.emplace_back();
        }
        ElementPath::Step& step = path.steps[used++];
        step.strName.assign(strQuery.substr(start, pos - start));
        step.index.reset();
        if (pos < strQuery.size() && strQuery[pos] == '[') {
            ++pos;
            std::uint64_t index = 0;
            const std::size_t digitsStart = pos;
            while (pos < strQuery.size() && IsDigit(strQuery[pos])) {
                index = std::min(index * 10 + static_cast<std::uint64_t>(strQuery[pos] - '0'),
                                 kMaxPathIndex);
                ++pos;
            }
            if (pos == digitsStart || pos >= strQuery.size() || strQuery[pos] != ']') {
                return false;
            }
            ++pos;
            step.index = index;
        }
        if (pos == strQuery.size()) {
            path.steps.resize(used);
            return true;
        }
        if (strQuery[pos] != '/') {
            return false;
        }
        ++pos;
    }
}

std::string TranslateIndexesForXPath(std::string_view strQuery)
{
    std::string result;
    result.reserve(strQuery.size() + 4);
    std::size_t pos = 0;
    while (pos < strQuery.size()) {
        const char c = strQuery[pos];
        if (c == '"' || c == '\'') {
            const std::size_t close = strQuery.find(c, pos + 1);
            const std::size_t end = close == std::string_view::npos ? strQuery.size() : close + 1;
            result.append(strQuery.substr(pos, end - pos));
            pos = end;
            continue;
        }
        if (c == '[') {
            std::size_t inner = pos + 1;
            while (inner < strQuery.size() && strQuery[inner] == ' ') {
                ++inner;
            }
            const std::size_t digitsStart = inner;
            while (inner < strQuery.size() && IsDigit(strQuery[inner])) {
                ++inner;
            }
            const std::size_t digitsEnd = inner;
            while (inner < strQuery.size() && strQuery[inner] == ' ') {
                ++inner;
            }
            if (digitsEnd > digitsStart && inner < strQuery.size() && strQuery[inner] == ']') {
                result += '[';
                result += PlusOne(strQuery.substr(digitsStart, digitsEnd - digitsStart));
                result += ']';
                pos = inner + 1;
                continue;
            }
        }
        result += c;
        ++pos;
    }
    return result;
}

} // namespace qif2ldx::xml
