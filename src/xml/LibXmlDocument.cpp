// SPDX-License-Identifier: MIT
#include "xml/LibXmlDocument.h"

#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "xml/ElementPath.h"
#include "xml/XmlError.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qif2ldx::xml {
namespace {

xmlNode* ToXml(NodeRef objNode)
{
    return reinterpret_cast<xmlNode*>(objNode);
}

NodeRef ToRef(xmlNode* node)
{
    return reinterpret_cast<NodeRef>(node);
}

const xmlChar* ToXmlChar(const std::string& text)
{
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

std::string FromXmlChar(const xmlChar* text)
{
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

struct XmlFreeDeleter
{
    void operator()(xmlChar* p) const { xmlFree(p); }
};
struct DocDeleter
{
    void operator()(xmlDoc* p) const { xmlFreeDoc(p); }
};
struct ParserCtxtDeleter
{
    void operator()(xmlParserCtxt* p) const { xmlFreeParserCtxt(p); }
};
struct ValidCtxtDeleter
{
    void operator()(xmlValidCtxt* p) const { xmlFreeValidCtxt(p); }
};
struct XPathCtxtDeleter
{
    void operator()(xmlXPathContext* p) const { xmlXPathFreeContext(p); }
};
struct XPathObjectDeleter
{
    void operator()(xmlXPathObject* p) const { xmlXPathFreeObject(p); }
};
struct SaveCtxtDeleter
{
    void operator()(xmlSaveCtxt* p) const { static_cast<void>(xmlSaveClose(p)); }
};

using OwnedText = std::unique_ptr<xmlChar, XmlFreeDeleter>;

void Silent(void* /*context*/, const char* /*format*/, ...) {}
void SilentStructured(void* /*context*/, xmlErrorPtr /*error*/) {}

// Nothing outside the document is ever read: no external DTD or entity, no network.
xmlParserInputPtr RefuseExternalEntity(const char* /*url*/, const char* /*id*/,
                                       xmlParserCtxtPtr /*context*/)
{
    return nullptr;
}

void InitLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

// Collects the first error libxml2 raises on this thread while it lives, and keeps libxml2 from
// printing anything.
class ErrorCapture
{
public:
    struct Captured
    {
        int code = 0;
        std::string message;
        int line = 0;
        int column = 0;
    };

    ErrorCapture()
    {
        xmlSetGenericErrorFunc(nullptr, Silent);
        xmlSetStructuredErrorFunc(this, &ErrorCapture::OnError);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(nullptr, SilentStructured); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    [[nodiscard]] const std::optional<Captured>& First() const { return first_; }

private:
    static void OnError(void* self, xmlErrorPtr error)
    {
        auto* capture = static_cast<ErrorCapture*>(self);
        if (error == nullptr || error->level < XML_ERR_ERROR || capture->first_) {
            return;
        }
        capture->first_ =
            Captured{error->code, FromXmlChar(reinterpret_cast<const xmlChar*>(error->message)),
                     error->line, error->int2};
    }

    std::optional<Captured> first_;
};

// Checks that text is well-formed UTF-8 (DomError otherwise) and gives it back with every
// character that XML 1.0 cannot hold replaced by a space. Returns the input untouched when it is
// already clean, which is by far the common case.
std::string_view CleanText(std::string_view text, std::string& storage)
{
    bool clean = true;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
                clean = false;
            }
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (!c.bolValid) {
            throw DomError("text is not valid UTF-8");
        }
        if (c.cp == 0xFFFE || c.cp == 0xFFFF) {
            clean = false;
        }
        pos += c.lngLength;
    }
    if (clean) {
        return text;
    }
    storage.clear();
    storage.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            const bool allowed = byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
            storage.push_back(allowed ? text[pos] : ' ');
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (c.cp == 0xFFFE || c.cp == 0xFFFF) {
            storage.push_back(' ');
        } else {
            storage.append(text.substr(pos, c.lngLength));
        }
        pos += c.lngLength;
    }
    return storage;
}

// A text node for the text. Short texts live inside the node itself, in the room libxml2's own
// parser uses for them (the properties and nsDef fields), which saves an allocation per field of
// a statement; libxml2 recognises such content when it frees or changes the node.
xmlNode* NewTextNode(xmlDoc* document, std::string_view text)
{
    constexpr std::size_t kInline = 2 * sizeof(void*);
    if (text.size() >= kInline) {
        return xmlNewDocTextLen(document, reinterpret_cast<const xmlChar*>(text.data()),
                                static_cast<int>(text.size()));
    }
    xmlNode* node = xmlNewDocTextLen(document, nullptr, 0);
    if (node == nullptr) {
        return nullptr;
    }
    auto* room = reinterpret_cast<xmlChar*>(&node->properties);
    std::memcpy(room, text.data(), text.size());
    room[text.size()] = '\0';
    node->content = room;
    return node;
}

void CheckName(const std::string& name)
{
    if (name.empty() || !platform::IsValidUtf8(name) || xmlValidateName(ToXmlChar(name), 0) != 0) {
        throw DomError("not a valid XML name: " + name);
    }
}

bool IsElementNamed(const xmlNode* node, const std::string& name)
{
    return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
           xmlStrEqual(node->name, ToXmlChar(name)) != 0;
}

// The line of the input that an error names, for the report; long lines are cut.
std::string SourceLine(std::string_view input, int line)
{
    constexpr std::size_t kMaxShown = 1024;
    if (line < 1) {
        return {};
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

// Where serialised bytes go: a file descriptor, written in large pieces as Windows-1252, or a
// string, as UTF-8.
struct OutputSink
{
    int fd = -1;
    std::string* text = nullptr;
    bool failed = false;
    std::string pending;
    std::string carry; // the start of a character that the next piece completes

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

    void Write(const char* data, std::size_t size)
    {
        if (failed) {
            return;
        }
        if (text != nullptr) {
            text->append(data, size);
            return;
        }
        std::string_view piece(data, size);
        std::string joined;
        if (!carry.empty()) {
            joined = carry;
            joined.append(piece);
            piece = joined;
        }
        const std::size_t tail = IncompleteTail(piece);
        platform::AppendUtf8AsAnsiXml(piece.substr(0, piece.size() - tail), pending);
        carry.assign(piece.substr(piece.size() - tail));
        if (pending.size() >= kPiece) {
            Flush();
        }
    }

    // Writes what is pending to the file descriptor.
    void Flush()
    {
        platform::AppendUtf8AsAnsiXml(carry, pending); // a character the output never completed
        carry.clear();
        const char* data = pending.data();
        std::size_t size = pending.size();
        while (size > 0 && !failed) {
            const ssize_t written = ::write(fd, data, size);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                failed = true;
                break;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        pending.clear();
    }

    static int OnWrite(void* self, const char* data, int size)
    {
        auto* sink = static_cast<OutputSink*>(self);
        sink->Write(data, static_cast<std::size_t>(size));
        return sink->failed ? -1 : size;
    }
};

const char* TypeString(xmlElementType type)
{
    switch (type) {
    case XML_ELEMENT_NODE:
        return "element";
    case XML_ATTRIBUTE_NODE:
        return "attribute";
    case XML_TEXT_NODE:
        return "text";
    case XML_CDATA_SECTION_NODE:
        return "cdatasection";
    case XML_ENTITY_REF_NODE:
        return "entityreference";
    case XML_PI_NODE:
        return "processinginstruction";
    case XML_COMMENT_NODE:
        return "comment";
    case XML_DOCUMENT_NODE:
        return "document";
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE:
        return "documenttype";
    case XML_DOCUMENT_FRAG_NODE:
        return "documentfragment";
    default:
        return "";
    }
}

// The encoding named in the XML declaration at the start of text, if any. Text handed over as
// a string is UTF-8 whatever its declaration says, so the parser is told to ignore that name,
// and it is remembered here for the caller.
std::optional<std::string> DeclaredEncoding(std::string_view text)
{
    if (text.substr(0, 5) != "<?xml") {
        return std::nullopt;
    }
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
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
            if (node->type == XML_ENTITY_REF_NODE) {
                const auto* entity = reinterpret_cast<const xmlEntity*>(node->children);
                total += entity == nullptr ? 0 : EntitySize(entity);
                continue;
            }
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                total += node->content == nullptr ? 0 : xmlStrlen(node->content);
            }
            if (node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) {
                for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
                    pending.push_back(child);
                }
            }
            if (node->type == XML_ELEMENT_NODE) {
                for (const xmlAttr* attribute = node->properties; attribute != nullptr;
                     attribute = attribute->next) {
                    pending.push_back(reinterpret_cast<const xmlNode*>(attribute));
                }
            }
        }
        return total;
    }

private:
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

bool HasChildList(const xmlNode* node)
{
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE ||
           node->type == XML_ATTRIBUTE_NODE;
}

} // namespace

