// SPDX-License-Identifier: MIT
#include "xml/CDoXML.h"

#include "platform/Windows1252.h"
#include "xml/dom/DomError.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <new>
#include <utility>

namespace qif2ldx::xml {
namespace {

constexpr std::int32_t kSourceFile = 0;
constexpr std::int32_t kSourceText = 1;

// The parser's code for the failure of loading text that the older parser works around by
// going through a temporary file.
constexpr std::int32_t kLoadXmlWorkaroundCode = static_cast<std::int32_t>(0xC00CE56FU);

const char* ClassNameOf(ParserVersion pavVersion)
{
    constexpr std::array kClassNames = {"", "Msxml.DOMDocument", "Msxml2.DOMDocument.2.6",
                                        "Msxml2.DOMDocument.3.0", "Msxml2.DOMDocument.4.0"};
    return pavVersion >= 0 && pavVersion < static_cast<std::int32_t>(kClassNames.size())
               ? kClassNames[pavVersion]
               : "";
}

// What body returns, or failure when the document refuses the operation: any exception but
// running out of memory, which is the caller's to report.
template <class Result, class Body> Result OrFailure(Result failure, const Body& body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return failure;
    }
}

// What body makes of the first node the query selects from the root element, or failure when
// there is no document, the query cannot be read, it selects nothing or the document refuses.
template <class Result, class Body>
Result OnFirstNode(IDomDocument* objDoc, const std::string& strQueryString, Result failure,
                   const Body& body)
{
    return OrFailure(failure, [&]() -> Result {
        const NodeRef objNode =
            objDoc == nullptr ? nullptr : objDoc->SelectSingleNode(strQueryString);
        return objNode == nullptr ? failure : body(objNode);
    });
}

} // namespace

CDoXML::CDoXML(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
               std::shared_ptr<const ParserRegistry> objRegistry)
    : objMessages_(objMessages), objProgramFolder_(objProgramFolder),
      objRegistry_(std::move(objRegistry))
{}

std::string CDoXML::XML() const
{
    if (!objXMLDoc) {
        throw XmlError("no XML document is loaded");
    }
    try {
        return objXMLDoc->Xml();
    } catch (const DomError& error) {
        throw XmlError(error.what());
    }
}

std::optional<std::string> CDoXML::XMLDocumentInfo(XMLDocumentInfoItem xdiDesiredInfo) const
{
    constexpr std::array kNames = {"version", "encoding", "standalone"}; // by XMLDocumentInfoItem
    if (!objXMLDoc || xdiDesiredInfo < 0 ||
        xdiDesiredInfo >= static_cast<std::int32_t>(kNames.size())) {
        return std::nullopt;
    }
    return OrFailure<std::optional<std::string>>(
        std::nullopt, [&] { return objXMLDoc->DeclarationAttribute(kNames[xdiDesiredInfo]); });
}

std::string CDoXML::ReadNodeXML(const std::string& strQueryString) const
{
    return OnFirstNode<std::string>(objXMLDoc.get(), strQueryString, {},
                                    [&](NodeRef objNode) { return objXMLDoc->NodeXml(objNode); });
}

ParserVersion CDoXML::Initialize(ParserVersion pavDesiredVersion)
{
    if (pavDesiredVersion == pavHighest) {
        pavParserVersion = FindHighestParser();
    } else if (IsParserAvailable(pavDesiredVersion)) {
        pavParserVersion = pavDesiredVersion;
    } else {
        pavParserVersion = pavNone;
    }
    return pavParserVersion;
}

bool CDoXML::OpenFromFile(const std::string& strFileName, bool bolVerboseError)
{
    return LoadDocument(kSourceFile, strFileName, bolVerboseError);
}

bool CDoXML::OpenFromString(const std::string& strSource, bool bolVerboseError)
{
    return LoadDocument(kSourceText, strSource, bolVerboseError);
}

std::int32_t CDoXML::NodeCount(const std::string& strQueryString) const
{
    return OrFailure<std::int32_t>(
        -1, [&] { return objXMLDoc ? objXMLDoc->SelectNodesLength(strQueryString) : -1; });
}

std::optional<std::string> CDoXML::ReadNode(const std::string& strQueryString) const
{
    return OnFirstNode<std::optional<std::string>>(
        objXMLDoc.get(), strQueryString, std::nullopt,
        [&](NodeRef objNode) { return objXMLDoc->Text(objNode); });
}

std::optional<std::string> CDoXML::ReadAttribute(const std::string& strQueryString,
                                                 const std::string& strAttributeName) const
{
    return OnFirstNode<std::optional<std::string>>(
        objXMLDoc.get(), strQueryString, std::nullopt,
        [&](NodeRef objNode) { return objXMLDoc->GetAttribute(objNode, strAttributeName); });
}

bool CDoXML::DeleteNode(const std::string& strQueryString)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        const NodeRef objParent = objXMLDoc->ParentNode(objNode);
        if (objParent == nullptr) {
            return false;
        }
        objXMLDoc->RemoveChild(objParent, objNode);
        return true;
    });
}

bool CDoXML::WriteNode(const std::string& strQueryString, const std::string& vntNewNodeValue)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        objXMLDoc->SetText(objNode, vntNewNodeValue);
        return true;
    });
}

bool CDoXML::WriteAttribute(const std::string& strQueryString, const std::string& strAttributeName,
                            const std::string& vntNewAttributeValue)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        objXMLDoc->SetAttribute(objNode, strAttributeName, vntNewAttributeValue);
        return true;
    });
}

