// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace qif2ldx::fuzz {

// A scratch folder for the files a target needs, one per process.
inline const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/qif2ldx-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

inline std::string ScratchFile(const std::string& name)
{
    return ScratchFolder() + "/" + name;
}

inline void WriteFile(const std::string& path, std::string_view bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::abort();
    }
    std::fclose(file);
}

// Reads the fuzzer's bytes as a sequence of small numbers and strings.
class Reader
{
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), size)
    {}

    [[nodiscard]] bool Empty() const { return pos_ >= text_.size(); }

    std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(text_[pos_++]); }

    // A string up to the next NUL byte (or the end).
    std::string String()
    {
        if (Empty()) {
            return {};
        }
        const std::size_t end = std::min(text_.find('\0', pos_), text_.size());
        std::string result(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return result;
    }

    std::string_view Rest()
    {
        const std::string_view rest = Empty() ? std::string_view() : text_.substr(pos_);
        pos_ = text_.size();
        return rest;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace qif2ldx::fuzz
