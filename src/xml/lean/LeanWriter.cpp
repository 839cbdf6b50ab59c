// SPDX-License-Identifier: MIT
#include "xml/lean/LeanWriter.h"

#include "platform/File.h"
#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace qif2ldx::xml::lean {
namespace {

// Bytes of text content that are not copied as they are: the four that are escaped, and every
// byte beyond ASCII (written in the file's code page).
constexpr std::array<bool, 256> kTextSpecial = [] {
    std::array<bool, 256> table{};
    for (std::size_t byte = 0x80; byte < table.size(); ++byte) {
        table[byte] = true;
    }
    for (const unsigned char byte : {'&', '<', '>', '\r'}) {
        table[byte] = true;
    }
    return table;
}();

// The reference that stands for an ASCII byte in an attribute value; nullptr for a byte written
// as it is. Text escapes a few of them, kTextSpecial's.
const char* Reference(char c)
{
    switch (c) {
    case '\n':
        return "&#10;";
    case '\r':
        return "&#13;";
    case '\t':
        return "&#9;";
    case '"':
        return "&quot;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    default:
        return nullptr;
    }
}

// Where the bytes go: a string as UTF-8, or a file in its character set in large pieces. Bytes
// gather in a buffer of its own, which is far cheaper to append to than a string.
class Sink
{
public:
    explicit Sink(std::string& text) : text_(&text) { Resize(kFirstText); }
    Sink(int fd, Charset charset) : fd_(fd), bolAnsi_(charset == Charset::Windows1252)
    {
        Resize(kPiece + kSlack);
    }

    // Bytes already in the output's form (ASCII markup is the same in both).
    void Raw(std::string_view bytes)
    {
        if (bytes.empty()) {
            return; // an empty view may hold no address at all
        }
        Reserve(bytes.size());
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void Raw(char byte)
    {
        Reserve(1);
        buffer_[used_++] = byte;
    }

    // UTF-8 text without markup characters.
    void Utf8(std::string_view text)
    {
        if (!bolAnsi_) {
            Raw(text);
        } else {
            Raw(Encoded(text));
        }
    }

    // The UTF-8 text as Utf8 writes it.
    [[nodiscard]] std::string Encoded(std::string_view text) const
    {
        std::string encoded;
        if (!bolAnsi_) {
            encoded.assign(text);
        } else {
            platform::AppendUtf8AsAnsiXml(text, encoded);
        }
        return encoded;
    }

    void Text(std::string_view text)
    {
        std::size_t start = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            const auto byte = static_cast<unsigned char>(text[pos]);
            if (!kTextSpecial[byte]) {
                ++pos;
                continue;
            }
            Raw(text.substr(start, pos - start));
            if (byte < 0x80) {
                Raw(Reference(text[pos]));
                start = ++pos;
                continue;
            }
            std::size_t end = pos + 1;
            while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) {
                ++end;
            }
            Utf8(text.substr(pos, end - pos));
            start = pos = end;
        }
        Raw(text.substr(start));
    }

    void AttributeValue(std::string_view value, bool bolEncodingKnown)
    {
        std::size_t pos = 0;
        while (pos < value.size()) {
            const char c = value[pos];
            if (static_cast<unsigned char>(c) >= 0x80) {
                const platform::Utf8Char decoded = platform::DecodeUtf8(value, pos);
                if (bolEncodingKnown) {
                    Utf8(value.substr(pos, decoded.length));
                } else { // a hexadecimal reference in upper case, as libxml2 writes it
                    char reference[16];
                    const int length = std::snprintf(reference, sizeof reference, "&#x%X;",
                                                     static_cast<unsigned>(decoded.cp));
                    Raw(std::string_view(reference, static_cast<std::size_t>(length)));
                }
                pos += decoded.length;
                continue;
            }
            const char* reference = Reference(c);
            if (reference != nullptr) {
                Raw(reference);
            } else {
                Raw(c);
            }
            ++pos;
        }
    }

    // Writes what gathered to the file once there is enough of it; at the end, everything (to
    // the string too).
    void Flush(bool bolAll)
    {
        if (fd_ < 0) {
            if (bolAll) {
                text_->assign(buffer_.get(), used_);
            }
            return;
        }
        if (bolAll || used_ >= kPiece) {
            if (written_) {
                written_ = platform::WriteAll(fd_, std::string_view(buffer_.get(), used_));
            }
            used_ = 0;
        }
    }

    // Whether every byte reached the file, and why not.
    [[nodiscard]] const platform::Done& Written() const { return written_; }

private:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;
    static constexpr std::size_t kSlack = std::size_t{1} << 16;
    static constexpr std::size_t kFirstText = 256; // most markup asked for is one element's

    void Reserve(std::size_t size)
    {
        if (used_ + size > size_) {
            Grow(size);
        }
    }

    void Grow(std::size_t size)
    {
        if (fd_ >= 0) {
            Flush(true);
        }
        if (used_ + size > size_) {
            Resize(std::max(2 * size_, used_ + size));
        }
    }

    // Left uninitialised: only what is written is ever touched.
    void Resize(std::size_t size)
    {
        auto buffer = std::make_unique_for_overwrite<char[]>(size);
        if (used_ > 0) {
            std::memcpy(buffer.get(), buffer_.get(), used_);
        }
        buffer_ = std::move(buffer);
        size_ = size;
    }

    std::string* text_ = nullptr;
    int fd_ = -1;
    bool bolAnsi_ = false; // Windows-1252, a character it cannot hold as a reference
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t used_ = 0;
    platform::Done written_;
};

class Writer
{
public:
    Writer(const LeanTree& tree, Sink& sink)
        : tree_(tree), sink_(sink), open_(tree.NameCount()), close_(tree.NameCount())
    {}

