// SPDX-License-Identifier: MIT
#include "Serialiser.h"

#include "platform/File.h"
#include "platform/Windows1252.h"
#include "xml/libxml/Handles.h"

#include <cstring>
#include <stdexcept>
#include <string_view>

namespace qif2ldx::fuzz {
namespace {

using xml::libxml::ErrorCapture;
using xml::libxml::FromXmlChar;
using xml::libxml::SaveCtxtPtr;

// Where serialised bytes go: a file descriptor, written in large pieces as Windows-1252, or a
// string, as UTF-8.
class OutputSink
{
public:
    explicit OutputSink(int fd) : fd_(fd) { pending_.reserve(kPiece + 65536); }
    explicit OutputSink(std::string& text) : text_(&text) {}

    [[nodiscard]] bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }

    void Write(std::string_view data)
    {
        if (failed_) {
            return;
        }
        if (text_ != nullptr) {
            text_->append(data);
            return;
        }
        std::string joined;
        if (!carry_.empty()) {
            joined = carry_;
            joined.append(data);
            data = joined;
        }
        const std::size_t tail = IncompleteTail(data);
        platform::AppendUtf8AsAnsiXml(data.substr(0, data.size() - tail), pending_);
        carry_.assign(data.substr(data.size() - tail));
        if (pending_.size() >= kPiece) {
            Flush();
        }
    }

    // Writes what is pending to the file descriptor.
    void Flush()
    {
        if (text_ != nullptr) {
            return;
        }
        platform::AppendUtf8AsAnsiXml(carry_, pending_); // a character the output never ended
        carry_.clear();
        failed_ = failed_ || !platform::WriteAll(fd_, pending_);
        pending_.clear();
    }

    static int OnWrite(void* self, const char* data, int size)
    {
        auto* sink = static_cast<OutputSink*>(self);
        sink->Write(std::string_view(data, static_cast<std::size_t>(size)));
        return sink->failed_ ? -1 : size;
    }

private:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;

    // How many bytes at the end of data begin a character that is not complete yet.
    static std::size_t IncompleteTail(std::string_view data)
    {
        for (std::size_t back = 1; back <= 3 && back <= data.size(); ++back) {
            const auto byte = static_cast<unsigned char>(data[data.size() - back]);
            if ((byte & 0xC0) == 0x80) {
                continue; // a continuation byte: look further back for the lead
            }
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? back : 0;
        }
        return 0;
    }

    int fd_ = -1;
    std::string* text_ = nullptr;
    bool failed_ = false;
    std::string pending_;
    std::string carry_; // the start of a character that the next piece completes
};

// The XML declaration of a document that came with one.
std::string Declaration(const xmlDoc& doc, const char* encoding)
{
    std::string declaration = "<?xml version=\"";
    declaration += doc.version == nullptr ? "1.0" : FromXmlChar(doc.version);
    declaration += "\"";
    if (std::strcmp(encoding, "UTF-8") != 0) {
        declaration += " encoding=\"" + std::string(encoding) + "\"";
    }
    if (doc.standalone >= 0) {
        declaration += doc.standalone == 1 ? " standalone=\"yes\"" : " standalone=\"no\"";
    }
    return declaration + "?>\r\n";
}

// Writes the document (or one node) as UTF-8 to the sink; declarationEncoding is what an XML
// declaration, if the document has one, names.
void Serialise(const xmlDoc& doc, OutputSink& sink, const char* declarationEncoding, xmlNode* only)
{
    ErrorCapture capture;
    const SaveCtxtPtr context(xmlSaveToIO(OutputSink::OnWrite, nullptr, &sink, "UTF-8",
                                          XML_SAVE_NO_DECL | XML_SAVE_NO_EMPTY));
    if (!context) {
        sink.Fail();
        return;
    }
    if (only != nullptr) {
        xmlSaveTree(context.get(), only);
        if (xmlSaveFlush(context.get()) < 0) {
            sink.Fail();
        }
        return;
    }
    if (doc.standalone != -1) { // the document came with an XML declaration
        sink.Write(Declaration(doc, declarationEncoding));
    }
    for (xmlNode* child = doc.children; child != nullptr && !sink.Failed(); child = child->next) {
        xmlSaveTree(context.get(), child);
        if (xmlSaveFlush(context.get()) < 0) {
            sink.Fail();
        }
        sink.Write("\r\n");
    }
}

} // namespace

bool SerialiseToFile(const xmlDoc& doc, int fd)
{
    OutputSink sink(fd);
    Serialise(doc, sink, "windows-1252", nullptr);
    sink.Flush();
    return !sink.Failed();
}

std::string SerialiseToText(const xmlDoc& doc, xmlNode* node)
{
    std::string text;
    OutputSink sink(text);
    Serialise(doc, sink, "UTF-8", node);
    if (sink.Failed()) {
        throw std::runtime_error("the node cannot be serialised");
    }
    return text;
}

} // namespace qif2ldx::fuzz
