// SPDX-License-Identifier: MIT
#include "statement/OfxReader.h"

#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "xml/ElementStream.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <vector>

namespace qif2ldx::statement {
namespace {

// What the body's bytes are declared to be.
enum class Charset
{
    Ascii,
    Latin1,
    Windows1252,
    Utf8
};

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::int64_t LineAt(std::string_view bytes, std::size_t pos)
{
    return 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(pos), '\n');
}

bool Fits(Charset charset, std::string_view text, std::size_t& pos)
{
    const auto byte = static_cast<unsigned char>(text[pos]);
    switch (charset) {
    case Charset::Ascii:
        return byte < 0x80;
    case Charset::Latin1:
        return byte < 0x80 || byte >= 0xA0;
    case Charset::Windows1252:
        return byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D;
    case Charset::Utf8:
        if (byte < 0x80) {
            return true;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        pos += c.length - 1;
        return c.bolValid;
    }
    return true;
}

// Reports, per element, the first byte of its text that does not fit the character set.
void ScanBytes(std::string_view body, Charset charset, IOfxVisitor& objVisitor)
{
    std::int64_t transactions = 0;
    std::int64_t current = 0;
    std::string sElement;
    bool reported = false;
    for (std::size_t pos = 0; pos < body.size(); ++pos) {
        if (body[pos] == '<') {
            std::size_t end = pos + 1;
            while (end < body.size() && body[end] != '>' && !IsBlank(body[end])) {
                ++end;
            }
            const std::string sTag = Upper(body.substr(pos + 1, end - pos - 1));
            if (sTag == "STMTTRN") {
                current = ++transactions;
            } else if (sTag == "/STMTTRN") {
                current = 0;
            }
            if (!sTag.empty() && sTag[0] != '/') {
                sElement = sTag;
                reported = false;
            }
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(body[pos]);
        if (!Fits(charset, body, pos) && !reported) {
            objVisitor.StrayByte({current, sElement, byte});
            reported = true;
        }
    }
}

// The character set an OFX 1.x header declares; Windows-1252 when it names none this reader
// knows (the header's own hazards are reported as such).
Charset DeclaredCharset(const std::string& sEncoding, const std::string& sCharset)
{
    if (sEncoding == "UTF-8" || sEncoding == "UNICODE") {
        return Charset::Utf8;
    }
    if (sCharset == "NONE" || sCharset.empty()) {
        return Charset::Ascii;
    }
    if (sCharset == "ISO-8859-1" || sCharset == "8859-1") {
        return Charset::Latin1;
    }
    return Charset::Windows1252;
}

Charset XmlCharset(const std::string& sEncoding)
{
    if (sEncoding == "US-ASCII" || sEncoding == "ASCII") {
        return Charset::Ascii;
    }
    if (sEncoding == "ISO-8859-1" || sEncoding == "LATIN1") {
        return Charset::Latin1;
    }
    if (sEncoding == "WINDOWS-1252" || sEncoding == "CP1252") {
        return Charset::Windows1252;
    }
    return Charset::Utf8;
}

// Resolves the entities of SGML text (already UTF-8); an unknown one stays as written.
std::string ResolveEntities(std::string_view text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const std::size_t semicolon = text[pos] == '&' ? text.find(';', pos) : std::string::npos;
        if (semicolon == std::string::npos || semicolon - pos > 10) {
            out += text[pos];
            continue;
        }
        const std::string_view name = text.substr(pos + 1, semicolon - pos - 1);
        char32_t cp = 0;
        if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
            cp = name == "amp"    ? '&'
                 : name == "lt"   ? '<'
                 : name == "gt"   ? '>'
                 : name == "quot" ? '"'
                                  : '\'';
        } else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            for (const char c : name.substr(hex ? 2 : 1)) {
                const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                  : hex && std::isxdigit(static_cast<unsigned char>(c))
                                      ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                      : -1;
                if (digit < 0 || cp > 0x10FFFF) {
                    cp = 0;
                    break;
                }
                cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            }
        }
        if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += text[pos];
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
        pos = semicolon;
    }
    return out;
}

// The open elements of a body and the leaves they close into; shared by both forms.
class LeafBuilder
{
public:
    explicit LeafBuilder(IOfxVisitor& objVisitor) : objVisitor_(objVisitor) {}

    // Far deeper than any statement nests: more is no statement, and would make every end tag
    // search further.
    static constexpr std::size_t kMaxDepth = 1000;

    // False when the element would nest deeper than kMaxDepth.
    [[nodiscard]] bool Start(const std::string& sName)
    {
        if (!open_.empty() && !open_.back().bolChildren && !Trim(open_.back().sText).empty()) {
            Close(true); // SGML: an element with text ends where the next one starts
        }
        if (!open_.empty()) {
            open_.back().bolChildren = true;
        }
        bolSeenOfx_ = bolSeenOfx_ || sName == "OFX";
        open_.push_back({sName, {}, false});
        ++openNames_[sName];
        if (sName == "STMTTRN") {
            current_ = ++transactions_;
        }
        return open_.size() <= kMaxDepth;
    }