    void Document(const char* sEncoding);
    void Subtree(NodeId top);

private:
    void Leaf(NodeId node);
    void StartTag(NodeId element);
    void EndTag(NodeId element);
    void CData(std::string_view content);
    void CDataSection(std::string_view part);

    const LeanTree& tree_;
    Sink& sink_;
    // Each name's start ("<NAME") and end tag as written, made when first needed.
    std::vector<std::string> open_;
    std::vector<std::string> close_;
};

void Writer::Document(const char* sEncoding)
{
    const DocumentFacts& facts = tree_.Facts();
    if (facts.lngStandalone != -1) {
        sink_.Raw("<?xml version=\"");
        sink_.Utf8(facts.sVersion);
        sink_.Raw("\"");
        if (std::string_view(sEncoding) != "UTF-8") {
            sink_.Raw(" encoding=\"");
            sink_.Raw(sEncoding);
            sink_.Raw("\"");
        }
        if (facts.lngStandalone >= 0) {
            sink_.Raw(facts.lngStandalone == 1 ? " standalone=\"yes\"" : " standalone=\"no\"");
        }
        sink_.Raw("?>\r\n");
    }
    for (NodeId child = tree_.FirstChild(LeanTree::kDocument); child != kNoNode;
         child = tree_.Next(child)) {
        Subtree(child);
        sink_.Raw("\r\n");
    }
}

void Writer::Subtree(NodeId top)
{
    if (tree_.Kind(top) == NodeKind::Document) {
        Document("UTF-8");
        return;
    }
    // Iterative, so that no depth of nesting can exhaust the stack.
    NodeId node = top;
    while (true) {
        if (tree_.Kind(node) != NodeKind::Element) {
            Leaf(node);
        } else {
            StartTag(node);
            if (tree_.FirstChild(node) != kNoNode) {
                node = tree_.FirstChild(node);
                continue;
            }
            EndTag(node);
        }
        while (node != top && tree_.Next(node) == kNoNode) {
            node = tree_.Parent(node);
            EndTag(node);
        }
        if (node == top) {
            return;
        }
        node = tree_.Next(node);
        sink_.Flush(false);
    }
}

void Writer::Leaf(NodeId node)
{
    const std::string_view content = tree_.Content(node);
    switch (tree_.Kind(node)) {
    case NodeKind::CData:
        CData(content);
        return;
    case NodeKind::Comment:
        sink_.Raw("<!--");
        sink_.Utf8(content);
        sink_.Raw("-->");
        return;
    case NodeKind::ProcessingInstruction:
        sink_.Raw("<?");
        sink_.Utf8(tree_.Name(tree_.NameOf(node)));
        if (!content.empty()) {
            sink_.Raw(' ');
            sink_.Utf8(content);
        }
        sink_.Raw("?>");
        return;
    case NodeKind::DocumentType:
        sink_.Utf8(content);
        return;
    case NodeKind::EntityReference:
        sink_.Raw('&');
        sink_.Utf8(tree_.Name(tree_.NameOf(node)));
        sink_.Raw(';');
        return;
    case NodeKind::Attribute:
        sink_.Raw(' ');
        sink_.Utf8(tree_.Name(tree_.NameOf(node)));
        sink_.Raw("=\"");
        sink_.AttributeValue(content, tree_.Facts().vntEncoding.has_value());
        sink_.Raw('"');
        return;
    default:
        sink_.Text(content);
        return;
    }
}

void Writer::StartTag(NodeId element)
{
    const NameId name = tree_.NameOf(element);
    if (open_[name].empty()) {
        open_[name] = "<" + sink_.Encoded(tree_.Name(name));
    }
    sink_.Raw(open_[name]);
    for (NodeId attribute = tree_.FirstAttribute(element); attribute != kNoNode;
         attribute = tree_.Next(attribute)) {
        Leaf(attribute);
    }
    sink_.Raw('>');
}

void Writer::EndTag(NodeId element)
{
    const NameId name = tree_.NameOf(element);
    if (close_[name].empty()) {
        close_[name] = "</" + sink_.Encoded(tree_.Name(name)) + ">";
    }
    sink_.Raw(close_[name]);
}

void Writer::CData(std::string_view content)
{
    // A "]]>" inside ends one section after its "]]" and starts the next with its ">".
    std::size_t start = 0;
    for (std::size_t cut = content.find("]]>"); cut != std::string_view::npos;
         cut = content.find("]]>", start)) {
        CDataSection(content.substr(start, cut + 2 - start));
        start = cut + 2;
    }
    CDataSection(content.substr(start));
}

void Writer::CDataSection(std::string_view part)
{
    sink_.Raw("<![CDATA[");
    sink_.Utf8(part);
    sink_.Raw("]]>");
}

} // namespace

std::string WriteText(const LeanTree& tree, NodeId node)
{
    std::string text;
    Sink sink(text);
    Writer(tree, sink).Subtree(node);
    sink.Flush(true);
    return text;
}

std::optional<Charset> FindCharset(std::string_view sName)
{
    const std::string upper = platform::ToUpperAscii(sName);
    if (upper == "UTF-8") {
        return Charset::Utf8;
    }
    if (upper == "WINDOWS-1252") {
        return Charset::Windows1252;
    }
    return std::nullopt;
}

platform::Done WriteFile(const LeanTree& tree, int fd, Charset charset)
{
    Sink sink(fd, charset);
    Writer(tree, sink).Document(charset == Charset::Utf8 ? "UTF-8" : "windows-1252");
    sink.Flush(true);
    return sink.Written();
}

} // namespace qif2ldx::xml::lean