class LibXmlDocument::Impl
{
public:
    std::unique_ptr<xmlDoc, DocDeleter> doc;
    DomParseError error;
    bool validateOnParse = false;
    // The encoding the document's declaration names.
    std::optional<std::string> declaredEncoding;

    // Last position found per parent and element name; forgotten when the tree loses nodes.
    struct PositionEntry
    {
        const xmlNode* parent;
        std::string name;
        std::uint64_t index;
        xmlNode* node;
    };
    std::vector<PositionEntry> positions;

    void Forget()
    {
        positions.clear();
        resolved.clear();
    }

    // Plain paths already resolved to their first match. Elements are only ever appended as
    // last children, so a remembered match stays first unless an element is appended somewhere
    // that is neither on its ancestor line nor below it (then that entry is dropped), or the
    // tree loses nodes (then all are).
    struct Resolved
    {
        std::string query;
        xmlNode* node;
    };
    std::vector<Resolved> resolved;

    xmlNode* Remembered(const std::string& query) const
    {
        for (const auto& entry : resolved) {
            if (entry.query == query) {
                return entry.node;
            }
        }
        return nullptr;
    }

    void Remember(const std::string& query, xmlNode* node)
    {
        constexpr std::size_t kMaxResolved = 8;
        if (resolved.size() >= kMaxResolved) {
            resolved.erase(resolved.begin());
        }
        resolved.push_back({query, node});
    }