    void SelfClosed(const std::string& sName)
    {
        static_cast<void>(Start(sName)); // closed at once: it nests nothing
        Emit(open_.back(), LeafForm::SelfClosed);
        Pop();
    }

    void Text(std::string_view sText)
    {
        if (!open_.empty()) {
            open_.back().sText += sText;
        }
    }

    // An end tag: the elements still open inside it end without theirs. One that matches no
    // open element is ignored.
    void End(const std::string& sName)
    {
        if (const auto open = openNames_.find(sName);
            open == openNames_.end() || open->second == 0) {
            return; // at once, however deep the open elements go
        }
        const auto match = std::find_if(open_.rbegin(), open_.rend(),
                                        [&](const Open& open) { return open.sName == sName; });
        if (match == open_.rend()) {
            return;
        }
        const auto depth = static_cast<std::size_t>(open_.rend() - match);
        while (open_.size() > depth) {
            Close(true);
        }
        Close(false);
    }

    // The end of the body: what is still open ends there.
    void Finish()
    {
        while (!open_.empty()) {
            if (open_.back().bolChildren) {
                Pop(); // an aggregate cut short
            } else {
                Close(true);
            }
        }
    }

    [[nodiscard]] bool SeenOfx() const { return bolSeenOfx_; }

private:
    struct Open
    {
        std::string sName;
        std::string sText;
        bool bolChildren;
    };

    void Close(bool bolImplicit)
    {
        Open& top = open_.back();
        const bool bolText = !Trim(top.sText).empty();
        if (bolText && !top.bolChildren) {
            Emit(top, LeafForm::Text);
        } else if (bolImplicit) {
            Emit(top, LeafForm::NoEndTag); // in OFX only elements that hold text may lack one
        } else if (!top.bolChildren) {
            Emit(top, LeafForm::EndTagOnly);
        }
        if (top.sName == "STMTTRN") {
            current_ = 0;
        }
        Pop();
    }

    void Pop()
    {
        --openNames_[open_.back().sName];
        open_.pop_back();
    }

    void Emit(const Open& open, LeafForm form)
    {
        objVisitor_.Leaf(
            {open.sName, open.bolChildren ? std::string_view() : open.sText, current_, form});
    }

    IOfxVisitor& objVisitor_;
    std::vector<Open> open_;
    std::unordered_map<std::string, std::size_t> openNames_; // how many of each name are open
    std::int64_t transactions_ = 0;
    std::int64_t current_ = 0;
    bool bolSeenOfx_ = false;
};

bool ReadSgmlBody(std::string_view body, Charset charset, LeafBuilder& objBuilder,
                  std::string& sError)
{
    std::size_t pos = 0;
    while (pos < body.size()) {
        if (body[pos] != '<') {
            const std::size_t next = std::min(body.find('<', pos), body.size());
            const std::string_view raw = body.substr(pos, next - pos);
            objBuilder.Text(ResolveEntities(charset == Charset::Utf8
                                                ? platform::DecodeFileText(raw, true)
                                                : platform::AnsiToUtf8(raw)));
            pos = next;
            continue;
        }
        const bool comment = body.substr(pos, 4) == "<!--";
        const std::size_t end = comment ? body.find("-->", pos) : body.find('>', pos);
        if (end == std::string_view::npos) {
            sError = "a tag that starts on line " + std::to_string(LineAt(body, pos)) +
                     " of the body never ends";
            return false;
        }
        const std::string_view tag = body.substr(pos + 1, end - pos - 1);
        pos = end + (comment ? 3 : 1);
        if (comment || tag.empty() || tag[0] == '?' || tag[0] == '!') {
            continue;
        }
        if (tag[0] == '/') {
            objBuilder.End(Upper(Trim(tag.substr(1))));
            continue;
        }
        const bool bolSelfClosed = tag.back() == '/';
        std::string_view name = tag.substr(0, bolSelfClosed ? tag.size() - 1 : tag.size());
        name = Trim(name.substr(0, std::min(name.find_first_of(" \t\r\n"), name.size())));
        if (bolSelfClosed) {
            objBuilder.SelfClosed(Upper(name));
        } else if (!objBuilder.Start(Upper(name))) {
            sError = "elements nest deeper than " + std::to_string(LeafBuilder::kMaxDepth);
            return false;
        }
    }
    objBuilder.Finish();
    return true;
}

// Hands the libxml2 reader's events to the leaf builder.
class XmlLeaves final : public xml::IElementVisitor
{
public:
    explicit XmlLeaves(LeafBuilder& objBuilder) : objBuilder_(objBuilder) {}
    void StartElement(std::string_view sName) override
    {
        // libxml2 refuses documents that nest deeper long before the builder's limit.
        static_cast<void>(objBuilder_.Start(Upper(sName)));
    }
    void Text(std::string_view sText) override { objBuilder_.Text(sText); }
    void EndElement(std::string_view sName) override { objBuilder_.End(Upper(sName)); }

private:
    LeafBuilder& objBuilder_;
};

