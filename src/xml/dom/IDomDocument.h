// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

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
// index steps counting from 0. Operations that the parser refuses throw DomError, and every
// member may throw std::bad_alloc; nothing else is thrown. Texts are UTF-8. A node handed out
// is valid while it is part of the document, across queries (see DomDocument for one more
// case). Attributes are nodes without children.
class IDomDocument
{
public:
    virtual ~IDomDocument() = default;

    // Kept for the parser's interface: external resources are never read, whatever the value.
    virtual void SetResolveExternals(bool bolValue) = 0;
    // Whether the next load validates a document that declares a DTD against it; a document
    // without one is never validated.
    virtual void SetValidateOnParse(bool bolValue) = 0;
    // Kept for the parser's interface: loading is always synchronous.
    virtual void SetAsync(bool bolValue) = 0;

    // Parses the regular file, dropping the document held before; false, leaving no document,
    // when it cannot be read or does not parse, with ParseError() telling why.
    [[nodiscard]] virtual bool Load(const std::string& strFileName) = 0;
    // The same for text, which is UTF-8 whatever its XML declaration names; empty text does not
    // parse.
    [[nodiscard]] virtual bool LoadXML(const std::string& strSource) = 0;
    // Why the last load failed: the parser's code, reason (ending in CR LF), line, column and
    // the source line; all empty before any load and after one that succeeded.
    [[nodiscard]] virtual DomParseError ParseError() const = 0;

    // Writes the document in the encoding named ("UTF-8" or "windows-1252", in any case; a
    // character that the encoding cannot hold as a decimal reference): no indentation, every
    // element with an end tag, CR LF after each top-level node, an XML declaration only when the
    // document came with one. The file is written in place: created when missing, emptied and
    // written again when it exists, never replaced by another. False without a document, for
    // another encoding, or when the file cannot be opened or written.
    [[nodiscard]] virtual bool Save(const std::string& strFileName,
                                    const std::string& strEncoding) = 0;
    // Writes the document as Save does into the file open on fd, from the descriptor's offset;
    // nothing is opened by name. Fails without a document or for another encoding, and with the
    // system's reason when a write fails.
    [[nodiscard]] virtual platform::Done SaveTo(int fd, const std::string& strEncoding) = 0;
    // The document as Save writes it, but as UTF-8 text (a declaration names no encoding).
    // Throws DomError when nothing is loaded.
    [[nodiscard]] virtual std::string Xml() const = 0;
    // A pseudo-attribute ("version", "encoding", "standalone") of the XML declaration that the
    // loaded document came with; nullopt without a document, a declaration or that attribute.
    [[nodiscard]] virtual std::optional<std::string>
    DeclarationAttribute(const std::string& strName) const = 0;

    // The root element; nullptr without a document or a root element.
    [[nodiscard]] virtual NodeRef DocumentElement() const = 0;
    // First node the query selects, nullptr when none: a plain path from the document when it
    // is absolute and from the root element otherwise, any other XPath from the root element.
    // Throws DomError without a document, for a query that cannot be read or gives no node
    // set, and for a relative query in a document without a root element.
    [[nodiscard]] virtual NodeRef SelectSingleNode(const std::string& strQuery) = 0;
    // Number of nodes the query selects, 0 for none, at most INT32_MAX. Throws DomError as
    // SelectSingleNode does.
    [[nodiscard]] virtual std::int32_t SelectNodesLength(const std::string& strQuery) = 0;

    // The node's parent (the document node for the root element); nullptr for nullptr, the
    // document node and attributes.
    [[nodiscard]] virtual NodeRef ParentNode(NodeRef objNode) const = 0;
    // Creates an element, gives it the text when there is one and it is not empty, and appends
    // it as the last child of objParent; returns the appended element. Text keeps to
    // StoredText's rules. Throws DomError, changing nothing, unless objParent is an element or
    // a document without a root element, for a name that is no XML name, and for text that is
    // not UTF-8.
    virtual NodeRef AppendElement(NodeRef objParent, const std::string& strName,
                                  const std::optional<std::string>& vntText) = 0;
    // Appends a CDATA section holding strValue (after StoredText's rules) as the last child of
    // objParent. Throws DomError, changing nothing, unless objParent is an element, and for
    // text that is not UTF-8.
    virtual void AppendCData(NodeRef objParent, const std::string& strValue) = 0;
    // Removes objChild, with everything below it. Throws DomError unless it is a child of
    // objParent.
    virtual void RemoveChild(NodeRef objParent, NodeRef objChild) = 0;

    // The node's text: a text's, CDATA section's, comment's, processing instruction's or
    // attribute's own, an entity reference's replacement, or all of these below an element or
    // the document in document order but comments and processing instructions; empty for
    // nullptr and the document type. Throws DomError without a document.
    [[nodiscard]] virtual std::string Text(NodeRef objNode) const = 0;
    // Replaces the node's content, children included, with the text (after StoredText's
    // rules); an empty text leaves an element empty. Throws DomError, changing nothing, for
    // nullptr, a node that holds no text, text that is not UTF-8, and text that a comment or
    // processing instruction cannot hold.
    virtual void SetText(NodeRef objNode, const std::string& strText) = 0;
    // The node's markup as Xml writes it; the whole document for the document node. Throws
    // DomError for nullptr and without a document.
    [[nodiscard]] virtual std::string NodeXml(NodeRef objNode) const = 0;
    // The node's type as the DOM names it ("element", "text", "cdatasection", "attribute",
    // "comment", "processinginstruction", "entityreference", "documenttype", "document").
    // Throws DomError for nullptr.
    [[nodiscard]] virtual std::string NodeTypeString(NodeRef objNode) const = 0;
    // Number of the node's children, 0 for a node that holds none, at most INT32_MAX. Throws
    // DomError for nullptr.
    [[nodiscard]] virtual std::int32_t ChildCount(NodeRef objNode) const = 0;
    // The node's first child; nullptr when it has none. Throws DomError for nullptr.
    [[nodiscard]] virtual NodeRef FirstChild(NodeRef objNode) const = 0;

    // The value of the element's attribute of that name, or the document type's default for it;
    // nullopt when there is neither. Throws DomError unless objNode is an element.
    [[nodiscard]] virtual std::optional<std::string>
    GetAttribute(NodeRef objNode, const std::string& strName) const = 0;
    // Sets the element's attribute, in its place when the element has it, last otherwise; the
    // value keeps to StoredText's rules. Throws DomError, changing nothing, unless objNode is an
    // element, for a name that is no XML name, and for a value that is not UTF-8.
    virtual void SetAttribute(NodeRef objNode, const std::string& strName,
                              const std::string& strValue) = 0;
    // Removes the attribute; an attribute the element lacks is no error. Throws DomError unless
    // objNode is an element.
    virtual void RemoveAttribute(NodeRef objNode, const std::string& strName) = 0;
};

} // namespace qif2ldx::xml
