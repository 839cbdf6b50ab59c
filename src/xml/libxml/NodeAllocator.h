// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace qif2ldx::xml::libxml {

// The memory that libxml2 asks for, given to it through its own allocator hooks (xmlMemSetup).
// A statement is a tree of millions of small nodes and texts that live until the whole document
// is freed: small blocks come from slabs of one size each, carved from one reserved address
// range, without the per-block header and rounding of the C library's allocator, and freed
// blocks are kept per size for the next request. Larger blocks, and everything when the range
// cannot be reserved, go to malloc. Each thread keeps its own slabs and free blocks, so no lock
// is taken; a block may be freed on any thread.
class NodeAllocator
{
public:
    // Makes libxml2 allocate through this allocator; does nothing when the address range cannot
    // be reserved, or in builds whose sanitizers must see every block. Call before libxml2 is
    // first used.
    static void InstallForLibXml();

    // The allocator's functions, with malloc's contracts (Allocate(0) gives a usable block).
    // Reserve() must have succeeded for blocks to come from slabs.
    [[nodiscard]] static bool Reserve();
    [[nodiscard]] static void* Allocate(std::size_t size);
    static void Free(void* block);
    [[nodiscard]] static void* Reallocate(void* block, std::size_t size);
    [[nodiscard]] static char* Duplicate(const char* text);

    // True when the block came from a slab.
    [[nodiscard]] static bool OwnsBlock(const void* block);
    // The usable size of a block from a slab.
    [[nodiscard]] static std::size_t BlockSize(const void* block);
};

} // namespace qif2ldx::xml::libxml