bool CDoXML::WriteCDataSection(const std::string& strQueryString,
                               const std::string& vntNewCDataValue)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        const std::int32_t lngChildren = objXMLDoc->ChildCount(objNode);
        if (lngChildren >= 2) {
            return false;
        }
        if (lngChildren == 1) {
            const NodeRef objChild = objXMLDoc->FirstChild(objNode);
            if (objXMLDoc->NodeTypeString(objChild) == "cdatasection") {
                objXMLDoc->SetText(objChild, vntNewCDataValue);
                return true;
            }
            objXMLDoc->SetText(objNode, "");
        }
        objXMLDoc->AppendCData(objNode, vntNewCDataValue);
        return true;
    });
}

bool CDoXML::InsertNode(const std::string& strQueryString, const std::string& strNewNodeName,
                        const std::optional<std::string>& vntNewNodeValue,
                        const std::string& strNewAttributeName,
                        const std::optional<std::string>& vntNewAttributeValue,
                        NodeRelationship norRelationship)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        const NodeRef objParent = norRelationship == norSibling ? objXMLDoc->ParentNode(objNode)
                                  : norRelationship == norChild ? objNode
                                                                : nullptr;
        if (objParent == nullptr) {
            return false;
        }
        const NodeRef objNewNode =
            objXMLDoc->AppendElement(objParent, strNewNodeName, vntNewNodeValue);
        if (vntNewAttributeValue) {
            objXMLDoc->SetAttribute(objNewNode, strNewAttributeName, *vntNewAttributeValue);
        }
        return true;
    });
}

bool CDoXML::DeleteAttribute(const std::string& strQueryString, const std::string& strAttributeName)
{
    return OnFirstNode(objXMLDoc.get(), strQueryString, false, [&](NodeRef objNode) {
        objXMLDoc->RemoveAttribute(objNode, strAttributeName);
        return true;
    });
}

bool CDoXML::Reparse()
{
    return OrFailure(false, [&] {
        if (!objXMLDoc) {
            return false;
        }
        const std::unique_ptr<IDomDocument> objCheck = CreateParserObject("DOMDocument");
        return objCheck && objCheck->LoadXML(objXMLDoc->Xml());
    });
}

bool CDoXML::Save(const std::string& strFileName)
{
    return OrFailure(false,
                     [&] { return objXMLDoc && objXMLDoc->Save(strFileName, strSaveEncoding_); });
}

platform::Done CDoXML::SaveTo(int fd)
{
    const platform::Done refused{{platform::ReasonKind::Other, 0}};
    return OrFailure(refused,
                     [&] { return objXMLDoc ? objXMLDoc->SaveTo(fd, strSaveEncoding_) : refused; });
}

bool CDoXML::LoadDocument(std::int32_t lngSourceKind, const std::string& strSource,
                          bool bolVerboseError)
{
    objXMLDoc = CreateParserObject("DOMDocument");
    if (!objXMLDoc) {
        throw XmlError("no XML parser is available");
    }
    objXMLDoc->SetResolveExternals(false);
    objXMLDoc->SetValidateOnParse(true);
    objXMLDoc->SetAsync(false);
    const bool bolLoaded =
        lngSourceKind == kSourceFile ? objXMLDoc->Load(strSource) : objXMLDoc->LoadXML(strSource);
    if (bolLoaded) {
        return true;
    }
    if (pavParserVersion == pavMSXML1 && lngSourceKind == kSourceText &&
        objXMLDoc->ParseError().lngErrorCode == kLoadXmlWorkaroundCode) {
        std::string strFolder = objProgramFolder_.Folder();
        if (strFolder.empty() || strFolder.back() != '/') {
            strFolder += '/';
        }
        const std::string strTempFile = strFolder + "tempgoxml.xml";
        {
            std::ofstream objFile(strTempFile, std::ios::binary | std::ios::trunc);
            objFile << platform::Utf8ToAnsi(strSource) << "\r\n";
        }
        const bool bolResult = OpenFromFile(strTempFile, bolVerboseError);
        static_cast<void>(std::remove(strTempFile.c_str())); // a leftover file does no harm
        return bolResult;
    }
    if (bolVerboseError) {
        ShowParseError();
    }
    objXMLDoc.reset();
    return false;
}

std::unique_ptr<IDomDocument> CDoXML::CreateParserObject(const std::string& strClassName) const
{
    std::string strPrefix;
    if (pavParserVersion == pavMSXML1) {
        strPrefix = "Msxml";
    } else if (pavParserVersion >= pavMSXML26 && pavParserVersion <= pavMSXML40) {
        strPrefix = "Msxml2";
    } else {
        return nullptr;
    }
    return objRegistry_->Create(strPrefix + "." + strClassName);
}

bool CDoXML::IsParserAvailable(ParserVersion pavDesiredVersion) const
{
    return objRegistry_->Create(ClassNameOf(pavDesiredVersion)) != nullptr;
}

ParserVersion CDoXML::FindHighestParser() const
{
    for (const ParserVersion pavVersion : {pavMSXML40, pavMSXML30, pavMSXML26, pavMSXML1}) {
        if (IsParserAvailable(pavVersion)) {
            return pavVersion;
        }
    }
    return pavNone;
}

void CDoXML::ShowParseError() const
{
    const DomParseError objError = objXMLDoc->ParseError();
    const std::string strText =
        "Error loading XML\r\n\r\n" + std::to_string(objError.lngErrorCode) + "\r\n" +
        objError.strReason + "Line " + std::to_string(objError.lngLine) + ", Position " +
        std::to_string(objError.lngLinePos) + "\r\n\r\n" + objError.strSrcText + "\r\n";
    static_cast<void>(
        objMessages_.Show("XML Parse Error", strText, platform::MessageKind::Warning));
}

} // namespace qif2ldx::xml
