// SPDX-License-Identifier: MIT
#include "statement/OfxReader.h"

#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "statement/OfxLeafBuilder.h"
#include "xml/ElementStream.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace qif2ldx::statement {
namespace {

constexpr const char* kNoOfxElement = "the body holds no OFX element";

// How a reading that has no more to say ended.
OfxReadResult Ended(OfxReadStatus status)
{
    return {status, {}, {}};
}

// A reading that found the bytes to be no OFX file, and why.
OfxReadResult NotOfx(std::string sWhy)
{
    return {OfxReadStatus::NotOfx, {}, std::move(sWhy)};
}

// What the body's bytes are declared to be.
enum class Charset
{
    Ascii,
    Latin1,
    Windows1252,
    Utf8
};

// How many bytes the reader goes on between two questions whether to go on.
constexpr std::size_t kPollBytes = std::size_t{1} << 20;

// The longest entity reference resolved, with its "&" and ";": "&#x10FFFF;" and a leading
// zero. An "&" without a ";" that near is text.
constexpr std::size_t kMaxReference = 11;

// Text is decoded this many bytes at a time, so that a huge text is never copied at once.
constexpr std::size_t kDecodeSlice = std::size_t{1} << 16;

// Whether text, in any case, is sUpper.
bool SameName(std::string_view text, std::string_view sUpper)
{
    return text.size() == sUpper.size() &&
           std::equal(text.begin(), text.end(), sUpper.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

// Asks keepReading whether to go on once every kPollBytes of the input, and remembers a no.
class Poll
{
public:
    explicit Poll(const KeepReading& keepReading) : keepReading_(keepReading) {}

    // False once the reading is to stop; pos is how far it has come.
    [[nodiscard]] bool GoOn(std::size_t pos)
    {
        if (pos >= next_ && !bolStopped_) {
            next_ = pos + kPollBytes;
            bolStopped_ = keepReading_ && !keepReading_();
        }
        return !bolStopped_;
    }

    // The same, for a reader that does not count bytes: asks every time.
    [[nodiscard]] bool GoOn()
    {
        bolStopped_ = bolStopped_ || (keepReading_ && !keepReading_());
        return !bolStopped_;
    }

    [[nodiscard]] bool Stopped() const { return bolStopped_; }

private:
    const KeepReading& keepReading_;
    std::size_t next_ = 0;
    bool bolStopped_ = false;
};

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

char32_t EntityValue(std::string_view name);

// The character reference at the start of text ("&#1052;") when it names a character above 255,
// which readers that hold SGML to its 256 characters drop; empty for anything else.
std::string_view WideReferenceAt(std::string_view text)
{
    if (text.substr(0, 2) != "&#") {
        return {};
    }
    const std::size_t semicolon = text.substr(0, kMaxReference).find(';');
    if (semicolon == std::string_view::npos || EntityValue(text.substr(1, semicolon - 1)) <= 255) {
        return {};
    }
    return text.substr(0, semicolon + 1);
}

// Reports, per element, the first byte of its text that does not fit the character set and,
// with bolReferences (an SGML body), its first character reference above 255. False when told
// to stop.
bool ScanBytes(std::string_view body, Charset charset, bool bolReferences, IOfxVisitor& objVisitor,
               Poll& objPoll)
{
    std::int64_t transactions = 0;
    std::int64_t current = 0;
    std::string sElement;
    bool reported = false;
    bool referenced = false;
    for (std::size_t pos = 0; pos < body.size(); ++pos) {
        if (!objPoll.GoOn(pos)) {
            return false;
        }
        if (body[pos] == '<') {
            // A tag name ends at ">", at a blank, or, in a tag that never ends, at the next "<":
            // each byte is looked at a bounded number of times.
            const std::size_t end = std::min(body.find_first_of("<> \t\r\n", pos + 1), body.size());
            const std::string_view tag = body.substr(pos + 1, end - pos - 1);
            if (SameName(tag, "STMTTRN")) {
                current = ++transactions;
            } else if (SameName(tag, "/STMTTRN")) {
                current = 0;
            }
            if (!tag.empty() && tag[0] != '/') {
                sElement = platform::ToUpperAscii(tag);
                reported = false;
                referenced = false;
            }
            continue;
        }
        if (body[pos] == '&' && bolReferences && !referenced) {
            if (const std::string_view reference = WideReferenceAt(body.substr(pos));
                !reference.empty()) {
                objVisitor.WideReference({current, sElement, reference});
                referenced = true;
            }
        }
        const unsigned char byte = static_cast<unsigned char>(body[pos]);
        if (!Fits(charset, body, pos) && !reported) {
            objVisitor.StrayByte({current, sElement, byte});
            reported = true;
        }
    }
    return true;
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

// The character set an XML declaration names (in upper case); nullopt for one this reader does
// not know, whose bytes the XML parser alone judges as it decodes them.
std::optional<Charset> XmlCharset(const std::string& sEncoding)
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
    if (sEncoding == "UTF-8" || sEncoding == "UTF8") {
        return Charset::Utf8;
    }
    return std::nullopt;
}

// The character an entity reference names (name is what stands between "&" and ";"): one of
// the five XML entities, or a character reference; 0 for anything else.
char32_t EntityValue(std::string_view name)
{
    if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
        return name == "amp"    ? '&'
               : name == "lt"   ? '<'
               : name == "gt"   ? '>'
               : name == "quot" ? '"'
                                : '\'';
    }
    if (name.size() < 2 || name[0] != '#') {
        return 0;
    }
    const bool hex = name[1] == 'x' || name[1] == 'X';
    char32_t cp = 0;
    for (const char c : name.substr(hex ? 2 : 1)) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0 || cp > 0x10FFFF) {
            return 0;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    return cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : cp;
}

std::string Utf8Of(char32_t cp)
{
    std::string out;
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
    return out;
}

// Hands SGML text without references to the builder, decoded to UTF-8 a slice at a time. Text
// the builder does not keep goes as it is: blanks are the same bytes in every character set.
void PassDecoded(std::string_view raw, Charset charset, OfxLeafBuilder& objBuilder)
{
    if (!objBuilder.KeepsText()) {
        objBuilder.Text(raw);
        return;
    }
    while (!raw.empty()) {
        std::size_t take = std::min(raw.size(), kDecodeSlice);
        // A slice of UTF-8 ends between characters (a character is at most 4 bytes).
        for (int back = 0; charset == Charset::Utf8 && back < 3 && take < raw.size() &&
                           (static_cast<unsigned char>(raw[take]) & 0xC0) == 0x80;
             ++back) {
            --take;
        }
        const std::string_view slice = raw.substr(0, take);
        objBuilder.Text(charset == Charset::Utf8 ? platform::DecodeFileText(slice, true)
                                                 : platform::AnsiToUtf8(slice));
        raw.remove_prefix(take);
    }
}

// Hands the reference raw starts with ("&...;") to the builder as its character; an "&" that
// starts none goes as it is, alone. Returns the bytes taken.
std::size_t PassReference(std::string_view raw, OfxLeafBuilder& objBuilder)
{
    const std::size_t semicolon = raw.substr(0, kMaxReference).find(';');
    const char32_t cp =
        semicolon == std::string_view::npos ? 0 : EntityValue(raw.substr(1, semicolon - 1));
    if (cp == 0) {
        objBuilder.Text("&");
        return 1;
    }
    objBuilder.Text(Utf8Of(cp));
    return semicolon + 1;
}

// Hands SGML text (the bytes between two tags) to the builder, decoded, with its entity
// references resolved; an unknown reference stays as written.
void PassSgmlText(std::string_view raw, Charset charset, OfxLeafBuilder& objBuilder)
{
    while (!raw.empty() && objBuilder.WantsText()) {
        if (raw.front() == '&') {
            raw.remove_prefix(PassReference(raw, objBuilder));
            continue;
        }
        const std::size_t amp = std::min(raw.find('&'), raw.size());
        PassDecoded(raw.substr(0, amp), charset, objBuilder);
        raw.remove_prefix(amp);
    }
}

OfxReadResult ReadSgmlBody(std::string_view body, Charset charset, OfxLeafBuilder& objBuilder,
                           Poll& objPoll)
{
    std::size_t pos = 0;
    while (pos < body.size()) {
        if (!objPoll.GoOn(pos)) {
            return Ended(OfxReadStatus::Stopped);
        }
        if (body[pos] != '<') {
            const std::size_t next = std::min(body.find('<', pos), body.size());
            PassSgmlText(body.substr(pos, next - pos), charset, objBuilder);
            pos = next;
            continue;
        }
        const bool comment = body.substr(pos, 4) == "<!--";
        const std::size_t end = comment ? body.find("-->", pos) : body.find('>', pos);
        if (end == std::string_view::npos) {
            return NotOfx("a tag that starts on line " + std::to_string(LineAt(body, pos)) +
                          " of the body never ends");
        }
        const std::string_view tag = body.substr(pos + 1, end - pos - 1);
        pos = end + (comment ? 3 : 1);
        if (comment || tag.empty() || tag[0] == '?' || tag[0] == '!') {
            continue;
        }
        if (tag[0] == '/') {
            objBuilder.End(platform::ToUpperAscii(Trim(tag.substr(1))));
            continue;
        }
        const bool bolSelfClosed = tag.back() == '/';
        std::string_view name = tag.substr(0, bolSelfClosed ? tag.size() - 1 : tag.size());
        name = Trim(name.substr(0, std::min(name.find_first_of(" \t\r\n"), name.size())));
        if (bolSelfClosed) {
            objBuilder.SelfClosed(platform::ToUpperAscii(name));
        } else if (!objBuilder.Start(platform::ToUpperAscii(name))) {
            return NotOfx("elements nest deeper than " + std::to_string(OfxLeafBuilder::kMaxDepth));
        }
    }
    objBuilder.Finish();
    return Ended(OfxReadStatus::Read);
}

// Hands the libxml2 reader's events to the leaf builder, and stops it when told to.
class XmlLeaves final : public xml::IElementVisitor
{
public:
    XmlLeaves(OfxLeafBuilder& objBuilder, Poll& objPoll)
        : objBuilder_(objBuilder), objPoll_(objPoll)
    {}
    void StartElement(std::string_view sName) override
    {
        // libxml2 refuses documents that nest deeper long before the builder's limit.
        static_cast<void>(objBuilder_.Start(platform::ToUpperAscii(sName)));
    }
    void Text(std::string_view sText) override { objBuilder_.Text(sText); }
    void EndElement(std::string_view sName) override
    {
        objBuilder_.End(platform::ToUpperAscii(sName));
    }
    bool Stop() override { return !objPoll_.GoOn(); }

private:
    OfxLeafBuilder& objBuilder_;
    Poll& objPoll_;
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

OfxReadResult ReadXml(std::string_view bytes, IOfxVisitor& objVisitor,
                      const KeepReading& keepReading)
{
    const std::size_t declEnd = std::min(bytes.find("?>"), bytes.size());
    const std::string sEncoding =
        platform::ToUpperAscii(Attribute(bytes.substr(0, declEnd), "encoding").value_or("UTF-8"));
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
    Poll objPoll(keepReading);
    if (const std::optional<Charset> charset = XmlCharset(sEncoding);
        charset && !ScanBytes(bytes.substr(declEnd), *charset, false, objVisitor, objPoll)) {
        return Ended(OfxReadStatus::Stopped);
    }
    OfxLeafBuilder objBuilder(objVisitor);
    XmlLeaves objLeaves(objBuilder, objPoll);
    // UTF-8 only for a document that declares no encoding: one that does is read in its own.
    const xml::StreamResult read = xml::StreamElements(bytes, "UTF-8", objLeaves);
    if (objPoll.Stopped()) {
        return Ended(OfxReadStatus::Stopped);
    }
    if (!read) {
        return NotOfx("the XML body is not well-formed: " + read.sReason);
    }
    objBuilder.Finish();
    return objBuilder.SeenOfx() ? Ended(OfxReadStatus::Read) : NotOfx(kNoOfxElement);
}

// What the OFX 1.x header lines declare: the body's character set, or why they are no header.
struct SgmlHeader
{
    Charset charset = Charset::Ascii;
    std::string sReason; // a line that is not KEY:VALUE; empty when all are
};

SgmlHeader ReadSgmlHeader(std::string_view header, IOfxVisitor& objVisitor, Poll& objPoll)
{
    std::string sEncoding;
    std::string sCharset;
    std::int64_t line = 0;
    for (std::size_t pos = 0; pos < header.size() && objPoll.GoOn(pos);) {
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
            return {Charset::Ascii, "header line " + std::to_string(line) + " is not KEY:VALUE"};
        }
        OfxHeaderField field{line, std::string(text.substr(0, colon)),
                             std::string(text.substr(colon + 1))};
        const std::string sKey = platform::ToUpperAscii(Trim(field.sKey));
        if (sKey == "ENCODING") {
            sEncoding = platform::ToUpperAscii(Trim(field.sValue));
        } else if (sKey == "CHARSET") {
            sCharset = platform::ToUpperAscii(Trim(field.sValue));
        }
        objVisitor.HeaderField(field);
    }
    return {DeclaredCharset(sEncoding, sCharset), {}};
}

OfxReadResult ReadSgml(std::string_view bytes, IOfxVisitor& objVisitor,
                       const KeepReading& keepReading)
{
    const std::size_t bodyStart = std::min(bytes.find('<'), bytes.size());
    Poll objPoll(keepReading);
    const SgmlHeader header = ReadSgmlHeader(bytes.substr(0, bodyStart), objVisitor, objPoll);
    if (!header.sReason.empty()) {
        return NotOfx(header.sReason);
    }
    const std::string_view body = bytes.substr(bodyStart);
    if (Poll objScanPoll(keepReading);
        !objPoll.GoOn() || !ScanBytes(body, header.charset, true, objVisitor, objScanPoll)) {
        return Ended(OfxReadStatus::Stopped);
    }
    OfxLeafBuilder objBuilder(objVisitor);
    Poll objBodyPoll(keepReading);
    if (OfxReadResult result = ReadSgmlBody(body, header.charset, objBuilder, objBodyPoll);
        result.status != OfxReadStatus::Read) {
        return result;
    }
    return objBuilder.SeenOfx() ? Ended(OfxReadStatus::Read) : NotOfx(kNoOfxElement);
}

} // namespace

OfxReadResult ReadOfx(std::string_view bytes, IOfxVisitor& objVisitor,
                      const KeepReading& keepReading)
{
    OfxReadResult result;
    std::string_view text = bytes;
    if (text.substr(0, platform::kUtf8ByteOrderMark.size()) == platform::kUtf8ByteOrderMark) {
        text.remove_prefix(platform::kUtf8ByteOrderMark.size());
    }
    const std::size_t start = std::min(text.find_first_not_of(" \t\r\n"), text.size());
    if (text.substr(start, 5) == "<?xml") {
        result = ReadXml(text, objVisitor, keepReading);
        result.sForm = "xml";
    } else if (platform::ToUpperAscii(text.substr(start, 9)) == "OFXHEADER") {
        result = ReadSgml(text.substr(start), objVisitor, keepReading);
        result.sForm = "sgml";
    } else {
        result = NotOfx("it starts with neither an OFX header nor an XML declaration");
    }
    return result;
}

} // namespace qif2ldx::statement
