// SPDX-License-Identifier: MIT
#include "xml/libxml/LibXmlDocument.h"

#include "platform/File.h"
#include "xml/dom/DomError.h"
#include "xml/dom/ElementPath.h"
#include "xml/dom/TextRules.h"
#include "xml/libxml/Handles.h"
#include "xml/libxml/Loader.h"
#include "xml/libxml/NameRules.h"
#include "xml/libxml/NodeText.h"
#include "xml/libxml/PathIndex.h"
#include "xml/libxml/Serialiser.h"
#include "xml/libxml/TreeCopy.h"

#include <algorithm>
#include <climits>
#include <new>

namespace qif2ldx::xml {

using libxml::FromXmlChar;
using libxml::ToRef;
using libxml::ToXml;
using libxml::ToXmlChar;

class LibXmlDocument::Impl
{
public:
    libxml::DocPtr doc;
    DomParseError error;
    bool validateOnParse = false;
    std::optional<std::string> declaredEncoding; // what the document's declaration names
    libxml::PathIndex index;
    libxml::NameCheck names;

    xmlDoc& Doc() const
    {
        if (!doc) {
            throw DomError("no document loaded");
        }
        return *doc;
    }

    bool Take(libxml::LoadResult loaded)
    {
        doc = std::move(loaded.doc);
        index.Reset(doc.get());
        error = doc ? DomParseError{} : std::move(loaded.reason);
        declaredEncoding = std::move(loaded.declaredEncoding);
        return doc != nullptr;
    }

    // A text node for the text, owned by the caller until it is linked.
    xmlNode* NewText(std::string_view text)
    {
        xmlNode* node = xmlNewDocTextLen(&Doc(), reinterpret_cast<const xmlChar*>(text.data()),
                                         static_cast<int>(text.size()));
        if (node == nullptr) {
            throw std::bad_alloc();
        }
        return node;
    }

    // Links the node under parent, or frees it and throws.
    void Append(xmlNode* parent, xmlNode* child, const char* why)
    {
        if (!index.AppendChild(parent, child)) {
            xmlFreeNode(child);
            throw DomError(why);
        }
    }

    libxml::XPathObjectPtr EvaluateXPath(const std::string& query);
};

libxml::XPathObjectPtr LibXmlDocument::Impl::EvaluateXPath(const std::string& query)
{
    xmlNode* context = index.Root();
    if (context == nullptr) {
        throw DomError("the document has no root element");
    }
    libxml::ErrorCapture capture;
    const libxml::XPathCtxtPtr xpath(xmlXPathNewContext(&Doc()));
    if (!xpath) {
        throw std::bad_alloc();
    }
    xpath->error = libxml::SilentStructured;
    xpath->node = context;
    const std::string translated = TranslateIndexesForXPath(query);
    libxml::XPathObjectPtr result(xmlXPathEval(ToXmlChar(translated), xpath.get()));
    if (!result || result->type != XPATH_NODESET) {
        throw DomError("the query cannot be read: " + query);
    }
    return result;
}

LibXmlDocument::LibXmlDocument() : impl_(std::make_unique<Impl>()) {}

LibXmlDocument::LibXmlDocument(const lean::LeanTree& objTree) : impl_(std::make_unique<Impl>())
{
    libxml::LoadResult copy;
    copy.doc = libxml::CopyFromLean(objTree);
    copy.declaredEncoding = objTree.Facts().vntDeclaredEncoding;
    static_cast<void>(impl_->Take(std::move(copy)));
}

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
    impl_->Take({});
    return impl_->Take(libxml::LoadDocumentFile(strFileName, impl_->validateOnParse));
}

bool LibXmlDocument::LoadXML(const std::string& strSource)
{
    impl_->Take({});
    return impl_->Take(libxml::ParseDocument(strSource, "", true, impl_->validateOnParse));
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
    platform::Result<platform::UniqueFd> file = platform::OpenForWriting(strFileName);
    if (!file) {
        return false;
    }
    const bool written = libxml::SerialiseToFile(*impl_->doc, file.value.Get());
    return file.value.Reset() && written;
}

platform::Done LibXmlDocument::SaveTo(int fd)
{
    if (!impl_->doc) {
        return {{platform::ReasonKind::Other, 0}};
    }
    // The serialiser tells only that a write failed, not why.
    if (!libxml::SerialiseToFile(*impl_->doc, fd)) {
        return {{platform::ReasonKind::Other, 0}};
    }
    return {};
}

