// SPDX-License-Identifier: MIT
#include "xml/libxml/Loader.h"

#include "platform/File.h"
#include "platform/Utf16.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "xml/libxml/Handles.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <libxml/entities.h>
#include <map>
#include <new>
#include <vector>

namespace qif2ldx::xml::libxml {
namespace {

// The line of the input that an error names, for the report; long lines are cut. A UTF-16
// input's line is found in its text (none when that is no well-formed UTF-16).
std::string SourceLine(std::string_view input, int line)
{
    constexpr std::size_t kMaxShown = 1024;
    if (line < 1) {
        return {};
    }
    for (const bool bolBigEndian : {false, true}) {
        if (input.starts_with(bolBigEndian ? platform::kUtf16BigEndianMark
                                           : platform::kUtf16LittleEndianMark)) {
            const std::optional<std::string> text =
                platform::Utf16ToUtf8(input.substr(2), bolBigEndian);
            return text ? SourceLine(*text, line) : std::string();
        }
    }
    std::size_t start = 0;
    for (int current = 1; current < line; ++current) {
        const std::size_t newline = input.find('\n', start);
        if (newline == std::string_view::npos) {
            return {};
        }
        start = newline + 1;
    }
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) {
        end = input.size();
    }
    if (end > start && input[end - 1] == '\r') {
        --end;
    }
    std::string_view text = input.substr(start, std::min(end - start, kMaxShown));
    if (platform::IsValidUtf8(text)) {
        return std::string(text);
    }
    return platform::AnsiToUtf8(text);
}

DomParseError Failure(int code, const std::string& reason, int line, int column,
                      std::string_view input)
{
    std::string text = reason;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return {code, text + "\r\n", line, column, SourceLine(input, line)};
}

// The encoding named in the XML declaration at the start of text, if any. Text handed over as
// a string is UTF-8 whatever its declaration says, so the parser is told to ignore that name,
// and it is remembered here for the caller.
std::optional<std::string> DeclaredEncoding(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3); // a byte-order mark comes before the declaration
    }
    if (text.substr(0, 5) != "<?xml") {
        return std::nullopt;
    }
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos) {
        return std::nullopt;
    }
    pos = declaration.find_first_not_of(" \t\r\n", pos + 8);
    if (pos == std::string_view::npos || declaration[pos] != '=') {
        return std::nullopt;
    }
    pos = declaration.find_first_not_of(" \t\r\n", pos + 1);
    if (pos == std::string_view::npos || (declaration[pos] != '"' && declaration[pos] != '\'')) {
        return std::nullopt;
    }
    const std::size_t close = declaration.find(declaration[pos], pos + 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(declaration.substr(pos + 1, close - pos - 1));
}

// How many characters the text of the tree under first (and its following siblings) grows to
// once every entity reference is expanded; counting stops past limit. Entities are measured
// once each.
class ExpansionMeter
{
public:
    explicit ExpansionMeter(std::uint64_t limit) : limit_(limit) {}

    std::uint64_t Measure(const xmlNode* first)
    {
        std::uint64_t total = 0;
        std::vector<const xmlNode*> pending;
        for (const xmlNode* node = first; node != nullptr; node = node->next) {
            pending.push_back(node);
        }
        while (!pending.empty() && total <= limit_) {
            const xmlNode* node = pending.back();
            pending.pop_back();
            total += OwnSize(node);
            Expand(node, pending);
        }
        return total;
    }

private:
    std::uint64_t OwnSize(const xmlNode* node)
    {
        if (node->type == XML_ENTITY_REF_NODE) {
            const auto* entity = reinterpret_cast<const xmlEntity*>(node->children);
            return entity == nullptr ? 0 : EntitySize(entity);
        }
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            return node->content == nullptr ? 0 : xmlStrlen(node->content);
        }
        return 0;
    }

    // Queues the children and attributes whose text counts too.
    static void Expand(const xmlNode* node, std::vector<const xmlNode*>& pending)
    {
        if (node->type != XML_ELEMENT_NODE && node->type != XML_ATTRIBUTE_NODE) {
            return;
        }
        for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
            pending.push_back(child);
        }
        if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr* attribute = node->properties; attribute != nullptr;
                 attribute = attribute->next) {
                pending.push_back(reinterpret_cast<const xmlNode*>(attribute));
            }
        }
    }

    std::uint64_t EntitySize(const xmlEntity* entity)
    {
        const auto known = sizes_.find(entity);
        if (known != sizes_.end()) {
            return known->second;
        }
        sizes_[entity] = limit_ + 1; // an entity met again while it is measured: a loop
        const std::uint64_t size = Measure(entity->children);
        sizes_[entity] = size;
        return size;
    }

    std::uint64_t limit_;
    std::map<const xmlEntity*, std::uint64_t> sizes_;
};