    // An element is about to be appended under parent.
    void Appending(const xmlNode* parent)
    {
        std::erase_if(resolved, [parent](const Resolved& entry) {
            for (const xmlNode* up = entry.node; up != nullptr; up = up->parent) {
                if (up == parent) {
                    return false; // the new element comes after the match
                }
            }
            for (const xmlNode* up = parent; up != nullptr; up = up->parent) {
                if (up == entry.node) {
                    return false; // the new element is inside the match
                }
            }
            return true;
        });
    }

    // Element names already found valid; a statement uses a few dozen names millions of times.
    std::array<std::string, 8> validNames;
    std::size_t nextValidName = 0;

    void CheckElementName(const std::string& name)
    {
        for (const auto& known : validNames) {
            if (known == name && !known.empty()) {
                return;
            }
        }
        CheckName(name);
        validNames[nextValidName] = name;
        nextValidName = (nextValidName + 1) % validNames.size();
    }

    // The last few queries already parsed: the builder addresses each new transaction with the
    // same text several times in a row.
    struct ParsedQuery
    {
        std::string text;
        std::optional<ElementPath> path;
    };
    std::array<ParsedQuery, 4> parsedQueries;
    std::size_t nextParsed = 0;

    const std::optional<ElementPath>& Parsed(const std::string& query)
    {
        for (const auto& entry : parsedQueries) {
            if (entry.text == query && !entry.text.empty()) {
                return entry.path;
            }
        }
        ParsedQuery& slot = parsedQueries[nextParsed];
        nextParsed = (nextParsed + 1) % parsedQueries.size();
        slot.text = query;
        slot.path = ParseElementPath(query);
        return slot.path;
    }

    xmlDoc& Doc() const
    {
        if (!doc) {
            throw DomError("no document loaded");
        }
        return *doc;
    }

    bool Parse(std::string_view bytes, const std::string& url, bool forceUtf8);
    void Fail(int code, const std::string& reason, int line, int column, std::string_view input);
    bool Validate(xmlDoc* candidate);

    xmlNode* NthChild(xmlNode* parent, const std::string& name, std::uint64_t index);
    xmlNode* FirstMatch(xmlNode* parent, const ElementPath::Step& step);
    static xmlNode* NextMatch(xmlNode* node, const ElementPath::Step& step);
    // Visits the matches of the path in document order; stops at the first when bolFirstOnly.
    std::int64_t Walk(const ElementPath& path, bool bolFirstOnly, xmlNode** first);
    xmlNode* ContextNode() const;
    std::unique_ptr<xmlXPathObject, XPathObjectDeleter> EvaluateXPath(const std::string& query);