std::string LibXmlDocument::Xml() const
{
    return libxml::SerialiseToText(impl_->Doc(), nullptr);
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
    if (const auto& path = impl_->index.Parsed(strQuery)) {
        return ToRef(impl_->index.First(strQuery, *path));
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
    if (const auto& path = impl_->index.Parsed(strQuery)) {
        count = impl_->index.Count(*path);
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
    impl_->names.Check(strName);
    std::string storage;
    const std::string_view text = vntText ? StoredText(*vntText, storage) : "";
    xmlNode* element = xmlNewDocNode(&document, nullptr, ToXmlChar(strName), nullptr);
    if (element == nullptr) {
        throw std::bad_alloc();
    }
    if (!text.empty()) {
        xmlNode* content =
            xmlNewDocTextLen(&document, reinterpret_cast<const xmlChar*>(text.data()),
                             static_cast<int>(text.size()));
        // The new element is not indexed yet: its first child is linked directly.
        if (content == nullptr || xmlAddChild(element, content) == nullptr) {
            xmlFreeNode(content);
            xmlFreeNode(element);
            throw std::bad_alloc();
        }
    }
    impl_->Append(parent, element, "the element cannot be appended");
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
    const std::string_view value = StoredText(strValue, storage);
    xmlNode* section = xmlNewCDataBlock(&document, reinterpret_cast<const xmlChar*>(value.data()),
                                        static_cast<int>(value.size()));
    if (section == nullptr) {
        throw DomError("the CDATA section cannot be appended");
    }
    impl_->Append(parent, section, "the CDATA section cannot be appended");
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
    impl_->index.RemoveChild(child);
}

std::string LibXmlDocument::Text(NodeRef objNode) const
{
    static_cast<void>(impl_->Doc());
    const libxml::OwnedText content(xmlNodeGetContent(ToXml(objNode)));
    return FromXmlChar(content.get());
}

void LibXmlDocument::SetText(NodeRef objNode, const std::string& strText)
{
    static_cast<void>(impl_->Doc());
    xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    std::string storage;
    const std::string clean(StoredText(strText, storage));
    switch (node->type) {
    case XML_ELEMENT_NODE:
        impl_->index.RemoveChildren(node);
        if (!clean.empty()) {
            impl_->Append(node, impl_->NewText(clean), "the text cannot be set");
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
    const xmlDoc& document = impl_->Doc();
    xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    return libxml::SerialiseToText(document, node->type == XML_DOCUMENT_NODE ? nullptr : node);
}

std::string LibXmlDocument::NodeTypeString(NodeRef objNode) const
{
    const xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    return libxml::TypeString(node->type);
}

std::int32_t LibXmlDocument::ChildCount(NodeRef objNode) const
{
    const xmlNode* node = ToXml(objNode);
    if (node == nullptr) {
        throw DomError("no node");
    }
    if (!libxml::HasChildList(node)) {
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
    return libxml::HasChildList(node) ? ToRef(node->children) : nullptr;
}

std::optional<std::string> LibXmlDocument::GetAttribute(NodeRef objNode,
                                                        const std::string& strName) const
{
    xmlNode* node = ToXml(objNode);
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        throw DomError("only elements have attributes");
    }
    const libxml::OwnedText value(xmlGetNoNsProp(node, ToXmlChar(strName)));
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
    libxml::CheckName(strName);
    std::string storage;
    const std::string clean(StoredText(strValue, storage));
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

bool LibXmlDocument::CanRead(const std::string& strQuery)
{
    libxml::InitLibXml();
    libxml::ErrorCapture capture;
    const std::string translated = TranslateIndexesForXPath(strQuery);
    xmlXPathCompExpr* compiled = xmlXPathCompile(ToXmlChar(translated));
    if (compiled == nullptr) {
        return false;
    }
    xmlXPathFreeCompExpr(compiled);
    return true;
}

bool LibXmlDocument::MoveTo(lean::LeanTree& objTree)
{
    if (!impl_->doc || !libxml::CopyToLean(*impl_->doc, impl_->declaredEncoding, objTree)) {
        return false;
    }
    static_cast<void>(impl_->Take({}));
    return true;
}

} // namespace qif2ldx::xml