// Validates against the declarations the document itself carries: hiding the external
// identifiers keeps libxml2 from going after an external subset.
bool Validate(xmlDoc* candidate)
{
    const ValidCtxtPtr context(xmlNewValidCtxt());
    if (!context) {
        return false;
    }
    context->error = nullptr;
    context->warning = nullptr;
    xmlDtd* subset = candidate->intSubset;
    const xmlChar* systemId = subset->SystemID;
    const xmlChar* externalId = subset->ExternalID;
    subset->SystemID = nullptr;
    subset->ExternalID = nullptr;
    const int valid = xmlValidateDocument(context.get(), candidate);
    subset->SystemID = systemId;
    subset->ExternalID = externalId;
    return valid != 0;
}

// libxml2 stops entities nested into an exponential blowup, not a large entity referenced many
// times, which only grows when the text is read: that growth is refused here.
bool ExpandsTooFar(const xmlDoc& doc, std::size_t inputSize, std::uint64_t& limit)
{
    if (doc.intSubset == nullptr || doc.intSubset->entities == nullptr) {
        return false;
    }
    limit = 10 * static_cast<std::uint64_t>(inputSize) + (1U << 20);
    ExpansionMeter meter(limit);
    return meter.Measure(doc.children) > limit;
}

// A name as the document spells it, with its namespace's prefix.
std::string QualifiedName(const xmlNs* ns, const xmlChar* name)
{
    std::string qualified;
    if (ns != nullptr && ns->prefix != nullptr) {
        qualified.assign(View(ns->prefix)).push_back(':');
    }
    return qualified.append(View(name));
}

// The document type declaration as libxml2 writes it.
std::string DeclarationText(xmlNode* dtd)
{
    const BufferPtr buffer(xmlBufferCreate());
    if (!buffer) {
        throw std::bad_alloc();
    }
    {
        const SaveCtxtPtr context(
            xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_NO_EMPTY));
        if (!context || xmlSaveTree(context.get(), dtd) < 0) {
            throw std::bad_alloc();
        }
    }
    return std::string(View(xmlBufferContent(buffer.get())));
}

// Copies an element and its attributes under parent; namespace declarations become the
// attributes they were written as.
lean::NodeId ImportElement(xmlDoc& doc, const xmlNode& node, lean::NodeId parent,
                           lean::LeanTree& tree)
{
    const lean::NodeId element =
        tree.AppendElement(parent, tree.AddName(QualifiedName(node.ns, node.name)));
    for (const xmlNs* ns = node.nsDef; ns != nullptr; ns = ns->next) {
        const std::string name =
            ns->prefix == nullptr ? "xmlns" : "xmlns:" + std::string(View(ns->prefix));
        tree.SetAttribute(element, name, View(ns->href));
    }
    for (const xmlAttr* attribute = node.properties; attribute != nullptr;
         attribute = attribute->next) {
        const OwnedText value(xmlNodeListGetString(&doc, attribute->children, 1));
        tree.SetAttribute(element, QualifiedName(attribute->ns, attribute->name),
                          View(value.get()));
    }
    return element;
}

