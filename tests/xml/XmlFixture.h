// SPDX-License-Identifier: MIT
#pragma once

#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"
#include "xml/CDoXML.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {

// A CDoXML bound to the highest parser, with recorded messages and a temporary program folder.
class XmlFixture : public ::testing::Test
{
protected:
    XmlFixture() { doc.Initialize(xml::pavHighest); }

    // Loads text that must parse.
    void Load(const std::string& text) { ASSERT_TRUE(doc.OpenFromString(text, false)) << text; }

    TempDir dir;
    test::MessageRecorder messages;
    test::FixedProgramFolder folder{dir.Path().string()};
    xml::CDoXML doc{messages, folder};
};

} // namespace qif2ldx::test
