// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"

#include <memory>

namespace qif2ldx::xml {

class LibXmlDocument;

// The document that CDoXML works on. A document of elements, attributes, text and CDATA
// sections, which is all the program ever writes, lives in a lean tree of the program's own
// (xml/lean), a few hundred bytes a transaction; one that holds more (a DTD, comments,
// processing instructions, entity references, namespaces) lives in libxml2's tree. A lean
// document moves into libxml2's tree for good at its first query that is not a plain element
// path but is XPath, which only libxml2 answers; nodes handed out before that are then no
// longer valid, nor is a lean element's only text once the element gets another child.
// libxml2 does every load, with its validation and error reports.
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

    // True while the document lives in the lean tree; false in libxml2's tree or without one.
    [[nodiscard]] bool IsLean() const { return lean_ != nullptr; }

private:
    class Lean;

    // Takes the document that libxml2 loaded, into the lean tree when it fits.
    [[nodiscard]] bool Adopt(std::unique_ptr<LibXmlDocument> objLoaded, bool bolLoaded);
    // The lean document; throws DomError when no document is loaded.
    [[nodiscard]] Lean& Held() const;
    // Moves the lean document into libxml2's tree for the query, which is not a plain path;
    // throws DomError, keeping it lean, when XPath cannot read the query.
    void Promote(const std::string& strQuery);

    std::unique_ptr<Lean> lean_;
    std::unique_ptr<LibXmlDocument> full_;
    DomParseError error_;
    bool bolValidate_ = false;
};

} // namespace qif2ldx::xml
