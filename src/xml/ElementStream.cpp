// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include "platform/File.h"
#include "platform/Text.h"
#include "platform/Windows1252.h"
#include "xml/libxml/ElementReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <strings.h>

namespace qif2ldx::xml {
namespace {

// Reads with the chunk source, which notes in bolUnreadable when the bytes could not be had.
StreamResult Stream(const libxml::ChunkSource& read, const bool& bolUnreadable,
                    const char* sEncoding, IElementVisitor& objVisitor)
{
    StreamResult result;
    if (!libxml::ReadElements(
            read, sEncoding, [&](const std::string_view sName) { objVisitor.StartElement(sName); },
            [&](const std::string_view sText) { objVisitor.Text(sText); },
            [&](const std::string_view sName) { objVisitor.EndElement(sName); }, result.sReason)) {
        result.status = bolUnreadable ? stsUnreadable : stsNotWellFormed;
    }
    return result;
}

// Decodes Windows-1252 into out (room for three bytes a byte): runs of ASCII are copied as they
// are, the rest goes through the program's table. Returns the bytes written.
std::size_t DecodeWindows1252(std::string_view in, char* out)
{
    std::size_t written = 0;
    while (!in.empty()) {
        const std::size_t ascii = platform::AsciiPrefixLength(in);
        std::memcpy(out + written, in.data(), ascii);
        written += ascii;
        in.remove_prefix(ascii);
        std::size_t high = 0;
        while (high < in.size() && (in[high] & 0x80) != 0) {
            ++high;
        }
        std::size_t consumed = 0;
        written += platform::AnsiToUtf8Piece(in.substr(0, high), out + written, 3 * high, consumed);
        in.remove_prefix(consumed);
    }
    return written;
}

// Reads the file open on fd from offset in large pieces for the parser, which asks for a few
// kilobytes at a time. A Windows-1252 document without an XML declaration, such as every
// statement, is decoded here, where runs of ASCII are merely copied, and handed on as UTF-8:
// the parser's own decoding takes several times longer.
class FileSource
{
public:
    FileSource(int fd, std::uint64_t offset, const char* sEncoding)
        : fd_(fd), offset_(offset), piece_(std::make_unique_for_overwrite<char[]>(kPiece)),
          decoded_(std::make_unique_for_overwrite<char[]>(3 * kPiece))
    {
        const bool bolWindows1252 =
            sEncoding != nullptr && ::strcasecmp(sEncoding, "windows-1252") == 0;
        if (bolWindows1252 && Fill() && length_ > 0 && piece_[0] == '<' &&
            std::string_view(piece_.get(), length_).substr(0, 5) != "<?xml") {
            bolDecode_ = true;
            Decode();
        }
    }

    // The encoding the parser is to read the bytes in.
    [[nodiscard]] const char* Encoding(const char* sEncoding) const
    {
        return bolDecode_ ? nullptr : sEncoding;
    }
    [[nodiscard]] bool Unreadable() const { return bolUnreadable_; }
    [[nodiscard]] const bool& UnreadableFlag() const { return bolUnreadable_; }

    std::optional<std::size_t> Read(char* buffer, std::size_t size)
    {
        if (taken_ == PieceLength()) {
            if (!Fill()) {
                return std::nullopt;
            }
            if (bolDecode_) {
                Decode();
            }
        }
        const std::size_t given = std::min(size, PieceLength() - taken_);
        std::memcpy(buffer, (bolDecode_ ? decoded_.get() : piece_.get()) + taken_, given);
        taken_ += given;
        return given;
    }

private:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;

    // How many bytes of the current piece go to the parser: decoded ones when it is decoded.
    [[nodiscard]] std::size_t PieceLength() const { return bolDecode_ ? decodedLength_ : length_; }

    // Reads the next piece; false when the file cannot be read.
    bool Fill()
    {
        const platform::Result<std::size_t> got =
            platform::ReadSomeAt(fd_, piece_.get(), kPiece, offset_);
        if (!got) {
            bolUnreadable_ = true;
            return false;
        }
        offset_ += got.value;
        length_ = got.value;
        taken_ = 0;
        return true;
    }

    void Decode()
    {
        decodedLength_ = DecodeWindows1252(std::string_view(piece_.get(), length_), decoded_.get());
    }

    int fd_;
    std::uint64_t offset_;
    // Left uninitialised: a small file touches only the little of them that it fills.
    std::unique_ptr<char[]> piece_;
    std::unique_ptr<char[]> decoded_;
    std::size_t length_ = 0;
    std::size_t decodedLength_ = 0;
    std::size_t taken_ = 0;
    bool bolDecode_ = false;
    bool bolUnreadable_ = false;
};

} // namespace

StreamResult StreamElements(std::string_view bytes, const char* sEncoding,
                            IElementVisitor& objVisitor)
{
    const bool bolUnreadable = false;
    return Stream(
        [&bytes, &objVisitor](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            if (objVisitor.Stop()) {
                return std::nullopt;
            }
            const std::size_t taken = std::min(size, bytes.size());
            std::memcpy(buffer, bytes.data(), taken);
            bytes.remove_prefix(taken);
            return taken;
        },
        bolUnreadable, sEncoding, objVisitor);
}

StreamResult StreamFileElements(int fd, std::uint64_t offset, const char* sEncoding,
                                IElementVisitor& objVisitor)
{
    FileSource source(fd, offset, sEncoding);
    if (source.Unreadable()) {
        return {stsUnreadable, "the file cannot be read"};
    }
    return Stream(
        [&source, &objVisitor](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            if (objVisitor.Stop()) {
                return std::nullopt;
            }
            return source.Read(buffer, size);
        },
        source.UnreadableFlag(), source.Encoding(sEncoding), objVisitor);
}

} // namespace qif2ldx::xml
