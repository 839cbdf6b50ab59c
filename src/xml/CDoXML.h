// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "xml/ParserRegistry.h"
#include "xml/XmlError.h"
#include "xml/dom/IDomDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qif2ldx::xml {

enum ParserVersion : std::int32_t
{
    pavNone = 0,
    pavMSXML1 = 1,
    pavMSXML26 = 2,
    pavMSXML30 = 3,
    pavMSXML40 = 4,
    pavHighest = 99
};

enum XMLDocumentInfoItem : std::int32_t
{
    xdiVersion = 0,
    xdiEncoding = 1,
    xdiStandalone = 2
};

enum NodeRelationship : std::int32_t
{
    norSibling = 0,
    norChild = 1
};

// One XML document, worked on through query strings instead of node objects: absolute element
// paths from the document, relative ones from the root element, index steps counting from 0.
// Owns the parser document it loaded; the parser is chosen by version from a registry of class
// names. Members said never to throw let std::bad_alloc through: running out of memory is the
// caller's to report, not a failure of the document.
class CDoXML
{
public:
    CDoXML(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
           std::shared_ptr<const ParserRegistry> objRegistry = ParserRegistry::Default());

    // The serialised document (UTF-8). Throws XmlError when no document is loaded.
    [[nodiscard]] std::string XML() const;
    // A pseudo-attribute of the document's XML declaration; nullopt without a document, a
    // declaration, or that attribute, and for an unknown item. Never throws.
    [[nodiscard]] std::optional<std::string>
    XMLDocumentInfo(XMLDocumentInfoItem xdiDesiredInfo) const;
    // The parser version in effect; pavNone until Initialize finds one.
    [[nodiscard]] ParserVersion XMLParserVersion() const { return pavParserVersion; }
    // Markup of the first node the query selects; empty on any failure. Never throws.
    [[nodiscard]] std::string ReadNodeXML(const std::string& strQueryString) const;

    // Picks the parser version for later loads: the one asked for when it is available, the
    // highest available for pavHighest, pavNone otherwise. Keeps the held document. Never throws.
    ParserVersion Initialize(ParserVersion pavDesiredVersion);
    // Loads the document from a file or from text, dropping the one held before. False when it
    // does not parse (with the parse-error report when bolVerboseError); throws XmlError when no
    // parser version is in effect.
    [[nodiscard]] bool OpenFromFile(const std::string& strFileName, bool bolVerboseError);
    [[nodiscard]] bool OpenFromString(const std::string& strSource, bool bolVerboseError);

    // Number of nodes the query selects, 0 for none; -1 on failure (no document, a query that
    // cannot be read). Never throws.
    [[nodiscard]] std::int32_t NodeCount(const std::string& strQueryString) const;
    // Text of the first node the query selects; nullopt on any failure. Never throws.
    [[nodiscard]] std::optional<std::string> ReadNode(const std::string& strQueryString) const;
    // The attribute of the first node the query selects; nullopt when absent or on any failure.
    [[nodiscard]] std::optional<std::string>
    ReadAttribute(const std::string& strQueryString, const std::string& strAttributeName) const;
    // Removes the first node the query selects, with its descendants. False on any failure.
    [[nodiscard]] bool DeleteNode(const std::string& strQueryString);
    // Replaces the content of the first node the query selects with the text. False on failure.
    [[nodiscard]] bool WriteNode(const std::string& strQueryString,
                                 const std::string& vntNewNodeValue);
    // Adds or replaces an attribute on the first node the query selects. False on failure.
    [[nodiscard]] bool WriteAttribute(const std::string& strQueryString,
                                      const std::string& strAttributeName,
                                      const std::string& vntNewAttributeValue);
    // Gives the first node the query selects one CDATA section holding the value, reusing a
    // lone one; false when the node has two children or more, or on failure. A failure part-way
    // is not undone.
    [[nodiscard]] bool WriteCDataSection(const std::string& strQueryString,
                                         const std::string& vntNewCDataValue);
    // Appends a new element as the last child of the node the query selects (norChild) or of
    // its parent (norSibling), with the text and the attribute when given. False on any
    // failure; an element already appended stays when only its attribute failed.
    [[nodiscard]] bool InsertNode(const std::string& strQueryString,
                                  const std::string& strNewNodeName,
                                  const std::optional<std::string>& vntNewNodeValue,
                                  const std::string& strNewAttributeName,
                                  const std::optional<std::string>& vntNewAttributeValue,
                                  NodeRelationship norRelationship);
    // Removes an attribute of the first node the query selects. False on failure.
    [[nodiscard]] bool DeleteAttribute(const std::string& strQueryString,
                                       const std::string& strAttributeName);
    // True when the document's own serialisation parses again, and is valid when it declares a
    // DTD; the held document is untouched.
    [[nodiscard]] bool Reparse();
    // The encoding Save writes ("UTF-8", the default, or "windows-1252"; a character the
    // encoding cannot hold is written as a decimal reference). Kept across loads. Never throws.
    void SetSaveEncoding(const std::string& strEncoding) { strSaveEncoding_ = strEncoding; }
    // Writes the document to the file in the encoding set, one line per top-level node. False
    // without a document, for an encoding the parser cannot write, or when the file cannot be
    // written. Never throws.
    [[nodiscard]] bool Save(const std::string& strFileName);
    // Writes the document as Save does into the file open on fd, from the descriptor's offset,
    // in the encoding set, opening nothing by name: the save into a file the caller holds. Fails
    // without a document, for an encoding it cannot write, or with the system's reason when a
    // write fails. Never throws.
    [[nodiscard]] platform::Done SaveTo(int fd);
    // Drops the document held, and the memory it takes. Never throws.
    void Close() { objXMLDoc.reset(); }

private:
    [[nodiscard]] bool LoadDocument(std::int32_t lngSourceKind, const std::string& strSource,
                                    bool bolVerboseError);
    [[nodiscard]] std::unique_ptr<IDomDocument>
    CreateParserObject(const std::string& strClassName) const;
    [[nodiscard]] bool IsParserAvailable(ParserVersion pavDesiredVersion) const;
    [[nodiscard]] ParserVersion FindHighestParser() const;
    void ShowParseError() const;

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    std::shared_ptr<const ParserRegistry> objRegistry_;
    std::unique_ptr<IDomDocument> objXMLDoc;
    ParserVersion pavParserVersion = pavNone;
    std::string strSaveEncoding_ = "UTF-8";
};

} // namespace qif2ldx::xml
