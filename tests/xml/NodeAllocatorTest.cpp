// SPDX-License-Identifier: MIT
#include "xml/libxml/NodeAllocator.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace qif2ldx::test {
namespace {

using xml::libxml::NodeAllocator;

TEST(NodeAllocator, SmallBlocksComeFromSlabsAlignedAndDistinct)
{
    ASSERT_TRUE(NodeAllocator::Reserve());
    std::vector<void*> blocks;
    std::set<void*> seen;
    for (std::size_t size = 0; size <= 200; ++size) {
        void* block = NodeAllocator::Allocate(size);
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(seen.insert(block).second);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 8, 0U) << size;
        EXPECT_EQ(NodeAllocator::OwnsBlock(block), size <= 128) << size;
        if (NodeAllocator::OwnsBlock(block)) {
            EXPECT_GE(NodeAllocator::BlockSize(block), size);
            EXPECT_LT(NodeAllocator::BlockSize(block), size + 8 + (size == 0 ? 8 : 0));
        }
        std::memset(block, static_cast<int>(size), size);
        blocks.push_back(block);
    }
    for (std::size_t size = 0; size <= 200; ++size) {
        const auto* bytes = static_cast<const unsigned char*>(blocks[size]);
        for (std::size_t i = 0; i < size; ++i) {
            ASSERT_EQ(bytes[i], static_cast<unsigned char>(size)) << size;
        }
        NodeAllocator::Free(blocks[size]);
    }
    // A freed block of a size serves the next request of that size.
    void* again = NodeAllocator::Allocate(120);
    EXPECT_EQ(again, blocks[120]);
    NodeAllocator::Free(again);
}

TEST(NodeAllocator, ReallocateKeepsTheContentAcrossSizesAndDuplicateCopies)
{
    ASSERT_TRUE(NodeAllocator::Reserve());
    char* text = NodeAllocator::Duplicate("20261130");
    EXPECT_STREQ(text, "20261130");
    EXPECT_TRUE(NodeAllocator::OwnsBlock(text));
    std::string expected = "20261130";
    for (const std::size_t size : {16, 100, 4000, 64}) {
        text = static_cast<char*>(NodeAllocator::Reallocate(text, size));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text, std::min(expected.size(), size - 1)),
                  expected.substr(0, size - 1));
        expected.assign(size - 1, 'x');
        std::memset(text, 'x', size - 1);
        text[size - 1] = '\0';
    }
    NodeAllocator::Free(text);
    EXPECT_NE(NodeAllocator::Reallocate(nullptr, 10), nullptr);
}

} // namespace
} // namespace qif2ldx::test
