// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"

#include <memory>

namespace qif2ldx::xml {

// The document that CDoXML works on, in the program's lean tree (xml/lean): every kind of node
// a document brings, a few hundred bytes a transaction. libxml2 does every load, with its
// validation and error reports, into that tree, and answers the queries that are not plain
// element paths with XPath over a copy that it keeps until the tree next changes; the handles
// a query gives are the tree's own. A lean element's only text gets a handle of its own once
// the element gets another child.
class DomDocument : public IDomDocument
{
public:
    DomDocument();
    ~DomDocument() override;
    DomDocument(const DomDocument&) = delete;
    DomDocument& operator=(const DomDocument&) = delete;

    void SetResolveExternals(bool bolValue) override;
    void SetValidateOnParse(bool bolValue) override;
    void SetAsync(bool bolValue) override;

    [[nodiscard]] bool Load(const std::string& strFileName) override;
    [[nodiscard]] bool LoadXML(const std::string& strSource) override;
    [[nodiscard]] DomParseError ParseError() const override;

    [[nodiscard]] bool Save(const std::string& strFileName,
                            const std::string& strEncoding) override;
    [[nodiscard]] platform::Done SaveTo(int fd, const std::string& strEncoding) override;
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

private:
    class Lean;

    // Loads with the loader, into a new lean document that replaces the one held.
    template <class Loader> [[nodiscard]] bool LoadWith(const Loader& load);
    // The loaded document; throws DomError when no document is loaded.
    [[nodiscard]] Lean& Loaded() const;

    std::unique_ptr<Lean> lean_;
    DomParseError error_;
    bool bolValidate_ = true;
};

} // namespace qif2ldx::xml
