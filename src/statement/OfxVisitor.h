// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qif2ldx::statement {

// How an element that holds (or should hold) text was written.
enum class LeafForm
{
    Text,       // with text: <NAME>text</NAME>, or <NAME>text without an end tag
    EndTagOnly, // without text, with its end tag: <MEMO></MEMO>
    NoEndTag,   // without text and without its end tag: <MEMO><NAME>…
    SelfClosed  // the empty-element form: <MEMO/>
};

// One element of the body without elements inside it.
struct OfxLeaf
{
    std::string_view sName;   // in upper case
    std::string_view sText;   // UTF-8, entities resolved, blanks around it kept; empty for an
                              // element whose text the visitor does not read (see ReadsText)
    std::int64_t transaction; // which STMTTRN holds it, counting from 1; 0 for none
    LeafForm form;
};

// One line of the OFX 1.x header, or one attribute of the OFX 2.x processing instruction.
struct OfxHeaderField
{
    std::int64_t line; // counting from 1
    std::string sKey;
    std::string sValue; // as written, blanks kept
};

// A byte of the body that the declared character set does not hold.
struct OfxStrayByte
{
    std::int64_t transaction;
    std::string_view sElement; // the element whose start tag came last before it
    unsigned char byte;
};

// A character reference above 255 in the text of an SGML body ("&#1052;").
struct OfxWideReference
{
    std::int64_t transaction;
    std::string_view sElement;   // the element whose start tag came last before it
    std::string_view sReference; // as written
};

// Told what an OFX file holds, in file order.
class IOfxVisitor
{
public:
    virtual ~IOfxVisitor() = default;

    virtual void HeaderField(const OfxHeaderField& field) = 0;
    // Whether Leaf needs the text of elements so named (in upper case). The text of the others
    // is not kept: their form alone says whether they hold any.
    [[nodiscard]] virtual bool ReadsText(std::string_view sName) const = 0;
    virtual void Leaf(const OfxLeaf& leaf) = 0;
    // The first byte of an element's text that does not fit the declared character set.
    virtual void StrayByte(const OfxStrayByte& stray) = 0;
    // The first character reference above 255 in an element's text, in an SGML body.
    virtual void WideReference(const OfxWideReference& /*reference*/) {}
};

} // namespace qif2ldx::statement