// The value of attribute sName in the text of a processing instruction; nullopt when absent.
std::optional<std::string> Attribute(std::string_view text, std::string_view sName)
{
    for (std::size_t pos = text.find(sName); pos != std::string_view::npos;
         pos = text.find(sName, pos + 1)) {
        std::size_t at = pos + sName.size();
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        if ((pos > 0 && !IsBlank(text[pos - 1])) || at >= text.size() || text[at] != '=') {
            continue;
        }
        ++at;
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        const char quote = at < text.size() ? text[at] : '\0';
        const std::size_t close =
            quote == '"' || quote == '\'' ? text.find(quote, at + 1) : std::string_view::npos;
        if (close != std::string_view::npos) {
            return std::string(text.substr(at + 1, close - at - 1));
        }
    }
    return std::nullopt;
}

bool ReadXml(std::string_view bytes, IOfxVisitor& objVisitor, std::string& sError)
{
    const std::size_t declEnd = bytes.find("?>");
    const std::string sEncoding =
        Upper(Attribute(bytes.substr(0, declEnd), "encoding").value_or("UTF-8"));
    const std::size_t ofx = bytes.find("<?OFX");
    if (ofx != std::string_view::npos) {
        const std::size_t end = bytes.find("?>", ofx);
        const std::string_view pi = bytes.substr(ofx + 5, end - ofx - 5);
        for (const char* key : {"OFXHEADER", "VERSION", "SECURITY", "OLDFILEUID", "NEWFILEUID"}) {
            if (const std::optional<std::string> value = Attribute(pi, key)) {
                objVisitor.HeaderField({LineAt(bytes, ofx), key, *value});
            }
        }
    }
    ScanBytes(bytes.substr(std::min(declEnd, bytes.size())), XmlCharset(sEncoding), objVisitor);
    LeafBuilder objBuilder(objVisitor);
    XmlLeaves objLeaves(objBuilder);
    if (const xml::StreamResult read = xml::StreamElements(bytes, "UTF-8", objLeaves); !read) {
        sError = "the XML body is not well-formed: " + read.sDescription;
        return false;
    }
    objBuilder.Finish();
    if (!objBuilder.SeenOfx()) {
        sError = "the body holds no OFX element";
        return false;
    }
    return true;
}

bool ReadSgml(std::string_view bytes, IOfxVisitor& objVisitor, std::string& sError)
{
    const std::size_t bodyStart = std::min(bytes.find('<'), bytes.size());
    const std::string_view header = bytes.substr(0, bodyStart);
    std::string sEncoding;
    std::string sCharset;
    std::int64_t line = 0;
    for (std::size_t pos = 0; pos < header.size();) {
        const std::size_t end = std::min(header.find('\n', pos), header.size());
        std::string_view text = header.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        if (Trim(text).empty()) {
            continue;
        }
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            sError = "header line " + std::to_string(line) + " is not KEY:VALUE";
            return false;
        }
        OfxHeaderField field{line, std::string(text.substr(0, colon)),
                             std::string(text.substr(colon + 1))};
        const std::string sKey = Upper(Trim(field.sKey));
        if (sKey == "ENCODING") {
            sEncoding = Upper(Trim(field.sValue));
        } else if (sKey == "CHARSET") {
            sCharset = Upper(Trim(field.sValue));
        }
        objVisitor.HeaderField(field);
    }
    const std::string_view body = bytes.substr(bodyStart);
    const Charset charset = DeclaredCharset(sEncoding, sCharset);
    ScanBytes(body, charset, objVisitor);
    LeafBuilder objBuilder(objVisitor);
    if (!ReadSgmlBody(body, charset, objBuilder, sError)) {
        return false;
    }
    if (!objBuilder.SeenOfx()) {
        sError = "the body holds no OFX element";
        return false;
    }
    return true;
}

} // namespace

bool ReadOfx(std::string_view bytes, IOfxVisitor& objVisitor, std::string& sForm,
             std::string& sError)
{
    std::string_view text = bytes;
    if (text.substr(0, platform::kUtf8ByteOrderMark.size()) == platform::kUtf8ByteOrderMark) {
        text.remove_prefix(platform::kUtf8ByteOrderMark.size());
    }
    const std::size_t start = std::min(text.find_first_not_of(" \t\r\n"), text.size());
    if (text.substr(start, 5) == "<?xml") {
        sForm = "xml";
        return ReadXml(text, objVisitor, sError);
    }
    if (Upper(text.substr(start, 9)) == "OFXHEADER") {
        sForm = "sgml";
        return ReadSgml(text.substr(start), objVisitor, sError);
    }
    sError = "it starts with neither an OFX header nor an XML declaration";
    return false;
}

} // namespace qif2ldx::statement