    // Writes the document (or one node) as UTF-8 to the sink; declarationEncoding is what an XML
    // declaration, if the document has one, names.
    void Serialise(OutputSink& sink, const char* declarationEncoding, xmlNode* only) const;
};

bool LibXmlDocument::Impl::Parse(std::string_view bytes, const std::string& url, bool forceUtf8)
{
    InitLibXml();
    doc.reset();
    Forget();
    error = {};
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        Fail(XML_ERR_DOCUMENT_END, "The document is too large to be read.", 0, 0, {});
        return false;
    }
    ErrorCapture capture;
    std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> context(xmlNewParserCtxt());
    if (!context) {
        Fail(XML_ERR_NO_MEMORY, "Out of memory.", 0, 0, {});
        return false;
    }
    int options = XML_PARSE_NONET;
    if (forceUtf8) {
        options |= XML_PARSE_IGNORE_ENC;
    }
    std::unique_ptr<xmlDoc, DocDeleter> parsed(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), url.c_str(),
                          forceUtf8 ? "UTF-8" : nullptr, options));
    const bool wellFormed = parsed && context->wellFormed != 0;
    if (!wellFormed || xmlDocGetRootElement(parsed.get()) == nullptr ||
        (validateOnParse && parsed->intSubset != nullptr && !Validate(parsed.get()))) {
        const auto& first = capture.First();
        if (first) {
            Fail(first->code, first->message, first->line, first->column, bytes);
        } else {
            Fail(XML_ERR_DOCUMENT_EMPTY, "The document has no root element.", 0, 0, bytes);
        }
        return false;
    }
    // libxml2 stops entities nested into an exponential blowup, not a large entity referenced
    // many times, which only grows when the text is read: refuse that growth here.
    if (parsed->intSubset != nullptr && parsed->intSubset->entities != nullptr) {
        const std::uint64_t limit = 10 * static_cast<std::uint64_t>(bytes.size()) + (1U << 20);
        ExpansionMeter meter(limit);
        const std::uint64_t expanded = meter.Measure(parsed->children);
        if (expanded > limit) {
            Fail(XML_ERR_ENTITY_LOOP,
                 "Entity references would expand the document's text past " +
                     std::to_string(limit) + " characters.",
                 0, 0, {});
            return false;
        }
    }
    doc = std::move(parsed);
    if (forceUtf8) {
        declaredEncoding = DeclaredEncoding(bytes);
    } else if (doc->encoding != nullptr) {
        declaredEncoding = FromXmlChar(doc->encoding);
    } else {
        declaredEncoding.reset();
    }
    return true;
}

void LibXmlDocument::Impl::Fail(int code, const std::string& reason, int line, int column,
                                std::string_view input)
{
    std::string text = reason;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    error = {code, text + "\r\n", line, column, SourceLine(input, line)};
}