// Copies the parsed document into the empty tree, node for node.
void Import(xmlDoc& doc, const std::optional<std::string>& declaredEncoding, lean::LeanTree& tree)
{
    using lean::NodeKind;
    struct Pending
    {
        xmlNode* first;      // the first of the children still to be copied
        lean::NodeId parent; // where their copies go
    };
    std::vector<Pending> pending{{doc.children, lean::LeanTree::kDocument}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (xmlNode* node = next.first; node != nullptr; node = node->next) {
            const std::string_view content = View(node->content);
            switch (node->type) {
            case XML_ELEMENT_NODE:
                pending.push_back({node->children, ImportElement(doc, *node, next.parent, tree)});
                break;
            case XML_TEXT_NODE:
                tree.AppendLeaf(next.parent, NodeKind::Text, content);
                break;
            case XML_CDATA_SECTION_NODE:
                tree.AppendLeaf(next.parent, NodeKind::CData, content);
                break;
            case XML_COMMENT_NODE:
                tree.AppendLeaf(next.parent, NodeKind::Comment, content);
                break;
            case XML_PI_NODE:
                tree.AppendLeaf(next.parent, NodeKind::ProcessingInstruction, content,
                                tree.AddName(View(node->name)));
                break;
            case XML_ENTITY_REF_NODE: {
                const OwnedText text(xmlNodeGetContent(node));
                tree.AppendLeaf(next.parent, NodeKind::EntityReference, View(text.get()),
                                tree.AddName(View(node->name)));
                break;
            }
            case XML_DTD_NODE:
                tree.AppendLeaf(next.parent, NodeKind::DocumentType, DeclarationText(node));
                break;
            default:
                break; // nothing else comes from the parser
            }
        }
    }
    lean::DocumentFacts facts;
    facts.sVersion = doc.version == nullptr ? std::string("1.0") : std::string(View(doc.version));
    facts.lngStandalone = doc.standalone;
    if (doc.encoding != nullptr) {
        facts.vntEncoding = std::string(View(doc.encoding));
    }
    facts.vntDeclaredEncoding = declaredEncoding;
    for (const xmlNode* node = doc.intSubset == nullptr ? nullptr : doc.intSubset->children;
         node != nullptr; node = node->next) {
        const auto* attribute = reinterpret_cast<const xmlAttribute*>(node);
        if (node->type == XML_ATTRIBUTE_DECL && attribute->defaultValue != nullptr) {
            facts.defaults.push_back(
                {FromXmlChar(attribute->elem),
                 (attribute->prefix == nullptr ? "" : FromXmlChar(attribute->prefix) + ":") +
                     FromXmlChar(attribute->name),
                 FromXmlChar(attribute->defaultValue)});
        }
    }
    tree.SetFacts(std::move(facts));
}

} // namespace

std::optional<DomParseError> ParseInto(std::string_view bytes, const std::string& sUrl,
                                       bool bolUtf8Text, bool bolValidate, lean::LeanTree& tree)
{
    InitLibXml();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return Failure(XML_ERR_DOCUMENT_END, "The document is too large to be read.", 0, 0, {});
    }
    ErrorCapture capture;
    const ParserCtxtPtr context(xmlNewParserCtxt());
    if (!context) {
        return Failure(XML_ERR_NO_MEMORY, "Out of memory.", 0, 0, {});
    }
    const int options = XML_PARSE_NONET | (bolUtf8Text ? XML_PARSE_IGNORE_ENC : 0);
    DocPtr parsed(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                    sUrl.c_str(), bolUtf8Text ? "UTF-8" : nullptr, options));
    const bool wellFormed = parsed && context->wellFormed != 0;
    if (!wellFormed || xmlDocGetRootElement(parsed.get()) == nullptr ||
        (bolValidate && parsed->intSubset != nullptr && !Validate(parsed.get()))) {
        const auto& first = capture.First();
        if (first) {
            return Failure(first->code, first->message, first->line, first->column, bytes);
        }
        return Failure(XML_ERR_DOCUMENT_EMPTY, "The document has no root element.", 0, 0, bytes);
    }
    std::uint64_t limit = 0;
    if (ExpandsTooFar(*parsed, bytes.size(), limit)) {
        return Failure(XML_ERR_ENTITY_LOOP,
                       "Entity references would expand the document's text past " +
                           std::to_string(limit) + " characters.",
                       0, 0, {});
    }
    std::optional<std::string> declaredEncoding;
    if (bolUtf8Text) {
        declaredEncoding = DeclaredEncoding(bytes);
    } else if (parsed->encoding != nullptr) {
        declaredEncoding = FromXmlChar(parsed->encoding);
    }
    Import(*parsed, declaredEncoding, tree);
    return std::nullopt;
}

std::optional<DomParseError> LoadFileInto(const std::string& sFileName, bool bolValidate,
                                          lean::LeanTree& tree)
{
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sFileName);
    if (!file) {
        const std::string why = file.reason.kind == platform::ReasonKind::NotAFile
                                    ? "not a regular file"
                                    : platform::SystemWords(file.reason);
        return Failure(XML_IO_LOAD_ERROR, "Cannot read \"" + sFileName + "\": " + why + ".", 0, 0,
                       {});
    }
    const platform::Result<std::string> bytes = platform::ReadAll(file.value.Get());
    if (!bytes) {
        return Failure(XML_IO_LOAD_ERROR, "Cannot read \"" + sFileName + "\".", 0, 0, {});
    }
    return ParseInto(bytes.value, sFileName, false, bolValidate, tree);
}

} // namespace qif2ldx::xml::libxml
