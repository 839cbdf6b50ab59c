// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qif2ldx::xml {

// A node of an IDomDocument: an opaque handle, valid while the node is part of the document that
// handed it out and that document lives.
struct DomNode;
using NodeRef = DomNode*;

// What the last failed load reports.
struct DomParseError
{
    std::int32_t lngErrorCode = 0;
    std::string strReason; // ends with CR LF
    std::int32_t lngLine = 0;
    std::int32_t lngLinePos = 0;
    std::string strSrcText; // the line of the input in error
};

// The XML DOM parser that CDoXML drives: one document, its loading, saving and the node
// operations the wrapper needs. Queries use the program's own language: absolute element paths,
// index steps counting from 0. Operations that the parser refuses throw DomError; texts are
// UTF-8.
class IDomDocument
{
public:
    virtual ~IDomDocument() = default;

    // Load settings, in effect for the next load. External resources are never read, whatever
    // resolveExternals says; validateOnParse validates a document that declares a DTD.
    virtual void SetResolveExternals(bool bolValue) = 0;
    virtual void SetValidateOnParse(bool bolValue) = 0;
    virtual void SetAsync(bool bolValue) = 0;

    // Parse a file, or text; false on failure, with ParseError() telling why.
    [[nodiscard]] virtual bool Load(const std::string& strFileName) = 0;
    [[nodiscard]] virtual bool LoadXML(const std::string& strSource) = 0;
    [[nodiscard]] virtual DomParseError ParseError() const = 0;

    // Writes the document as the statement body: Windows-1252, no indentation, every element
    // with an end tag, CR LF after each top-level node. False when the file cannot be written.
    [[nodiscard]] virtual bool Save(const std::string& strFileName) = 0;
    // The serialised document as UTF-8 text. Throws DomError when nothing is loaded.
    [[nodiscard]] virtual std::string Xml() const = 0;
    // A pseudo-attribute of the XML declaration; nullopt without a declaration or attribute.
    [[nodiscard]] virtual std::optional<std::string>
    DeclarationAttribute(const std::string& strName) const = 0;

    [[nodiscard]] virtual NodeRef DocumentElement() const = 0;
    // First node the query selects from the root element, nullptr when none. Throws DomError for
    // a query that cannot be read.
    [[nodiscard]] virtual NodeRef SelectSingleNode(const std::string& strQuery) = 0;
    // Number of nodes the query selects. Throws DomError for a query that cannot be read.
    [[nodiscard]] virtual std::int32_t SelectNodesLength(const std::string& strQuery) = 0;

    [[nodiscard]] virtual NodeRef ParentNode(NodeRef objNode) const = 0;
    // Creates an element, gives it the text when there is one, and appends it as the last child
    // of objParent; returns the appended element.
    virtual NodeRef AppendElement(NodeRef objParent, const std::string& strName,
                                  const std::optional<std::string>& vntText) = 0;
    // Appends a CDATA section holding strValue as the last child of objParent.
    virtual void AppendCData(NodeRef objParent, const std::string& strValue) = 0;
    virtual void RemoveChild(NodeRef objParent, NodeRef objChild) = 0;

    [[nodiscard]] virtual std::string Text(NodeRef objNode) const = 0;
    // Replaces the node's content, children included, with the text.
    virtual void SetText(NodeRef objNode, const std::string& strText) = 0;
    [[nodiscard]] virtual std::string NodeXml(NodeRef objNode) const = 0;
    [[nodiscard]] virtual std::string NodeTypeString(NodeRef objNode) const = 0;
    [[nodiscard]] virtual std::int32_t ChildCount(NodeRef objNode) const = 0;
    [[nodiscard]] virtual NodeRef FirstChild(NodeRef objNode) const = 0;

    [[nodiscard]] virtual std::optional<std::string>
    GetAttribute(NodeRef objNode, const std::string& strName) const = 0;
    virtual void SetAttribute(NodeRef objNode, const std::string& strName,
                              const std::string& strValue) = 0;
    // Removes the attribute; an attribute the element lacks is no error.
    virtual void RemoveAttribute(NodeRef objNode, const std::string& strName) = 0;
};

} // namespace qif2ldx::xml