bool LibXmlDocument::Impl::Validate(xmlDoc* candidate)
{
    std::unique_ptr<xmlValidCtxt, ValidCtxtDeleter> context(xmlNewValidCtxt());
    if (!context) {
        return false;
    }
    context->error = nullptr;
    context->warning = nullptr;
    // Validate against the declarations the document itself carries: hiding the external
    // identifiers keeps libxml2 from going after an external subset.
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

xmlNode* LibXmlDocument::Impl::NthChild(xmlNode* parent, const std::string& name,
                                        std::uint64_t index)
{
    PositionEntry* entry = nullptr;
    for (auto& candidate : positions) {
        if (candidate.parent == parent && candidate.name == name) {
            entry = &candidate;
            break;
        }
    }
    xmlNode* node = nullptr;
    std::uint64_t position = 0;
    if (entry != nullptr && entry->index <= index) {
        node = entry->node;
        position = entry->index;
    } else {
        node = parent->children;
        while (node != nullptr && !IsElementNamed(node, name)) {
            node = node->next;
        }
    }
    while (node != nullptr && position < index) {
        node = node->next;
        while (node != nullptr && !IsElementNamed(node, name)) {
            node = node->next;
        }
        ++position;
    }
    if (node == nullptr) {
        return nullptr;
    }
    if (entry == nullptr) {
        constexpr std::size_t kMaxEntries = 16;
        if (positions.size() >= kMaxEntries) {
            positions.erase(positions.begin());
        }
        positions.push_back({parent, name, index, node});
    } else {
        entry->index = index;
        entry->node = node;
    }
    return node;
}

xmlNode* LibXmlDocument::Impl::FirstMatch(xmlNode* parent, const ElementPath::Step& step)
{
    if (!HasChildList(parent) || parent->type == XML_ATTRIBUTE_NODE) {
        return nullptr;
    }
    if (step.lngIndex) {
        return NthChild(parent, step.strName, *step.lngIndex);
    }
    xmlNode* node = parent->children;
    while (node != nullptr && !IsElementNamed(node, step.strName)) {
        node = node->next;
    }
    return node;
}

xmlNode* LibXmlDocument::Impl::NextMatch(xmlNode* node, const ElementPath::Step& step)
{
    if (step.lngIndex) {
        return nullptr; // an index step selects one element per parent
    }
    node = node->next;
    while (node != nullptr && !IsElementNamed(node, step.strName)) {
        node = node->next;
    }
    return node;
}

xmlNode* LibXmlDocument::Impl::ContextNode() const
{
    xmlNode* root = xmlDocGetRootElement(&Doc());
    if (root == nullptr) {
        throw DomError("the document has no root element");
    }
    return root;
}

std::int64_t LibXmlDocument::Impl::Walk(const ElementPath& path, bool bolFirstOnly, xmlNode** first)
{
    xmlNode* container = ContextNode();
    if (path.bolAbsolute) {
        container = reinterpret_cast<xmlNode*>(doc.get());
    }
    const std::size_t last = path.steps.size() - 1;
    // Paths are short; a long one gets room of its own.
    std::array<xmlNode*, 16> shortCursor{};
    std::vector<xmlNode*> longCursor;
    xmlNode** cursor = shortCursor.data();
    if (path.steps.size() > shortCursor.size()) {
        longCursor.resize(path.steps.size());
        cursor = longCursor.data();
    }
    std::size_t level = 0;
    cursor[0] = FirstMatch(container, path.steps[0]);
    std::int64_t count = 0;
    while (true) {
        if (cursor[level] == nullptr) {
            if (level == 0) {
                return count;
            }
            --level;
            cursor[level] = NextMatch(cursor[level], path.steps[level]);
            continue;
        }
        if (level == last) {
            if (count == 0 && first != nullptr) {
                *first = cursor[level];
            }
            ++count;
            if (bolFirstOnly) {
                return count;
            }
            cursor[level] = NextMatch(cursor[level], path.steps[level]);
            continue;
        }
        cursor[level + 1] = FirstMatch(cursor[level], path.steps[level + 1]);
        ++level;
    }
}

std::unique_ptr<xmlXPathObject, XPathObjectDeleter>
LibXmlDocument::Impl::EvaluateXPath(const std::string& query)
{
    xmlNode* context = ContextNode();
    ErrorCapture capture;
    std::unique_ptr<xmlXPathContext, XPathCtxtDeleter> xpath(xmlXPathNewContext(doc.get()));
    if (!xpath) {
        throw DomError("out of memory");
    }
    xpath->error = SilentStructured;
    xpath->node = context;
    const std::string translated = TranslateIndexesForXPath(query);
    std::unique_ptr<xmlXPathObject, XPathObjectDeleter> result(
        xmlXPathEval(ToXmlChar(translated), xpath.get()));
    if (!result || result->type != XPATH_NODESET) {
        throw DomError("the query cannot be read: " + query);
    }
    return result;
}

void LibXmlDocument::Impl::Serialise(OutputSink& sink, const char* declarationEncoding,
                                     xmlNode* only) const
{
    ErrorCapture capture;
    std::unique_ptr<xmlSaveCtxt, SaveCtxtDeleter> context(xmlSaveToIO(
        OutputSink::OnWrite, nullptr, &sink, "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_NO_EMPTY));
    if (!context) {
        sink.failed = true;
        return;
    }
    if (only != nullptr) {
        xmlSaveTree(context.get(), only);
        sink.failed = sink.failed || xmlSaveFlush(context.get()) < 0;
        return;
    }
    xmlDoc& document = Doc();
    if (document.standalone != -1) { // the document came with an XML declaration
        std::string declaration = "<?xml version=\"";
        declaration += document.version == nullptr ? "1.0" : FromXmlChar(document.version);
        declaration += "\"";
        if (std::strcmp(declarationEncoding, "UTF-8") != 0) {
            declaration += " encoding=\"" + std::string(declarationEncoding) + "\"";
        }
        if (document.standalone >= 0) {
            declaration += document.standalone == 1 ? " standalone=\"yes\"" : " standalone=\"no\"";
        }
        declaration += "?>\r\n";
        sink.Write(declaration.data(), declaration.size());
    }
    for (xmlNode* child = document.children; child != nullptr && !sink.failed;
         child = child->next) {
        xmlSaveTree(context.get(), child);
        sink.failed = sink.failed || xmlSaveFlush(context.get()) < 0;
        sink.Write("\r\n", 2);
    }
}

LibXmlDocument::LibXmlDocument() : impl_(std::make_unique<Impl>()) {}

LibXmlDocument::~LibXmlDocument() = default;

void LibXmlDocument::SetResolveExternals(bool /*bolValue*/)
{
    // External resources are never read, whatever the caller asks for.
}

void LibXmlDocument::SetValidateOnParse(bool bolValue)
{
    impl_->validateOnParse = bolValue;
}

void LibXmlDocument::SetAsync(bool /*bolValue*/)
{
    // Loading is always synchronous.
}

bool LibXmlDocument::Load(const std::string& strFileName)
{
    impl_->doc.reset();
    impl_->Forget();
    const int fd = ::open(strFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info
    {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int cause = fd < 0 ? errno : EINVAL;
        if (fd >= 0) {
            ::close(fd);
        }
        const std::string why = cause == EINVAL ? "not a regular file" : std::strerror(cause);
        impl_->Fail(XML_IO_LOAD_ERROR, "Cannot read \"" + strFileName + "\": " + why + ".", 0, 0,
                    {});
        return false;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    bool readFailed = false;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            readFailed = got < 0;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    if (readFailed) {
        impl_->Fail(XML_IO_LOAD_ERROR, "Cannot read \"" + strFileName + "\".", 0, 0, {});
        return false;
    }
    return impl_->Parse(bytes, strFileName, false);
}

bool LibXmlDocument::LoadXML(const std::string& strSource)
{
    return impl_->Parse(strSource, "", true);
}

DomParseError LibXmlDocument::ParseError() const
{
    return impl_->error;
}

bool LibXmlDocument::Save(const std::string& strFileName)
{
    if (!impl_->doc) {
        return false;
    }
    const int fd = ::open(strFileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    OutputSink sink;
    sink.fd = fd;
    sink.pending.reserve(OutputSink::kPiece + 65536);
    impl_->Serialise(sink, "windows-1252", nullptr);
    sink.Flush();
    const bool closed = ::close(fd) == 0;
    return !sink.failed && closed;
}

std::string LibXmlDocument::Xml() const
{
    std::string text;
    OutputSink sink;
    sink.text = &text;
    impl_->Serialise(sink, "UTF-8", nullptr);
    return text;
}

std::optional<std::string> LibXmlDocument::DeclarationAttribute(const std::string& strName) const
{
    if (!impl_->doc || impl_->doc->standalone == -1) {
        return std::nullopt;
    }
    const xmlDoc& document = *impl_->doc;
    if (strName == "version" && document.version != nullptr) {
        return FromXmlChar(document.version);
    }
    if (strName == "encoding") {
        return impl_->declaredEncoding;
    }
    if (strName == "standalone" && document.standalone >= 0) {
        return document.standalone == 1 ? "yes" : "no";
    }
    return std::nullopt;
}

NodeRef LibXmlDocument::DocumentElement() const
{
    return impl_->doc ? ToRef(xmlDocGetRootElement(impl_->doc.get())) : nullptr;
}

NodeRef LibXmlDocument::SelectSingleNode(const std::string& strQuery)
{
    static_cast<void>(impl_->Doc());
    if (xmlNode* known = impl_->Remembered(strQuery)) {
        return ToRef(known);
    }
    if (const auto& path = impl_->Parsed(strQuery)) {
        xmlNode* first = nullptr;
        static_cast<void>(impl_->Walk(*path, true, &first));
        if (first != nullptr) {
            impl_->Remember(strQuery, first);
        }
        return ToRef(first);
    }
    const auto result = impl_->EvaluateXPath(strQuery);
    const xmlNodeSet* nodes = result->nodesetval;
    if (nodes == nullptr || nodes->nodeNr == 0) {
        return nullptr;
    }
    xmlNode* first = nodes->nodeTab[0];
    if (first->type == XML_NAMESPACE_DECL) {
        // Namespace nodes are copies that die with the result; they cannot be handed out.
        throw DomError("namespace nodes cannot be selected");
    }
    return ToRef(first);
}

std::int32_t LibXmlDocument::SelectNodesLength(const std::string& strQuery)
{
    static_cast<void>(impl_->Doc());
    std::int64_t count = 0;
    if (const auto& path = impl_->Parsed(strQuery)) {
        count = impl_->Walk(*path, false, nullptr);
    } else {
        const auto result = impl_->EvaluateXPath(strQuery);
        count = result->nodesetval == nullptr ? 0 : result->nodesetval->nodeNr;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
}

NodeRef LibXmlDocument::ParentNode(NodeRef objNode) const
{
    xmlNode* node = ToXml(objNode);
    if (node == nullptr || node->type == XML_ATTRIBUTE_NODE || node->type == XML_DOCUMENT_NODE) {
        return nullptr;
    }
    return ToRef(node->parent);
}

NodeRef LibXmlDocument::AppendElement(NodeRef objParent, const std::string& strName,
                                      const std::optional<std::string>& vntText)
{
    xmlDoc& document = impl_->Doc();
    xmlNode* parent = ToXml(objParent);
    if (parent == nullptr) {
        throw DomError("no parent to append to");
    }
    if (parent->type == XML_DOCUMENT_NODE) {
        if (xmlDocGetRootElement(&document) != nullptr) {
            throw DomError("a document holds only one root element");
        }
    } else if (parent->type != XML_ELEMENT_NODE) {
        throw DomError("only elements hold child elements");
    }
    impl_->CheckElementName(strName);
    std::string storage;
    std::string_view text;
    if (vntText) {
        text = CleanText(*vntText, storage);
    }
    xmlNode* element = xmlNewDocNode(&document, nullptr, ToXmlChar(strName), nullptr);
    if (element == nullptr) {
        throw DomError("out of memory");
    }
    if (!text.empty()) {
        xmlNode* content = NewTextNode(&document, text);
        if (content == nullptr || xmlAddChild(element, content) == nullptr) {
            xmlFreeNode(content);
            xmlFreeNode(element);
            throw DomError("out of memory");
        }
    }
    impl_->Appending(parent);
    if (xmlAddChild(parent, element) == nullptr) {
        xmlFreeNode(element);
        throw DomError("the element cannot be appended");
    }
    return ToRef(element);
}

void LibXmlDocument::AppendCData(NodeRef objParent, const std::string& strValue)
{
    xmlDoc& document = impl_->Doc();
    xmlNode* parent = ToXml(objParent);
    if (parent == nullptr || parent->type != XML_ELEMENT_NODE) {
        throw DomError("only elements hold CDATA sections");
    }
    std::string storage;
    const std::string_view value = CleanText(strValue, storage);
    xmlNode* section = xmlNewCDataBlock(&document, reinterpret_cast<const xmlChar*>(value.data()),
                                        static_cast<int>(value.size()));
    if (section == nullptr || xmlAddChild(parent, section) == nullptr) {
        xmlFreeNode(section);
        throw DomError("the CDATA section cannot be appended");
    }
}

void LibXmlDocument::RemoveChild(NodeRef objParent, NodeRef objChild)
{
    static_cast<void>(impl_->Doc());
    xmlNode* parent = ToXml(objParent);
    xmlNode* child = ToXml(objChild);
    if (parent == nullptr || child == nullptr || child->parent != parent ||
        child->type == XML_ATTRIBUTE_NODE || child->type == XML_NAMESPACE_DECL) {
        throw DomError("not a child of that node");
    }
    impl_->Forget();
    xmlUnlinkNode(child);
    xmlFreeNode(child);
}

std::string LibXmlDocument::Text(NodeRef objNode) const
{
    static_cast<void>(impl_->Doc());
    const OwnedText content(xmlNodeGetContent(ToXml(objNode)));
    return FromXmlChar(content.get());
}

void LibXmlDocument::SetText(NodeRef objNode, const std::string& strText)
{
    xmlDoc& document = impl_->Doc();
    xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    std::string storage;
    const std::string_view text = CleanText(strText, storage);
    const std::string clean(text);
    switch (node->type) {
    case XML_ELEMENT_NODE:
        if (node->children != nullptr) {
            impl_->Forget();
            xmlNodeSetContent(node, nullptr);
        }
        if (!clean.empty()) {
            xmlNode* content = NewTextNode(&document, clean);
            if (content == nullptr || xmlAddChild(node, content) == nullptr) {
                xmlFreeNode(content);
                throw DomError("out of memory");
            }
        }
        return;
    case XML_ATTRIBUTE_NODE:
        if (xmlSetNsProp(node->parent, node->ns, node->name, ToXmlChar(clean)) == nullptr) {
            throw DomError("the attribute cannot be set");
        }
        return;
    case XML_COMMENT_NODE:
        if (clean.find("--") != std::string::npos || (!clean.empty() && clean.back() == '-')) {
            throw DomError("a comment cannot hold \"--\"");
        }
        break;
    case XML_PI_NODE:
        if (clean.find("?>") != std::string::npos) {
            throw DomError("a processing instruction cannot hold \"?>\"");
        }
        break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
        break;
    default:
        throw DomError("this node holds no text of its own");
    }
    xmlNodeSetContent(node, ToXmlChar(clean));
}

std::string LibXmlDocument::NodeXml(NodeRef objNode) const
{
    static_cast<void>(impl_->Doc());
    xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    if (node->type == XML_DOCUMENT_NODE) {
        return Xml();
    }
    std::string text;
    OutputSink sink;
    sink.text = &text;
    impl_->Serialise(sink, "UTF-8", node);
    if (sink.failed) {
        throw DomError("the node cannot be serialised");
    }
    return text;
}

std::string LibXmlDocument::NodeTypeString(NodeRef objNode) const
{
    const xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    return TypeString(node->type);
}

std::int32_t LibXmlDocument::ChildCount(NodeRef objNode) const
{
    const xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    if (!HasChildList(node)) {
        return 0;
    }
    std::int32_t count = 0;
    for (const xmlNode* child = node->children; child != nullptr && count < INT32_MAX;
         child = child->next) {
        ++count;
    }
    return count;
}

NodeRef LibXmlDocument::FirstChild(NodeRef objNode) const
{
    xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    return HasChildList(node) ? ToRef(node->children) : nullptr;
}

std::optional<std::string> LibXmlDocument::GetAttribute(NodeRef objNode,
                                                        const std::string& strName) const
{
    xmlNode* node = ToXml(objNode);
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        throw DomError("only elements have attributes");
    }
    const OwnedText value(xmlGetNoNsProp(node, ToXmlChar(strName)));
    if (!value) {
        return std::nullopt;
    }
    return FromXmlChar(value.get());
}

void LibXmlDocument::SetAttribute(NodeRef objNode, const std::string& strName,
                                  const std::string& strValue)
{
    static_cast<void>(impl_->Doc());
    xmlNode* node = ToXml(objNode);
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        throw DomError("only elements have attributes");
    }
    CheckName(strName);
    std::string storage;
    const std::string clean(CleanText(strValue, storage));
    if (xmlSetNsProp(node, nullptr, ToXmlChar(strName), ToXmlChar(clean)) == nullptr) {
        throw DomError("the attribute cannot be set");
    }
}

void LibXmlDocument::RemoveAttribute(NodeRef objNode, const std::string& strName)
{
    static_cast<void>(impl_->Doc());
    xmlNode* node = ToXml(objNode);
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        throw DomError("only elements have attributes");
    }
    for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        if (attribute->ns == nullptr && xmlStrEqual(attribute->name, ToXmlChar(strName)) != 0) {
            xmlRemoveProp(attribute);
            return;
        }
    }
}

} // namespace qif2ldx::xml
