// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"
#include "xml/lean/LeanTree.h"

#include <memory>

namespace qif2ldx::xml {

// IDomDocument over libxml2's tree, for documents that hold more than the lean tree can, and
// for queries beyond plain element paths. Plain element paths are answered by the document's
// PathIndex; other queries go to libxml2's XPath with their indexes translated. Loading,
// serialising and the rules for names and text live in their own files beside this one.
class LibXmlDocument : public IDomDocument
{
public:
    LibXmlDocument();
    // A document holding what the lean tree holds, node for node. Throws std::bad_alloc.
    explicit LibXmlDocument(const lean::LeanTree& objTree);
    ~LibXmlDocument() override;
    LibXmlDocument(const LibXmlDocument&) = delete;
    LibXmlDocument& operator=(const LibXmlDocument&) = delete;

    void SetResolveExternals(bool bolValue) override;
    void SetValidateOnParse(bool bolValue) override;
    void SetAsync(bool bolValue) override;

    [[nodiscard]] bool Load(const std::string& strFileName) override;
    [[nodiscard]] bool LoadXML(const std::string& strSource) override;
    [[nodiscard]] DomParseError ParseError() const override;

    [[nodiscard]] bool Save(const std::string& strFileName) override;
    [[nodiscard]] platform::Done SaveTo(int fd) override;
    [[nodiscard]] std::string Xml() const override;
    [[nodiscard]] std::optional<std::string>
    DeclarationAttribute(const std::string& strName) const override;

    [[nodiscard]] NodeRef DocumentElement() const override;
    [[nodiscard]] NodeRef SelectSingleNode(const std::string& strQuery) override;
    [[nodiscard]] std::int32_t SelectNodesLength(const std::string& strQuery) override;

    [[nodiscard]] NodeRef ParentNode(NodeRef objNode) const override;
    NodeRef AppendElement(NodeRef objParent, const std::string& strName,
                          const std::optional<std::string>& vntText) override;
    void AppendCData(NodeRef objParent, const std::string& strValue) override;
    void RemoveChild(NodeRef objParent, NodeRef objChild) override;

    [[nodiscard]] std::string Text(NodeRef objNode) const override;
    void SetText(NodeRef objNode, const std::string& strText) override;
    [[nodiscard]] std::string NodeXml(NodeRef objNode) const override;
    [[nodiscard]] std::string NodeTypeString(NodeRef objNode) const override;
    [[nodiscard]] std::int32_t ChildCount(NodeRef objNode) const override;
    [[nodiscard]] NodeRef FirstChild(NodeRef objNode) const override;

    [[nodiscard]] std::optional<std::string>
    GetAttribute(NodeRef objNode, const std::string& strName) const override;
    void SetAttribute(NodeRef objNode, const std::string& strName,
                      const std::string& strValue) override;
    void RemoveAttribute(NodeRef objNode, const std::string& strName) override;

    // True when libxml2's XPath can read the query, its indexes translated; a query it cannot
    // read selects nothing in any document. Never throws but std::bad_alloc.
    [[nodiscard]] static bool CanRead(const std::string& strQuery);

    // Moves the loaded document into the empty tree when the tree can hold all of it, and drops
    // it here; false, keeping it here, when it holds more (a DTD, comments, processing
    // instructions, entity references, namespaces) or nothing is loaded.
    [[nodiscard]] bool MoveTo(lean::LeanTree& objTree);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qif2ldx::xml
